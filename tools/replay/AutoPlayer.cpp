#include "AutoPlayer.h"

#include "ReplayOptions.h"
#include "agents/NavGraph.h"
#include "characters/Husband.h"
#include "game/Game.h"
#include "rules/GameRoundup.h"
#include "rules/Sock.h"
#include "scene/Platform.h"
#include "scene/World.h"
#include "widgets/Button.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

// A player who sees a click do nothing tries something else after this long.
constexpr double kPatienceSeconds = 3;
// Walks past a sock that still lies where it did before he is sent for another one.
constexpr int kTriesPerSock = 2;
// A sock that has moved this far since he missed it is worth another walk.
constexpr float kMovedAway = 10;

double distance(gfx::PointF a, gfx::PointF b) {
    return std::hypot(double{b.x} - a.x, double{b.y} - a.y);
}

// The jumps round the world's edges start or end outside it: a click on one carries him off
// past the sock to the other side.
bool inWorld(gfx::PointF p) {
    return p.x >= 0 && p.y >= 0 && p.x <= game::Game::kWorldWidth && p.y <= game::Game::kWorldHeight;
}

gfx::PointF centreOf(const gfx::RectF& r) {
    return {r.x + r.width / 2, r.y + r.height / 2};
}

// The point of the walkway nearest to p.
gfx::PointF footOn(const game::NavEdge& e, gfx::PointF p) {
    const gfx::PointF a = e.start();
    const gfx::PointF b = e.end();
    const double dx = double{b.x} - a.x;
    const double dy = double{b.y} - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return {static_cast<float>(a.x + t * dx), static_cast<float>(a.y + t * dy)};
}

} // namespace

AutoPlayer::AutoPlayer(game::Game& playedGame, int level) : game_(playedGame), speedLevel_(level) {}

AutoPlayer::Result AutoPlayer::result() const {
    const game::GameRoundup& rules = game_.rules();
    if (!started_)
        return Result::Waiting;
    if (rules.isRunning())
        return Result::Playing;
    return rules.socksInLevel().empty() ? Result::Won : Result::Lost;
}

void AutoPlayer::play() {
    game::GameRoundup& rules = game_.rules();
    if (!started_) {
        // The button of the speed, where a player points at it.
        if (!buttonClicked_) {
            game::Button* buttons[] = {&game_.slowButton(), &game_.mildButton(), &game_.fastButton()};
            const gfx::PointF centre = centreOf(buttons[speedLevel_ - 1]->bounds(false));
            if (const std::optional<Aim> pixel = pixelOn(centre)) {
                game_.onClick(pixel->x, pixel->y);
                ++clicks_;
            }
            buttonClicked_ = true;
        }
        started_ = rules.isRunning();
        return;
    }
    if (result() != Result::Playing)
        return;
    const game::Husband& husband = game_.husband();
    const bool standing = husband.isIdle() && husband.isAttached();
    const double now = rules.display().gameClock.elapsedSeconds();
    if (pending_) {
        pending_->moved = pending_->moved || !standing || distance(husband.position(), pending_->from) > 1;
        if (!standing || (!pending_->moved && now - pending_->at < kPatienceSeconds))
            return;
        // He stands again: a sock he was sent for that still lies there was walked past.
        if (pending_->sock != nullptr && pending_->sock->isInLevel()) {
            ++walksPast_;
            Miss& miss = misses_[pending_->sock];
            const gfx::PointF at = pending_->sock->position();
            miss.count = distance(at, miss.at) > kMovedAway ? 1 : miss.count + 1;
            miss.at = at;
            miss.lit = pending_->lit;
        }
        pending_.reset();
    }
    if (standing)
        clickTowardNearestSock(now);
}

bool AutoPlayer::skipped(const game::Sock& sock) const {
    const auto found = misses_.find(&sock);
    return found != misses_.end() && found->second.count >= kTriesPerSock &&
           distance(sock.position(), found->second.at) <= kMovedAway;
}

