// What the player reads over the level and what the game remembers between runs, on the built
// game under a private X server: the level's name at the start, the line with the level time
// and the saved best time, and a progress file that is written, read back and survives being
// corrupt.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "e2e/Screenshot.hpp"
#include "support/OnScreenLine.hpp"
#include "support/PlatformerProcess.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names
#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::FileContents;
using game::test::Picture;
using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Where the line and the banner lie in the 800 x 600 window (generous boxes around them).
struct Box {
    int left, top, width, height;
};
constexpr Box kLine{8, 8, 560, 34};
// Past the end of "Time 0:00.0  |  Returns 0  |" (DejaVu Sans, 16 pixels, from x = 13): only the
// collected coins or a best time reach in there.
constexpr Box kBestPart{228, 8, 332, 34};
// "Short Dash": the player stands on the ground four tiles left of the goal.
const char* const kDashLevel =
    R"({"id": 1, "name": "Short Dash", "deathLevelInY": -63, "arrayOfTiles": [)"
    R"([[50, 2, 4], [40, 6, 4]], )"
    R"([[1, 0, 3], [1, 1, 3], [1, 2, 3], [1, 3, 3], [1, 4, 3], [1, 5, 3], [1, 6, 3], [1, 7, 3]]]})";
const char* const kDashAnswers = "dash\nplatformer-art-deluxe\n";

/// Pixels in the box for which `matches(red, green, blue)` holds.
template <typename Matches>
int Count(const Picture& picture, const Box& box, Matches matches) {
    int count = 0;
    for (int y = box.top; y < box.top + box.height; ++y) {
        for (int x = box.left; x < box.left + box.width; ++x) {
            const unsigned char* pixel = picture.At(x, y);
            count += matches(pixel[0], pixel[1], pixel[2]);
        }
    }
    return count;
}

/// The green of "New best" (sRGB 140, 255, 153), apart from the art's greens.
int NewBestPixels(const Picture& picture) {
    constexpr Box kBanner{100, 120, 600, 150};
    return Count(picture, kBanner, [](int r, int g, int b) {
        return g >= 230 && r >= 110 && r <= 170 && b >= 120 && b <= 185;
    });
}

/// The line's near-white letters.
int TextPixels(const Picture& picture, const Box& box) {
    return Count(picture, box,
                 [](int r, int g, int b) { return r >= 200 && g >= 200 && b >= 200; });
}

class Hud : public ::testing::Test {
protected:
    Hud() {
        folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
        folder.Write("dash1.json", kDashLevel);
        fs::create_directories(ProgressFile().parent_path());
    }

    /// The game, with the player's files under the scratch folder, for every run of a test.
    Platformer& Run(const std::string& answers) {
        game.reset();  // one window at a time
        game = std::make_unique<Platformer>(folder.path, x.display,
                                            Platformer::Environment{{"XDG_DATA_HOME", DataHome()}});
        game->Write(answers);
        window = x.WaitForWindow();
        return *game;
    }

    std::string DataHome() const { return (folder.path / "data").string(); }
    fs::path ProgressFile() const { return folder.path / "data/orka/platformer/progress.json"; }

    /// The window's pixels straight from the X server (quick enough to catch the banner).
    Picture Shot() { return Picture::FromXPixels(x.AllPixels(window), kWidth, kHeight); }

    /// Runs xdotool with the pointer over the window, which gives it the keyboard.
    bool Keys(const std::string& actions) {
        return x.XdotoolOver(window, kWidth / 2, kHeight / 2, actions);
    }

    /// Holds Right until the progress file has been written (the goal was reached).
    bool WalkToTheGoal() {
        if (!Keys("keydown Right")) return false;
        const bool written = test_support::WaitUntil([&] { return fs::exists(ProgressFile()); });
        Keys("keyup Right");
        return written;
    }

    void Quit() {
        ASSERT_TRUE(Keys("key Escape"));
        ASSERT_TRUE(game->EndsWithin());
        EXPECT_EQ(game->ExitCode(), 0);
    }

    ScratchFolder folder;
    PrivateXServer x;
    std::unique_ptr<Platformer> game;
    Window window = 0;
};

