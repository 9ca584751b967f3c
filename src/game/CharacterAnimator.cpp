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
            if (stateChanged) {
                const auto index = static_cast<std::size_t>(state);
                Mirror(index, faceLastWalk && walkedLeft);
                Show(index);
            }
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
        walkedLeft = mirrored;
        for (std::size_t i : {kFirstWalkFrame, kSecondWalkFrame}) Mirror(i, mirrored);
        timer = frameDuration + 1.0f;  // show a frame at once
    }
    if (timer > frameDuration) {
        ++walkFrameCounter;
        Show(walkFrameCounter % 2 != 0 ? kSecondWalkFrame : kFirstWalkFrame);
        timer = 0.0f;
        stateChanged = false;
    }
}

void CharacterAnimator::Mirror(std::size_t index, bool mirrored) {
    if (index >= sprites.size() || sprites[index].getFlip() == glm::bvec2(mirrored, false)) return;
    sprites[index].setFlip({mirrored, false});
}

void CharacterAnimator::Show(std::size_t index) {
    if (spriteRenderer == nullptr || index >= sprites.size()) return;
    spriteRenderer->SetSprite(sprites[index]);
}
