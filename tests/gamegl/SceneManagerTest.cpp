// The scene manager as the player meets it: the built game run as a process on a private X
// server, with the test world "meadow" in its working directory.
#include "game/SceneManager.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "support/MapEdits.hpp"
#include "support/PlatformerProcess.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names
#include "support/ScratchFolder.hpp"

namespace {

using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;

const char* const kUnhandled = "Unhandled exception in Application: ";

class SceneManagerProcess : public ::testing::Test {
protected:
    SceneManagerProcess() { folder.CopyFrom(std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow"); }

    /// Starts the game with world "meadow" and atlas "blocks" and waits for its window.
    Window Start() {
        game.Write("meadow\nblocks\n");
        return x.WaitForWindow();
    }

    ScratchFolder folder;
    PrivateXServer x;
    Platformer game{folder.path, x.display};
};

TEST_F(SceneManagerProcess, TheWindowIs800By600AndEscapeEndsTheGameAtOnce) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    const XWindowAttributes attributes = x.Attributes(window);
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 600);
    ASSERT_FALSE(game.Ended()) << "the game runs until told to stop";

    ASSERT_TRUE(x.Xdotool("mousemove 400 300 key Escape"));
    // The console stays open and silent: only Escape can have ended the process.
    ASSERT_TRUE(game.EndsWithin()) << "Escape did not end the game";
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(game.Errors(), "");
}

TEST_F(SceneManagerProcess, ClosingTheWindowReturnsToTheConsolesFinalWait) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    x.RequestClose(window);
    EXPECT_TRUE(x.WaitUntilNoWindow()) << "the window did not close";
    EXPECT_TRUE(game.WaitsForInput()) << "the program must wait for a character";

    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(game.Errors(), "");
}

/// How many bytes of two window images differ.
std::size_t Differences(const std::string& a, const std::string& b) {
    std::size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) count += a[i] != b[i];
    return count;
}

TEST_F(SceneManagerProcess, ArrowKeysMoveThePlayer) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("mousemove 400 300"));
    // The player has landed and nothing moves without a key.
    const std::string standing = x.StillPixels(window);
    ASSERT_FALSE(standing.empty()) << "the picture never came to rest";

    // The view follows the walking player, so the whole level moves.
    constexpr std::size_t kWalked = 10000;
    ASSERT_TRUE(x.Xdotool("keydown Right"));
    std::size_t walked = 0;
    test_support::WaitUntil([&] {
        walked = Differences(x.Pixels(window), standing);
        return walked > kWalked;
    });
    ASSERT_TRUE(x.Xdotool("keyup Right"));
    EXPECT_GT(walked, kWalked);
    ASSERT_TRUE(x.Xdotool("key Escape"));
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
}

TEST_F(SceneManagerProcess, ABrokenNextLevelKeepsTheGameGoingUntilItIsMended) {
    // Level 1 drops the player straight onto the goal; level 2 cannot be read.
    const std::string drop = R"("arrayOfTiles": [[[1, 2, 0], [1, 3, 0], [1, 4, 0], [6, 3, 1],
                                                   [5, 3, 4]]]})";
    folder.Write("meadow1.json", R"({"id": 1, "name": "drop", )" + drop);
    folder.Write("meadow2.json", "{\"id\": 2, \"name\": \"second\"");
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    const std::string problem =
        "The next level was not loaded: meadow2.json:1:27: invalid JSON: Missing a comma or '}' "
        "after an object member.\n";
    EXPECT_TRUE(test_support::WaitUntil([&] {
        return game.ErrorsSoFar().find(problem) != std::string::npos;
    })) << game.ErrorsSoFar();
    EXPECT_FALSE(game.Ended()) << "the game goes on with the finished level";

    // Mended, the goal leads on to it; its own goal then meets level 3's problem.
    folder.Write("meadow2.json", R"({"id": 2, "name": "second", )" + drop);
    folder.Write("meadow3.json", "{");
    EXPECT_TRUE(test_support::WaitUntil([&] {
        return game.ErrorsSoFar().find("The next level was not loaded: meadow3.json:1:2: ") !=
               std::string::npos;
    })) << game.ErrorsSoFar();
    EXPECT_EQ(game.ErrorsSoFar().find(kUnhandled), std::string::npos);
    ASSERT_TRUE(x.Xdotool("key Escape"));
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
}

