#include "levelgen/LevelMap.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::string errorOf(const std::string& text) {
    try {
        LevelMap::parse(text, "test.txt");
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(LevelMapTest, ReadsHeaderAndMapWithTheLastLineAsRowZero) {
    const LevelMap map = LevelMap::parse(
        "; a comment\n"
        "id: 4\n"
        "name:  Windy Hills \r\n"
        "death: -100\n"
        "map:\n"
        "  P\n"
        "####\n"
        "\n"
        "   \n",
        "test.txt");
    EXPECT_EQ(map.id(), 4);
    EXPECT_EQ(map.name(), "Windy Hills");
    ASSERT_TRUE(map.death().has_value());
    EXPECT_EQ(*map.death(), -100);
    EXPECT_EQ(map.rows(), 2) << "trailing blank lines are dropped";
    EXPECT_EQ(map.columns(), 4);
    EXPECT_EQ(map.at(2, 1), 'P');
    EXPECT_EQ(map.at(3, 0), '#');
    EXPECT_EQ(map.at(3, 1), ' ') << "short lines read as empty on the right";
    EXPECT_EQ(map.at(-1, 0), ' ');
    EXPECT_EQ(map.at(0, 2), ' ');
}

TEST(LevelMapTest, DeathLineIsOptional) {
    const LevelMap map = LevelMap::parse("id: 1\nname: A\nmap:\n#\n", "t");
    EXPECT_FALSE(map.death().has_value());
}

TEST(LevelMapTest, BadHeadersNameTheFileAndLine) {
    EXPECT_EQ(errorOf("name: A\nmap:\n#\n"), "test.txt: the level has no \"id\"");
    EXPECT_EQ(errorOf("id: 1\nmap:\n#\n"), "test.txt: the level has no \"name\"");
    EXPECT_EQ(errorOf("id: 1\nname: A\n"),
              "test.txt: the level has no map (a \"map:\" line and rows)");
    EXPECT_EQ(errorOf("id: 1\nname: A\nmap:\n\n"),
              "test.txt: the level has no map (a \"map:\" line and rows)");
    EXPECT_EQ(errorOf("id: one\nname: A\nmap:\n#\n"), "test.txt:1: \"one\" is not a whole number");
    EXPECT_EQ(errorOf("id: 1x\nname: A\nmap:\n#\n"), "test.txt:1: \"1x\" is not a whole number");
    EXPECT_EQ(errorOf("id: 1\nid: 2\nname: A\nmap:\n#\n"),
              "test.txt:2: unexpected, repeated or empty \"id\"");
    EXPECT_EQ(errorOf("id: 1\ncolour: red\n"),
              "test.txt:2: unexpected, repeated or empty \"colour\"");
    EXPECT_EQ(errorOf("id: 1\njust text\n"),
              "test.txt:2: expected \"key: value\", got \"just text\"");
}
