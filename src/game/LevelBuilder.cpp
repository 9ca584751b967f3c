#include "game/LevelBuilder.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "game/CameraComponent.hpp"
#include "game/CharacterAnimator.hpp"
#include "game/CharacterController.hpp"
#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/Logger.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"
#include "game/SpriteRenderer.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

using rapidjson::Value;

constexpr const char* kCameraName = "Main Camera";
constexpr float kCameraStartX = 231.5f;
constexpr float kCameraStartY = 300.0f;
constexpr float kCameraOrthographicSize = 150.0f;  // half the visible height, game units
constexpr float kCameraNearPlane = -1.0f;
constexpr float kCameraFarPlane = 1.0f;

// Every physics tile is a 20 x 20 box, one unit smaller than the grid so neighbours do not touch.
constexpr float kBoxHalfSize = 10.0f;
constexpr float kFriction = 0.2f;
constexpr float kRestitution = 0.0f;
constexpr uint16 kCollisionCategory = 0x0001;
constexpr uint16 kCollisionMask = 0xFFFF;
constexpr int16 kCollisionGroup = 0;

constexpr rapidjson::SizeType kTileEntrySize = 3;  // [tile type, column, row]
// idle, walk 1, walk 2, jump, (never shown), fall
constexpr rapidjson::SizeType kAnimationFrames = 6;

std::string Quote(const std::string& key) {
    return "\"" + key + "\"";
}

/// A JSON file parsed into a DOM; every problem is reported with the file's name.
class JsonFile {
public:
    explicit JsonFile(std::string fileName) : fileName(std::move(fileName)) {
        std::ifstream stream(this->fileName);  // read-only: a read-only data folder works
        if (!stream.good()) Fail("cannot be opened for reading");
        // Parsed from memory: a stream wrapper reads character by character, several times
        // slower on a big level. A plain memory stream keeps what the parser sees (a byte-order
        // mark is not skipped, a NUL byte ends the text) and so the offsets of errors.
        const std::string text = ReadAll(stream);
        rapidjson::MemoryStream memory(text.data(), text.size());
        document.ParseStream(memory);
        if (document.HasParseError()) {
            Fail("invalid JSON at offset " + std::to_string(document.GetErrorOffset()) + ": " +
                 rapidjson::GetParseError_En(document.GetParseError()));
        }
        if (stream.bad()) Fail("cannot be read");
        if (!document.IsObject()) Fail("the top level is not a JSON object");
    }

    [[noreturn]] void Fail(const std::string& problem) const {
        throw std::runtime_error(fileName + ": " + problem);
    }

    const Value& Root() const { return document; }

    /// The member `key` of `object`, or null when it is not there.
    static const Value* Find(const Value& object, const char* key) {
        const auto member = object.FindMember(key);
        return member == object.MemberEnd() ? nullptr : &member->value;
    }

    int Int(const Value& value, const std::string& what) const {
        if (!value.IsInt()) Fail(what + " is not an integer");
        return value.GetInt();
    }
    int IntOr(const Value& object, const char* key, int fallback, const std::string& what) const {
        const Value* value = Find(object, key);
        return value == nullptr ? fallback : Int(*value, what);
    }
    std::string RequiredString(const Value& object, const char* key,
                               const std::string& what) const {
        const Value* value = Find(object, key);
        if (value == nullptr) Fail(what + " is missing");
        if (!value->IsString()) Fail(what + " is not a string");
        return std::string(value->GetString(), value->GetStringLength());
    }

private:
    /// Everything left in `stream`; a read error stops early and sets the stream's bad bit.
    static std::string ReadAll(std::ifstream& stream) {
        constexpr std::size_t kChunk = 1 << 16;
        std::string text;
        std::vector<char> chunk(kChunk);
        while (stream.read(chunk.data(), kChunk) || stream.gcount() > 0) {
            text.append(chunk.data(), static_cast<std::size_t>(stream.gcount()));
        }
        return text;
    }

    std::string fileName;
    rapidjson::Document document;
};

