#include "levelcheck/LevelSearch.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/PhysicsBody.hpp"
#include "game/Scene.hpp"
#include "game/TileGrid.hpp"
#include "levelcheck/InputScript.hpp"
#include "levelcheck/WorldPlayer.hpp"

namespace {

/// Any run of the search starts from the same pseudo-random sequence.
constexpr std::uint32_t kSeed = 20261207;

/// Moves played on from a replayed state before the next round picks another.
constexpr int kExploreMoves = 12;
/// A move lasts kShortestSpan + kSpanStep * n frames, n from 0 to kSpanSteps - 1.
constexpr int kShortestSpan = 4;
constexpr int kSpanStep = 2;
constexpr int kSpanSteps = 13;

/// Out of kChoiceScale moves: how many walk towards the goal, away from it (the rest stand);
/// how many tap Space at their start, how many hold it throughout.
constexpr std::uint32_t kChoiceScale = 20;
constexpr std::uint32_t kTowardsGoal = 14;
constexpr std::uint32_t kAwayFromGoal = 2;
constexpr std::uint32_t kJumpTaps = 5;
constexpr std::uint32_t kJumpHolds = 1;
/// A tap of Space lasts as long as a press is remembered before a landing (0.1 s).
constexpr int kTapFrames = 6;

/// An entry's score counts, in cells, the way still to go to the nearest goal (weighted a
/// little more, so that the search heads on rather than perfecting the way behind), and the way
/// gone so far as the cells walked in its frames: quick ways are explored first.
constexpr double kDistanceWeight = 1.2;
constexpr double kFramesPerCell = 20.0;
/// What picking an entry costs its score (cells): each pick of the entry itself,
/// and each pick of any entry in the same grid cell, so that the search spreads out from places
/// it has tried often.
constexpr double kEntryPickCost = 2.0;
constexpr double kCellPickCost = 1.0;

/// Speeds (units per second) below which the player counts as still along that axis.
constexpr float kStillSpeed = 5.0f;
/// Farther than this in one update (units) is no movement but a return to a start: Box2D moves
/// a body at most 2 units a step.
constexpr float kReturnDistance = 8.0f;

/// The simplification replays the plan at most this many times per span of the plan found,
/// so that its cost is bounded whatever the plan.
constexpr std::size_t kSimplifyReplaysPerSpan = 8;
/// Frames (half a second) that a plan with fewer key events may take longer than the plan it
/// simplifies: a script a person can read is worth that much.
constexpr int kSimplifySlack = 30;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int ToCell(float units) {
    return static_cast<int>(std::lround(units / static_cast<float>(tileGridSize)));
}

std::uint64_t PackCell(const LevelSearch::Cell& cell) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cell.column)) << 32) |
           static_cast<std::uint32_t>(cell.row);
}

/// FNV-1a over the 32-bit values mixed in.
class StateHash {
public:
    void Mix(std::int32_t value) {
        auto bits = static_cast<std::uint32_t>(value);
        for (int byte = 0; byte < 4; ++byte) {
            hash = (hash ^ (bits & 0xFFu)) * 1099511628211ull;
            bits >>= 8;
        }
    }
    std::uint64_t Get() const { return hash; }

private:
    std::uint64_t hash = 14695981039346656037ull;
};

int Direction(float speed) {
    if (speed > kStillSpeed) return 1;
    if (speed < -kStillSpeed) return -1;
    return 0;
}

struct NamedKey {
    KeySet key;
    SDL_Keycode code;
};
// The order in which `KeyPlan::ToScript` writes the events of one frame.
constexpr NamedKey kKeys[] = {{kRightKey, SDLK_RIGHT}, {kLeftKey, SDLK_LEFT}, {kSpaceKey, SDLK_SPACE}};

}  // namespace

LevelSearch::LevelSearch(Scene& scene, Restart restart)
    : scene(scene), restart(std::move(restart)), random(kSeed) {}

LevelSearch::~LevelSearch() = default;

