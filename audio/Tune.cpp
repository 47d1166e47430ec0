#include "audio/Tune.h"

#include <cstddef>

extern const std::uint8_t embeddedTuneData[];
extern const std::size_t embeddedTuneDataSize;

namespace audio {

std::span<const std::uint8_t> embeddedTune() {
    return {embeddedTuneData, embeddedTuneDataSize};
}

} // namespace audio
