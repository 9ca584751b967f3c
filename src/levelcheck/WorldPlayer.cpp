#include "levelcheck/WorldPlayer.hpp"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <utility>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "levelcheck/InputScript.hpp"

namespace {

constexpr const char* kLevelExtension = ".json";
constexpr const char* kScriptExtension = ".txt";

}  // namespace

std::string WorldPlayer::LevelPlay::ToString() const {
    if (!error.empty()) return levelFile + ": not played: " + error;
    const std::string count = std::to_string(frames) + (frames == 1 ? " frame" : " frames");
    const std::string verdict = goalReached ? "goal reached after " : "goal not reached in ";
    const std::string tally = ", collected " + std::to_string(progress.collected) + " of " +
                              std::to_string(progress.collectibles) + ", " +
                              std::to_string(progress.returns) + " returns";
    return levelFile + ": " + verdict + count + " (" + scriptFile + ")" + tally;
}

WorldPlayer::WorldPlayer(std::string worldName, std::vector<std::string> levelFiles)
    : worldName(std::move(worldName)), levelFiles(std::move(levelFiles)) {}

std::string WorldPlayer::ScriptFor(const std::string& script, const std::string& levelFile) {
    if (!std::filesystem::is_directory(script)) return script;
    const std::filesystem::path level(levelFile);
    const std::string stem =
        level.extension() == kLevelExtension ? level.stem().string() : level.filename().string();
    return (std::filesystem::path(script) / (stem + kScriptExtension)).string();
}

void WorldPlayer::SkipLevel(Scene& scene) {
    scene.SetLevelOver();
    scene.Update(Scene::timeStep);
}

WorldPlayer::LevelPlay WorldPlayer::PlayLevel(Scene& scene, const std::string& script,
                                              const std::string& levelFile) {
    LevelPlay play;
    play.levelFile = levelFile;
    play.scriptFile = ScriptFor(script, levelFile);
    std::optional<InputScript> input;
    try {
        input = InputScript::Load(play.scriptFile);
    } catch (const std::runtime_error& error) {
        play.error = error.what();
        return play;
    }
    // Held past the goal: the level's objects still tell how it went once the next is loaded.
    const std::vector<std::shared_ptr<GameObject>> objects = scene.GetLevelData().objects;
    const InputScript::Result result =
        input->Replay(scene, input->GetLastFrame() + framesAfterScript);
    play.goalReached = result.goalReached;
    play.frames = result.frame;
    play.progress = LevelProgress::Of(objects);
    return play;
}

Scene& WorldPlayer::StartWorld(SceneManager& manager,
                               const std::shared_ptr<orka::SpriteAtlas>& atlas,
                               const std::string& worldName) {
    if (SceneManager::GetInstance() != &manager) {
        throw std::logic_error("levelcheck needs the only scene manager");
    }
    manager.spriteAtlas = atlas;
    Scene& scene = *manager.GetScene();
    scene.LoadLevel(worldName);
    return scene;
}

std::vector<WorldPlayer::LevelPlay> WorldPlayer::Play(
    const std::string& script, const std::shared_ptr<orka::SpriteAtlas>& atlas) const {
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = StartWorld(manager, atlas, worldName);

    std::vector<LevelPlay> plays;
    for (std::size_t i = 0; i < levelFiles.size(); ++i) {
        LevelPlay play = PlayLevel(scene, script, levelFiles[i]);
        // Past the last level the world starts again; there is nothing more to play.
        if (!play.goalReached && i + 1 < levelFiles.size()) SkipLevel(scene);
        plays.push_back(std::move(play));
    }
    return plays;
}
