#pragma once

#include <optional>
#include <string>
#include <vector>

// One scripted event: "<timer-call-number> <event> [args]", applied before that timer call.
struct ReplayEvent {
    enum class Kind { Key, Move, Click, Resize, Minimize, Restore, Screenshot, State };

    long long call = 0;
    Kind kind = Kind::Key;
    char32_t key = 0;
    int x = 0;
    int y = 0;
    std::string file;
    int line = 0;
};

// The events of a script file, in file order; '#' starts a comment.
class ReplayScript {
public:
    // The script, or a one-line description of the first problem (naming its line).
    static std::optional<ReplayScript> load(const std::string& fileName, std::string& error);
    static std::optional<ReplayScript> parse(const std::string& text, std::string& error);

    const std::vector<ReplayEvent>& events() const { return events_; }

private:
    std::vector<ReplayEvent> events_;
};
