#pragma once

#include <memory>
#include <vector>

#include "game/Behaviour.hpp"
#include "orka/Sprite.hpp"

class GameObject;
class SpriteRenderer;

/// Shows the player character's animation on its sibling `SpriteRenderer` (found in
/// `InitialiseSelf`): the sprite of the requested state when the state changes, and while
/// walking the two walk frames in turn every `frameDuration` seconds, mirrored when walking
/// left.
///
/// States and the entry of `sprites` they show: 0 idle (0), 1 walk left (1 and 2, mirrored),
/// 2 walk right (1 and 2), 3 jump (3), 4 unused (4), 5 fall (5). A state whose sprite is
/// missing from `sprites` shows nothing new. With `faceLastWalk` the idle, jump and fall
/// sprites are mirrored too while the last walk was to the left.
class CharacterAnimator : public Behaviour {
public:
    enum State { Idle = 0, WalkLeft = 1, WalkRight = 2, Jump = 3, Unused = 4, Fall = 5 };

    explicit CharacterAnimator(GameObject* owner);
    ~CharacterAnimator() override;

    void InitialiseSelf() override;
    void Initialise() override {}
    /// Shows the sprite of a changed state, and advances the walk frames.
    void Update(float deltaTime) override;

    /// Requests `newState`; only a state different from the current one counts as a change.
    void SetState(int newState);
    int GetState() const { return state; }

    /// Time between the two walk frames, seconds.
    float frameDuration = 0.25f;
    /// Mirror the still pictures after a walk to the left; off, they always face right.
    bool faceLastWalk = false;
    /// The animation sprites in the order idle, walk 1, walk 2, jump, unused, fall; filled by
    /// the level builder.
    std::vector<orka::Sprite> sprites;

private:
    void Show(std::size_t index);
    void UpdateWalk(bool mirrored);
    void Mirror(std::size_t index, bool mirrored);

    std::shared_ptr<SpriteRenderer> spriteRenderer;
    int state = -1;  // no state yet: the first request is a change
    bool stateChanged = false;
    float timer = 0.0f;
    int walkFrameCounter = 0;
    bool walkedLeft = false;  // the last walk state was WalkLeft
};
