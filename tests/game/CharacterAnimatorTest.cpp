#include "game/CharacterAnimator.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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

/// A walk, then a still state: which way the still picture faces, with and without
/// `faceLastWalk`.
struct FacingCase {
    bool faceLastWalk;
    std::vector<int> walks;  // walk states shown one after the other
    int stillState;
    bool mirrored;
};

class CharacterAnimatorFacing : public CharacterAnimatorTest,
                                public ::testing::WithParamInterface<FacingCase> {};

TEST_P(CharacterAnimatorFacing, StillPicturesFaceAsAsked) {
    const FacingCase& row = GetParam();
    animator->faceLastWalk = row.faceLastWalk;
    for (int walk : row.walks) {
        animator->SetState(walk);
        update.Invoke(0.0f);
    }
    animator->SetState(row.stillState);
    update.Invoke(0.01f);
    EXPECT_EQ(Shown(), row.stillState);
    EXPECT_EQ(Mirrored(), row.mirrored);
}

constexpr int kLeft = CharacterAnimator::WalkLeft;
constexpr int kRight = CharacterAnimator::WalkRight;

INSTANTIATE_TEST_SUITE_P(
    LastWalk, CharacterAnimatorFacing,
    ::testing::Values(FacingCase{false, {kLeft}, CharacterAnimator::Idle, false},
                      FacingCase{false, {kLeft}, CharacterAnimator::Jump, false},
                      FacingCase{true, {}, CharacterAnimator::Idle, false},
                      FacingCase{true, {kLeft}, CharacterAnimator::Idle, true},
                      FacingCase{true, {kLeft}, CharacterAnimator::Jump, true},
                      FacingCase{true, {kLeft}, CharacterAnimator::Fall, true},
                      FacingCase{true, {kLeft, kRight}, CharacterAnimator::Idle, false},
                      FacingCase{true, {kRight, kLeft}, CharacterAnimator::Fall, true},
                      FacingCase{true, {kRight}, CharacterAnimator::Jump, false}));

/// A fox that stopped facing left and then walks right faces right again when it stops.
TEST_F(CharacterAnimatorTest, AStillPictureTurnsBackAfterAWalkTheOtherWay) {
    animator->faceLastWalk = true;
    for (int state : {kLeft, int{CharacterAnimator::Idle}, kRight, int{CharacterAnimator::Idle}}) {
        animator->SetState(state);
        update.Invoke(0.01f);
    }
    EXPECT_EQ(Shown(), 0);
    EXPECT_FALSE(Mirrored());
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
