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
        path_.addRectangle({x - 5, y - 50, 10, 50});
        clearShapeDirty();
    }
};

} // namespace

ReplayRunner::ReplayRunner(const ReplayOptions& opts, ReplayScript replayScript)
    : options(opts), script(std::move(replayScript)),
      audioBinding(opts.audioFile.empty() ? nullptr : &audioOut),
      host(opts.width, opts.height, opts.seed, opts.playFile.empty()) {
    host.game.paintEachFrame = !options.noPaint;
    if (!options.playFile.empty())
        host.window.followRecording();
    if (options.shapes)
        host.game.renderer().setShapes(*options.shapes);
    // Dropped from the sky, spread across the world.
    for (int i = 0; i < options.standIns; ++i) {
        const float x =
            game::Game::kWorldWidth * static_cast<float>(i + 1) / static_cast<float>(options.standIns + 1);
        standIns.push_back(std::make_unique<StandIn>(x, 40.0f));
        standIns.back()->registerInGame(host.game.world());
    }
    if (options.autoplay)
        autoPlayer.emplace(host.game, options.speedLevel);
}

int ReplayRunner::run() {
    checkedPresents = host.game.renderer().presentCount();
    const std::vector<ReplayEvent>& events = script.events();
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
        return !quit && agentFailure.empty() && !(autoPlayer && autoPlayer->roundOver());
    };
    for (long long call = 1; call <= options.frames && going(); ++call) {
        while (next < ordered.size() && ordered[next]->call <= call && going())
            quit = !apply(*ordered[next++]);
        if (autoPlayer)
            autoPlayer->play();
        if (going())
            timerCall();
    }
    // Call 0 comes before the first call even when there is none.
    while (next < ordered.size() && ordered[next]->call <= options.frames && going())
        quit = !apply(*ordered[next++]);
    // Events meant for calls that never came would act on a game that has stopped: say so
    // instead of applying them.
    if (const std::size_t skipped = ordered.size() - next; skipped > 0)
        std::cerr << "hearthly-replay: " << skipped << " script event" << (skipped == 1 ? "" : "s")
                  << (quit                    ? " after the game quit"
                      : !agentFailure.empty() ? " after the failed check"
                                              : " after the last frame")
                  << " skipped\n";
    return finish();
}

bool ReplayRunner::apply(const ReplayEvent& event) {
    game::Game& game = host.game;
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
        const gfx::RectI before = host.window.clientRect();
        host.window.resizeClient(event.x, event.y);
        game.fitAspect(before);
        host.expose();
        checkAfterPaint();
        break;
    }
    case ReplayEvent::Kind::Minimize:
        host.window.minimize();
        break;
    case ReplayEvent::Kind::Restore:
        host.window.restore();
        host.expose();
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
    ++timerCalls;
    host.clock.advanceMicroseconds(options.tickMicroseconds);
    if (!options.audioFile.empty())
        audioOut.advanceMicroseconds(options.tickMicroseconds);
    // The window's timer stops while it is minimised; time goes on.
    if (host.window.isMinimized())
        return;
    pace(options.tickMicroseconds);
    const long long framesBefore = host.game.simulatedFrames();
    timed([&] { host.game.tick(false); });
    const long long frames = host.game.simulatedFrames() - framesBefore;
    tickFrames += frames;
    checkAfterPaint();
    checkAgents(frames,
                std::min<double>(static_cast<double>(options.tickMicroseconds), game::Game::kMaxStepUs) /
                    1e6);
}

void ReplayRunner::pace(long long micros) {
    if (!options.paced)
        return;
    if (!pacedFrom)
        pacedFrom = std::chrono::steady_clock::now();
    pacedMicros += micros;
    std::this_thread::sleep_until(*pacedFrom + std::chrono::microseconds(pacedMicros));
}

std::chrono::nanoseconds ReplayRunner::processCpu() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void ReplayRunner::checkAgents(long long frames, double step) {
    if (!options.checkAgents || frames <= 0 || !agentFailure.empty())
        return;
    agentFailure = agentWatch.check(host.game, static_cast<double>(frames) * step);
    if (agentFailure.empty())
        agentFailure = checkRound(host.game); // and a running round keeps its forty socks
    if (!agentFailure.empty())
        agentFailure = "agent check failed at timer call " + std::to_string(timerCalls) + ": " + agentFailure;
}

