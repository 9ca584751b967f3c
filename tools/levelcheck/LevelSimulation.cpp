#include "LevelSimulation.hpp"

#include <rapidjson/document.h>

#include <cmath>
#include <stdexcept>

#include "common/TextFile.hpp"

namespace {

constexpr float halfBox = 10.0f;
constexpr float friction = 0.2f;
constexpr int velocityIterations = 12;
constexpr int positionIterations = 4;
constexpr float resetFallSpeed = -49.0f;

rapidjson::Document parseObject(const std::string& path) {
    rapidjson::Document document;
    document.Parse(TextFile::read(path).c_str());
    if (document.HasParseError() || !document.IsObject()) {
        throw std::runtime_error(path + " is not a JSON object");
    }
    return document;
}

}  // namespace

LevelSimulation::TileKind LevelSimulation::readTileKind(const std::string& path) {
    const rapidjson::Document tile = parseObject(path);
    TileKind kind;
    kind.player = tile.HasMember("characterController");
    kind.goal = tile.HasMember("leveloverbox");
    if (!tile.HasMember("physics")) return kind;
    const rapidjson::Value& physics = tile["physics"];
    if (!physics.IsObject() || !physics.HasMember("type") || !physics["type"].IsString()) {
        throw std::runtime_error(path + ": \"physics\" needs a \"type\" string");
    }
    kind.hasBody = true;
    kind.isStatic = std::string(physics["type"].GetString()) == "static";
    kind.sensor = physics.HasMember("sensor") && physics["sensor"].IsTrue();
    if (physics.HasMember("density") && physics["density"].IsInt()) {
        kind.density = static_cast<float>(physics["density"].GetInt());
    }
    return kind;
}

// Forwards Box2D's contact begins to the simulation.
class LevelSimulation::Contacts : public b2ContactListener {
public:
    explicit Contacts(LevelSimulation& owner) : owner(owner) {}
    void BeginContact(b2Contact* contact) override {
        owner.onContact(contact->GetFixtureA()->GetBody(), contact->GetFixtureB()->GetBody());
    }

private:
    LevelSimulation& owner;
};

LevelSimulation::LevelSimulation(const std::string& levelFile, const std::string& tileFolder)
    : contacts(std::make_unique<Contacts>(*this)),
      world(std::make_unique<b2World>(b2Vec2(0.0f, gravity))) {
    world->SetContactListener(contacts.get());
    const rapidjson::Document level = parseObject(levelFile);
    if (level.HasMember("deathLevelInY") && level["deathLevelInY"].IsNumber()) {
        deathLine = static_cast<float>(level["deathLevelInY"].GetDouble());
    }
    if (!level.HasMember("arrayOfTiles") || !level["arrayOfTiles"].IsArray()) {
        throw std::runtime_error(levelFile + " has no \"arrayOfTiles\" array");
    }
    for (const auto& row : level["arrayOfTiles"].GetArray()) {
        if (!row.IsArray()) throw std::runtime_error(levelFile + ": a row is not an array");
        for (const auto& e : row.GetArray()) {
            if (!e.IsArray() || e.Size() < 3 || !e[0].IsInt() || !e[1].IsInt() || !e[2].IsInt()) {
                throw std::runtime_error(levelFile + ": a tile entry is not [type, column, row]");
            }
            addTile(e[0].GetInt(), e[1].GetInt(), e[2].GetInt(), tileFolder);
        }
    }
    if (player == nullptr) throw std::runtime_error(levelFile + " has no player");
    if (goal == nullptr) throw std::runtime_error(levelFile + " has no goal");
}

LevelSimulation::~LevelSimulation() = default;

void LevelSimulation::addTile(int type, int column, int row, const std::string& tileFolder) {
    if (tileKinds.count(type) == 0) {
        tileKinds[type] = readTileKind(tileFolder + "/tile" + std::to_string(type) + ".json");
    }
    const TileKind& kind = tileKinds[type];
    if (!kind.hasBody) return;
    b2BodyDef def;
    def.type = kind.isStatic ? b2_staticBody : b2_dynamicBody;
    def.position.Set(column * gridSize, row * gridSize);
    b2Body* body = world->CreateBody(&def);
    body->SetFixedRotation(true);
    b2PolygonShape box;
    box.SetAsBox(halfBox, halfBox);
    b2FixtureDef fixture;
    fixture.shape = &box;
    fixture.friction = friction;
    fixture.isSensor = kind.sensor;
    fixture.density = kind.density;
    body->CreateFixture(&fixture);
    if (!kind.isStatic) movingBodies.push_back({body, body->GetPosition()});
    if (kind.isStatic && !kind.sensor) solidCells.insert({column, row});
    if (kind.player) player = body;
    if (kind.goal) goal = body;
}

void LevelSimulation::onContact(b2Body* a, b2Body* b) {
    if (a == b) return;
    for (auto [self, other] : {std::pair{a, b}, std::pair{b, a}}) {
        if (self != player) continue;
        if (other == goal) goalReached = true;
        // Landing: anything whose centre is lower than the player's counts as ground.
        if (self->GetPosition().y > other->GetPosition().y) isGrounded = true;
    }
}

void LevelSimulation::step(const HeldKeys& keys) {
    world->Step(timeStep, velocityIterations, positionIterations);
    ++frames;
    for (const Start& start : movingBodies) {
        if (start.body->GetPosition().y >= deathLine) continue;
        start.body->SetTransform(start.position, 0.0f);
        start.body->SetAwake(true);
        start.body->SetLinearVelocity(b2Vec2(0.0f, resetFallSpeed));
        if (start.body == player) ++playerDeaths;
    }
    applyControls(keys);
}

void LevelSimulation::applyControls(const HeldKeys& keys) {
    b2Vec2 impulse(0.0f, 0.0f);
    if (keys.right) {
        impulse.x = moveImpulse;
    } else if (keys.left) {
        impulse.x = -moveImpulse;
    }
    if (isGrounded && keys.jump) {
        impulse.y = jumpImpulse;
        isGrounded = false;
    }
    if (impulse.LengthSquared() == 0.0f) return;
    const b2Vec2 velocity = player->GetLinearVelocity();
    if (std::fabs(velocity.x) > maxSpeed) {
        player->SetLinearVelocity(b2Vec2(std::copysign(maxSpeed, velocity.x), velocity.y));
    }
    player->ApplyLinearImpulse(impulse, player->GetWorldCenter(), true);
}

b2Vec2 LevelSimulation::playerPosition() const {
    return player->GetPosition();
}

b2Vec2 LevelSimulation::playerVelocity() const {
    return player->GetLinearVelocity();
}

bool LevelSimulation::solidAt(int column, int row) const {
    return solidCells.count({column, row}) != 0;
}
