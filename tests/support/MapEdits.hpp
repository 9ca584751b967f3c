#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

/// The whole of a text file; empty when it cannot be read.
inline std::string ReadWhole(const std::filesystem::path& file) {
    std::ifstream stream(file);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

/// A Tiled map with every `from` tile of its CSV layers made a `to` tile.
inline std::string WithTilesSwapped(std::string map, const std::string& from,
                                    const std::string& to) {
    for (std::size_t at = 0; (at = map.find("," + from + ",", at)) != std::string::npos;) {
        map.replace(at + 1, from.size(), to);
        at += to.size();
    }
    return map;
}

/// Saves as Tiled and other editors that write safely do: a new file renamed over the old one.
inline void SaveByRenaming(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::path saving = file;
    saving += ".saving";
    std::ofstream(saving) << text;
    std::filesystem::rename(saving, file);
}

}  // namespace test_support