void AutoPlayer::clickTowardNearestSock(double now) {
    game::Husband& husband = game_.husband();
    game::NavGraph& graph = game_.world().navGraph();
    // The walkway he stands on, found as his walk will find it.
    const gfx::RectF b = husband.bounds(false);
    const gfx::RectF feet{std::trunc(b.x), std::trunc(b.y), std::trunc(b.width), std::trunc(b.height)};
    const game::NavEdge* under = graph.edgeOnPlatform(husband.platform(), feet);
    if (under == nullptr)
        under = graph.nearestEdge(husband.position());
    if (under == nullptr)
        return;
    // Socks lying still come first (one still falling has no walkway under it yet), and none
    // that he walked past twice where it still lies, until no other sock can be reached: then
    // they all get another chance.
    std::optional<Aim> best;
    game::Sock* target = nullptr;
    for (int pass = 0; pass < 4 && !best; ++pass) {
        if (pass == 2)
            misses_.clear();
        for (game::Sock* sock : game_.rules().socksInLevel()) {
            if ((pass % 2 == 0 && !sock->isAttached()) || skipped(*sock))
                continue;
            const std::optional<Aim> aim = aimAt(*sock, *under, husband.position());
            if (aim && (!best || aim->way < best->way)) {
                best = aim;
                target = sock;
            }
        }
    }
    if (!best)
        return;
    game_.onClick(best->x, best->y);
    ++clicks_;
    pending_ = Click{now, husband.position(), target, best->lit, false};
}

std::optional<AutoPlayer::Aim> AutoPlayer::aimAt(game::Sock& sock, const game::NavEdge& under,
                                                 gfx::PointF feet) {
    game::NavGraph& graph = game_.world().navGraph();
    const gfx::PointF centre = centreOf(sock.bounds(false));
    // Walked past it where it still lies: not the same way again.
    const game::NavEdge* avoid = nullptr;
    if (const auto miss = misses_.find(&sock);
        miss != misses_.end() && distance(sock.position(), miss->second.at) <= kMovedAway)
        avoid = miss->second.lit;
    const auto fits = [&](const std::optional<Aim>& pixel) {
        return pixel && pixel->lit != nullptr && pixel->lit != avoid;
    };
    std::optional<Aim> aim;
    // The walkway of what the sock lies on, under it; else the one that lights up on it.
    if (const game::NavEdge* walkway = walkwayUnder(sock)) {
        const gfx::PointF a = walkway->start();
        const gfx::PointF b = walkway->end();
        const double length = distance(a, b);
        const gfx::PointF foot = footOn(*walkway, centre);
        // From elsewhere he walks all of it, from whichever end he reaches first. Already on it,
        // he walks to the end of the way that lights up: that end must lie past the sock.
        const bool onIt = &under == walkway || &under == graph.reverseEdge(*walkway);
        const double away = (foot.x - feet.x) * (b.x - a.x) + (foot.y - feet.y) * (b.y - a.y) >= 0 ? 1 : -1;
        const auto lightsIt = [&](const Aim& pixel) {
            if (pixel.lit != walkway && pixel.lit != graph.reverseEdge(*walkway))
                return false;
            const gfx::PointF end = pixel.lit->end();
            return !onIt ||
                   ((end.x - feet.x) * (foot.x - feet.x) + (end.y - feet.y) * (foot.y - feet.y) >= 0 &&
                    distance(feet, end) >= distance(feet, foot));
        };
        // From the point under the sock outwards (only beyond it when he is on it), the first
        // pixel that lights it up the right way.
        for (int step = 0; step <= 2 * length && !aim; ++step) {
            const double along = onIt ? away * step / 2 : (step % 2 == 0 ? 1 : -1) * ((step + 1) / 2);
            const double t = length > 0 ? along / length : 0;
            aim = pixelOn(
                {static_cast<float>(foot.x + t * (b.x - a.x)), static_cast<float>(foot.y + t * (b.y - a.y))});
            if (!fits(aim) || !lightsIt(*aim))
                aim.reset();
        }
    }
    if (!aim)
        aim = pixelOn(centre);
    if (!fits(aim))
        return std::nullopt;
    aim->way = wayAlong(under, feet, *aim->lit, footOn(*aim->lit, centre));
    if (!std::isfinite(aim->way))
        return std::nullopt;
    return aim;
}

