#pragma once

#include <SDL.h>

#include "game/Event.hpp"
#include "orka/SpriteBatch.hpp"

class GameObject;

/// The scene's events, shared by the scene, the level manager, the level builder and the
/// components they wire up.

/// Raised once per frame with the frame's duration in seconds; behaviours update.
using UpdateEvent = Event<float>;
/// Raised once per frame with the frame's open sprite batch and how far, as a fraction of a step
/// (0 to 1), the frame is past the last fixed step; sprite renderers add their sprites.
using SpriteDrawEvent = Event<orka::SpriteBatch::SpriteBatchBuilder&, float>;
/// Raised right after every physics step; physics bodies copy their body into their transform.
using PhysicsStepEvent = Event<>;
/// Raised with the synthetic key events of whoever drives a scene without window (the level
/// checker, tests); the scene's controls listen.
using KeyInputEvent = Event<SDL_Event&>;
/// Raised by a physics body with the other game object of a contact.
using CollisionEvent = Event<GameObject*>;
