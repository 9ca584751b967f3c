#pragma once

#include <string>

#include "levelimport/LdtkProject.hpp"
#include "levelimport/LdtkTypes.hpp"
#include "levelimport/MapImporter.hpp"

namespace levelimport {

/// Turns one level of an LDtk project into a level of the game. The level's grid is the grid
/// most of its tile layers use; its cell (x, y), counted from the top-left, becomes column x and
/// row (height - 1 - y). What becomes tiles, each layer drawn before the one listed above it:
/// the tiles of Tiles layers and auto-layers (typed by their tileset tile's custom data
/// "tileType=N", else by "<tileset>:<tile id>" in the types file), IntGrid values (typed by
/// their identifier, or "<layer>:<value>") and entities (by an Int field "tileType", else by
/// their identifier), each entity on the cell under its pivot. A layer on another grid or
/// offset puts each tile on the cell under its centre. Hidden layers are left out and flips
/// dropped, each with a note. Project and types file must outlive the importer.
class LdtkLevelImporter {
public:
    LdtkLevelImporter(const LdtkProject& project, const LdtkTypes& types)
        : project(project), types(types) {}

    /// Imports `entry`, the `series`th level of the project (from 1), as the level to be written
    /// as `levelFile`, reading its .ldtkl file through `files` when it has one. The level's id
    /// is its Int field "id", else the number ending `levelFile`'s name, else `series`; its
    /// name is its String field "name", else its identifier.
    MapImport Import(const LdtkLevelEntry& entry, int series, const std::string& levelFile,
                     const FileSource& files) const;

private:
    const LdtkProject& project;
    const LdtkTypes& types;
};

}  // namespace levelimport