LevelSearch::Result LevelSearch::Run(double budgetSeconds) {
    const auto start = std::chrono::steady_clock::now();
    StartLevel();
    nearest = PlayerCell();
    Remember(KeyPlan());
    Result result;
    while (SecondsSince(start) < budgetSeconds) {
        const std::size_t chosen = ChooseEntry();
        const KeyPlan plan = entries[chosen].plan;
        if (!Replay(plan)) continue;
        if (!Explore(plan)) continue;
        result.found = true;
        result.plan = Simplify(solution);
        PlayToGoal(result.plan, &result.spanStarts);
        break;
    }
    result.states = states;
    result.seconds = SecondsSince(start);
    result.nearest = nearest;
    result.reached = reachedInOrder;
    return result;
}

void LevelSearch::StartLevel() {
    restart();
    const LevelData& level = scene.GetLevelData();
    levelRoot = level.level.get();
    if (level.player == nullptr) throw std::runtime_error("the level has no player");
    playerBody = level.player->GetComponent<PhysicsBody>().get();
    controller = level.player->GetComponent<CharacterController>().get();
    if (playerBody == nullptr || playerBody->GetBody() == nullptr || controller == nullptr) {
        throw std::runtime_error("the level's player has no body or no controller");
    }
    const b2Vec2& position = playerBody->GetBody()->GetPosition();
    lastX = position.x;
    lastY = position.y;
    held = kNoKeys;
    if (goals.empty()) FindGoals();
}

void LevelSearch::FindGoals() {
    for (const auto& object : scene.GetLevelData().objects) {
        if (object->GetComponent<LevelOverOnHitByCharacter>() == nullptr) continue;
        const glm::vec2 position = object->GetTransform()->position;
        goals.push_back({ToCell(position.x), ToCell(position.y)});
    }
    if (goals.empty()) throw std::runtime_error("the level has no goal");
}

LevelSearch::Cell LevelSearch::PlayerCell() const {
    return {ToCell(lastX), ToCell(lastY)};
}

namespace {

/// Columns and rows apart.
int CellsApart(const LevelSearch::Cell& a, const LevelSearch::Cell& b) {
    return std::abs(a.column - b.column) + std::abs(a.row - b.row);
}

}  // namespace

const LevelSearch::Cell& LevelSearch::NearestGoal(const Cell& cell) const {
    const Cell* nearestGoal = &goals.front();
    for (const Cell& goal : goals) {
        if (CellsApart(goal, cell) < CellsApart(*nearestGoal, cell)) nearestGoal = &goal;
    }
    return *nearestGoal;
}

int LevelSearch::Distance(const Cell& cell) const {
    return CellsApart(NearestGoal(cell), cell);
}

// The player's cell and kind of motion, and the cells of every other body that can move.
std::uint64_t LevelSearch::StateKey() const {
    StateHash hash;
    const Cell cell = PlayerCell();
    const glm::vec2 velocity = playerBody->GetLinearVelocity();
    hash.Mix(cell.column);
    hash.Mix(cell.row);
    hash.Mix(controller->IsGrounded() ? 1 : 0);
    hash.Mix(Direction(velocity.x));
    hash.Mix(Direction(velocity.y));
    for (const b2Body* body = scene.GetWorld()->GetBodyList(); body != nullptr;
         body = body->GetNext()) {
        if (body->GetType() == b2_staticBody || body == playerBody->GetBody()) continue;
        hash.Mix(ToCell(body->GetPosition().x));
        hash.Mix(ToCell(body->GetPosition().y));
    }
    return hash.Get();
}

LevelSearch::Rank LevelSearch::RankOf(std::size_t index) const {
    const Entry& entry = entries[index];
    const auto picks = choicesAtCell.find(PackCell(entry.cell));
    const int cellPicks = picks == choicesAtCell.end() ? 0 : picks->second;
    const double score = kDistanceWeight * Distance(entry.cell) +
                         entry.plan.GetFrames() / kFramesPerCell +
                         kEntryPickCost * entry.timesChosen + kCellPickCost * cellPicks;
    return {score, entry.plan.GetFrames(), index};
}

