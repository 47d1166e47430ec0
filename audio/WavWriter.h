#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace audio {

// Writes 16-bit stereo samples as a RIFF WAVE file; false with one line in error on failure.
bool writeWav(const std::string& path, std::span<const std::int16_t> interleavedStereo, int sampleRate,
              std::string& error);

} // namespace audio
