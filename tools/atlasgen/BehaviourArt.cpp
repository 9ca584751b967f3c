// Tiles that do something when the player meets them: spikes, the checkpoint flag before and
// after it is reached, a coin, a wooden bridge to jump through and a moving lift, as pixel art.
#include "PixelArt.hpp"
#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

// Steel of the spikes and the lift: the blue-grey of the goal's stones, brighter at the edges.
const Palette spikePalette{
    {'k', "#1f2430"}, {'w', "#ffffff"}, {'a', "#dfe6f2"}, {'b', "#a3afc4"},
    {'c', "#5d6679"}, {'M', "#9aa9c0"}, {'m', "#6f7d93"}, {'d', "#4b566b"},
};

// Three spikes on a steel sill. The tips reach three texels below the top of the cell, so the
// body that hurts (the whole cell) is barely taller than what the player sees.
const std::vector<std::string> spikeRows = {
    "...k......k......k...", "..kwk....kwk....kwk..", "..kak....kak....kak..",
    "..kbk....kbk....kbk..", ".kabck..kabck..kabck.", ".kabck..kabck..kabck.",
    ".kabck..kabck..kabck.", ".kabck..kabck..kabck.", "kaabcckkaabcckkaabcck",
    "kaabcckkaabcckkaabcck", "kaabcckkaabcckkaabcck", "kaabcckkaabcckkaabcck",
    "kaaabcckaaabcckaaabck", "kkkkkkkkkkkkkkkkkkkkk", "MMMMMMMMMMMMMMMMMMMMM",
    "mmmmmmmmmmmmmmmmmmmmm", "ddddddddddddddddddddd", "kkkkkkkkkkkkkkkkkkkkk",
};

// The flag: a pole on a stone plinth. Waiting, a dull red pennant hangs low and the knob is
// grey; reached, a teal pennant with a gold star flies at the top under a gold knob (the teal
// of the fox's scarf, so it reads as the player's own).
const Palette flagPalette{
    {'k', "#1f1a24"}, {'p', "#d6d9e2"}, {'P', "#8b90a0"}, {'Y', "#fff3a8"}, {'y', "#ffc94a"},
    {'w', "#ffffff"}, {'s', "#35c4b8"}, {'S', "#23807a"}, {'M', "#9aa9c0"}, {'m', "#6f7d93"},
};
const Palette waitingFlagPalette = flagPalette.with('Y', Rgba::hex("#c9ccd6"))
                                       .with('y', Rgba::hex("#8b90a0"))
                                       .with('w', Rgba::hex("#d98a94"))
                                       .with('s', Rgba::hex("#b04a5a"))
                                       .with('S', Rgba::hex("#7a2e3c"));

const std::string pole = "........kpPk.........";
const std::vector<std::string> knobRows = {
    ".........kk..........",
    "........kYyk.........",
    "........kyyk.........",
};
const std::vector<std::string> plinthRows = {
    "......kkkkkkkk.......", "......kMMMMMMk.......", ".....kMmmmmmmmk......",
    ".....kmmmmmmmmk......", ".....kkkkkkkkkk......",
};
const std::vector<std::string> reachedPennantRows = {
    "........kpPkkkkkkkkkk", "........kpPkwsssssssk", "........kpPkwssysssk.",
    "........kpPkwsyyysk..", "........kpPkwssysssk.", "........kpPkwSSSSSSSk",
    "........kpPkkkkkkkkkk",
};
const std::vector<std::string> waitingPennantRows = {
    "........kpPkkkkkkkkkk", "........kpPkwsssssssk", "........kpPkwssssssk.",
    "........kpPkwsssssk..", "........kpPkwssssssk.", "........kpPkwSSSSSSSk",
    "........kpPkkkkkkkkkk",
};
constexpr int poleRows = 27;  // from the knob down to the plinth
constexpr int waitingPennantTop = 17;

// The pole with the pennant's rows placed from pennantTop (counted below the knob) on.
std::vector<std::string> flagRows(const std::vector<std::string>& pennant, int pennantTop) {
    std::vector<std::string> rows = knobRows;
    for (int i = 0; i < poleRows; ++i) {
        const int inPennant = i - pennantTop;
        const bool flies = inPennant >= 0 && inPennant < static_cast<int>(pennant.size());
        rows.push_back(flies ? pennant[inPennant] : pole);
    }
    rows.insert(rows.end(), plinthRows.begin(), plinthRows.end());
    return rows;
}