void LevelSearch::Remember(const KeyPlan& plan) {
    const std::uint64_t key = StateKey();
    const auto known = entryOfState.find(key);
    if (known == entryOfState.end()) {
        const std::size_t index = entries.size();
        entries.push_back({plan, PlayerCell(), 0, {}});
        entryOfState.emplace(key, index);
        entries[index].queued = RankOf(index);
        queue.insert(entries[index].queued);
        return;
    }
    // A quicker way to a known state replaces the old one.
    Entry& entry = entries[known->second];
    if (plan.GetFrames() >= entry.plan.GetFrames()) return;
    queue.erase(entry.queued);
    entry.plan = plan;
    entry.queued = RankOf(known->second);
    queue.insert(entry.queued);
}

// Picks of other entries in the same cell raise an entry's score after it was queued: an entry
// whose queued rank is out of date goes back with its present one.
std::size_t LevelSearch::ChooseEntry() {
    for (;;) {
        const Rank top = *queue.begin();
        const std::size_t index = std::get<2>(top);
        Entry& entry = entries[index];
        queue.erase(queue.begin());
        entry.queued = RankOf(index);
        if (entry.queued != top) {
            queue.insert(entry.queued);
            continue;
        }
        ++entry.timesChosen;
        ++choicesAtCell[PackCell(entry.cell)];
        entry.queued = RankOf(index);
        queue.insert(entry.queued);
        return index;
    }
}

bool LevelSearch::Replay(const KeyPlan& plan) {
    StartLevel();
    for (const KeyPlan::Span& span : plan.GetSpans()) {
        PressKeys(span.keys);
        for (int frame = 0; frame < span.frames; ++frame) {
            if (PlayUpdate() != Step::Continue) return false;
        }
    }
    return true;
}

void LevelSearch::PressKeys(KeySet keys) {
    // As a replay of the plan's script sends them: releases first, then presses.
    for (const bool down : {false, true}) {
        for (const NamedKey& named : kKeys) {
            const bool wasDown = (held & named.key) != 0;
            const bool isDown = (keys & named.key) != 0;
            if (wasDown != isDown && isDown == down) InputScript::SendKey(scene, named.code, down);
        }
    }
    held = keys;
}

LevelSearch::Step LevelSearch::PlayUpdate() {
    scene.Update(Scene::timeStep);
    if (scene.GetLevelData().level.get() != levelRoot) return Step::Goal;
    const b2Vec2& position = playerBody->GetBody()->GetPosition();
    const bool returned = std::fabs(position.x - lastX) > kReturnDistance ||
                          std::fabs(position.y - lastY) > kReturnDistance;
    lastX = position.x;
    lastY = position.y;
    if (returned) return Step::Returned;
    const Cell cell = PlayerCell();
    if (reachedKeys.insert(PackCell(cell)).second) {
        reachedInOrder.push_back(cell);
        if (Distance(cell) < Distance(nearest)) nearest = cell;
    }
    return Step::Continue;
}

bool LevelSearch::Explore(KeyPlan plan) {
    for (int move = 0; move < kExploreMoves; ++move) {
        for (const KeyPlan::Span& span : ChooseMove()) {
            PressKeys(span.keys);
            for (int frame = 1; frame <= span.frames; ++frame) {
                const Step step = PlayUpdate();
                if (step == Step::Returned) return false;
                if (step == Step::Goal) {
                    plan.Hold(span.keys, frame);
                    solution = plan;
                    return true;
                }
            }
            plan.Hold(span.keys, span.frames);
        }
        ++states;
        Remember(plan);
    }
    return false;
}

// Mostly on towards the goal, now and then a jump: the kind of input a person gives, and so the
// kind of script a person reads easily.
std::vector<KeyPlan::Span> LevelSearch::ChooseMove() {
    const Cell cell = PlayerCell();
    const int goalColumn = NearestGoal(cell).column;
    int towards = goalColumn > cell.column ? 1 : (goalColumn < cell.column ? -1 : 0);
    const std::uint32_t walk = random() % kChoiceScale;
    const std::uint32_t jump = random() % kChoiceScale;
    const int frames = kShortestSpan + kSpanStep * static_cast<int>(random() % kSpanSteps);
    if (towards == 0) towards = random() % 2 == 0 ? 1 : -1;
    int direction = 0;
    if (walk < kTowardsGoal) {
        direction = towards;
    } else if (walk < kTowardsGoal + kAwayFromGoal) {
        direction = -towards;
    }
    const KeySet keys = direction > 0 ? kRightKey : (direction < 0 ? kLeftKey : kNoKeys);
    const auto withSpace = static_cast<KeySet>(keys | kSpaceKey);
    if (jump < kJumpTaps) {
        const int tap = std::min(kTapFrames, frames);
        return {{withSpace, tap}, {keys, frames - tap}};
    }
    if (jump < kJumpTaps + kJumpHolds) return {{withSpace, frames}};
    return {{keys, frames}};
}

