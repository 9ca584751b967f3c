#include "game/LevelBuilder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "game/CharacterController.hpp"
#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/PhysicsBody.hpp"
#include "game/PlayerInput.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;
using ::testing::HasSubstr;

class LevelBuilderTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::shared_ptr<b2World> world = std::make_shared<b2World>(b2Vec2(0.0f, -98.0f));
    UpdateEvent update;
    SpriteDrawEvent spriteDraw;
    PhysicsStepEvent physicsStep;
    PlayerControls controls;
    LevelBuilder builder{{&update, &spriteDraw, &physicsStep, &controls, world}};

    /// Writes a level "level1.json" whose tiles are `tiles` (the JSON of "arrayOfTiles").
    void WriteLevel(const std::string& tiles, const std::string& extra = "") {
        folder.Write("level1.json",
                     R"({"id": 1, "name": "test")" + extra + R"(, "arrayOfTiles": )" + tiles + "}");
    }
    /// The text of the exception that building "level1.json" throws ("" when none).
    std::string BuildError() {
        try {
            builder.BuildLevel("level1.json");
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(LevelBuilderTest, EntriesBecomeActiveObjectsOnTheGridInFileOrder) {
    folder.Write("tile1.json", R"({"id": 11, "name": "ground"})");
    folder.Write("tile2.json", R"({"id": 12, "name": "rock"})");
    folder.Write("tile3.json", R"({"name": "stone"})");
    WriteLevel("[[[1,0,0],[1,1,0]],[[2,5,3]],[[3,4,2,99]]]", R"(, "deathLevelInY": -100.5)");

    LevelData level = builder.BuildLevel("level1.json");
    ASSERT_EQ(level.objects.size(), 4u);
    const glm::vec2 expected[] = {{0, 0}, {21, 0}, {105, 63}, {84, 42}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(level.objects[i]->GetTransform()->position, expected[i]) << i;
        EXPECT_TRUE(level.objects[i]->IsActive()) << i;
    }
    EXPECT_EQ(level.objects[0]->GetName(), "ground");
    EXPECT_EQ(level.objects[0]->GetId(), 11);
    EXPECT_EQ(level.objects[2]->GetName(), "rock");
    EXPECT_EQ(level.objects[3]->GetId(), 0) << "a missing id reads as 0";
    EXPECT_EQ(level.level->GetId(), 1);
    EXPECT_EQ(level.level->GetName(), "test");
    EXPECT_FALSE(level.level->IsActive());
    EXPECT_EQ(level.deathLevelInY, -100.5f);
    EXPECT_EQ(level.player, nullptr);
    EXPECT_EQ(builder.GetTileFilesRead(), 3) << "each tile type is read once per build";
}

TEST_F(LevelBuilderTest, MissingOptionalKeysReadAsZeroAndNoTiles) {
    folder.Write("level1.json", R"({"name": "empty"})");
    LevelData level = builder.BuildLevel("level1.json");
    EXPECT_EQ(level.level->GetId(), 0);
    EXPECT_EQ(level.deathLevelInY, 0.0f);
    EXPECT_TRUE(level.objects.empty());
    folder.Write("level1.json", R"({"name": "whole", "deathLevelInY": -100})");
    EXPECT_EQ(builder.BuildLevel("level1.json").deathLevelInY, -100.0f);
}

TEST_F(LevelBuilderTest, TheCameraObjectIsNamedActiveAndStartsAtItsPlace) {
    WriteLevel("[]");
    LevelData level = builder.BuildLevel("level1.json");
    ASSERT_NE(level.cameraObject, nullptr);
    EXPECT_EQ(level.cameraObject->GetName(), "Main Camera");
    EXPECT_TRUE(level.cameraObject->IsActive());
    EXPECT_EQ(level.cameraObject->GetTransform()->position, glm::vec2(231.5f, 300.0f));
}

TEST_F(LevelBuilderTest, PhysicsKeysChooseBodyTypeSensorAndDensity) {
    folder.Write("tile1.json", R"({"name": "a", "physics": {"type": "kinematic"}})");
    folder.Write("tile2.json", R"({"name": "b", "physics": {"type": "static", "sensor": true}})");
    folder.Write("tile3.json", R"({"name": "c", "physics": {"type": "Static", "density": 3}})");
    folder.Write("tile4.json", R"({"name": "d", "physics": {"type": "dynamic",
                                   "sensor": false, "density": 2}})");
    // Only the JSON literal true makes a sensor.
    folder.Write("tile5.json", R"({"name": "e", "physics": {"type": "static", "sensor": 1}})");
    folder.Write("tile6.json", R"({"name": "f", "physics": {"type": "static",
                                   "sensor": "true"}})");
    WriteLevel("[[[1,0,0],[2,2,0],[3,4,0],[4,6,0],[5,8,0],[6,10,0]]]");
    LevelData level = builder.BuildLevel("level1.json");
    struct Expected {
        b2BodyType type;
        bool sensor;
        float density;
    };
    const Expected expected[] = {{b2_kinematicBody, false, 0.0f}, {b2_staticBody, true, 0.0f},
                                 {b2_dynamicBody, false, 3.0f},   {b2_dynamicBody, false, 2.0f},
                                 {b2_staticBody, false, 0.0f},    {b2_staticBody, false, 0.0f}};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const b2Body* body = level.objects[i]->GetComponent<PhysicsBody>()->GetBody();
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(body->GetType(), expected[i].type);
        EXPECT_EQ(body->GetPosition().x, 42.0f * static_cast<float>(i));
        const b2Fixture* fixture = body->GetFixtureList();
        ASSERT_NE(fixture, nullptr);
        EXPECT_EQ(fixture->IsSensor(), expected[i].sensor);
        EXPECT_EQ(fixture->GetDensity(), expected[i].density);
        EXPECT_FLOAT_EQ(fixture->GetFriction(), 0.2f);
        EXPECT_EQ(fixture->GetRestitution(), 0.0f);
        EXPECT_EQ(fixture->GetFilterData().categoryBits, 1);
        EXPECT_EQ(fixture->GetFilterData().maskBits, 0xFFFF);
        const auto* box = static_cast<const b2PolygonShape*>(fixture->GetShape());
        ASSERT_EQ(box->m_count, 4);
        EXPECT_EQ(box->m_vertices[0], b2Vec2(-10.0f, -10.0f));
        EXPECT_EQ(box->m_vertices[2], b2Vec2(10.0f, 10.0f));
    }
    EXPECT_EQ(world->GetBodyCount(), 6);
}

