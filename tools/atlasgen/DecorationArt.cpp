// Scenery without physics: sky pieces drawn in code, small plants and props as pixel art.
#include <cmath>

#include "PixelArt.hpp"
#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

const Rgba cloudLight = Rgba::hex("#d5d7f0");
const Rgba cloudMid = Rgba::hex("#a9acd6");
const Rgba cloudDark = Rgba::hex("#7a7eb0");
const Rgba moonLight = Rgba::hex("#fbf3c8");
const Rgba moonMid = Rgba::hex("#e9dca0");
const Rgba moonCrater = Rgba::hex("#cdbd80");
const Rgba moonGlow = Rgba::hex("#fbf3c8");
const Rgba leafDark = Rgba::hex("#1f5a2c");
const Rgba leaf = Rgba::hex("#2f7d3a");
const Rgba leafLight = Rgba::hex("#4ea24a");
const Rgba leafTip = Rgba::hex("#7cc95e");
const Rgba bark = Rgba::hex("#6b4428");
const Rgba barkDark = Rgba::hex("#472c1a");
const Rgba barkLight = Rgba::hex("#8a5a36");
const Rgba outlineDark = Rgba::hex("#14161f");

struct Puff {
    int x, y, w, h;
};

// A cloud from overlapping puffs, lit from above: light tops, darker bellies.
Image cloud(int width, int height, const std::vector<Puff>& puffs) {
    Image shape(width, height);
    for (const Puff& p : puffs) shape.fillEllipse(p.x, p.y, p.w, p.h, cloudMid);
    Image result(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shape.at(x, y).a == 0) continue;
            const bool topEdge = shape.at(x, y - 2).a == 0;
            const bool bottomEdge = shape.at(x, y + 2).a == 0;
            Rgba c = cloudMid;
            if (y > height * 0.62f || bottomEdge) c = cloudDark;
            if (topEdge) c = cloudLight;
            result.set(x, y, c);
        }
    }
    return result;
}

// A full moon with a few craters and a faint halo.
Image moonImage() {
    constexpr int size = 25;
    constexpr float centre = size / 2.0f;
    constexpr float radius = 9.0f;
    constexpr float halo = 12.0f;
    Image moon(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - centre;
            const float dy = y + 0.5f - centre;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d <= radius) {
                moon.set(x, y, dx + dy > 6.0f ? moonMid : moonLight);
            } else if (d <= halo) {
                const float t = (d - radius) / (halo - radius);
                moon.set(x, y, moonGlow.withAlpha(static_cast<std::uint8_t>(70 * (1 - t))));
            }
        }
    }
    moon.fillEllipse(8, 8, 4, 3, moonCrater);
    moon.fillEllipse(13, 13, 5, 4, moonCrater);
    moon.fillEllipse(14, 7, 2, 2, moonCrater);
    moon.fillEllipse(8, 15, 3, 2, moonCrater);
    return moon;
}

// A round tree: a trunk with roots under a canopy of leaf clumps.
Image treeImage() {
    constexpr int width = 33;
    constexpr int height = 54;
    Image tree(width, height);
    const int trunkX = width / 2 - 2;
    tree.fillRect(trunkX, 26, 5, height - 26, bark);
    tree.fillRect(trunkX, 26, 1, height - 26, barkLight);
    tree.fillRect(trunkX + 4, 26, 1, height - 26, barkDark);
    tree.fillRect(trunkX - 2, height - 2, 9, 2, bark);
    tree.set(trunkX - 3, height - 1, bark);
    tree.set(trunkX + 7, height - 1, bark);
    tree.line(trunkX + 2, 34, trunkX + 7, 28, bark);
    tree.line(trunkX + 2, 35, trunkX + 7, 29, barkDark);
    const std::vector<Puff> clumps = {{3, 12, 14, 14}, {16, 10, 15, 15}, {7, 2, 19, 18},
                                      {1, 20, 13, 11}, {19, 20, 13, 11}, {9, 18, 15, 12}};
    Image canopy(width, height);
    for (const Puff& p : clumps) canopy.fillEllipse(p.x, p.y, p.w, p.h, leaf);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (canopy.at(x, y).a == 0) continue;
            const float n = noise(x / 2, y / 2, 71);
            Rgba c = leaf;
            if (canopy.at(x + 2, y + 2).a == 0 || n < 0.18f) c = leafDark;
            if (canopy.at(x - 2, y - 2).a == 0 && n > 0.3f) c = leafLight;
            if (canopy.at(x - 1, y - 1).a == 0 && n > 0.75f) c = leafTip;
            canopy.set(x, y, c);
        }
    }
    tree.draw(canopy, 0, 0);
    tree.outline(outlineDark);
    return tree;
}

