#include "levelcheck/WorldChecker.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kGround = R"({"name": "ground", "sprite": 1, "physics": {"type": "static"}})";
const char* const kGoal = R"({"name": "goal", "sprite": 2, "physics": {"type": "static",
                              "sensor": true}, "leveloverbox": true})";
const char* const kPlayer = R"({"name": "Player Character", "sprite": 10, "physics":
    {"type": "dynamic", "density": 2}, "characterController": true,
    "animation": [10, 11, 12, 13, 14, 15]})";

/// A level of world "w" with ground, player and goal, plus `extra` tile entries.
std::string Level(int id, const std::string& extra = "") {
    return R"({"id": )" + std::to_string(id) +
           R"(, "name": "level", "arrayOfTiles": [[[1, 0, 0], [1, 1, 0], [3, 0, 2], [2, 1, 1])" +
           extra + "]]}";
}

class WorldCheckerTest : public ::testing::Test {
protected:
    WorldCheckerTest() {
        folder.Write("tile1.json", kGround);
        folder.Write("tile2.json", kGoal);
        folder.Write("tile3.json", kPlayer);
    }

    /// Checks world "w" with an atlas holding sprites 1, 2 and 10 to 15; the problem lines.
    std::vector<std::string> Check() {
        checker.UseSpriteNames("atlas.json", {"1.png", "2.png", "10.png", "11.png", "12.png",
                                              "13.png", "14.png", "15.png"});
        checker.CheckLevels();
        std::vector<std::string> lines;
        for (const Problem& problem : checker.GetProblems()) lines.push_back(problem.ToString());
        return lines;
    }

    ScratchFolder folder;
    WorldChecker checker{"w"};
};

TEST_F(WorldCheckerTest, LevelsFollowTheGamesRuleFromEachIdUntilTheWorldWrapsAround) {
    folder.Write("w1.json", Level(1));
    folder.Write("w2.json", Level(4));
    folder.Write("w3.json", "not even JSON: never played, so never read");
    folder.Write("w5.json", Level(5));
    EXPECT_THAT(Check(), IsEmpty());
    EXPECT_THAT(checker.GetLevelFiles(), ElementsAre("w1.json", "w2.json", "w5.json"));
    EXPECT_EQ(checker.GetTileTypeCount(), 3u);
}

TEST_F(WorldCheckerTest, ALevelWhoseIdLeadsBackToAnEarlierLevelOtherThanTheFirstIsReported) {
    folder.Write("w1.json", Level(1));
    folder.Write("w2.json", Level(2));
    folder.Write("w3.json", Level(1));
    EXPECT_THAT(Check(), ElementsAre(R"(w3.json: "id" 1 is followed by w2.json again, so the )"
                                     R"(game never returns to w1.json)"));
    EXPECT_THAT(checker.GetLevelFiles(), ElementsAre("w1.json", "w2.json", "w3.json"));
}

TEST_F(WorldCheckerTest, AfterALevelWithoutReadableIdTheLevelsAreFollowedByFileNumber) {
    folder.Write("w1.json", R"({"id": "one", "name": "l", "arrayOfTiles": [[[3, 0, 2]]]})");
    folder.Write("w2.json", "{");
    folder.Write("w3.json", R"({"id": 3, "name": "l", "arrayOfTiles": [[[1, 0, 0], [7, 5, 5]]]})");
    EXPECT_THAT(Check(), ElementsAre(R"(w1.json: "id" is not an integer)",
                                     R"(w1.json: no goal: no tile has a type with "leveloverbox")",
                                     "w2.json:1:2: invalid JSON: Missing a name for object member.",
                                     "tile7.json: cannot be opened for reading"))
        << "a level using an unreadable tile file is not said to lack a player";
    EXPECT_THAT(checker.GetLevelFiles(), ElementsAre("w1.json", "w2.json", "w3.json"));
}

TEST_F(WorldCheckerTest, ATileFileUsedByManyLevelsIsReadAndReportedOnce) {
    folder.Write("tile4.json", R"({"name": "rock", "sprite": 42})");
    folder.Write("tile5.json", R"({"name": "rock"})");
    folder.Write("w1.json", Level(1, R"(, [4, 3, 3], [4, 4, 4], [5, 6, 6])"));
    folder.Write("w2.json", Level(2, R"(, [4, 3, 3], [5, 4, 4])"));
    EXPECT_THAT(Check(),
                ElementsAre(R"(tile4.json: "sprite" 42: the atlas atlas.json has no "42.png")"));
    EXPECT_EQ(checker.GetTileTypeCount(), 5u);
}

