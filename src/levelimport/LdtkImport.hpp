#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "levelimport/MapImporter.hpp"
#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// An LDtk project read for import, with its types file: the levels it holds and each one
/// turned into a level of the game (see LdtkLevelImporter for the rules). Reading happens in
/// the constructor; every file is read through the FileSource given (kept).
class LdtkImport {
public:
    /// Reads `projectFile` and, unless `typesFile` is "", the types file.
    LdtkImport(const std::string& projectFile, const std::string& typesFile,
               const FileSource& files = ReadFileFromDisk);
    ~LdtkImport();
    LdtkImport(const LdtkImport&) = delete;
    LdtkImport& operator=(const LdtkImport&) = delete;

    /// What kept the project or the types file from being read; no level can be imported then.
    const std::vector<Problem>& Problems() const;
    /// The levels' identifiers, in the project's order (world after world).
    std::vector<std::string> LevelNames() const;
    /// The place of the level named `identifier` in LevelNames(), or empty.
    std::optional<std::size_t> FindLevel(const std::string& identifier) const;
    /// The files of the project that a level file must never replace: the project, the types
    /// file, every level's .ldtkl file and the tilesets' pictures.
    std::vector<std::string> InputFiles() const;
    /// Imports the level at `index` of LevelNames() as the level to be written as `levelFile`.
    MapImport ImportLevel(std::size_t index, const std::string& levelFile) const;

private:
    struct State;
    std::unique_ptr<State> state;
};

/// Whether `file` is named as an LDtk project (".ldtk", any case) or as one of its level files
/// (".ldtkl"), which is then refused with a line saying so.
bool IsLdtkProjectName(const std::string& file);

}  // namespace levelimport
