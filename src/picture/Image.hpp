#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One RGBA colour with straight (not premultiplied) alpha, 8 bits per channel.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    // Parses "#rrggbb" or "#rrggbbaa"; throws std::invalid_argument on anything else.
    static Rgba hex(const std::string& text);
    // The colour scaled towards black (factor < 1) or white (factor > 1), alpha kept.
    Rgba shaded(float factor) const;
    // Linear mix: t = 0 gives this colour, t = 1 gives other (alpha mixed too).
    Rgba mixed(const Rgba& other, float t) const;
    Rgba withAlpha(std::uint8_t alpha) const { return {r, g, b, alpha}; }
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

// A width x height RGBA picture, row 0 at the top (the order of a PNG file). Coordinates
// outside the picture are ignored by the drawing operations and read as transparent, so
// shapes may be drawn partly off the edge.
class Image {
public:
    Image() = default;
    // A transparent picture; throws std::invalid_argument for negative sizes.
    Image(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }

    Rgba at(int x, int y) const;
    void set(int x, int y, const Rgba& colour);
    // Draws colour over the pixel with alpha blending (colour's alpha over the old pixel).
    void blend(int x, int y, const Rgba& colour);

    void fillRect(int x, int y, int width, int height, const Rgba& colour);
    // Filled ellipse inside the box (x, y, width, height), pixel centres tested.
    void fillEllipse(int x, int y, int width, int height, const Rgba& colour);
    void line(int x0, int y0, int x1, int y1, const Rgba& colour);
    // Copies src with its top-left corner at (x, y), blending by src's alpha.
    void draw(const Image& src, int x, int y);
    // Copies src with its top-left corner at (x, y), replacing pixels (alpha included).
    void copy(const Image& src, int x, int y);
    // Replaces every pixel of exactly colour from by colour to.
    void replace(const Rgba& from, const Rgba& to);

    Image flippedHorizontally() const;
    // A darker line of outline colour around every opaque area (on transparent pixels that
    // touch an opaque one in the four main directions).
    void outline(const Rgba& colour);

    // Bytes R, G, B, A per pixel, rows top to bottom.
    const std::vector<std::uint8_t>& bytes() const { return pixels; }

private:
    std::size_t index(int x, int y) const;

    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> pixels;
};
