#pragma once

#include <span>
#include <string>

namespace platform {

// What the command line asks of the program. The game takes one option, --record FILE,
// --play FILE or --play-best SPEED, and --no-settings beside any of them; --scores, --help and
// --version answer questions about it, anything else is a mistake.
class CommandLine {
public:
    enum class Action { Play, Scores, Help, Version, Error };

    // args excludes the program name.
    static CommandLine parse(std::span<const char* const> args);

    Action action() const { return action_; }
    // For Error: the one line to print on stderr.
    const std::string& error() const { return error_; }
    // For Play: the file to record the session to, or the recording to play; empty for neither.
    const std::string& recordFile() const { return recordFile_; }
    const std::string& playFile() const { return playFile_; }
    // For Play: the speed (1 Slow to 3 Fast) whose best round to show, 0 for none.
    int playBest() const { return playBest_; }
    // Neither read nor write the player's settings and best times (--no-settings, or
    // HEARTHLY_NO_SETTINGS set to anything but empty).
    bool noSettings() const { return noSettings_; }

    static std::string helpText();
    static std::string versionText(const std::string& version);

    // Exit status of an answered question (0) and of a mistake (2).
    static constexpr int kExitUsage = 2;

private:
    CommandLine(Action action, std::string error) : action_(action), error_(std::move(error)) {}
    // The arguments besides --no-settings.
    static CommandLine parseAction(std::span<const std::string> args);

    Action action_;
    std::string error_;
    std::string recordFile_;
    std::string playFile_;
    int playBest_ = 0;
    bool noSettings_ = false;
};

} // namespace platform
