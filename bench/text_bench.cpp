// Text benchmark: the peers' text scene (../shared/peers, "text"), drawn with orka.
//
//   build/bench/text_bench N F [display]
//
// draws F frames of N strings ("Score 000123 | x=  12 y= 345", changing every frame) in DejaVu
// Sans at 16 pixels, white, moving over the 800 x 600 window with vsync off, after 30 untimed
// warm-up frames: every frame formats the strings, builds one sprite batch of all of them and
// draws it. Positions and motion follow the peers' scene (their y goes down from the window's
// top, the pixel camera's up from its bottom: the top of each text is at 600 - y). A third
// argument "display" blends in the display's values, as the peers do. Prints
//
//   orka_text N=<N> frames=<F> ms_per_frame=<x> proc_cpu_ms_per_frame=<c> build_ms=<b>
//
// ms_per_frame is the wall time of a whole frame (move, build, draw, swap; the GPU is waited for
// after the last frame); proc_cpu_ms_per_frame the process's CPU time per frame, llvmpipe's
// threads included, as the peers report it; build_ms the time to format the strings and build
// the batch. BENCH_SHOT=file.png saves the last frame; BENCH_FONT overrides the font file.
// Run it under Xvfb when there is no display.
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "PeerScene.hpp"
#include "orka/Camera.hpp"
#include "orka/Font.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Text.hpp"

namespace {

using peer_scene::windowHeight;
using peer_scene::windowWidth;

constexpr int itemSize = 30;  // positions leave room for an item of this size
constexpr int fontPixels = 16;
constexpr int charactersPerString = 24;  // as the peers count them; the text is a few more

// The frame's texts, formatted afresh and batched.
std::shared_ptr<orka::SpriteBatch> buildFrame(std::vector<orka::Text>& texts,
                                              const std::vector<glm::vec2>& positions, int frame) {
    const int count = static_cast<int>(positions.size());
    auto builder = orka::SpriteBatch::create().withAddedOrder(peer_scene::addedOrder());
    builder.reserve(static_cast<size_t>(count) * charactersPerString);
    char line[64];
    for (int i = 0; i < count; i++) {
        const glm::vec2& at = positions[static_cast<size_t>(i)];
        std::snprintf(line, sizeof line, "Score %06d | x=%4d y=%4d", (frame * 7 + i) % 1000000,
                      static_cast<int>(at.x), static_cast<int>(at.y));
        orka::Text& text = texts[static_cast<size_t>(i)];
        text.setString(line);
        text.setPosition({at.x, static_cast<float>(windowHeight) - at.y});
        builder.addText(text);
    }
    return builder.build();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
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
    const char* fontFile =
        std::getenv("BENCH_FONT") != nullptr ? std::getenv("BENCH_FONT") : ORKA_BENCH_FONT;
    const std::shared_ptr<orka::Font> font = orka::Font::load(fontFile, fontPixels);
    if (font == nullptr) return 1;
    orka::Camera camera;
    camera.setWindowCoordinates();
    std::vector<glm::vec2> positions = peer_scene::startPositions(count, itemSize);
    std::vector<orka::Text> texts(static_cast<size_t>(count), orka::Text(font, ""));
    const peer_scene::Timing timing = peer_scene::runFrames(
        frames, camera, positions, [&](int shown) { return buildFrame(texts, positions, shown); });
    std::printf("%s N=%d frames=%d ms_per_frame=%.3f proc_cpu_ms_per_frame=%.3f build_ms=%.3f\n",
                "orka_text", count, frames, timing.msPerFrame, timing.cpuMsPerFrame,
                timing.buildMs);
    return 0;
}
