#include "showcase/FrameCapture.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstddef>
#include <memory>

#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"

namespace showcase {

namespace {

constexpr int channels = 4;
constexpr float channelMax = 255.0f;

unsigned char toByte(float channel) {
    return static_cast<unsigned char>(glm::clamp(channel, 0.0f, 1.0f) * channelMax + 0.5f);
}

}  // namespace

FrameCapture FrameCapture::readWindow() {
    FrameCapture capture;
    const glm::ivec2 size = orka::Renderer::instance->getDrawableSize();
    if (size.x <= 0 || size.y <= 0) return capture;
    // A pass that neither clears nor opens a GUI frame just binds the window for reading.
    orka::RenderPass pass = orka::RenderPass::create()
                                .withName("Read back")
                                .withClearColor(false)
                                .withClearDepth(false)
                                .withGUI(false)
                                .build();
    const std::vector<glm::vec4> pixels =
        pass.readPixels(0, 0, static_cast<unsigned int>(size.x), static_cast<unsigned int>(size.y));
    capture.width = size.x;
    capture.height = size.y;
    capture.rgba.reserve(pixels.size() * channels);
    for (const glm::vec4& pixel : pixels) {
        for (int c = 0; c < channels; ++c) capture.rgba.push_back(toByte(pixel[c]));
    }
    return capture;
}

glm::vec4 FrameCapture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return glm::vec4(0.0f);
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + x) * channels;
    return glm::vec4(rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]) / channelMax;
}

bool FrameCapture::savePng(const std::string& path, std::string& error) const {
    if (isEmpty()) {
        error = "no picture to write to " + path;
        return false;
    }
    // PNG rows run top-down; the window's run bottom-up.
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    std::vector<unsigned char> topDown(rgba.size());
    for (int y = 0; y < height; ++y) {
        const auto from = rgba.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        std::copy(from, from + static_cast<std::ptrdiff_t>(rowBytes),
                  topDown.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes));
    }
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormatFrom(topDown.data(), width, height, 32,
                                           static_cast<int>(rowBytes), SDL_PIXELFORMAT_RGBA32),
        &SDL_FreeSurface);
    if (surface == nullptr || IMG_SavePNG(surface.get(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + IMG_GetError();
        return false;
    }
    return true;
}

}  // namespace showcase
