#pragma once

#include "record/ReplayScript.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace record {

// What a recording says about the session before its first event.
struct RecordingHeader {
    std::uint32_t seed = 0;
    int worldWidth = 0;
    int worldHeight = 0;
    // The client area when the session started.
    int clientWidth = 0;
    int clientHeight = 0;
    // The speed 'n' starts a round at when the session began (a player's kept setting); the
    // line is there only when it is not Slow.
    int speed = 1;
};

// Reads a recording of a session (docs/recording-format.md) line by line, so that however
// long the file is, only one line is held at a time. Every problem is one line of text
// naming the line of the file; the reader never trusts a number it has not checked.
class RecordingReader {
public:
    static constexpr int kVersion = 1;
    static constexpr const char* kMagic = "hearthly-recording";
    static constexpr std::size_t kLongestLine = 200;
    // The recorded clock may not run past this many microseconds (about 285 years).
    static constexpr long long kLongestSessionUs = 1LL << 53;

    // The recording must have been made in a world of this size.
    RecordingReader(std::istream& in, int worldWidth, int worldHeight)
        : in_(in), worldWidth_(worldWidth), worldHeight_(worldHeight) {}

    // Reads up to the first event; false with the problem in error.
    bool readHeader(std::string& error);
    const RecordingHeader& header() const { return header_; }

    enum class Next {
        Event, // one more event
        End,   // the session's end line: the player quit or closed the window
        Stop,  // the file stops without an end line: the game was killed or crashed (error
               // names a last line cut off in the middle, which is not played)
        Error,
    };
    // The next event after the header. After End, Stop or Error it gives the same again.
    Next next(ReplayEvent& event, std::string& error);

    // The number of the last line read.
    int line() const { return line_; }
    // Timer calls read so far.
    long long ticks() const { return ticks_; }

private:
    // CutOff: the file ends in the middle of a line (a crash while it was written).
    enum class LineRead { Line, EndOfFile, CutOff, Problem };
    LineRead readLine(std::string& error);
    std::string at() const { return "line " + std::to_string(line_) + ": "; }
    std::string cutOff() const { return at() + "cut off before the end of the line"; }

    std::istream& in_;
    int worldWidth_;
    int worldHeight_;
    std::string text_;
    int line_ = 0;
    RecordingHeader header_;
    // A line of the body read while looking for the header's end.
    bool pendingBody_ = false;
    std::optional<Next> finished_;
    std::string finishedError_;
    long long clockUs_ = 0;
    long long ticks_ = 0;
};

// How an event is written in a recording, without the line's end.
std::string recordingLine(const ReplayEvent& event);
// The header's lines, each ending in a newline.
std::string recordingHeaderText(const RecordingHeader& header, const std::string& recordedBy);

} // namespace record
