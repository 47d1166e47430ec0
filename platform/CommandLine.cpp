#include "platform/CommandLine.h"

#include "core/Translate.h"

#include <cstdlib>
#include <vector>

namespace platform {

namespace {

std::string tryHelp(const std::string& what) {
    return "hearthly: " + what + "; " + core::tr("try 'hearthly --help'");
}

} // namespace

CommandLine CommandLine::parse(std::span<const char* const> args) {
    std::vector<std::string> rest;
    bool noSettings = false;
    for (const char* arg : args) {
        const std::string word = arg ? arg : "";
        if (word == "--no-settings")
            noSettings = true;
        else
            rest.push_back(word);
    }
    CommandLine line = parseAction(rest);
    const char* fromEnvironment = std::getenv("HEARTHLY_NO_SETTINGS");
    line.noSettings_ = noSettings || (fromEnvironment != nullptr && *fromEnvironment != '\0');
    return line;
}

CommandLine CommandLine::parseAction(std::span<const std::string> args) {
    using core::tr;
    if (args.empty())
        return {Action::Play, {}};
    const std::string& first = args[0];
    if (args.size() == 1) {
        if (first == "--help" || first == "-h")
            return {Action::Help, {}};
        if (first == "--version" || first == "-V")
            return {Action::Version, {}};
        if (first == "--scores")
            return {Action::Scores, {}};
    }
    if (first == "--record" || first == "--play" || first == "--play-best") {
        const bool best = first == "--play-best";
        const int speed = args.size() < 2     ? 0
                          : args[1] == "slow" ? 1
                          : args[1] == "mild" ? 2
                          : args[1] == "fast" ? 3
                                              : 0;
        if (args.size() < 2 || args[1].empty() || (best && speed == 0))
            return {Action::Error,
                    tryHelp(first + " " +
                            (best ? tr("needs a speed: slow, mild or fast") : tr("needs a file name")))};
        if (args.size() > 2)
            return {Action::Error, tryHelp(tr("too many arguments"))};
        CommandLine line(Action::Play, {});
        if (best)
            line.playBest_ = speed;
        else
            (first == "--record" ? line.recordFile_ : line.playFile_) = args[1];
        return line;
    }
    if (first == "--help" || first == "-h" || first == "--version" || first == "-V" || first == "--scores")
        return {Action::Error, tryHelp(tr("too many arguments"))};
    return {Action::Error, tryHelp(tr("unknown argument") + std::string(" '") + first + "'")};
}

std::string CommandLine::helpText() {
    return core::tr(
        "Usage: hearthly [--record FILE | --play FILE | --play-best SPEED | --scores | --help | --version]\n"
        "                [--no-settings]\n"
        "\n"
        "Hearthly: click anywhere to send the Husband through the house to collect all socks,\n"
        "while the cats and the Wife are after him. Start a round with the Slow, Mild or Fast\n"
        "button. Keys: F1 help, h about, a music on/off, p pause, q or Esc quit, F11 or\n"
        "Alt+Enter full screen. Letter keys act in lower case only: with Caps Lock on, even q\n"
        "and h do nothing. The manual page hearthly(6) lists every key.\n"
        "\n"
        "      --record FILE      write the session down in FILE as it is played\n"
        "      --play FILE        show a recorded session (p pauses it, q quits)\n"
        "      --play-best SPEED  show the round that set the best time at slow, mild or fast\n"
        "      --scores           print the best times and exit\n"
        "      --no-settings      neither read nor write the settings and best times\n"
        "  -h, --help             show this help and exit\n"
        "  -V, --version          show the version and exit\n");
}

std::string CommandLine::versionText(const std::string& version) {
    return "hearthly " + version + "\n";
}

} // namespace platform
