#pragma once

#include <box2d/box2d.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Keys held during one frame.
struct HeldKeys {
    bool left = false;
    bool right = false;
    bool jump = false;
};

// Plays a level file with the game's physics rules, without a window: the same Box2D world
// (gravity -98, 20 x 20 boxes on a 21-unit grid, friction 0.2, fixed rotation, steps of 1/60 s
// with 12 velocity and 4 position iterations), bodies created in file order, the character
// controller's impulses, speed cap and landing rule, the death line and the goal sensor. It
// lets the content tools prove that a level can be finished before the game itself runs.
class LevelSimulation {
public:
    static constexpr float gridSize = 21.0f;
    static constexpr float timeStep = 1.0f / 60.0f;
    static constexpr float gravity = -98.0f;
    static constexpr float moveImpulse = 10000.0f;
    static constexpr float jumpImpulse = 100000.0f;
    static constexpr float maxSpeed = 50.0f;

    // Reads levelFile and the tile files "tile<N>.json" from tileFolder. Throws
    // std::runtime_error naming the file when one is missing or malformed, or when the level
    // has no player or no goal.
    LevelSimulation(const std::string& levelFile, const std::string& tileFolder);
    ~LevelSimulation();
    LevelSimulation(const LevelSimulation&) = delete;
    LevelSimulation& operator=(const LevelSimulation&) = delete;

    // One frame: physics step, fallen bodies back to their start, then the controller with
    // the keys held in this frame.
    void step(const HeldKeys& keys);

    int frame() const { return frames; }
    bool finished() const { return goalReached; }
    bool grounded() const { return isGrounded; }
    int deaths() const { return playerDeaths; }
    b2Vec2 playerPosition() const;
    b2Vec2 playerVelocity() const;
    // True when a static, solid tile (not a sensor) occupies the grid cell.
    bool solidAt(int column, int row) const;

private:
    class Contacts;
    // What a tile type file says about the body of its tiles.
    struct TileKind {
        bool hasBody = false;
        bool isStatic = false;
        bool sensor = false;
        float density = 0.0f;
        bool player = false;
        bool goal = false;
    };
    struct Start {
        b2Body* body;
        b2Vec2 position;
    };

    static TileKind readTileKind(const std::string& path);
    void addTile(int type, int column, int row, const std::string& tileFolder);
    void onContact(b2Body* a, b2Body* b);
    void applyControls(const HeldKeys& keys);

    std::unique_ptr<Contacts> contacts;
    std::unique_ptr<b2World> world;
    std::vector<Start> movingBodies;
    std::set<std::pair<int, int>> solidCells;
    std::map<int, TileKind> tileKinds;  // by tile type, read once per simulation
    b2Body* player = nullptr;
    b2Body* goal = nullptr;
    float deathLine = 0.0f;
    int frames = 0;
    int playerDeaths = 0;
    bool isGrounded = false;
    bool goalReached = false;
};
