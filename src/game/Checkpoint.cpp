#include "game/Checkpoint.hpp"

#include "game/GameObject.hpp"
#include "game/GameSounds.hpp"
#include "game/ReturnPoint.hpp"
#include "game/SpriteRenderer.hpp"

Checkpoint::Checkpoint(GameObject* owner) : TouchTrigger(owner) {}

void Checkpoint::OnTouch(GameObject& other) {
    const auto returnPoint = other.GetComponent<ReturnPoint>();
    if (reached || returnPoint == nullptr) return;
    reached = true;
    returnPoint->SetPoint(gameObject->GetTransform()->position);
    GameSounds::Cue(SoundCue::Checkpoint);
    const auto renderer = gameObject->GetComponent<SpriteRenderer>();
    if (reachedSprite && renderer != nullptr) renderer->SetSprite(*reachedSprite);
}
