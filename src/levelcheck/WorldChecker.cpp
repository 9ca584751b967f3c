#include "levelcheck/WorldChecker.hpp"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>

#include "game/LevelManager.hpp"
#include "orka/Log.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

constexpr const char* kFirstLevelSuffix = "1.json";
constexpr int kFirstLevelNumber = 1;
// The engine's own file for atlas messages; the others of an atlas load concern its image.
constexpr const char* kAtlasSource = "src/orka/SpriteAtlas";

bool CanOpen(const std::string& fileName) {
    return std::ifstream(fileName).good();
}

std::string Position(const TileEntry& entry) {
    return "\"arrayOfTiles\"[" + std::to_string(entry.rowIndex) + "][" +
           std::to_string(entry.entryIndex) + "]";
}

/// `text` without `prefix` when it starts with it.
std::string WithoutPrefix(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : text;
}

/// Collects the engine's error records and whatever goes to std::cerr while it lives, so that
/// messages of the engine's loaders become problems instead of console noise.
class EngineMessages {
public:
    struct Record {
        std::string source;  // "src/orka/<Class>"
        std::string message;
    };

    EngineMessages() : previousHandler(orka::Log::logHandler), previousBuffer(std::cerr.rdbuf()) {
        orka::Log::logHandler = [this](const char*, const char* file, int, orka::LogType type,
                                       std::string message) {
            // Warnings (such as a page that is not a power of two) do not stop the game.
            if (type >= orka::LogType::Error) records.push_back({file, std::move(message)});
        };
        std::cerr.rdbuf(captured.rdbuf());
    }
    ~EngineMessages() {
        std::cerr.rdbuf(previousBuffer);
        orka::Log::logHandler = previousHandler;
    }
    EngineMessages(const EngineMessages&) = delete;
    EngineMessages& operator=(const EngineMessages&) = delete;

    const std::vector<Record>& GetRecords() const { return records; }
    /// The non-empty lines written to std::cerr.
    std::vector<std::string> GetErrorLines() const {
        std::vector<std::string> lines;
        std::istringstream text(captured.str());
        for (std::string line; std::getline(text, line);) {
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }

private:
    orka::Log::Handler previousHandler;
    std::streambuf* previousBuffer;
    std::ostringstream captured;
    std::vector<Record> records;
};

/// The engine's messages about an atlas as problems of its JSON file or, when `imageFile` is
/// not empty, of its image.
void ReportAtlasMessages(const EngineMessages& messages, const std::string& jsonFile,
                         const std::string& imageFile, std::vector<Problem>& problems) {
    for (const std::string& line : messages.GetErrorLines()) {
        problems.push_back({jsonFile, WithoutPrefix(line, jsonFile + ": ")});
    }
    for (const EngineMessages::Record& record : messages.GetRecords()) {
        if (record.source == kAtlasSource) {
            // Key errors start "Cannot load sprite atlas <file>: ", parse errors "<file>: ".
            const std::string message =
                WithoutPrefix(record.message, "Cannot load sprite atlas " + jsonFile + ": ");
            problems.push_back({jsonFile, WithoutPrefix(message, jsonFile + ": ")});
        } else if (!imageFile.empty()) {
            problems.push_back({imageFile, record.message});
        }
    }
}

}  // namespace

WorldChecker::WorldChecker(std::string worldName) : worldName(std::move(worldName)) {}

std::shared_ptr<orka::SpriteAtlas> WorldChecker::CheckAtlas(const std::string& atlasName) {
    const std::string jsonFile = atlasName + ".json";
    const std::string imageFile = atlasName + ".png";
    const bool jsonOpens = CanOpen(jsonFile);
    const bool imageOpens = CanOpen(imageFile);
    if (!jsonOpens) Report(jsonFile, "cannot be opened for reading");
    if (!imageOpens) Report(imageFile, "cannot be opened for reading");
    if (!jsonOpens) return {};

    const std::size_t before = problems.size();
    std::shared_ptr<orka::SpriteAtlas> atlas;
    {
        const EngineMessages messages;
        atlas = orka::SpriteAtlas::create(jsonFile, imageFile, true);
        // A missing image has been reported already; the loader's complaint would repeat it.
        ReportAtlasMessages(messages, jsonFile, imageOpens ? imageFile : "", problems);
    }
    if (atlas == nullptr && problems.size() == before) Report(jsonFile, "cannot be loaded");
    if (atlas != nullptr) UseSpriteNames(jsonFile, atlas->getNames());
    return atlas;
}

void WorldChecker::UseSpriteNames(std::string file, const std::vector<std::string>& names) {
    atlasFile = std::move(file);
    spriteNames = std::set<std::string>(names.begin(), names.end());
}

