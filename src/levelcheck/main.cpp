// levelcheck: checks a world of the platformer before anyone plays it, with the game's own
// loading code, and prints every problem as "file: problem".
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "levelcheck/FeelMeter.hpp"
#include "levelcheck/WorldChecker.hpp"
#include "levelcheck/WorldPlayer.hpp"
#include "levelcheck/WorldSolver.hpp"
#include "levelpreview/HeadlessEngine.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

constexpr int kExitSound = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDefaultAtlas = "platformer-art-deluxe";
constexpr double kDefaultBudgetSeconds = 120.0;

const char* const kUsage = R"(Usage: levelcheck [--play <script>] <world> [atlas]
       levelcheck --solve <folder> [--budget SECONDS] [--reach <png>] <world> [atlas]
       levelcheck --feel <world> [atlas]

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

The keys of a level file: "id", "name", "deathLevelInY", "arrayOfTiles" and, optionally,
"backdrop": [{"sprite": N, "parallax": p}, ...], layers drawn behind the tiles, the first
farthest back, each a sprite the atlas must have, repeated across the view and scrolled by p
(a number from 0, still, to 1, with the level) times the camera's movement.

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

How the game feels is the plain physics unless these optional keys say otherwise; each is a
problem when wrongly typed or out of its range:
  "physics": {..., "friction": f}
                       any tile: how much its surface grips, 0 to 10 (default 0.2)
  "walk": {"speed": s, "accelerate": t, "stop": t, "airAccelerate": t, "airStop": t}
                       the player: top speed s (more than 0, at most 600 units/s),
                       reached from rest in "accelerate" seconds and lost in "stop" seconds
                       on the ground (0 to 5; default 0.1 and 0.05), in the air in
                       "airAccelerate" and "airStop" (default: as on the ground)
  "jump": {"height": h, "airTime": t, "fallTime": f, "releasedHeight": r,
           "freshPress": true, "edgeGrace": g}
                       the player: a held jump rises h units (more than 0, at most 500) and
                       lands at its height after t seconds (more than 0, at most 5), the
                       whole flight; the way down takes f of them (more than 0, less than t;
                       default t / 2), each way under its own gravity, so f below t / 2
                       falls faster than it rose; it starts at 2 h / (t - f) units/s and
                       lands at 2 h / f, both at most 768 (the fastest the physics moves
                       the player); let go while rising, it rises r units more
                       (0 to h; default h); "freshPress" true: each jump needs a new press of
                       the key (one pressed up to 0.1 s before landing counts), holding it
                       jumps no more; after walking off an edge the air jump lasts g seconds
                       (0 to 1; default: until the next landing)
  "landOnFeet": true   the player: only standing on something lands it, so walls cannot
                       be climbed; walking off an edge still leaves one jump
  "faceLastWalk": true the player: the idle, jump and fall pictures face the way it last
                       walked (default: always right)
In a level file:
  "camera": {"lead": l, "band": b, "ease": t}
                       the view stands l units ahead of the player in the direction it
                       walks (0 to 200, default 60), rises only once the player climbs b
                       units above its centre and falls at once when it drops b below it
                       (0 to 150, default 40), easing in over t seconds (0 to 5, default 0.3)

Options:
  --play <script>  then play a sound world: replay the recorded input script on each level,
                   without showing a window, and tell whether the goal is reached, after how
                   many frames, how many collectibles were taken and how often the player was
                   put back (", collected C of T, R returns"). <script> is one script for
                   every level, or a folder of scripts named after the levels
                   (scripts/1level2.txt for 1level2.json). A goal not reached 1800 frames
                   (30 s) after the script's last key is a problem.
  --solve <folder> then find input that finishes each level of a sound world: a search
                   plays the level through the game's own scene and physics, pressing and
                   releasing Right, Left and Space, until the player reaches the goal. What
                   it finds is written as <folder>/<level>.txt (1level2.txt for 1level2.json,
                   the format --play reads; the folder is made when missing), replayed as
                   --play replays it, and the level counts as solved only when that replay
                   reaches the goal. One line per level, in play order:
                     1level2.json: solved: goal after 412 frames (out/1level2.txt), found in 3.2 s
                   or, when the budget ran out first, the cell the player got nearest to:
                     1level3.json: no way to the goal found in 120.0 s (12,345 states
                     searched; nearest: column 14, row 2)
                   A solved level with collectibles or returns ends with the tally of
                   --play (", collected C of T, R returns"); collectibles are not needed.
                   The levels are searched side by side, one per processor. The same world
                   and budget give the same scripts on every run.
  --budget SECONDS with --solve: the search time per level (default 120)
  --feel           then measure how the world's player moves, on a flat floor of the ground
                   under it in the first level: walking speed (the distance covered in a
                   second of game time) and stopping distance, the height and time of a
                   jump (held, tapped for 2 updates, running), how far a running jump
                   drifts once the arrow is let go at its top, and how high it climbs
                   jumping again and again against a wall of 12 tiles
  --reach <png>    with --solve: also draw each level, as levelpreview does, with the cells
                   the player reached tinted: <png stem>-<level>.png beside <png>
                   (reach-1level2.png for --reach reach.png)
  --help           show this text

