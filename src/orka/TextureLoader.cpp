#include "orka/TextureLoader.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "orka/FileBytes.hpp"
#include "orka/Log.hpp"

namespace orka::texture_loader {

namespace {

constexpr Uint8 opaqueAlpha = 255;
constexpr int rgbBytes = 3;
constexpr int rgbaBytes = 4;
constexpr size_t pngSignatureBytes = 8;
constexpr size_t chunkLengthBytes = 4;
constexpr size_t chunkTypeBytes = 4;
constexpr size_t chunkHeaderBytes = chunkLengthBytes + chunkTypeBytes;
constexpr size_t chunkCrcBytes = 4;
constexpr uint32_t largestChunkLength = 0x7FFFFFFF;  // the PNG format's own limit
constexpr size_t headerWidthAt = pngSignatureBytes + chunkHeaderBytes;  // in IHDR, first chunk
constexpr size_t headerHeightAt = headerWidthAt + 4;
// Wider or taller images are refused before decoding: most GL implementations (llvmpipe too)
// cannot hold them as textures, and a small file claiming such a size would make the decoder
// allocate gigabytes.
constexpr uint32_t largestImageSide = 16384;
constexpr size_t tgaHeaderBytes = 18;
constexpr size_t bmpHeaderBytes = 26;  // file header and the info header's size, width, height

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

bool paletteHasAlpha(const SDL_Palette* palette) {
    if (palette == nullptr) return false;
    for (int i = 0; i < palette->ncolors; i++) {
        if (palette->colors[i].a != opaqueAlpha) return true;
    }
    return false;
}

// Alpha by the pixel format's type and component order; indexed formats by their palette.
bool formatHasAlpha(const SDL_PixelFormat* format) {
    const Uint32 f = format->format;
    if (f == 0 || SDL_ISPIXELFORMAT_FOURCC(f)) return false;
    switch (SDL_PIXELTYPE(f)) {
        case SDL_PIXELTYPE_PACKED8:
        case SDL_PIXELTYPE_PACKED16:
        case SDL_PIXELTYPE_PACKED32: {
            const Uint32 order = SDL_PIXELORDER(f);
            return order == SDL_PACKEDORDER_ARGB || order == SDL_PACKEDORDER_RGBA ||
                   order == SDL_PACKEDORDER_ABGR || order == SDL_PACKEDORDER_BGRA;
        }
        case SDL_PIXELTYPE_ARRAYU8:
        case SDL_PIXELTYPE_ARRAYU16:
        case SDL_PIXELTYPE_ARRAYU32:
        case SDL_PIXELTYPE_ARRAYF16:
        case SDL_PIXELTYPE_ARRAYF32: {
            const Uint32 order = SDL_PIXELORDER(f);
            return order == SDL_ARRAYORDER_RGBA || order == SDL_ARRAYORDER_ARGB ||
                   order == SDL_ARRAYORDER_BGRA || order == SDL_ARRAYORDER_ABGR;
        }
        case SDL_PIXELTYPE_INDEX1:
        case SDL_PIXELTYPE_INDEX4:
        case SDL_PIXELTYPE_INDEX8:
            return paletteHasAlpha(format->palette);
        default:
            return false;
    }
}

// SDL_image marks a single fully transparent palette entry (or a tRNS colour of a grey or RGB
// image) with a colour key rather than palette alpha; it is transparency all the same.
bool hasTransparency(SDL_Surface* surface) {
    return formatHasAlpha(surface->format) || SDL_HasColorKey(surface) == SDL_TRUE;
}

GLenum getFormat(const SDL_Surface* surface) {
    if (formatHasAlpha(surface->format)) return GL_RGBA;
    switch (surface->format->BytesPerPixel) {
        case rgbaBytes:
            return GL_RGBA;
        case rgbBytes:
            return GL_RGB;
        default:
            ORKA_LOG_ERROR("Unknown pixel format after conversion");
            return 0;
    }
}

// PNG is required; JPEG and WebP are loaded when SDL_image has them (Debian's does). BMP and
// TGA need no library.
void initDecodersOnce() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    const int wanted = IMG_INIT_PNG | IMG_INIT_JPG | IMG_INIT_WEBP;
    const int available = IMG_Init(wanted);
    if ((available & IMG_INIT_PNG) == 0) {
        ORKA_LOG_ERROR("IMG_Init: Failed to init required png support!\nIMG_Init() returned %s",
                       SDL_GetError());
    }
    if ((available & wanted) != wanted) {
        ORKA_LOG_WARNING("SDL_image lacks JPEG or WebP support: such textures fail to load");
    }
}

// Rows of an SDL surface are `pitch` bytes apart (padded to 4 bytes); the result is packed.
std::vector<char> packRows(const SDL_Surface* surface, int rowBytes) {
    std::vector<char> pixels(static_cast<size_t>(rowBytes) * surface->h);
    const char* source = static_cast<const char*>(surface->pixels);
    for (int row = 0; row < surface->h; row++) {
        std::memcpy(&pixels[static_cast<size_t>(row) * rowBytes],
                    source + static_cast<size_t>(row) * surface->pitch, rowBytes);
    }
    return pixels;
}

uint32_t readBigEndian32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | static_cast<uint32_t>(bytes[3]);
}

