#include "orka/Image.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <memory>
#include <utility>

#include "orka/Log.hpp"

namespace orka {

namespace {

// Frees the surface SDL made; the pixels stay the image's.
struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

}  // namespace

Image::Image(int imageWidth, int imageHeight, std::vector<std::uint8_t> imagePixels) {
    const bool positive = imageWidth > 0 && imageHeight > 0;
    if (!positive ||
        imagePixels.size() != static_cast<size_t>(imageWidth) * imageHeight * bytesPerPixel) {
        ORKA_LOG_ERROR("An image of %i x %i pixels cannot hold %zu bytes", imageWidth,
                       imageHeight, imagePixels.size());
        return;
    }
    width = imageWidth;
    height = imageHeight;
    pixels = std::move(imagePixels);
}

glm::u8vec4 Image::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return glm::u8vec4(0);
    const std::uint8_t* pixel = &pixels[(static_cast<size_t>(y) * width + x) * bytesPerPixel];
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

bool Image::savePng(const std::string& path) const {
    if (isEmpty()) {
        ORKA_LOG_ERROR("Cannot write %s: the image is empty", path.c_str());
        return false;
    }
    // SDL only reads the pixels through the surface, whatever its signature says.
    void* data = const_cast<std::uint8_t*>(pixels.data());
    std::unique_ptr<SDL_Surface, SurfaceFree> surface(SDL_CreateRGBSurfaceWithFormatFrom(
        data, width, height, bytesPerPixel * 8, width * bytesPerPixel, SDL_PIXELFORMAT_RGBA32));
    if (surface == nullptr || IMG_SavePNG(surface.get(), path.c_str()) != 0) {
        ORKA_LOG_ERROR("Cannot write %s: %s", path.c_str(), SDL_GetError());
        return false;
    }
    return true;
}

}  // namespace orka
