// Fuzzes the level-file reader with its tile-type files. One input holds a level file and the
// tile-type files it may use, separated by lines of "----":
//
//   {"name": "meadow", "arrayOfTiles": [[[0, 1, 2], [1, 3, 2]]]}
//   ----
//   {"name": "ground", "sprite": 3, "physics": {"type": "static"}}
//   ----
//   {"name": "fox", "sprite": 5, "physics": {"type": "dynamic"}, "characterController": 1, ...}
//
// Tile type N of the level is read from the tile part N modulo their number, as the game would
// read "tileN.json". Everything is read from memory, so no file is written.
//
//   build-fuzz/fuzz/level_fuzzer [libFuzzer options] CORPUS_DIR...
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.hpp"
#include "game/LevelReader.hpp"

namespace {

/// What the tile behaviours of a file without problems need from its body.
void checkBehaviours(const TileTypeDescription& tile) {
    const bool sensor = tile.physics && tile.physics->sensor;
    orka::fuzz::require(!tile.hazard || tile.physics, "a sound hazard has no body");
    orka::fuzz::require(!tile.checkpoint || sensor, "a sound checkpoint has no sensor body");
    orka::fuzz::require(!tile.collectible || sensor, "a sound collectible has no sensor body");
    orka::fuzz::require(!tile.oneWay || (tile.physics && !sensor &&
                                         tile.physics->type == b2_staticBody && !tile.moving),
                        "a sound one-way platform has no solid static body");
    // The controller divides by these and the builder by the air time.
    orka::fuzz::require(!tile.walk || (tile.walk->speed > 0.0f && tile.walk->stopTime >= 0.0f &&
                                       tile.walk->accelerateTime >= 0.0f),
                        "a sound walk has no speed or a negative time");
    orka::fuzz::require(
        !tile.jump ||
            (tile.jump->airTime > 0.0f && tile.jump->height > 0.0f &&
             tile.jump->releasedHeight >= 0.0f && tile.jump->releasedHeight <= tile.jump->height &&
             tile.jump->RiseTime() > 0.0f && tile.jump->FallTime() > 0.0f &&
             tile.jump->StartSpeed() <= LevelReader::FeelRanges::maxPlayerSpeed &&
             tile.jump->LandingSpeed() <= LevelReader::FeelRanges::maxPlayerSpeed &&
             tile.jump->edgeGrace <= LevelReader::FeelRanges::maxEdgeGrace),
        "a sound jump has no height or air time, or one the physics cannot give");
    orka::fuzz::require(!tile.physics || !tile.physics->friction || *tile.physics->friction >= 0.0f,
                        "a sound friction is negative");
    orka::fuzz::require(!tile.faceLastWalk || tile.characterController,
                        "a sound tile faces its last walk without being the player");
    if (!tile.moving) return;
    orka::fuzz::require(tile.physics.has_value(), "a sound moving tile has no body");
    orka::fuzz::require(tile.moving->period > 0.0f, "a sound moving tile has no period");
}

/// The promises the builder and the checker rely on when a file had no problem.
void checkTile(const TileTypeDescription& tile, std::size_t problemsBefore,
               const std::vector<Problem>& problems) {
    const bool sound = problems.size() == problemsBefore;
    orka::fuzz::require(tile.read || !sound, "an unread tile file reported no problem");
    if (!sound) return;
    if (tile.IsPlayer()) {
        orka::fuzz::require(tile.sprite.has_value(), "a sound player tile has no sprite");
        orka::fuzz::require(tile.animation.size() >= LevelReader::animationFrames,
                            "a sound player tile has fewer than six animation frames");
    }
    if (tile.levelOverBox) {
        orka::fuzz::require(tile.physics.has_value(), "a sound goal tile has no body");
    }
    if (tile.physics) {
        orka::fuzz::require(tile.physics->density >= 0.0f, "a sound tile has a negative density");
    }
    checkBehaviours(tile);
}

void checkProblemsNameTheirFiles(const std::vector<Problem>& problems,
                                 const std::set<std::string>& fileNames) {
    for (const Problem& problem : problems) {
        orka::fuzz::require(fileNames.count(problem.file) == 1,
                            "a problem names a file that was not read");
        orka::fuzz::require(!problem.text.empty(), "a problem has no text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts =
        orka::fuzz::splitParts(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<Problem> problems;
    std::set<std::string> fileNames{"fuzz1.json"};
    const LevelDescription level = LevelReader::ReadLevelText("fuzz1.json", parts[0], problems);
    orka::fuzz::require(level.read || !problems.empty(), "an unread level reported no problem");
    for (const BackdropLayerDescription& layer : level.backdrop) {
        orka::fuzz::require(layer.parallax >= 0.0f && layer.parallax <= 1.0f,
                            "a backdrop layer kept a parallax outside 0 to 1");
    }

    const std::size_t tileParts = parts.size() - 1;
    std::set<int> tileTypesRead;
    for (const TileEntry& entry : level.entries) {
        if (tileParts == 0 || !tileTypesRead.insert(entry.type).second) continue;
        // The remainder keeps its sign in C++; fold it into 0 .. tileParts - 1.
        const long long count = static_cast<long long>(tileParts);
        const std::size_t part = static_cast<std::size_t>((entry.type % count + count) % count);
        const std::string fileName = LevelReader::TileFileName(entry.type);
        fileNames.insert(fileName);
        const std::size_t problemsBefore = problems.size();
        const TileTypeDescription tile =
            LevelReader::ReadTileText(fileName, parts[part + 1], problems);
        checkTile(tile, problemsBefore, problems);
    }
    checkProblemsNameTheirFiles(problems, fileNames);
    return 0;
}
