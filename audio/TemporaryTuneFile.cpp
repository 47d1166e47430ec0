#include "audio/TemporaryTuneFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace audio {

namespace {

// Enough numbers for any directory the game shares with other programs and earlier runs.
constexpr int kLastNumber = 100'000;

bool isDirectory(const char* path) {
    struct stat info {};
    return path && *path && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string temporaryDirectory() {
    for (const char* name : {"TMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (isDirectory(value))
            return value;
    }
    return "/tmp";
}

std::optional<TemporaryTuneFile> TemporaryTuneFile::create(std::span<const std::uint8_t> bytes,
                                                           const std::string& directory, std::string& error) {
    const std::string stem = directory + (directory.ends_with('/') ? "" : "/") + kPrefix;
    for (int number = 1; number <= kLastNumber; ++number) {
        std::string path = stem + std::to_string(number) + kSuffix;
        // O_EXCL refuses any existing name, a symbolic link included, so nothing planted under
        // the name is ever written through.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = "cannot create a file for the tune in " + directory + " (" + std::strerror(errno) + ")";
            return std::nullopt;
        }
        TemporaryTuneFile file(std::move(path));
        const bool written = writeAll(fd, bytes);
        const int writeErrno = errno;
        if (::close(fd) != 0 || !written) {
            error = "cannot write the tune to " + file.path() + " (" +
                    std::strerror(written ? errno : writeErrno) + ")";
            return std::nullopt; // the file goes with the object
        }
        return file;
    }
    error = "no free name for the tune's file in " + directory;
    return std::nullopt;
}

TemporaryTuneFile& TemporaryTuneFile::operator=(TemporaryTuneFile&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

TemporaryTuneFile::~TemporaryTuneFile() {
    remove();
}

void TemporaryTuneFile::remove() {
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}

} // namespace audio
