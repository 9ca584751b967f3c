#include "picture/Image.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int channels = 4;
constexpr float maxChannel = 255.0f;

std::uint8_t clampChannel(float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, maxChannel)));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Rgba Rgba::hex(const std::string& text) {
    const bool validLength = text.size() == 7 || text.size() == 9;
    if (!validLength || text[0] != '#') {
        throw std::invalid_argument("colour \"" + text + "\" is not #rrggbb or #rrggbbaa");
    }
    std::uint8_t values[4] = {0, 0, 0, 255};
    for (std::size_t i = 1; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            throw std::invalid_argument("colour \"" + text + "\" has a non-hex digit");
        }
        values[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return {values[0], values[1], values[2], values[3]};
}

Rgba Rgba::shaded(float factor) const {
    if (factor <= 1.0f) {
        return {clampChannel(r * factor), clampChannel(g * factor), clampChannel(b * factor), a};
    }
    const float t = factor - 1.0f;
    return {clampChannel(r + (maxChannel - r) * t), clampChannel(g + (maxChannel - g) * t),
            clampChannel(b + (maxChannel - b) * t), a};
}

Rgba Rgba::mixed(const Rgba& other, float t) const {
    auto mix = [t](std::uint8_t from, std::uint8_t to) {
        return clampChannel(from + (static_cast<float>(to) - from) * t);
    };
    return {mix(r, other.r), mix(g, other.g), mix(b, other.b), mix(a, other.a)};
}

Image::Image(int width, int height) : w(width), h(height) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("image size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is negative");
    }
    pixels.assign(static_cast<std::size_t>(width) * height * channels, 0);
}

std::size_t Image::index(int x, int y) const {
    return (static_cast<std::size_t>(y) * w + x) * channels;
}

Rgba Image::at(int x, int y) const {
    if (!contains(x, y)) return {};
    const std::size_t i = index(x, y);
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
}

void Image::set(int x, int y, const Rgba& colour) {
    if (!contains(x, y)) return;
    const std::size_t i = index(x, y);
    pixels[i] = colour.r;
    pixels[i + 1] = colour.g;
    pixels[i + 2] = colour.b;
    pixels[i + 3] = colour.a;
}

void Image::blend(int x, int y, const Rgba& colour) {
    if (!contains(x, y) || colour.a == 0) return;
    const Rgba old = at(x, y);
    const float srcA = colour.a / maxChannel;
    const float dstA = old.a / maxChannel;
    const float outA = srcA + dstA * (1.0f - srcA);
    auto over = [&](std::uint8_t src, std::uint8_t dst) {
        return clampChannel((src * srcA + dst * dstA * (1.0f - srcA)) / outA);
    };
    set(x, y,
        {over(colour.r, old.r), over(colour.g, old.g), over(colour.b, old.b),
         clampChannel(outA * maxChannel)});
}

void Image::fillRect(int x, int y, int width, int height, const Rgba& colour) {
    for (int yy = y; yy < y + height; ++yy) {
        for (int xx = x; xx < x + width; ++xx) set(xx, yy, colour);
    }
}

void Image::fillEllipse(int x, int y, int width, int height, const Rgba& colour) {
    const float cx = x + width / 2.0f;
    const float cy = y + height / 2.0f;
    const float rx = width / 2.0f;
    const float ry = height / 2.0f;
    for (int yy = y; yy < y + height; ++yy) {
        for (int xx = x; xx < x + width; ++xx) {
            const float dx = (xx + 0.5f - cx) / rx;
            const float dy = (yy + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) set(xx, yy, colour);
        }
    }
}

void Image::line(int x0, int y0, int x1, int y1, const Rgba& colour) {
    // Bresenham, so diagonal lines stay one pixel thick.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
        set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Image::draw(const Image& src, int x, int y) {
    for (int yy = 0; yy < src.h; ++yy) {
        for (int xx = 0; xx < src.w; ++xx) blend(x + xx, y + yy, src.at(xx, yy));
    }
}

void Image::copy(const Image& src, int x, int y) {
    for (int yy = 0; yy < src.h; ++yy) {
        for (int xx = 0; xx < src.w; ++xx) set(x + xx, y + yy, src.at(xx, yy));
    }
}

void Image::replace(const Rgba& from, const Rgba& to) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(x, y) == from) set(x, y, to);
        }
    }
}

Image Image::flippedHorizontally() const {
    Image result(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) result.set(w - 1 - x, y, at(x, y));
    }
    return result;
}

void Image::outline(const Rgba& colour) {
    const Image source = *this;
    auto opaque = [&source](int x, int y) { return source.at(x, y).a > 0; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (opaque(x, y)) continue;
            if (opaque(x - 1, y) || opaque(x + 1, y) || opaque(x, y - 1) || opaque(x, y + 1)) {
                set(x, y, colour);
            }
        }
    }
}