/// The rows (from the top) of the first and the last byte in which two window images of the
/// same size differ; {-1, -1} when they are the same.
std::pair<int, int> DifferingRows(const std::string& a, const std::string& b) {
    constexpr std::size_t kRows = 600;
    const std::size_t rowBytes = a.size() / kRows;
    std::pair<int, int> rows{-1, -1};
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] == b[i]) continue;
        const int row = static_cast<int>(i / rowBytes);
        if (rows.first < 0) rows.first = row;
        rows.second = row;
    }
    return rows;
}

/// Files of the meadow world saved while the game runs: the level in play is built again from
/// its files as they are now, by itself once they are saved, and on F5.
class ReloadProcess : public SceneManagerProcess {
protected:
    /// The top rows of the window, where a failed reload shows its problem over the level.
    static constexpr int kOverlayRows = 120;
    const std::string kLog = "The level was not reloaded: ";
    const std::string kSaved = "A file of the level in play was saved: reloading the level";

    /// Waits until the window has come to rest on a picture other than `shown`; empty when
    /// none came.
    std::string NextStillPicture(Window window, const std::string& shown) {
        for (auto deadline = std::chrono::steady_clock::now() + test_support::kPatience;
             std::chrono::steady_clock::now() < deadline;) {
            std::string now = x.StillPixels(window);
            if (!now.empty() && now != shown) return now;
        }
        return "";
    }
    /// Presses F5 and waits for the next still picture other than `shown`.
    std::string ReloadAndWait(Window window, const std::string& shown) {
        if (!x.Xdotool("key F5")) return "";
        return NextStillPicture(window, shown);
    }
    void SaveByRenaming(const std::string& fileName, const std::string& text) {
        test_support::SaveByRenaming(folder.path / fileName, text);
    }
    /// How many reloads the game has started because files were saved.
    std::size_t SavedReloads() {
        const std::string& errors = game.ErrorsSoFar();
        std::size_t count = 0;
        for (auto at = errors.find(kSaved); at != std::string::npos;
             at = errors.find(kSaved, at + 1)) {
            ++count;
        }
        return count;
    }
    /// Ends the game with Escape and returns what it wrote to its error stream.
    std::string EndGame() {
        if (!x.Xdotool("key Escape") || !game.EndsWithin()) return "(the game did not end)";
        EXPECT_EQ(game.ExitCode(), 0);
        return game.Errors();
    }
};

TEST_F(ReloadProcess, ASavedLevelFileShowsByItselfAndABrokenSaveLeavesTheLevelInPlay) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("mousemove 400 300"));
    const std::string first = x.StillPixels(window);
    ASSERT_FALSE(first.empty()) << "the picture never came to rest";

    // Two crates more, dropped onto the ground; written in place, as some editors do.
    const std::string level = R"({"id": 1, "name": "Meadow walk", "deathLevelInY": -100,
        "arrayOfTiles": [[[1, 0, 0], [1, 1, 0], [1, 2, 0], [1, 3, 0], [1, 4, 0], [1, 5, 0],
        [1, 6, 0], [1, 7, 0], [1, 8, 0], [1, 9, 0], [1, 10, 0]], [[5, 2, 3]],
        [[3, 4, 4], [3, 6, 4]]]})";
    folder.Write("meadow1.json", level);
    const std::string changed = NextStillPicture(window, first);
    ASSERT_FALSE(changed.empty()) << "the saved level was not shown";
    EXPECT_GT(Differences(changed, first), 10000u);

    SaveByRenaming("meadow1.json", "{\"id\": 1,\n  \"name\" \"Meadow walk\"}");
    const std::string broken = NextStillPicture(window, changed);
    ASSERT_FALSE(broken.empty()) << "no problem was shown";
    ASSERT_FALSE(game.Ended()) << "the game runs on";
    EXPECT_LT(DifferingRows(broken, changed).second, kOverlayRows)
        << "only the problem is shown over the level in play";

    // Mended, the level starts again and the problem goes.
    SaveByRenaming("meadow1.json", level);
    const std::string mended = NextStillPicture(window, broken);
    ASSERT_FALSE(mended.empty()) << "the mended file was not reloaded";
    EXPECT_EQ(Differences(mended, changed), 0u);

    EXPECT_EQ(SavedReloads(), 3u) << game.ErrorsSoFar();
    const std::string errors = EndGame();
    EXPECT_NE(errors.find(kLog + "meadow1.json:2:10: invalid JSON: Missing a colon after a name "
                                 "of object member.\n"),
              std::string::npos)
        << errors;
    EXPECT_EQ(errors.find(kLog), errors.rfind(kLog)) << "one broken save, one reload";
}

