#include "levelcheck/FeelMeter.hpp"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "game/GameObject.hpp"
#include "game/LevelReader.hpp"
#include "game/PhysicsBody.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "levelcheck/InputScript.hpp"
#include "levelcheck/WorldPlayer.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kSettleUpdates = 60;
constexpr int kWalkUpdates = 90;  // 1.5 s: any sensible walk is at full speed by then
constexpr int kPaceUpdates = 30;  // the last half second of it, at full speed, is timed
constexpr int kRunUpUpdates = 60;
constexpr int kMostUpdates = 1200;  // 20 s: the plain physics take about 3 s to stop
constexpr int kTapUpdates = 2;
constexpr int kWallPresses = 40;
constexpr int kPressUpdates = 15;
constexpr float kStillMove = 1e-3f;  // units per update below which the player is at rest
constexpr int kStillUpdates = 3;
constexpr float kLandedTolerance = 0.5f;  // units above the start height that count as landed
constexpr float kLeftTheGround = 1.0f;    // units above it that count as airborne
constexpr int kFloorColumns = 300;
constexpr int kWallColumn = 3;
constexpr int kWallRows = 12;

/// An empty temporary folder that is the working directory while it lives.
class ScratchWorkingFolder {
public:
    ScratchWorkingFolder() : previous(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "levelcheck-feel-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
        path = pattern;
        fs::current_path(path);
    }
    ~ScratchWorkingFolder() {
        std::error_code ignored;
        fs::current_path(previous, ignored);
        fs::remove_all(path, ignored);
    }
    ScratchWorkingFolder(const ScratchWorkingFolder&) = delete;
    ScratchWorkingFolder& operator=(const ScratchWorkingFolder&) = delete;

    const fs::path previous;
    fs::path path;
};

/// The tile types of the world's player and of the ground it stands on.
struct Cast {
    int player = 0;
    int ground = 0;
};

bool IsPlainGround(const TileTypeDescription& tile) {
    return tile.physics && !tile.physics->sensor && tile.physics->type == b2_staticBody &&
           !tile.hazard && !tile.oneWay && !tile.moving;
}

Cast FindCast(const std::string& world) {
    std::vector<Problem> problems;
    const LevelDescription level = LevelReader::ReadLevelFile(world + "1.json", problems);
    const auto typeOf = [&problems](int type) {
        return LevelReader::ReadTileFile(LevelReader::TileFileName(type), problems);
    };
    std::optional<TileEntry> player;
    for (const TileEntry& entry : level.entries) {
        if (typeOf(entry.type).IsPlayer()) player = entry;
    }
    if (!player) throw std::runtime_error(level.fileName + ": no player to measure");
    std::optional<int> ground;
    for (const TileEntry& entry : level.entries) {
        if (!IsPlainGround(typeOf(entry.type))) continue;
        const bool under = entry.column == player->column && entry.row == player->row - 1;
        if (under || !ground) ground = entry.type;
        if (under) break;
    }
    if (!ground) throw std::runtime_error(level.fileName + ": no solid ground to measure on");
    return {player->type, *ground};
}

/// A level file of ground tiles at `ground` cells and the player at column 0, row 1.
void WriteLevel(const std::string& fileName, const Cast& cast,
                const std::vector<std::pair<int, int>>& ground) {
    std::ofstream file(fileName);
    file << R"({"id": 1, "name": "Feel", "deathLevelInY": -1000, "arrayOfTiles": [[)";
    file << "[" << cast.player << ", 0, 1]], [";
    for (std::size_t i = 0; i < ground.size(); ++i) {
        file << (i == 0 ? "" : ", ") << "[" << cast.ground << ", " << ground[i].first << ", "
             << ground[i].second << "]";
    }
    file << "]]}\n";
}

void WriteLevels(const std::string& world, const Cast& cast, const fs::path& into) {
    for (int type : {cast.player, cast.ground}) {
        const std::string name = LevelReader::TileFileName(type);
        fs::copy_file(fs::path(world).parent_path() / name, into / name,
                      fs::copy_options::overwrite_existing);
    }
    std::vector<std::pair<int, int>> floor;
    for (int column = -kFloorColumns / 10; column < kFloorColumns; ++column)
        floor.push_back({column, 0});
    WriteLevel((into / "flat1.json").string(), cast, floor);
    for (int row = 1; row <= kWallRows; ++row) floor.push_back({kWallColumn, row});
    WriteLevel((into / "wall1.json").string(), cast, floor);
}

/// Drives the scene with keys, one update at a time, and watches the player.
class Trial {
public:
    explicit Trial(Scene& scene) : scene(scene) {}

    void Start(const std::string& level) {
        scene.LoadLevel(level);
        Run(kSettleUpdates);
    }
    void Key(SDL_Keycode key, bool down) { InputScript::SendKey(scene, key, down); }
    void Run(int updates) {
        for (int i = 0; i < updates; ++i) scene.Update(Scene::timeStep);
    }
    glm::vec2 At() const { return scene.GetLevelData().player->GetTransform()->position; }
    glm::vec2 Velocity() const {
        return scene.GetLevelData().player->GetComponent<PhysicsBody>()->GetLinearVelocity();
    }
    /// Updates until the player keeps still; how many ran before it did.
    int RunUntilStill() {
        int still = 0;
        for (int update = 1; update <= kMostUpdates; ++update) {
            const float x = At().x;
            Run(1);
            still = std::fabs(At().x - x) < kStillMove ? still + 1 : 0;
            if (still == kStillUpdates) return update - kStillUpdates;
        }
        return kMostUpdates;
    }
    /// After a jump began: updates until the player is back at `startY`; the highest rise.
    float RunUntilLanded(float startY, int& updates) {
        float highest = 0.0f;
        bool airborne = false;
        for (updates = 1; updates <= kMostUpdates; ++updates) {
            Run(1);
            const float rise = At().y - startY;
            highest = std::max(highest, rise);
            airborne = airborne || rise > kLeftTheGround;
            if (airborne && rise <= kLandedTolerance) break;
        }
        return highest;
    }

private:
    Scene& scene;
};

