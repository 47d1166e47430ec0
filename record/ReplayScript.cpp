#include "record/ReplayScript.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <limits>
#include <sstream>

namespace {

using Kind = ReplayEvent::Kind;
using Dialect = ReplayScript::Dialect;

bool parseKey(std::string_view word, char32_t& key) {
    if (word == "esc") {
        key = 27;
        return true;
    }
    if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
        key = static_cast<char32_t>(word[0]);
        return true;
    }
    // Any other character the keyboard typed, by its code.
    unsigned code = 0;
    if (word.size() < 3 || word.size() > 8 || word.substr(0, 2) != "U+")
        return false;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data() + 2, end, code, 16);
    if (ec != std::errc() || ptr != end || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return false;
    key = code;
    return true;
}

// A stranger's word, as it may be repeated in a message: short and printable.
std::string printable(std::string_view word) {
    std::string shown;
    for (const char c : word.substr(0, 24))
        shown += c >= 0x20 && c < 0x7f ? c : '?';
    return word.size() > 24 ? shown + "..." : shown;
}

struct EventName {
    const char* name;
    Kind kind;
    bool inScripts;
    bool inRecordings;
};

constexpr EventName kEvents[] = {
    {"key", Kind::Key, true, true},
    {"move", Kind::Move, true, true},
    {"click", Kind::Click, true, true},
    {"resize", Kind::Resize, true, false},
    {"minimize", Kind::Minimize, true, true},
    {"restore", Kind::Restore, true, true},
    {"screenshot", Kind::Screenshot, true, false},
    {"state", Kind::State, true, false},
    {"t", Kind::Tick, false, true},
    {"clock", Kind::Clock, false, true},
    {"size", Kind::Size, false, true},
    {"expose", Kind::Expose, false, true},
    {"fit", Kind::Fit, false, true},
    {"redraw", Kind::Redraw, false, true},
    {"end", Kind::End, false, true},
};

// How many words follow each kind's name.
std::size_t argumentCount(Kind kind) {
    switch (kind) {
    case Kind::Key:
    case Kind::Screenshot:
    case Kind::State:
    case Kind::Tick:
    case Kind::Clock:
        return 1;
    case Kind::Move:
    case Kind::Click:
    case Kind::Resize:
    case Kind::Size:
    case Kind::Fit:
        return 2;
    default:
        return 0;
    }
}

std::string readArguments(std::span<const std::string_view, 3> args, Dialect dialect, ReplayEvent& event) {
    const std::string name(args[0]);
    const std::span<const std::string_view, 2> values = args.subspan<1>();
    switch (event.kind) {
    case Kind::Key:
        if (!parseKey(values[0], event.key))
            return "key needs one character, esc or U+ and a code";
        return {};
    case Kind::Move:
    case Kind::Click: {
        // A script may point anywhere a window can; a recording holds world units, which
        // never lie far outside the world.
        const int far =
            dialect == Dialect::Recording ? ReplayScript::kFarthestPoint : std::numeric_limits<int>::max();
        if (!ReplayScript::readNumber(values[0], event.x, -far, far) ||
            !ReplayScript::readNumber(values[1], event.y, -far, far))
            return dialect == Dialect::Recording ? name + " needs two whole numbers from " +
                                                       std::to_string(-far) + " to " + std::to_string(far)
                                                 : name + " needs two integers";
        return {};
    }
    case Kind::Resize:
        if (!ReplayScript::readNumber(values[0], event.x, 0, ReplayScript::kLargestSide) ||
            !ReplayScript::readNumber(values[1], event.y, 0, ReplayScript::kLargestSide))
            return "resize needs a size from 0 to " + std::to_string(ReplayScript::kLargestSide);
        return {};
    case Kind::Size:
    case Kind::Fit: {
        constexpr int side = ReplayScript::kLargestSide;
        if (!ReplayScript::readNumber(values[0], event.x, 1, side) ||
            !ReplayScript::readNumber(values[1], event.y, 1, side))
            return name + " needs a width and a height from 1 to " + std::to_string(side);
        if (static_cast<long long>(event.x) * event.y > ReplayScript::kLargestArea)
            return name + " " + std::to_string(event.x) + " x " + std::to_string(event.y) +
                   " is larger than any screen";
        return {};
    }
    case Kind::Tick:
    case Kind::Clock:
        if (!ReplayScript::readNumber(values[0], event.micros, 0LL, ReplayScript::kLongestStepUs))
            return name + " needs microseconds from 0 to " + std::to_string(ReplayScript::kLongestStepUs);
        return {};
    case Kind::Screenshot:
    case Kind::State:
        if (values[0].empty())
            return name + " needs a file name";
        event.file = values[0];
        return {};
    default:
        return {};
    }
}

} // namespace