int LevelSearch::PlayToGoal(const KeyPlan& plan, std::vector<Cell>* spanStarts) {
    StartLevel();
    int frame = 0;
    for (const KeyPlan::Span& span : plan.GetSpans()) {
        if (spanStarts != nullptr) spanStarts->push_back(PlayerCell());
        PressKeys(span.keys);
        for (int i = 0; i < span.frames; ++i) {
            ++frame;
            const Step step = PlayUpdate();
            if (step == Step::Goal) return frame;
            if (step == Step::Returned) return 0;
        }
    }
    return 0;
}

namespace {

/// Plans like `spans` with span `i` changed in one way: given the keys of the span before it,
/// without its jump, given the keys of the span after it, or left out; each has fewer key events
/// or fewer frames. In the order in which they most often work.
std::vector<std::vector<KeyPlan::Span>> Variants(const std::vector<KeyPlan::Span>& spans,
                                                 std::size_t i) {
    std::vector<std::vector<KeyPlan::Span>> variants;
    if (i > 0) {
        variants.push_back(spans);
        variants.back()[i].keys = spans[i - 1].keys;
    }
    if ((spans[i].keys & kSpaceKey) != 0) {
        variants.push_back(spans);
        variants.back()[i].keys = static_cast<KeySet>(spans[i].keys & ~kSpaceKey);
    }
    if (i + 1 < spans.size()) {
        variants.push_back(spans);
        variants.back()[i].keys = spans[i + 1].keys;
    }
    if (spans.size() > 1) {
        variants.push_back(spans);
        variants.back().erase(variants.back().begin() + static_cast<std::ptrdiff_t>(i));
    }
    return variants;
}

}  // namespace

// Random exploration leaves short detours, pauses and needless jumps; each is taken out when
// the goal is still reached. Each change makes the plan simpler: fewer key events (and at most
// kSimplifySlack frames longer), or as many and quicker; so the passes end.
KeyPlan LevelSearch::Simplify(KeyPlan plan) {
    std::size_t replaysLeft = kSimplifyReplaysPerSpan * plan.GetSpans().size();
    for (bool changed = true; changed && replaysLeft > 0;) {
        changed = false;
        for (std::size_t i = 0; i < plan.GetSpans().size() && replaysLeft > 0;) {
            std::optional<KeyPlan> simpler = SimplerAt(plan, i, replaysLeft);
            if (!simpler) {
                ++i;
                continue;
            }
            plan = std::move(*simpler);
            changed = true;
        }
    }
    return plan;
}

std::optional<KeyPlan> LevelSearch::SimplerAt(const KeyPlan& plan, std::size_t span,
                                              std::size_t& replaysLeft) {
    const int events = plan.CountKeyEvents();
    for (const auto& spans : Variants(plan.GetSpans(), span)) {
        if (replaysLeft == 0) break;
        --replaysLeft;
        KeyPlan variant = KeyPlan::FromSpans(spans);
        variant.Hold(variant.GetLastKeys(), kSimplifySlack);
        const int goalFrame = PlayToGoal(variant);
        if (goalFrame == 0) continue;
        KeyPlan candidate = variant.Truncated(goalFrame);
        // A replay gives up on a script some time after its last key.
        if (goalFrame - candidate.GetLastEventFrame() > WorldPlayer::framesAfterScript) continue;
        const int candidateEvents = candidate.CountKeyEvents();
        const bool fewerKeys = candidateEvents < events &&
                               candidate.GetFrames() <= plan.GetFrames() + kSimplifySlack;
        const bool quicker = candidateEvents <= events && candidate.GetFrames() < plan.GetFrames();
        if (fewerKeys || quicker) return candidate;
    }
    return std::nullopt;
}
