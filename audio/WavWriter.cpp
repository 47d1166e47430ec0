#include "audio/WavWriter.h"

#include <fstream>
#include <limits>
#include <vector>

namespace audio {

namespace {

void putLittleEndian(std::vector<char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

} // namespace

bool writeWav(const std::string& path, std::span<const std::int16_t> samples, int sampleRate,
              std::string& error) {
    constexpr std::uint32_t kChannels = 2;
    constexpr std::uint32_t kBytesPerSample = 2;
    constexpr std::uint32_t kHeaderAfterSize = 36;
    if (samples.size() * kBytesPerSample > std::numeric_limits<std::uint32_t>::max() - kHeaderAfterSize) {
        error = "the audio of this run is too long for a WAV file";
        return false;
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::vector<char> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    putLittleEndian(out, kHeaderAfterSize + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittleEndian(out, 16, 4); // size of the format chunk
    putLittleEndian(out, 1, 2);  // plain PCM
    putLittleEndian(out, kChannels, 2);
    putLittleEndian(out, rate, 4);
    putLittleEndian(out, rate * kChannels * kBytesPerSample, 4);
    putLittleEndian(out, kChannels * kBytesPerSample, 2);
    putLittleEndian(out, kBytesPerSample * 8, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLittleEndian(out, dataBytes, 4);
    for (const std::int16_t s : samples)
        putLittleEndian(out, static_cast<std::uint16_t>(s), 2);

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace audio
