#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

/// Image decoding for Texture: file bytes in, tightly packed RGB or RGBA rows out.
namespace orka::texture_loader {

/// A decoded image ready for glTexImage2D with GL_UNSIGNED_BYTE and an unpack alignment of 1.
struct DecodedImage {
    std::vector<char> pixels;  ///< width * height * bytesPerPixel bytes, rows tightly packed
    GLenum format = 0;         ///< GL_RGB or GL_RGBA
    bool transparent = false;  ///< the source had an alpha channel, transparent palette entries
                               ///< or a colour key
    int width = 0;             ///< texels
    int height = 0;            ///< texels
    int bytesPerPixel = 0;     ///< 3 or 4
    bool valid = false;        ///< false when the bytes could not be decoded (error logged)
};

/// The whole file; an empty buffer and the log "Cannot read texture from <file>: <reason>" when
/// it cannot be read (missing, a folder, a device without end). `readable` tells an unreadable
/// file from an empty one.
std::vector<char> readAllBytes(const std::string& filename, bool* readable = nullptr);

/// Decodes a PNG, JPEG, BMP, TGA or WebP image with SDL2_image, chosen by the data's signature
/// (TGA, which has none, by a plausible header). With `flipVertically` the first row of the
/// result is the bottom row of the picture, as OpenGL expects. Logs the decoder's error and
/// returns an invalid image for bytes of any other kind ("Unsupported image format"), for data
/// cut short, and for images wider or taller than 16384 texels (refused before decoding where
/// the header tells the size). The message names `filename` when one is given.
DecodedImage loadFileFromMemory(const char* data, int size, bool flipVertically,
                                const std::string& filename = {});

/// Swaps row k with row height - 1 - k through one temporary row.
void invert_image(int rowBytes, int height, char* pixels);

}  // namespace orka::texture_loader
