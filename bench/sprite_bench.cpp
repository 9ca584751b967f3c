// Sprite pipeline benchmark: N moving sprites from one atlas, batched and drawn every frame.
//
//   build/bench/sprite_bench N F [size]
//
// draws F frames of N sprites of `size` x `size` pixels (default 42) into the 800 x 600 window
// with vsync off, and prints
//
//   orka_spritebatch N=<N> frames=<F> ms_per_frame=<x> ns_per_sprite_build=<y>
//
// ms_per_frame is the wall time of a whole frame (move, build, draw, swap); ns_per_sprite_build
// is the CPU time of building the sprite batch alone, per sprite. Without arguments it runs
// N = 1000, 10000 and 50000. Run it under Xvfb when there is no display.
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Texture.hpp"

namespace {

// ---- The scene: everything another library needs to draw the same thing ----
namespace scene {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;
constexpr int atlasSize = 256;                         // RGBA texels, made in memory
constexpr int spriteTexels = 21;                       // each sprite is 21 x 21 texels
constexpr int cellsPerRow = atlasSize / spriteTexels;  // 12 x 12 = 144 sprites
constexpr int spriteCount = cellsPerRow * cellsPerRow;
constexpr float defaultSizePixels = 2.0f * spriteTexels;  // drawn at scale 2: 42 x 42

// Cell (column, row), counted from the top-left of the image, is one opaque colour.
unsigned char cellRed(int column) {
    return static_cast<unsigned char>(40 + 215 * column / 11);
}
unsigned char cellGreen(int row) {
    return static_cast<unsigned char>(40 + 215 * row / 11);
}
unsigned char cellBlue(int column, int row) {
    return static_cast<unsigned char>(255 - 100 * (column + row) / 22);
}

// Sprite i shows cell i mod 144 and starts at ((37 i) mod 800, (53 i) mod 600), anchored at
// its lower-left corner, in window pixels with the origin at the lower left.
glm::vec2 startPosition(int i) {
    return {static_cast<float>((37 * i) % windowWidth),
            static_cast<float>((53 * i) % windowHeight)};
}

// Every frame: x += sin(0.1 frame + i), y += cos(0.13 frame + i).
glm::vec2 motion(int frame, int i) {
    return {std::sin(0.1f * static_cast<float>(frame) + static_cast<float>(i)),
            std::cos(0.13f * static_cast<float>(frame) + static_cast<float>(i))};
}

}  // namespace scene

// Rows bottom-up, as OpenGL takes them.
std::vector<char> atlasPixels() {
    std::vector<char> pixels(static_cast<size_t>(scene::atlasSize) * scene::atlasSize * 4, 0);
    for (int y = 0; y < scene::atlasSize; y++) {
        const int rowFromTop = scene::atlasSize - 1 - y;
        for (int x = 0; x < scene::atlasSize; x++) {
            const int column = x / scene::spriteTexels;
            const int row = rowFromTop / scene::spriteTexels;
            if (column >= scene::cellsPerRow || row >= scene::cellsPerRow) continue;
            char* texel = &pixels[(static_cast<size_t>(y) * scene::atlasSize + x) * 4];
            texel[0] = static_cast<char>(scene::cellRed(column));
            texel[1] = static_cast<char>(scene::cellGreen(row));
            texel[2] = static_cast<char>(scene::cellBlue(column, row));
            texel[3] = static_cast<char>(255);
        }
    }
    return pixels;
}

std::string atlasJson() {
    std::ostringstream json;
    json << "{\"frames\": [";
    for (int cell = 0; cell < scene::spriteCount; cell++) {
        const int column = cell % scene::cellsPerRow;
        const int row = cell / scene::cellsPerRow;
        json << (cell == 0 ? "" : ",") << "{\"filename\": \"" << cell
             << "\", \"frame\": {\"x\": " << column * scene::spriteTexels
             << ", \"y\": " << row * scene::spriteTexels << ", \"w\": " << scene::spriteTexels
             << ", \"h\": " << scene::spriteTexels << "}, \"pivot\": {\"x\": 0, \"y\": 0}}";
    }
    json << "]}";
    return json.str();
}

std::shared_ptr<orka::SpriteAtlas> makeAtlas() {
    const std::vector<char> pixels = atlasPixels();
    auto texture = orka::Texture::create()
                       .withRGBAData(pixels.data(), scene::atlasSize, scene::atlasSize)
                       .withName("bench atlas")
                       .build();
    std::istringstream json(atlasJson());
    return orka::SpriteAtlas::create(json, "bench atlas", texture, false);
}

std::vector<orka::Sprite> placeSprites(const orka::SpriteAtlas& atlas, int count,
                                       float sizePixels) {
    const float scale = sizePixels / static_cast<float>(scene::spriteTexels);
    std::vector<orka::Sprite> sprites;
    sprites.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        orka::Sprite sprite = atlas.get(std::to_string(i % scene::spriteCount));
        sprite.setPosition(scene::startPosition(i));
        sprite.setScale({scale, scale});
        sprites.push_back(sprite);
    }
    return sprites;
}

