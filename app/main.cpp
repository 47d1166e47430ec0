// Hearthly: the program's entry point. Builds the navigation graph, the game and the window
// in the order the scene relies on, then runs the window's loop until the player quits.

#include "audio/AudioOutput.h"
#include "core/Random.h"
#include "game/Game.h"
#include "game/GameStateJson.h"
#include "gfx/Surface.h"
#include "platform/CommandLine.h"
#include "platform/QuitSignals.h"
#include "platform/SdlAudioDevice.h"
#include "platform/SdlClock.h"
#include "platform/SdlSession.h"
#include "platform/SdlWindow.h"
#include "platform/WindowLoop.h"
#include "record/RecordingPlayer.h"
#include "record/SessionRecorder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <span>
#include <string>

extern const std::uint8_t embeddedIconData[];
extern const std::size_t embeddedIconDataSize;

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 584;

// For the tests that compare a played session with its replay: HEARTHLY_EXIT_DUMP=PREFIX makes
// the game write its state (PREFIX.json) and its picture (PREFIX.png) as it ends.
void dumpAtExit(game::Game& game, long long timerCalls) {
    const char* prefix = std::getenv("HEARTHLY_EXIT_DUMP");
    if (prefix == nullptr || *prefix == '\0')
        return;
    std::ofstream(std::string(prefix) + ".json")
        << game::GameStateJson::dump(game, timerCalls).dump(2) << '\n';
    if (game.renderer().backBuffer().valid())
        game.renderer().backBuffer().savePng(std::string(prefix) + ".png");
}

} // namespace

int main(int argc, char** argv) {
    const auto commandLine = platform::CommandLine::parse(std::span<const char* const>(
        const_cast<const char* const*>(argv) + 1, static_cast<std::size_t>(argc - 1)));
    switch (commandLine.action()) {
    case platform::CommandLine::Action::Help:
        std::fputs(platform::CommandLine::helpText().c_str(), stdout);
        return 0;
    case platform::CommandLine::Action::Version:
        std::fputs(platform::CommandLine::versionText(HEARTHLY_VERSION).c_str(), stdout);
        return 0;
    case platform::CommandLine::Action::Error:
        std::fprintf(stderr, "%s\n", commandLine.error().c_str());
        return platform::CommandLine::kExitUsage;
    case platform::CommandLine::Action::Play:
        break;
    }

    // Before SDL starts any thread: a hang-up, SIGTERM or SIGINT then ends the game like 'q'.
    platform::QuitSignals::blockInThisAndLaterThreads();
    std::string error;
    // The files named on the command line are dealt with before any window: a recording that
    // cannot be written, or one to play that is damaged, is refused at once.
    std::unique_ptr<record::SessionRecorder> recorder;
    if (!commandLine.recordFile().empty()) {
        recorder = record::SessionRecorder::create(commandLine.recordFile(), error);
        if (!recorder) {
            std::fprintf(stderr, "hearthly: %s\n", error.c_str());
            return platform::CommandLine::kExitUsage;
        }
    }
    record::RecordingHeader played;
    if (!commandLine.playFile().empty() &&
        !record::RecordingPlayer::check(commandLine.playFile(), played, error)) {
        std::fprintf(stderr, "hearthly: %s\n", error.c_str());
        return platform::CommandLine::kExitUsage;
    }

    const auto sdl = platform::SdlSession::open(error);
    if (!sdl) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const platform::QuitSignals quitSignals;

    const std::uint32_t seed =
        commandLine.playFile().empty() ? platform::SdlSession::tickCount() : played.seed;
    core::Random::seed(seed);

    // Sound is welcome but not needed: without a device the game says so once and plays on in
    // silence, until a sound server answers. The device outlives the game, whose music plays
    // through it.
    error.clear();
    const auto audioDevice = platform::SdlAudioDevice::open(error);
    if (!error.empty())
        std::fprintf(stderr, "%s\n", error.c_str());
    const audio::ScopedAudioOutput audioOutput(audioDevice.get());

    auto game = std::make_unique<game::Game>();

    const auto window = platform::SdlWindow::create("Hearthly", kClientWidth, kClientHeight, error);
    if (!window) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    // The house at night, as the desktop's menu shows it.
    window->setIcon(gfx::Surface::fromPng(embeddedIconData, embeddedIconDataSize));

    platform::SdlClock clock;
    platform::WindowLoop loop(*window, *game, clock);
    // Recorded, the game sees the clock and the window through the recorder; played back, it
    // runs on the recording's clock.
    core::VirtualClock playedClock;
    std::unique_ptr<record::WindowPlayback> playback;
    if (recorder) {
        const record::RecordingHeader header{seed, game::Game::kWorldWidth, game::Game::kWorldHeight,
                                             window->clientRect().width, window->clientRect().height};
        if (!recorder->begin(
                header, std::string("hearthly ") + HEARTHLY_VERSION, *window,
                [&clock] { return clock.microseconds(); }, error)) {
            std::fprintf(stderr, "hearthly: %s\n", error.c_str());
            return platform::CommandLine::kExitUsage;
        }
        game->attachWindow(recorder->window(), recorder->clock());
        loop.record(*recorder);
    } else if (!commandLine.playFile().empty()) {
        auto file = record::RecordingPlayer::open(commandLine.playFile(), error);
        if (file)
            playback = std::make_unique<record::WindowPlayback>(std::move(file), *game, playedClock);
        if (!playback || !playback->start(error)) {
            std::fprintf(stderr, "hearthly: %s\n", error.c_str());
            return platform::CommandLine::kExitUsage;
        }
        game->attachWindow(*window, playedClock);
        loop.play(*playback);
    } else {
        game->attachWindow(*window, clock);
    }
    window->show();

    int status = loop.run();
    dumpAtExit(*game, recorder ? recorder->ticks() : playback ? playback->ticks() : game->simulatedFrames());
    if (recorder && !recorder->finish())
        status = status == 0 ? 1 : status;
    game->releaseBackBuffer();
    return status;
}