TEST_F(WorldCheckerTest, PlayerGoalAndCellsAreCheckedPerLevel) {
    folder.Write("tile6.json", R"({"name": "ghost", "sprite": 1, "characterController": 1})");
    folder.Write("w1.json", R"({"id": 1, "name": "l", "arrayOfTiles": [[[1, 0, 0], [6, 1, 0]],
                               [[1, 0, 0], [2, 3, 0]], [[1, 0, 0]]]})");
    folder.Write("w2.json", R"({"id": 2, "name": "l", "arrayOfTiles": [[[3, 0, 2]]]})");
    EXPECT_THAT(Check(),
                ElementsAre("w1.json: no player: no tile has a type with \"characterController\" "
                            "and \"physics\"",
                            R"(w1.json: "arrayOfTiles"[0][0] and "arrayOfTiles"[1][0] are both )"
                            "on column 0, row 0",
                            R"(w1.json: "arrayOfTiles"[0][0] and "arrayOfTiles"[2][0] are both )"
                            "on column 0, row 0",
                            R"(w2.json: no goal: no tile has a type with "leveloverbox")"));
}

TEST_F(WorldCheckerTest, StackedTilesAreAProblemOnlyWhenTwoOfThemHaveABody) {
    folder.Write("tile4.json", R"({"name": "flower", "sprite": 1})");
    // Ground (1) under a flower (4), two flowers and a flower under the goal (2) are fine; a
    // second ground tile, and the goal's sensor over the ground, are not.
    folder.Write("w1.json", R"({"id": 1, "name": "l", "arrayOfTiles": [
        [[1, 0, 0], [1, 1, 0], [3, 0, 2], [2, 1, 1], [1, 2, 0], [1, 3, 0]],
        [[4, 0, 0], [4, 1, 1], [4, 1, 1], [1, 2, 0], [2, 3, 0], [7, 0, 2]]]})");
    EXPECT_THAT(Check(),
                ElementsAre("tile7.json: cannot be opened for reading",
                            R"(w1.json: "arrayOfTiles"[0][4] and "arrayOfTiles"[1][3] are both )"
                            "on column 2, row 0",
                            R"(w1.json: "arrayOfTiles"[0][5] and "arrayOfTiles"[1][4] are both )"
                            "on column 3, row 0"))
        << "a tile whose file cannot be read is not said to collide";
}

TEST_F(WorldCheckerTest, AnimationReachedAndBackdropSpritesAreCheckedOnlyWhenTheAtlasIsKnown) {
    folder.Write("tile3.json", R"({"name": "p", "sprite": 10, "physics": {"type": "dynamic"},
        "characterController": 1, "animation": [10, 11, 12, 30, 14, 31]})");
    folder.Write("tile4.json", R"({"name": "flag", "sprite": 1, "checkpoint": true,
        "physics": {"type": "static", "sensor": true}, "spriteReached": 32})");
    std::string level = Level(1, R"(, [4, 5, 5])");
    level.insert(1,
                 R"("backdrop": [{"sprite": 2, "parallax": 0}, {"sprite": 33, "parallax": 1}], )");
    folder.Write("w1.json", level);
    EXPECT_THAT(Check(),
                ElementsAre(R"(w1.json: "backdrop"[1]/"sprite" 33: the atlas atlas.json has no )"
                            R"("33.png")",
                            R"(tile3.json: "animation"[3] 30: the atlas atlas.json has no )"
                            R"("30.png")",
                            R"(tile3.json: "animation"[5] 31: the atlas atlas.json has no )"
                            R"("31.png")",
                            R"(tile4.json: "spriteReached" 32: the atlas atlas.json has no )"
                            R"("32.png")"));

    WorldChecker withoutAtlas("w");
    withoutAtlas.CheckLevels();
    EXPECT_THAT(withoutAtlas.GetProblems(), IsEmpty());
}

TEST_F(WorldCheckerTest, AMissingFirstLevelIsReportedAndTheLevelsAfterItStillChecked) {
    folder.Write("w2.json", Level(2, R"(, [3, 0, 2])"));
    EXPECT_THAT(Check(), ElementsAre("w1.json: cannot be opened for reading",
                                     R"(w2.json: "arrayOfTiles"[0][2] and "arrayOfTiles"[0][4] )"
                                     "are both on column 0, row 2"));
}

}  // namespace
