#pragma once

#include <memory>

#include "game/Behaviour.hpp"
#include "orka/Camera.hpp"

class GameObject;

/// Carries the level's camera and makes the view follow the player: its game object moves to the
/// target's position shifted right by `horizontalOffset` (one sixth of the window width, so the
/// player stands left of the centre) and the camera looks down -z from there. After every step it
/// goes where the step left the target; before every draw, where the target is drawn, so the
/// player keeps still in the view between steps. No smoothing and no clamping. Without a target
/// the camera keeps still.
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

private:
    /// Moves the camera's object and view to follow a target at `followed` (game units).
    void LookAt(glm::vec2 followed);
};
