// levelcheck: checks a world of the platformer before anyone plays it, with the game's own
// loading code, and prints every problem as "file: problem".
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "levelcheck/HeadlessEngine.hpp"
#include "levelcheck/WorldChecker.hpp"
#include "levelcheck/WorldPlayer.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

constexpr int kExitSound = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDefaultAtlas = "platformer-art-deluxe";

const char* const kUsage = R"(Usage: levelcheck [--play <script>] <world> [atlas]

Checks a world of the platformer before anyone plays it, with the game's own loading code.
Run it in the data folder, as the game:
  <world>   the level files' common name ("1level" for 1level1.json, 1level2.json, ...)
  [atlas]   the sprite atlas, without extension (default "platformer-art-deluxe": its .json
            and .png)

It reads every level the game would play: <world>1.json, then after the level whose "id" is n
the file <world><n+1>.json, until there is none (the game then starts again from the first).
With them it reads every tile-type file tile<N>.json they use, and the atlas. Each problem
found is printed on one line as "file: problem": a file that is missing, unreadable or not
valid JSON (with the position), a missing key, a key of the wrong JSON type, a tile entry with
fewer than three integers, a sprite number the atlas lacks, an animation with fewer than six
frames, a level without a player or without a goal, two tiles with a "physics" body on one grid
cell (tiles may be stacked on a cell, such as a decoration over the ground, as long as at most
one of them has a body).

The keys of a tile-type file: "id", "name", "sprite", "physics" ("type", "sensor",
"density"), "characterController" with "animation" (the player), "leveloverbox" (the goal),
and the behaviours, each a problem when wrongly typed or without the body it needs:
  "hazard": true       needs "physics"; touching it puts the player back at its return
                       point (the last checkpoint reached, or else the start), as falling
                       below the level's "deathLevelInY" does
  "checkpoint": true   needs a sensor body; its first touch makes it the return point;
                       "spriteReached": N is shown from then on
  "collectible": true  needs a sensor body; the player takes it by touching it
  "oneWay": true       needs a solid static body; stood on from above, passed through
                       from below and from the sides
  "moving": {"dx": <units>, "dy": <units>, "period": <seconds>}
                       needs "physics" (made kinematic); travels to (x + dx, y + dy) and
                       back in "period" seconds, more than 0, carrying what stands on it

Options:
  --play <script>  then play a sound world: replay the recorded input script on each level,
                   without showing a window, and tell whether the goal is reached, after how
                   many frames, how many collectibles were taken and how often the player was
                   put back (", collected C of T, R returns"). <script> is one script for
                   every level, or a folder of scripts named after the levels
                   (scripts/1level2.txt for 1level2.json). A goal not reached 1800 frames
                   (30 s) after the script's last key is a problem.
  --help           show this text

Exit code: 0 when the world is sound, 1 when a problem was found, 2 for wrong usage.
)";

struct Options {
    std::string world;
    std::string atlas = kDefaultAtlas;
    std::optional<std::string> script;
};

/// The options, or empty after a usage error (explained on standard error).
std::optional<Options> ParseArguments(const std::vector<std::string>& arguments) {
    Options options;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--play") {
            if (i + 1 == arguments.size()) {
                std::cerr << "levelcheck: --play needs a script file\n";
                return std::nullopt;
            }
            options.script = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            std::cerr << "levelcheck: unknown option " << argument << "\n";
            return std::nullopt;
        } else {
            names.push_back(argument);
        }
    }
    if (names.empty() || names.size() > 2 || names[0].empty()) {
        std::cerr << "levelcheck: give a world and, if you like, an atlas\n";
        return std::nullopt;
    }
    options.world = names[0];
    if (names.size() == 2) options.atlas = names[1];
    return options;
}

void PrintProblems(const std::vector<Problem>& problems) {
    for (const Problem& problem : problems) std::cout << problem.ToString() << "\n";
}

/// Replays the script on each level and prints one line per level; the levels not finished.
std::size_t PlayLevels(const Options& options, const WorldChecker& checker,
                       const std::shared_ptr<orka::SpriteAtlas>& atlas) {
    const WorldPlayer player(options.world, checker.GetLevelFiles());
    std::size_t unfinished = 0;
    for (const WorldPlayer::LevelPlay& play : player.Play(*options.script, atlas)) {
        std::cout << play.ToString() << "\n";
        if (!play.goalReached) ++unfinished;
    }
    return unfinished;
}

void PrintSummary(const Options& options, const WorldChecker& checker, std::size_t problems,
                  bool played) {
    std::cout << options.world << ": ";
    if (problems == 0) {
        std::cout << "sound (" << checker.GetLevelFiles().size() << " levels, "
                  << checker.GetTileTypeCount() << " tile types, atlas " << options.atlas << ")";
        if (played) std::cout << ", every level finished";
    } else {
        std::cout << problems << (problems == 1 ? " problem" : " problems");
        if (options.script && !played) std::cout << ", not played";
    }
    std::cout << "\n";
}

int Run(const Options& options) {
    // Engine messages outside the atlas check are not about the world.
    QuietEngineLog("levelcheck");
    // The atlas needs a GL context.
    const std::unique_ptr<orka::SDLRenderer> window = OpenHiddenWindow();
    WorldChecker checker(options.world);
    const std::shared_ptr<orka::SpriteAtlas> atlas = checker.CheckAtlas(options.atlas);
    checker.CheckLevels();
    PrintProblems(checker.GetProblems());
    std::size_t problems = checker.GetProblems().size();
    // A world with problems may not even build; it is played once it is sound.
    const bool play = options.script.has_value() && problems == 0;
    if (play) problems += PlayLevels(options, checker, atlas);
    PrintSummary(options, checker, problems, play);
    return problems == 0 ? kExitSound : kExitProblems;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument != "--help" && argument != "-h") continue;
        std::cout << kUsage;
        return kExitSound;
    }
    const std::optional<Options> options = ParseArguments(arguments);
    if (!options) {
        std::cerr << "Try 'levelcheck --help'.\n";
        return kExitUsage;
    }
    try {
        return Run(*options);
    } catch (const std::exception& error) {
        std::cerr << "levelcheck: " << error.what() << "\n";
        return kExitProblems;
    }
}
