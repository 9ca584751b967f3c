#include "orka/FlacComments.hpp"

#include <cstdint>
#include <cstring>

namespace orka {
namespace {

constexpr int kVorbisCommentBlock = 4;

std::uint32_t littleEndian32(const unsigned char* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

/// Where FLAC data starts past an ID3v2 tag (which libFLAC skips), or `size` without one.
std::size_t pastId3Tag(const unsigned char* data, std::size_t size) {
    constexpr std::size_t kHeader = 10;
    if (size < kHeader || std::memcmp(data, "ID3", 3) != 0) return 0;
    // Four bytes of seven bits each; a footer of ten more when flag 0x10 is set.
    const std::size_t body = std::size_t{data[6] & 0x7fu} << 21 |
                             std::size_t{data[7] & 0x7fu} << 14 |
                             std::size_t{data[8] & 0x7fu} << 7 | std::size_t{data[9] & 0x7fu};
    return kHeader + body + ((data[5] & 0x10u) != 0 ? kHeader : 0);
}

/// Why one VORBIS_COMMENT block of `length` bytes is unsafe, or empty.
std::string commentBlockProblem(const unsigned char* block, std::size_t length) {
    std::size_t at = 0;
    const auto take32 = [&](std::uint32_t& value) {
        if (length - at < 4) return false;
        value = littleEndian32(block + at);
        at += 4;
        return true;
    };
    std::uint32_t vendor = 0, count = 0;
    if (!take32(vendor) || length - at < vendor) return "its comment block is cut short";
    at += vendor;
    if (!take32(count)) return "its comment block is cut short";
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t comment = 0;
        if (!take32(comment) || length - at < comment) return "its comment block is cut short";
        if (comment == 0) return "it has an empty comment, which the sound decoder cannot read";
        at += comment;
    }
    return "";
}

}  // namespace

std::string flacCommentsProblem(const unsigned char* data, std::size_t size) {
    std::size_t at = pastId3Tag(data, size);
    if (at > size || size - at < 4 || std::memcmp(data + at, "fLaC", 4) != 0) return "";
    at += 4;
    for (bool last = false; !last && size - at >= 4;) {
        last = (data[at] & 0x80u) != 0;
        const int type = data[at] & 0x7f;
        const std::size_t length =
            std::size_t{data[at + 1]} << 16 | std::size_t{data[at + 2]} << 8 | data[at + 3];
        at += 4;
        // A comment block cut off by the end of the data is refused as cut short.
        const std::size_t present = length < size - at ? length : size - at;
        if (type == kVorbisCommentBlock) {
            const std::string problem = commentBlockProblem(data + at, present);
            if (!problem.empty()) return problem;
        }
        at += present;
    }
    return "";
}

}  // namespace orka
