// Sprite pipeline benchmark: N moving sprites from one atlas, batched and drawn every frame.
//
//   build/bench/sprite_bench N F [size] [--runs K] [--linear] [--samples S]
//
// draws F frames of N sprites of `size` x `size` pixels (default 42) into the 800 x 600 window
// with vsync off, after 30 untimed warm-up frames, and prints
//
//   orka_spritebatch N=<N> frames=<F> runs=<K> filter=<f> msaa=<m> ms_per_frame=<x>
//   ns_per_sprite_build=<y>
//       ns_per_sprite_build_best=<b> proc_cpu_ms_per_frame=<c> peak_rss_mb=<r> peak_vm_mb=<v>
//
// ms_per_frame is the wall time of a whole frame (move, build, draw, swap; the GPU is waited for
// after the last frame); ns_per_sprite_build is the CPU time of building the sprite batch alone,
// per sprite, as a mean over the frames and in the fastest frame (the peers' fill_limit_bench
// reports its best repeat; on a loaded machine the mean carries the waits).
// proc_cpu_ms_per_frame is the process's CPU time per frame, llvmpipe's threads included, as
// the peers report it: on a shared machine it moves less than wall time. peak_rss_mb and peak_vm_mb
// are the process's peak resident and virtual memory so far (VmHWM, VmPeak). With --runs K the
// sprites fall into K consecutive groups of rising draw order whose textures alternate between two
// copies of the atlas, so every batch has K texture runs (K draw calls) instead of one. The
// atlas is sampled nearest, as the peers' scene has it; --linear filters it (the engine's default
// for textures), which under llvmpipe costs fill time of its own. --samples S multisamples the
// window with S samples a pixel (msaa=xS; msaa=off without it).
// Without arguments it runs N = 1000, 10000 and 50000. Run it under Xvfb when there is no display.
#include <SDL.h>

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
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

std::shared_ptr<orka::SpriteAtlas> makeAtlas(const char* name, bool linear) {
    const std::vector<char> pixels = atlasPixels();
    auto texture = orka::Texture::create()
                       .withRGBAData(pixels.data(), scene::atlasSize, scene::atlasSize)
                       .withFilterSampling(linear)
                       .withName(name)
                       .build();
    std::istringstream json(atlasJson());
    return orka::SpriteAtlas::create(json, name, texture, false);
}

// Two atlases of the same image: the many-runs case alternates between them.
using Atlases = std::array<std::shared_ptr<orka::SpriteAtlas>, 2>;

// Sprite i joins group i * runs / count; groups draw in rising order, odd ones from the second
// atlas, so sorting cannot merge them and each group is one texture run.
std::vector<orka::Sprite> placeSprites(const Atlases& atlases, int count, int runs,
                                       float sizePixels) {
    const float scale = sizePixels / static_cast<float>(scene::spriteTexels);
    std::vector<orka::Sprite> sprites;
    sprites.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        const int group = static_cast<int>(static_cast<long long>(i) * runs / count);
        const orka::SpriteAtlas& atlas = *atlases[static_cast<size_t>(group % 2)];
        orka::Sprite sprite = atlas.get(std::to_string(i % scene::spriteCount));
        sprite.setPosition(scene::startPosition(i));
        sprite.setScale({scale, scale});
        sprite.setOrderInBatch(group);
        sprites.push_back(sprite);
    }
    return sprites;
}

// A "VmHWM:" or "VmPeak:" line of /proc/self/status in MiB; -1 when it cannot be read.
double procStatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, std::strlen(field), field) != 0) continue;
        return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
    }
    return -1.0;
}

// CPU time of the whole process so far, in milliseconds.
double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

struct Result {
    double msPerFrame;
    double cpuMsPerFrame;
    double nsPerSpriteBuild;
    double nsPerSpriteBuildBest;
};

constexpr int warmUpFrames = 30;

