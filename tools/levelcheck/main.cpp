// levelcheck: plays level files with the game's physics and a simple autopilot, and tells
// whether and when each reaches its goal.
//
//   levelcheck [--script] <tile-folder> <level.json>...
//
// With --script it also prints the key events that finished each level, one per line:
// "<frame> <left|right|space> <down|up>", where frame n counts physics steps from the level's
// start and the event applies to the controller update of frame n. Exit code 1 when a level
// is not finished within two minutes of game time.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "levelcheck/Autopilot.hpp"
#include "levelcheck/LevelSimulation.hpp"

namespace {

constexpr int frameLimit = 60 * 120;
constexpr float framesPerSecond = 60.0f;

void printChanges(int frame, const HeldKeys& before, const HeldKeys& now) {
    auto report = [frame](bool was, bool is, const char* key) {
        if (was != is) std::cout << "  " << frame << " " << key << (is ? " down" : " up") << "\n";
    };
    report(before.left, now.left, "left");
    report(before.right, now.right, "right");
    report(before.jump, now.jump, "space");
}

bool check(const std::string& level, const std::string& tiles, bool script) {
    LevelSimulation simulation(level, tiles);
    Autopilot pilot;
    HeldKeys held;
    int jumps = 0;
    while (!simulation.finished() && simulation.frame() < frameLimit) {
        const HeldKeys keys = pilot.decide(simulation);
        const bool couldJump = simulation.grounded();
        if (script) printChanges(simulation.frame() + 1, held, keys);
        held = keys;
        simulation.step(keys);
        jumps += couldJump && keys.jump && !simulation.grounded() ? 1 : 0;
    }
    std::cout << level << ": ";
    if (!simulation.finished()) {
        std::cout << "goal not reached in " << frameLimit << " frames (player at "
                  << simulation.playerPosition().x << ", " << simulation.playerPosition().y << ")"
                  << std::endl;
        return false;
    }
    std::cout << "goal reached at frame " << simulation.frame() << " ("
              << simulation.frame() / framesPerSecond << " s), " << jumps << " jumps, "
              << simulation.deaths() << " falls" << std::endl;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool script = !args.empty() && args.front() == "--script";
    if (script) args.erase(args.begin());
    if (args.size() < 2) {
        std::cerr << "usage: levelcheck [--script] <tile-folder> <level.json>..." << std::endl;
        return 2;
    }
    bool allFinished = true;
    try {
        for (std::size_t i = 1; i < args.size(); ++i) {
            allFinished = check(args[i], args[0], script) && allFinished;
        }
    } catch (const std::exception& e) {
        std::cerr << "levelcheck: " << e.what() << std::endl;
        return 1;
    }
    return allFinished ? 0 : 1;
}
