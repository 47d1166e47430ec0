#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace audio {

// Where the game puts its temporary files: the directory TMP names if it is one, else the one
// TMPDIR names, else /tmp.
std::string temporaryDirectory();

// The tune written out for the sequencer to read, as "hearthly<N>.mid" with the first free N.
// The file is made new and exclusively, never through a link planted under its name, and is
// readable by its owner only; it is removed when this object goes, which is when the game ends.
class TemporaryTuneFile {
public:
    static constexpr const char* kPrefix = "hearthly";
    static constexpr const char* kSuffix = ".mid";

    // The file with all bytes written, or nothing and one line in error.
    static std::optional<TemporaryTuneFile> create(std::span<const std::uint8_t> bytes,
                                                   const std::string& directory, std::string& error);

    TemporaryTuneFile(TemporaryTuneFile&& other) noexcept : path_(std::move(other.path_)) {
        other.path_.clear();
    }
    TemporaryTuneFile& operator=(TemporaryTuneFile&& other) noexcept;
    TemporaryTuneFile(const TemporaryTuneFile&) = delete;
    TemporaryTuneFile& operator=(const TemporaryTuneFile&) = delete;
    ~TemporaryTuneFile();

    const std::string& path() const { return path_; }

private:
    explicit TemporaryTuneFile(std::string path) : path_(std::move(path)) {}
    void remove();

    std::string path_;
};

} // namespace audio
