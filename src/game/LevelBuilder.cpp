#include "game/LevelBuilder.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "game/CameraComponent.hpp"
#include "game/CharacterAnimator.hpp"
#include "game/CharacterController.hpp"
#include "game/Checkpoint.hpp"
#include "game/Collectible.hpp"
#include "game/Hazard.hpp"
#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/Logger.hpp"
#include "game/MovingPlatform.hpp"
#include "game/OneWayPlatform.hpp"
#include "game/PhysicsBody.hpp"
#include "game/ReturnPoint.hpp"
#include "game/Scene.hpp"
#include "game/SpriteRenderer.hpp"
#include "game/TileGrid.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

constexpr const char* kCameraName = "Main Camera";
constexpr float kCameraStartX = 231.5f;
constexpr float kCameraStartY = 300.0f;
constexpr float kCameraOrthographicSize = 150.0f;  // half the visible height, game units
constexpr float kCameraNearPlane = -1.0f;
constexpr float kCameraFarPlane = 1.0f;

// Every physics tile is a 20 x 20 box, one unit smaller than the grid so neighbours do not touch.
constexpr float kBoxHalfSize = 10.0f;
/// The space between the boxes of two neighbouring tiles, game units.
constexpr float kTileGap = static_cast<float>(tileGridSize) - 2.0f * kBoxHalfSize;
constexpr float kFriction = 0.2f;
constexpr float kRestitution = 0.0f;
constexpr uint16 kCollisionCategory = 0x0001;
constexpr uint16 kCollisionMask = 0xFFFF;
constexpr int16 kCollisionGroup = 0;

/// How far, in game units, a character's box is cut back at each corner. Floor tiles are
/// separate boxes, so a square corner walking from one onto the next meets that tile's side and
/// stops dead; a cut corner passes over the edge. Two units pass the edge at any walking speed
/// and still let the character stand on a ledge it overlaps by more than that.
constexpr float kCharacterCornerCut = 2.0f;

/// The 20 x 20 box with its four corners cut off at 45 degrees (eight vertices, counter-clockwise).
b2PolygonShape CharacterShape() {
    constexpr float h = kBoxHalfSize;
    constexpr float c = kCharacterCornerCut;
    const b2Vec2 vertices[] = {{-h + c, -h}, {h - c, -h}, {h, -h + c}, {h, h - c},
                               {h - c, h},   {-h + c, h}, {-h, h - c}, {-h, -h + c}};
    b2PolygonShape shape;
    shape.Set(vertices, 8);
    return shape;
}

/// The density that gives a character shape the mass of a full box of `density`: jumps and
/// walks keep the speeds they were tuned for.
float CharacterDensity(float density) {
    constexpr float box = 4.0f * kBoxHalfSize * kBoxHalfSize;
    constexpr float cut = 2.0f * kCharacterCornerCut * kCharacterCornerCut;
    return density * box / (box - cut);
}

/// Headroom over the fastest speed the player is meant to reach, so that Box2D's cap on a
/// step's move never clips a jump or a walk.
constexpr float kSpeedHeadroom = 1.25f;
/// Most physics steps an update is split into.
constexpr int kMaxSubsteps = 8;
// The reader refuses feel values faster than these steps can move the player.
static_assert(LevelReader::FeelRanges::maxPlayerSpeed * kSpeedHeadroom <=
                  kMaxSubsteps * b2_maxTranslation / Scene::timeStep + 1.0f,
              "the fastest player the reader accepts must be one the physics can move");

/// How many physics steps each update needs so that a player of `tile` moves as its feel asks:
/// Box2D moves nothing more than `b2_maxTranslation` units in one step. One for a player without
/// "walk" or "jump", as the plain physics were tuned for.
int PhysicsSubsteps(const TileTypeDescription& tile) {
    float fastest = 0.0f;
    if (tile.walk) fastest = std::max(fastest, tile.walk->speed);
    if (tile.jump)
        fastest = std::max({fastest, tile.jump->StartSpeed(), tile.jump->LandingSpeed()});
    const float perStep = b2_maxTranslation / Scene::timeStep;  // units per second
    const int substeps = static_cast<int>(std::ceil(fastest * kSpeedHeadroom / perStep));
    return std::clamp(substeps, 1, kMaxSubsteps);
}

