#include "core/KeptFile.h"

#include "core/Translate.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core::KeptFile {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

bool writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t wrote = ::write(fd, contents.data(), contents.size());
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

} // namespace

std::filesystem::path folder(const char* variable, const char* homeFallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value == '/')
        return std::filesystem::path(value) / "hearthly";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0')
        return {};
    return std::filesystem::path(home) / homeFallback / "hearthly";
}

Read read(const std::filesystem::path& file, std::string& contents, std::string& error) {
    contents.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // No file, or no folder to hold one (a file stands where it should be).
        if (errno == ENOENT || errno == ENOTDIR)
            return Read::Missing;
        error = reason(errno);
        return Read::Failed;
    }
    struct stat info {};
    Read result = Read::Done;
    if (::fstat(fd, &info) != 0) {
        error = reason(errno);
        result = Read::Failed;
    } else if (!S_ISREG(info.st_mode)) {
        error = tr("not a plain file");
        result = Read::Failed;
    }
    char buffer[4096];
    while (result == Read::Done) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = reason(errno);
            result = Read::Failed;
        } else if (got == 0) {
            break;
        } else if (contents.size() + static_cast<std::size_t>(got) > kLargestFile) {
            error = trNumber("larger than %d KB", static_cast<int>(kLargestFile / 1024));
            result = Read::Failed;
        } else {
            contents.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return result;
}

bool write(const std::filesystem::path& file, std::string_view contents, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        error = trFill("cannot make the folder %s (%s)", {file.parent_path().string(), ec.message()});
        return false;
    }
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = trFill("cannot write in %s (%s)", {file.parent_path().string(), reason(errno)});
        return false;
    }
    // mkostemp makes the file for its owner alone; a kept file is as readable as any other.
    ::fchmod(fd, 0644);
    const bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        error = trFill("cannot write %s (%s)", {file.string(), reason(written ? errno : writeError)});
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        error = trFill("cannot write %s (%s)", {file.string(), reason(errno)});
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::filesystem::path setAside(const std::filesystem::path& file, std::string& error) {
    std::filesystem::path aside = file;
    aside += ".bad";
    if (::rename(file.c_str(), aside.c_str()) != 0) {
        error = reason(errno);
        return {};
    }
    return aside;
}

} // namespace core::KeptFile
