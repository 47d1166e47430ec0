// Recordings are files players send each other: whatever the bytes, the reader must end with
// an event, the end, or one line naming the line of the problem, and every event it gives
// must be within the bounds the game relies on and read back the same when written again.
#include "fuzz/Require.h"
#include "record/Recording.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

bool oneLineNamingTheLine(const std::string& error) {
    return error.rfind("line ", 0) == 0 && error.find('\n') == std::string::npos && error.size() < 400;
}

bool sameEvent(const ReplayEvent& a, const ReplayEvent& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.micros == b.micros && a.key == b.key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    record::RecordingReader reader(in, 800, 584);
    std::string error;
    if (!reader.readHeader(error)) {
        require(oneLineNamingTheLine(error));
        return 0;
    }
    const record::RecordingHeader& header = reader.header();
    require(header.worldWidth == 800 && header.worldHeight == 584);
    require(header.clientWidth >= 1 && header.clientHeight >= 1 &&
            static_cast<long long>(header.clientWidth) * header.clientHeight <= ReplayScript::kLargestArea);

    using Kind = ReplayEvent::Kind;
    ReplayEvent event;
    record::RecordingReader::Next next;
    while ((next = reader.next(event, error)) == record::RecordingReader::Next::Event) {
        switch (event.kind) {
        case Kind::Size:
        case Kind::Fit:
            require(event.x >= 1 && event.y >= 1 &&
                    static_cast<long long>(event.x) * event.y <= ReplayScript::kLargestArea);
            break;
        case Kind::Move:
        case Kind::Click:
            require(event.x >= -ReplayScript::kFarthestPoint && event.x <= ReplayScript::kFarthestPoint);
            require(event.y >= -ReplayScript::kFarthestPoint && event.y <= ReplayScript::kFarthestPoint);
            break;
        case Kind::Tick:
        case Kind::Clock:
            require(event.micros >= 0 && event.micros <= ReplayScript::kLongestStepUs);
            break;
        case Kind::Key:
            require(event.key <= 0x10ffff);
            break;
        case Kind::Resize:
        case Kind::Screenshot:
        case Kind::State:
            require(false); // a script's events never come out of a recording
            break;
        default:
            break;
        }
        // Written again, the event reads back as itself.
        const std::string line = record::recordingLine(event);
        const std::vector<std::string_view> words = ReplayScript::words(line);
        ReplayEvent again;
        require(ReplayScript::parseEvent(words, ReplayScript::Dialect::Recording, again).empty());
        require(sameEvent(event, again));
    }
    if (next == record::RecordingReader::Next::Error)
        require(oneLineNamingTheLine(error));
    return 0;
}