// A low bush of leaf clumps with a few berries.
Image bushImage() {
    constexpr int width = 27;
    constexpr int height = 14;
    Image bush(width, height);
    const std::vector<Puff> clumps = {{1, 5, 11, 9}, {7, 1, 13, 13}, {15, 4, 11, 10}};
    for (const Puff& p : clumps) bush.fillEllipse(p.x, p.y, p.w, p.h, leaf);
    const Image shape = bush;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shape.at(x, y).a == 0) continue;
            Rgba c = leaf;
            if (shape.at(x + 1, y + 2).a == 0 || y >= height - 2) c = leafDark;
            if (shape.at(x - 1, y - 2).a == 0) c = leafLight;
            bush.set(x, y, c);
        }
    }
    const Rgba berry = Rgba::hex("#e0405a");
    bush.set(6, 8, berry);
    bush.set(13, 5, berry);
    bush.set(19, 9, berry);
    bush.set(16, 6, berry);
    bush.outline(outlineDark);
    return bush;
}

const Palette plantPalette{
    {'g', "#3f9a3c"}, {'G', "#7fd35a"}, {'d', "#25662b"}, {'p', "#e8465c"},
    {'P', "#ff8a8f"}, {'y', "#ffd84a"}, {'k', "#14161f"},
};

const std::vector<std::string> tuftRows = {
    "....G....G...", ".G..g..G.g...", ".g.Gg..g.gG..", "..gg.g.gGg.G.",
    "G.gdggdgdg.g.", "gdgddgddgdgdg", "ddddddddddddd",
};

const std::vector<std::string> flowerRows = {
    "..p.p..", ".pPpPp.", "ppPyPpp", ".pPpPp.", "..ppp..", "...g...",
    ".G.g...", ".Ggg.G.", "..gg.g.", "...gGg.", "...g...", "..dgd..",
};

const Palette rockPalette{
    {'a', "#b4b0a8"}, {'b', "#8b877f"}, {'c', "#5f5b55"}, {'k', "#14161f"}, {'g', "#3f9a3c"},
};

const std::vector<std::string> rockRows = {
    "....kkkk.....", "..kkaaabkk...", ".kaaabbbbbk..", "kabbbbbbbcbk.",
    "kbbbbbbbcccbk", "kbbccbcccccck", "gkcccccccccgg",
};

const Palette woodPalette{
    {'k', "#2a1a10"}, {'w', "#b77a42"}, {'W', "#d69a5c"},
    {'d', "#875427"}, {'a', "#fff4d8"}, {'A', "#ffd34d"},
};

const std::vector<std::string> signRows = {
    "kkkkkkkkkkkkkkk..", "kWWWWWWWWWWWWWWk.", "kwwwwwwwAwwwwwwwk", "kwwwwwwwAAwwwwwwk",
    "kwwAAAAAAAAAwwwwk", "kwwAAAAAAAAAAwwwk", "kwwAAAAAAAAAwwwwk", "kwwwwwwwAAwwwwwwk",
    "kwwwwwwwAwwwwwwwk", "kdddddddddddddddk", "kkkkkkkdwdkkkkkk.", "......kdwdk......",
    "......kdwdk......", "......kdwdk......", "......kdwdk......", "......kdwdk......",
    "......kdwdk......", "......kdwdk......", ".....kddwddk.....",
};

const std::vector<std::string> fenceRows = {
    "..k..............k...", ".kWk............kWk..", ".kwdkkkkkkkkkkkkkwdkk",
    "WkwdWWWWWWWWWWWWkwdWW", "dkwdddddddddddddkwddd", "kkwdkkkkkkkkkkkkkwdkk",
    ".kwdk...........kwdk.", "kkwdkkkkkkkkkkkkkwdkk", "WkwdWWWWWWWWWWWWkwdWW",
    "dkwdddddddddddddkwddd", "kkwdkkkkkkkkkkkkkwdkk", ".kwdk...........kwdk.",
    ".kwdk...........kwdk.",
};

