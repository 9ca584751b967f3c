#include "levelgen/LevelConverter.hpp"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <stdexcept>
#include <vector>

#include "common/SpriteNumbers.hpp"

using sprites::GroundRow;
using sprites::GroundSide;

namespace {

LevelMap mapOf(const std::string& rows, const std::string& header = "id: 1\nname: Test\n") {
    return LevelMap::parse(header + "map:\n" + rows, "test.txt");
}

std::string errorOf(const std::string& rows, const std::string& header = "id: 1\nname: T\n") {
    try {
        LevelConverter::tiles(mapOf(rows, header), "test.txt");
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(LevelConverterTest, GroundGetsGrassOnTopEdgesOnOpenSidesAndFadesAtTheBottom) {
    const LevelMap map = mapOf(
        " #   \n"
        "###  \n"
        "### #\n");
    auto type = [&map](int c, int r) { return LevelConverter::tileTypeAt(map, c, r); };
    EXPECT_EQ(type(1, 2), sprites::ground(GroundRow::GrassTop, GroundSide::Both));
    EXPECT_EQ(type(0, 1), sprites::ground(GroundRow::GrassTop, GroundSide::Left));
    EXPECT_EQ(type(1, 1), sprites::ground(GroundRow::Dirt, GroundSide::Inner));
    EXPECT_EQ(type(2, 1), sprites::ground(GroundRow::GrassTop, GroundSide::Right));
    EXPECT_EQ(type(0, 0), sprites::ground(GroundRow::Bottom, GroundSide::Left));
    EXPECT_EQ(type(1, 0), sprites::ground(GroundRow::Bottom, GroundSide::Inner));
    EXPECT_EQ(type(2, 0), sprites::ground(GroundRow::Bottom, GroundSide::Right));
    EXPECT_EQ(type(4, 0), sprites::ground(GroundRow::GrassBottom, GroundSide::Both));
    EXPECT_EQ(type(3, 0), 0);
}

TEST(LevelConverterTest, PlatformsGetEndsWhereTheRunStops) {
    const LevelMap map = mapOf("=== = ==\n");
    auto type = [&map](int c) { return LevelConverter::tileTypeAt(map, c, 0); };
    EXPECT_EQ(type(0), sprites::platformLeft);
    EXPECT_EQ(type(1), sprites::platformMiddle);
    EXPECT_EQ(type(2), sprites::platformRight);
    EXPECT_EQ(type(4), sprites::platformSingle);
    EXPECT_EQ(type(6), sprites::platformLeft);
    EXPECT_EQ(type(7), sprites::platformRight);
}

TEST(LevelConverterTest, LegendCharactersMapToTheirTiles) {
    const LevelMap map = mapOf("SCGPckwfFbr>mT*MHL^!o-~.\n");
    const std::vector<int> expected = {
        sprites::stoneBlock, sprites::crate,        sprites::goal,           sprites::playerIdle,
        sprites::cloudLarge, sprites::cloudSmall,   sprites::grassTuft,      sprites::flowerRed,
        sprites::flowerBlue, sprites::bush,         sprites::rock,           sprites::signArrow,
        sprites::mushroom,   sprites::tree,         sprites::star,           sprites::moon,
        sprites::fence,      sprites::lantern,      sprites::spikes,         sprites::checkpoint,
        sprites::coin,       sprites::woodenBridge, sprites::movingPlatform, 0};
    for (int c = 0; c < static_cast<int>(expected.size()); ++c) {
        EXPECT_EQ(LevelConverter::tileTypeAt(map, c, 0), expected[c]) << "column " << c;
    }
}

TEST(LevelConverterTest, EntriesComeRowByRowFromTheTop) {
    const auto groups = LevelConverter::tiles(mapOf(" P  G\n#####\n"), "test.txt");
    ASSERT_EQ(groups.size(), 3u);
    ASSERT_EQ(groups[0].size(), 1u) << "the goal on the fox's row, drawn behind it";
    EXPECT_EQ(groups[0][0].type, sprites::goal);
    ASSERT_EQ(groups[1].size(), 1u);
    EXPECT_EQ(groups[1][0].type, sprites::playerIdle);
    EXPECT_EQ(groups[1][0].column, 1);
    EXPECT_EQ(groups[1][0].row, 1);
    EXPECT_EQ(groups[2].size(), 5u);
    EXPECT_EQ(groups[2][4].row, 0);
}

TEST(LevelConverterTest, WhatTheFoxPassesInFrontOfOnItsRowComesBeforeIt) {
    const auto groups = LevelConverter::tiles(mapOf("P wo!S^CG\n#########\n"), "test.txt");
    ASSERT_EQ(groups.size(), 3u);
    std::vector<int> behind;
    for (const TileEntry& e : groups[0]) behind.push_back(e.type);
    EXPECT_EQ(behind, (std::vector<int>{sprites::grassTuft, sprites::coin, sprites::checkpoint,
                                        sprites::goal}));
    std::vector<int> withTheFox;
    for (const TileEntry& e : groups[1]) withTheFox.push_back(e.type);
    EXPECT_EQ(withTheFox, (std::vector<int>{sprites::playerIdle, sprites::stoneBlock,
                                            sprites::spikes, sprites::crate}))
        << "solid tiles keep their place";
}

TEST(LevelConverterTest, BadMapsAreRefusedWithTheReason) {
    EXPECT_EQ(errorOf("P G\n#x#\n"), "test.txt: map: column 1, row 0: unknown character 'x'");
    EXPECT_EQ(errorOf("  G\n###\n"), "test.txt: a level needs exactly one player 'P', found 0");
    EXPECT_EQ(errorOf("PPG\n###\n"), "test.txt: a level needs exactly one player 'P', found 2");
    EXPECT_EQ(errorOf("P  \n###\n"), "test.txt: the level has no goal 'G'");
    EXPECT_EQ(errorOf("PG\n##\n", "id: 1\nname: T\ndeath: -10\n"),
              "test.txt: the death line -10 is not below the lowest row of tiles");
}

TEST(LevelConverterTest, JsonHasTheLevelFormat) {
    const std::string text =
        LevelConverter::toJson(mapOf("P\n#G\n##\n", "id: 3\nname: Say \"hi\" \\ bye\n"), "t");
    rapidjson::Document doc;
    doc.Parse(text.c_str());
    ASSERT_FALSE(doc.HasParseError()) << text;
    EXPECT_EQ(doc["id"].GetInt(), 3);
    EXPECT_STREQ(doc["name"].GetString(), "Say \"hi\" \\ bye");
    EXPECT_EQ(doc["deathLevelInY"].GetInt(), -LevelConverter::deathMarginRows * 21);
    const auto& backdrop = doc["backdrop"];
    ASSERT_EQ(backdrop.Size(), 3u) << "sky, stars and hills, far to near";
    EXPECT_EQ(backdrop[0]["sprite"].GetInt(), sprites::backdropSky);
    EXPECT_EQ(backdrop[0]["parallax"].GetDouble(), 0.0);
    EXPECT_EQ(backdrop[2]["sprite"].GetInt(), sprites::backdropHills);
    EXPECT_LT(backdrop[1]["parallax"].GetDouble(), backdrop[2]["parallax"].GetDouble())
        << "the nearer layer moves more";
    const auto& rows = doc["arrayOfTiles"];
    ASSERT_EQ(rows.Size(), 3u);
    const auto& player = rows[0][0];
    EXPECT_EQ(player[0].GetInt(), sprites::playerIdle);
    EXPECT_EQ(player[1].GetInt(), 0);
    EXPECT_EQ(player[2].GetInt(), 2);
    EXPECT_EQ(rows[1].Size(), 2u);
}
