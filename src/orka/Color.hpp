#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string_view>

namespace orka {

/// Colours as paint programs and image editors give them, turned into the linear RGBA (0…1)
/// that sprites, shapes and text take. Those programs show sRGB values: a byte of 128 is about
/// 0.22 in linear light, not 0.5, so a colour picked as bytes must be converted to look as
/// picked. Alpha is coverage, not light: it is only scaled to 0…1.
class Color {
public:
    /// The linear colour of sRGB bytes (0…255) and an alpha byte (255: opaque).
    static glm::vec4 fromBytes(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                               std::uint8_t alpha = 255);
    /// The linear colour of "#rrggbb" or "#rrggbbaa" (hexadecimal digits in either case; the
    /// '#' may be left out). Anything else is logged as an error and gives opaque magenta,
    /// which stands out on screen.
    static glm::vec4 fromHex(std::string_view hex);
    /// One sRGB component (0…1) in linear light (0…1), by the exact sRGB curve.
    static float toLinear(float srgb);
};

}  // namespace orka
