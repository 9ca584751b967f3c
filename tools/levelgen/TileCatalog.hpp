#pragma once

#include <string>
#include <vector>

// One tile type of the default world, written as "tile<id>.json".
struct TileType {
    enum class Body { None, Static, Dynamic };

    int id = 0;
    std::string name;
    int sprite = 0;
    Body body = Body::None;
    bool sensor = false;
    int density = 0;
    bool player = false;         // "characterController" and "animation"
    bool goal = false;           // "leveloverbox"
    std::vector<int> animation;  // sprite numbers: idle, walk 1, walk 2, jump, unused, fall
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
