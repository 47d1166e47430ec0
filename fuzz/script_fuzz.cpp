// Replay scripts come from anyone chasing a bug: whatever the bytes, the reader gives events
// within bounds or one line naming the line of the problem.
#include "fuzz/Require.h"
#include "record/ReplayScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto script = ReplayScript::parse(std::string(reinterpret_cast<const char*>(data), size), error);
    if (!script) {
        require(error.rfind("script line ", 0) == 0 && error.find('\n') == std::string::npos &&
                error.size() < 400);
        return 0;
    }
    using Kind = ReplayEvent::Kind;
    for (const ReplayEvent& event : script->events()) {
        require(event.call >= 0 && event.line >= 1);
        switch (event.kind) {
        case Kind::Resize:
            require(event.x >= 0 && event.y >= 0 && event.x <= ReplayScript::kLargestSide &&
                    event.y <= ReplayScript::kLargestSide);
            break;
        case Kind::Screenshot:
        case Kind::State:
            require(!event.file.empty());
            break;
        case Kind::Key:
        case Kind::Move:
        case Kind::Click:
        case Kind::Minimize:
        case Kind::Restore:
            break;
        default:
            require(false); // a recording's events never come out of a script
        }
    }
    return 0;
}