TEST_F(Hud, TheLevelsNameShowsAtTheStartAndGoesWhileTheLineCountsTheTime) {
    Run("1\n");
    ASSERT_NE(window, 0u) << "no window";
    // "First Steps", in large pale gold letters over the level, from its first frames; then gone.
    Picture start;
    ASSERT_TRUE(test_support::WaitUntil([&] {
        start = Shot();
        return game::test::ShowsLevelName(start.rgb, 3, 0, 1, 2);
    })) << "no level name";
    EXPECT_GT(TextPixels(start, kLine), 150) << "the line shows from the start";
    Picture later;
    ASSERT_TRUE(test_support::WaitUntil([&] {
        later = Shot();
        return !later.Empty() && !game::test::ShowsLevelName(later.rgb, 3, 0, 1, 2);
    })) << "the level name stayed";
    const int lineLetters = TextPixels(later, kLine);
    EXPECT_GT(lineLetters, 150) << "the line stays";
    // Level 1 has coins, so the line also counts them.
    EXPECT_GT(TextPixels(later, kBestPart), 20) << "no collected/total";

    // The time moves on: the line's letters change while nothing else is done.
    const Picture line = later.Crop(kLine.left, kLine.top, kLine.width, kLine.height);
    EXPECT_TRUE(test_support::WaitUntil([&] {
        const Picture now = Shot();
        return !now.Empty() &&
               now.Crop(kLine.left, kLine.top, kLine.width, kLine.height).rgb != line.rgb;
    })) << "the line does not change";
    Quit();
    EXPECT_FALSE(fs::exists(ProgressFile())) << "no finished level, no file";
}

/// Width and height from a PNG file's header; {0, 0} when it is not a PNG.
std::pair<int, int> PngSize(const fs::path& file) {
    const std::string bytes = FileContents(file);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
    const auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 4; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {number(16), number(20)};
}

TEST_F(Hud, F12SavesTheWindowIntoThePlayersFolderAFileAPressEvenWithinOneSecond) {
    Run(kDashAnswers);
    ASSERT_NE(window, 0u) << "no window";
    ASSERT_TRUE(Keys("key F12 key F12 key F12"));
    const fs::path shots = folder.path / "data/orka/platformer";
    std::vector<fs::path> saved;
    EXPECT_TRUE(test_support::WaitUntil([&] {
        saved.clear();
        for (const auto& entry : fs::directory_iterator(shots)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("screenshot-", 0) == 0) saved.push_back(entry.path());
        }
        return saved.size() >= 3;
    })) << saved.size()
        << " screenshots";
    Quit();
    EXPECT_EQ(saved.size(), 3u);
    for (const fs::path& shot : saved) {
        EXPECT_EQ(PngSize(shot), std::make_pair(kWidth, kHeight)) << shot;
    }
}

TEST_F(Hud, AFinishedLevelSavesItsBestTimeWhichTheNextRunShows) {
    Run(kDashAnswers);
    ASSERT_NE(window, 0u) << "no window";
    Picture first;
    ASSERT_TRUE(test_support::WaitUntil([&] {
        first = Shot();
        return !first.Empty() && TextPixels(first, kLine) > 150;
    }));
    EXPECT_EQ(TextPixels(first, kBestPart), 0) << "a best time before any finish";

    ASSERT_TRUE(WalkToTheGoal()) << "no progress file after walking to the goal";
    const std::string saved = FileContents(ProgressFile());
    std::smatch best;
    ASSERT_TRUE(std::regex_search(saved, best, std::regex(R"("dash": \{\s*"1": ([0-9.]+)\s*\})")))
        << saved;
    // Four tiles of the fox's walk take a good part of a second of game time, and far less than a
    // minute.
    const double seconds = std::stod(best[1]);
    EXPECT_GT(seconds, 0.25);
    EXPECT_LT(seconds, 60.0);
    // The level starts again under a banner that tells the time just made: a new best.
    EXPECT_TRUE(test_support::WaitUntil([&] {
        const Picture now = Shot();
        return !now.Empty() && NewBestPixels(now) > 60;
    })) << "no \"New best\" over the level started after the finish";
    // The world has one level: it starts again, with its best time on the line.
    EXPECT_TRUE(test_support::WaitUntil([&] {
        const Picture now = Shot();
        return !now.Empty() && TextPixels(now, kBestPart) > 20;
    })) << "no best time after the finish";
    Quit();
    EXPECT_EQ(game->Errors(), "");

    // A second run reads it back and shows it from the start.
    Run(kDashAnswers);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(test_support::WaitUntil([&] {
        const Picture now = Shot();
        return !now.Empty() && TextPixels(now, kBestPart) > 20;
    })) << "the second run shows no best time";
    Quit();
    EXPECT_EQ(game->Errors(), "");
}

