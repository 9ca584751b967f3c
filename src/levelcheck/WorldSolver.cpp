#include "levelcheck/WorldSolver.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "levelcheck/ForkedWorkers.hpp"
#include "levelcheck/ReachPicture.hpp"
#include "levelcheck/WorldPlayer.hpp"

namespace {

/// "12345" as "12,345".
std::string WithThousands(std::int64_t number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return (number < 0 ? "-" : "") + digits;
}

/// More cells or spans than a search could ever send: a count this large is a broken answer.
constexpr std::size_t kMaxCells = 100000000;

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

void MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && std::filesystem::is_directory(folder, error)) return;
    throw std::runtime_error(folder + ": cannot be made a folder for the scripts" +
                             (error ? ": " + error.message() : ""));
}

/// The level `level` of the world, as at its start: the first time (and after its goal moved
/// the scene on) loaded from the world's first level on, then read anew in a fresh world.
class LevelStart {
public:
    LevelStart(Scene& scene, std::string worldName, std::size_t level)
        : scene(scene), worldName(std::move(worldName)), level(level) {}

    void operator()() {
        if (root != nullptr && scene.GetLevelData().level.get() == root) {
            scene.ReloadLevel();
        } else {
            scene.LoadLevel(worldName);
            for (std::size_t i = 0; i < level; ++i) WorldPlayer::SkipLevel(scene);
        }
        root = scene.GetLevelData().level.get();
    }

private:
    Scene& scene;
    std::string worldName;
    std::size_t level;
    const GameObject* root = nullptr;
};

// A search's result travels from its process as text: a keyword and numbers per line.
void WriteCells(std::ostream& text, const char* keyword, const std::vector<LevelSearch::Cell>& cells) {
    text << "\n" << keyword << " " << cells.size();
    for (const LevelSearch::Cell& cell : cells) text << " " << cell.column << " " << cell.row;
}

std::string Serialise(const LevelSearch::Result& result) {
    std::ostringstream text;
    text.precision(17);
    text << "found " << result.found << "\nstates " << result.states << "\nseconds "
         << result.seconds << "\nnearest " << result.nearest.column << " "
         << result.nearest.row << "\nplan " << result.plan.GetSpans().size();
    for (const KeyPlan::Span& span : result.plan.GetSpans()) {
        text << " " << static_cast<int>(span.keys) << " " << span.frames;
    }
    WriteCells(text, "spanStarts", result.spanStarts);
    WriteCells(text, "reached", result.reached);
    return text.str();
}

void Expect(std::istream& text, const char* keyword) {
    std::string word;
    if (!(text >> word) || word != keyword) {
        throw std::runtime_error(std::string("a search sent no \"") + keyword + "\"");
    }
}

std::vector<LevelSearch::Cell> ReadCells(std::istream& text, const char* keyword) {
    Expect(text, keyword);
    std::size_t count = 0;
    text >> count;
    // Each cell takes at least four characters ("0 0 "): a larger count is no count.
    if (!text || count > kMaxCells) throw std::runtime_error("a search sent a broken answer");
    std::vector<LevelSearch::Cell> cells(count);
    for (LevelSearch::Cell& cell : cells) text >> cell.column >> cell.row;
    return cells;
}

LevelSearch::Result Deserialise(const std::string& answer) {
    std::istringstream text(answer);
    LevelSearch::Result result;
    Expect(text, "found");
    text >> result.found;
    Expect(text, "states");
    text >> result.states;
    Expect(text, "seconds");
    text >> result.seconds;
    Expect(text, "nearest");
    text >> result.nearest.column >> result.nearest.row;
    Expect(text, "plan");
    std::size_t count = 0;
    text >> count;
    if (!text || count > kMaxCells) throw std::runtime_error("a search sent a broken answer");
    std::vector<KeyPlan::Span> spans(count);
    for (KeyPlan::Span& span : spans) {
        int keys = 0;
        text >> keys >> span.frames;
        span.keys = static_cast<KeySet>(keys);
    }
    result.plan = KeyPlan::FromSpans(spans);
    result.spanStarts = ReadCells(text, "spanStarts");
    result.reached = ReadCells(text, "reached");
    if (!text) throw std::runtime_error("a search sent a broken answer");
    return result;
}

}  // namespace

std::string WorldSolver::LevelSolve::ToString() const {
    if (!error.empty()) return levelFile + ": not solved: " + error;
    if (solved) {
        // The same words as the tally of --play.
        const std::string tally =
            progress.collectibles == 0 && progress.returns == 0
                ? ""
                : ", collected " + std::to_string(progress.collected) + " of " +
                      std::to_string(progress.collectibles) + ", " +
                      std::to_string(progress.returns) + " returns";
        return levelFile + ": solved: goal after " + std::to_string(frames) + " frames (" +
               scriptFile + "), found in " + Seconds(seconds) + tally;
    }
    if (found) {
        return levelFile + ": the script found does not reach the goal when replayed (" +
               scriptFile + ")";
    }
    return levelFile + ": no way to the goal found in " + Seconds(seconds) + " (" +
           WithThousands(states) + " states searched; nearest: column " +
           std::to_string(nearest.column) + ", row " + std::to_string(nearest.row) + ")";
}