std::vector<std::string_view> ReplayScript::words(std::string_view line) {
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
        line = line.substr(0, hash);
    std::vector<std::string_view> found;
    constexpr std::string_view kSpace = " \t\r\v\f";
    std::size_t at = line.find_first_not_of(kSpace);
    while (at != std::string_view::npos) {
        const std::size_t end = line.find_first_of(kSpace, at);
        found.push_back(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        at = end == std::string_view::npos ? end : line.find_first_not_of(kSpace, end);
    }
    return found;
}

std::string ReplayScript::parseEvent(std::span<const std::string_view> words, Dialect dialect,
                                     ReplayEvent& event) {
    if (words.empty())
        return "missing event";
    const EventName* found = nullptr;
    for (const EventName& e : kEvents)
        if (words[0] == e.name && (dialect == Dialect::Script ? e.inScripts : e.inRecordings))
            found = &e;
    if (found == nullptr) {
        // Names from the other file kind are refused by name too.
        return "unknown event '" + printable(words[0]) + "'";
    }
    event.kind = found->kind;
    const std::size_t wanted = argumentCount(found->kind);
    if (words.size() > wanted + 1)
        return "unexpected '" + printable(words[wanted + 1]) + "'";
    // Missing values read as empty words, which every check below refuses with its own message.
    std::string_view padded[3] = {words[0], {}, {}};
    for (std::size_t i = 1; i < words.size(); ++i)
        padded[i] = words[i];
    return readArguments(padded, dialect, event);
}

std::string ReplayScript::keyWord(char32_t key) {
    if (key == 27)
        return "esc";
    // '#' would start a comment; it is written by its code like every other character that
    // is not plainly printable.
    if (key > 0x20 && key < 0x7f && key != U'#')
        return std::string(1, static_cast<char>(key));
    std::ostringstream code;
    code << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
         << static_cast<std::uint32_t>(key);
    return code.str();
}

std::optional<ReplayScript> ReplayScript::load(const std::string& fileName, std::string& error) {
    // A directory opens like a file on Linux and reads as nothing: refuse it, or a mistyped
    // path would run as an empty script.
    std::error_code ec;
    std::ifstream file(fileName);
    if (!file || std::filesystem::is_directory(fileName, ec)) {
        error = "cannot read script " + fileName;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str(), error);
}

std::optional<ReplayScript> ReplayScript::parse(const std::string& text, std::string& error) {
    ReplayScript script;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::vector<std::string_view> w = words(line);
        if (w.empty())
            continue; // blank or comment
        const std::string where = "script line " + std::to_string(number) + ": ";
        ReplayEvent event;
        event.line = number;
        if (!ReplayScript::readNumber(w[0], event.call, 0LL, std::numeric_limits<long long>::max())) {
            long long negative = 0;
            error =
                where + (ReplayScript::readNumber(w[0], negative, std::numeric_limits<long long>::min(), -1LL)
                             ? "negative timer-call number"
                             : "expected a timer-call number");
            return std::nullopt;
        }
        if (const std::string problem = parseEvent(std::span(w).subspan(1), Dialect::Script, event);
            !problem.empty()) {
            error = where + problem;
            return std::nullopt;
        }
        script.events_.push_back(std::move(event));
    }
    return script;
}
