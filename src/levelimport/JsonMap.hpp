#pragma once

// Tiled's JSON format: maps (.tmj, .json) and tilesets (.tsj, .json).
#include <string>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// Reads the JSON map `text`, the contents of `map.file`, into `map`, with the external
/// tilesets and templates it names (through `files`); problems are appended to `problems`.
void ReadJsonMap(const std::string& text, TiledMap& map, std::vector<Problem>& problems,
                 const FileSource& files);

/// Reads the JSON tileset `text`, the contents of `tileset.file`, into `tileset`: its name,
/// number of tiles and tile types. False, after reporting why, when it holds no JSON object.
bool ReadJsonTileset(const std::string& text, Tileset& tileset, std::vector<Problem>& problems);

}  // namespace levelimport
