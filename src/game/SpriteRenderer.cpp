#include "game/SpriteRenderer.hpp"

#include <glm/trigonometric.hpp>

#include "game/GameObject.hpp"

SpriteRenderer::SpriteRenderer(GameObject* owner) : Component(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&SpriteRenderer::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&SpriteRenderer::OnDisable>);
}

SpriteRenderer::~SpriteRenderer() = default;

void SpriteRenderer::OnEnable() {
    if (spriteDrawEvent == nullptr) return;
    spriteDrawEvent->Subscribe(this, &CallMember<&SpriteRenderer::OnDraw>);
}

void SpriteRenderer::OnDisable() {
    if (spriteDrawEvent == nullptr) return;
    spriteDrawEvent->Unsubscribe(this, &CallMember<&SpriteRenderer::OnDraw>);
}

void SpriteRenderer::OnDraw(orka::SpriteBatch::SpriteBatchBuilder& batch, float stepFraction) {
    if (!gameObject->IsActive()) return;
    const auto transform = gameObject->GetTransform();
    sprite.setPosition(transform->DrawnPosition(stepFraction));
    // The transform keeps radians, the sprite degrees.
    sprite.setRotation(glm::degrees(transform->rotation));
    sprite.setScale(transform->scale);
    batch.addSprite(sprite);
}
