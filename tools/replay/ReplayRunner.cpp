#include "ReplayRunner.h"

#include "agents/Animal.h"
#include "audio/WavWriter.h"
#include "game/GameStateJson.h"
#include "game/RoundCheck.h"
#include "scene/World.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include <time.h>

namespace {

// At the world's own size an incremental frame must equal a full redraw exactly; a scaled
// window may differ by a hair where device pixels are shared between repainted bands. A
// stale or missed area differs by far more.
constexpr int kScaledTolerance = 2;

struct Difference {
    int largest = 0;
    long long pixels = 0;
};

Difference compare(const gfx::Surface& a, const gfx::Surface& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const std::uint32_t p = a.pixel(x, y);
            const std::uint32_t q = b.pixel(x, y);
            if (p == q)
                continue;
            ++d.pixels;
            for (int shift = 0; shift < 32; shift += 8) {
                const int delta =
                    std::abs(static_cast<int>((p >> shift) & 0xff) - static_cast<int>((q >> shift) & 0xff));
                d.largest = std::max(d.largest, delta);
            }
        }
    }
    return d;
}

} // namespace

namespace {

// A plain wandering animal of a person's height, for soaking the walking before the
// characters are in the game (or beside them).
class StandIn : public game::Animal {
public:
    StandIn(float atX, float atY) { moveTo(atX, atY); }
    std::string typeName() const override { return "StandIn"; }
    void rebuildPath() override {
        path_.reset();
        path_.addRectangle({x_ - 5, y_ - 50, 10, 50});
        clearShapeDirty();
    }
};

} // namespace

ReplayRunner::ReplayRunner(const ReplayOptions& opts, ReplayScript replayScript)
    : options_(opts), script_(std::move(replayScript)),
      audioBinding_(opts.audioFile.empty() ? nullptr : &audioOut_),
      host_(opts.width, opts.height, opts.seed, opts.playFile.empty()) {
    host_.game.paintEachFrame = !options_.noPaint;
    if (!options_.playFile.empty())
        host_.window.followRecording();
    if (options_.shapes)
        host_.game.renderer().setShapes(*options_.shapes);
    // Dropped from the sky, spread across the world.
    for (int i = 0; i < options_.standIns; ++i) {
        const float x =
            game::Game::kWorldWidth * static_cast<float>(i + 1) / static_cast<float>(options_.standIns + 1);
        standIns_.push_back(std::make_unique<StandIn>(x, 40.0f));
        standIns_.back()->registerInGame(host_.game.world());
    }
    if (options_.autoplay)
        autoPlayer_.emplace(host_.game, options_.speedLevel);
}

int ReplayRunner::run() {
    checkedPresents_ = host_.game.renderer().presentCount();
    const std::vector<ReplayEvent>& events = script_.events();
    std::size_t next = 0;
    bool quit = false;
    // Events are applied in call order (file order within one call), each before its call.
    std::vector<const ReplayEvent*> ordered;
    for (const ReplayEvent& e : events)
        ordered.push_back(&e);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ReplayEvent* a, const ReplayEvent* b) { return a->call < b->call; });

    // The run stops early when the game quits or the agent check fails, and an autoplayed one
    // when its round is over.
    const auto going = [&] {
        return !quit && agentFailure_.empty() && !(autoPlayer_ && autoPlayer_->roundOver());
    };
    for (long long call = 1; call <= options_.frames && going(); ++call) {
        while (next < ordered.size() && ordered[next]->call <= call && going())
            quit = !apply(*ordered[next++]);
        if (autoPlayer_)
            autoPlayer_->play();
        if (going())
            timerCall();
    }
    // Call 0 comes before the first call even when there is none.
    while (next < ordered.size() && ordered[next]->call <= options_.frames && going())
        quit = !apply(*ordered[next++]);
    // Events meant for calls that never came would act on a game that has stopped: say so
    // instead of applying them.
    if (const std::size_t skipped = ordered.size() - next; skipped > 0)
        std::cerr << "hearthly-replay: " << skipped << " script event" << (skipped == 1 ? "" : "s")
                  << (quit                     ? " after the game quit"
                      : !agentFailure_.empty() ? " after the failed check"
                                               : " after the last frame")
                  << " skipped\n";
    return finish();
}

