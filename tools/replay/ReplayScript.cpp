#include "ReplayScript.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool readInt(std::istringstream& in, int& out) {
    return static_cast<bool>(in >> out);
}

bool parseKey(const std::string& word, char32_t& key) {
    if (word == "esc") {
        key = 27;
        return true;
    }
    if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
        key = static_cast<char32_t>(word[0]);
        return true;
    }
    return false;
}

// The event after the call number, or an error text.
std::string parseEvent(std::istringstream& in, ReplayEvent& event) {
    std::string name;
    in >> name;
    if (name == "key") {
        std::string word;
        if (!(in >> word) || !parseKey(word, event.key))
            return "key needs one character or esc";
        event.kind = ReplayEvent::Kind::Key;
    } else if (name == "move" || name == "click" || name == "resize") {
        if (!readInt(in, event.x) || !readInt(in, event.y))
            return name + " needs two integers";
        event.kind = name == "move"    ? ReplayEvent::Kind::Move
                     : name == "click" ? ReplayEvent::Kind::Click
                                       : ReplayEvent::Kind::Resize;
        if (event.kind == ReplayEvent::Kind::Resize &&
            (event.x < 0 || event.y < 0 || event.x > 16384 || event.y > 16384))
            return "resize needs a size from 0 to 16384";
    } else if (name == "minimize") {
        event.kind = ReplayEvent::Kind::Minimize;
    } else if (name == "restore") {
        event.kind = ReplayEvent::Kind::Restore;
    } else if (name == "screenshot" || name == "state") {
        if (!(in >> event.file))
            return name + " needs a file name";
        event.kind = name == "screenshot" ? ReplayEvent::Kind::Screenshot : ReplayEvent::Kind::State;
    } else {
        return name.empty() ? "missing event" : "unknown event '" + name + "'";
    }
    std::string extra;
    if (in >> extra)
        return "unexpected '" + extra + "'";
    return {};
}

} // namespace

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
        if (const std::size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        ReplayEvent event;
        event.line = number;
        if (!(in >> event.call)) {
            in.clear();
            std::string rest;
            if (in >> rest) {
                error = "script line " + std::to_string(number) + ": expected a timer-call number";
                return std::nullopt;
            }
            continue; // blank or comment
        }
        if (event.call < 0) {
            error = "script line " + std::to_string(number) + ": negative timer-call number";
            return std::nullopt;
        }
        if (const std::string problem = parseEvent(in, event); !problem.empty()) {
            error = "script line " + std::to_string(number) + ": " + problem;
            return std::nullopt;
        }
        script.events_.push_back(std::move(event));
    }
    return script;
}