void ReplayRunner::checkAfterPaint() {
    const game::Renderer& renderer = host.game.renderer();
    if (!options.checkIncremental || renderer.presentCount() == checkedPresents)
        return;
    checkedPresents = renderer.presentCount();
    const gfx::Surface& screen = host.window.screen();
    const gfx::Surface& back = renderer.backBuffer();
    if (!screen.valid() || screen.width() != back.width() || screen.height() != back.height())
        return;
    // The debug overlays are drawn on the window only; a full redraw never shows them.
    if (renderer.debugOverlayOnScreen()) {
        ++skippedPaints;
        return;
    }
    gfx::Surface full(screen.width(), screen.height());
    renderer.renderFullInto(host.game.sceneView(), full);
    const Difference d = compare(screen, full);
    ++comparedPaints;
    largestDifference = std::max(largestDifference, d.largest);
    differingPixels += d.pixels;
    const bool worldSize =
        screen.width() == game::Game::kWorldWidth && screen.height() == game::Game::kWorldHeight;
    const int tolerance = worldSize ? 0 : kScaledTolerance;
    if (d.largest > tolerance && std::getenv("HEARTHLY_DEBUG_DIFF") != nullptr)
        std::cerr << "timer call " << timerCalls << ": largest difference " << d.largest << ", " << d.pixels
                  << " pixels\n";
    if (d.largest > tolerance && !firstFailingCall) {
        firstFailingCall = timerCalls;
        // For whoever chases the difference: both pictures of the first failing paint.
        if (const char* prefix = std::getenv("HEARTHLY_DEBUG_DIFF")) {
            screen.savePng(std::string(prefix) + "-window.png");
            full.savePng(std::string(prefix) + "-full.png");
        }
    }
}

void ReplayRunner::writeScreenshot(const std::string& file) {
    // Without painting per frame the screen is stale: a picture is a full redraw of now.
    if (options.noPaint) {
        host.game.renderer().requestRepaintFromScratch();
        host.game.paint(false);
    }
    const gfx::Surface& screen = host.window.screen();
    if (!screen.valid()) {
        std::cerr << "hearthly-replay: no screen to save in " << file << " (window minimised or empty)\n";
        writeFailed = true;
        return;
    }
    if (screen.savePng(file) != gfx::Status::Ok) {
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
        writeFailed = true;
    }
}

void ReplayRunner::writeState(const std::string& file) {
    std::ofstream out(file);
    out << game::GameStateJson::dump(host.game, timerCalls).dump(2) << '\n';
    out.close();
    if (!out) {
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
        writeFailed = true;
    }
}

int ReplayRunner::finish() {
    if (!options.screenshotFile.empty())
        writeScreenshot(options.screenshotFile);
    if (!options.stateFile.empty())
        writeState(options.stateFile);
    if (autoPlayer)
        std::cout << autoPlayer->summary(options.seed, agentFailure.empty() ? nullptr : "check failed")
                  << '\n';
    if (options.timing) {
        const double seconds = std::chrono::duration<double>(tickTime).count();
        const double cpu = std::chrono::duration<double>(tickCpu).count();
        std::cout << "timing: " << tickFrames << " frames simulated"
                  << (options.noPaint ? "" : " and painted") << " in " << seconds << " s of wall time, "
                  << (seconds > 0 ? static_cast<long long>(static_cast<double>(tickFrames) / seconds) : 0)
                  << " frames per second, " << cpu << " s of CPU ("
                  << (tickFrames > 0 ? static_cast<long long>(cpu * 1e6 / static_cast<double>(tickFrames))
                                     : 0)
                  << " us a frame" << (options.paced ? ", paced" : "") << ")\n";
    }
    int status = writeFailed ? 1 : 0;
    if (options.checkAgents) {
        if (agentFailure.empty()) {
            std::cout << agentWatch.summary() << '\n';
        } else {
            std::cout << agentFailure << '\n';
            status = 1;
        }
    }
    std::string error;
    if (!options.audioFile.empty() &&
        !audio::writeWav(options.audioFile, audioOut.samples(), audioOut.sampleRate(), error)) {
        std::cerr << "hearthly-replay: " << error << '\n';
        status = 1;
    }
    if (!options.checkIncremental)
        return status;
    std::cout << "incremental check: " << comparedPaints << " paints compared, " << skippedPaints
              << " skipped with a debug overlay on screen, largest channel difference " << largestDifference
              << ", differing pixels " << differingPixels << '\n';
    if (firstFailingCall) {
        std::cout << "incremental check failed first after timer call " << *firstFailingCall << '\n';
        return 1;
    }
    return status;
}