TEST_F(Hud, ACorruptProgressFileGivesOneWarningAndTheGamePlaysAndSavesAfresh) {
    const std::string corrupt = R"({"bestTimes": {"dash": {"1": -2.5}}})";
    std::ofstream(ProgressFile()) << corrupt;
    Run(kDashAnswers);
    ASSERT_NE(window, 0u) << "the game did not start";
    // Kept as it is until the player finishes a level, then moved aside for a new file.
    EXPECT_EQ(FileContents(ProgressFile()), corrupt);
    ASSERT_TRUE(Keys("keydown Right"));
    const bool saved = test_support::WaitUntil([&] {
        return FileContents(ProgressFile()).find("\"dash\"") != std::string::npos &&
               FileContents(ProgressFile()) != corrupt;
    });
    Keys("keyup Right");
    ASSERT_TRUE(saved) << "no new progress file after walking to the goal";
    EXPECT_EQ(FileContents(ProgressFile().string() + ".bad"), corrupt);
    Quit();

    const std::string errors = game->Errors();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("WARN"), std::string::npos) << errors;
    EXPECT_NE(errors.find(ProgressFile().string() + ": the time of level 1 in world \"dash\" is "
                                                    "negative"),
              std::string::npos)
        << errors;
}

}  // namespace

/// The part of a window of `width` x `height` that shows the 800 x 600 view, between the bars.
struct ShownView {
    int left, top;
    double scale;  // window pixels per view pixel
};
ShownView ViewIn(int width, int height) {
    const double scale = std::min(width / 800.0, height / 600.0);
    return {static_cast<int>((width - 800.0 * scale) / 2),
            static_cast<int>((height - 600.0 * scale) / 2), scale};
}

/// `box` of the 800 x 600 view where the window shows it.
Box Scaled(const ShownView& view, const Box& box) {
    return {view.left + static_cast<int>(box.left * view.scale),
            view.top + static_cast<int>(box.top * view.scale),
            static_cast<int>(box.width * view.scale), static_cast<int>(box.height * view.scale)};
}

/// Left, right and top of the pale gold of the level's name; left > right when none shows.
Box NameBounds(const Picture& picture) {
    Box bounds{picture.width, picture.height, -picture.width, 0};
    int right = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = picture.At(x, y);
            if (std::abs(p[0] - 255) > 4 || std::abs(p[1] - 230) > 4 || std::abs(p[2] - 140) > 4) {
                continue;
            }
            bounds.left = std::min(bounds.left, x);
            bounds.top = std::min(bounds.top, y);
            right = std::max(right, x);
        }
    }
    bounds.width = right - bounds.left + 1;
    return bounds;
}