TEST_F(LevelBuilderTest, TheGoalGetsItsTriggerAndAPlayerWithoutBodyIsNoPlayer) {
    folder.Write("tile1.json", R"({"name": "goal", "physics": {"type": "static"},
                                   "leveloverbox": null})");
    folder.Write("tile2.json", R"({"name": "ghost", "characterController": 0})");
    folder.Write("tile3.json", R"({"name": "no player", "animation": [1, 2]})");
    WriteLevel("[[[1,0,0],[2,1,0],[3,2,0]]]");
    LevelData level = builder.BuildLevel("level1.json");
    auto goal = level.objects[0];
    ASSERT_NE(goal->GetComponent<LevelOverOnHitByCharacter>(), nullptr);
    EXPECT_EQ(goal->GetComponent<LevelOverOnHitByCharacter>()->updateEvent, &update);
    EXPECT_EQ(goal->GetComponent<PhysicsBody>()->physicsStepEvent, &physicsStep);
    EXPECT_EQ(level.objects[1]->GetComponent<CharacterController>(), nullptr);
    EXPECT_EQ(level.objects[1]->GetComponents<Component>().size(), 1u);
    EXPECT_EQ(level.player, nullptr);
    EXPECT_EQ(level.objects[2]->GetComponents<Component>().size(), 1u) << "animation alone";
}

