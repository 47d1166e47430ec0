// The settings file is the player's to edit: whatever the bytes, the reader gives settings
// within their ranges that read back as themselves, or one line saying why not.
#include "fuzz/Require.h"
#include "game/PlayerSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using game::PlayerSettings;
    std::string why;
    const auto settings =
        PlayerSettings::fromJson(std::string_view(reinterpret_cast<const char*>(data), size), why);
    if (!settings) {
        require(!why.empty() && why.find('\n') == std::string::npos);
        return 0;
    }
    require(settings->width >= 1 && settings->width <= PlayerSettings::kLargestSide);
    require(settings->height >= 1 && settings->height <= PlayerSettings::kLargestSide);
    require(settings->speed >= 1 && settings->speed <= 3);
    const auto again = PlayerSettings::fromJson(settings->toJson(), why);
    require(again && *again == *settings);
    return 0;
}