/// Throws the first problem found, the one the game reports.
void ThrowFirst(const std::vector<Problem>& problems) {
    if (!problems.empty()) throw std::runtime_error(problems.front().ToString());
}

/// Atlas sprite number `number`, named "<number>.png".
orka::Sprite AtlasSprite(const orka::SpriteAtlas& atlas, int number) {
    return atlas.get(LevelReader::SpriteName(number));
}

/// Grid coordinate to game units; the product is exact in double precision, so no integer
/// product can overflow.
float GridToUnits(int cell) {
    return static_cast<float>(static_cast<double>(cell) * tileGridSize);
}

}  // namespace

LevelBuilder::LevelBuilder(LevelContext context) : context(std::move(context)) {}

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
    behaviour.updateEvent = context.updateEvent;
}

void LevelBuilder::Wire(SpriteRenderer& renderer) const {
    renderer.spriteDrawEvent = context.spriteDrawEvent;
}

void LevelBuilder::Wire(PhysicsBody& body) const {
    body.physicsStepEvent = context.physicsStepEvent;
}

void LevelBuilder::Wire(CharacterController& controller) const {
    Wire(static_cast<Behaviour&>(controller));
    controller.controls = context.controls;
}

LevelData LevelBuilder::BuildLevel(std::string fileName) {
    // Everything is read and checked before the first object is made.
    filesRead.push_back(fileName);
    std::vector<Problem> problems;
    const LevelDescription file = LevelReader::ReadLevelFile(fileName, problems);
    ThrowFirst(problems);
    std::set<std::pair<int, int>> solidCells;
    for (const TileEntry& entry : file.entries) {
        const TileType& tile = LoadTileType(entry.type);
        CheckAtlasFor(tile);
        if (tile.physics && !tile.physics->sensor) solidCells.emplace(entry.column, entry.row);
    }
    CheckAtlasFor(file);

    LevelData levelData;
    levelData.level = std::make_shared<GameObject>();
    AddCamera(levelData);

    levelData.level->SetId(file.id.value_or(0));
    if (file.camera) levelData.cameraObject->GetComponent<CameraComponent>()->feel = file.camera;
    levelData.level->SetName(file.name);
    levelData.deathLevelInY = file.deathLevelInY;
    for (const BackdropLayerDescription& layer : file.backdrop) {
        levelData.backdrop.AddLayer(AtlasSprite(*context.atlas, layer.sprite), layer.parallax);
    }
    for (const TileEntry& entry : file.entries) {
        std::shared_ptr<GameObject> object = BuildTile(entry.type, levelData);
        object->GetTransform()->position = StartPlace(entry, solidCells);
        levelData.objects.push_back(object);
        // Subscribes the components and creates the body at the position just set.
        object->ToggleActive();
    }
    levelData.files = filesRead;
    return levelData;
}

// A player one cell above the ground would start a unit above it, drop, and be heard landing.
glm::vec2 LevelBuilder::StartPlace(const TileEntry& entry,
                                   const std::set<std::pair<int, int>>& solidCells) {
    const glm::vec2 centre(GridToUnits(entry.column), GridToUnits(entry.row));
    const bool onGround = entry.row > std::numeric_limits<int>::min() &&
                          solidCells.count({entry.column, entry.row - 1}) != 0;
    if (!onGround || !LoadTileType(entry.type).IsPlayer()) return centre;
    return {centre.x, centre.y - kTileGap};
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
    component->updateEvent = context.updateEvent;
    object.ToggleActive();
}

void LevelBuilder::CheckAtlasFor(const TileType& tile) const {
    if (context.atlas != nullptr) return;
    for (const std::optional<int>& sprite : {tile.sprite, tile.spriteReached}) {
        if (!sprite) continue;
        throw std::runtime_error(tile.fileName + ": shows sprite " + std::to_string(*sprite) +
                                 ", but no sprite atlas is loaded");
    }
}

void LevelBuilder::CheckAtlasFor(const LevelDescription& level) const {
    if (context.atlas != nullptr || level.backdrop.empty()) return;
    throw std::runtime_error(level.fileName + ": \"backdrop\"[0] shows sprite " +
                             std::to_string(level.backdrop.front().sprite) +
                             ", but no sprite atlas is loaded");
}

