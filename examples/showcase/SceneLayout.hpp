#pragma once

#include <glm/glm.hpp>

/// Where everything of the showcase stands, in world units (y up, the floor at y = 0, the viewer
/// starting on the +z side). Kept in one place so that tests can find the objects on screen.
namespace showcase::layout {

// The three solid primitives stand in a row on the floor; the floor is a quad.
inline const glm::vec3 cubeCentre{-3.2f, 0.9f, 0.5f};
inline constexpr float cubeHalfEdge = 0.9f;
/// The cube starts turned about y so that two of its side faces look at the viewer.
inline constexpr float cubeStartYawDegrees = 45.0f;
inline const glm::vec3 sphereCentre{0.0f, 1.1f, 0.5f};
inline constexpr float sphereRadius = 1.1f;
inline const glm::vec3 torusCentre{3.2f, 1.3f, 0.5f};
inline constexpr float torusRingRadius = 0.85f;
inline constexpr float torusTubeRadius = 0.35f;
inline constexpr float floorHalfSize = 7.0f;

// Behind the row: the rippling surface, the particle fountain and the monitor.
inline const glm::vec3 waveCentre{-4.3f, 0.3f, -4.6f};
inline constexpr float waveHalfSize = 2.2f;
inline const glm::vec3 fountainBase{0.0f, 0.0f, -4.2f};
inline const glm::vec3 monitorCentre{3.9f, 2.3f, -4.6f};
inline constexpr float monitorHalfSize = 1.6f;

// The viewer orbits this point.
inline const glm::vec3 viewTarget{0.0f, 1.2f, -1.0f};
inline constexpr float viewDistance = 14.0f;
inline constexpr float viewStartAzimuthDegrees = 0.0f;
inline constexpr float viewStartElevationDegrees = 28.0f;
inline constexpr float viewFieldOfViewDegrees = 50.0f;
inline const glm::vec4 backgroundColor{0.02f, 0.02f, 0.035f, 1.0f};

// The monitor shows the row of primitives seen from above and in front.
inline const glm::vec3 monitorCameraEye{0.0f, 5.0f, 7.0f};
inline const glm::vec4 monitorClearColor{0.05f, 0.1f, 0.3f, 1.0f};

// Lights: a key light from the upper left front and two coloured point lights in front of the
// row, each nearer one end of it.
inline const glm::vec3 ambientLight{0.08f, 0.08f, 0.1f};
inline const glm::vec3 keyLightTowards{-0.6f, 1.0f, 0.5f};  ///< direction towards the light
inline const glm::vec3 keyLightColor{0.75f, 0.72f, 0.65f};
inline const glm::vec3 warmLightPosition{-2.0f, 2.0f, 2.6f};
inline const glm::vec3 warmLightColor{1.0f, 0.5f, 0.15f};
inline const glm::vec3 coolLightPosition{2.0f, 2.0f, 2.6f};
inline const glm::vec3 coolLightColor{0.15f, 0.55f, 1.0f};
inline constexpr float pointLightRange = 6.0f;

}  // namespace showcase::layout
