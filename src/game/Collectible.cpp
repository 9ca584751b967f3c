#include "game/Collectible.hpp"

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/GameSounds.hpp"

Collectible::Collectible(GameObject* owner) : TouchTrigger(owner) {}

void Collectible::OnTouch(GameObject& other) {
    if (taken || other.GetComponent<CharacterController>() == nullptr) return;
    taken = true;
    GameSounds::Cue(SoundCue::Collect);
    // Inside the step the body cannot be destroyed: it is left in the world touching nothing.
    if (gameObject->IsActive()) gameObject->ToggleActive();
}
