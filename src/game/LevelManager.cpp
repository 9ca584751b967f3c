#include "game/LevelManager.hpp"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

#include "game/LevelBuilder.hpp"
#include "game/Logger.hpp"

namespace {

constexpr const char* kFirstLevelSuffix = "1.json";
constexpr const char* kLevelExtension = ".json";

bool CanOpen(const std::string& fileName) {
    std::ifstream file(fileName);
    return file.good();
}

}  // namespace

LevelManager::LevelManager() {
    // Log readers (and tests) match this exact text, spelling included: leave it as it is.
    Logger::Debug("Level Manager Contructor");
}

void LevelManager::LoadFirstLevel(const LevelContext& context, std::string name) {
    worldName = std::move(name);
    firstLevelFile = worldName + kFirstLevelSuffix;
    LoadNextLevel(context);
    Logger::Debug("STOP!");
}

std::string LevelManager::NextLevelFile() const {
    if (levelData.level == nullptr) return firstLevelFile;
    return FileAfter(worldName, levelData.level->GetId());
}

std::string LevelManager::FileAfter(const std::string& worldName, int levelId) {
    // Later levels are read from the chosen world's own name; widened so that the id after
    // the largest int does not overflow.
    const std::int64_t next = static_cast<std::int64_t>(levelId) + 1;
    const std::string candidate = worldName + std::to_string(next) + kLevelExtension;
    return CanOpen(candidate) ? candidate : worldName + kFirstLevelSuffix;
}

void LevelManager::LoadNextLevel(const LevelContext& context) {
    const std::string fileName = NextLevelFile();
    // Built before the level in play goes: a file that cannot be built throws with that level
    // untouched.
    LevelData next = Build(context, fileName);
    if (levelData.level != nullptr) {
        UnloadLevel();
        DeactivateCamera();
    }
    // The previous level (all of it inactive by now) is released here.
    levelData = std::move(next);
    currentLevelFile = fileName;
}

void LevelManager::ReloadLevel(const LevelContext& context) {
    if (levelData.level == nullptr || currentLevelFile.empty()) {
        LoadNextLevel(context);
        return;
    }
    // The builder reads and checks every file before it makes the first object, so a broken
    // file throws here with the running level untouched. The new level's objects are active
    // beside the old ones only until the old ones are unloaded below, within this call.
    LevelData fresh = Build(context, currentLevelFile);
    UnloadLevel();
    DeactivateCamera();
    levelData = std::move(fresh);
}

LevelData LevelManager::Build(const LevelContext& context, const std::string& fileName) {
    LevelBuilder builder(context);
    try {
        LevelData built = builder.BuildLevel(fileName);
        if (!failedFiles.empty() && failedFiles.front() == fileName) failedFiles.clear();
        return built;
    } catch (...) {
        failedFiles = builder.GetFilesRead();
        throw;
    }
}

std::vector<std::string> LevelManager::FilesInUse() const {
    std::vector<std::string> files = levelData.files;
    for (const std::string& file : failedFiles) {
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

void LevelManager::DeactivateCamera() {
    if (levelData.cameraObject != nullptr && levelData.cameraObject->IsActive()) {
        levelData.cameraObject->ToggleActive();
    }
}

void LevelManager::UnloadLevel() {
    std::vector<std::shared_ptr<GameObject>> deactivated;
    for (const auto& object : levelData.objects) {
        if (object == nullptr || !object->IsActive()) continue;
        object->ToggleActive();
        deactivated.push_back(object);
    }
    levelData.objects.clear();
    // Objects without other owners are destroyed as `deactivated` goes.
}

void LevelManager::Reset() {
    UnloadLevel();
    DeactivateCamera();
    levelData = LevelData();
    currentLevelFile.clear();
    failedFiles.clear();
}
