#pragma once

#include <SDL.h>

#include <glm/glm.hpp>

#include "orka/Camera.hpp"

namespace showcase {

/// A perspective camera circling a target point. The arrow keys turn it while they are held:
/// left and right around the vertical axis, up and down over and under the target (the
/// elevation stays between minElevationDegrees and maxElevationDegrees). Angles in degrees.
class OrbitCamera {
public:
    static constexpr float turnDegreesPerSecond = 90.0f;
    static constexpr float minElevationDegrees = 5.0f;
    static constexpr float maxElevationDegrees = 85.0f;

    OrbitCamera(glm::vec3 target, float distance, float azimuthDegrees, float elevationDegrees,
                float fieldOfViewDegrees);

    /// Remembers which arrow keys are down; other events are ignored. True for an arrow key.
    bool handleKey(const SDL_Event& event);
    /// Turns by the held keys for `deltaTimeSec` seconds.
    void update(float deltaTimeSec);

    float getAzimuth() const { return azimuthDegrees; }
    float getElevation() const { return elevationDegrees; }
    /// The eye position in world units.
    glm::vec3 getEye() const;
    /// An engine camera looking from the eye at the target.
    orka::Camera getCamera() const;

private:
    struct HeldKeys {
        bool left = false;
        bool right = false;
        bool up = false;
        bool down = false;
    };

    glm::vec3 target;
    float distance;
    float azimuthDegrees;
    float elevationDegrees;
    float fieldOfViewDegrees;
    HeldKeys held;
};

}  // namespace showcase