TEST_F(ReloadProcess, ABurstOfSavesOfATileFileReloadsTheLevelOnce) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("mousemove 400 300"));
    const std::string first = x.StillPixels(window);
    ASSERT_FALSE(first.empty()) << "the picture never came to rest";

    // An editor's save, several writes in quick succession, by renaming and in place; the
    // flower ends up showing the goal.
    const std::string flower = R"({"id": 7, "name": "Flower", "sprite": 7})";
    for (int write = 0; write < 4; ++write) {
        if (write % 2 == 0)
            SaveByRenaming("tile7.json", flower);
        else
            folder.Write("tile7.json", flower);
    }
    SaveByRenaming("tile7.json", R"({"id": 7, "name": "Flower", "sprite": 6})");
    const std::string changed = NextStillPicture(window, first);
    ASSERT_FALSE(changed.empty()) << "the saved tile was not shown";
    EXPECT_LT(Differences(changed, first), 10000u) << "only the flower looks new";

    // One later save of the level file: had the burst made more than one reload, they would
    // all come before this one's.
    std::ifstream levelStream(folder.path / "meadow1.json");
    SaveByRenaming("meadow1.json", {std::istreambuf_iterator<char>(levelStream), {}});
    EXPECT_TRUE(test_support::WaitUntil([&] { return SavedReloads() >= 2; }));
    EXPECT_EQ(SavedReloads(), 2u) << game.ErrorsSoFar();
    EXPECT_EQ(EndGame().find(kLog), std::string::npos);
}

TEST_F(ReloadProcess, SavedAtlasFilesAreLoadedAgain) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("mousemove 400 300"));
    const std::string first = x.StillPixels(window);
    ASSERT_FALSE(first.empty()) << "the picture never came to rest";
    const std::filesystem::path atlasFile = folder.path / "blocks.json";
    std::ifstream atlasStream(atlasFile);
    const std::string atlas{std::istreambuf_iterator<char>(atlasStream), {}};

    folder.Write("blocks.json", "{\"frames\": 3}");
    const std::string broken = NextStillPicture(window, first);
    ASSERT_FALSE(broken.empty()) << "no problem was shown";
    ASSERT_FALSE(game.Ended()) << "the game runs on";
    EXPECT_LT(DifferingRows(broken, first).second, kOverlayRows);

    // Sprite 1, the ground, now shows the picture of sprite 3, the crate.
    const std::string groundFrame = R"("filename": "1.png",
   "frame": {
    "x": 0,)";
    const std::size_t at = atlas.find(groundFrame);
    ASSERT_NE(at, std::string::npos);
    std::string crateGround = atlas;
    crateGround.replace(at, groundFrame.size(), R"("filename": "1.png", "frame": {"x": 42,)");
    SaveByRenaming("blocks.json", crateGround);
    const std::string reloaded = NextStillPicture(window, broken);
    ASSERT_FALSE(reloaded.empty()) << "the mended atlas was not loaded";
    EXPECT_GT(DifferingRows(reloaded, first).second, kOverlayRows) << "the ground looks new";
    EXPECT_GT(Differences(reloaded, first), 10000u);

    const std::string errors = EndGame();
    EXPECT_NE(errors.find(kLog + "blocks.json: the sprite atlas (with blocks.png) cannot be "
                                 "loaded\n"),
              std::string::npos)
        << errors;
}

