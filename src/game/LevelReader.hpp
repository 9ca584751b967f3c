#pragma once

#include <box2d/box2d.h>

#include <optional>
#include <string>
#include <vector>

#include "game/PlayFeel.hpp"

/// One thing wrong with a data file, such as {"tile7.json", "\"physics\" has no \"type\""}.
struct Problem {
    std::string file;
    std::string text;
    /// Where in the file, both counted from 1 (the column in characters); 0 when the problem
    /// belongs to the file as a whole or to a value rather than to a place in the text.
    int line = 0;
    int column = 0;

    /// "file: text", or "file:line:column: text" for a place in the file: the form in which
    /// problems are thrown and printed (editors jump to it).
    std::string ToString() const {
        if (line <= 0) return file + ": " + text;
        return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + text;
    }
};

/// One tile entry of a level file, [tile type, column, row], and where it stands in the file.
struct TileEntry {
    int type = 0;
    int column = 0;              ///< grid cells; one cell is 21 game units
    int row = 0;                 ///< grid cells, counted upwards
    std::size_t rowIndex = 0;    ///< index in "arrayOfTiles"
    std::size_t entryIndex = 0;  ///< index in that row
};

/// One layer of a level's "backdrop": an atlas sprite repeated across the view behind the tiles.
struct BackdropLayerDescription {
    int sprite = 0;         ///< atlas sprite "<sprite>.png"
    float parallax = 0.0f;  ///< 0 to 1: the share of the camera's movement the layer follows
};

/// A level file read into plain values.
struct LevelDescription {
    std::string fileName;
    /// The file was opened and holds a JSON object (its keys were looked at).
    bool read = false;
    /// The level number: 0 when the key is missing, empty when it could not be read.
    std::optional<int> id;
    std::string name;
    float deathLevelInY = 0.0f;  ///< game units
    /// The valid tile entries, in file order (row by row, entry by entry).
    std::vector<TileEntry> entries;
    /// The valid "backdrop" layers, back to front (file order).
    std::vector<BackdropLayerDescription> backdrop;
    /// The camera's way of following; empty for the fixed view.
    std::optional<CameraFeel> camera;
};

/// A tile-type file "tile<N>.json" read into plain values.
struct TileTypeDescription {
    struct Physics {
        b2BodyType type = b2_dynamicBody;
        bool sensor = false;
        float density = 0.0f;
        /// How much the surface grips ("friction"); the game's usual 0.2 when not given.
        std::optional<float> friction;
    };
    /// A moving platform's trip: from its place to (x + dx, y + dy) and back.
    struct Motion {
        float dx = 0.0f;      ///< game units
        float dy = 0.0f;      ///< game units
        float period = 0.0f;  ///< seconds for the whole way there and back; more than 0
    };
    std::string fileName;
    /// The file was opened and holds a JSON object (its keys were looked at).
    bool read = false;
    int id = 0;
    std::string name;
    std::optional<int> sprite;  ///< atlas sprite "<sprite>.png"
    std::optional<Physics> physics;
    bool characterController = false;
    std::vector<int> animation;  ///< only read for a player
    bool levelOverBox = false;
    /// Touching it puts the player back at its return point ("hazard"; needs "physics").
    bool hazard = false;
    /// Its first touch makes its place the player's return point ("checkpoint"; needs a sensor
    /// body); from then on it shows `spriteReached`, when given.
    bool checkpoint = false;
    std::optional<int> spriteReached;
    /// The player takes it by touching it ("collectible"; needs a sensor body).
    bool collectible = false;
    /// Stood on from above, passed through from below and the sides ("oneWay"; needs a solid
    /// static body).
    bool oneWay = false;
    /// Travels to and fro ("moving"; needs "physics", which it makes kinematic).
    std::optional<Motion> moving;

    /// The player's walking and jumping, when not the plain pushes and impulses.
    std::optional<WalkFeel> walk;
    std::optional<JumpFeel> jump;
    /// Only a touch from below, on its feet, lands the player ("landOnFeet"); otherwise any
    /// touch of something whose centre is lower does.
    bool landOnFeet = false;
    /// The idle, jump and fall pictures face the way the player last walked
    /// ("faceLastWalk"); otherwise they always face right.
    bool faceLastWalk = false;

    /// A tile of this type becomes the level's player (a controller needs a body).
    bool IsPlayer() const { return characterController && physics.has_value(); }
};

/// Reads level files and tile-type files from the working directory (read-only, by relative
/// name) with RapidJSON. Nothing stops at the first problem: every problem found is appended to
/// `problems`, each naming the file, and the description holds whatever could be read. The level
/// builder throws the first problem; the world checker prints them all.
///
/// Problems found: a file missing or unreadable, invalid JSON (with its line and column), a top
/// level that is not an object, a missing "name", a value of the wrong JSON type, a tile entry with
/// fewer than three integers, a "physics" without "type" or with a negative "density", a goal
/// without "physics", a player without "sprite" or "animation", an "animation" with fewer than six
/// entries, a behaviour key ("hazard", "checkpoint", "collectible", "oneWay", "moving") without
/// the body it needs, a "moving" without "dx", "dy" or "period", or with a "period" of 0 or less,
/// a "spriteReached" without "checkpoint", a "backdrop" that is not an array of objects each with
/// an integer "sprite" and a "parallax" number from 0 to 1, a "friction", "walk", "jump",
/// "landOnFeet" or "camera" of the wrong type or out of its range (see `FeelRanges`), and the
/// player's keys on a tile without "characterController". What needs other files (sprites in the
/// atlas, players and goals of a level) is left to the callers.
namespace LevelReader {

/// Frames a player's "animation" needs: idle, walk 1, walk 2, jump, (never shown), fall.
constexpr std::size_t animationFrames = 6;

/// The ranges the feel keys accept; a value outside is a problem of the file.
namespace FeelRanges {
constexpr float maxFriction = 10.0f;
constexpr float maxWalkSpeed = 600.0f;   ///< units per second
constexpr float maxJumpHeight = 500.0f;  ///< units
constexpr float maxSeconds = 5.0f;       ///< any of the times
constexpr float maxCameraLead = 200.0f;  ///< units: half the view's width
constexpr float maxCameraBand = 150.0f;  ///< units: half the view's height
constexpr float maxEdgeGrace = 1.0f;     ///< seconds: longer is no grace but a rule
/// Units per second: the fastest the player can be moved, by 8 physics steps of at most 2 units
/// each per 1/60 s update, with a quarter to spare. A jump starting faster is refused.
constexpr float maxPlayerSpeed = 768.0f;
}  // namespace FeelRanges

LevelDescription ReadLevelFile(const std::string& fileName, std::vector<Problem>& problems);
TileTypeDescription ReadTileFile(const std::string& fileName, std::vector<Problem>& problems);
/// The same for a file's content already in memory; `fileName` only names it in problems.
LevelDescription ReadLevelText(const std::string& fileName, const std::string& text,
                               std::vector<Problem>& problems);
TileTypeDescription ReadTileText(const std::string& fileName, const std::string& text,
                                 std::vector<Problem>& problems);
/// "tile<tileType>.json".
std::string TileFileName(int tileType);
/// "<number>.png", the atlas name of sprite number `number`.
std::string SpriteName(int number);

}  // namespace LevelReader
