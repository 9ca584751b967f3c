// Shape benchmark: the peers' shape scene (../shared/peers, "shapes"), drawn with orka.
//
//   build/bench/shape_bench N F [display]
//
// draws F frames of N filled squares (10 to 30 pixels) and N/2 filled circles (radius 5 to 15,
// 32 sides) moving over the 800 x 600 window with vsync off, after 30 untimed warm-up frames:
// every frame builds one sprite batch of all the shapes and draws it. Positions, sizes, motion
// and colours follow the peers' scene; the colours (sRGB bytes there) are decoded to the linear
// tints the engine takes, rounded to bytes, or taken as they are with a third argument
// "display" (the display's blending space, as the peers blend). Prints
//
//   orka_shapes N=<N> frames=<F> ms_per_frame=<x> proc_cpu_ms_per_frame=<c> build_ms=<b>
//
// ms_per_frame is the wall time of a whole frame (move, build, draw, swap; the GPU is waited for
// after the last frame); proc_cpu_ms_per_frame the process's CPU time per frame, llvmpipe's
// threads included, as the peers report it; build_ms the time to build the batch alone.
// BENCH_SHOT=file.png saves the last frame. Run it under Xvfb when there is no display.
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "PeerScene.hpp"
#include "orka/Camera.hpp"
#include "orka/Color.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/Shape.hpp"
#include "orka/SpriteBatch.hpp"

namespace {

using peer_scene::linearOf;
using peer_scene::windowHeight;
using peer_scene::windowWidth;

constexpr int itemSize = 30;    // positions leave room for the largest square
constexpr int tileCount = 144;  // the peers' 12 x 12 atlas cells, which give the colours
constexpr int circleSides = 32;

// The sRGB byte as linear light, rounded to a byte so vertices stay 20 bytes.
float byteLinearOf(int srgbByte) {
    return std::round(linearOf(srgbByte) * 255.0f) / 255.0f;
}

glm::vec4 tileColor(int i, orka::BlendingSpace space) {
    const int t = i % tileCount;
    const int red = t * 37 % 256;
    const int green = t * 71 % 256;
    const int blue = t * 113 % 256;
    if (space == orka::BlendingSpace::Display) {
        return orka::Color::fromBytes(static_cast<std::uint8_t>(red),
                                      static_cast<std::uint8_t>(green),
                                      static_cast<std::uint8_t>(blue), 255, space);
    }
    return {byteLinearOf(red), byteLinearOf(green), byteLinearOf(blue), 1.0f};
}

std::shared_ptr<orka::SpriteBatch> buildFrame(const std::vector<glm::vec2>& positions) {
    const int count = static_cast<int>(positions.size());
    const orka::BlendingSpace space = orka::Renderer::instance->getBlendingSpace();
    auto builder = orka::SpriteBatch::create().withAddedOrder(peer_scene::addedOrder());
    builder.reserve(static_cast<size_t>(count + (count + 1) / 2));
    for (int i = 0; i < count; i++) {
        const glm::vec2& at = positions[static_cast<size_t>(i)];
        const glm::vec4 color = tileColor(i, space);
        const float side = static_cast<float>(10 + i % 21);
        builder.addShape(orka::Shape::rectangle(at, {side, side}).withColor(color));
        if (i % 2 != 0) continue;
        const float radius = static_cast<float>(5 + i % 11);
        const glm::vec2 centre = at + glm::vec2(itemSize / 2);
        builder.addShape(
            orka::Shape::circle(centre, radius).withSegments(circleSides).withColor(color));
    }
    return builder.build();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 100;
    if (count <= 0 || frames <= 0) {
        std::fprintf(stderr, "usage: %s N F [display]\n", argv[0]);
        return 2;
    }
    orka::SDLRenderer window;
    window.setBlendingSpace(peer_scene::blendingSpaceOf(argc, argv));
    window.setWindowSize({windowWidth, windowHeight});
    window.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (window.getSDLWindow() == nullptr) return 1;
    orka::Camera camera;
    camera.setWindowCoordinates();
    std::vector<glm::vec2> positions = peer_scene::startPositions(count, itemSize);
    const peer_scene::Timing timing = peer_scene::runFrames(
        frames, camera, positions, [&](int) { return buildFrame(positions); });
    std::printf("%s N=%d frames=%d ms_per_frame=%.3f proc_cpu_ms_per_frame=%.3f build_ms=%.3f\n",
                "orka_shapes", count, frames, timing.msPerFrame, timing.cpuMsPerFrame,
                timing.buildMs);
    return 0;
}