std::shared_ptr<GameObject> LevelBuilder::BuildTile(int tileType, LevelData& levelData) {
    const TileType& tile = LoadTileType(tileType);
    auto object = std::make_shared<GameObject>();
    object->SetId(tile.id);
    object->SetName(tile.name);
    if (tile.sprite) {
        CheckAtlasFor(tile);
        AddWired<SpriteRenderer>(*object)->SetSprite(AtlasSprite(*context.atlas, *tile.sprite));
    }
    if (tile.physics) AddPhysics(*object, tile);
    if (tile.characterController) AddPlayer(object, tile, levelData);
    if (tile.levelOverBox) AddWired<LevelOverOnHitByCharacter>(*object);
    // Each needs the body (checked when the file was read), which is added above.
    if (tile.physics) AddBehaviours(*object, tile);
    return object;
}

void LevelBuilder::AddBehaviours(GameObject& object, const TileType& tile) const {
    if (tile.hazard) object.AddComponent<Hazard>();
    if (tile.checkpoint) {
        auto checkpoint = object.AddComponent<Checkpoint>();
        if (tile.spriteReached) {
            checkpoint->reachedSprite = AtlasSprite(*context.atlas, *tile.spriteReached);
        }
    }
    if (tile.collectible) object.AddComponent<Collectible>();
    if (tile.oneWay) object.AddComponent<OneWayPlatform>();
    if (tile.moving) {
        auto platform = AddWired<MovingPlatform>(object);
        platform->travel = {tile.moving->dx, tile.moving->dy};
        platform->period = tile.moving->period;
    }
}

const LevelBuilder::TileType& LevelBuilder::LoadTileType(int tileType) {
    const auto cached = tileTypes.find(tileType);
    if (cached != tileTypes.end()) return cached->second;
    std::vector<Problem> problems;
    filesRead.push_back(LevelReader::TileFileName(tileType));
    TileType tile = LevelReader::ReadTileFile(filesRead.back(), problems);
    ThrowFirst(problems);
    ++tileFilesRead;
    return tileTypes.emplace(tileType, std::move(tile)).first->second;
}

void LevelBuilder::AddPhysics(GameObject& object, const TileType& tile) const {
    const TileType::Physics& physics = *tile.physics;
    const bool character = tile.characterController;
    Logger::Debug("Building a physics");
    auto body = AddWired<PhysicsBody>(object);
    body->world = context.world;

    b2BodyDef bodyDef;
    // A moving platform is driven through its velocity, whatever type its file gives.
    bodyDef.type = tile.moving ? b2_kinematicBody : physics.type;
    const auto transform = object.GetTransform();
    bodyDef.position.Set(transform->position.x, transform->position.y);
    // A player with its own jump falls with the gravity that jump needs; the rest with the
    // world's.
    if (character && tile.jump) bodyDef.gravityScale = tile.jump->Gravity() / -Scene::gravityY;
    body->bodyDef = bodyDef;

    b2PolygonShape shape;
    shape.SetAsBox(kBoxHalfSize, kBoxHalfSize);
    if (character) shape = CharacterShape();
    b2FixtureDef fixture;
    fixture.friction = physics.friction.value_or(kFriction);
    fixture.restitution = kRestitution;
    fixture.density = character ? CharacterDensity(physics.density) : physics.density;
    fixture.isSensor = physics.sensor;
    fixture.filter.categoryBits = kCollisionCategory;
    fixture.filter.maskBits = kCollisionMask;
    fixture.filter.groupIndex = kCollisionGroup;
    body->AddFixture(fixture, shape);
}

void LevelBuilder::AddPlayer(const std::shared_ptr<GameObject>& object, const TileType& tile,
                             LevelData& levelData) const {
    if (object->GetComponent<PhysicsBody>() == nullptr) {
        Logger::Verbose("Player doesn't have a physicsbody component");
        return;
    }
    levelData.player = object;
    levelData.physicsSubsteps = PhysicsSubsteps(tile);
    const auto controller = AddWired<CharacterController>(*object);
    controller->walk = tile.walk;
    controller->jump = tile.jump;
    controller->landOnFeet = tile.landOnFeet;
    object->AddComponent<ReturnPoint>();
    levelData.cameraObject->GetComponent<CameraComponent>()->target = object;
    // A player tile always has its six animation sprites (checked when the file was read).
    auto animator = AddWired<CharacterAnimator>(*object);
    animator->faceLastWalk = tile.faceLastWalk;
    for (int number : tile.animation) {
        animator->sprites.push_back(AtlasSprite(*context.atlas, number));
    }
}
