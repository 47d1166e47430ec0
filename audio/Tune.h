#pragma once

#include <cstdint>
#include <span>

namespace audio {

// The game's tune, a Standard MIDI File composed by tools/tunegen and carried in the binary.
std::span<const std::uint8_t> embeddedTune();

} // namespace audio