/// One tile entry of a level file: [tile type, column, row].
struct TileEntry {
    int type;
    int column;
    int row;
};

/// A level file, checked and read into plain values.
struct LevelFile {
    int id = 0;
    std::string name;
    float deathLevelInY = 0.0f;
    std::vector<TileEntry> entries;
};

TileEntry ReadTileEntry(const JsonFile& file, const Value& entry, const std::string& where) {
    if (!entry.IsArray() || entry.Size() < kTileEntrySize) {
        file.Fail(where + " has fewer than three integers");
    }
    for (rapidjson::SizeType i = 0; i < kTileEntrySize; ++i) {
        if (!entry[i].IsInt()) file.Fail(where + " holds a value that is not a 32-bit integer");
    }
    return {entry[0].GetInt(), entry[1].GetInt(), entry[2].GetInt()};
}

std::vector<TileEntry> ReadTileEntries(const JsonFile& file) {
    std::vector<TileEntry> entries;
    const Value* rows = JsonFile::Find(file.Root(), "arrayOfTiles");
    if (rows == nullptr) return entries;
    if (!rows->IsArray()) file.Fail("\"arrayOfTiles\" is not an array");
    for (rapidjson::SizeType r = 0; r < rows->Size(); ++r) {
        const Value& row = (*rows)[r];
        const std::string rowName = "\"arrayOfTiles\"[" + std::to_string(r) + "]";
        if (!row.IsArray()) file.Fail(rowName + " is not an array of tile entries");
        for (rapidjson::SizeType e = 0; e < row.Size(); ++e) {
            entries.push_back(ReadTileEntry(file, row[e], rowName + "[" + std::to_string(e) + "]"));
        }
    }
    return entries;
}

LevelFile ReadLevelFile(const std::string& fileName) {
    const JsonFile file(fileName);
    LevelFile level;
    level.id = file.IntOr(file.Root(), "id", 0, Quote("id"));
    level.name = file.RequiredString(file.Root(), "name", Quote("name"));
    if (const Value* death = JsonFile::Find(file.Root(), "deathLevelInY")) {
        if (!death->IsNumber()) file.Fail("\"deathLevelInY\" is not a number");
        level.deathLevelInY = static_cast<float>(death->GetDouble());
    }
    level.entries = ReadTileEntries(file);
    return level;
}

LevelBuilder::TileType::Physics ReadPhysics(const JsonFile& file, const Value& physics) {
    if (!physics.IsObject()) file.Fail("\"physics\" is not an object");
    if (JsonFile::Find(physics, "type") == nullptr) file.Fail("\"physics\" has no \"type\"");
    LevelBuilder::TileType::Physics body;
    const std::string type = file.RequiredString(physics, "type", "\"physics\"/\"type\"");
    // Exact and case-sensitive: every other text makes a dynamic body.
    body.type = type == "static"      ? b2_staticBody
                : type == "kinematic" ? b2_kinematicBody
                                      : b2_dynamicBody;
    if (const Value* sensor = JsonFile::Find(physics, "sensor")) {
        if (!sensor->IsBool()) file.Fail("\"physics\"/\"sensor\" is not true or false");
        body.sensor = sensor->GetBool();
    }
    const int density = file.IntOr(physics, "density", 0, "\"physics\"/\"density\"");
    if (density < 0) file.Fail("\"physics\"/\"density\" is negative");
    body.density = static_cast<float>(density);
    return body;
}

/// The player's animation frames; the animator and the controller rely on six of them.
std::vector<int> ReadAnimation(const JsonFile& file) {
    const Value* animation = JsonFile::Find(file.Root(), "animation");
    if (animation == nullptr) file.Fail("\"characterController\" needs \"animation\"");
    if (!animation->IsArray()) file.Fail("\"animation\" is not an array");
    if (animation->Size() < kAnimationFrames) {
        file.Fail("\"animation\" has " + std::to_string(animation->Size()) +
                  " entries, at least 6 are needed");
    }
    std::vector<int> frames;
    for (rapidjson::SizeType i = 0; i < animation->Size(); ++i) {
        frames.push_back(file.Int((*animation)[i], "\"animation\"[" + std::to_string(i) + "]"));
    }
    return frames;
}

