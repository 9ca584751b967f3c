#include "game/LevelReader.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;
using ::testing::ElementsAre;

/// The problems as "file: text" lines.
std::vector<std::string> Lines(const std::vector<Problem>& problems) {
    std::vector<std::string> lines;
    for (const Problem& problem : problems) lines.push_back(problem.ToString());
    return lines;
}

class LevelReaderTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::vector<Problem> problems;
};

TEST_F(LevelReaderTest, EveryProblemOfATileFileIsReportedInReadingOrder) {
    folder.Write("tile4.json", R"({"id": "4", "sprite": "12",
        "physics": {"sensor": 1, "density": -2}, "characterController": true,
        "animation": [1, 2, "3", 4, 5.5]})");
    const TileTypeDescription tile = LevelReader::ReadTileFile("tile4.json", problems);
    EXPECT_THAT(
        Lines(problems),
        ElementsAre(R"(tile4.json: "id" is not an integer)", R"(tile4.json: "name" is missing)",
                    R"(tile4.json: "sprite" is not an integer)",
                    R"(tile4.json: "physics" has no "type")",
                    R"(tile4.json: "physics"/"density" is negative)",
                    R"(tile4.json: "animation" has 5 entries, at least 6 are needed)",
                    R"(tile4.json: "animation"[2] is not an integer)",
                    R"(tile4.json: "animation"[4] is not an integer)"))
        << "a sprite of the wrong type is not reported as missing as well, and a sensor that "
           "is not true is no problem";
    EXPECT_TRUE(tile.read);
    EXPECT_TRUE(tile.IsPlayer()) << "what could be read is kept";
    EXPECT_FALSE(tile.physics->sensor) << "only the JSON literal true makes a sensor";
    EXPECT_THAT(tile.animation, ElementsAre(1, 2, 4));
}

TEST_F(LevelReaderTest, APlayerWithoutSpriteOrAnimationAndAGoalWithoutBodyAreReported) {
    folder.Write("tile1.json", R"({"name": "p", "characterController": 0,
                                   "physics": {"type": "dynamic"}})");
    folder.Write("tile2.json", R"({"name": "g", "leveloverbox": 0, "physics": 3})");
    folder.Write("tile3.json", R"({"name": "ghost", "characterController": 0, "animation": 1})");
    LevelReader::ReadTileFile("tile1.json", problems);
    const TileTypeDescription goal = LevelReader::ReadTileFile("tile2.json", problems);
    const TileTypeDescription ghost = LevelReader::ReadTileFile("tile3.json", problems);
    EXPECT_THAT(Lines(problems),
                ElementsAre(R"(tile1.json: "characterController" needs "sprite")",
                            R"(tile1.json: "characterController" needs "animation")",
                            R"(tile2.json: "physics" is not an object)"))
        << "a bodiless player is no player, so its animation is not read";
    EXPECT_TRUE(goal.levelOverBox);
    EXPECT_FALSE(ghost.IsPlayer());
}

TEST_F(LevelReaderTest, BadTileEntriesAreReportedAndTheOthersKeptWithTheirPlace) {
    folder.Write("w1.json", R"({"id": 2.5, "name": "w", "deathLevelInY": "low",
        "arrayOfTiles": [[[1, 0, 0], [1, 2], [2, 5, 3]], 7, [[3, "4", 2], [4, 1, 1, 9]]]})");
    const LevelDescription level = LevelReader::ReadLevelFile("w1.json", problems);
    EXPECT_THAT(Lines(problems),
                ElementsAre(R"(w1.json: "id" is not an integer)",
                            R"(w1.json: "deathLevelInY" is not a number)",
                            R"(w1.json: "arrayOfTiles"[0][1] has fewer than three integers)",
                            R"(w1.json: "arrayOfTiles"[1] is not an array of tile entries)",
                            R"(w1.json: "arrayOfTiles"[2][0] holds a value that is not a )"
                            R"(32-bit integer)"));
    EXPECT_FALSE(level.id.has_value()) << "an id that cannot be read is unknown, not 0";
    ASSERT_EQ(level.entries.size(), 3u);
    EXPECT_EQ(level.entries[1].type, 2);
    EXPECT_EQ(level.entries[1].column, 5);
    EXPECT_EQ(level.entries[1].row, 3);
    EXPECT_EQ(level.entries[1].entryIndex, 2u);
    EXPECT_EQ(level.entries[2].rowIndex, 2u);
    EXPECT_EQ(level.entries[2].entryIndex, 1u);
}