TEST_F(ReloadProcess, F5StartsTheLevelInPlayAgainWithoutASave) {
    const Window window = Start();
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("mousemove 400 300"));
    const std::string first = x.StillPixels(window);
    ASSERT_FALSE(first.empty()) << "the picture never came to rest";

    ASSERT_TRUE(x.Xdotool("keydown Right"));
    test_support::WaitUntil([&] { return Differences(x.Pixels(window), first) > 10000u; });
    ASSERT_TRUE(x.Xdotool("keyup Right"));
    const std::string walked = NextStillPicture(window, first);
    ASSERT_FALSE(walked.empty()) << "the player did not walk";

    const std::string restarted = ReloadAndWait(window, walked);
    ASSERT_FALSE(restarted.empty()) << "F5 did not restart the level";
    EXPECT_EQ(Differences(restarted, first), 0u) << "the level as it started";
    EXPECT_EQ(SavedReloads(), 0u);
    EXPECT_EQ(EndGame(), "");
}

/// A file of the meadow world replaced by a broken one, and the message it must produce.
struct BrokenWorld {
    const char* fileName;
    const char* text;  // null: the file is removed
    const char* message;
    std::size_t openBrackets = 0;  // this many '[' follow the text
};

class BrokenWorldProcess : public SceneManagerProcess,
                           public ::testing::WithParamInterface<BrokenWorld> {};

void PrintTo(const BrokenWorld& broken, std::ostream* out) {
    *out << broken.fileName << ": " << broken.message;
}

TEST_P(BrokenWorldProcess, IsReportedOnceAndTheProgramEndsWithAFailure) {
    const BrokenWorld& broken = GetParam();
    std::filesystem::remove(folder.path / broken.fileName);
    if (broken.text != nullptr) {
        folder.Write(broken.fileName, broken.text + std::string(broken.openBrackets, '['));
    }

    game.Write("meadow\nblocks\n");
    EXPECT_TRUE(game.WaitsForInput()) << "the program must wait for a character";
    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 1) << "a world that cannot be played is no success";
    const std::string errors = game.Errors();
    const std::string expected = std::string(kUnhandled) + broken.message + "\n";
    ASSERT_GE(errors.size(), expected.size()) << errors;
    EXPECT_EQ(errors.substr(errors.size() - expected.size()), expected);
    EXPECT_EQ(errors.find(kUnhandled), errors.rfind(kUnhandled)) << "reported once";
    EXPECT_NE(game.Output().find("\nThe world could not start. Type any character and press "
                                 "Enter to end the program.\n"),
              std::string::npos)
        << "no plain word of what happened and how to end";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenWorldProcess,
    ::testing::Values(
        BrokenWorld{"tile7.json", R"({"name": "Flower", "physics": {"sensor": true}})",
                    R"(tile7.json: "physics" has no "type")"},
        BrokenWorld{"tile5.json", nullptr, "tile5.json: cannot be opened for reading"},
        BrokenWorld{"meadow1.json", R"({"id": 1, "arrayOfTiles": [[[1, 0, 0]]]})",
                    R"(meadow1.json: "name" is missing)"},
        BrokenWorld{"meadow1.json", R"({"name": "x", "arrayOfTiles": [[[1, 0]]]})",
                    R"(meadow1.json: "arrayOfTiles"[0][0] has fewer than three integers)"},
        BrokenWorld{"tile5.json",
                    R"({"name": "Player Character", "sprite": 10, "characterController": 1,
                        "physics": {"type": "dynamic"}, "animation": [10, 11]})",
                    R"(tile5.json: "animation" has 2 entries, at least 6 are needed)"},
        BrokenWorld{"blocks.json", "{\"frames\": 3}",
                    "blocks.json: the sprite atlas (with blocks.png) cannot be loaded"},
        // A million levels once overflowed the parser's stack.
        BrokenWorld{"meadow1.json", "",
                    "meadow1.json: too deeply nested (more than 64 levels of arrays and objects)",
                    1000000},
        BrokenWorld{"tile5.json", "{\"name\": ",
                    "tile5.json: too deeply nested (more than 64 levels of arrays and objects)",
                    1000000},
        BrokenWorld{"blocks.json", "{\"frames\": ",
                    "blocks.json: the sprite atlas (with blocks.png) cannot be loaded", 1000000}));

}  // namespace
