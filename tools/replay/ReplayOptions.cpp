#include "ReplayOptions.h"

#include "record/ReplayScript.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    constexpr int kLargest = 16384;
    return ReplayScript::readNumber(text.substr(0, x), width, 1, kLargest) &&
           ReplayScript::readNumber(text.substr(x + 1), height, 1, kLargest);
}

struct Switch {
    const char* name;
    bool ReplayOptions::*member;
};

constexpr Switch kSwitches[] = {
    {"--check-incremental", &ReplayOptions::checkIncremental},
    {"--no-paint", &ReplayOptions::noPaint},
    {"--timing", &ReplayOptions::timing},
    {"--paced", &ReplayOptions::paced},
    {"--check-agents", &ReplayOptions::checkAgents},
    {"--autoplay", &ReplayOptions::autoplay},
    {"--help", &ReplayOptions::helpRequested},
    {"-h", &ReplayOptions::helpRequested},
    {"--version", &ReplayOptions::versionRequested},
    {"-V", &ReplayOptions::versionRequested},
};

} // namespace

std::optional<ReplayOptions> ReplayOptions::parse(const std::vector<std::string>& args, std::string& error) {
    ReplayOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        // Switches take no value.
        const auto flag = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                       [&](const Switch& s) { return name == s.name; });
        if (flag != std::end(kSwitches)) {
            options.*(flag->member) = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name.rfind("--", 0) == 0 ? "missing value after " + name : "unknown argument " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--seed")
            ok = ReplayScript::readNumber(value, options.seed, std::uint32_t{0},
                                          std::numeric_limits<std::uint32_t>::max());
        else if (name == "--frames")
            ok = options.framesGiven = ReplayScript::readNumber(value, options.frames, 0LL, 1LL << 40);
        else if (name == "--tick-us")
            ok = ReplayScript::readNumber(value, options.tickMicroseconds, 0LL, 1LL << 40);
        else if (name == "--stand-ins")
            ok = ReplayScript::readNumber(value, options.standIns, 0, 100);
        else if (name == "--size")
            ok = parseSize(value, options.width, options.height);
        else if (name == "--script")
            options.scriptFile = value;
        else if (name == "--screenshot")
            options.screenshotFile = value;
        else if (name == "--state")
            options.stateFile = value;
        else if (name == "--audio")
            options.audioFile = value;
        else if (name == "--play")
            options.playFile = value;
        else if (name == "--speed") {
            const auto speed = std::find(std::begin(kSpeeds), std::end(kSpeeds), value);
            ok = speed != std::end(kSpeeds);
            options.speedLevel = static_cast<int>(speed - std::begin(kSpeeds)) + 1;
        } else if (name == "--renderer")
            ok = (options.shapes = game::Renderer::parseShapes(value)).has_value();
        else {
            error = "unknown argument " + name;
            return std::nullopt;
        }
        if (options.sessionOption.empty() &&
            (name == "--seed" || name == "--frames" || name == "--tick-us" || name == "--size" ||
             name == "--script" || name == "--stand-ins"))
            options.sessionOption = name;
        if (!ok || value.empty()) {
            error = "bad value '" + value + "' for " + name;
            return std::nullopt;
        }
    }
    // The autoplay makes the round's clicks itself, from the game's own start.
    const char* conflict = nullptr;
    if (options.speedLevel != 0 && !options.autoplay)
        conflict = "--speed goes with --autoplay";
    else if (options.autoplay && !options.scriptFile.empty())
        conflict = "--script cannot go with --autoplay: the autoplay makes the clicks";
    else if (options.autoplay && !options.playFile.empty())
        conflict = "--autoplay cannot go with --play: the recording has the clicks";
    if (conflict != nullptr) {
        error = conflict;
        return std::nullopt;
    }
    if (options.autoplay && options.speedLevel == 0)
        options.speedLevel = 1;
    if (options.autoplay && !options.framesGiven)
        options.frames = kAutoplayFrames;
    return options;
}