// True when every chunk up to IEND lies wholly inside the data. SDL_image's reader does not
// report the end of its input, so libpng would go on reading past it: a chunk that claims two
// gigabytes in a small file kept it checksumming nothing for many seconds.
bool pngChunksFit(const char* data, int size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const auto total = static_cast<size_t>(size);
    size_t at = pngSignatureBytes;
    while (total >= chunkHeaderBytes && at <= total - chunkHeaderBytes) {
        const uint32_t length = readBigEndian32(bytes + at);
        if (length > largestChunkLength) return false;
        const size_t chunkEnd = at + chunkHeaderBytes + length + chunkCrcBytes;
        if (chunkEnd > total) return false;
        if (std::memcmp(bytes + at + chunkLengthBytes, "IEND", chunkTypeBytes) == 0) return true;
        at = chunkEnd;
    }
    return false;
}

// Sets SDL's error and returns false when the PNG's header claims a size beyond the largest.
bool pngSizeSupported(const char* data, int size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    // Without a complete IHDR first, libpng has its own complaint.
    if (static_cast<size_t>(size) < headerHeightAt + 4) return true;
    if (std::memcmp(bytes + pngSignatureBytes + chunkLengthBytes, "IHDR", chunkTypeBytes) != 0) {
        return true;
    }
    const uint32_t width = readBigEndian32(bytes + headerWidthAt);
    const uint32_t height = readBigEndian32(bytes + headerHeightAt);
    if (width <= largestImageSide && height <= largestImageSide) return true;
    SDL_SetError("PNG image of %u x %u texels is larger than %u x %u", width, height,
                 largestImageSide, largestImageSide);
    return false;
}

uint16_t readLittleEndian16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

int32_t readLittleEndian32(const unsigned char* bytes) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
        static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

// Sets SDL's error and returns false for a claimed size beyond the largest texture.
bool sideSupported(const char* format, int64_t width, int64_t height) {
    if (width <= largestImageSide && height <= largestImageSide) return true;
    SDL_SetError("%s image of %lld x %lld texels is larger than %u x %u", format,
                 static_cast<long long>(width), static_cast<long long>(height), largestImageSide,
                 largestImageSide);
    return false;
}

// False, with the reason set, when a file of `bytes` bytes cannot hold a picture of `width` x
// `height` texels at the densest its format packs them. Decoders make the whole picture before
// they read its data (a gigabyte for 16,384 x 16,384), and libjpeg then decodes a cut file to
// its end, so a few bytes claiming a huge size would cost seconds. Pictures of up to 2,048 x
// 2,048 texels are always decoded.
bool bytesCanHold(const char* format, int64_t width, int64_t height, size_t bytes,
                  int64_t texelsPerByte) {
    constexpr int64_t alwaysDecoded = int64_t{2048} * 2048;
    const int64_t texels = width * height;
    if (texels <= alwaysDecoded || texels <= static_cast<int64_t>(bytes) * texelsPerByte) {
        return true;
    }
    SDL_SetError("Truncated %s data: %zu bytes cannot hold %lld x %lld texels", format, bytes,
                 static_cast<long long>(width), static_cast<long long>(height));
    return false;
}

