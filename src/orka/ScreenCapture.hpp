#pragma once

#include <glm/glm.hpp>

#include "orka/Image.hpp"

namespace orka::screen_capture {

/// The pixels of the bound read framebuffer from `offset` (pixels from its lower-left corner),
/// `size` of them, rows from the top, in the colours seen on screen. A window's pixels are
/// taken as they are, made opaque (the screen shows no alpha); the window stores sRGB. An
/// off-screen colour buffer that holds linear colour (a framebuffer's RGBA texture) is
/// sRGB-encoded, as the window would show it. Empty for a size without pixels.
Image readColorBuffer(glm::ivec2 offset, glm::ivec2 size);

/// The sRGB encoding of a linear 8-bit channel value, rounded to the nearest byte.
std::uint8_t encodeSrgb(std::uint8_t linear);

}  // namespace orka::screen_capture
