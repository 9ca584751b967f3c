// Saves noticed by the watch's own thread: what a game that looks once a frame relies on.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "filewatch/BackgroundSaveWatch.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using filewatch::BackgroundSaveWatch;
using game::test::ScratchFolder;

constexpr std::chrono::milliseconds kSettle(25);
// Longer than the settle time by far: a frame of a game on a slow machine, and then some.
constexpr std::chrono::milliseconds kOwnerBusy(1000);

TEST(BackgroundSaveWatch, ASaveMadeWhileTheOwnerWasBusyHasSettledAtItsNextLook) {
    ScratchFolder folder;
    const std::string level = (folder.path / "1level1.json").string();
    const std::string tiles = (folder.path / "tile1.json").string();
    BackgroundSaveWatch watch(kSettle);
    ASSERT_TRUE(watch.Ready()) << watch.Error();
    watch.WatchOnly({level, tiles});

    folder.Write("1level1.json", "{}");
    folder.Write("tile1.json", "{}");
    folder.Write("unwatched.json", "{}");
    std::this_thread::sleep_for(kOwnerBusy);

    // Timed by when the look happens, the save would only start settling now.
    const std::vector<std::string> saved =
        watch.TakeSettledFiles(BackgroundSaveWatch::Clock::now());
    EXPECT_EQ(saved, (std::vector<std::string>{level, tiles}));
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
    std::this_thread::sleep_for(kOwnerBusy);
    EXPECT_EQ(watch.TakeSettledFiles(BackgroundSaveWatch::Clock::now()),
              std::vector<std::string>{problem});
}

}  // namespace
