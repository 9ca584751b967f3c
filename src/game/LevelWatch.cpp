#include "game/LevelWatch.hpp"

#include <utility>

#include "game/ImportProblem.hpp"
#include "game/Logger.hpp"
#include "game/Scene.hpp"

LevelWatch::LevelWatch(std::string name) : atlasName(std::move(name)) {
    if (!saves.Ready()) {
        Logger::Warning("Saved files are not noticed (" + saves.Error() +
                        "): press F5 to reload the level");
    }
}

void LevelWatch::Follow(const Scene& scene) {
    followedStarts = scene.GetLevelStarts();
    files = scene.GetLevelFiles();
    // levelimport --watch says there why a save of the level's map did not import.
    if (!files.empty()) files.push_back(ImportProblem::FileFor(files.front()));
    files.push_back(atlasName + ".json");
    files.push_back(atlasName + ".png");
    if (saves.Ready()) saves.WatchOnly(files);
}

LevelWatch::Saved LevelWatch::SavedSince(const Scene& scene,
                                         filewatch::SaveWatch::Clock::time_point now) {
    // A level change (the goal, a failed next level) changes the files in use.
    if (scene.GetLevelStarts() != followedStarts) Follow(scene);
    if (!saves.Ready()) return Saved::Nothing;
    const std::vector<std::string> saved = saves.TakeSettledFiles(now);
    if (saved.empty()) return Saved::Nothing;
    const bool problemOnly = saved.size() == 1 && !files.empty() &&
                             saved.front() == ImportProblem::FileFor(files.front());
    return problemOnly ? Saved::ImportProblem : Saved::LevelFiles;
}
