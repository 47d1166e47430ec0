#pragma once

#include "game/Renderer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line of hearthly-replay.
struct ReplayOptions {
    std::uint32_t seed = 1;
    long long frames = 0;
    long long tickMicroseconds = 10'000;
    int width = 800;
    int height = 584;
    std::string scriptFile;
    std::string screenshotFile;
    std::string stateFile;
    std::string audioFile;
    // A recording to play (its seed, size and timer calls replace --seed, --size, --frames and
    // --tick-us), and the first option given that the recording would replace.
    std::string playFile;
    std::string sessionOption;
    bool checkIncremental = false;
    bool noPaint = false;
    bool checkAgents = false;
    int standIns = 0;
    bool timing = false;
    // Timer calls come as far apart in real time as the clock says (a window's pace), so that
    // --timing's CPU counts what a frame costs when the caches have cooled between frames.
    bool paced = false;
    // --renderer: who paints the small shapes; unset, HEARTHLY_RENDERER decides.
    std::optional<game::Renderer::Shapes> shapes;
    // --autoplay: a player of its own plays one round at the speed (1 to 3) and says how it went.
    bool autoplay = false;
    int speedLevel = 0; // 0: not given (Slow)
    bool framesGiven = false;
    bool helpRequested = false;
    bool versionRequested = false;

    // The speeds by their buttons, slowest first, as --speed names them.
    static constexpr const char* kSpeeds[] = {"slow", "mild", "fast"};
    // Timer calls of an autoplayed run without --frames: ten minutes of game time.
    static constexpr long long kAutoplayFrames = 60'000;

    static constexpr const char* kUsage =
        "usage: hearthly-replay [--seed N] [--frames N] [--tick-us N] [--size WxH] [--script FILE]\n"
        "                       [--screenshot FILE.png] [--state FILE.json] [--check-incremental]\n"
        "                       [--no-paint] [--timing] [--check-agents] [--stand-ins N]\n"
        "                       [--audio FILE.wav] [--renderer cairo|fast] [--paced]\n"
        "       hearthly-replay --autoplay [--speed slow|mild|fast] [the options above but --script]\n"
        "       hearthly-replay --play FILE [--screenshot FILE.png] [--state FILE.json] [--audio FILE.wav]\n"
        "                       [--check-incremental] [--no-paint] [--timing] [--check-agents] [--paced]\n"
        "       hearthly-replay --help | --version\n";

    // The options, or a one-line description of what is wrong with the arguments.
    static std::optional<ReplayOptions> parse(const std::vector<std::string>& args, std::string& error);
};