// TGA files have no signature. Header fields that no TGA writer produces tell other bytes apart:
// a colour map flag of 0 or 1, a known image type, a positive size and a known pixel depth.
bool looksLikeTga(const unsigned char* bytes, size_t size) {
    if (size < tgaHeaderBytes) return false;
    const unsigned char colourMapType = bytes[1];
    const unsigned char imageType = bytes[2];
    const unsigned char depth = bytes[16];
    const bool knownType =
        (imageType >= 1 && imageType <= 3) || (imageType >= 9 && imageType <= 11);
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    return colourMapType <= 1 && knownType && knownDepth && readLittleEndian16(bytes + 12) > 0 &&
           readLittleEndian16(bytes + 14) > 0;
}

// False when a TGA holds fewer bytes than its header's size needs. Uncompressed, SDL_image would
// make a picture of whatever memory follows; compressed (run-length, at most 128 pixels a packet
// of a count byte and one pixel or more), it would first clear a picture of up to a gigabyte
// for a few bytes of data.
bool tgaDataFits(const unsigned char* bytes, size_t size) {
    constexpr size_t pixelsPerPacket = 128;
    const bool runLength = bytes[2] > 3;
    const size_t idBytes = bytes[0];
    const size_t mapBytes =
        bytes[1] == 1 ? static_cast<size_t>(readLittleEndian16(bytes + 5)) * ((bytes[7] + 7) / 8)
                      : 0;
    const size_t bytesPerPixel = (bytes[16] + 7) / 8;
    const size_t pixels =
        static_cast<size_t>(readLittleEndian16(bytes + 12)) * readLittleEndian16(bytes + 14);
    const size_t leastPixelBytes =
        runLength ? (pixels + pixelsPerPacket - 1) / pixelsPerPacket * (1 + bytesPerPixel)
                  : pixels * bytesPerPixel;
    return size >= tgaHeaderBytes + idBytes + mapBytes + leastPixelBytes;
}

// The size in a JPEG's first start-of-frame segment; (0, 0) when there is none before the data.
std::pair<int, int> jpegSize(const unsigned char* bytes, size_t size) {
    size_t at = 2;  // after the start-of-image marker
    while (at + 9 <= size && bytes[at] == 0xFF) {
        const unsigned char marker = bytes[at + 1];
        const size_t length = static_cast<size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
        // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC) carry height, then width.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            return {bytes[at + 7] << 8 | bytes[at + 8], bytes[at + 5] << 8 | bytes[at + 6]};
        }
        at += 2 + length;
    }
    return {0, 0};
}

// Picks the decoder by the data's signature, and refuses sizes beyond the largest texture
// before decoding. IMG_Load_RW would try every format SDL_image knows (SVG, XCF, PCX, ...) on
// unknown bytes: far more parsing of untrusted files than textures need, and its SVG reader
// leaks memory on broken input. Unknown data fails as IMG_Load_RW fails for unknown formats.
SDL_Surface* decodeKnownFormat(SDL_RWops* source, const char* data, int size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const auto total = static_cast<size_t>(size);
    if (IMG_isPNG(source)) {
        if (!pngChunksFit(data, size)) {
            SDL_SetError("Truncated PNG data: a chunk runs past the end");
            return nullptr;
        }
        return pngSizeSupported(data, size) ? IMG_LoadPNG_RW(source) : nullptr;
    }
    if (IMG_isJPG(source)) {
        // Even a picture of one colour takes a few bits per block of 8 x 8 texels.
        constexpr int64_t jpegTexelsPerByte = 4096;
        const auto [width, height] = jpegSize(bytes, total);
        if (!sideSupported("JPEG", width, height)) return nullptr;
        return bytesCanHold("JPEG", width, height, total, jpegTexelsPerByte)
                   ? IMG_LoadJPG_RW(source)
                   : nullptr;
    }
    if (IMG_isBMP(source)) {
        if (total < bmpHeaderBytes) return IMG_LoadBMP_RW(source);  // it says what is missing
        // Run-length coding packs at most 255 texels into two bytes.
        constexpr int64_t bmpTexelsPerByte = 128;
        const int64_t width = readLittleEndian32(bytes + 18);
        int64_t height = readLittleEndian32(bytes + 22);  // negative: rows top-down
        if (height < 0) height = -height;
        if (!sideSupported("BMP", width, height)) return nullptr;
        return bytesCanHold("BMP", width, height, total, bmpTexelsPerByte) ? IMG_LoadBMP_RW(source)
                                                                           : nullptr;
    }
    // WebP limits sides to 16383 texels itself.
    if (IMG_isWEBP(source)) return IMG_LoadWEBP_RW(source);
    if (looksLikeTga(bytes, total)) {
        if (!sideSupported("TGA", readLittleEndian16(bytes + 12), readLittleEndian16(bytes + 14))) {
            return nullptr;
        }
        if (!tgaDataFits(bytes, total)) {
            SDL_SetError("Truncated TGA data: fewer pixels than its header says");
            return nullptr;
        }
        return IMG_LoadTGA_RW(source);
    }
    SDL_SetError("Unsupported image format");
    return nullptr;
}

