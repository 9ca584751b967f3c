// Saves noticed by the watch's own thread: what a game that looks once a frame relies on.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "filewatch/BackgroundSaveWatch.hpp"
#include "filewatch/SaveWatch.hpp"
#include "support/Patience.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using filewatch::BackgroundSaveWatch;
using game::test::ScratchFolder;

constexpr std::chrono::milliseconds kSettle(25);

// Looks as a game's frame loop would until a burst has settled; the thread has noticed it.
std::vector<std::string> NextSettledBurst(BackgroundSaveWatch& watch) {
    std::vector<std::string> saved;
    test_support::WaitUntil([&] {
        saved = watch.TakeSettledFiles(BackgroundSaveWatch::Clock::now());
        return !saved.empty();
    });
    return saved;
}

TEST(BackgroundSaveWatch, ASettledBurstNamesTheWatchedFilesSavedOnce) {
    ScratchFolder folder;
    const std::string level = (folder.path / "1level1.json").string();
    const std::string tiles = (folder.path / "tile1.json").string();
    BackgroundSaveWatch watch(kSettle);
    ASSERT_TRUE(watch.Ready()) << watch.Error();
    watch.WatchOnly({level, tiles});

    folder.Write("1level1.json", "{}");
    folder.Write("tile1.json", "{}");
    folder.Write("unwatched.json", "{}");

    EXPECT_EQ(NextSettledBurst(watch), (std::vector<std::string>{level, tiles}));
    EXPECT_TRUE(watch.TakeSettledFiles(BackgroundSaveWatch::Clock::now()).empty())
        << "a burst is reported once";
}

TEST(BackgroundSaveWatch, AFileNoLongerWatchedIsNotReported) {
    ScratchFolder folder;
    const std::string level = (folder.path / "1level1.json").string();
    const std::string problem = level + ".problem";
    BackgroundSaveWatch watch(kSettle);
    ASSERT_TRUE(watch.Ready()) << watch.Error();
    watch.WatchOnly({level, problem});
    watch.WatchOnly({problem});

    folder.Write("1level1.json", "{}");
    folder.Write("1level1.json.problem", "levelimport problem\n");
    EXPECT_EQ(NextSettledBurst(watch), std::vector<std::string>{problem});
}

// An editor that rewrites a file in place truncates it first: a burst waiting to settle waits
// for that write to end, or the reader would find the file empty or half written.
TEST(SaveWatch, AFileBeingRewrittenInPlaceHoldsTheBurstBack) {
    using std::chrono::milliseconds;
    ScratchFolder folder;
    const std::string level = (folder.path / "1level1.json").string();
    filewatch::SaveWatch watch(kSettle);
    ASSERT_TRUE(watch.Ready()) << watch.Error();
    watch.WatchOnly({level});
    const auto start = filewatch::SaveWatch::Clock::now();

    folder.Write("1level1.json", "{}");
    watch.Notice(start);
    std::ofstream rewrite(level, std::ios::trunc);
    rewrite << "{\"arrayOfTiles\"" << std::flush;
    watch.Notice(start + milliseconds(20));
    EXPECT_TRUE(watch.TakeSettledFiles(start + milliseconds(30)).empty())
        << "settled while the file was being rewritten";

    rewrite << ": []}";
    rewrite.close();
    watch.Notice(start + milliseconds(40));
    EXPECT_TRUE(watch.TakeSettledFiles(start + milliseconds(60)).empty());
    EXPECT_EQ(watch.TakeSettledFiles(start + milliseconds(70)), std::vector<std::string>{level});
}

}  // namespace