TEST_F(LevelBuilderTest, TileFilesAreReadOncePerBuildHoweverManyTilesUseThem) {
    folder.Write("tile1.json", R"({"name": "ground", "physics": {"type": "static"}})");
    folder.Write("tile2.json", R"({"name": "crate", "physics": {"type": "dynamic"}})");
    std::string row;
    for (int column = 0; column < 200; ++column) {
        row += (column > 0 ? "," : "") + std::string("[") + (column % 2 ? "2" : "1") + "," +
               std::to_string(column) + ",0]";
    }
    WriteLevel("[[" + row + "]]");
    LevelData level = builder.BuildLevel("level1.json");
    EXPECT_EQ(level.objects.size(), 200u);
    EXPECT_EQ(builder.GetTileFilesRead(), 2);
    EXPECT_EQ(level.objects[199]->GetName(), "crate");
    EXPECT_EQ(level.objects[199]->GetTransform()->position.x, 199.0f * 21.0f);
}

/// Builds "level1.json" in the current folder with the files made read-only, as a user who
/// cannot write them (root drops to "nobody" in a child process, since root may write anyway).
/// Returns the exception text, "" on success.
std::string BuildReadOnly(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        chmod(entry.path().c_str(), 0444);
    }
    chmod(folder.c_str(), 0555);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        constexpr uid_t kNobody = 65534;
        if (getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
        std::string message;
        try {
            auto world = std::make_shared<b2World>(b2Vec2(0.0f, -98.0f));
            UpdateEvent update;
            SpriteDrawEvent sprites;
            PhysicsStepEvent step;
            PlayerControls controls;
            LevelBuilder({&update, &sprites, &step, &controls, world}).BuildLevel("level1.json");
        } catch (const std::exception& error) {
            message = error.what();
        }
        if (write(pipeEnds[1], message.data(), message.size()) < 0) _exit(3);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    chmod(folder.c_str(), 0755);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
    return message;
}

TEST_F(LevelBuilderTest, AReadOnlyDataFolderWorks) {
    folder.Write("tile1.json", R"({"name": "ground", "physics": {"type": "static"}})");
    WriteLevel("[[[1,0,0]]]");
    chmod(folder.path.c_str(), 0755);  // the child runs as another user
    EXPECT_EQ(BuildReadOnly(folder.path), "");
}

/// One broken file and the message its build must throw.
struct BadFile {
    const char* fileName;
    const char* text;     // null: the file does not exist
    const char* message;  // after the file name and ": ", or after the file name when it
                          // starts with the ":line:column" of a syntax error
};

void PrintTo(const BadFile& bad, std::ostream* out) {
    *out << bad.fileName << ": " << bad.message;
}

class LevelBuilderBadFile : public LevelBuilderTest,
                            public ::testing::WithParamInterface<BadFile> {};

TEST_P(LevelBuilderBadFile, ThrowsNamingTheFileAndTheProblemAndBuildsNothing) {
    folder.Write("tile1.json", R"({"name": "ground", "physics": {"type": "static"}})");
    WriteLevel("[[[1,0,0],[7,1,0]]]");
    folder.Write("tile7.json", R"({"name": "fine"})");
    const BadFile& bad = GetParam();
    std::filesystem::remove(folder.path / bad.fileName);
    if (bad.text != nullptr) folder.Write(bad.fileName, bad.text);

    const bool located = bad.message[0] == ':';
    EXPECT_EQ(BuildError(), std::string(bad.fileName) + (located ? "" : ": ") + bad.message);
    EXPECT_EQ(world->GetBodyCount(), 0) << "nothing is left behind";
    EXPECT_EQ(update.GetCount(), 0);
    EXPECT_EQ(physicsStep.GetCount(), 0);
}

const char* const kPlayerPhysics = R"("physics": {"type": "dynamic", "density": 2})";

