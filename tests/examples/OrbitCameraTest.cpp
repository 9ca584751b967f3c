#include "showcase/OrbitCamera.hpp"

#include <gtest/gtest.h>

namespace showcase {
namespace {

constexpr float tolerance = 1e-3f;

SDL_Event key(Uint32 type, SDL_Keycode code) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = code;
    return event;
}

OrbitCamera camera() {
    return OrbitCamera({0.0f, 1.0f, 0.0f}, 10.0f, 0.0f, 30.0f, 50.0f);
}

TEST(OrbitCameraTest, ArrowKeysTurnTheViewOnlyWhileTheyAreHeld) {
    OrbitCamera orbit = camera();
    EXPECT_TRUE(orbit.handleKey(key(SDL_KEYDOWN, SDLK_RIGHT)));
    orbit.update(0.5f);
    EXPECT_NEAR(orbit.getAzimuth(), 0.5f * OrbitCamera::turnDegreesPerSecond, tolerance);
    // Turning right moves the eye from the +z side towards +x.
    EXPECT_GT(orbit.getEye().x, 0.0f);
    orbit.handleKey(key(SDL_KEYUP, SDLK_RIGHT));
    orbit.update(0.5f);
    EXPECT_NEAR(orbit.getAzimuth(), 0.5f * OrbitCamera::turnDegreesPerSecond, tolerance);

    orbit.handleKey(key(SDL_KEYDOWN, SDLK_LEFT));
    orbit.handleKey(key(SDL_KEYDOWN, SDLK_RIGHT));
    orbit.update(0.5f);  // opposite keys cancel
    EXPECT_NEAR(orbit.getAzimuth(), 0.5f * OrbitCamera::turnDegreesPerSecond, tolerance);

    EXPECT_FALSE(orbit.handleKey(key(SDL_KEYDOWN, SDLK_SPACE)));
    EXPECT_FALSE(orbit.handleKey(SDL_Event{SDL_MOUSEMOTION}));
}

TEST(OrbitCameraTest, ElevationStaysAboveTheFloorAndBelowTheZenith) {
    OrbitCamera orbit = camera();
    orbit.handleKey(key(SDL_KEYDOWN, SDLK_UP));
    orbit.update(5.0f);
    EXPECT_EQ(orbit.getElevation(), OrbitCamera::maxElevationDegrees);
    orbit.handleKey(key(SDL_KEYUP, SDLK_UP));
    orbit.handleKey(key(SDL_KEYDOWN, SDLK_DOWN));
    orbit.update(5.0f);
    EXPECT_EQ(orbit.getElevation(), OrbitCamera::minElevationDegrees);
    // Wherever it turns, the eye keeps its distance and the camera looks at the target.
    EXPECT_NEAR(glm::distance(orbit.getEye(), glm::vec3(0, 1, 0)), 10.0f, tolerance);
    const glm::vec4 target = orbit.getCamera().getViewTransform() * glm::vec4(0, 1, 0, 1);
    EXPECT_NEAR(target.x, 0.0f, tolerance);
    EXPECT_NEAR(target.y, 0.0f, tolerance);
    EXPECT_NEAR(target.z, -10.0f, tolerance);
}

}  // namespace
}  // namespace showcase
