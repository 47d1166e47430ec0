#include "record/Recording.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

namespace record {

namespace {

using Kind = ReplayEvent::Kind;

bool isHeaderWord(std::string_view word) {
    return word == RecordingReader::kMagic || word == "seed" || word == "world" || word == "client" ||
           word == "speed";
}

// "W H" of a header line, each side from 1 to the largest a window may have.
bool readSize(const std::vector<std::string_view>& words, int& width, int& height) {
    return words.size() == 3 && ReplayScript::readNumber(words[1], width, 1, ReplayScript::kLargestSide) &&
           ReplayScript::readNumber(words[2], height, 1, ReplayScript::kLargestSide);
}

} // namespace

RecordingReader::LineRead RecordingReader::readLine(std::string& error) {
    text_.clear();
    std::streambuf* buffer = in_.rdbuf();
    ++line_;
    for (;;) {
        const int c = buffer != nullptr ? buffer->sbumpc() : std::char_traits<char>::eof();
        if (c == std::char_traits<char>::eof()) {
            if (text_.empty())
                return LineRead::EndOfFile;
            // Lines are written whole: a last line without its end was cut off.
            return LineRead::CutOff;
        }
        if (c == '\n')
            return LineRead::Line;
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02x", byte);
            error = at() + "not text (a byte " + code + ")";
            return LineRead::Problem;
        }
        if (text_.size() >= kLongestLine) {
            error = at() + "longer than " + std::to_string(kLongestLine) + " characters";
            return LineRead::Problem;
        }
        text_ += static_cast<char>(byte);
    }
}

bool RecordingReader::readHeader(std::string& error) {
    bool sawMagic = false;
    bool sawSeed = false;
    bool sawWorld = false;
    bool sawClient = false;
    bool sawSpeed = false;
    for (;;) {
        const LineRead got = readLine(error);
        if (got == LineRead::CutOff)
            error = cutOff() + "; the header is incomplete";
        if (got == LineRead::Problem || got == LineRead::CutOff)
            return false;
        if (got == LineRead::EndOfFile && !sawMagic) {
            error = at() + "empty: not a Hearthly recording";
            return false;
        }
        // At the end of the file there are no words, and the header must be whole.
        const std::vector<std::string_view> words =
            ReplayScript::words(got == LineRead::Line ? std::string_view(text_) : std::string_view());
        if (got == LineRead::Line && words.empty())
            continue;
        if (!sawMagic) {
            int version = 0;
            if (words[0] != kMagic || words.size() != 2) {
                error = at() + "not a Hearthly recording (the first line must be '" + kMagic + " " +
                        std::to_string(kVersion) + "')";
                return false;
            }
            if (!ReplayScript::readNumber(words[1], version, 1, std::numeric_limits<int>::max()) ||
                version != kVersion) {
                error = at() + "a recording in format version '" + std::string(words[1].substr(0, 12)) +
                        "'; this game reads version " + std::to_string(kVersion);
                return false;
            }
            sawMagic = true;
            continue;
        }
        if (!words.empty() && isHeaderWord(words[0])) {
            const std::string name(words[0]);
            bool& saw = name == "seed"     ? sawSeed
                        : name == "world"  ? sawWorld
                        : name == "client" ? sawClient
                        : name == "speed"  ? sawSpeed
                                           : sawMagic;
            if (saw) {
                error = at() + "a second '" + name + "' line";
                return false;
            }
            saw = true;
            if (name == "seed" &&
                (words.size() != 2 || !ReplayScript::readNumber(words[1], header_.seed, std::uint32_t{0},
                                                                std::numeric_limits<std::uint32_t>::max()))) {
                error = at() + "seed needs a whole number from 0 to 4294967295";
                return false;
            }
            if (name == "speed" &&
                (words.size() != 2 || !ReplayScript::readNumber(words[1], header_.speed, 1, 3))) {
                error = at() + "speed needs 1, 2 or 3";
                return false;
            }
            if (name == "world" &&
                (!readSize(words, header_.worldWidth, header_.worldHeight) ||
                 header_.worldWidth != worldWidth_ || header_.worldHeight != worldHeight_)) {
                error = at() + "made in a world other than this game's " + std::to_string(worldWidth_) +
                        " x " + std::to_string(worldHeight_);
                return false;
            }
            if (name == "client") {
                if (!readSize(words, header_.clientWidth, header_.clientHeight)) {
                    error = at() + "client needs a width and a height from 1 to " +
                            std::to_string(ReplayScript::kLargestSide);
                    return false;
                }
                if (static_cast<long long>(header_.clientWidth) * header_.clientHeight >
                    ReplayScript::kLargestArea) {
                    error = at() + "a client area of " + std::to_string(header_.clientWidth) + " x " +
                            std::to_string(header_.clientHeight) + " is larger than any screen";
                    return false;
                }
            }
            continue;
        }
        // The first event, or the end of the file: the header must be whole by now.
        const char* missing = !sawSeed ? "seed" : !sawWorld ? "world" : !sawClient ? "client" : nullptr;
        if (missing != nullptr) {
            error = at() + "the header has no '" + missing + "' line";
            return false;
        }
        pendingBody_ = got == LineRead::Line;
        if (got == LineRead::EndOfFile)
            finished_ = Next::Stop;
        return true;
    }
}

