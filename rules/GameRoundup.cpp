#include "rules/GameRoundup.h"

#include "agents/NavGraph.h"
#include "characters/Husband.h"
#include "characters/Wife.h"
#include "core/Random.h"
#include "core/Translate.h"
#include "level/GoalArrow.h"
#include "rules/Sock.h"
#include "scene/World.h"
#include "widgets/Button.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace game {

namespace {

// A catch or a strike needs the two figures to overlap by at least this much area.
constexpr float kStrikeArea = 225;

bool wideAndHigh(const gfx::RectF& r) {
    constexpr float kEpsilon = std::numeric_limits<float>::epsilon();
    return r.width > kEpsilon && r.height > kEpsilon;
}

} // namespace

GameRoundup::GameRoundup(const RoundCast& roundCast) : Object(0xffb4b4ff, 2.0f), cast_(roundCast) {
    cats_.push_back(std::make_unique<Cat>("cat1", 600, 150, 0xff608030));
    cats_.push_back(std::make_unique<Cat>("cat2", 300, 250, 0xff806030));
    cats_.push_back(std::make_unique<Cat>("cat3", 450, 550, 0xff5040a0));
}

GameRoundup::~GameRoundup() = default;

void GameRoundup::registerInGame(World& world) {
    Object::registerInGame(world);
    for (auto& cat : cats_)
        cat->registerInGame(world);
    display_.registerInGame(world);
    bat.registerInGame(world);
}

void GameRoundup::update(double dt) {
    music_.frame(dt, running_, world() != nullptr && world()->settings().paused);
    if (!running_)
        return;
    if (world()->settings().cheatUsed)
        display_.showCheater();
    pickUpSock();
    // Won in this frame: the round's picture stands as it is. A cat whose touch the win just
    // cleared would otherwise strike again at once and throw socks back under "CONGRATS",
    // and the Wife could still take a life.
    if (!running_)
        return;
    strikeWithCats();
    chaseWithWife(dt);
    separateSocks();
}

void GameRoundup::pickUpSock() {
    if (socksInLevel_.empty()) {
        display_.showResult(core::tr("CONGRATS"));
        stopPlay();
        return;
    }
    const gfx::RectF h = cast_.husband.bounds(false);
    for (Sock* sock : socksInLevel_) {
        const gfx::RectF s = sock->bounds(false);
        if (gfx::overlaps(s, h)) {
            sock->remove(); // at most one a frame
            return;
        }
    }
}

void GameRoundup::strikeWithCats() {
    if (socksCollected_.empty())
        return;
    Husband& husband = cast_.husband;
    for (auto& cat : cats_) {
        if (!cat->isTouched()) {
            const gfx::RectF i = gfx::intersection(cat->bounds(false), husband.bounds(false));
            if (!wideAndHigh(i) || i.width * i.height < kStrikeArea)
                continue;
            cat->setTouched(true);
            pairFailCount_ = 0;
            // Up to twenty collected socks fly off around him.
            core::Random& random = world()->random();
            for (int dropped = 0; dropped < 20 && !socksCollected_.empty(); ++dropped) {
                Sock* sock = socksCollected_.back();
                socksCollected_.pop_back();
                const gfx::PointF at = husband.position();
                const auto dx = static_cast<float>(random.next() * 0.0048828125 - 80);
                const auto dy = static_cast<float>(random.next() * 0.0048828125 - 80);
                sock->moveTo(at.x + dx, at.y + dy);
                sock->place();
                sock->scatter(1, 1);
            }
        } else if (cat->touchedTime() > 4) {
            cat->setTouched(false);
        }
    }
}

void GameRoundup::chaseWithWife(double dt) {
    Wife& wife = cast_.wife;
    Husband& husband = cast_.husband;
    wifeCheckTimer_ += dt;
    catchTimer_ += dt;
    if (wifeCheckTimer_ < 0.5)
        return;
    wifeCheckTimer_ = 0;
    if (catchTimer_ < 4)
        return;
    catchTimer_ = 4;
    wife.setTouched(false);

    const gfx::PointF h = husband.position();
    const gfx::PointF w = wife.position();
    if (std::abs(h.x - w.x) > 200 || std::abs(h.y - w.y) > 150) {
        wife.carryNothing();
        bat.setOn(false);
        return;
    }
    wife.carry(bat);
    bat.setOn(true);

    const gfx::RectF i = gfx::intersection(husband.bounds(false), wife.bounds(false));
    if (wideAndHigh(i) && i.width * i.height > kStrikeArea) {
        wife.halt();
        wife.setTouched(true);
        --lives_;
        catchTimer_ = 0;
        display_.showLives(lives_);
        if (lives_ < 0) {
            display_.showResult(core::tr("GAME OVER"));
            stopPlay();
        }
        return;
    }
    NavEdge* edge = world()->navGraph().nearestEdge({std::trunc(h.x), std::trunc(h.y)});
    if (edge == nullptr)
        return;
    // Already on her way to either end of the walkway he is on: let her walk on.
    const NavNode* goal = wife.walkGoal();
    if (goal != nullptr && (goal == edge->from || goal == edge->to))
        return;
    wife.headForEdge(edge);
}

