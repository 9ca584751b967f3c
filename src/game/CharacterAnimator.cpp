#include "game/CharacterAnimator.hpp"

#include "game/GameObject.hpp"
#include "game/Logger.hpp"
#include "game/SpriteRenderer.hpp"

namespace {

constexpr std::size_t kFirstWalkFrame = 1;
constexpr std::size_t kSecondWalkFrame = 2;

}  // namespace

CharacterAnimator::CharacterAnimator(GameObject* owner) : Behaviour(owner) {}

CharacterAnimator::~CharacterAnimator() = default;

void CharacterAnimator::InitialiseSelf() {
    spriteRenderer = gameObject->GetComponent<SpriteRenderer>();
}

void CharacterAnimator::SetState(int newState) {
    if (newState == state) return;
    stateChanged = true;
    state = newState;
    timer = 0.0f;
    Logger::Debug("Animator State Changed");
}

void CharacterAnimator::Update(float deltaTime) {
    timer += deltaTime;
    switch (state) {
        case Idle:
        case Jump:
        case Unused:
        case Fall:
            if (stateChanged) Show(static_cast<std::size_t>(state));
            stateChanged = false;
            break;
        case WalkLeft:
        case WalkRight:
            UpdateWalk(state == WalkLeft);
            break;
        default:
            stateChanged = false;
            break;
    }
}

void CharacterAnimator::UpdateWalk(bool mirrored) {
    if (stateChanged) {
        // Only the walk frames are ever mirrored: the other sprites always face right.
        for (std::size_t i : {kFirstWalkFrame, kSecondWalkFrame}) {
            if (i < sprites.size() && sprites[i].getFlip() != glm::bvec2(mirrored, false)) {
                sprites[i].setFlip({mirrored, false});
            }
        }
        timer = frameDuration + 1.0f;  // show a frame at once
    }
    if (timer > frameDuration) {
        ++walkFrameCounter;
        Show(walkFrameCounter % 2 != 0 ? kSecondWalkFrame : kFirstWalkFrame);
        timer = 0.0f;
        stateChanged = false;
    }
}

void CharacterAnimator::Show(std::size_t index) {
    if (spriteRenderer == nullptr || index >= sprites.size()) return;
    spriteRenderer->SetSprite(sprites[index]);
}
