#pragma once

#include <string>

#include "AtlasPacker.hpp"

// Writes a packed atlas as "<base>.png" and "<base>.json" (the "frames" format the game's
// sprite atlas reads; sprites are named "<number>.png"). Each file is written under a
// temporary name and renamed into place, so a failed run leaves the previous files intact.
class AtlasWriter {
public:
    // The JSON text for the atlas; imageName is recorded in its "meta" block.
    static std::string toJson(const PackedAtlas& atlas, const std::string& imageName);
    // Throws std::runtime_error naming the file when it cannot be written.
    static void writePng(const Image& page, const std::string& path);
    // Writes base + ".png" and base + ".json".
    static void write(const PackedAtlas& atlas, const std::string& base);
};