const Palette mushroomPalette{
    {'k', "#14161f"}, {'c', "#3fd6c6"}, {'C', "#a9fff4"},
    {'d', "#24958c"}, {'s', "#efe6cf"}, {'S', "#c4b89a"},
};

const std::vector<std::string> mushroomRows = {
    "...kkkkk...", "..kcCcccck.", ".kcCCcccCck", "kccccccCCck", "kdccCcccccd",
    ".kddddddddk", "...ksssSk..", "...ksssSk..", "...ksssSk..", "..kssssSSk.",
};

const Palette starPalette{{'a', "#5d6296"}, {'b', "#c9ccff"}, {'c', "#ffffff"}};

const std::vector<std::string> starRows = {
    "...a...", "...b...", "..aba..", "abbcbba", "..aba..", "...b...", "...a...",
};

const Palette lanternPalette{
    {'k', "#1b1410"}, {'m', "#4b4f5c"}, {'M', "#7b8194"}, {'l', "#ffe27a"},
    {'L', "#fffbe0"}, {'o', "#ffb347"}, {'w', "#6b4428"}, {'W', "#8a5a36"},
};

const std::vector<std::string> lanternRows = {
    "....k....", "...kMk...", "..kmmmk..", ".kmmmmmk.", ".kolLlok.", ".kolLLok.",
    ".kolLlok.", ".kollllk.", ".kmmmmmk.", "..kmmmk..", "...kwk...", "...kWk...",
    "...kWk...", "...kWk...", "...kWk...", "...kWk...", "...kWk...", "...kWk...",
    "...kWk...", "...kWk...", "...kWk...", "..kwWwk..", ".kwwWwwk.",
};

// A faint round glow behind the lantern's light.
Image lanternImage() {
    const Image lantern = pixelArt("lantern", lanternRows, lanternPalette);
    constexpr int glowSize = 15;
    Image result(glowSize, lantern.height() + 3);
    const float centreX = glowSize / 2.0f;
    const float centreY = 9.0f;
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < glowSize; ++x) {
            const float dx = x + 0.5f - centreX;
            const float dy = y + 0.5f - centreY;
            const float t = std::sqrt(dx * dx + dy * dy) / (glowSize / 2.0f);
            if (t < 1.0f) result.set(x, y, Rgba::hex("#ffd466").withAlpha(90 * (1 - t) * (1 - t)));
        }
    }
    result.draw(lantern, (glowSize - lantern.width()) / 2, 3);
    return result;
}

SpriteArt standing(int number, const Image& image) {
    return {number, image, 0.5f, standingPivotY(image.height())};
}

}  // namespace

std::vector<SpriteArt> decorationSprites() {
    const Image bigCloud = cloud(
        45, 19, {{0, 8, 16, 11}, {8, 2, 17, 17}, {20, 0, 16, 18}, {30, 6, 15, 13}, {5, 11, 36, 8}});
    const Image smallCloud = cloud(27, 12, {{0, 4, 12, 8}, {6, 0, 12, 12}, {15, 3, 12, 9}});
    const Palette bluePlants = plantPalette.with('p', Rgba::hex("#4f7dff"))
                                   .with('P', Rgba::hex("#a8c4ff"))
                                   .with('y', Rgba::hex("#fff6c0"));
    return {
        {sprites::cloudLarge, bigCloud},
        {sprites::cloudSmall, smallCloud},
        standing(sprites::grassTuft, pixelArt("grass tuft", tuftRows, plantPalette)),
        standing(sprites::flowerRed, pixelArt("red flower", flowerRows, plantPalette)),
        standing(sprites::flowerBlue, pixelArt("blue flower", flowerRows, bluePlants)),
        standing(sprites::bush, bushImage()),
        standing(sprites::rock, pixelArt("rock", rockRows, rockPalette)),
        standing(sprites::signArrow, pixelArt("sign", signRows, woodPalette)),
        standing(sprites::mushroom, pixelArt("mushroom", mushroomRows, mushroomPalette)),
        standing(sprites::tree, treeImage()),
        {sprites::star, pixelArt("star", starRows, starPalette)},
        {sprites::moon, moonImage()},
        standing(sprites::fence, pixelArt("fence", fenceRows, woodPalette)),
        standing(sprites::lantern, lanternImage()),
    };
}
