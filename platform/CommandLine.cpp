#include "platform/CommandLine.h"

#include <string_view>

namespace platform {

CommandLine CommandLine::parse(std::span<const char* const> args) {
    if (args.empty())
        return {Action::Play, {}};
    const std::string_view first = args[0] ? args[0] : "";
    if (args.size() == 1) {
        if (first == "--help" || first == "-h")
            return {Action::Help, {}};
        if (first == "--version" || first == "-V")
            return {Action::Version, {}};
    }
    if (first == "--record" || first == "--play") {
        if (args.size() < 2 || args[1] == nullptr || *args[1] == '\0')
            return {Action::Error,
                    "hearthly: " + std::string(first) + " needs a file name; try 'hearthly --help'"};
        if (args.size() > 2)
            return {Action::Error, "hearthly: too many arguments; try 'hearthly --help'"};
        CommandLine line(Action::Play, {});
        (first == "--record" ? line.recordFile_ : line.playFile_) = args[1];
        return line;
    }
    if (first == "--help" || first == "-h" || first == "--version" || first == "-V")
        return {Action::Error, "hearthly: too many arguments; try 'hearthly --help'"};
    return {Action::Error, "hearthly: unknown argument '" + std::string(first) + "'; try 'hearthly --help'"};
}

std::string CommandLine::helpText() {
    return "Usage: hearthly [--record FILE | --play FILE | --help | --version]\n"
           "\n"
           "Hearthly: click anywhere to send the Husband through the house to collect all socks,\n"
           "while the cats and the Wife are after him. Start a round with the Slow, Mild or Fast\n"
           "button. Keys: h about, a music on/off, p pause, q or Esc quit, F11 or Alt+Enter\n"
           "full screen. Letter keys act in lower case only: with Caps Lock on, even q and h do\n"
           "nothing. The manual page hearthly(6) lists every key.\n"
           "\n"
           "      --record FILE  write the session down in FILE as it is played\n"
           "      --play FILE    show a recorded session (p pauses it, q quits)\n"
           "  -h, --help         show this help and exit\n"
           "  -V, --version      show the version and exit\n";
}

std::string CommandLine::versionText(const std::string& version) {
    return "hearthly " + version + "\n";
}

} // namespace platform
