#pragma once

#include <charconv>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One scripted or recorded event. In a script each line is "<timer-call-number> <event> [args]",
// applied before that timer call; a recording (see Recording.h) has the events alone, in the
// order they reached the game, with the timer calls among them.
struct ReplayEvent {
    enum class Kind {
        Key,
        Move,
        Click,
        Resize,
        Minimize,
        Restore,
        Screenshot,
        State,
        // Recordings only:
        Tick,   // a timer call, micros after the clock's last reading
        Clock,  // the clock read micros later for the event that follows
        Size,   // the client area the game saw became x by y
        Expose, // the window system asked for a repaint
        Fit,    // a border drag ended; x by y was the client area before it
        Redraw, // the picture is drawn afresh at the next paint (full screen switch)
        End,    // the session ended here
    };

    long long call = 0;
    Kind kind = Kind::Key;
    char32_t key = 0;
    // Move and Click: client pixels in a script, world units in a recording. Resize, Size and
    // Fit: a width and a height.
    int x = 0;
    int y = 0;
    long long micros = 0;
    std::string file;
    int line = 0;
};

// The events of a script file, in file order; '#' starts a comment.
class ReplayScript {
public:
    // Scripts and recordings share the event words and their checks; each has events of its own.
    enum class Dialect { Script, Recording };

    // The largest window side either may ask for, and the largest client area a recording may
    // claim (an 8K screen fits).
    static constexpr int kLargestSide = 16384;
    static constexpr long long kLargestArea = 1LL << 25;
    // How far a recorded pointer may be from the world, in world units, and the longest clock
    // step one recorded line may carry (a longer pause is written as several).
    static constexpr int kFarthestPoint = 1'000'000;
    static constexpr long long kLongestStepUs = 1'000'000'000'000LL;

    // A whole word as a number from minimum to maximum: no sign but '-', no spaces, no fraction.
    template <typename T> static bool readNumber(std::string_view word, T& out, T minimum, T maximum) {
        T value{};
        const char* end = word.data() + word.size();
        const auto [ptr, ec] = std::from_chars(word.data(), end, value);
        if (ec != std::errc() || ptr != end || value < minimum || value > maximum)
            return false;
        out = value;
        return true;
    }

    // The script, or a one-line description of the first problem (naming its line).
    static std::optional<ReplayScript> load(const std::string& fileName, std::string& error);
    static std::optional<ReplayScript> parse(const std::string& text, std::string& error);

    // The words of a line, '#' and what follows it left out.
    static std::vector<std::string_view> words(std::string_view line);
    // Reads words (the event name first) as one event into event; returns what is wrong with
    // them, or nothing.
    static std::string parseEvent(std::span<const std::string_view> words, Dialect dialect,
                                  ReplayEvent& event);
    // How a key is written: "esc", one printable ASCII character, or U+ and its hexadecimal code.
    static std::string keyWord(char32_t key);

    const std::vector<ReplayEvent>& events() const { return events_; }

private:
    std::vector<ReplayEvent> events_;
};