TEST_F(LevelReaderTest, AFileThatCannotBeReadIsOneProblemAndNothingElse) {
    // The line and column of a syntax error count lines and characters, not bytes.
    folder.Write("w1.json", "{\"name\": \"w\",\r\n \"\xC3\xA4\xC3\xB6\xC3\xBC\": 1, \"id\" 1}");
    folder.Write("w2.json", "[]");
    const LevelDescription broken = LevelReader::ReadLevelFile("w1.json", problems);
    const LevelDescription array = LevelReader::ReadLevelFile("w2.json", problems);
    const LevelDescription missing = LevelReader::ReadLevelFile("w3.json", problems);
    const TileTypeDescription tile = LevelReader::ReadTileFile("tile5.json", problems);
    EXPECT_THAT(Lines(problems),
                ElementsAre("w1.json:2:17: invalid JSON: Missing a colon after a name of "
                            "object member.",
                            "w2.json: the top level is not a JSON object",
                            "w3.json: cannot be opened for reading",
                            "tile5.json: cannot be opened for reading"));
    EXPECT_FALSE(broken.read);
    EXPECT_FALSE(array.read);
    EXPECT_FALSE(missing.read);
    EXPECT_FALSE(tile.read);
    EXPECT_FALSE(missing.id.has_value());
}

TEST_F(LevelReaderTest, ADeathLevelBeyondFloatRangeAndAFolderAreProblemsNotCrashes) {
    folder.Write("w1.json", R"({"name": "w", "deathLevelInY": -1e300})");
    folder.Write("w2.json", R"({"name": "w", "deathLevelInY": -3.4e38})");
    const LevelDescription far = LevelReader::ReadLevelFile("w1.json", problems);
    const LevelDescription low = LevelReader::ReadLevelFile("w2.json", problems);
    LevelReader::ReadLevelFile(folder.path.string(), problems);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].ToString(), R"(w1.json: "deathLevelInY" is out of range)");
    EXPECT_EQ(problems[1].text, "cannot be read");
    EXPECT_EQ(far.deathLevelInY, 0.0f);
    EXPECT_EQ(low.deathLevelInY, -3.4e38f) << "the float limit itself is kept";
}

TEST_F(LevelReaderTest, TextInMemoryReadsLikeTheFileAndKeepsTheFilesErrorOffsets) {
    const std::string text("{\"name\": \"w\", \"arrayOfTiles\": [[[1, 2, 3]]]}\0junk", 50);
    folder.Write("w1.json", text);
    const LevelDescription fromFile = LevelReader::ReadLevelFile("w1.json", problems);
    const LevelDescription fromText = LevelReader::ReadLevelText("w1.json", text, problems);
    EXPECT_TRUE(problems.empty()) << "a NUL byte ends the text, as it always did";
    EXPECT_EQ(fromText.name, fromFile.name);
    ASSERT_EQ(fromText.entries.size(), 1u);
    EXPECT_EQ(fromText.entries[0].row, 3);

    LevelReader::ReadTileText("tile1.json", "\xEF\xBB\xBF{\"name\": \"t\"}", problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].ToString(), "tile1.json:1:1: invalid JSON: Invalid value.")
        << "a byte-order mark is not skipped";
}

TEST_F(LevelReaderTest, ASoundFileHasNoProblemAndAMissingIdIsZero) {
    folder.Write("w1.json", R"({"name": "w", "arrayOfTiles": [[[1, -3, 2]]]})");
    const LevelDescription level = LevelReader::ReadLevelFile("w1.json", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(level.id, 0);
    EXPECT_EQ(level.name, "w");
    ASSERT_EQ(level.entries.size(), 1u);
    EXPECT_EQ(level.entries[0].column, -3);
    EXPECT_EQ(LevelReader::TileFileName(12), "tile12.json");
    EXPECT_EQ(LevelReader::SpriteName(12), "12.png");
}

}  // namespace