std::string Player(const std::string& keys) {
    return std::string(R"({"name": "Player Character", "characterController": true, )") +
           kPlayerPhysics + keys + "}";
}

const std::string kMissingSprite = Player(R"(, "animation": [1,2,3,4,5,6])");
const std::string kMissingAnimation = Player(R"(, "sprite": 1)");
const std::string kShortAnimation = Player(R"(, "sprite": 1, "animation": [1,2,3,4,5])");
const std::string kTextAnimation = Player(R"(, "sprite": 1, "animation": [1,2,"3",4,5,6])");
const std::string kAnimationObject = Player(R"(, "sprite": 1, "animation": {"a": 1})");

INSTANTIATE_TEST_SUITE_P(
    LevelFiles, LevelBuilderBadFile,
    ::testing::Values(
        BadFile{"level1.json", nullptr, "cannot be opened for reading"},
        BadFile{"level1.json", "", ":1:1: invalid JSON: The document is empty."},
        BadFile{"level1.json", "{\"name\": \"x\",",
                ":1:14: invalid JSON: Missing a name for object member."},
        BadFile{"level1.json", "[1, 2]", "the top level is not a JSON object"},
        BadFile{"level1.json", R"({"id": 1})", R"("name" is missing)"},
        BadFile{"level1.json", R"({"name": 5})", R"("name" is not a string)"},
        BadFile{"level1.json", R"({"name": "x", "id": "1"})", R"("id" is not an integer)"},
        BadFile{"level1.json", R"({"name": "x", "id": 1.5})", R"("id" is not an integer)"},
        BadFile{"level1.json", R"({"name": "x", "deathLevelInY": "low"})",
                R"("deathLevelInY" is not a number)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": 3})",
                R"("arrayOfTiles" is not an array)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": [[1, 0, 0]]})",
                R"("arrayOfTiles"[0][0] has fewer than three integers)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": [{"a": 1}]})",
                R"("arrayOfTiles"[0] is not an array of tile entries)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": [[[1, 0, 0], [1, 2]]]})",
                R"("arrayOfTiles"[0][1] has fewer than three integers)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": [[[1, 0.5, 0]]]})",
                R"("arrayOfTiles"[0][0] holds a value that is not a 32-bit integer)"},
        BadFile{"level1.json", R"({"name": "x", "arrayOfTiles": [[[1, 0, 3000000000]]]})",
                R"("arrayOfTiles"[0][0] holds a value that is not a 32-bit integer)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": {"sprite": 1, "parallax": 0}})",
                R"("backdrop" is not an array)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [90]})",
                R"("backdrop"[0] is not an object)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"parallax": 0}]})",
                R"("backdrop"[0] has no "sprite")"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"sprite": 90}]})",
                R"("backdrop"[0] has no "parallax")"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"sprite": "90", "parallax": 0}]})",
                R"("backdrop"[0]/"sprite" is not an integer)"},
        BadFile{"level1.json",
                R"({"name": "x", "backdrop": [{"sprite": 90, "parallax": 0}, )"
                R"({"sprite": 91, "parallax": "far"}]})",
                R"("backdrop"[1]/"parallax" is not a number)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"sprite": 90, "parallax": 1.5}]})",
                R"("backdrop"[0]/"parallax" is not between 0 and 1)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"sprite": 90, "parallax": -0.1}]})",
                R"("backdrop"[0]/"parallax" is not between 0 and 1)"},
        BadFile{"level1.json", R"({"name": "x", "backdrop": [{"sprite": 90, "parallax": 1}]})",
                R"("backdrop"[0] shows sprite 90, but no sprite atlas is loaded)"}));

