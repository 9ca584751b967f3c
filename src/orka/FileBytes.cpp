#include "orka/FileBytes.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace orka {

namespace {

constexpr std::size_t readChunkBytes = 64 * 1024;

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

FileBytes failure(std::string reason) {
    FileBytes result;
    result.reason = std::move(reason);
    return result;
}

// Reads until the end of the file, in chunks, so that a file growing or shrinking while it is
// read gives what was there when each chunk was read, and a device without end stops at the limit.
FileBytes readToEnd(int fd, std::size_t maxBytes) {
    FileBytes result;
    std::size_t used = 0;
    for (;;) {
        if (used == result.bytes.size()) {
            if (used > maxBytes) {
                return failure("it is larger than " + std::to_string(maxBytes) + " bytes");
            }
            result.bytes.resize(used + readChunkBytes);
        }
        const ssize_t got = ::read(fd, result.bytes.data() + used, result.bytes.size() - used);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return failure(std::strerror(errno));
        }
        used += static_cast<std::size_t>(got);
    }
    if (used > maxBytes) return failure("it is larger than " + std::to_string(maxBytes) + " bytes");
    result.bytes.resize(used);
    result.bytes.shrink_to_fit();
    result.ok = true;
    return result;
}

}  // namespace

FileBytes readFileBytes(const std::string& path, std::size_t maxBytes) {
    // Not blocking: opening a pipe nobody writes to would wait for ever.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return failure(std::strerror(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return failure(std::strerror(errno));
    if (S_ISDIR(status.st_mode)) return failure("it is a folder");
    try {
        return readToEnd(file.get(), maxBytes);
    } catch (const std::bad_alloc&) {
        return failure("not enough memory to read it");
    }
}

}  // namespace orka
