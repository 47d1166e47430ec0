// Hearthly: the program's entry point. Builds the navigation graph, the game and the window
// in the order the scene relies on, then runs the window's loop until the player quits.

#include "agents/NavGraph.h"
#include "audio/AudioOutput.h"
#include "core/Random.h"
#include "game/Game.h"
#include "gfx/Surface.h"
#include "platform/CommandLine.h"
#include "platform/QuitSignals.h"
#include "platform/SdlAudioDevice.h"
#include "platform/SdlClock.h"
#include "platform/SdlSession.h"
#include "platform/SdlWindow.h"
#include "platform/WindowLoop.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

extern const std::uint8_t embeddedIconData[];
extern const std::size_t embeddedIconDataSize;

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 584;

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
    const auto sdl = platform::SdlSession::open(error);
    if (!sdl) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const platform::QuitSignals quitSignals;

    core::Random::seed(platform::SdlSession::tickCount());

    // Sound is welcome but not needed: without a device the game says so once and plays on in
    // silence. The device outlives the game, whose music plays through it.
    const auto audioDevice = platform::SdlAudioDevice::open(error);
    if (!audioDevice)
        std::fprintf(stderr, "%s\n", error.c_str());
    const audio::ScopedAudioOutput audioOutput(audioDevice.get());

    // The graph first: the scene's branches append their nodes to it while the game builds them.
    auto graph = std::make_unique<NavGraph>();
    setTheNavGraph(graph.get());
    auto game = std::make_unique<Game>();
    setTheGame(game.get());

    const auto window = platform::SdlWindow::create("Hearthly", kClientWidth, kClientHeight, error);
    if (!window) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    // The house at night, as the desktop's menu shows it.
    window->setIcon(gfx::Surface::fromPng(embeddedIconData, embeddedIconDataSize));

    graph->prepareTables();
    platform::SdlClock clock;
    game->attachWindow(*window, clock);
    window->show();

    platform::WindowLoop loop(*window, *game, clock);
    const int status = loop.run();
    game->releaseBackBuffer();
    return status;
}
