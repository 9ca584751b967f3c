// levelgen: turns the level maps of a folder into the level files of the default world and
// writes every tile-type file.
//
//   levelgen [maps-folder] [output-folder]
//
// Defaults: tools/levels and data (run from the repository root). Each "<name>.txt" becomes
// "<name>.json"; every tile type becomes "tile<N>.json". Nothing is written unless every map
// converts, so one bad map cannot leave the world half updated.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "common/TextFile.hpp"
#include "levelgen/LevelConverter.hpp"
#include "levelgen/LevelMap.hpp"
#include "levelgen/TileCatalog.hpp"

namespace fs = std::filesystem;

namespace {

const char* const defaultMaps = "tools/levels";
const char* const defaultOutput = "data";
const char* const mapExtension = ".txt";

std::vector<fs::path> mapFiles(const fs::path& folder) {
    if (!fs::is_directory(folder)) {
        throw std::runtime_error("no folder of level maps at " + folder.string());
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == mapExtension) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) throw std::runtime_error("no *.txt level maps in " + folder.string());
    return files;
}

// (output file, content) for every file the run writes.
std::vector<std::pair<fs::path, std::string>> convertAll(const fs::path& maps,
                                                         const fs::path& output) {
    std::vector<std::pair<fs::path, std::string>> files;
    for (const fs::path& file : mapFiles(maps)) {
        const LevelMap map = LevelMap::parse(TextFile::read(file.string()), file.string());
        fs::path target = output / file.filename();
        target.replace_extension(".json");
        files.emplace_back(target, LevelConverter::toJson(map, file.string()));
    }
    for (const TileType& type : TileCatalog::all()) {
        files.emplace_back(output / TileCatalog::fileName(type), TileCatalog::toJson(type));
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3) {
        std::cerr << "usage: levelgen [maps-folder] [output-folder]" << std::endl;
        return 2;
    }
    const fs::path maps = argc > 1 ? argv[1] : defaultMaps;
    const fs::path output = argc > 2 ? argv[2] : defaultOutput;
    try {
        if (!fs::is_directory(output)) {
            throw std::runtime_error("no output folder at " + output.string());
        }
        const auto files = convertAll(maps, output);
        for (const auto& [path, text] : files) TextFile::write(path.string(), text);
        std::cout << "levelgen: wrote " << files.size() << " files to " << output.string()
                  << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "levelgen: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
