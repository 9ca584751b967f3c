#include "levelgen/TileCatalog.hpp"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <set>
#include <stdexcept>

#include "atlasgen/SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

TEST(TileCatalogTest, EveryTypeShowsItsOwnSpriteNumberAndThatSpriteIsDrawn) {
    std::set<int> drawn;
    for (const SpriteArt& sprite : allSprites()) drawn.insert(sprite.number);
    std::set<int> ids;
    for (const TileType& type : TileCatalog::all()) {
        EXPECT_TRUE(ids.insert(type.id).second) << "repeated id " << type.id;
        EXPECT_EQ(type.sprite, type.id);
        EXPECT_EQ(drawn.count(type.sprite), 1u) << "no art for sprite " << type.sprite;
        for (int frame : type.animation) EXPECT_EQ(drawn.count(frame), 1u) << frame;
        if (type.spriteReached != 0) {
            EXPECT_EQ(drawn.count(type.spriteReached), 1u) << type.id;
        }
    }
}

TEST(TileCatalogTest, FilesAreValidTileTypes) {
    for (const TileType& type : TileCatalog::all()) {
        rapidjson::Document doc;
        const std::string text = TileCatalog::toJson(type);
        doc.Parse(text.c_str());
        ASSERT_FALSE(doc.HasParseError()) << text;
        EXPECT_EQ(doc["id"].GetInt(), type.id);
        EXPECT_TRUE(doc["name"].IsString());
        EXPECT_EQ(doc["sprite"].GetInt(), type.sprite);
        EXPECT_EQ(doc.HasMember("physics"), type.body != TileType::Body::None) << text;
        if (doc.HasMember("physics")) {
            EXPECT_TRUE(doc["physics"]["type"].IsString()) << text;
        }
        EXPECT_EQ(TileCatalog::fileName(type), "tile" + std::to_string(type.id) + ".json");
    }
}

TEST(TileCatalogTest, PlayerGoalAndCrateHaveTheirRoles) {
    rapidjson::Document player;
    player.Parse(TileCatalog::toJson(TileCatalog::byId(sprites::playerIdle)).c_str());
    EXPECT_STREQ(player["name"].GetString(), "Player Character");
    EXPECT_TRUE(player.HasMember("characterController"));
    EXPECT_STREQ(player["physics"]["type"].GetString(), "dynamic");
    EXPECT_EQ(player["physics"]["density"].GetInt(), 2);
    ASSERT_EQ(player["animation"].Size(), 6u);
    EXPECT_EQ(player["animation"][0].GetInt(), sprites::playerIdle);
    EXPECT_EQ(player["animation"][5].GetInt(), sprites::playerFall);

    rapidjson::Document goal;
    goal.Parse(TileCatalog::toJson(TileCatalog::byId(sprites::goal)).c_str());
    EXPECT_TRUE(goal.HasMember("leveloverbox"));
    EXPECT_STREQ(goal["physics"]["type"].GetString(), "static");
    EXPECT_TRUE(goal["physics"]["sensor"].IsTrue());

    rapidjson::Document crate;
    crate.Parse(TileCatalog::toJson(TileCatalog::byId(sprites::crate)).c_str());
    EXPECT_STREQ(crate["physics"]["type"].GetString(), "dynamic");
    EXPECT_GT(crate["physics"]["density"].GetInt(), 0);
    EXPECT_FALSE(crate.HasMember("leveloverbox"));

    rapidjson::Document cloud;
    cloud.Parse(TileCatalog::toJson(TileCatalog::byId(sprites::cloudLarge)).c_str());
    EXPECT_FALSE(cloud.HasMember("physics")) << "decorations have no body";

    EXPECT_THROW(TileCatalog::byId(999), std::out_of_range);
}

// Each behaviour with the body the game needs for it: a hazard has one, a checkpoint and a coin
// are sensors, a one-way bridge is static, a lift kinematic with a whole path.
TEST(TileCatalogTest, BehavioursComeWithTheBodiesTheyNeed) {
    const auto doc = [](int id) {
        rapidjson::Document d;
        d.Parse(TileCatalog::toJson(TileCatalog::byId(id)).c_str());
        return d;
    };
    const rapidjson::Document spikes = doc(sprites::spikes);
    EXPECT_TRUE(spikes["hazard"].IsTrue());
    EXPECT_STREQ(spikes["physics"]["type"].GetString(), "static");

    for (int sensor : {sprites::checkpoint, sprites::coin}) {
        const rapidjson::Document d = doc(sensor);
        EXPECT_STREQ(d["physics"]["type"].GetString(), "static") << sensor;
        EXPECT_TRUE(d["physics"]["sensor"].IsTrue()) << sensor;
    }
    const rapidjson::Document checkpoint = doc(sprites::checkpoint);
    EXPECT_TRUE(checkpoint["checkpoint"].IsTrue());
    EXPECT_EQ(checkpoint["spriteReached"].GetInt(), sprites::checkpointReached);
    EXPECT_TRUE(doc(sprites::coin)["collectible"].IsTrue());

    const rapidjson::Document bridge = doc(sprites::woodenBridge);
    EXPECT_TRUE(bridge["oneWay"].IsTrue());
    EXPECT_STREQ(bridge["physics"]["type"].GetString(), "static");
    EXPECT_FALSE(bridge["physics"].HasMember("sensor"));

    const rapidjson::Document lift = doc(sprites::movingPlatform);
    EXPECT_STREQ(lift["physics"]["type"].GetString(), "kinematic");
    ASSERT_TRUE(lift["moving"].IsObject());
    EXPECT_TRUE(lift["moving"]["dx"].IsNumber());
    EXPECT_TRUE(lift["moving"]["dy"].IsNumber());
    EXPECT_GT(lift["moving"]["period"].GetDouble(), 0.0);

    const rapidjson::Document crate = doc(sprites::crate);
    for (const char* key : {"hazard", "checkpoint", "collectible", "oneWay", "moving"}) {
        EXPECT_FALSE(crate.HasMember(key)) << key << " only where a tile does it";
    }
}