TEST_F(Hud, TheLineAndTheNameFollowTheWindowThroughF11AndEveryResize) {
    Run(kDashAnswers);
    ASSERT_NE(window, 0u) << "no window";
    const std::string id = std::to_string(window);
    // The window as it is now, once its size has settled at `width` x `height`.
    const auto shotAt = [&](int width, int height) {
        Picture shot;
        test_support::WaitUntil([&] {
            const XWindowAttributes now = x.Attributes(window);
            if (now.width != width || now.height != height) return false;
            shot = Picture::FromXPixels(x.AllPixels(window), width, height);
            return !shot.Empty();
        });
        return shot;
    };
    struct Size {
        const char* how;
        std::string xdotool;
        int width, height;
    };
    // 400 x 300 is below the least size: without a window manager the game itself keeps it.
    // Moved to the screen's corner first: X gives no pixels of a window partly off the screen.
    const Size sizes[] = {
        {"F11", "key F11", 1024, 768},
        {"back from F11", "key F11", 800, 600},
        {"1000 x 700", "windowmove " + id + " 0 0 windowsize " + id + " 1000 700", 1000, 700},
        {"640 x 480", "windowmove " + id + " 0 0 windowsize " + id + " 640 480", 640, 480},
        {"400 x 300", "windowmove " + id + " 0 0 windowsize " + id + " 400 300", 640, 480}};
    for (const Size& size : sizes) {
        SCOPED_TRACE(size.how);
        ASSERT_TRUE(Keys(size.xdotool));
        ASSERT_FALSE(shotAt(size.width, size.height).Empty())
            << "the window is not " << size.width << " x " << size.height;
        const ShownView view = ViewIn(size.width, size.height);
        // F5 starts the level again under its name.
        ASSERT_TRUE(Keys("key F5"));
        Picture named;
        ASSERT_TRUE(test_support::WaitUntil([&] {
            named = shotAt(size.width, size.height);
            return !named.Empty() && game::test::ShowsLevelName(named.rgb, 3, 0, 1, 2);
        })) << "no level name";
        const Box line = Scaled(view, kLine);
        EXPECT_GT(TextPixels(named, line), 150 * view.scale * view.scale)
            << "no line at the view's top left";
        const Box below{line.left, line.top + line.height, line.width, line.height};
        EXPECT_LT(TextPixels(named, below), 20) << "line text below its place";
        const Box name = NameBounds(named);
        ASSERT_LE(name.left, name.left + name.width - 1) << "no name";
        const double centre = name.left + name.width / 2.0;
        EXPECT_NEAR(centre, view.left + 400 * view.scale, 6 * view.scale) << "name off centre";
        // Its top 28 % down the view, give or take the letters' own top.
        EXPECT_NEAR(name.top, view.top + 0.28 * 600 * view.scale, 16 * view.scale)
            << "name not at its height";
    }
    Quit();
}

/// How wide the near-white text in `box` spreads, in pixels; 0 without any.
int TextWidth(const Picture& picture, const Box& box) {
    int left = box.left + box.width;
    int right = box.left - 1;
    for (int y = box.top; y < box.top + box.height; ++y) {
        for (int x = box.left; x < box.left + box.width; ++x) {
            const unsigned char* p = picture.At(x, y);
            if (p[0] < 200 || p[1] < 200 || p[2] < 200) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    return std::max(0, right - left + 1);
}

TEST_F(Hud, MSaysSoundOffAndSoundOnForAMoment) {
    Run(kDashAnswers);
    ASSERT_NE(window, 0u) << "no window";
    // Low in the middle of the view, where the notice goes.
    constexpr Box kNotice{250, 440, 300, 40};
    Picture before;
    ASSERT_TRUE(test_support::WaitUntil([&] {
        before = Shot();
        return !before.Empty() && !game::test::ShowsLevelName(before.rgb, 3, 0, 1, 2);
    }));
    const int quiet = TextPixels(before, kNotice);
    const auto noticeWidth = [&] {
        int width = 0;
        test_support::WaitUntil([&] {
            const Picture now = Shot();
            if (now.Empty() || TextPixels(now, kNotice) < quiet + 60) return false;
            width = TextWidth(now, kNotice);
            return true;
        });
        return width;
    };
    ASSERT_TRUE(Keys("key m"));
    const int off = noticeWidth();
    EXPECT_GT(off, 0) << "no notice after muting";
    EXPECT_TRUE(test_support::WaitUntil([&] {
        const Picture now = Shot();
        return !now.Empty() && TextPixels(now, kNotice) <= quiet + 10;
    })) << "the notice stays";
    ASSERT_TRUE(Keys("key m"));
    const int on = noticeWidth();
    EXPECT_GT(on, 0) << "no notice after unmuting";
    // "Sound off" is the wider of the two words.
    EXPECT_GT(off, on);
    Quit();
}