void MeasureWalk(Trial& trial, FeelMeter::Feel& feel) {
    trial.Start("flat");
    trial.Key(SDLK_RIGHT, true);
    trial.Run(kWalkUpdates - kPaceUpdates);
    // The distance covered, not the body's velocity: the physics may move the body less far
    // than its velocity says.
    const float paced = trial.At().x;
    trial.Run(kPaceUpdates);
    feel.walkSpeed = (trial.At().x - paced) / (kPaceUpdates * Scene::timeStep);
    const float released = trial.At().x;
    trial.Key(SDLK_RIGHT, false);
    feel.stopSeconds = static_cast<float>(trial.RunUntilStill()) * Scene::timeStep;
    feel.stopDistance = trial.At().x - released;
}

void MeasureJumps(Trial& trial, FeelMeter::Feel& feel) {
    int updates = 0;
    trial.Start("flat");
    trial.Key(SDLK_SPACE, true);
    feel.jumpHeight = trial.RunUntilLanded(trial.At().y, updates);
    feel.jumpSeconds = static_cast<float>(updates) * Scene::timeStep;
    trial.Key(SDLK_SPACE, false);

    trial.Start("flat");
    const float startY = trial.At().y;
    trial.Key(SDLK_SPACE, true);
    trial.Run(kTapUpdates);
    trial.Key(SDLK_SPACE, false);
    feel.tappedJumpHeight = std::max(trial.RunUntilLanded(startY, updates), trial.At().y - startY);

    trial.Start("flat");
    trial.Key(SDLK_RIGHT, true);
    trial.Run(kRunUpUpdates);
    const glm::vec2 takeOff = trial.At();
    trial.Key(SDLK_SPACE, true);
    feel.runningJumpHeight = trial.RunUntilLanded(takeOff.y, updates);
    feel.runningJumpDistance = trial.At().x - takeOff.x;
    trial.Key(SDLK_SPACE, false);
    trial.Key(SDLK_RIGHT, false);
}

void MeasureAirDrift(Trial& trial, FeelMeter::Feel& feel) {
    trial.Start("flat");
    trial.Key(SDLK_RIGHT, true);
    trial.Run(kRunUpUpdates);
    trial.Key(SDLK_SPACE, true);
    // Up to the top of the jump, then the arrow goes up: how far it still drifts, in the air
    // and after landing.
    int updates = 0;
    while (updates++ < kMostUpdates && trial.Velocity().y <= 0.0f) trial.Run(1);
    while (updates++ < kMostUpdates && trial.Velocity().y > 0.0f) trial.Run(1);
    const float released = trial.At().x;
    trial.Key(SDLK_RIGHT, false);
    trial.RunUntilStill();
    feel.airDrift = trial.At().x - released;
    trial.Key(SDLK_SPACE, false);
}

void MeasureWall(Trial& trial, FeelMeter::Feel& feel) {
    trial.Start("wall");
    const float startY = trial.At().y;
    trial.Key(SDLK_RIGHT, true);
    trial.Run(kRunUpUpdates);
    for (int press = 0; press < kWallPresses; ++press) {
        trial.Key(SDLK_SPACE, true);
        for (int i = 0; i < 2 * kPressUpdates; ++i) {
            if (i == kPressUpdates) trial.Key(SDLK_SPACE, false);
            trial.Run(1);
            feel.wallClimb = std::max(feel.wallClimb, trial.At().y - startY);
        }
    }
    trial.Key(SDLK_RIGHT, false);
}

std::string Fixed(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
    return text;
}

std::string Seconds(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(value));
    return text;
}

}  // namespace

std::string FeelMeter::Feel::ToString(const std::string& world) const {
    std::ostringstream text;
    text << world << ": walks at " << Fixed(walkSpeed) << " units/s and stops "
         << Fixed(stopDistance) << " units (" << Seconds(stopSeconds)
         << ") after the key goes up\n";
    text << world << ": a jump from standing rises " << Fixed(jumpHeight) << " units and lasts "
         << Seconds(jumpSeconds) << "; tapped for 2 updates it rises " << Fixed(tappedJumpHeight)
         << " units\n";
    text << world << ": a running jump rises " << Fixed(runningJumpHeight) << " units and carries "
         << Fixed(runningJumpDistance) << " units; let go of the arrow at its top, it drifts "
         << Fixed(airDrift) << " units\n";
    text << world << ": jumping again and again against a wall of 12 tiles climbs "
         << Fixed(wallClimb) << " units\n";
    return text.str();
}

FeelMeter::Feel FeelMeter::Measure(const std::string& world,
                                   const std::shared_ptr<orka::SpriteAtlas>& atlas) {
    const Cast cast = FindCast(world);
    ScratchWorkingFolder scratch;
    WriteLevels((scratch.previous / world).string(), cast, scratch.path);
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = WorldPlayer::StartWorld(manager, atlas, "flat");
    Trial trial(scene);
    Feel feel;
    MeasureWalk(trial, feel);
    MeasureJumps(trial, feel);
    MeasureAirDrift(trial, feel);
    MeasureWall(trial, feel);
    return feel;
}