// A gold coin with an engraved bar and a glint, floating in the middle of its cell.
const Palette coinPalette{
    {'k', "#6b4a12"}, {'Y', "#fff3a8"}, {'y', "#ffd84a"},
    {'o', "#e0a524"}, {'O', "#b07a16"}, {'w', "#ffffff"},
};
const std::vector<std::string> coinRows = {
    "...kkkkk...", ".kkYYyyykk.", ".kYwYyyyyk.", "kYYyyOyyyok", "kYyyOYoyyok", "kYyyOYoyyok",
    "kYyyOYoyyok", "kyyyyOyyook", ".kyyyyyyok.", ".kkyooookk.", "...kkkkk...",
};

// One board of a wooden bridge, nailed at both ends. Boards side by side make a longer bridge;
// the open space below says that the player can jump up through it.
const Palette bridgePalette{
    {'k', "#2a1a10"}, {'W', "#d99a55"}, {'w', "#c17f3e"},
    {'d', "#875427"}, {'g', "#9b5f2b"}, {'n', "#e6dccb"},
};
const std::vector<std::string> bridgeRows = {
    ".kkkkkkkkkkkkkkkkkkk.", "kWWWWWWWWWWWWWWWWWWWk", "knwwwwwwwgwwwwwwwwwnk",
    "kwwwwgggwwwwwwwwwwwwk", "kwwwwwwwwwwwwwggwwwwk", "kdddddddddddddddddddk",
    ".kkkkkkkkkkkkkkkkkkk.",
};

// A steel lift under a brass rail; the glowing arrows (the cyan of the goal's gem) say it moves.
const Palette liftPalette = spikePalette.with('Y', Rgba::hex("#ffe59a"))
                                .with('y', Rgba::hex("#ffc94a"))
                                .with('o', Rgba::hex("#c48a1e"))
                                .with('c', Rgba::hex("#7fe6ff"))
                                .with('C', Rgba::hex("#e4fbff"))
                                .with('r', Rgba::hex("#c9d3e3"));
const std::vector<std::string> liftRows = {
    ".kkkkkkkkkkkkkkkkkkk.", "kYYYYYYYYYYYYYYYYYYYk", "kyyyyyyyyyyyyyyyyyyyk",
    "koooooooooooooooooook", "kkkkkkkkkkkkkkkkkkkkk", "kMMMMMMMMMMMMMMMMMMMk",
    "kMrmmmmmmmmmmmmmmmrdk", "kMmmmmmmmmmmmmmmmmmdk", "kMmmmmmmmmmmmmmmmmmdk",
    "kMmmmmmmmmmmmmmmmmmdk", "kMmmmcmmmmmmmmmcmmmdk", "kMmmccmmmmmmmmmccmmdk",
    "kMmcCcccccccccccCcmdk", "kMmmccmmmmmmmmmccmmdk", "kMmmmcmmmmmmmmmcmmmdk",
    "kMmmmmmmmmmmmmmmmmmdk", "kMmmmmmmmmmmmmmmmmmdk", "kMrmmmmmmmmmmmmmmmrdk",
    "kMmmmmmmmmmmmmmmmmmdk", "kdddddddddddddddddddk", ".kkkkkkkkkkkkkkkkkkk.",
};

SpriteArt standing(int number, const Image& image) {
    return {number, image, 0.5f, standingPivotY(image.height())};
}

SpriteArt hanging(int number, const Image& image) {
    return {number, image, 0.5f, hangingPivotY(image.height())};
}

}  // namespace

std::vector<SpriteArt> behaviourSprites() {
    return {
        standing(sprites::spikes, pixelArt("spikes", spikeRows, spikePalette)),
        standing(sprites::checkpoint,
                 pixelArt("checkpoint", flagRows(waitingPennantRows, waitingPennantTop),
                          waitingFlagPalette)),
        standing(sprites::checkpointReached,
                 pixelArt("reached checkpoint", flagRows(reachedPennantRows, 0), flagPalette)),
        {sprites::coin, pixelArt("coin", coinRows, coinPalette)},
        hanging(sprites::woodenBridge, pixelArt("wooden bridge", bridgeRows, bridgePalette)),
        {sprites::movingPlatform, pixelArt("lift", liftRows, liftPalette)},
    };
}
