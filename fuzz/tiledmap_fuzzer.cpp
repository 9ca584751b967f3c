// Fuzzes the map importer's reading of Tiled JSON maps with their external tilesets, layer data
// in every encoding (base64, zlib, gzip) and tile objects, through to the level it makes. One
// input holds the map and the tileset files it may name, separated by lines of "----":
//
//   {"orientation": "orthogonal", "width": 2, "height": 1, ..., "tilesets": [{"firstgid": 1,
//    "source": "ground.tsj"}], "layers": [...]}
//   ----
//   {"name": "ground", "tiles": [{"id": 0, "properties": [...]}]}
//
// The k-th tileset file the map names (by any name) is the part k modulo their number. Files
// come from memory, so none is written or read.
//
//   build-fuzz/fuzz/tiledmap_fuzzer [libFuzzer options] CORPUS_DIR...
#include <rapidjson/document.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.hpp"
#include "levelimport/MapImporter.hpp"

namespace {

constexpr std::string_view separator = "\n----\n";
const std::string mapFile = "maps/fuzz.tmj";
const std::string levelFile = "fuzz3.json";

std::vector<std::string> splitParts(std::string_view input) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = input.find(separator);
        parts.emplace_back(input.substr(0, end));
        if (end == std::string_view::npos) return parts;
        input.remove_prefix(end + separator.size());
    }
}

/// Hands out the parts as files, and remembers which names were asked for.
class MemoryFiles {
public:
    explicit MemoryFiles(std::vector<std::string> parts) : parts(std::move(parts)) {}

    std::optional<std::string> read(const std::string& fileName, std::string& error) {
        if (fileName == mapFile) return parts[0];
        const std::size_t tilesets = parts.size() - 1;
        const std::size_t order = named.emplace(fileName, named.size()).first->second;
        if (tilesets == 0) {
            error = "cannot be opened for reading";
            return std::nullopt;
        }
        return parts[1 + order % tilesets];
    }
    bool wasNamed(const std::string& fileName) const {
        return fileName == mapFile || named.count(fileName) == 1;
    }

private:
    std::vector<std::string> parts;
    std::map<std::string, std::size_t> named;  // file name -> order of first request
};

/// The promises of a clean import: the level file it writes reads back as the level.
void checkLevel(const levelimport::MapImport& result) {
    const std::string text = levelimport::LevelText(result.level);
    rapidjson::Document document;
    document.Parse(text.c_str());
    orka::fuzz::require(document.IsObject(), "the level text is not a JSON object");
    std::size_t tiles = 0;
    for (const auto& row : document["arrayOfTiles"].GetArray()) tiles += row.Size();
    orka::fuzz::require(tiles == result.level.tiles.size(), "the level text lost tiles");
    orka::fuzz::require(document["id"].GetInt() == result.level.id, "the level id changed");
    for (std::size_t i = 1; i < result.level.tiles.size(); ++i) {
        orka::fuzz::require(result.level.tiles[i - 1].layer <= result.level.tiles[i].layer,
                            "a lower layer's tile follows a higher layer's");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFiles files(splitParts(std::string_view(reinterpret_cast<const char*>(data), size)));
    const levelimport::MapImport result = levelimport::ImportMap(
        mapFile, levelFile,
        [&files](const std::string& name, std::string& error) { return files.read(name, error); });
    for (const levelimport::Problem& problem : result.problems) {
        orka::fuzz::require(files.wasNamed(problem.file), "a problem names a file never read");
        orka::fuzz::require(!problem.text.empty(), "a problem has no text");
    }
    for (const std::string& note : result.notes) {
        orka::fuzz::require(note.rfind(mapFile + ": note: ", 0) == 0, "a note names no map");
    }
    if (result.problems.empty()) checkLevel(result);
    return 0;
}
