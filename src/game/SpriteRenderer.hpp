#pragma once

#include "game/Component.hpp"
#include "game/SceneEvents.hpp"
#include "orka/Sprite.hpp"

class GameObject;

/// Makes its game object visible: while the owner is active, adds its sprite to the sprite batch
/// the scene builds every frame, placed (at the transform's drawn position for the frame's step
/// fraction), turned and scaled by the owner's `Transform`.
///
/// Holds the sprite by value; the sprite's atlas texture must outlive the renderer (the scene
/// manager keeps the atlas for the whole game). A sprite without texture (an unknown atlas name)
/// is left out of the batch.
class SpriteRenderer : public Component {
public:
    explicit SpriteRenderer(GameObject* owner);
    ~SpriteRenderer() override;

    /// Replaces the sprite. Its position, rotation and scale are overwritten from the transform
    /// at the next draw; texture region, anchor, colour, flip and order are shown as given.
    void SetSprite(const orka::Sprite& newSprite) { sprite = newSprite; }
    const orka::Sprite& GetSprite() const { return sprite; }

    /// The scene's sprite-draw event (not owned); the draw handler is subscribed to it while the
    /// owner is active. Set before the owner is first activated.
    SpriteDrawEvent* spriteDrawEvent = nullptr;

private:
    void OnEnable();
    void OnDisable();
    void OnDraw(orka::SpriteBatch::SpriteBatchBuilder& batch, float stepFraction);

    orka::Sprite sprite;
};
