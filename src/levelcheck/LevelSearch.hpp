#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "levelcheck/KeyPlan.hpp"

class CharacterController;
class PhysicsBody;
class Scene;

/// Searches key input that takes the player of one level to its goal, by playing the level
/// through the game's own scene: every state it knows is one it reached by replaying a plan from
/// the level's start, so whatever it finds is what the game does.
///
/// The search keeps an archive of the places reached: one entry per grid cell of the player,
/// kind of motion (ground or air, rising or falling, moving left or right) and the cells of the
/// other moving bodies (crates, platforms), each with the shortest plan known to get there. Each
/// round it picks an entry (near the goal, rarely picked before), replays its plan from the start
/// and explores on from there with short spans of held keys (a deterministic pseudo-random
/// choice), adding the places found. A return to a start (a fall below the death line, or any
/// other jump of the player in one update) ends the exploration: such a plan is never kept.
///
/// The first plan found is then made shorter and simpler (fewer spans, fewer jumps) where that
/// still reaches the goal no later. The same level and budget give the same plan on every run.
class LevelSearch {
public:
    /// A grid cell: the tile at (column, row) is centred on (21 column, 21 row) game units.
    struct Cell {
        int column = 0;
        int row = 0;
        bool operator<(const Cell& other) const {
            return std::tie(column, row) < std::tie(other.column, other.row);
        }
        bool operator==(const Cell& other) const {
            return column == other.column && row == other.row;
        }
    };

    /// What a search found.
    struct Result {
        bool found = false;
        /// Reaches the goal in its last update (when found).
        KeyPlan plan;
        /// Where the player is as each span of `plan` begins.
        std::vector<Cell> spanStarts;
        /// The states the search explored (one per span of keys played from a known state).
        std::int64_t states = 0;
        /// Wall-clock time of the search, simplification included, seconds.
        double seconds = 0.0;
        /// The cell reached nearest to a goal (counting columns and rows apart).
        Cell nearest;
        /// Every cell the player's centre was in, in order.
        std::vector<Cell> reached;
    };

    /// Puts the scene back at the start of the level searched. Called before every replay.
    using Restart = std::function<void()>;

    /// `scene` must be the scene manager's scene (physics bodies read the death line through it)
    /// with the level to search loaded; both outlive the search.
    LevelSearch(Scene& scene, Restart restart);
    ~LevelSearch();
    LevelSearch(const LevelSearch&) = delete;
    LevelSearch& operator=(const LevelSearch&) = delete;

    /// Searches until a plan is found or `budgetSeconds` of wall-clock time have passed (the
    /// simplification of a plan found runs to its end). Throws std::runtime_error for a level
    /// without player or goal.
    Result Run(double budgetSeconds);

    /// Plays `plan` from the level's start; the update in which the goal was reached (counted
    /// from 1), or 0 when the plan ended without or returned the player to a start. With
    /// `spanStarts`, the player's cell as each span begins is added to it.
    int PlayToGoal(const KeyPlan& plan, std::vector<Cell>* spanStarts = nullptr);

private:
    /// (score, frames, entry index): the smallest is explored next.
    using Rank = std::tuple<double, int, std::size_t>;
    struct Entry {
        KeyPlan plan;
        Cell cell;
        int timesChosen = 0;
        /// The rank under which it is in the queue.
        Rank queued;
    };
    /// How one played update ended for the search.
    enum class Step { Continue, Goal, Returned };

    void StartLevel();
    void FindGoals();
    Cell PlayerCell() const;
    std::uint64_t StateKey() const;
    /// The goal nearest to `cell` (the first of those as near), and how far it is.
    const Cell& NearestGoal(const Cell& cell) const;
    int Distance(const Cell& cell) const;
    Rank RankOf(std::size_t entry) const;
    void Remember(const KeyPlan& plan);
    std::size_t ChooseEntry();
    /// Plays `plan` on the restarted level; false when it reached the goal or returned.
    bool Replay(const KeyPlan& plan);
    void PressKeys(KeySet keys);
    Step PlayUpdate();
    /// Explores on from the state just replayed by `plan`; true when the goal was reached (the
    /// plan that did it is in `solution`).
    bool Explore(KeyPlan plan);
    /// The spans of keys of the next move of an exploration.
    std::vector<KeyPlan::Span> ChooseMove();
    KeyPlan Simplify(KeyPlan plan);
    /// A simpler plan than `plan` with span `span` changed, when a variant reaches the goal;
    /// each variant tried costs one of `replaysLeft`.
    std::optional<KeyPlan> SimplerAt(const KeyPlan& plan, std::size_t span,
                                     std::size_t& replaysLeft);

    Scene& scene;
    Restart restart;
    std::vector<Cell> goals;
    /// The level's root object when it was started: another one means the level changed.
    const void* levelRoot = nullptr;
    PhysicsBody* playerBody = nullptr;
    CharacterController* controller = nullptr;
    float lastX = 0.0f;
    float lastY = 0.0f;
    KeySet held = kNoKeys;

    std::vector<Entry> entries;
    std::unordered_map<std::uint64_t, std::size_t> entryOfState;
    std::unordered_map<std::uint64_t, int> choicesAtCell;
    std::set<Rank> queue;
    std::unordered_set<std::uint64_t> reachedKeys;
    std::vector<Cell> reachedInOrder;
    Cell nearest;
    std::int64_t states = 0;
    KeyPlan solution;
    std::mt19937 random;
};