void WorldChecker::CheckLevels() {
    FollowLevels();
    GroupByFile();
}

void WorldChecker::FollowLevels() {
    const std::string firstFile = worldName + kFirstLevelSuffix;
    std::set<std::string> visited;
    std::string file = firstFile;
    int number = kFirstLevelNumber;
    for (;;) {
        levelFiles.push_back(file);
        visited.insert(file);
        const LevelDescription level = LevelReader::ReadLevelFile(file, problems);
        CheckLevel(level);
        // An unreadable "id" is taken to be the number the file was looked up by.
        const int id = level.id.value_or(number);
        const std::string next = LevelManager::FileAfter(worldName, id);
        if (next == firstFile) return;
        if (visited.count(next) != 0) {
            Report(file, "\"id\" " + std::to_string(id) + " is followed by " + next +
                             " again, so the game never returns to " + firstFile);
            return;
        }
        file = next;
        number = static_cast<int>(static_cast<std::int64_t>(id) + 1);
    }
}

void WorldChecker::CheckLevel(const LevelDescription& level) {
    if (!level.read) return;
    for (std::size_t i = 0; i < level.backdrop.size(); ++i) {
        CheckSprite(level.fileName, "\"backdrop\"[" + std::to_string(i) + "]/\"sprite\"",
                    level.backdrop[i].sprite);
    }
    bool tilesKnown = true;
    for (const TileEntry& entry : level.entries) {
        tilesKnown = LoadTileType(entry.type).read && tilesKnown;
    }
    // A tile file that cannot be read could hold the player or the goal.
    if (tilesKnown) CheckPlayerAndGoal(level);
    CheckCells(level);
}

const TileTypeDescription& WorldChecker::LoadTileType(int tileType) {
    const auto known = tileTypes.find(tileType);
    if (known != tileTypes.end()) return known->second;
    TileTypeDescription tile =
        LevelReader::ReadTileFile(LevelReader::TileFileName(tileType), problems);
    if (tile.sprite) CheckSprite(tile.fileName, "\"sprite\"", *tile.sprite);
    if (tile.spriteReached) {
        CheckSprite(tile.fileName, "\"spriteReached\"", *tile.spriteReached);
    }
    for (std::size_t i = 0; i < tile.animation.size(); ++i) {
        CheckSprite(tile.fileName, "\"animation\"[" + std::to_string(i) + "]", tile.animation[i]);
    }
    return tileTypes.emplace(tileType, std::move(tile)).first->second;
}

void WorldChecker::CheckSprite(const std::string& file, const std::string& what, int number) {
    if (atlasFile.empty()) return;
    const std::string name = LevelReader::SpriteName(number);
    if (spriteNames.count(name) != 0) return;
    Report(file, what + " " + std::to_string(number) + ": the atlas " + atlasFile + " has no \"" +
                     name + "\"");
}

void WorldChecker::CheckPlayerAndGoal(const LevelDescription& level) {
    bool player = false;
    bool goal = false;
    for (const TileEntry& entry : level.entries) {
        const TileTypeDescription& tile = tileTypes.at(entry.type);
        player = player || tile.IsPlayer();
        goal = goal || tile.levelOverBox;
    }
    if (!player) {
        Report(level.fileName,
               "no player: no tile has a type with \"characterController\" and \"physics\"");
    }
    if (!goal) Report(level.fileName, "no goal: no tile has a type with \"leveloverbox\"");
}

void WorldChecker::CheckCells(const LevelDescription& level) {
    // Tiles may be stacked (a decoration drawn over the ground); two bodies on one cell may not.
    std::map<std::pair<int, int>, const TileEntry*> bodies;
    for (const TileEntry& entry : level.entries) {
        if (!tileTypes.at(entry.type).physics) continue;
        const auto [cell, added] = bodies.emplace(std::make_pair(entry.column, entry.row), &entry);
        if (added) continue;
        Report(level.fileName, Position(*cell->second) + " and " + Position(entry) +
                                   " are both on column " + std::to_string(entry.column) +
                                   ", row " + std::to_string(entry.row));
    }
}

void WorldChecker::GroupByFile() {
    // Files keep the order in which they were first named; so do the problems of one file.
    std::map<std::string, std::size_t> firstMention;
    for (const Problem& problem : problems) firstMention.emplace(problem.file, firstMention.size());
    std::stable_sort(problems.begin(), problems.end(), [&](const Problem& a, const Problem& b) {
        return firstMention.at(a.file) < firstMention.at(b.file);
    });
}

void WorldChecker::Report(const std::string& file, const std::string& text) {
    problems.push_back({file, text});
}
