// The loop a world builder works in: Tiled saves the map, levelimport --watch imports it, and
// the game, open on that level, shows it by itself. All three run as the builder runs them, in
// a copy of the default world with its Tiled example.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "support/MapEdits.hpp"
#include "support/PlatformerProcess.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names
#include "support/ScratchFolder.hpp"
#include "support/WatchingImporter.hpp"

namespace {

using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;
using test_support::ReadWhole;
using test_support::SaveByRenaming;
using test_support::WatchingImporter;
using test_support::WithTilesSwapped;

const char* const kMap = "tiled/level1.tmx";
const char* const kImported = "1level1.json: level 1 with ";
const char* const kSaved = "A file of the level in play was saved: reloading the level";

/// Pixels (of four bytes) in which two window images differ.
std::size_t DifferentPixels(const std::string& a, const std::string& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 3 < std::min(a.size(), b.size()); i += 4) {
        count += a.compare(i, 4, b, i, 4) != 0;
    }
    return count;
}

/// The default world in a scratch folder, its level 1 map under `levelimport --watch`, and the
/// game playing level 1 in a private X server, its picture at rest in `playing`.
class TiledLoop : public ::testing::Test {
protected:
    void SetUp() override {
        folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
        importer.emplace(ORKA_LEVELIMPORT_PATH, folder.path, kMap, "1level1.json");
        ASSERT_TRUE(importer->WaitForLine(kImported, 1, true)) << importer->Output();
        game.emplace(folder.path, x.display);
        game->Write("1\n");
        window = x.WaitForWindow();
        ASSERT_NE(window, 0u) << "no window";
        ASSERT_TRUE(x.Xdotool("mousemove 1000 700"));
        playing = x.StillPixels(window);
        ASSERT_FALSE(playing.empty()) << "the picture never came to rest";
    }

    // Torn down in reverse: the game, the X server, the importer, then the folder.
    ScratchFolder folder;
    std::optional<WatchingImporter> importer;
    PrivateXServer x;
    std::optional<Platformer> game;
    Window window = 0;
    std::string playing;
};

TEST_F(TiledLoop, AMapSavedInTiledShowsInTheRunningGameByItself) {
    // Two decorations on the ground near the start become another kind; saved as Tiled saves.
    const std::string map = ReadWhole(folder.path / kMap);
    const std::string changed = WithTilesSwapped(map, "63", "68");
    ASSERT_NE(changed, map);
    SaveByRenaming(folder.path / kMap, changed);
    ASSERT_TRUE(importer->WaitForLine(kImported, 2, true)) << importer->Output();

    std::string shown;
    test_support::WaitUntil([&] {
        shown = x.StillPixels(window);
        return !shown.empty() && shown != playing;
    });
    ASSERT_TRUE(!shown.empty() && shown != playing) << "the new tile never showed\n"
                                                    << game->ErrorsSoFar();
    // One tile's sprite is a few hundred pixels at the game's zoom; no more than a few tiles
    // of the view change.
    const std::size_t changedPixels = DifferentPixels(shown, playing);
    EXPECT_GT(changedPixels, 100u);
    EXPECT_LT(changedPixels, 20000u);
    EXPECT_NE(game->ErrorsSoFar().find(kSaved), std::string::npos) << game->ErrorsSoFar();
    EXPECT_EQ(game->ErrorsSoFar().find("ERR!"), std::string::npos) << game->ErrorsSoFar();
    EXPECT_EQ(importer->Interrupt(), 0);
}

// A save that does not import shows in the game as a broken level file does, headed with the
// map's name, without restarting the level in play, until a save imports; a watcher killed
// outright leaves nothing shown.
TEST_F(TiledLoop, ASaveThatDoesNotImportShowsInTheGameUntilOneDoes) {
    const std::string map = ReadWhole(folder.path / kMap);
    std::string isometric = map;
    const std::size_t orientation = isometric.find("\"orthogonal\"");
    ASSERT_NE(orientation, std::string::npos);
    isometric.replace(orientation, 12, "\"isometric\"");
    const std::string told =
        "The map tiled/level1.tmx was not imported: tiled/level1.tmx: the map "
        "is \"isometric\", not orthogonal";
    const auto shows = [&](const std::string& log, bool panel) {
        return test_support::WaitUntil([&] {
            const std::string shown = x.StillPixels(window);
            return game->ErrorsSoFar().find(log) != std::string::npos && !shown.empty() &&
                   (shown != playing) == panel;
        });
    };

    SaveByRenaming(folder.path / kMap, isometric);
    EXPECT_TRUE(shows(told, true)) << game->ErrorsSoFar();
    // Nothing the level is read from changed: the level in play goes on, not restarted.
    EXPECT_EQ(game->ErrorsSoFar().find(kSaved), std::string::npos) << game->ErrorsSoFar();
    SaveByRenaming(folder.path / kMap, map);
    ASSERT_TRUE(importer->WaitForLine(kImported, 2, true)) << importer->Output();
    EXPECT_TRUE(shows(kSaved, false)) << "the problem stayed after a save that imported";

    SaveByRenaming(folder.path / kMap, isometric);
    ASSERT_TRUE(importer->WaitForLine("tiled/level1.tmx: 1 problem, 1level1.json not written", 2))
        << importer->Output();
    ASSERT_TRUE(shows(told, true)) << game->ErrorsSoFar();
    importer->Kill();
    EXPECT_TRUE(shows("its problem is no longer shown", false)) << game->ErrorsSoFar();
}

}  // namespace
