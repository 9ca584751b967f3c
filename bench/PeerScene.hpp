// What the benchmarks share with the peers' scenes (../shared/peers): the window, the warm-up,
// the background, the generator of start positions and the process's CPU clock.
#pragma once

#include <SDL.h>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/Color.hpp"
#include "orka/Image.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/SpriteBatch.hpp"

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

/// The blending space a benchmark's optional third argument asks for: "display" blends in the
/// display's values as the peers do; anything else (or nothing) in linear light.
inline orka::BlendingSpace blendingSpaceOf(int argc, char** argv) {
    const bool display = argc > 3 && std::strcmp(argv[3], "display") == 0;
    return display ? orka::BlendingSpace::Display : orka::BlendingSpace::Linear;
}

/// BENCH_ADDED_ORDER set: batches keep the added order (withAddedOrder) instead of grouping by
/// texture. With BENCH_DRAW_CALLS set, the last frame's draw calls go to the error stream.
inline bool addedOrder() {
    return std::getenv("BENCH_ADDED_ORDER") != nullptr;
}

/// The peers' background as the clear colour the engine takes in the renderer's space.
inline glm::vec4 clearColor() {
    return orka::Color::fromBytes(background[0], background[1], background[2], 255,
                                  orka::Renderer::instance->getBlendingSpace());
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

/// The peers' motion of every item in frame `shown` (counted from their first frame).
inline void move(std::vector<glm::vec2>& positions, int shown) {
    const float t = static_cast<float>(shown);
    for (size_t i = 0; i < positions.size(); i++) {
        const float phase = static_cast<float>(i);
        positions[i] += glm::vec2(std::sin(0.1f * t + phase), std::cos(0.13f * t + phase));
    }
}

/// Per-frame averages over the timed frames, in milliseconds.
struct Timing {
    double msPerFrame = 0.0;     ///< wall time of a whole frame, the GPU waited for at the end
    double cpuMsPerFrame = 0.0;  ///< the process's CPU time, llvmpipe's threads included
    double buildMs = 0.0;        ///< `buildFrame` alone
};

/// Draws `warmUpFrames` untimed frames, then `frames` timed ones: each moves `positions` as the
/// peers do, then builds a batch with `buildFrame(shown)` (frames counted from the first warm-up
/// frame) and draws it under `camera` into the window, cleared to the peers' background.
/// BENCH_SHOT=file.png saves the last frame. Needs the window's renderer.
inline Timing runFrames(int frames, const orka::Camera& camera, std::vector<glm::vec2>& positions,
                        const std::function<std::shared_ptr<orka::SpriteBatch>(int)>& buildFrame) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    double startCpuMs = 0.0;
    std::chrono::duration<double, std::milli> buildTime{0};
    for (int frame = -warmUpFrames; frame < frames; frame++) {
        if (frame == 0) {
            start = Clock::now();
            startCpuMs = processCpuMs();
            buildTime = {};
        }
        SDL_PumpEvents();
        move(positions, frame + warmUpFrames);
        const Clock::time_point buildStart = Clock::now();
        std::shared_ptr<orka::SpriteBatch> batch = buildFrame(frame + warmUpFrames);
        buildTime += Clock::now() - buildStart;
        {
            orka::RenderPass pass = orka::RenderPass::create()
                                        .withCamera(camera)
                                        .withClearColor(true, clearColor())
                                        .withGUI(false)
                                        .build();
            pass.draw(batch);
        }
        if (frame == frames - 1 && std::getenv("BENCH_DRAW_CALLS") != nullptr) {
            std::fprintf(stderr, "draw_calls=%zu\n", batch->getRuns().size());
        }
        const char* shot = std::getenv("BENCH_SHOT");
        if (frame == frames - 1 && shot != nullptr) {
            orka::Renderer::instance->captureWindow(
                [shot](const orka::Image& image) { (void)image.savePng(shot); });
        }
        orka::Renderer::instance->swapWindow();
    }
    glFinish();
    const std::chrono::duration<double, std::milli> total = Clock::now() - start;
    return {total.count() / frames, (processCpuMs() - startCpuMs) / frames,
            buildTime.count() / frames};
}

}  // namespace peer_scene