RecordingReader::Next RecordingReader::next(ReplayEvent& event, std::string& error) {
    if (finished_) {
        error = finishedError_;
        return *finished_;
    }
    const auto finish = [&](Next how) {
        finished_ = how;
        finishedError_ = error;
        return how;
    };
    for (;;) {
        if (!pendingBody_) {
            const LineRead got = readLine(error);
            if (got == LineRead::Problem)
                return finish(Next::Error);
            // A crash may cut the line being written: what came before it plays.
            if (got == LineRead::CutOff)
                error = cutOff() + "; played up to the line before";
            else if (got == LineRead::EndOfFile)
                error.clear();
            if (got == LineRead::EndOfFile || got == LineRead::CutOff)
                return finish(Next::Stop);
        }
        pendingBody_ = false;
        const std::vector<std::string_view> words = ReplayScript::words(text_);
        if (words.empty())
            continue;
        if (isHeaderWord(words[0])) {
            error = at() + "'" + std::string(words[0]) + "' belongs in the header, before the first event";
            return finish(Next::Error);
        }
        event = ReplayEvent{};
        if (const std::string problem =
                ReplayScript::parseEvent(words, ReplayScript::Dialect::Recording, event);
            !problem.empty()) {
            error = at() + problem;
            return finish(Next::Error);
        }
        event.line = line_;
        if (event.kind == Kind::Tick || event.kind == Kind::Clock) {
            clockUs_ += event.micros;
            if (clockUs_ > kLongestSessionUs) {
                error = at() + "the clock runs past any session's length";
                return finish(Next::Error);
            }
        }
        if (event.kind == Kind::Tick)
            event.call = ++ticks_;
        if (event.kind != Kind::End)
            return Next::Event;
        // Nothing but comments may follow the end.
        for (;;) {
            const LineRead got = readLine(error);
            if (got == LineRead::CutOff)
                error = cutOff();
            if (got == LineRead::Problem || got == LineRead::CutOff)
                return finish(Next::Error);
            if (got == LineRead::EndOfFile)
                break;
            if (!ReplayScript::words(text_).empty()) {
                error = at() + "more after the session's end line";
                return finish(Next::Error);
            }
        }
        error.clear();
        return finish(Next::End);
    }
}

std::string recordingLine(const ReplayEvent& event) {
    const auto pair = [&](const char* name) {
        return std::string(name) + " " + std::to_string(event.x) + " " + std::to_string(event.y);
    };
    switch (event.kind) {
    case Kind::Key:
        return "key " + ReplayScript::keyWord(event.key);
    case Kind::Move:
        return pair("move");
    case Kind::Click:
        return pair("click");
    case Kind::Minimize:
        return "minimize";
    case Kind::Restore:
        return "restore";
    case Kind::Tick:
        return "t " + std::to_string(event.micros);
    case Kind::Clock:
        return "clock " + std::to_string(event.micros);
    case Kind::Size:
        return pair("size");
    case Kind::Expose:
        return "expose";
    case Kind::Fit:
        return pair("fit");
    case Kind::Redraw:
        return "redraw";
    case Kind::End:
        return "end";
    default:
        return "# not a recorded event";
    }
}

std::string recordingHeaderText(const RecordingHeader& header, const std::string& recordedBy) {
    return std::string(RecordingReader::kMagic) + " " + std::to_string(RecordingReader::kVersion) + "\n" +
           "# recorded by " + recordedBy + "\n" + "seed " + std::to_string(header.seed) + "\n" + "world " +
           std::to_string(header.worldWidth) + " " + std::to_string(header.worldHeight) + "\n" + "client " +
           std::to_string(header.clientWidth) + " " + std::to_string(header.clientHeight) + "\n" +
           (header.speed != 1 ? "speed " + std::to_string(header.speed) + "\n" : std::string());
}

} // namespace record
