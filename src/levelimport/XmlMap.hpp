#pragma once

// Tiled's XML format: maps (.tmx) and tilesets (.tsx).
#include <string>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// Reads the XML map `text`, the contents of `map.file`, into `map`, with the external
/// tilesets and templates it names (through `files`); problems are appended to `problems`,
/// worded as the JSON reader words them.
void ReadXmlMap(const std::string& text, TiledMap& map, std::vector<Problem>& problems,
                const FileSource& files);

/// Reads the XML tileset `text`, the contents of `tileset.file`, into `tileset`. False, after
/// reporting why, when it is no well-formed <tileset>.
bool ReadXmlTileset(const std::string& text, Tileset& tileset, std::vector<Problem>& problems);

}  // namespace levelimport
