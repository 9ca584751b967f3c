#include "showcase/OrbitCamera.hpp"

#include <algorithm>
#include <cmath>

namespace showcase {

namespace {

constexpr float nearPlane = 0.1f;
constexpr float farPlane = 100.0f;

// -1, 0 or +1 from a pair of opposite keys.
float axis(bool negative, bool positive) {
    return (positive ? 1.0f : 0.0f) - (negative ? 1.0f : 0.0f);
}

}  // namespace

OrbitCamera::OrbitCamera(glm::vec3 target, float distance, float azimuthDegrees,
                         float elevationDegrees, float fieldOfViewDegrees)
    : target(target),
      distance(distance),
      azimuthDegrees(azimuthDegrees),
      elevationDegrees(std::clamp(elevationDegrees, minElevationDegrees, maxElevationDegrees)),
      fieldOfViewDegrees(fieldOfViewDegrees) {}

bool OrbitCamera::handleKey(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
    const bool down = event.type == SDL_KEYDOWN;
    switch (event.key.keysym.sym) {
        case SDLK_LEFT:
            held.left = down;
            return true;
        case SDLK_RIGHT:
            held.right = down;
            return true;
        case SDLK_UP:
            held.up = down;
            return true;
        case SDLK_DOWN:
            held.down = down;
            return true;
        default:
            return false;
    }
}

void OrbitCamera::update(float deltaTimeSec) {
    const float turn = turnDegreesPerSecond * deltaTimeSec;
    // Right moves the eye to the right around the target, which turns the scene the other way.
    azimuthDegrees = std::fmod(azimuthDegrees + axis(held.left, held.right) * turn, 360.0f);
    elevationDegrees = std::clamp(elevationDegrees + axis(held.down, held.up) * turn,
                                  minElevationDegrees, maxElevationDegrees);
}

glm::vec3 OrbitCamera::getEye() const {
    const float azimuth = glm::radians(azimuthDegrees);
    const float elevation = glm::radians(elevationDegrees);
    const glm::vec3 offset(std::sin(azimuth) * std::cos(elevation), std::sin(elevation),
                           std::cos(azimuth) * std::cos(elevation));
    return target + distance * offset;
}

orka::Camera OrbitCamera::getCamera() const {
    orka::Camera camera;
    camera.setPerspectiveProjection(fieldOfViewDegrees, nearPlane, farPlane);
    camera.lookAt(getEye(), target);
    return camera;
}

}  // namespace showcase