INSTANTIATE_TEST_SUITE_P(
    TileFiles, LevelBuilderBadFile,
    ::testing::Values(
        BadFile{"tile7.json", nullptr, "cannot be opened for reading"},
        BadFile{"tile7.json", "{\"name\": \"x\"}\n\n }",
                ":3:2: invalid JSON: The document root must not be followed by other values."},
        BadFile{"tile7.json", R"({"id": 7})", R"("name" is missing)"},
        BadFile{"tile7.json", R"({"name": "x", "sprite": "12"})", R"("sprite" is not an integer)"},
        BadFile{"tile7.json", R"({"name": "x", "physics": "static"})",
                R"("physics" is not an object)"},
        BadFile{"tile7.json", R"({"name": "x", "physics": {"density": 1}})",
                R"("physics" has no "type")"},
        BadFile{"tile7.json", R"({"name": "x", "physics": {"type": 1}})",
                R"("physics"/"type" is not a string)"},
        BadFile{"tile7.json", R"({"name": "x", "physics": {"type": "dynamic", "density": 1.5}})",
                R"("physics"/"density" is not an integer)"},
        BadFile{"tile7.json", R"({"name": "x", "physics": {"type": "dynamic", "density": -1}})",
                R"("physics"/"density" is negative)"},
        BadFile{"tile7.json", R"({"name": "x", "leveloverbox": true})",
                R"("leveloverbox" needs "physics")"},
        BadFile{"tile7.json", kMissingSprite.c_str(), R"("characterController" needs "sprite")"},
        BadFile{"tile7.json", kMissingAnimation.c_str(),
                R"("characterController" needs "animation")"},
        BadFile{"tile7.json", kShortAnimation.c_str(),
                R"("animation" has 5 entries, at least 6 are needed)"},
        BadFile{"tile7.json", kTextAnimation.c_str(), R"("animation"[2] is not an integer)"},
        BadFile{"tile7.json", kAnimationObject.c_str(), R"("animation" is not an array)"}));

const char* const kSensor = R"("physics": {"type": "static", "sensor": true})";
const char* const kSolid = R"("physics": {"type": "static"})";

std::string Tile(const std::string& keys) {
    return R"({"name": "x", )" + keys + "}";
}
std::string Moving(const std::string& trip) {
    return Tile(std::string(kSolid) + R"(, "moving": )" + trip);
}

const std::string kHazardOne = Tile(std::string(kSolid) + R"(, "hazard": 1)");
const std::string kHazardBodiless = Tile(R"("hazard": true)");
const std::string kSolidCheckpoint = Tile(std::string(kSolid) + R"(, "checkpoint": true)");
const std::string kBodilessCoin = Tile(R"("collectible": true)");
const std::string kCoinText = Tile(std::string(kSensor) + R"(, "collectible": "yes")");
const std::string kDynamicOneWay = Tile(R"("physics": {"type": "dynamic"}, "oneWay": true)");
const std::string kSensorOneWay = Tile(std::string(kSensor) + R"(, "oneWay": true)");
const std::string kMovingOneWay =
    Tile(std::string(kSolid) + R"(, "oneWay": true, "moving": {"dx": 1, "dy": 0, "period": 2})");
const std::string kReachedText =
    Tile(std::string(kSensor) + R"(, "checkpoint": true, "spriteReached": "5")");
const std::string kReachedAlone = Tile(std::string(kSensor) + R"(, "spriteReached": 5)");
const std::string kMovingBodiless = Tile(R"("moving": {"dx": 1, "dy": 0, "period": 2})");
const std::string kMovingText = Moving(R"("left")");
const std::string kMovingNoDx = Moving(R"({"dy": 0, "period": 2})");
const std::string kMovingNoDy = Moving(R"({"dx": 0, "period": 2})");
const std::string kMovingNoPeriod = Moving(R"({"dx": 0, "dy": 0})");
const std::string kMovingTextDx = Moving(R"({"dx": "3", "dy": 0, "period": 2})");
const std::string kMovingHugeDy = Moving(R"({"dx": 3, "dy": 1e39, "period": 2})");
const std::string kMovingStill = Moving(R"({"dx": 3, "dy": 0, "period": 0})");
const std::string kMovingBack = Moving(R"({"dx": 3, "dy": 0, "period": -1.5})");

