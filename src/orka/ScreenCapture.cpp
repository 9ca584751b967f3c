#include "orka/ScreenCapture.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "orka/Renderer.hpp"

namespace orka::screen_capture {

namespace {

constexpr float maxByte = 255.0f;
constexpr std::uint8_t opaque = 255;

// The sRGB transfer function (IEC 61966-2-1), linear 0..1 to encoded 0..1.
float encode(float linear) {
    if (linear <= 0.0031308f) return linear * 12.92f;
    return 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

const std::array<std::uint8_t, 256>& encodingTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> values{};
        for (int i = 0; i < 256; i++) {
            const float encoded = encode(static_cast<float>(i) / maxByte);
            values[i] = static_cast<std::uint8_t>(std::lround(encoded * maxByte));
        }
        return values;
    }();
    return table;
}

// Whether the bound read framebuffer is an off-screen one whose colour buffer stores linear
// light: a plain (GL_LINEAR encoded) buffer drawn in linear light. Blending in the display's
// values, it holds what the window would show.
bool readsLinearOffscreenColor() {
    const Renderer* renderer = Renderer::instance;
    if (renderer != nullptr && renderer->getBlendingSpace() == BlendingSpace::Display) {
        return false;
    }
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (readFramebuffer == 0) return false;
    GLint readBuffer = GL_COLOR_ATTACHMENT0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    GLint encoding = GL_LINEAR;
    glGetFramebufferAttachmentParameteriv(GL_READ_FRAMEBUFFER, static_cast<GLenum>(readBuffer),
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    return encoding == GL_LINEAR;
}

}  // namespace

std::uint8_t encodeSrgb(std::uint8_t linear) {
    return encodingTable()[linear];
}

Image readColorBuffer(glm::ivec2 offset, glm::ivec2 size) {
    if (size.x <= 0 || size.y <= 0) return {};
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    const bool window = readFramebuffer == 0;
    const bool encodeLinear = readsLinearOffscreenColor();

    const size_t rowBytes = static_cast<size_t>(size.x) * Image::bytesPerPixel;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<size_t>(size.y));
    GLint previousAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(offset.x, offset.y, size.x, size.y, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, previousAlignment);

    // GL gives the bottom row first; a picture starts at the top.
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < size.y; row++) {
        std::memcpy(&topDown[static_cast<size_t>(size.y - 1 - row) * rowBytes],
                    &bottomUp[static_cast<size_t>(row) * rowBytes], rowBytes);
    }
    for (size_t i = 0; i < topDown.size(); i += Image::bytesPerPixel) {
        if (encodeLinear) {
            for (size_t c = 0; c < 3; c++) topDown[i + c] = encodeSrgb(topDown[i + c]);
        }
        if (window) topDown[i + 3] = opaque;
    }
    return Image(size.x, size.y, std::move(topDown));
}

}  // namespace orka::screen_capture