WorldSolver::WorldSolver(std::string worldName, std::vector<std::string> levelFiles,
                         Settings settings)
    : worldName(std::move(worldName)),
      levelFiles(std::move(levelFiles)),
      settings(std::move(settings)) {}

std::vector<WorldSolver::LevelSolve> WorldSolver::Solve(
    const std::shared_ptr<orka::SpriteAtlas>& atlas, const Report& report) const {
    MakeFolder(settings.folder);
    SceneManager manager{SceneManager::WithoutWindow{}};
    // The replays that judge the scripts play the world in this scene from its first level on,
    // as --play does; each search process works on its own copy of it.
    Scene& scene = WorldPlayer::StartWorld(manager, atlas, worldName);
    std::optional<ReachPicture> picture;
    if (!settings.reachPicture.empty()) picture.emplace(settings.atlasName);

    std::vector<std::optional<Searched>> searched(levelFiles.size());
    std::vector<LevelSolve> solves;
    const auto search = [&](std::size_t level) {
        return Serialise(SearchLevel(scene, worldName, level, settings.budgetSeconds));
    };
    const auto judgeInOrder = [&](std::size_t level, bool failed, const std::string& answer) {
        searched[level] = failed ? Searched{true, answer, {}} : Searched{false, {}, Deserialise(answer)};
        while (solves.size() < levelFiles.size() && searched[solves.size()]) {
            const std::size_t next = solves.size();
            solves.push_back(Judge(scene, next, *searched[next]));
            if (picture) DrawReach(*picture, solves.back(), searched[next]->result);
            if (report) report(solves.back());
        }
    };
    const int workers =
        settings.workers > 0 ? settings.workers : ForkedWorkers::ProcessorCount();
    ForkedWorkers(workers).Run(levelFiles.size(), search, judgeInOrder);
    return solves;
}

LevelSearch::Result WorldSolver::SearchLevel(Scene& scene, const std::string& worldName,
                                             std::size_t level, double budgetSeconds) {
    LevelSearch search(scene, LevelStart(scene, worldName, level));
    return search.Run(budgetSeconds);
}

WorldSolver::LevelSolve WorldSolver::Judge(Scene& scene, std::size_t level,
                                           const Searched& searched) const {
    LevelSolve solve;
    solve.levelFile = levelFiles[level];
    const LevelSearch::Result& result = searched.result;
    solve.found = result.found;
    solve.seconds = result.seconds;
    solve.states = result.states;
    solve.nearest = result.nearest;
    if (searched.failed) solve.error = searched.error;
    if (solve.found) {
        solve.scriptFile = WriteScript(solve.levelFile, result);
        const WorldPlayer::LevelPlay play =
            WorldPlayer::PlayLevel(scene, settings.folder, solve.levelFile);
        solve.solved = play.goalReached;
        solve.frames = play.frames;
        solve.error = play.error;
        solve.progress = play.progress;
    }
    // As --play goes on after a level it could not finish; past the last there is nothing.
    if (!solve.solved && level + 1 < levelFiles.size()) WorldPlayer::SkipLevel(scene);
    return solve;
}

std::string WorldSolver::WriteScript(const std::string& levelFile,
                                     const LevelSearch::Result& result) const {
    std::vector<std::string> notes;
    for (const LevelSearch::Cell& cell : result.spanStarts) {
        notes.push_back("column " + std::to_string(cell.column) + ", row " +
                        std::to_string(cell.row));
    }
    const KeyPlan& plan = result.plan;
    const std::string fileName = WorldPlayer::ScriptFor(settings.folder, levelFile);
    const std::string temporary = fileName + ".part";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << plan.ToScript("# " + levelFile + ": found by levelcheck --solve; after each key, " +
                                  "where the player is\n", notes);
        if (!file.flush()) throw std::runtime_error(temporary + ": cannot be written");
    }
    std::filesystem::rename(temporary, fileName);
    return fileName;
}

void WorldSolver::DrawReach(const ReachPicture& picture, const LevelSolve& solve,
                            const LevelSearch::Result& result) const {
    std::optional<LevelSearch::Cell> nearest;
    if (!solve.solved && !result.reached.empty()) nearest = result.nearest;
    picture.Write(solve.levelFile, result.reached, nearest,
                  ReachPicture::FileFor(settings.reachPicture, solve.levelFile));
}
