// The player: a round little fox with a teal scarf, facing right, as pixel art.
#include "PixelArt.hpp"
#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

const Palette foxPalette{
    {'k', "#2b1b2e"},  // outline
    {'o', "#f2883a"},  // fur
    {'O', "#ffb668"},  // fur highlight
    {'d', "#c4602c"},  // fur shade
    {'w', "#fff1d6"},  // belly
    {'t', "#fff1d6"},  // tail tip
    {'e', "#1b1324"},  // eye
    {'h', "#ffffff"},  // eye glint
    {'p', "#ff8e9e"},  // ears, cheek
    {'n', "#3a2030"},  // nose
    {'s', "#35c4b8"},  // scarf
    {'S', "#23807a"},  // scarf shade
    {'f', "#6b3a22"},  // feet
};

const std::vector<std::string> idle = {
    "......k..............", ".....kdk.....k.......", ".....kdk....kdk......",
    ".....kpdk..kdpdk.....", ".....kdpkkkkopdk.....", "kkk.kddooooooook.....",
    "tttkkdooooooOOOOk....", "tttddoooooooOOOOok...", "tttdooooooooooooook..",
    "ddddooooooeoooehook..", "ddddooooooeoooeeoook.", "ddddoooooooooooooonnk",
    "kdddoooooooooooopook.", "kdsssssssssssssssook.", "ksSkSSSSSSSSSSSSSok..",
    "sSkkddooowwwwwwwwdk..", "kk..kddowwwwwwwwwk...", ".....kffwwwwwffwk....",
    "....kffffwwwffffk....", ".....kffkkkkkffk.....", "......kk.....kk......",
};

const std::vector<std::string> walk1 = {
    ".....kdk.....k.......", ".....kdk....kdk......", ".....kpdk..kdpdk.....",
    ".....kdpkkkkopdk.....", "kkk.kddooooooook.....", "tttkkdooooooOOOOk....",
    "tttddoooooooOOOOok...", "tttdooooooooooooook..", "ddddooooooeoooehook..",
    "ddddooooooeoooeeoook.", "ddddoooooooooooooonnk", "kdddoooooooooooopook.",
    "kdsssssssssssssssook.", "ksSkSSSSSSSSSSSSSok..", "sSkkddooowwwwwwwwdk..",
    "kk..kddowwwwwwwwwk...", "...kffddwwwwwwwwk....", "..kffffkwwwwwwffk....",
    "...kffk.kkkkkffffk...", "....kk.......kffk....", "..............kk.....",
};

const std::vector<std::string> walk2 = {
    "......k..............", ".....kdk.....k.......", ".....kdk....kdk......",
    ".....kpdk..kdpdk.....", ".....kdpkkkkopdk.....", "kkk.kddooooooook.....",
    "tttkkdooooooOOOOk....", "tttddoooooooOOOOok...", "tttdooooooooooooook..",
    "ddddooooooeoooehook..", "ddddooooooeoooeeoook.", "ddddoooooooooooooonnk",
    "kdddoooooooooooopook.", "kdsssssssssssssssook.", "ksSkSSSSSSSSSSSSSok..",
    "sSkkddooowwwwwwwwdk..", "kk..kddowwwwwwwwwk...", ".....kddffwffwwwk....",
    "......kfffffffkk.....", ".......kffkffk.......", "........kk.kk........",
};

const std::vector<std::string> jump = {
    ".....kdk....kdk......", ".....kpdk..kdpdk.....", "kkk..kdpkkkkopdk.....",
    "tttkkddooooooook.....", "tttdddooooooOOOOk....", "tttddoooooooOOOOok...",
    "dddddoooooooooooook..", "ddddooooooeoooehook..", "ddddooooooeoooeeoook.",
    "kdddoooooooooooooonnk", "kdddoooooooooooopook.", ".ksssssssssssssssook.",
    "ksSSSSSSSSSSSSSSSook.", "sSkddoooowwwwwwwwodk.", "kk.kdooowwwwwwwwwwk..",
    "...kddoowwwwwwwwwwk..", "....kddffwwwwwwwwk...", ".....kffffwwffwwk....",
    "......kffwwffffk.....", ".......kkkkkffk......", "............kk.......",
};

// Never shown by the game (its animation slot 4 is not requested): a happy, eyes-closed pose.
const std::vector<std::string> cheer = {
    "......k..............", ".....kdk.....k.......", ".....kdk....kdk......",
    ".....kpdk..kdpdk.....", "kkk..kdpkkkkopdk.....", "tttkkddooooooook.....",
    "tttdddooooooOOOOk....", "tttddoooooooOOOOok...", "ddddoooooooeoooeook..",
    "ddddooooooeoooeoeok..", "ddddoooooooooooooook.", "kdddoooooooooooooonnk",
    "kdddoooooooooooopook.", ".ksssssssssssssssook.", "ksSkSSSSSSSSSSSSSok..",
    "sSkkddooowwwwwwwwdk..", "kk..kddowwwwwwwwwk...", ".....kffwwwwwffwk....",
    "....kffffwwwffffk....", ".....kffkkkkkffk.....", "......kk.....kk......",
};

const std::vector<std::string> fall = {
    ".....kdk.....k.......", ".....kdk....kdk......", ".....kpdk..kdpdk.....",
    ".....kdpkkkkopdk.....", "....kddooooooook.....", "kkk.kdooooooOOOOk....",
    "tttkkoooooooOOOOok...", "tttdooooooeoooehook..", "tttdooooooeoooeeook..",
    "ddddooooooeoooeeoook.", "ddddoooooooooooooonnk", "ddddoooooooooooopook.",
    "kdsssssssssssssssook.", "ksSSSSSSSSSSSSSSSok..", "sSkkddooowwwwwwwwdk..",
    "kk..kddowwwwwwwwwk...", ".....kddwwwwwwwwk....", "....kffkwwwwwwffk....",
    "...kffffkkkkkffffk...", "....kffk.....kffk....", ".....kk.......kk.....",
};

SpriteArt frame(int number, const char* name, const std::vector<std::string>& rows) {
    return {number, pixelArt(name, rows, foxPalette)};
}

}  // namespace

std::vector<SpriteArt> characterSprites() {
    return {
        frame(sprites::playerIdle, "player idle", idle),
        frame(sprites::playerWalk1, "player walk 1", walk1),
        frame(sprites::playerWalk2, "player walk 2", walk2),
        frame(sprites::playerJump, "player jump", jump),
        frame(sprites::playerCheer, "player cheer", cheer),
        frame(sprites::playerFall, "player fall", fall),
    };
}
