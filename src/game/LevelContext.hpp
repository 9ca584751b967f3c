#pragma once

#include <box2d/box2d.h>

#include <memory>

#include "game/SceneEvents.hpp"

class PlayerControls;

namespace orka {
class SpriteAtlas;
}

/// What a level is built into: the scene's three events, its keyboard and controllers, its
/// physics world and the sprite atlas.
/// A plain description, filled by the scene for each load and handed through the level manager
/// to the level builder, which wires every component it makes to these.
///
/// Nothing here is owned but a share of the world: the events and the atlas must outlive the
/// objects built with them.
struct LevelContext {
    UpdateEvent* updateEvent = nullptr;
    SpriteDrawEvent* spriteDrawEvent = nullptr;
    PhysicsStepEvent* physicsStepEvent = nullptr;
    const PlayerControls* controls = nullptr;
    std::shared_ptr<b2World> world;
    /// Where sprite number S is the sprite "S.png"; null when none is loaded, and then a level
    /// that shows a sprite cannot be built.
    const orka::SpriteAtlas* atlas = nullptr;
};
