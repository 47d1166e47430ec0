// The best times file is the player's to edit: whatever the bytes, the reader gives at most ten
// times a speed, fastest first, each a round's, that read back as themselves, or one line
// saying why not.
#include "fuzz/Require.h"
#include "game/BestTimes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using game::BestTimes;
    std::string why;
    const auto times = BestTimes::fromJson(std::string_view(reinterpret_cast<const char*>(data), size), why);
    if (!times) {
        require(!why.empty() && why.find('\n') == std::string::npos);
        return 0;
    }
    for (int speed = 1; speed <= BestTimes::kSpeeds; ++speed) {
        const auto& list = times->at(speed);
        require(list.size() <= BestTimes::kKept);
        for (std::size_t i = 0; i < list.size(); ++i) {
            require(list[i].seconds > 0 && list[i].seconds <= BestTimes::kLongestRound);
            require(list[i].lives >= 0);
            require(i == 0 || list[i - 1].seconds <= list[i].seconds);
            require(!BestTimes::formatSeconds(list[i].seconds).empty());
        }
    }
    const auto again = BestTimes::fromJson(times->toJson(), why);
    require(again.has_value());
    for (int speed = 1; speed <= BestTimes::kSpeeds; ++speed)
        require(again->at(speed) == times->at(speed));
    return 0;
}
