#include "orka/Color.hpp"

#include <cmath>
#include <string>

#include "orka/Log.hpp"

namespace orka {

namespace {

const glm::vec4 magenta(1.0f, 0.0f, 1.0f, 1.0f);

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

float Color::toLinear(float srgb) {
    if (srgb <= 0.04045f) return srgb / 12.92f;
    return std::pow((srgb + 0.055f) / 1.055f, 2.4f);
}

glm::vec4 Color::fromBytes(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                           std::uint8_t alpha, BlendingSpace space) {
    constexpr float byteScale = 255.0f;
    if (space == BlendingSpace::Display) {
        return glm::vec4(red, green, blue, alpha) / byteScale;
    }
    return {toLinear(red / byteScale), toLinear(green / byteScale), toLinear(blue / byteScale),
            alpha / byteScale};
}

glm::vec4 Color::fromHex(std::string_view hex, BlendingSpace space) {
    const std::string_view digits = !hex.empty() && hex[0] == '#' ? hex.substr(1) : hex;
    std::uint8_t bytes[4] = {0, 0, 0, 255};
    bool valid = digits.size() == 6 || digits.size() == 8;
    for (size_t i = 0; valid && i < digits.size(); i += 2) {
        const int high = hexDigit(digits[i]);
        const int low = hexDigit(digits[i + 1]);
        valid = high >= 0 && low >= 0;
        bytes[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
    }
    if (!valid) {
        ORKA_LOG_ERROR("Invalid colour \"%s\": expected #rrggbb or #rrggbbaa",
                       std::string(hex).c_str());
        return magenta;
    }
    return fromBytes(bytes[0], bytes[1], bytes[2], bytes[3], space);
}

}  // namespace orka