struct Result {
    double msPerFrame;
    double nsPerSpriteBuild;
};

Result run(const orka::SpriteAtlas& atlas, int count, int frames, float sizePixels) {
    using Clock = std::chrono::steady_clock;
    std::vector<orka::Sprite> sprites = placeSprites(atlas, count, sizePixels);
    orka::Camera camera;
    camera.setWindowCoordinates();
    std::chrono::nanoseconds buildTime{0};
    const Clock::time_point start = Clock::now();
    for (int frame = 0; frame < frames; frame++) {
        SDL_PumpEvents();
        for (int i = 0; i < count; i++) {
            orka::Sprite& sprite = sprites[static_cast<size_t>(i)];
            sprite.setPosition(sprite.getPosition() + scene::motion(frame, i));
        }
        const Clock::time_point buildStart = Clock::now();
        auto builder = orka::SpriteBatch::create();
        builder.reserve(sprites.size());
        for (const orka::Sprite& sprite : sprites) builder.addSprite(sprite);
        std::shared_ptr<orka::SpriteBatch> batch = builder.build();
        buildTime += Clock::now() - buildStart;
        {
            orka::RenderPass pass =
                orka::RenderPass::create().withCamera(camera).withGUI(false).build();
            pass.draw(batch);
        }
        orka::Renderer::instance->swapWindow();
    }
    const std::chrono::duration<double, std::milli> total = Clock::now() - start;
    return {total.count() / frames,
            static_cast<double>(buildTime.count()) / (static_cast<double>(frames) * count)};
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int defaultFrames = 100;
    if (argc != 1 && argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s N F [size]\n", argv[0]);
        return 2;
    }
    std::vector<int> counts = {1000, 10000, 50000};
    int frames = defaultFrames;
    float sizePixels = scene::defaultSizePixels;
    if (argc >= 3) {
        counts = {std::atoi(argv[1])};
        frames = std::atoi(argv[2]);
    }
    if (argc == 4) sizePixels = static_cast<float>(std::atof(argv[3]));
    if (counts[0] <= 0 || frames <= 0 || sizePixels <= 0.0f) {
        std::fprintf(stderr, "N, F and size must be positive\n");
        return 2;
    }

    orka::SDLRenderer window;
    window.setWindowSize({scene::windowWidth, scene::windowHeight});
    window.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (window.getSDLWindow() == nullptr) return 1;
    const std::shared_ptr<orka::SpriteAtlas> atlas = makeAtlas();
    if (atlas == nullptr) return 1;
    for (int count : counts) {
        const Result result = run(*atlas, count, frames, sizePixels);
        std::printf("orka_spritebatch N=%d frames=%d ms_per_frame=%.3f ns_per_sprite_build=%.1f\n",
                    count, frames, result.msPerFrame, result.nsPerSpriteBuild);
        std::fflush(stdout);
    }
    return 0;
}