Exit code: 0 when the world is sound (and, with --solve, every level was solved), 1 when a
problem was found, 2 for wrong usage.
)";

struct Options {
    std::string world;
    std::string atlas = kDefaultAtlas;
    std::optional<std::string> script;
    std::optional<std::string> solveFolder;
    std::optional<double> budgetSeconds;
    std::optional<std::string> reachPicture;
    bool feel = false;
};

/// A number of seconds above zero, or empty.
std::optional<double> ParseSeconds(const std::string& text) {
    double seconds = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (error != std::errc() || stop != end || !std::isfinite(seconds) || seconds <= 0.0) {
        return std::nullopt;
    }
    return seconds;
}

/// The value after option `arguments[i]`, or empty after saying that it is missing.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       const char* what) {
    if (i + 1 == arguments.size()) {
        std::cerr << "levelcheck: " << arguments[i] << " needs " << what << "\n";
        return std::nullopt;
    }
    return arguments[++i];
}

/// Options that only go together are checked once all are read; false after a usage error.
bool CheckCombination(const Options& options) {
    if (options.script && options.solveFolder) {
        std::cerr << "levelcheck: --play and --solve do not go together\n";
        return false;
    }
    if (options.feel && (options.script || options.solveFolder)) {
        std::cerr << "levelcheck: --feel goes alone, not with --play or --solve\n";
        return false;
    }
    if (!options.solveFolder && (options.budgetSeconds || options.reachPicture)) {
        std::cerr << "levelcheck: --budget and --reach go with --solve\n";
        return false;
    }
    return true;
}

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
        } else if (argument == "--feel") {
            options.feel = true;
        } else if (argument == "--solve") {
            options.solveFolder = OptionValue(arguments, i, "a folder for the scripts");
            if (!options.solveFolder) return std::nullopt;
        } else if (argument == "--reach") {
            options.reachPicture = OptionValue(arguments, i, "a picture file name");
            if (!options.reachPicture) return std::nullopt;
        } else if (argument == "--budget") {
            const std::optional<std::string> value =
                OptionValue(arguments, i, "a number of seconds");
            if (!value) return std::nullopt;
            options.budgetSeconds = ParseSeconds(*value);
            if (!options.budgetSeconds) {
                std::cerr << "levelcheck: --budget needs a number of seconds above 0, not \""
                          << *value << "\"\n";
                return std::nullopt;
            }
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
    if (!CheckCombination(options)) return std::nullopt;
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

/// Searches a way through each level and prints one line per level; the levels not solved.
std::size_t SolveLevels(const Options& options, const WorldChecker& checker,
                        const std::shared_ptr<orka::SpriteAtlas>& atlas) {
    WorldSolver::Settings settings;
    settings.folder = *options.solveFolder;
    settings.budgetSeconds = options.budgetSeconds.value_or(kDefaultBudgetSeconds);
    settings.reachPicture = options.reachPicture.value_or("");
    settings.atlasName = options.atlas;
    const WorldSolver solver(options.world, checker.GetLevelFiles(), settings);
    std::size_t unsolved = 0;
    solver.Solve(atlas, [&unsolved](const WorldSolver::LevelSolve& solve) {
        std::cout << solve.ToString() << std::endl;
        if (!solve.solved) ++unsolved;
    });
    return unsolved;
}

void PrintSummary(const Options& options, const WorldChecker& checker, std::size_t problems,
                  bool played) {
    const bool solving = options.solveFolder.has_value();
    std::cout << options.world << ": ";
    if (problems == 0) {
        std::cout << "sound (" << checker.GetLevelFiles().size() << " levels, "
                  << checker.GetTileTypeCount() << " tile types, atlas " << options.atlas << ")";
        if (played) std::cout << (solving ? ", every level solved" : ", every level finished");
    } else {
        std::cout << problems << (problems == 1 ? " problem" : " problems");
        if (options.script && !played) std::cout << ", not played";
        if (solving && !played) std::cout << ", not solved";
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
    const bool play = (options.script || options.solveFolder) && problems == 0;
    if (play && options.script) problems += PlayLevels(options, checker, atlas);
    if (play && options.solveFolder) problems += SolveLevels(options, checker, atlas);
    if (options.feel && problems == 0) {
        std::cout << FeelMeter::Measure(options.world, atlas).ToString(options.world);
    }
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
