#pragma once

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "game/Backdrop.hpp"
#include "game/GameObject.hpp"

namespace orka {
class Camera;
}

/// One built level, as the level builder returns it and the level manager keeps it. Moved, not
/// copied: the game objects are shared with nobody else but their own components' references.
struct LevelData {
    /// Root object: its id is the level number, its name the level's name. Never activated.
    std::shared_ptr<GameObject> level;
    /// "Main Camera", carrying the level's `CameraComponent`; active while the level is loaded.
    std::shared_ptr<GameObject> cameraObject;
    /// The tile objects in file order; each is active while the level is loaded.
    std::vector<std::shared_ptr<GameObject>> objects;
    /// A dynamic or kinematic body whose y falls below this (game units) is put back to its
    /// start. Before the first level nothing counts as fallen.
    float deathLevelInY = std::numeric_limits<float>::lowest();
    /// The camera held by `cameraObject`'s `CameraComponent` (not owned; lives as long as
    /// `cameraObject`). Null before the first build.
    orka::Camera* camera = nullptr;
    /// The player's game object (the last tile built with "characterController" and physics), or
    /// empty when the level has none.
    std::shared_ptr<GameObject> player;
    /// Physics steps each fixed update of 1/60 s is split into: 1, unless the player's feel
    /// needs speeds that one step of Box2D cannot carry.
    int physicsSubsteps = 1;
    /// The layers drawn behind the tiles (the level's "backdrop"); empty when it has none.
    Backdrop backdrop;
    /// The files it was built from: its level file, then the tile-type files it uses.
    std::vector<std::string> files;
};
