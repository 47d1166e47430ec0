#include "ReplayRunner.h"

#include "audio/WavWriter.h"
#include "game/GameStateJson.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

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

ReplayRunner::ReplayRunner(const ReplayOptions& opts, ReplayScript replayScript)
    : options(opts), script(std::move(replayScript)),
      audioBinding(opts.audioFile.empty() ? nullptr : &audioOut), host(opts.width, opts.height, opts.seed) {}

int ReplayRunner::run() {
    checkedPresents = host.game.getRenderer().presentCount();
    const std::vector<ReplayEvent>& events = script.events();
    std::size_t next = 0;
    bool quit = false;
    // Events are applied in call order (file order within one call), each before its call.
    std::vector<const ReplayEvent*> ordered;
    for (const ReplayEvent& e : events)
        ordered.push_back(&e);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ReplayEvent* a, const ReplayEvent* b) { return a->call < b->call; });

    for (long long call = 1; call <= options.frames && !quit; ++call) {
        while (next < ordered.size() && ordered[next]->call <= call && !quit)
            quit = !apply(*ordered[next++]);
        if (!quit)
            timerCall();
    }
    // Events after the last call (a final screenshot, say) still happen.
    while (next < ordered.size() && !quit)
        quit = !apply(*ordered[next++]);
    return finish();
}

bool ReplayRunner::apply(const ReplayEvent& event) {
    Game& game = host.game;
    switch (event.kind) {
    case ReplayEvent::Kind::Key: {
        const Game::KeyAction action = game.onKey(event.key);
        checkAfterPaint(); // 'p' and 's' paint at once
        if (action == Game::KeyAction::Quit)
            return false;
        if (action == Game::KeyAction::ShowAbout)
            std::cout << Game::kAboutTitle << '\n';
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
    host.game.tick(false);
    checkAfterPaint();
}

void ReplayRunner::checkAfterPaint() {
    const Renderer& renderer = host.game.getRenderer();
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
    renderer.renderFullInto(host.game, full);
    const Difference d = compare(screen, full);
    ++comparedPaints;
    largestDifference = std::max(largestDifference, d.largest);
    differingPixels += d.pixels;
    const bool worldSize = screen.width() == Game::kWorldWidth && screen.height() == Game::kWorldHeight;
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
    const gfx::Surface& screen = host.window.screen();
    if (!screen.valid()) {
        std::cerr << "hearthly-replay: no screen to save in " << file << " (window minimised or empty)\n";
        return;
    }
    if (screen.savePng(file) != gfx::Status::Ok)
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
}

void ReplayRunner::writeState(const std::string& file) {
    std::ofstream out(file);
    out << GameStateJson::dump(host.game, timerCalls).dump(2) << '\n';
    if (!out)
        std::cerr << "hearthly-replay: cannot write " << file << '\n';
}

int ReplayRunner::finish() {
    if (!options.screenshotFile.empty())
        writeScreenshot(options.screenshotFile);
    if (!options.stateFile.empty())
        writeState(options.stateFile);
    std::string error;
    if (!options.audioFile.empty() &&
        !audio::writeWav(options.audioFile, audioOut.samples(), audioOut.sampleRate(), error))
        std::cerr << "hearthly-replay: " << error << '\n';
    if (!options.checkIncremental)
        return 0;
    std::cout << "incremental check: " << comparedPaints << " paints compared, " << skippedPaints
              << " skipped with a debug overlay on screen, largest channel difference " << largestDifference
              << ", differing pixels " << differingPixels << '\n';
    if (firstFailingCall) {
        std::cout << "incremental check failed first after timer call " << *firstFailingCall << '\n';
        return 1;
    }
    return 0;
}