LevelBuilder::TileType ReadTileFile(const std::string& fileName) {
    const JsonFile file(fileName);
    const Value& root = file.Root();
    LevelBuilder::TileType tile;
    tile.fileName = fileName;
    tile.id = file.IntOr(root, "id", 0, Quote("id"));
    tile.name = file.RequiredString(root, "name", Quote("name"));
    if (const Value* sprite = JsonFile::Find(root, "sprite")) {
        tile.sprite = file.Int(*sprite, Quote("sprite"));
    }
    if (const Value* physics = JsonFile::Find(root, "physics")) {
        tile.physics = ReadPhysics(file, *physics);
    }
    // Only the presence of these two keys counts.
    tile.characterController = JsonFile::Find(root, "characterController") != nullptr;
    tile.levelOverBox = JsonFile::Find(root, "leveloverbox") != nullptr;
    if (tile.levelOverBox && !tile.physics) file.Fail("\"leveloverbox\" needs \"physics\"");
    // A player without a body is built without its player parts, so it needs nothing more.
    if (tile.characterController && tile.physics) {
        if (!tile.sprite) file.Fail("\"characterController\" needs \"sprite\"");
        tile.animation = ReadAnimation(file);
    }
    return tile;
}

/// The scene manager's atlas, or null when there is none.
orka::SpriteAtlas* Atlas() {
    SceneManager* manager = SceneManager::GetInstance();
    return manager != nullptr ? manager->spriteAtlas.get() : nullptr;
}

/// Atlas sprite number `number`, named "<number>.png".
orka::Sprite AtlasSprite(int number) {
    return Atlas()->get(std::to_string(number) + ".png");
}

/// Grid coordinate to game units; the product is exact in double precision, so no integer
/// product can overflow.
float GridToUnits(int cell) {
    return static_cast<float>(static_cast<double>(cell) * LevelBuilder::gridSize);
}

}  // namespace

LevelBuilder::LevelBuilder(UpdateEvent* updateEvent, SpriteDrawEvent* spriteDrawEvent,
                           PhysicsStepEvent* physicsStepEvent, KeyInputEvent* keyInputEvent,
                           std::shared_ptr<b2World> world)
    : updateEvent(updateEvent),
      spriteDrawEvent(spriteDrawEvent),
      physicsStepEvent(physicsStepEvent),
      keyInputEvent(keyInputEvent),
      world(std::move(world)) {}

// Each component is wired as it is added (every behaviour to the update event, every sprite
// renderer to the sprite-draw event, every physics body to the physics-step event, every
// character controller also to the key-input event): the same as looking each kind up once the
// tile is complete, without a list of components per kind for every tile.
template <typename T>
std::shared_ptr<T> LevelBuilder::AddWired(GameObject& object) const {
    std::shared_ptr<T> component = object.AddComponent<T>();
    Wire(*component);
    return component;
}

void LevelBuilder::Wire(Behaviour& behaviour) const {
    behaviour.updateEvent = updateEvent;
}

void LevelBuilder::Wire(SpriteRenderer& renderer) const {
    renderer.spriteDrawEvent = spriteDrawEvent;
}

void LevelBuilder::Wire(PhysicsBody& body) const {
    body.physicsStepEvent = physicsStepEvent;
}

void LevelBuilder::Wire(CharacterController& controller) const {
    Wire(static_cast<Behaviour&>(controller));
    controller.keyInputEvent = keyInputEvent;
}

LevelData LevelBuilder::BuildLevel(std::string fileName) {
    // Everything is read and checked before the first object is made.
    const LevelFile file = ReadLevelFile(fileName);
    for (const TileEntry& entry : file.entries) CheckAtlasFor(LoadTileType(entry.type));

    LevelData levelData;
    levelData.level = std::make_shared<GameObject>();
    AddCamera(levelData);

    levelData.level->SetId(file.id);
    levelData.level->SetName(file.name);
    levelData.deathLevelInY = file.deathLevelInY;
    for (const TileEntry& entry : file.entries) {
        std::shared_ptr<GameObject> object = BuildTile(entry.type, levelData);
        object->GetTransform()->position = {GridToUnits(entry.column), GridToUnits(entry.row)};
        levelData.objects.push_back(object);
        // Subscribes the components and creates the body at the position just set.
        object->ToggleActive();
    }
    return levelData;
}

