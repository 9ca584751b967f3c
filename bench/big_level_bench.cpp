// Big-level benchmark: a generated level of 10,000 tiles (static ground, 500 falling crates, one
// player walking right) loaded through the level builder and run frame by frame.
//
//   build/bench/big_level_bench [frames]
//
// writes the level and its tile files into a temporary folder, loads it with Scene::LoadLevel
// (level file, tile files, game objects, bodies, initialisation), then runs `frames` frames
// (default 600) of Scene::Update (one 1/60 s step) and Scene::Draw, each followed by the swap,
// into an 800 x 600 window with vsync off, then ends the level and times the Scene::Update that
// replaces it (by the same level again), and prints
//
//   big_level tiles=<n> load_ms=<x> update_median_ms=<a> update_p95_ms=<b>
//             draw_median_ms=<c> draw_p95_ms=<d> swap_median_ms=<e> change_ms=<f>
//
// (on one line). Draw is Scene::Draw alone (batch built and handed to the driver); swap is the
// rest of the frame, where a software rasteriser does its work; change is the frame of a level
// change (old level out of play, new one built). Run it under Xvfb when there is no display.
#include <SDL.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/SceneManager.hpp"
#include "orka/Renderer.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---- The level ----
constexpr int kColumns = 500;    // ground width in tiles
constexpr int kGroundRows = 19;  // 500 x 19 = 9,500 places, one left out
constexpr int kCrates = 500;     // in stacks of five, every other column
constexpr int kCratesPerStack = 5;
constexpr int kCrateRowGap = 3;  // crates start three rows apart and fall onto each other
constexpr int kFirstCrateColumn = 20;
constexpr int kPlayerColumn = 10;
constexpr int kTiles = kColumns * kGroundRows - 1 + kCrates + 1;
constexpr int kGround = 1, kCrate = 3, kPlayer = 5;  // tile types (and sprite numbers)
constexpr int kDefaultFrames = 600;
constexpr float kFrameTime = 1.0f / 60.0f;

std::string LevelJson() {
    std::ostringstream json;
    json << "{\"id\": 1, \"name\": \"Big\", \"deathLevelInY\": -1000, \"arrayOfTiles\": [[";
    const char* separator = "";
    auto entry = [&](int type, int column, int row) {
        json << separator << '[' << type << ", " << column << ", " << row << ']';
        separator = ", ";
    };
    for (int row = 0; row < kGroundRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (row == 0 && column == kColumns - 1) continue;  // 9,499 ground tiles
            entry(kGround, column, row - kGroundRows + 1);     // the top row is row 0
        }
    }
    for (int i = 0; i < kCrates; ++i) {
        const int column = kFirstCrateColumn + 2 * (i / kCratesPerStack);
        entry(kCrate, column, 2 + kCrateRowGap * (i % kCratesPerStack));
    }
    entry(kPlayer, kPlayerColumn, 2);
    json << "]]}";
    return json.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

/// The level "big1.json", its tile files and the meadow test world's atlas, in `folder`.
void WriteWorld(const fs::path& folder) {
    WriteFile(folder / "big1.json", LevelJson());
    WriteFile(folder / "tile1.json",
              R"({"id": 1, "name": "Ground", "sprite": 1, "physics": {"type": "static"}})");
    WriteFile(folder / "tile3.json", R"({"id": 3, "name": "Crate", "sprite": 3,
        "physics": {"type": "dynamic", "density": 1}})");
    WriteFile(folder / "tile5.json", R"({"id": 5, "name": "Player Character", "sprite": 10,
        "physics": {"type": "dynamic", "density": 2}, "characterController": true,
        "animation": [10, 11, 12, 13, 14, 15]})");
    for (const char* file : {"blocks.json", "blocks.png"}) {
        fs::copy_file(fs::path(ORKA_BENCH_ATLAS_DIR) / file, folder / file);
    }
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

/// The value below which `percent` of the samples lie (nearest rank).
double Percentile(std::vector<double> samples, double percent) {
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<size_t>(std::ceil(percent / 100.0 * samples.size()));
    return samples[std::max<size_t>(rank, 1) - 1];
}

void PressRight(Scene& scene) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_RIGHT;
    scene.keyInputEvent.Invoke(event);
}

struct Timings {
    double loadMs = 0.0;
    double changeMs = 0.0;
    std::vector<double> update, draw, swap;
    size_t tiles = 0;
};

Timings Run(int frames) {
    Timings timings;
    SceneManager manager{SceneManager::WithoutWindow{}};
    manager.spriteAtlas = orka::SpriteAtlas::create("blocks.json", "blocks.png", true);
    if (manager.spriteAtlas == nullptr) return timings;
    Scene& scene = *manager.GetScene();

    const Clock::time_point loadStart = Clock::now();
    scene.LoadLevel("big");
    timings.loadMs = Milliseconds(Clock::now() - loadStart);
    timings.tiles = scene.GetLevelData().objects.size();
    PressRight(scene);  // the player walks right all the time, the view with it

    for (int frame = 0; frame < frames; ++frame) {
        SDL_PumpEvents();
        const Clock::time_point start = Clock::now();
        scene.Update(kFrameTime);
        const Clock::time_point updated = Clock::now();
        scene.Draw();
        const Clock::time_point drawn = Clock::now();
        orka::Renderer::instance->swapWindow();
        const Clock::time_point swapped = Clock::now();
        timings.update.push_back(Milliseconds(updated - start));
        timings.draw.push_back(Milliseconds(drawn - updated));
        timings.swap.push_back(Milliseconds(swapped - drawn));
    }

    manager.LevelOver();
    const Clock::time_point changeStart = Clock::now();
    scene.Update(kFrameTime);
    timings.changeMs = Milliseconds(Clock::now() - changeStart);
    return timings;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : kDefaultFrames;
    if (argc > 2 || frames <= 0) {
        std::fprintf(stderr, "usage: %s [frames]\n", argv[0]);
        return 2;
    }
    std::string pattern = (fs::temp_directory_path() / "big-level-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path folder = pattern;
    WriteWorld(folder);
    fs::current_path(folder);  // the level builder opens files by relative name

    Timings timings;
    {
        orka::SDLRenderer window;
        window.setWindowSize({800, 600});
        window.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
        if (window.getSDLWindow() != nullptr) timings = Run(frames);
    }
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    if (timings.update.empty()) {
        std::fprintf(stderr, "no window or no atlas: nothing was run\n");
        return 1;
    }
    std::printf(
        "big_level tiles=%zu load_ms=%.1f update_median_ms=%.3f update_p95_ms=%.3f "
        "draw_median_ms=%.3f draw_p95_ms=%.3f swap_median_ms=%.3f change_ms=%.1f\n",
        timings.tiles, timings.loadMs, Percentile(timings.update, 50.0),
        Percentile(timings.update, 95.0), Percentile(timings.draw, 50.0),
        Percentile(timings.draw, 95.0), Percentile(timings.swap, 50.0), timings.changeMs);
    return timings.tiles == static_cast<size_t>(kTiles) ? 0 : 1;
}