SDL_Surface* decodeImage(const char* data, int size) {
    SDL_RWops* source = SDL_RWFromConstMem(data, size);
    if (source == nullptr) return nullptr;
    SDL_Surface* surface = decodeKnownFormat(source, data, size);
    SDL_RWclose(source);
    return surface;
}

}  // namespace

std::vector<char> readAllBytes(const std::string& filename, bool* readable) {
    FileBytes file = readFileBytes(filename);
    if (readable != nullptr) *readable = file.ok;
    if (!file.ok) {
        ORKA_LOG_ERROR("Cannot read texture from %s: %s", filename.c_str(), file.reason.c_str());
        return {};
    }
    return std::move(file.bytes);
}

DecodedImage loadFileFromMemory(const char* data, int size, bool flipVertically,
                                const std::string& filename) {
    initDecodersOnce();
    DecodedImage image;
    SurfacePtr surface(decodeImage(data, size), SDL_FreeSurface);
    if (!surface) {
        if (filename.empty()) {
            ORKA_LOG_ERROR("Cannot load texture. IMG_Load_RW returned %s", SDL_GetError());
        } else {
            ORKA_LOG_ERROR("Cannot load texture %s. IMG_Load_RW returned %s", filename.c_str(),
                           SDL_GetError());
        }
        return image;
    }
    image.transparent = hasTransparency(surface.get());
    const Uint32 target =
        image.transparent ? SDL_PIXELFORMAT_ABGR8888 : SDL_PIXELFORMAT_RGB24;  // R, G, B(, A)
    SurfacePtr converted(SDL_ConvertSurfaceFormat(surface.get(), target, 0), SDL_FreeSurface);
    if (!converted) {
        ORKA_LOG_ERROR("Cannot load texture %s. SDL_ConvertSurfaceFormat returned %s",
                       filename.c_str(), SDL_GetError());
        return image;
    }
    image.width = converted->w;
    image.height = converted->h;
    image.format = getFormat(converted.get());
    image.bytesPerPixel = image.format == GL_RGB ? rgbBytes : rgbaBytes;
    const int rowBytes = image.width * image.bytesPerPixel;
    image.pixels = packRows(converted.get(), rowBytes);
    if (flipVertically) invert_image(rowBytes, image.height, image.pixels.data());
    image.valid = image.format != 0;
    return image;
}

void invert_image(int rowBytes, int height, char* pixels) {
    std::unique_ptr<char[]> row(new (std::nothrow) char[rowBytes]);
    if (!row) {
        ORKA_LOG_ERROR("Not enough memory for image inversion");
        return;
    }
    for (int k = 0; k < height / 2; k++) {
        char* top = pixels + static_cast<size_t>(k) * rowBytes;
        char* bottom = pixels + static_cast<size_t>(height - 1 - k) * rowBytes;
        std::memcpy(row.get(), top, rowBytes);
        std::memcpy(top, bottom, rowBytes);
        std::memcpy(bottom, row.get(), rowBytes);
    }
}

}  // namespace orka::texture_loader