const game::NavEdge* AutoPlayer::walkwayUnder(game::Sock& sock) {
    if (sock.platform() == nullptr)
        return nullptr;
    const gfx::RectF b = sock.bounds(false);
    const gfx::PointF centre = centreOf(b);
    const game::NavEdge* best = nullptr;
    double nearest = 0;
    for (game::NavEdge* e : game_.world().navGraph().edgeList()) {
        if (e->platform != sock.platform() || !inWorld(e->start()) || !inWorld(e->end()))
            continue;
        const gfx::RectI& h = e->hitRect();
        if (b.x >= static_cast<float>(h.x + h.width) || static_cast<float>(h.x) >= b.x + b.width ||
            b.y >= static_cast<float>(h.y + h.height) || static_cast<float>(h.y) >= b.y + b.height)
            continue;
        const double d = distance(footOn(*e, centre), centre);
        if (best == nullptr || d < nearest) {
            best = e;
            nearest = d;
        }
    }
    return best;
}

std::optional<AutoPlayer::Aim> AutoPlayer::pixelOn(gfx::PointF world) {
    const double s = game_.scale();
    const game::Renderer::Origin origin = game_.renderer().origin();
    // The middle of the world unit, where the game's floor maps the pixel back into it.
    const int x = static_cast<int>(std::floor(origin.x + (std::floor(world.x) + 0.5) * s));
    const int y = static_cast<int>(std::floor(origin.y + (std::floor(world.y) + 0.5) * s));
    const gfx::RectI client = game_.clientRect();
    if (x < 0 || y < 0 || x >= client.width || y >= client.height)
        return std::nullopt;
    return Aim{x, y, game_.world().navGraph().nearestEdge(game_.toWorld(x, y)), 0};
}

double AutoPlayer::wayAlong(const game::NavEdge& from, gfx::PointF p, const game::NavEdge& to,
                            gfx::PointF q) const {
    game::NavGraph& graph = game_.world().navGraph();
    if (&to == &from || &to == graph.reverseEdge(from))
        return distance(p, q);
    struct End {
        const game::NavNode* node;
        gfx::PointF at;
    };
    // He walks on to the end ahead, or back to the one behind where the walkway runs both
    // ways; the sock's walkway is reached at either end.
    std::vector<End> starts{{from.to, from.end()}};
    if (graph.reverseEdge(from) != nullptr)
        starts.push_back({from.from, from.start()});
    const End ends[] = {{to.from, to.start()}, {to.to, to.end()}};
    double best = std::numeric_limits<double>::infinity();
    for (const End& s : starts) {
        const std::vector<game::NavGraph::PathEntry>& table = graph.pathTable(s.node->index);
        for (const End& e : ends) {
            const auto i = static_cast<std::size_t>(e.node->index);
            const int cost = s.node == e.node   ? 0
                             : i < table.size() ? table[i].cost
                                                : std::numeric_limits<int>::max();
            if (cost == std::numeric_limits<int>::max())
                continue;
            best = std::min(best, distance(p, s.at) + cost + distance(e.at, q));
        }
    }
    return best;
}

std::string AutoPlayer::summary(std::uint32_t seed, const char* stopped) const {
    const game::GameRoundup& rules = game_.rules();
    const char* outcome = "time out";
    if (result() == Result::Won)
        outcome = "won";
    else if (result() == Result::Lost)
        outcome = "lost";
    else if (stopped != nullptr)
        outcome = stopped;
    else if (result() == Result::Waiting) // no frame came, or no pixel reached the button
        outcome = "not started";
    const int lives = std::max(rules.lives(), 0);
    char line[240];
    std::snprintf(line, sizeof line,
                  "autoplay: seed %u, speed %s, %zu of %d socks, %s, %.1f s of game time, %d %s left, "
                  "%d clicks, %d walks past the sock",
                  seed, ReplayOptions::kSpeeds[speedLevel_ - 1], rules.socksCollected().size(),
                  game::GameRoundup::kSockCount, outcome, rules.display().gameClock.elapsedSeconds(), lives,
                  lives == 1 ? "life" : "lives", clicks_, walksPast_);
    return line;
}
