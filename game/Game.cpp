#include "game/Game.h"

#include "agents/NavGraph.h"
#include "core/Translate.h"
#include "game/BestTimes.h"
#include "game/KeyCommands.h"
#include "game/Scene.h"
#include "gfx/GlyphOutlines.h"
#include "level/Place.h"
#include "scene/Object.h"
#include "scene/World.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <iomanip>
#include <limits>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

namespace game {

namespace {

// The pause label stands in the middle of the world, below where a round's result shows.
constexpr float kPauseBoxX = 346;
constexpr float kPauseBoxY = 262;
// The best times stand under the speed buttons, and a won round's place under its result.
constexpr float kBestTimeY = 380;
constexpr float kBestTimeEmSize = 14;
constexpr float kNewBestX = 320;
constexpr float kNewBestY = 232;
constexpr float kNewBestEmSize = 18;
// The help leaves this much of the picture around it.
constexpr float kHelpMargin = 10;
// The speed buttons stand here in the world; captions too wide for their places move apart,
// evenly about the same middle, this far from each other at least.
constexpr std::array<float, 3> kButtonX{190, 273, 350};
constexpr float kButtonGap = 12;

// Where each button goes with these captions.
std::array<float, 3> buttonPlaces(const std::array<const char*, 3>& captions) {
    std::array<float, 3> x = kButtonX;
    std::array<float, 3> width{};
    for (std::size_t i = 0; i < x.size(); ++i)
        width[i] = gfx::GlyphOutlines::instance().advance(captions[i], TextBox::kEmSize);
    for (std::size_t i = 1; i < x.size(); ++i)
        x[i] = std::max(x[i], x[i - 1] + width[i - 1] + kButtonGap);
    const float grown = x.back() - kButtonX.back();
    for (float& place : x)
        place -= grown / 2;
    return x;
}

using core::tr;

void showHelpText(HelpPanel& panel) {
    panel.setText(
        {tr("Send the Husband through the house to pick up all forty socks."),
         tr("The cats scatter the socks he has; when the Wife catches him, he loses a life.")},
        {{tr("Slow, Mild, Fast"), tr("start a round at that speed")},
         {"n", tr("start a round at the last speed")},
         {tr("click a walkway"), tr("he walks to its end; left standing, he may set off on his own")},
         {"z", tr("a click picks a place (a cross) instead of a walkway")},
         {"p", tr("pause, and go on")},
         {"a", tr("music off and on")},
         {"m", tr("end the round and clear the level")},
         {tr("F11, Alt+Enter"), tr("full screen, and back")},
         {"h", tr("about the game")},
         {tr("F1, Esc"), tr("take this help away")},
         {tr("q, Esc"), tr("quit")},
         {"+ d e s g l", tr("cheats: a sock, speed, quake, step, goals, paths")},
         {"- f j k b c r", tr("put a sock back; the status box and the debug views")}});
}

} // namespace

Game::Game(std::uint32_t seed)
    : graph_(std::make_unique<NavGraph>()), world_(std::make_unique<World>(*graph_, seed, this)),
      scene_(std::make_unique<Scene>()) {
    // The level's places come first in the graph, in their fixed order; the branches add
    // theirs as they register.
    addPlaces(*graph_);
    Scene& s = *scene_;
    // The house from the garden up: each storey carries the one stacked on it, and the ground
    // also shakes the socks.
    world_->storeys() = {&s.ground,  &s.floorBasement, &s.floorFirst, &s.floorSecond,
                         &s.denRoof, &s.roof,          &s.rules};
    // The status box names the platform under him; setText redraws only on a change.
    s.husband.reportPlatformTo([this](const std::string& platform) { setStatusText(platform); });
}

Game::~Game() = default;

void Game::attachWindow(WindowPort& windowPort, core::Clock& frameClock) {
    window_ = &windowPort;
    clock_ = &frameClock;
    Scene& s = *scene_;

    // Registration order is the drawing order, back to front: the light behind everything,
    // then the house from the basement up, the ground, and the rules with their cats.
    for (Object* part :
         std::initializer_list<Object*>{&s.light, &s.floorBasement, &s.floorFirst, &s.floorSecond, &s.roof,
                                        &s.denRoof, &s.ground, &s.rules})
        part->registerInGame(*world_);

    struct ButtonSetup {
        Button& button;
        const char* caption;
        float x;
    };
    const std::array<const char*, 3> captions{tr("Slow"), tr("Mild"), tr("Fast")};
    const std::array<float, 3> places = buttonPlaces(captions);
    for (const ButtonSetup& setup : {ButtonSetup{s.slowButton, captions[0], places[0]},
                                     ButtonSetup{s.mildButton, captions[1], places[1]},
                                     ButtonSetup{s.fastButton, captions[2], places[2]}}) {
        setup.button.registerInGame(*world_);
        setup.button.setText(setup.caption);
        setup.button.setPosition(setup.x, 350);
        setup.button.setOn(true);
    }

    s.messageBox.registerInGame(*world_);
    s.messageBox.setText("msg");
    s.messageBox.setPosition(300, 200);
    s.messageBox.setOn(false);

    // In front of everything: the goal arrows, the highlights, then the husband and the wife.
    for (Object* part : std::initializer_list<Object*>{&s.husbandGoal, &s.wifeGoal, &s.nodeHighlight,
                                                       &s.edgeHighlight, &s.husband, &s.wife})
        part->registerInGame(*world_);

    s.pauseBox.registerInGame(*world_);
    s.pauseBox.setText(tr("PAUSED"));
    s.pauseBox.setPosition(kPauseBoxX, kPauseBoxY);
    s.pauseBox.setOn(world_->settings().paused);

    if (scores_ != nullptr)
        showScores();

    // The pole that stands in no world still counts its branch's places, last of all.
    s.telephonePole.branch().addNodesTo(*graph_);
    // Every walkway has been handed to the graph by the registrations above.
    graph_->computeAllPaths();
}

void Game::tick(bool force) {
    if (clock_ == nullptr)
        return;
    if (counterFrequency <= 0)
        counterFrequency = std::max<double>(1.0, static_cast<double>(clock_->frequency()));
    if (world_->settings().paused && !force)
        return;

    const std::int64_t now = clock_->counter();
    double elapsed = 0;
    if (lastFrameCounter != 0) {
        elapsed = static_cast<double>(now - lastFrameCounter) / counterFrequency * 1'000'000.0;
        recordSample(elapsed);
    } else {
        // Nothing measured yet: this call only starts the clock.
        lastFrameCounter = now;
    }

    if (world_->settings().hudMode == 2 && ++fpsRefreshCounter > 8) {
        fpsRefreshCounter = 0;
        if (const double fps = framesPerSecond(); fps > 0)
            setStatusText(formatFrameRate(fps));
    }

    if (force)
        elapsed = kMaxStepUs;
    else if (elapsed < kStepThresholdUs)
        return; // timer jitter: measure the next call from the same frame

    lastFrameCounter = now;
    // However long the program stalled (minimised, dragged), a frame advances at most 80 ms.
    simulate(std::min(elapsed, kMaxStepUs) * 0.000001);
    if (paintEachFrame)
        paint(false);
}

void Game::recordSample(double elapsedUs) {
    // A window left minimised for over half an hour gives an interval beyond 32 bits of
    // microseconds; the sample is clamped and the sum is wide enough for 50 of them.
    const double clamped =
        std::clamp(elapsedUs, 0.0, static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    const auto sample = static_cast<std::int32_t>(clamped);
    frameSamples.push_back(sample);
    frameSampleSum += sample;
    while (frameSamples.size() > frameSampleLimit) {
        frameSampleSum -= frameSamples.front();
        frameSamples.pop_front();
    }
}

void Game::setStatusText(const std::string& text) {
    scene_->messageBox.setText(text);
}

double Game::framesPerSecond() const {
    if (frameSamples.empty())
        return 0;
    const double meanUs = static_cast<double>(frameSampleSum) / static_cast<double>(frameSamples.size());
    // Intervals below a microsecond are not a frame rate, only a clock that has not moved.
    return meanUs < 1.0 ? 0.0 : 1'000'000.0 / meanUs;
}

std::string Game::formatFrameRate(double fps) {
    const double cut = std::trunc(fps * 100 + 0.5) / 100;
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << std::setw(2) << std::setfill('0') << cut << " f/s";
    return text.str();
}

void Game::simulate(double dt) {
    ++frameCount_;
    const ObjectRegistry& objects = world_->objects();
    updatePass(objects.agentList(), dt);
    updatePass(objects.platformList(), dt);
    updatePass(objects.objectList(), dt);
    if (scores_ != nullptr)
        keepScore();
}

void Game::keepScores(ScoreKeeper* keeper) {
    scores_ = keeper;
    if (window_ != nullptr)
        showScores();
}

void Game::showScores() {
    Scene& s = *scene_;
    for (TextBox* box : {&s.slowBest, &s.mildBest, &s.fastBest, &s.newBestBox})
        box->registerInGame(*world_);
    for (auto [box, button] : {std::pair{&s.slowBest, &s.slowButton}, std::pair{&s.mildBest, &s.mildButton},
                               std::pair{&s.fastBest, &s.fastButton}}) {
        box->setEmSize(kBestTimeEmSize);
        box->setPosition(button->position().x, kBestTimeY);
    }
    s.newBestBox.setEmSize(kNewBestEmSize);
    s.newBestBox.setPosition(kNewBestX, kNewBestY);
    keepScore();
}

void Game::keepScore() {
    Scene& s = *scene_;
    const GameRoundup& round = s.rules;
    const WorldSettings& settings = world_->settings();
    if (round.isRunning()) {
        roundWasRunning_ = true;
    } else if (roundWasRunning_) {
        roundWasRunning_ = false;
        // Won: every sock collected and the result standing (a round ended with 'm' has none).
        // A round after any cheat key never counts.
        if (round.socksInLevel().empty() && round.display().resultBox.isOn() && !settings.cheatUsed) {
            if (const int place = scores_->roundWon(
                    settings.speedLevel, round.display().gameClock.elapsedSeconds(), round.lives());
                place > 0) {
                s.newBestBox.setText(core::trNumber("New best: place %d", place));
                s.newBestBox.setOn(true);
            }
        }
    }
    // The place stands as long as the round's result does.
    if (!round.display().resultBox.isOn())
        s.newBestBox.setOn(false);
    for (auto [box, button, speed] :
         {std::tuple{&s.slowBest, &s.slowButton, 1}, std::tuple{&s.mildBest, &s.mildButton, 2},
          std::tuple{&s.fastBest, &s.fastButton, 3}}) {
        const std::optional<double> best = scores_->bestTime(speed);
        if (best)
            box->setText(BestTimes::formatSeconds(*best));
        box->setOn(best.has_value() && button->isOn());
    }
}

void Game::showHelp(bool show) {
    Scene& s = *scene_;
    bool& paused = world_->settings().paused;
    if (show == helpShown())
        return;
    if (show) {
        // Joins the scene the first time it is asked for, last, so that it lies over
        // everything; a game whose help was never shown has the picture it always had.
        if (s.helpPanel.world() == nullptr) {
            s.helpPanel.registerInGame(*world_);
            s.helpPanel.placeIn(
                {kHelpMargin, kHelpMargin, kWorldWidth - 2 * kHelpMargin, kWorldHeight - 2 * kHelpMargin});
        }
        showHelpText(s.helpPanel);
        pausedBeforeHelp_ = paused;
        paused = true;
        s.pauseBox.setOn(false);
        s.rules.music().pause();
    } else {
        paused = pausedBeforeHelp_;
        s.pauseBox.setOn(paused);
        if (!paused)
            s.rules.music().resume();
    }
    s.helpPanel.setOn(show);
}

bool Game::helpShown() const {
    return scene_->helpPanel.isOn();
}

void Game::updatePass(const std::vector<Object*>& list, double dt) {
    // By index, re-reading the size: objects appended during the pass are updated in it.
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i]->update(dt);
}

gfx::PointF Game::toWorld(int x, int y) const {
    // The world sits centred in the client area, scaled; whole units, as the hit tests expect.
    const double s = scale();
    const Renderer::Origin origin = renderer_.origin();
    return {static_cast<float>(std::floor((x - origin.x) / s)),
            static_cast<float>(std::floor((y - origin.y) / s))};
}

int Game::onMouseMove(int x, int y) {
    return onPointerMove(toWorld(x, y));
}

int Game::onPointerMove(gfx::PointF world) {
    if (buttonAt(world) == nullptr)
        hoverHighlights(world);
    paintWhilePaused();
    return 0;
}

void Game::hoverHighlights(gfx::PointF world) {
    // The highlight that holds a target is also where a click sends the Husband, so only
    // one of the two may hold one. Where nothing is found, both keep what they had.
    NavGraph& graph = *graph_;
    if (hoverNodes) {
        if (NavNode* node = graph.nodeAt(world)) {
            scene_->nodeHighlight.setNode(node);
            scene_->edgeHighlight.setEdge(nullptr);
        }
    } else if (NavEdge* edge = graph.nearestEdge(world)) {
        scene_->edgeHighlight.setEdge(edge);
        scene_->nodeHighlight.setNode(nullptr);
    }
}

int Game::onClick(int x, int y) {
    return onPointerClick(toWorld(x, y));
}

int Game::onPointerClick(gfx::PointF world) {
    onPointerMove(world);
    // Under the help the game stands still: a click neither starts a round nor sends him off.
    if (helpShown())
        return 0;
    if (Button* button = buttonAt(world)) {
        int& speedLevel = world_->settings().speedLevel;
        if (button == &scene_->slowButton)
            speedLevel = 1;
        else if (button == &scene_->mildButton)
            speedLevel = 2;
        else if (button == &scene_->fastButton)
            speedLevel = 3;
        scene_->rules.startNewGame();
        paintWhilePaused();
        return 0;
    }
    // Otherwise the Husband heads for the highlighted node or edge.
    if (NavNode* node = scene_->nodeHighlight.node())
        scene_->husband.headForNode(node);
    else if (NavEdge* edge = scene_->edgeHighlight.edge())
        scene_->husband.headForEdge(edge);
    return 0;
}

Button* Game::buttonAt(gfx::PointF p) {
    constexpr float kReach = 10;
    Button* found = nullptr;
    for (Button* button : world_->objects().buttonList()) {
        button->setHighlighted(false);
        if (!button->isOn() || found != nullptr)
            continue;
        const gfx::RectF b = button->bounds(false);
        if (b.x - kReach <= p.x && p.x < b.right() + kReach && b.y - kReach <= p.y &&
            p.y < b.bottom() + kReach) {
            button->setHighlighted(true);
            found = button;
        }
    }
    return found;
}

Game::KeyAction Game::onKey(char32_t ch) {
    const KeyAction action = KeyCommands::apply(*this, ch);
    paintWhilePaused();
    return action;
}

void Game::paintWhilePaused() {
    // An incremental paint: when nothing changed, nothing is drawn or copied.
    if (world_->settings().paused && paintEachFrame)
        paint(false);
}

bool Game::fitAspect(const gfx::RectI& oldClientRect) {
    if (window_ == nullptr)
        return false;
    renderer_.requestFullRedraw();
    const gfx::RectI client = window_->clientRect();
    int w = client.width;
    int h = client.height;
    // A client area dragged to nothing has no aspect to keep.
    if (w <= 0 || h <= 0)
        return false;
    if (std::abs(static_cast<double>(w) / h - kAspect) * kInverseAspect <= 0.01)
        return false;
    if (w == oldClientRect.width)
        w = static_cast<int>(h * kAspect); // the height was dragged
    else
        h = static_cast<int>(w * kInverseAspect);
    window_->resizeClient(w, h);
    return true;
}

void Game::paint(bool fromExpose) {
    if (window_ == nullptr)
        return;
    const Renderer::PaintResult result = renderer_.paint(sceneView(), *window_, fromExpose);
    if (result.statusText)
        setStatusText(*result.statusText);
}

SceneView Game::sceneView() const {
    SceneView view;
    view.drawList = world_->objects().drawList();
    view.agents = world_->objects().agentList();
    view.groundQuaking = ground().isQuakeActive();
    view.navOverlay = navOverlay;
    view.selectedNode = selectedNode;
    view.navGraph = graph_.get();
    view.showDirtyRects = showDirtyRects;
    view.showRedrawnObjects = showRedrawnObjects;
    view.redrawStatistics = world_->settings().hudMode == 3;
    view.exposeRepaintsAll = paintForcesFullRedraw;
    return view;
}

void Game::releaseBackBuffer() {
    renderer_.releaseBackBuffer();
}

} // namespace game
