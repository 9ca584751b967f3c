#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string_view>

#include "orka/BlendingSpace.hpp"

namespace orka {

/// Colours as paint programs and image editors give them, turned into the RGBA (0…1) that
/// sprites, shapes, text and clear colours take in a blending space. Those programs show sRGB
/// values: in linear light (the default) a byte of 128 is about 0.22, not 0.5, so a colour
/// picked as bytes must be converted to look as picked; blending in the display's values it is
/// only scaled (128 is 128 / 255). Alpha is coverage, not light: it is only scaled to 0…1.
/// The space is given, not looked up, so colours can be made before the window exists; pass
/// the one chosen for the window (SDLRenderer::getBlendingSpace).
class Color {
public:
    /// The colour that shows as sRGB bytes (0…255) with an alpha byte (255: opaque): linear
    /// light by default, as before there was a choice.
    static glm::vec4 fromBytes(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                               std::uint8_t alpha = 255,
                               BlendingSpace space = BlendingSpace::Linear);
    /// The colour that shows as "#rrggbb" or "#rrggbbaa" (hexadecimal digits in either case;
    /// the '#' may be left out), as fromBytes. Anything else is logged as an error and gives
    /// opaque magenta, which stands out on screen.
    static glm::vec4 fromHex(std::string_view hex, BlendingSpace space = BlendingSpace::Linear);
    /// One sRGB component (0…1) in linear light (0…1), by the exact sRGB curve.
    static float toLinear(float srgb);
};

}  // namespace orka
