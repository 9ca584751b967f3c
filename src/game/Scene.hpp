#pragma once

#include <box2d/box2d.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/Box2DDebugDraw.hpp"
#include "game/LevelClock.hpp"
#include "game/LevelManager.hpp"
#include "game/PlayerInput.hpp"
#include "game/SceneEvents.hpp"
#include "orka/FixedStepClock.hpp"

/// The running game world: one Box2D world, the level in play and the events through which the
/// components take part in a frame. It is the world's contact listener and passes the begin and
/// end of every contact to the two physics bodies involved.
///
/// Driven once per frame by `Update` and `Draw` (by the scene manager, or by hand in a test);
/// the character reads the keyboard and controllers from `GetControls` (the window's input in
/// the game); a scene driven by hand gets its key events through `keyInputEvent`. Main thread
/// only.
class Scene : public b2ContactListener {
public:
    /// Gravity, units per second squared (y points up).
    static constexpr float gravityY = -98.0f;
    /// Game time of one fixed step: `Update` runs as many of these as the frame's time is due.
    static constexpr float timeStep = 1.0f / 60.0f;
    /// Most steps one `Update` runs; the rest of a longer frame is dropped, so a stall does not
    /// come back as a burst of catching up.
    static constexpr int maxStepsPerUpdate = 5;
    static constexpr int velocityIterations = 12;
    static constexpr int positionIterations = 4;

    Scene();
    ~Scene() override;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    /// Creates a fresh physics world and loads the first level of `worldName` ("<world>1.json"),
    /// replacing whatever was loaded. Throws when the level cannot be built.
    void LoadLevel(std::string worldName);
    /// Starts the level in play afresh from its files, read again, in a new physics world; or,
    /// when the level after a finished one could not be loaded, tries that one again. Throws
    /// when a file cannot be read or built; the running level then plays on unchanged.
    void ReloadLevel();
    /// One frame of `deltaTime` seconds: adds it to the time not yet simulated and runs the steps
    /// that are due (at most `maxStepsPerUpdate`), each a physics step of `timeStep`, the
    /// physics-step event and the update event with `timeStep`. When the level was finished, the
    /// next level replaces it after the step that finished it and starts on a fresh clock, in a
    /// new physics world, so that it plays the same whatever was played before. When the next
    /// level cannot be loaded, the finished one starts again instead, `levelLoadFailed` hears
    /// why, and the next `ReloadLevel` or goal tries the next level again. At exactly
    /// `timeStep` per call every call runs one step. Each step is split into the level's
    /// `physicsSubsteps` steps of Box2D.
    void Update(float deltaTime);
    /// One frame of drawing through the level's camera: the level's backdrop, then every active
    /// sprite renderer's sprite in one sprite batch (moving objects, and the camera following
    /// the player, between their last two steps by `GetStepFraction`), and the physics shapes as
    /// white lines when the application's debug switch is on. Needs the renderer (GL context).
    void Draw();
    /// Marks the level as finished; it is replaced at the end of the running (or next) `Update`.
    void SetLevelOver();
    /// How far the game is past its last fixed step, as a fraction of a step (0 to 1): the time
    /// `Update` left unsimulated. `Draw` shows moving objects that far from their place before
    /// that step towards their place after it.
    float GetStepFraction() const;
    /// While paused, `Update` runs no step and keeps none of the frame time for later: no game
    /// time passes. `Draw` goes on showing the level as it stands.
    void SetPaused(bool paused) { this->paused = paused; }
    bool IsPaused() const { return paused; }
    /// The height below which a dynamic or kinematic body counts as fallen (game units).
    float GetDeathLevelInY() const;

    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    /// A one-way platform holds only bodies that come down onto it from above; every other
    /// contact with it is left out of the step. A character touching a mostly vertical surface
    /// (a wall, the side of a block) slides along it without friction, so pushing against a
    /// wall does not hold it up; other contacts keep the friction of their fixtures.
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
    void PostSolve(b2Contact*, const b2ContactImpulse*) override {}

    /// Told why the level after a finished one could not be loaded (the file's problem). Empty
    /// by default: the problem is only logged.
    std::function<void(const std::string& problem)> levelLoadFailed;

    /// Issued by `Draw` into the frame's GUI frame, when there is one, over the level: Dear ImGui
    /// windows of the application. Empty by default.
    std::function<void()> drawGui;

    /// The files whose saving calls for a reload: see `LevelManager::FilesInUse`.
    std::vector<std::string> GetLevelFiles() const { return levelManager.FilesInUse(); }
    /// The level in play (for the scene manager and for inspection).
    const LevelData& GetLevelData() const { return levelManager.GetLevelData(); }
    /// The physics world shared with every physics body; null before `LoadLevel`.
    b2World* GetWorld() const { return world.get(); }
    bool IsLevelRunning() const { return levelRunning; }
    /// How many levels were started so far (loads, the next level, restarts and reloads).
    int GetLevelStarts() const { return levelStarts; }
    /// Game time of the level in play: its steps so far; 0 again at each level start and reload.
    const LevelClock& GetLevelClock() const { return levelClock; }
    /// The keyboard and controllers the level's character reads.
    ///@{
    PlayerControls& GetControls() { return controls; }
    const PlayerControls& GetControls() const { return controls; }
    ///@}

    UpdateEvent updateEvent;
    SpriteDrawEvent spriteDrawEvent;
    PhysicsStepEvent physicsStepEvent;
    KeyInputEvent keyInputEvent;

private:
    /// This scene's events and world, with the scene manager's atlas, for building a level.
    LevelContext MakeLevelContext();
    void InitialiseLevel();
    /// Runs `load` with a context holding a new, empty physics world; when it worked, that world
    /// replaces the present one and the loaded level starts on a fresh clock. Throws what
    /// `load` throws, with nothing changed.
    void LoadInFreshWorld(const std::function<void(const LevelContext&)>& load);
    /// After the goal: the next level, or else the finished one again.
    void AdvanceLevel();
    /// The level in play runs from now on a fresh clock, counted as a level start.
    void StartAfresh();
    void RouteContact(b2Contact* contact, bool exit);
    void Step();
    void RunSteps(float deltaTime);
    /// The controls hear the drivers' key events.
    void ListenToKeys();

    PlayerControls controls;  // before the level, whose character reads it
    LevelManager levelManager;
    LevelClock levelClock{timeStep};
    std::shared_ptr<b2World> world;
    Box2DDebugDraw debugDraw{1.0f};
    bool levelRunning = true;
    bool debugDrawEnabled = true;
    bool paused = false;
    /// The level after the finished one could not be loaded; the one in play is the finished one.
    bool nextLevelFailed = false;
    int levelStarts = 0;
    /// Frame time given to `Update` turned into fixed steps.
    orka::FixedStepClock stepClock{timeStep, maxStepsPerUpdate};
};