void GameRoundup::separateSocks() {
    if (socksInLevel_.empty() || pairFailCount_ > 400)
        return;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (pairFirst_ == nullptr || pairSecond_ == nullptr || !pairFirst_->isInLevel() ||
            !pairSecond_->isInLevel()) {
            Sock* first = randomSock(socksInLevel_);
            pairFirst_ = first != nullptr && first->isInLevel() ? first : nullptr;
            Sock* second = randomSock(socksInLevel_);
            pairSecond_ = second != nullptr && second->isInLevel() && second != pairFirst_ ? second : nullptr;
        }
        if (pairFirst_ != nullptr && pairSecond_ != nullptr) {
            const gfx::PointF a = pairFirst_->position();
            const gfx::PointF b = pairSecond_->position();
            if (std::hypot(a.x - b.x, a.y - b.y) < 30) {
                pairFirst_->scatter(30, 0);
                pairFailCount_ = 0;
                return; // the same pair is measured again next frame
            }
            pairFirst_ = nullptr;
            pairSecond_ = nullptr;
        }
    }
    ++pairFailCount_;
}

void GameRoundup::translate(float, float) {
    pairFailCount_ = 0;
    if (socksInLevel_.empty())
        return;
    const auto falling = std::count_if(socksInLevel_.begin(), socksInLevel_.end(),
                                       [](const Sock* s) { return s->isDetached(); });
    // Keep up to three socks hopping while the ground shakes.
    for (auto k = falling; k < 3; ++k) {
        Sock* sock = randomSock(socksInLevel_);
        if (sock != nullptr && sock->isAttached())
            sock->scatter(-1, -1);
    }
}

Sock* GameRoundup::randomSock(const std::vector<Sock*>& list) {
    if (list.empty())
        return nullptr;
    return list[static_cast<std::size_t>(world()->random().index(static_cast<int>(list.size())))];
}

void GameRoundup::sockPlaced(Sock& sock) {
    std::erase(socksCollected_, &sock);
    socksInLevel_.push_back(&sock);
    display_.showCount(static_cast<int>(socksCollected_.size()));
}

void GameRoundup::sockRemoved(Sock& sock) {
    std::erase(socksInLevel_, &sock);
    socksCollected_.push_back(&sock);
    display_.showCount(static_cast<int>(socksCollected_.size()));
}

void GameRoundup::startNewGame() {
    endGame();
    music_.roundStarts();
    lives_ = 2;
    core::Random& random = world()->random();
    for (int i = 0; i < kSockCount; ++i) {
        auto sock = std::make_unique<Sock>(random);
        sock->setListener(this);
        const double dx = 10 + random.next() * 385.0 / 16384;
        const double dy = 10 + random.next() * 267.0 / 16384;
        sock->moveBy(static_cast<float>(dx), static_cast<float>(dy));
        sock->registerInGame(*world());
        sock->place();
        socks_.push_back(std::move(sock));
    }
    display_.showRound(static_cast<int>(socksCollected_.size()), lives_, speedLevel());
    cast_.wife.setTouched(true); // drawn outlined while she cannot catch him yet
    cast_.husbandGoal.setEnabled(true);
    for (Button* button : cast_.speedButtons)
        button->setOn(false);
    running_ = true;
}

void GameRoundup::stopPlay() {
    catchTimer_ = 0;
    cast_.wife.setTouched(false);
    for (auto& cat : cats_)
        cat->setTouched(false);
    running_ = false;
    display_.freezeClock();
    for (Button* button : cast_.speedButtons)
        button->setOn(true);
}

void GameRoundup::endGame() {
    stopPlay();
    // The separation's pair points at socks about to go.
    pairFirst_ = nullptr;
    pairSecond_ = nullptr;
    socksInLevel_.clear();
    socksCollected_.clear();
    socks_.clear();
    display_.hide();
    bat.setOn(false);
    cast_.wife.carryNothing();
    cast_.husbandGoal.setEnabled(false);
    music_.off();
    running_ = false;
}

void GameRoundup::collectRandomSock() {
    // Once a round is won or lost its count stands.
    if (!running_)
        return;
    if (Sock* sock = randomSock(socksInLevel_))
        sock->remove();
}

void GameRoundup::returnRandomSock() {
    if (!running_)
        return;
    if (Sock* sock = randomSock(socksCollected_))
        sock->place();
}

void GameRoundup::speedChanged() {
    display_.speedChanged(speedLevel());
}

int GameRoundup::speedLevel() const {
    return world() != nullptr ? world()->settings().speedLevel : 1;
}

} // namespace game
