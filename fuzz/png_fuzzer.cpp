// Fuzzes image decoding for textures: each input is the bytes of an image file, decoded by
// texture_loader::loadFileFromMemory exactly as Texture's file loading does, minus the GL upload,
// so no window or context is needed.
//
// libpng is not instrumented, so coverage cannot lead mutations past its chunk checksums; a
// custom mutator recomputes them after most mutations so that changed headers, palettes and
// transparency chunks reach the decoder and the conversion code behind it.
//
//   build-fuzz/fuzz/png_fuzzer [libFuzzer options] CORPUS_DIR...
#include <cstddef>
#include <cstdint>
#include <limits>

#include "FuzzSupport.hpp"
#include "orka/TextureLoader.hpp"

namespace {

constexpr int rgbBytes = 3;
constexpr int rgbaBytes = 4;
constexpr size_t signatureBytes = 8;
constexpr size_t lengthBytes = 4;
constexpr size_t typeBytes = 4;
constexpr size_t crcBytes = 4;
constexpr uint32_t crcPolynomial = 0xEDB88320u;  // CRC-32 as PNG uses it, reflected
constexpr unsigned keepChecksumsOneIn = 8;       // so broken checksums are still tried

uint32_t crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ (crcPolynomial & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t readBigEndian(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
           uint32_t{bytes[3]};
}

void writeBigEndian(uint32_t value, uint8_t* bytes) {
    for (int i = 0; i < 4; i++) bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Gives every chunk that lies wholly inside the data its correct checksum.
void fixChecksums(uint8_t* data, size_t size) {
    size_t at = signatureBytes;
    while (at + lengthBytes + typeBytes + crcBytes <= size) {
        const size_t length = readBigEndian(data + at);
        const size_t crcAt = at + lengthBytes + typeBytes + length;
        if (length > size || crcAt + crcBytes > size) return;
        writeBigEndian(crc32(data + at + lengthBytes, typeBytes + length), data + crcAt);
        at = crcAt + crcBytes;
    }
}

// What Texture relies on when it uploads a decoded image.
void checkImage(const orka::texture_loader::DecodedImage& image) {
    using orka::fuzz::require;
    require(image.width > 0 && image.height > 0, "a decoded image has no texels");
    require(image.format == GL_RGB || image.format == GL_RGBA, "unknown pixel format");
    require(image.bytesPerPixel == (image.format == GL_RGB ? rgbBytes : rgbaBytes),
            "bytes per pixel do not match the format");
    const size_t expected =
        static_cast<size_t>(image.width) * image.height * static_cast<size_t>(image.bytesPerPixel);
    require(image.pixels.size() == expected, "pixel buffer size differs from the image size");
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % keepChecksumsOneIn != 0) fixChecksums(data, mutated);
    return mutated;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    orka::fuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(std::numeric_limits<int>::max())) return 0;
    // 2D textures are flipped, cube map faces are not; the input picks, reproducibly.
    const bool flipVertically = size % 2 == 0;
    const auto image = orka::texture_loader::loadFileFromMemory(
        reinterpret_cast<const char*>(data), static_cast<int>(size), flipVertically);
    if (image.valid) checkImage(image);
    return 0;
}
