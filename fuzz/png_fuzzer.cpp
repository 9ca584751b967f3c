// Fuzzes image decoding for textures: each input is the bytes of an image file, decoded by
// texture_loader::loadFileFromMemory exactly as Texture's file loading does, minus the GL upload,
// so no window or context is needed.
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