INSTANTIATE_TEST_SUITE_P(
    TileBehaviours, LevelBuilderBadFile,
    ::testing::Values(
        BadFile{"tile7.json", kHazardOne.c_str(), R"("hazard" is not true or false)"},
        BadFile{"tile7.json", kHazardBodiless.c_str(), R"("hazard" needs "physics")"},
        BadFile{"tile7.json", kSolidCheckpoint.c_str(),
                R"("checkpoint" needs a sensor body: "physics" with "sensor": true)"},
        BadFile{"tile7.json", kBodilessCoin.c_str(),
                R"("collectible" needs a sensor body: "physics" with "sensor": true)"},
        BadFile{"tile7.json", kCoinText.c_str(), R"("collectible" is not true or false)"},
        BadFile{"tile7.json", kDynamicOneWay.c_str(),
                R"("oneWay" needs a solid static body: "physics" with "type": "static" and )"
                R"(no "sensor")"},
        BadFile{"tile7.json", kSensorOneWay.c_str(),
                R"("oneWay" needs a solid static body: "physics" with "type": "static" and )"
                R"(no "sensor")"},
        BadFile{"tile7.json", kMovingOneWay.c_str(),
                R"("oneWay" and "moving" cannot be combined: a one-way platform stands still)"},
        BadFile{"tile7.json", kReachedText.c_str(), R"("spriteReached" is not an integer)"},
        BadFile{"tile7.json", kReachedAlone.c_str(), R"("spriteReached" needs "checkpoint")"},
        BadFile{"tile7.json", kMovingBodiless.c_str(), R"("moving" needs "physics")"},
        BadFile{"tile7.json", kMovingText.c_str(), R"("moving" is not an object)"},
        BadFile{"tile7.json", kMovingNoDx.c_str(), R"("moving" has no "dx")"},
        BadFile{"tile7.json", kMovingNoDy.c_str(), R"("moving" has no "dy")"},
        BadFile{"tile7.json", kMovingNoPeriod.c_str(), R"("moving" has no "period")"},
        BadFile{"tile7.json", kMovingTextDx.c_str(), R"("moving"/"dx" is not a number)"},
        BadFile{"tile7.json", kMovingHugeDy.c_str(), R"("moving"/"dy" is out of range)"},
        BadFile{"tile7.json", kMovingStill.c_str(),
                R"("moving"/"period" is not more than 0 seconds)"},
        BadFile{"tile7.json", kMovingBack.c_str(),
                R"("moving"/"period" is not more than 0 seconds)"}));

const char* const kFoxParts = R"(, "sprite": 1, "animation": [1, 2, 3, 4, 5, 6], )";
std::string Fox(const std::string& feel) {
    return Player(kFoxParts + feel);
}

const std::string kFrictionLow = Tile(R"("physics": {"type": "static", "friction": -0.5})");
const std::string kFrictionText = Tile(R"("physics": {"type": "static", "friction": "high"})");
const std::string kWalkNumber = Fox(R"("walk": 180)");
const std::string kWalkNoSpeed = Fox(R"("walk": {"stop": 0.1})");
const std::string kWalkStill = Fox(R"("walk": {"speed": 0})");
const std::string kWalkBackwards = Fox(R"("walk": {"speed": 180, "stop": -1})");
const std::string kJumpNoTime = Fox(R"("jump": {"height": 76})");
const std::string kJumpTextTime = Fox(R"("jump": {"height": 76, "airTime": "short"})");
const std::string kJumpOverReleased =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "releasedHeight": 80})");
const std::string kJumpTooFast = Fox(R"("jump": {"height": 500, "airTime": 0.2})");
const std::string kJumpFallAll =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "fallTime": 0.75})");
const std::string kJumpFallFast =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "fallTime": 0.1})");
const std::string kJumpRiseFast =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "fallTime": 0.7})");
const std::string kJumpGraceLong =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "edgeGrace": 2})");
const std::string kJumpFreshOne =
    Fox(R"("jump": {"height": 76, "airTime": 0.75, "freshPress": 1})");
