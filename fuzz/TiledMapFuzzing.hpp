#pragma once

// The run shared by the Tiled map fuzzers (JSON and XML): one input holds the map and the files
// it may name (tilesets, templates), separated by lines of "----"; the k-th file the map names
// (by any name) is the part k modulo their number. Files come from memory, so none is written
// or read.
#include <rapidjson/document.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.hpp"
#include "levelimport/MapImporter.hpp"

namespace orka::fuzz {

/// Hands out the parts as files, the first as `mapFile`, and remembers which names were asked
/// for.
class MemoryFiles {
public:
    MemoryFiles(std::string mapFile, std::vector<std::string> parts)
        : mapFile(std::move(mapFile)), parts(std::move(parts)) {}

    std::optional<std::string> read(const std::string& fileName, std::string& error) {
        if (fileName == mapFile) return parts[0];
        const std::size_t others = parts.size() - 1;
        const std::size_t order = named.emplace(fileName, named.size()).first->second;
        if (others == 0) {
            error = "cannot be opened for reading";
            return std::nullopt;
        }
        return parts[1 + order % others];
    }
    bool wasNamed(const std::string& fileName) const {
        return fileName == mapFile || named.count(fileName) == 1;
    }

private:
    std::string mapFile;
    std::vector<std::string> parts;
    std::map<std::string, std::size_t> named;  // file name -> order of first request
};

/// The promises of a clean import: the level file it writes reads back as the level.
inline void checkLevel(const levelimport::MapImport& result) {
    const std::string text = levelimport::LevelText(result.level);
    rapidjson::Document document;
    document.Parse(text.c_str());
    require(document.IsObject(), "the level text is not a JSON object");
    std::size_t tiles = 0;
    for (const auto& row : document["arrayOfTiles"].GetArray()) tiles += row.Size();
    require(tiles == result.level.tiles.size(), "the level text lost tiles");
    require(document["id"].GetInt() == result.level.id, "the level id changed");
    for (std::size_t i = 1; i < result.level.tiles.size(); ++i) {
        require(result.level.tiles[i - 1].layer <= result.level.tiles[i].layer,
                "a lower layer's tile follows a higher layer's");
    }
}

/// Imports the map of `input` as `mapFile` and checks every promise of the result: problems
/// name files that were read, notes name the map and stay one short line, a clean import
/// writes a sound level.
inline void importTiledMap(const std::string& mapFile, std::string_view input) {
    constexpr std::size_t longestLine = 1000;
    MemoryFiles files(mapFile, splitParts(input));
    const levelimport::MapImport result = levelimport::ImportMap(
        mapFile, "fuzz3.json",
        [&files](const std::string& name, std::string& error) { return files.read(name, error); });
    for (const levelimport::Problem& problem : result.problems) {
        require(files.wasNamed(problem.file), "a problem names a file never read");
        require(!problem.text.empty(), "a problem has no text");
        require(problem.text.size() < longestLine, "a problem is over 1000 characters");
    }
    for (const std::string& note : result.notes) {
        require(note.rfind(mapFile + ": note: ", 0) == 0, "a note names no map");
        require(note.size() < longestLine, "a note is over 1000 characters");
    }
    if (result.problems.empty()) checkLevel(result);
}

}  // namespace orka::fuzz
