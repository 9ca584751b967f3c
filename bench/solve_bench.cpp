// solve_bench: how long the level checker's search takes on each level of a world, one level
// after the other on one core, with what it explored and what it found.
//
//   cd data && ../build/bench/solve_bench [world] [atlas] [budget seconds]
//
// Defaults: the default world "1level", its atlas "platformer-art-deluxe", 120 s a level.
// `levelcheck --solve` runs the same search, one level per core.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "levelpreview/HeadlessEngine.hpp"
#include "levelcheck/WorldChecker.hpp"
#include "levelcheck/WorldSolver.hpp"
#include "orka/SDLRenderer.hpp"

namespace {

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string world = argc > 1 ? argv[1] : "1level";
    const std::string atlasName = argc > 2 ? argv[2] : "platformer-art-deluxe";
    const double budget = argc > 3 ? std::atof(argv[3]) : 120.0;
    QuietEngineLog("solve_bench");
    try {
        const std::unique_ptr<orka::SDLRenderer> window = OpenHiddenWindow();
        WorldChecker checker(world);
        const auto atlas = checker.CheckAtlas(atlasName);
        checker.CheckLevels();
        if (!checker.GetProblems().empty()) {
            std::fprintf(stderr, "solve_bench: %s\n", checker.GetProblems()[0].ToString().c_str());
            return 1;
        }
        SceneManager manager{SceneManager::WithoutWindow{}};
        manager.spriteAtlas = atlas;
        Scene& scene = *manager.GetScene();
        std::printf("%-14s %6s %9s %9s %10s %7s %6s\n", "level", "found", "wall s", "cpu s",
                    "states", "frames", "keys");
        const auto& levels = checker.GetLevelFiles();
        for (std::size_t level = 0; level < levels.size(); ++level) {
            const double cpuStart = ProcessorSeconds();
            const LevelSearch::Result result =
                WorldSolver::SearchLevel(scene, world, level, budget);
            std::printf("%-14s %6s %9.1f %9.1f %10lld %7d %6d\n", levels[level].c_str(),
                        result.found ? "yes" : "no", result.seconds,
                        ProcessorSeconds() - cpuStart, static_cast<long long>(result.states),
                        result.plan.GetFrames(), result.plan.CountKeyEvents());
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "solve_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
