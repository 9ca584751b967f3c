#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace game::test {

/// Rows of a window's picture, from the top.
struct RowSpan {
    int top = 0;
    int count = 0;
};

/// The rows of a game window of `width` x `height` pixels that the game's on-screen line (level
/// time, returns, ...) may cover: the top of the 800 x 600 view, scaled, below the black bar when
/// there is one. Its clock changes them ten times a second, so a test that waits for the
/// picture to come to rest, or compares the level's picture, leaves these rows out.
inline RowSpan OnScreenLineRows(int width, int height) {
    constexpr double kLineBottom = 40.0;  // pixels of the 800 x 600 view
    const double scale = std::min(width / 800.0, height / 600.0);
    return {static_cast<int>((height - 600.0 * scale) / 2),
            static_cast<int>(std::ceil(kLineBottom * scale))};
}

/// Sets the bytes of the rows the on-screen line may cover to 0, in `pixels` of a window of
/// `width` x `height` laid out row by row from the top, `bytesPerRow` apart.
template <typename Bytes>
void BlankOnScreenLine(Bytes& pixels, int width, int height, std::size_t bytesPerRow) {
    const RowSpan rows = OnScreenLineRows(width, height);
    const std::size_t begin = static_cast<std::size_t>(rows.top) * bytesPerRow;
    const std::size_t end = std::min(pixels.size(), begin + rows.count * bytesPerRow);
    if (begin >= end) return;
    std::fill(pixels.begin() + begin, pixels.begin() + end, 0);
}

/// True when `pixels` show the level's name as the game shows it at each level start, in its
/// pale gold ((255, 230, 140) on screen where a letter is solid, a colour the art does not use):
/// while it shows, and while it fades, the picture has not come to rest. `bytesPerPixel` apart,
/// with the red, green and blue bytes at those offsets in each pixel.
template <typename Bytes>
bool ShowsLevelName(const Bytes& pixels, std::size_t bytesPerPixel, int red, int green,
                    int blue) {
    constexpr int kLeastPixels = 20;  // a short name in its smallest size has several times that
    constexpr int kTolerance = 4;
    const auto near = [](unsigned char channel, int value) {
        return std::abs(static_cast<int>(channel) - value) <= kTolerance;
    };
    int seen = 0;
    for (std::size_t i = 0; i + bytesPerPixel <= pixels.size(); i += bytesPerPixel) {
        const bool yellow = near(static_cast<unsigned char>(pixels[i + red]), 255) &&
                            near(static_cast<unsigned char>(pixels[i + green]), 230) &&
                            near(static_cast<unsigned char>(pixels[i + blue]), 140);
        if (yellow && ++seen >= kLeastPixels) return true;
    }
    return false;
}

}  // namespace game::test
