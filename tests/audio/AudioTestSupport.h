#pragma once

#include "audio/OfflineOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace audiotest {

// A private directory for one test's files, gone afterwards.
struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() {
        std::string name = (std::filesystem::temp_directory_path() / "hearthly-audio-XXXXXX").string();
        path = ::mkdtemp(name.data()) ? name : std::string();
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The loudest sample from a frame on: music is in the thousands, a hard cut is exactly zero.
inline int peakFrom(const audio::OfflineOutput& out, std::int64_t frame) {
    int peak = 0;
    const auto& s = out.samples();
    for (std::size_t i = static_cast<std::size_t>(frame) * 2; i < s.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

// Renders some seconds and returns the peak of what came out.
inline int renderSeconds(audio::OfflineOutput& out, double seconds) {
    const std::int64_t from = out.frameCount();
    out.advanceMicroseconds(static_cast<std::int64_t>(seconds * 1e6));
    return peakFrom(out, from);
}

// Puts an environment variable back as it was.
struct SavedVariable {
    const char* name;
    std::optional<std::string> value;
    explicit SavedVariable(const char* n) : name(n) {
        if (const char* v = std::getenv(n))
            value = v;
    }
    ~SavedVariable() {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
};

constexpr int kAudible = 1000;

} // namespace audiotest
