#include "game/AtomicFile.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Failure(const std::string& what, const std::string& path, int error) {
    return "cannot " + what + " \"" + path + "\": " + std::strerror(error);
}

/// Writes all of `contents` to `fd` and flushes it to the disk; errno is kept on failure.
bool WriteAndSync(int fd, const std::string& contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return fsync(fd) == 0;
}

}  // namespace

std::string AtomicFile::Write(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Failure("create", temporary, errno);
    const bool written = WriteAndSync(fd, contents);
    const int writeError = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        const int error = written ? errno : writeError;
        std::remove(temporary.c_str());
        return Failure("write", temporary, error);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return Failure("replace", path, error);
    }
    return {};
}