bool ReplayRunner::apply(const ReplayEvent& event) {
    game::Game& game = host_.game;
    switch (event.kind) {
    case ReplayEvent::Kind::Key: {
        const long long framesBefore = game.simulatedFrames();
        const game::Game::KeyAction action = game.onKey(event.key);
        checkAfterPaint(); // 'p' and 's' paint at once
        // A single step ('s') is a frame of the longest step.
        checkAgents(game.simulatedFrames() - framesBefore, game::Game::kMaxStepUs / 1e6);
        if (action == game::Game::KeyAction::Quit)
            return false;
        if (action == game::Game::KeyAction::ShowAbout)
            std::cout << game::Game::kAboutTitle << '\n';
        break;
    }
    case ReplayEvent::Kind::Move:
        game.onMouseMove(event.x, event.y);
        break;
    case ReplayEvent::Kind::Click:
        game.onClick(event.x, event.y);
        break;
    case ReplayEvent::Kind::Resize: {
        // A finished border drag: the window takes the size, then the game restores the
        // aspect, and the window system asks for a repaint.
        const gfx::RectI before = host_.window.clientRect();
        host_.window.resizeClient(event.x, event.y);
        game.fitAspect(before);
        host_.expose();
        checkAfterPaint();
        break;
    }
    case ReplayEvent::Kind::Minimize:
        host_.window.minimize();
        break;
    case ReplayEvent::Kind::Restore:
        host_.window.restore();
        host_.expose();
        checkAfterPaint();
        break;
    case ReplayEvent::Kind::Screenshot:
        writeScreenshot(event.file);
        break;
    case ReplayEvent::Kind::State:
        writeState(event.file);
        break;
    default: // recordings only
        break;
    }
    return true;
}

void ReplayRunner::timerCall() {
    ++timerCalls_;
    host_.clock.advanceMicroseconds(options_.tickMicroseconds);
    if (!options_.audioFile.empty())
        audioOut_.advanceMicroseconds(options_.tickMicroseconds);
    // The window's timer stops while it is minimised; time goes on.
    if (host_.window.isMinimized())
        return;
    pace(options_.tickMicroseconds);
    const long long framesBefore = host_.game.simulatedFrames();
    timed([&] { host_.game.tick(false); });
    const long long frames = host_.game.simulatedFrames() - framesBefore;
    tickFrames_ += frames;
    checkAfterPaint();
    checkAgents(frames,
                std::min<double>(static_cast<double>(options_.tickMicroseconds), game::Game::kMaxStepUs) /
                    1e6);
}

void ReplayRunner::pace(long long micros) {
    if (!options_.paced)
        return;
    if (!pacedFrom_)
        pacedFrom_ = std::chrono::steady_clock::now();
    pacedMicros_ += micros;
    std::this_thread::sleep_until(*pacedFrom_ + std::chrono::microseconds(pacedMicros_));
}

std::chrono::nanoseconds ReplayRunner::processCpu() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void ReplayRunner::checkAgents(long long frames, double step) {
    if (!options_.checkAgents || frames <= 0 || !agentFailure_.empty())
        return;
    agentFailure_ = agentWatch_.check(host_.game, static_cast<double>(frames) * step);
    if (agentFailure_.empty())
        agentFailure_ = checkRound(host_.game); // and a running round keeps its forty socks
    if (!agentFailure_.empty())
        agentFailure_ =
            "agent check failed at timer call " + std::to_string(timerCalls_) + ": " + agentFailure_;
}

