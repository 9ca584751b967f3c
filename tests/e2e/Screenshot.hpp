#pragma once

#include <stdio.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace game::test {

/// An RGB picture, row by row from the top, three bytes per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool Empty() const { return width == 0 || height == 0; }

    /// A `width` x `height` picture from pixels as the X server delivers them on a 24-bit
    /// screen (blue, green, red, unused); empty when `pixels` is not of that size.
    static Picture FromXPixels(const std::string& pixels, int width, int height) {
        constexpr std::size_t kBytesPerPixel = 4;
        const std::size_t count = static_cast<std::size_t>(width) * height;
        if (width <= 0 || height <= 0 || pixels.size() != count * kBytesPerPixel) return {};
        Picture picture{width, height, {}};
        picture.rgb.reserve(count * 3);
        for (std::size_t i = 0; i < pixels.size(); i += kBytesPerPixel) {
            for (int channel : {2, 1, 0}) picture.rgb.push_back(pixels[i + channel]);
        }
        return picture;
    }
    const unsigned char* At(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }

    /// The rectangle at (`left`, `top`) of the given size; it must lie inside the picture.
    Picture Crop(int left, int top, int cropWidth, int cropHeight) const {
        Picture part{cropWidth, cropHeight, {}};
        part.rgb.reserve(static_cast<std::size_t>(cropWidth) * cropHeight * 3);
        for (int y = top; y < top + cropHeight; ++y) {
            const unsigned char* row = At(left, y);
            part.rgb.insert(part.rgb.end(), row, row + static_cast<std::size_t>(cropWidth) * 3);
        }
        return part;
    }

    std::size_t DistinctColours() const {
        std::set<unsigned> colours;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
            colours.insert(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
        }
        return colours.size();
    }

    /// The share of pixels (0 to 1) that differ from the top-left pixel's colour.
    double ShareUnlikeCorner() const {
        std::size_t unlike = 0;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
            unlike += rgb[i] != rgb[0] || rgb[i + 1] != rgb[1] || rgb[i + 2] != rgb[2];
        }
        return rgb.empty() ? 0.0 : static_cast<double>(unlike) / (rgb.size() / 3);
    }

    /// Every `factor` x `factor` block becomes one pixel of the block's mean colour.
    Picture Shrunk(int factor) const {
        Picture small{width / factor, height / factor, {}};
        small.rgb.resize(static_cast<std::size_t>(small.width) * small.height * 3);
        for (int y = 0; y < small.height; ++y) {
            for (int x = 0; x < small.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int dy = 0; dy < factor; ++dy) {
                        for (int dx = 0; dx < factor; ++dx) {
                            sum += At(x * factor + dx, y * factor + dy)[c];
                        }
                    }
                    small.rgb[(static_cast<std::size_t>(y) * small.width + x) * 3 + c] =
                        static_cast<unsigned char>(sum / (factor * factor));
                }
            }
        }
        return small;
    }
};

namespace screenshot_detail {

/// Reads one header number of a binary PPM, skipping blanks and comments.
inline int HeaderNumber(FILE* file) {
    int c = fgetc(file);
    while (c == '#' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        if (c == '#') {
            while (c != '\n' && c != EOF) c = fgetc(file);
        }
        c = fgetc(file);
    }
    int value = 0;
    for (; c >= '0' && c <= '9'; c = fgetc(file)) value = value * 10 + (c - '0');
    return value;  // the single blank after the number has been read
}

}  // namespace screenshot_detail

/// The whole screen of X display `display` as ImageMagick's `import -window root` captures it;
/// an empty picture when that failed.
inline Picture Screenshot(const std::string& display) {
    const std::string command = "DISPLAY=" + display + " import -window root -depth 8 ppm:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    Picture picture;
    if (fgetc(pipe) == 'P' && fgetc(pipe) == '6') {
        picture.width = screenshot_detail::HeaderNumber(pipe);
        picture.height = screenshot_detail::HeaderNumber(pipe);
        const int maxValue = screenshot_detail::HeaderNumber(pipe);
        picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
        const bool complete = maxValue == 255 && fread(picture.rgb.data(), 1, picture.rgb.size(),
                                                       pipe) == picture.rgb.size();
        if (!complete) picture = {};
    }
    pclose(pipe);
    return picture;
}

/// Mean absolute difference per colour channel between `after` and `before` moved by (dx, dy)
/// (`after`(x + dx, y + dy) against `before`(x, y)), over the part where they overlap.
inline double MovedDifference(const Picture& before, const Picture& after, int dx, int dy) {
    long long sum = 0;
    long long count = 0;
    for (int y = std::max(0, -dy); y < std::min(before.height, after.height - dy); ++y) {
        for (int x = std::max(0, -dx); x < std::min(before.width, after.width - dx); ++x) {
            const unsigned char* a = before.At(x, y);
            const unsigned char* b = after.At(x + dx, y + dy);
            for (int c = 0; c < 3; ++c) sum += std::abs(a[c] - b[c]);
            count += 3;
        }
    }
    return count == 0 ? std::numeric_limits<double>::max() : static_cast<double>(sum) / count;
}

/// How the content of a picture moved between two screenshots of the same size: the shift
/// (in pixels; x to the right, y down) that best lays `before` over `after`, searched within
/// +-`rangeX` and +-`rangeY` pixels, and how well it fits. Keep the ranges well below the
/// picture's size: a small overlap of two dark corners would fit too well.
struct Movement {
    int dx = 0;
    int dy = 0;
    double difference = 0.0;  ///< mean channel difference left at that shift
    double unmoved = 0.0;     ///< mean channel difference without any shift
};

inline Movement ContentMovement(const Picture& before, const Picture& after, int rangeX,
                                int rangeY) {
    // Searched on pictures shrunk four times: exact enough and two orders of magnitude faster.
    constexpr int kFactor = 4;
    const Picture a = before.Shrunk(kFactor);
    const Picture b = after.Shrunk(kFactor);
    Movement best;
    best.difference = std::numeric_limits<double>::max();
    for (int dy = -rangeY / kFactor; dy <= rangeY / kFactor; ++dy) {
        for (int dx = -rangeX / kFactor; dx <= rangeX / kFactor; ++dx) {
            const double difference = MovedDifference(a, b, dx, dy);
            if (difference < best.difference) best = {dx * kFactor, dy * kFactor, difference, 0};
        }
    }
    best.unmoved = MovedDifference(a, b, 0, 0);
    return best;
}

}  // namespace game::test
