#pragma once

#include <optional>
#include <string>
#include <vector>

// The path of a moving tile: from its place to (x + dx, y + dy) and back once per period.
struct TileMotion {
    int dx = 0;           // game units
    int dy = 0;           // game units
    float period = 0.0f;  // seconds for the whole way there and back
};

// One tile type of the default world, written as "tile<id>.json".
struct TileType {
    enum class Body { None, Static, Kinematic, Dynamic };

    int id = 0;
    std::string name;
    int sprite = 0;
    Body body = Body::None;
    bool sensor = false;
    int density = 0;
    const char* friction = nullptr;  // written as "friction" when set
    bool player = false;         // "characterController" and "animation"
    bool goal = false;           // "leveloverbox"
    std::vector<int> animation;  // sprite numbers: idle, walk 1, walk 2, jump, unused, fall
    bool hazard = false;         // touching it puts the player back at its return point
    bool checkpoint = false;     // the first touch makes it the player's return point
    int spriteReached = 0;       // a checkpoint's sprite once reached; 0 for none
    bool collectible = false;    // the player takes it (a coin)
    bool oneWay = false;         // stood on from above, passed through from below and the sides
    std::optional<TileMotion> moving;
};

// Every tile type of the default world. Tile type N shows sprite N of the atlas.
class TileCatalog {
public:
    static const std::vector<TileType>& all();
    // The type with this id; throws std::out_of_range when there is none.
    static const TileType& byId(int id);
    // The file content of the type, in the tile-type format the level builder reads.
    static std::string toJson(const TileType& type);
    static std::string fileName(const TileType& type);
};
