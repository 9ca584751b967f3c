// What the benchmarks share with the peers' scenes (../shared/peers): the window, the warm-up,
// the background, the generator of start positions and the process's CPU clock.
#pragma once

#include <glm/glm.hpp>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

namespace peer_scene {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;
constexpr int warmUpFrames = 30;
const std::uint8_t background[3] = {20, 20, 40};

/// An sRGB byte (0 to 255) as linear light, 0 to 1.
inline float linearOf(int srgbByte) {
    const float c = static_cast<float>(srgbByte) / 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

/// The peers' background as the linear clear colour the engine takes.
inline glm::vec4 clearColor() {
    return {linearOf(background[0]), linearOf(background[1]), linearOf(background[2]), 1.0f};
}

/// The peers' start positions: `count` points that leave room for an item `itemSize` pixels
/// wide and tall inside the window, y downwards as the peers count.
inline std::vector<glm::vec2> startPositions(int count, int itemSize) {
    std::uint32_t seed = 12345u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) * (1.0f / 16777216.0f);
    };
    std::vector<glm::vec2> positions(static_cast<size_t>(count));
    for (glm::vec2& at : positions) {
        at.x = next() * static_cast<float>(windowWidth - itemSize);
        at.y = next() * static_cast<float>(windowHeight - itemSize);
    }
    return positions;
}

/// CPU time of the whole process so far (llvmpipe's threads included), in milliseconds.
inline double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

}  // namespace peer_scene
