#pragma once

#include <memory>
#include <optional>

#include "game/Behaviour.hpp"
#include "game/PlayFeel.hpp"
#include "orka/Camera.hpp"

class GameObject;

/// Carries the level's camera and makes the view follow the player: its game object moves to the
/// target's position shifted right by `horizontalOffset` (one sixth of the window width, so the
/// player stands left of the centre) and the camera looks down -z from there. After every step it
/// goes where the step left the target; before every draw, where the target is drawn, so the
/// player keeps still in the view between steps. No smoothing and no clamping. Without a target
/// the camera keeps still.
///
/// A level may ask for a camera with `feel` instead: it stands `lead` units ahead of the
/// player in the direction it walks. The lead turns round only once the player has walked the
/// other way (its keys held, and moving that way against the ground it stands on, so a lift
/// turning under it does not count) for `turnAfter` seconds, and then swings over slowly, at
/// most `2 * lead` in `turnSeconds`: a short tap or a quick correction leaves the view where it
/// is. It rises only when the
/// player climbs more than `band` units above the view's centre, and goes down at once when
/// the player drops more than `band` below it; both moves ease in over `ease` seconds but the
/// fall. It is worked out once per step and drawn between its last two steps, as the player is.
/// A player put back somewhere else is followed at once.
class CameraComponent : public Behaviour {
public:
    explicit CameraComponent(GameObject* owner);
    ~CameraComponent() override;

    void InitialiseSelf() override {}
    void Initialise() override {}
    void Update(float deltaTime) override;
    /// Moves to the target as drawn `stepFraction` (0 to 1) of a step after the last step.
    void Follow(float stepFraction);

    /// Game units right of the target; read from the scene manager's window width once, when
    /// the component is made.
    float horizontalOffset;
    /// The camera the scene draws through.
    orka::Camera camera;
    /// The game object followed (the player), or empty.
    std::shared_ptr<GameObject> target;
    /// The level's way of following, or empty for the fixed offset.
    std::optional<CameraFeel> feel;
    /// Seconds of walking one way before the lead turns that way.
    static constexpr float turnAfter = 0.3f;
    /// Seconds the lead takes at least to swing from one side to the other.
    static constexpr float turnSeconds = 1.2f;

private:
    /// Where a `feel` camera stands relative to its target after a step.
    struct View {
        float lead = 0.0f;     ///< game units right of the target (left when negative)
        float centreY = 0.0f;  ///< game units
    };
    /// Moves the `feel` camera by one step of `deltaTime` seconds.
    void Track(float deltaTime);
    /// Turns `facing` once the target has walked one way long enough.
    void WatchWalking(float deltaTime);
    /// The way the target walks now: +1, -1 or 0.
    int WalkingDirection() const;

    /// Moves the camera's object and view to follow a target at `followed` (game units).
    void LookAt(glm::vec2 followed);
    /// Points the camera at `centre` (game units) and moves its object there.
    void Show(glm::vec2 centre);

    View view;
    View previousView;  // before the last step, for drawing between the two
    glm::vec2 lastTarget{0.0f, 0.0f};
    float facing = 1.0f;     // +1 right, -1 left
    int walking = 0;         // the way the target walked at the last step
    float walkedFor = 0.0f;  // seconds it has walked that way
    bool tracking = false;
};
