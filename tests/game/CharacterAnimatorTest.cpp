#include "game/CharacterAnimator.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "game/GameObject.hpp"
#include "game/SpriteRenderer.hpp"

namespace {

constexpr int kTileSprite = 99;

/// A character with a sprite renderer and an animator whose six sprites carry their index as
/// their order in the batch, so the shown sprite tells which one it is.
class CharacterAnimatorTest : public ::testing::Test {
protected:
    UpdateEvent update;  // outlives the objects subscribed to it
    std::shared_ptr<GameObject> character = std::make_shared<GameObject>();
    std::shared_ptr<SpriteRenderer> renderer = character->AddComponent<SpriteRenderer>();
    std::shared_ptr<CharacterAnimator> animator = character->AddComponent<CharacterAnimator>();

    CharacterAnimatorTest() {
        for (int i = 0; i < 6; ++i) {
            orka::Sprite sprite;
            sprite.setOrderInBatch(i);
            animator->sprites.push_back(sprite);
        }
        orka::Sprite tile;
        tile.setOrderInBatch(kTileSprite);
        renderer->SetSprite(tile);
        animator->updateEvent = &update;
        character->ToggleActive();
        character->InitialiseSelf();
    }
    int Shown() const { return renderer->GetSprite().getOrderInBatch(); }
    bool Mirrored() const { return renderer->GetSprite().getFlip().x; }
    /// Replaces the shown sprite behind the animator's back, to see whether it sets one.
    void Mark() {
        orka::Sprite marker;
        marker.setOrderInBatch(-1);
        renderer->SetSprite(marker);
    }
};

TEST_F(CharacterAnimatorTest, NothingIsShownBeforeTheFirstRequest) {
    update.Invoke(1.0f);
    EXPECT_EQ(Shown(), kTileSprite);
    EXPECT_EQ(animator->GetState(), -1);
}

TEST_F(CharacterAnimatorTest, AStateSpriteIsSetOnceWhenTheStateChanges) {
    animator->SetState(CharacterAnimator::Fall);
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), 5);
    Mark();
    animator->SetState(CharacterAnimator::Fall);  // the same state again is no change
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), -1);

    animator->SetState(CharacterAnimator::Jump);
    animator->SetState(CharacterAnimator::Idle);  // only the last request of a frame counts
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), 0);
    animator->SetState(CharacterAnimator::Unused);
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), 4);
}

TEST_F(CharacterAnimatorTest, AnUnknownStateShowsNothingNew) {
    animator->SetState(6);
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), kTileSprite);
    Mark();
    update.Invoke(1.0f);
    EXPECT_EQ(Shown(), -1);
}

TEST_F(CharacterAnimatorTest, WalkingShowsAFrameAtOnceThenAlternatesAfterEachQuarterSecond) {
    animator->SetState(CharacterAnimator::WalkRight);
    update.Invoke(0.0f);
    EXPECT_EQ(Shown(), 2) << "the first switch counts 1: the second walk frame";
    EXPECT_FALSE(Mirrored());
    update.Invoke(0.25f);
    EXPECT_EQ(Shown(), 2) << "a quarter second is not yet more than a quarter second";
    update.Invoke(0.001f);
    EXPECT_EQ(Shown(), 1);
    update.Invoke(0.2f);
    EXPECT_EQ(Shown(), 1);
    update.Invoke(0.06f);
    EXPECT_EQ(Shown(), 2);
}

TEST_F(CharacterAnimatorTest, WalkingLeftMirrorsOnlyTheWalkFrames) {
    animator->SetState(CharacterAnimator::WalkLeft);
    update.Invoke(0.0f);
    EXPECT_EQ(Shown(), 2);
    EXPECT_TRUE(Mirrored());
    update.Invoke(0.3f);
    EXPECT_EQ(Shown(), 1);
    EXPECT_TRUE(Mirrored());

    animator->SetState(CharacterAnimator::Idle);
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), 0);
    EXPECT_FALSE(Mirrored()) << "idle, jump and fall always face right";

    // A new walk goes on with the frame after the last one shown, unmirrored to the right.
    animator->SetState(CharacterAnimator::WalkRight);
    update.Invoke(0.0f);
    EXPECT_EQ(Shown(), 2);
    EXPECT_FALSE(Mirrored());
    EXPECT_FALSE(animator->sprites[1].getFlip().x);
    EXPECT_FALSE(animator->sprites[2].getFlip().x);
}

TEST(CharacterAnimator, MissingSpritesAreNotShown) {
    UpdateEvent update;
    auto character = std::make_shared<GameObject>();
    auto renderer = character->AddComponent<SpriteRenderer>();
    auto animator = character->AddComponent<CharacterAnimator>();
    animator->updateEvent = &update;
    animator->sprites.resize(2);
    animator->sprites[1].setOrderInBatch(1);
    character->ToggleActive();
    character->InitialiseSelf();
    animator->SetState(CharacterAnimator::Fall);
    update.Invoke(0.1f);
    EXPECT_EQ(renderer->GetSprite().getOrderInBatch(), 0);
    animator->SetState(CharacterAnimator::WalkLeft);
    update.Invoke(0.1f);
    update.Invoke(0.3f);
    EXPECT_EQ(renderer->GetSprite().getOrderInBatch(), 1) << "frame 2 is missing, frame 1 shows";
}

}  // namespace