void ReplayRunner::checkAfterPaint() {
    const game::Renderer& renderer = host_.game.renderer();
    if (!options_.checkIncremental || renderer.presentCount() == checkedPresents_)
        return;
    checkedPresents_ = renderer.presentCount();
    const gfx::Surface& screen = host_.window.screen();
    const gfx::Surface& back = renderer.backBuffer();
    if (!screen.valid() || screen.width() != back.width() || screen.height() != back.height())
        return;
    // The debug overlays are drawn on the window only; a full redraw never shows them.
    if (renderer.debugOverlayOnScreen()) {
        ++skippedPaints_;
        return;
    }
    gfx::Surface full(screen.width(), screen.height());
    renderer.renderFullInto(host_.game.sceneView(), full);
    const Difference d = compare(screen, full);
    ++comparedPaints_;
    largestDifference_ = std::max(largestDifference_, d.largest);
    differingPixels_ += d.pixels;
    const bool worldSize =
        screen.width() == game::Game::kWorldWidth && screen.height() == game::Game::kWorldHeight;
    const int tolerance = worldSize ? 0 : kScaledTolerance;
    if (d.largest > tolerance && std::getenv("HEARTHLY_DEBUG_DIFF") != nullptr)
        std::cerr << "timer call " << timerCalls_ << ": largest difference " << d.largest << ", " << d.pixels
                  << " pixels\n";
    if (d.largest > tolerance && !firstFailingCall_) {
        firstFailingCall_ = timerCalls_;
        // For whoever chases the difference: both pictures of the first failing paint.
        if (const char* prefix = std::getenv("HEARTHLY_DEBUG_DIFF")) {
            screen.savePng(std::string(prefix) + "-window.png");
            full.savePng(std::string(prefix) + "-full.png");
        }
    }
}

void ReplayRunner::writeScreenshot(const std::string& file) {
    // Without painting per frame the screen is stale: a picture is a full redraw of now.
    if (options_.noPaint) {
        host_.game.renderer().requestRepaintFromScratch();
        host_.game.paint(false);
    }
    const gfx::Surface& screen = host_.window.screen();
    if (!screen.valid()) {
        std::cerr << "hearthly-replay: no screen to save in " << file << " (window minimised or empty)\n";
        writeFailed_ = true;
        return;
    }
    if (screen.savePng(file) != gfx::Status::Ok) {
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
        writeFailed_ = true;
    }
}

void ReplayRunner::writeState(const std::string& file) {
    std::ofstream out(file);
    out << game::GameStateJson::dump(host_.game, timerCalls_).dump(2) << '\n';
    out.close();
    if (!out) {
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
        writeFailed_ = true;
    }
}

int ReplayRunner::finish() {
    if (!options_.screenshotFile.empty())
        writeScreenshot(options_.screenshotFile);
    if (!options_.stateFile.empty())
        writeState(options_.stateFile);
    if (autoPlayer_)
        std::cout << autoPlayer_->summary(options_.seed, agentFailure_.empty() ? nullptr : "check failed")
                  << '\n';
    if (options_.timing) {
        const double seconds = std::chrono::duration<double>(tickTime_).count();
        const double cpu = std::chrono::duration<double>(tickCpu_).count();
        std::cout << "timing: " << tickFrames_ << " frames simulated"
                  << (options_.noPaint ? "" : " and painted") << " in " << seconds << " s of wall time, "
                  << (seconds > 0 ? static_cast<long long>(static_cast<double>(tickFrames_) / seconds) : 0)
                  << " frames per second, " << cpu << " s of CPU ("
                  << (tickFrames_ > 0 ? static_cast<long long>(cpu * 1e6 / static_cast<double>(tickFrames_))
                                      : 0)
                  << " us a frame" << (options_.paced ? ", paced" : "") << ")\n";
    }
    int status = writeFailed_ ? 1 : 0;
    if (options_.checkAgents) {
        if (agentFailure_.empty()) {
            std::cout << agentWatch_.summary() << '\n';
        } else {
            std::cout << agentFailure_ << '\n';
            status = 1;
        }
    }
    std::string error;
    if (!options_.audioFile.empty() &&
        !audio::writeWav(options_.audioFile, audioOut_.samples(), audioOut_.sampleRate(), error)) {
        std::cerr << "hearthly-replay: " << error << '\n';
        status = 1;
    }
    if (!options_.checkIncremental)
        return status;
    std::cout << "incremental check: " << comparedPaints_ << " paints compared, " << skippedPaints_
              << " skipped with a debug overlay on screen, largest channel difference " << largestDifference_
              << ", differing pixels " << differingPixels_ << '\n';
    if (firstFailingCall_) {
        std::cout << "incremental check failed first after timer call " << *firstFailingCall_ << '\n';
        return 1;
    }
    return status;
}
