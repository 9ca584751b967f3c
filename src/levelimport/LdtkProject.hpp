#pragma once

#include <rapidjson/document.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "levelimport/JsonFile.hpp"
#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// A tileset of an LDtk project: how its picture is cut into tiles and the tile types its
/// tiles' custom data give (a line "tileType=N").
struct LdtkTileset {
    std::string identifier;
    int gridSize = 0;              ///< pixels of one tile
    int spacing = 0;               ///< pixels between tiles
    int padding = 0;               ///< pixels around the tiles
    int columns = 0;               ///< tiles in one row of the picture; 0 when it cannot be told
    std::map<int, int> tileTypes;  ///< tile id -> tile type
};

/// A layer definition: the identifiers of its IntGrid values.
struct LdtkLayerDef {
    std::string identifier;
    std::map<int, std::string> valueNames;  ///< value -> identifier ("" when it has none)
    /// The values in the order listed: old projects store a value's place in this list.
    std::vector<int> values;
};

/// One level of a project, in the project's order (world by world).
struct LdtkLevelEntry {
    std::string identifier;
    std::string world;  ///< the world's identifier in a multi-world project, else ""
    /// The level inside the project, which also holds its layers unless they are in `external`.
    const rapidjson::Value* value = nullptr;
    std::string external;  ///< the .ldtkl file holding its layers (a path), or ""
};

/// A project saved by the LDtk editor (.ldtk): its definitions and its levels. Levels whose
/// layers are kept in separate files (.ldtkl, "externalLevels") are named here and read by the
/// level importer. The entries point into the project's document, so they live as long as the
/// project.
class LdtkProject {
public:
    /// Problems go to `problems`, which must outlive the project.
    LdtkProject(std::string file, std::vector<Problem>& problems);

    /// Reads the project through `files`; false after reporting why it cannot be used.
    bool Read(const FileSource& files);

    const std::string& File() const { return json.Name(); }
    const std::vector<LdtkLevelEntry>& Levels() const { return levels; }
    /// The project's default grid size in pixels (16 when it gives none).
    int DefaultGridSize() const { return defaultGridSize; }
    const LdtkTileset* Tileset(int uid) const;
    /// Every file the project names beside itself: its levels' .ldtkl files and its tilesets'
    /// pictures (paths), so that none is ever written over.
    const std::vector<std::string>& NamedFiles() const { return namedFiles; }
    const LdtkLayerDef* LayerDef(int uid) const;

private:
    bool ReadTilesets(const rapidjson::Value& defs);
    bool ReadLayerDefs(const rapidjson::Value& defs);
    bool ReadLevels();
    bool AddLevels(const rapidjson::Value& list, const std::string& world);

    JsonFile json;
    int defaultGridSize = 16;
    std::map<int, LdtkTileset> tilesets;    ///< by uid
    std::map<int, LdtkLayerDef> layerDefs;  ///< by uid
    std::vector<LdtkLevelEntry> levels;
    std::vector<std::string> namedFiles;
};

}  // namespace levelimport