void LevelBuilder::AddCamera(LevelData& levelData) const {
    levelData.cameraObject = std::make_shared<GameObject>();
    GameObject& object = *levelData.cameraObject;
    object.SetName(kCameraName);
    auto component = object.AddComponent<CameraComponent>();
    component->camera.setOrthographicProjection(kCameraOrthographicSize, kCameraNearPlane,
                                                kCameraFarPlane);
    object.GetTransform()->position = {kCameraStartX, kCameraStartY};
    levelData.camera = &component->camera;
    component->updateEvent = updateEvent;
    object.ToggleActive();
}

void LevelBuilder::CheckAtlasFor(const TileType& tile) const {
    if (!tile.sprite || Atlas() != nullptr) return;
    throw std::runtime_error(tile.fileName + ": shows sprite " + std::to_string(*tile.sprite) +
                             ", but no sprite atlas is loaded");
}

std::shared_ptr<GameObject> LevelBuilder::BuildTile(int tileType, LevelData& levelData) {
    const TileType& tile = LoadTileType(tileType);
    auto object = std::make_shared<GameObject>();
    object->SetId(tile.id);
    object->SetName(tile.name);
    if (tile.sprite) {
        CheckAtlasFor(tile);
        AddWired<SpriteRenderer>(*object)->SetSprite(AtlasSprite(*tile.sprite));
    }
    if (tile.physics) AddPhysics(*object, *tile.physics);
    if (tile.characterController) AddPlayer(object, tile, levelData);
    if (tile.levelOverBox) AddWired<LevelOverOnHitByCharacter>(*object);
    return object;
}

const LevelBuilder::TileType& LevelBuilder::LoadTileType(int tileType) {
    const auto cached = tileTypes.find(tileType);
    if (cached != tileTypes.end()) return cached->second;
    TileType tile = ReadTileFile("tile" + std::to_string(tileType) + ".json");
    ++tileFilesRead;
    return tileTypes.emplace(tileType, std::move(tile)).first->second;
}

void LevelBuilder::AddPhysics(GameObject& object, const TileType::Physics& physics) const {
    Logger::Debug("Building a physics");
    auto body = AddWired<PhysicsBody>(object);
    body->world = world;

    b2BodyDef bodyDef;
    bodyDef.type = physics.type;
    const auto transform = object.GetTransform();
    bodyDef.position.Set(transform->position.x, transform->position.y);
    body->bodyDef = bodyDef;

    b2PolygonShape box;
    box.SetAsBox(kBoxHalfSize, kBoxHalfSize);
    b2FixtureDef fixture;
    fixture.friction = kFriction;
    fixture.restitution = kRestitution;
    fixture.density = physics.density;
    fixture.isSensor = physics.sensor;
    fixture.filter.categoryBits = kCollisionCategory;
    fixture.filter.maskBits = kCollisionMask;
    fixture.filter.groupIndex = kCollisionGroup;
    body->AddFixture(fixture, box);
}

void LevelBuilder::AddPlayer(const std::shared_ptr<GameObject>& object, const TileType& tile,
                             LevelData& levelData) const {
    if (object->GetComponent<PhysicsBody>() == nullptr) {
        Logger::Verbose("Player doesn't have a physicsbody component");
        return;
    }
    levelData.player = object;
    AddWired<CharacterController>(*object);
    levelData.cameraObject->GetComponent<CameraComponent>()->target = object;
    // A player tile always has its six animation sprites (checked when the file was read).
    auto animator = AddWired<CharacterAnimator>(*object);
    for (int number : tile.animation) animator->sprites.push_back(AtlasSprite(number));
}