const std::string kFeetOne = Fox(R"("landOnFeet": 1)");
const std::string kFacingText = Fox(R"("faceLastWalk": "left")");
const std::string kFacingBlock = Tile(std::string(kSolid) + R"(, "faceLastWalk": true)");
const std::string kWalkingBlock = Tile(std::string(kSolid) + R"(, "walk": {"speed": 100})");

INSTANTIATE_TEST_SUITE_P(
    PlayFeel, LevelBuilderBadFile,
    ::testing::Values(
        BadFile{"tile7.json", kFrictionLow.c_str(),
                R"("physics"/"friction" is -0.5: it must be from 0 to 10)"},
        BadFile{"tile7.json", kFrictionText.c_str(), R"("physics"/"friction" is not a number)"},
        BadFile{"tile7.json", kWalkNumber.c_str(), R"("walk" is not an object)"},
        BadFile{"tile7.json", kWalkNoSpeed.c_str(), R"("walk" has no "speed")"},
        BadFile{"tile7.json", kWalkStill.c_str(),
                R"("walk"/"speed" is 0: it must be more than 0 and at most 600)"},
        BadFile{"tile7.json", kWalkBackwards.c_str(),
                R"("walk"/"stop" is -1: it must be from 0 to 5)"},
        BadFile{"tile7.json", kJumpNoTime.c_str(), R"("jump" has no "airTime")"},
        BadFile{"tile7.json", kJumpTextTime.c_str(), R"("jump"/"airTime" is not a number)"},
        BadFile{"tile7.json", kJumpOverReleased.c_str(),
                R"("jump"/"releasedHeight" is 80: it must be from 0 to 76)"},
        BadFile{"tile7.json", kJumpTooFast.c_str(),
                R"("jump" of height 500 in 0.2 s starts at 10000 units/s: the physics moves the )"
                R"(player at most 768 units/s (4 x height / airTime))"},
        BadFile{"tile7.json", kJumpFallAll.c_str(),
                R"("jump"/"fallTime" is 0.75: it must be more than 0 and less than 0.75)"},
        BadFile{"tile7.json", kJumpFallFast.c_str(),
                R"("jump" of height 76 in 0.75 s falling in 0.1 s lands at 1520 units/s: the )"
                R"(physics moves the player at most 768 units/s (2 x height / fallTime))"},
        BadFile{"tile7.json", kJumpRiseFast.c_str(),
                R"("jump" of height 76 in 0.75 s starts at 3040 units/s: the physics moves the )"
                R"(player at most 768 units/s (2 x height / (airTime - fallTime)))"},
        BadFile{"tile7.json", kJumpGraceLong.c_str(),
                R"("jump"/"edgeGrace" is 2: it must be from 0 to 1)"},
        BadFile{"tile7.json", kJumpFreshOne.c_str(), R"("freshPress" is not true or false)"},
        BadFile{"tile7.json", kFeetOne.c_str(), R"("landOnFeet" is not true or false)"},
        BadFile{"tile7.json", kFacingText.c_str(), R"("faceLastWalk" is not true or false)"},
        BadFile{"tile7.json", kFacingBlock.c_str(),
                R"("faceLastWalk" needs "characterController")"},
        BadFile{"tile7.json", kWalkingBlock.c_str(), R"("walk" needs "characterController")"},
        BadFile{"level1.json", R"({"name": "x", "camera": 3})", R"("camera" is not an object)"},
        BadFile{"level1.json", R"({"name": "x", "camera": {"lead": 500}})",
                R"("camera"/"lead" is 500: it must be from 0 to 200)"},
        BadFile{"level1.json", R"({"name": "x", "camera": {"ease": true}})",
                R"("camera"/"ease" is not a number)"}));

}  // namespace
