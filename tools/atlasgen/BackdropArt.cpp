// The night sky behind the default world's levels: a gradient, stars and distant hills, drawn
// in code. Each is as tall as the game's view (300 units) so that the game, which stretches a
// backdrop layer to the view's height, draws them texel for texel; each wraps around
// horizontally, as the game repeats it side by side.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

constexpr int backdropHeight = 300;  // the game's view: twice its orthographic size of 150
constexpr int skyWidth = 16;
constexpr int starsWidth = 128;
constexpr int hillsWidth = 256;
constexpr float twoPi = 6.28318530718f;

const Rgba skyTop = Rgba::hex("#060918");
const Rgba skyHorizon = Rgba::hex("#3b3778");
const Rgba starWhite = Rgba::hex("#f4f1ff");
const Rgba starBlue = Rgba::hex("#bcc8ff");
const Rgba farHill = Rgba::hex("#1d2249");
const Rgba farHillRim = Rgba::hex("#363f74");
const Rgba nearHill = Rgba::hex("#11142f");
const Rgba nearHillRim = Rgba::hex("#232a52");

// Darker at the top, a faint violet glow towards the hills' tops; the curve keeps most of the
// sky dark. Below the glow's full height the hills and the ground hide the sky.
Image skyImage() {
    constexpr int glowRow = 190;  // from the top
    Image sky(skyWidth, backdropHeight);
    for (int y = 0; y < backdropHeight; ++y) {
        const float t = std::min(1.0f, static_cast<float>(y) / glowRow);
        const Rgba colour = skyTop.mixed(skyHorizon, t * t);
        sky.fillRect(0, y, skyWidth, 1, colour);
    }
    return sky;
}

// A star of one texel, or a brighter one with four dim rays; rays at the edge wrap around.
void drawStar(Image& stars, int x, int y, float brightness, bool large) {
    const Rgba colour = (brightness > 0.6f ? starWhite : starBlue)
                            .withAlpha(static_cast<std::uint8_t>(110 + 145 * brightness));
    stars.set(x, y, colour);
    if (!large) return;
    const Rgba ray = colour.withAlpha(90);
    stars.set((x + 1) % starsWidth, y, ray);
    stars.set((x + starsWidth - 1) % starsWidth, y, ray);
    stars.set(x, y - 1, ray);
    stars.set(x, y + 1, ray);
}

// Scattered stars, thinning out towards the horizon where the hills stand.
Image starsImage() {
    Image stars(starsWidth, backdropHeight);
    constexpr int lowestStar = 160;  // rows from the top; below them the hills cover the sky
    for (int y = 1; y < lowestStar; ++y) {
        const float density = 0.005f * (1.0f - static_cast<float>(y) / lowestStar);
        for (int x = 0; x < starsWidth; ++x) {
            if (noise(x, y, 91) >= density) continue;
            const float brightness = noise(x, y, 92);
            drawStar(stars, x, y, brightness, brightness > 0.9f);
        }
    }
    return stars;
}

// Height in texels above the sprite's bottom of a hill range at column x: a sum of waves with
// a whole number of periods across the sprite, so the range wraps around seamlessly.
float ridge(int x, float base, float big, float small, int smallWaves, float phase) {
    const float u = static_cast<float>(x) / hillsWidth * twoPi;
    return base + big * std::sin(u + phase) + small * std::sin(smallWaves * u + 2.0f * phase);
}

void drawRange(Image& hills, float base, float big, float small, int smallWaves, float phase,
               const Rgba& body, const Rgba& rim) {
    for (int x = 0; x < hillsWidth; ++x) {
        const int top =
            backdropHeight -
            static_cast<int>(std::lround(ridge(x, base, big, small, smallWaves, phase)));
        hills.fillRect(x, top, 1, backdropHeight - top, body);
        hills.set(x, top, rim);  // the moonlit edge
    }
}

// Two ranges: paler ones far off, darker ones in front of them. The player stands about half
// way up the view, so the hills rise above that to be seen over the ground.
Image hillsImage() {
    Image hills(hillsWidth, backdropHeight);
    drawRange(hills, 192.0f, 22.0f, 9.0f, 3, 1.3f, farHill, farHillRim);
    drawRange(hills, 168.0f, 14.0f, 6.0f, 5, 0.4f, nearHill, nearHillRim);
    return hills;
}

// The pivot of a backdrop sprite does not matter to the game, which lays the layers out by
// their corners; the centre is the atlas's usual one.
SpriteArt backdrop(int number, const Image& image) {
    return {number, image, 0.5f, 0.5f};
}

}  // namespace

std::vector<SpriteArt> backdropSprites() {
    return {
        backdrop(sprites::backdropSky, skyImage()),
        backdrop(sprites::backdropStars, starsImage()),
        backdrop(sprites::backdropHills, hillsImage()),
    };
}
