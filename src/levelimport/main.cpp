// levelimport: turns a map drawn in the Tiled editor into a level file of the platformer, and
// prints every problem that stands in the way as "file: problem".
#include <iostream>
#include <string>
#include <vector>

#include "levelimport/MapImporter.hpp"

namespace {

constexpr int kExitImported = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

const char* const kUsage = R"(Usage: levelimport <map.tmj> <level.json>

Turns a map saved by the Tiled editor as JSON (.tmj or .json) into a level file of the
platformer, such as castle3.json. The map must be orthogonal and finite. Its custom properties
are optional: "id" (int; without it, the number that ends the level file's name, so
castle3.json is level 3, and a problem when the name ends in none), "name" (string; without
it, the map file's name without extension) and "deathLevelInY" (float) for a death line.

Every tile layer is read, group layers too, and a cell may hold tiles of several layers: they
are written lower layers first, so the game draws later layers over earlier ones. Map cell
(x, y) becomes column x and row (height - 1 - y), so the map's bottom row is row 0. Tile
objects (objects with a tile, on object layers) become tiles on the cell under their centre;
Tiled anchors them at their bottom-left corner. Other objects are skipped, with a note.

Each tile used needs the int property "tileType", the N of the tile-type file tile<N>.json.
Tilesets may be embedded or external JSON files (.tsj) beside the map; layer data may be an
array or base64, plain, zlib or gzip. Maps of Tiled before 1.2 are read too: properties as an
object, and tile properties in a tileset's "tileproperties".

Each problem is printed on one line as "file: problem", and the level file is then left as
it was: it is only written, whole, when the entire map converts. Flipped or rotated tiles are
imported unflipped, with a note.

Options:
  --help  show this text

Exit code: 0 when the level was written, 1 when a problem was found, 2 for wrong usage.
)";

int Import(const std::string& mapFile, const std::string& levelFile) {
    const levelimport::MapImport result = levelimport::ImportMap(mapFile, levelFile);
    for (const levelimport::Problem& problem : result.problems) {
        std::cout << problem.ToString() << "\n";
    }
    for (const std::string& note : result.notes) std::cout << note << "\n";
    const std::size_t problems = result.problems.size();
    if (problems > 0) {
        std::cout << mapFile << ": " << problems << (problems == 1 ? " problem" : " problems")
                  << ", " << levelFile << " not written\n";
        return kExitProblems;
    }
    std::string error;
    if (!levelimport::WriteFileWhole(levelFile, levelimport::LevelText(result.level), error)) {
        std::cout << levelFile << ": cannot be written: " << error << "\n";
        return kExitProblems;
    }
    std::cout << levelFile << ": level " << result.level.id << " with " << result.level.tiles.size()
              << " tiles, from " << mapFile << "\n";
    return kExitImported;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return kExitImported;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            std::cerr << "levelimport: unknown option " << argument << "\n"
                      << "Try 'levelimport --help'.\n";
            return kExitUsage;
        }
    }
    if (arguments.size() != 2 || arguments[0].empty() || arguments[1].empty()) {
        std::cerr << "levelimport: give a map file and a level file\n"
                  << "Try 'levelimport --help'.\n";
        return kExitUsage;
    }
    return Import(arguments[0], arguments[1]);
}
