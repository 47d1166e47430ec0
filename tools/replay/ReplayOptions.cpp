#include "ReplayOptions.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>

namespace {

template <typename T> bool parseNumber(const std::string& text, T& out, T minimum, T maximum) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < minimum || value > maximum)
        return false;
    out = value;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    constexpr int kLargest = 16384;
    return parseNumber(text.substr(0, x), width, 1, kLargest) &&
           parseNumber(text.substr(x + 1), height, 1, kLargest);
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
            ok =
                parseNumber(value, options.seed, std::uint32_t{0}, std::numeric_limits<std::uint32_t>::max());
        else if (name == "--frames")
            ok = parseNumber(value, options.frames, 0LL, 1LL << 40);
        else if (name == "--tick-us")
            ok = parseNumber(value, options.tickMicroseconds, 0LL, 1LL << 40);
        else if (name == "--stand-ins")
            ok = parseNumber(value, options.standIns, 0, 100);
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
        else if (name == "--renderer")
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
    return options;
}
