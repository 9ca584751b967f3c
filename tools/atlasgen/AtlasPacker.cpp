#include "AtlasPacker.hpp"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

namespace {

constexpr int smallestPage = 16;
// Rounds of colour spreading into transparent texels; shapes are small, a few suffice.
constexpr int bleedRounds = 4;

// A texel's footprint in the packing: sprite plus extrusion on both sides plus one gap.
int cellExtent(int spriteExtent) {
    return spriteExtent + 2 * AtlasPacker::extrusion + AtlasPacker::padding;
}

void checkSprites(const std::vector<SpriteArt>& sprites) {
    std::set<int> numbers;
    for (const SpriteArt& sprite : sprites) {
        if (sprite.image.width() == 0 || sprite.image.height() == 0) {
            throw std::invalid_argument("sprite " + std::to_string(sprite.number) +
                                        " has no pixels");
        }
        if (!numbers.insert(sprite.number).second) {
            throw std::invalid_argument("sprite number " + std::to_string(sprite.number) +
                                        " is used twice");
        }
    }
}

// Sprite indices from tall to short (then wide to narrow, then by number) for shelf packing.
std::vector<std::size_t> packingOrder(const std::vector<SpriteArt>& sprites) {
    std::vector<std::size_t> order(sprites.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&sprites](std::size_t a, std::size_t b) {
        const Image& ia = sprites[a].image;
        const Image& ib = sprites[b].image;
        if (ia.height() != ib.height()) return ia.height() > ib.height();
        if (ia.width() != ib.width()) return ia.width() > ib.width();
        return sprites[a].number < sprites[b].number;
    });
    return order;
}

// Shelf packing into a width x height page; the frames in input order, or nothing when full.
std::optional<std::vector<PackedFrame>> tryPack(const std::vector<SpriteArt>& sprites,
                                                const std::vector<std::size_t>& order, int width,
                                                int height) {
    std::vector<PackedFrame> frames(sprites.size());
    int cursorX = AtlasPacker::padding;
    int shelfY = AtlasPacker::padding;
    int shelfHeight = 0;
    for (std::size_t index : order) {
        const Image& image = sprites[index].image;
        if (cursorX + cellExtent(image.width()) > width) {
            cursorX = AtlasPacker::padding;
            shelfY += shelfHeight;
            shelfHeight = 0;
        }
        if (cursorX + cellExtent(image.width()) > width ||
            shelfY + cellExtent(image.height()) > height) {
            return std::nullopt;
        }
        frames[index] = {sprites[index].number,
                         cursorX + AtlasPacker::extrusion,
                         shelfY + AtlasPacker::extrusion,
                         image.width(),
                         image.height(),
                         sprites[index].pivotX,
                         sprites[index].pivotY};
        cursorX += cellExtent(image.width());
        shelfHeight = std::max(shelfHeight, cellExtent(image.height()));
    }
    return frames;
}

// Gives every fully transparent texel the average colour of its opaque (or already coloured)
// neighbours, a few texels deep, keeping its alpha at 0.
Image bleedColours(const Image& source) {
    Image image = source;
    std::vector<bool> coloured(static_cast<std::size_t>(image.width()) * image.height());
    auto flag = [&](int x, int y) -> std::vector<bool>::reference {
        return coloured[static_cast<std::size_t>(y) * image.width() + x];
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) flag(x, y) = image.at(x, y).a > 0;
    }
    for (int round = 0; round < bleedRounds; ++round) {
        const Image before = image;
        const std::vector<bool> colouredBefore = coloured;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (colouredBefore[static_cast<std::size_t>(y) * image.width() + x]) continue;
                int sum[3] = {0, 0, 0};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (!image.contains(nx, ny)) continue;
                        if (!colouredBefore[static_cast<std::size_t>(ny) * image.width() + nx]) {
                            continue;
                        }
                        const Rgba c = before.at(nx, ny);
                        sum[0] += c.r;
                        sum[1] += c.g;
                        sum[2] += c.b;
                        ++count;
                    }
                }
                if (count == 0) continue;
                image.set(x, y,
                          {static_cast<std::uint8_t>(sum[0] / count),
                           static_cast<std::uint8_t>(sum[1] / count),
                           static_cast<std::uint8_t>(sum[2] / count), 0});
                flag(x, y) = true;
            }
        }
    }
    return image;
}

// Copies the sprite onto the page and repeats its border texels outwards.
void placeExtruded(Image& page, const Image& sprite, const PackedFrame& frame) {
    const int e = AtlasPacker::extrusion;
    for (int y = -e; y < sprite.height() + e; ++y) {
        for (int x = -e; x < sprite.width() + e; ++x) {
            const int sx = std::clamp(x, 0, sprite.width() - 1);
            const int sy = std::clamp(y, 0, sprite.height() - 1);
            page.set(frame.x + x, frame.y + y, sprite.at(sx, sy));
        }
    }
}

}  // namespace

PackedAtlas AtlasPacker::pack(const std::vector<SpriteArt>& sprites) const {
    checkSprites(sprites);
    const std::vector<std::size_t> order = packingOrder(sprites);
    // Page sizes from small to large: square, then twice as wide, then the next square.
    for (int height = smallestPage; height <= maxSize; height *= 2) {
        for (int width : {height, height * 2}) {
            if (width > maxSize) continue;
            auto frames = tryPack(sprites, order, width, height);
            if (!frames) continue;
            PackedAtlas atlas{Image(width, height), {}};
            for (std::size_t i = 0; i < sprites.size(); ++i) {
                placeExtruded(atlas.page, bleedColours(sprites[i].image), (*frames)[i]);
            }
            atlas.frames = std::move(*frames);
            std::sort(
                atlas.frames.begin(), atlas.frames.end(),
                [](const PackedFrame& a, const PackedFrame& b) { return a.number < b.number; });
            return atlas;
        }
    }
    throw std::runtime_error("the sprites do not fit on a page of " + std::to_string(maxSize) +
                             " x " + std::to_string(maxSize) + " texels");
}