Result run(const Atlases& atlases, int count, int runs, int frames, float sizePixels) {
    using Clock = std::chrono::steady_clock;
    std::vector<orka::Sprite> sprites = placeSprites(atlases, count, runs, sizePixels);
    orka::Camera camera;
    camera.setWindowCoordinates();
    std::chrono::nanoseconds buildTime{0};
    std::chrono::nanoseconds bestBuild = std::chrono::nanoseconds::max();
    Clock::time_point start = Clock::now();
    double startCpuMs = 0.0;
    for (int frame = -warmUpFrames; frame < frames; frame++) {
        if (frame == 0) {
            buildTime = std::chrono::nanoseconds{0};
            start = Clock::now();
            startCpuMs = processCpuMs();
        }
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
        const std::chrono::nanoseconds thisBuild = Clock::now() - buildStart;
        buildTime += thisBuild;
        if (frame >= 0) bestBuild = std::min(bestBuild, thisBuild);
        {
            orka::RenderPass pass =
                orka::RenderPass::create().withCamera(camera).withGUI(false).build();
            pass.draw(batch);
        }
        orka::Renderer::instance->swapWindow();
    }
    glFinish();
    const std::chrono::duration<double, std::milli> total = Clock::now() - start;
    return {total.count() / frames, (processCpuMs() - startCpuMs) / frames,
            static_cast<double>(buildTime.count()) / (static_cast<double>(frames) * count),
            static_cast<double>(bestBuild.count()) / count};
}

}  // namespace

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s [N F [size]] [--runs K] [--linear] [--samples S]\n", program);
    return 2;
}

int main(int argc, char** argv) {
    constexpr int defaultFrames = 100;
    std::vector<const char*> positional;
    int runs = 1;
    bool linear = false;
    int samples = 0;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--linear") == 0) {
            linear = true;
            continue;
        }
        const bool runsOption = std::strcmp(argv[i], "--runs") == 0;
        if (!runsOption && std::strcmp(argv[i], "--samples") != 0) {
            positional.push_back(argv[i]);
            continue;
        }
        if (++i == argc) return usage(argv[0]);
        (runsOption ? runs : samples) = std::atoi(argv[i]);
    }
    if (positional.size() == 1 || positional.size() > 3) return usage(argv[0]);
    std::vector<int> counts = {1000, 10000, 50000};
    int frames = defaultFrames;
    float sizePixels = scene::defaultSizePixels;
    if (positional.size() >= 2) {
        counts = {std::atoi(positional[0])};
        frames = std::atoi(positional[1]);
    }
    if (positional.size() == 3) sizePixels = static_cast<float>(std::atof(positional[2]));
    if (counts[0] <= 0 || frames <= 0 || sizePixels <= 0.0f || runs <= 0) {
        std::fprintf(stderr, "N, F, size and K must be positive\n");
        return 2;
    }

    orka::SDLRenderer window;
    window.setWindowSize({scene::windowWidth, scene::windowHeight});
    window.setMultisampling(samples);
    window.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (window.getSDLWindow() == nullptr) return 1;
    const std::string msaa =
        window.getMultisampling() > 0 ? "x" + std::to_string(window.getMultisampling()) : "off";
    const Atlases atlases = {makeAtlas("bench atlas", linear), makeAtlas("bench atlas 2", linear)};
    if (atlases[0] == nullptr || atlases[1] == nullptr) return 1;
    for (int count : counts) {
        const int batchRuns = std::min(runs, count);
        const Result result = run(atlases, count, batchRuns, frames, sizePixels);
        std::printf(
            "orka_spritebatch N=%d frames=%d runs=%d filter=%s msaa=%s ms_per_frame=%.3f "
            "ns_per_sprite_build=%.1f "
            "ns_per_sprite_build_best=%.1f proc_cpu_ms_per_frame=%.3f peak_rss_mb=%.1f "
            "peak_vm_mb=%.1f\n",
            count, frames, batchRuns, linear ? "linear" : "nearest", msaa.c_str(),
            result.msPerFrame, result.nsPerSpriteBuild, result.nsPerSpriteBuildBest,
            result.cpuMsPerFrame, procStatusMiB("VmHWM:"), procStatusMiB("VmPeak:"));
        std::fflush(stdout);
    }
    return 0;
}
