// The built game as a player meets it: started in a copy of the default world's folder with its
// console on pipes and its window on a private X server, watched through screenshots taken with
// ImageMagick and steered with xdotool. What the scene manager tests already prove with the test
// world (Escape, the close request, broken files, a broken next level) is not repeated here.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "e2e/Screenshot.hpp"
#include "support/ConsolePrompts.hpp"
#include "support/PlatformerProcess.hpp"
#include "support/ScratchFolder.hpp"
#include "support/Sanitizers.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names

namespace {

using namespace std::chrono_literals;
using game::test::ContentMovement;
using game::test::kAtlasPrompt;
using game::test::kRetryPrompt;
using game::test::kWorldPrompt;
using game::test::Movement;
using game::test::Picture;
using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;
using test_support::kPatience;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
const char* const kTitle = "Orkaview 0.9.20";
// The view follows the player, so scenery moves on screen when the player moves. A second of
// walking covers about 60 units (120 pixels at the game's zoom of two pixels per unit), and
// 0.3 s of a jump about 30 units; the limits leave room for a slow, loaded machine.
constexpr int kLeastWalkShift = 20;
constexpr int kLeastJumpShift = 12;
constexpr int kStraySteer = 8;  // the other axis moves by at most this much
constexpr int kSearchX = 200;
constexpr int kSearchY = 100;
constexpr int kScreenWidth = 1024;  // the private X server's screen
constexpr int kScreenHeight = 768;

/// `picture` resampled to `width` x `height` by taking the pixel under each new pixel's centre.
Picture Resampled(const Picture& picture, int width, int height) {
    Picture result{width, height, {}};
    result.rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int fromY = static_cast<int>((y + 0.5) * picture.height / height);
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel =
                picture.At(static_cast<int>((x + 0.5) * picture.width / width), fromY);
            result.rgb.insert(result.rgb.end(), pixel, pixel + 3);
        }
    }
    return result;
}

/// Pixels of the rectangle that are not black.
int LitPixels(const Picture& picture, int left, int top, int width, int height) {
    int lit = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const unsigned char* pixel = picture.At(x, y);
            lit += pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0;
        }
    }
    return lit;
}

class DefaultWorld : public ::testing::Test {
protected:
    DefaultWorld() { folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR); }

    /// Answers the dialogue and waits for the game's window.
    Window Start(const std::string& answers) {
        game.Write(answers);
        window = x.WaitForWindow();
        return window;
    }

    /// Takes the "backdrop" line out of a level file of the copied world.
    void WithoutBackdrop(const std::string& level) {
        std::ifstream file(folder.path / level);
        std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const auto begin = text.find("  \"backdrop\"");
        ASSERT_NE(begin, std::string::npos) << level;
        text.erase(begin, text.find('\n', begin) + 1 - begin);
        folder.Write(level, text);
    }

    /// The window's part of a screenshot of the whole screen; empty when it failed.
    Picture WindowShot() {
        const Picture screen = game::test::Screenshot(x.display);
        const auto [left, top] = x.Origin(window);
        if (screen.Empty() || left < 0 || top < 0 || left + kWidth > screen.width ||
            top + kHeight > screen.height) {
            return {};
        }
        Picture shot = screen.Crop(left, top, kWidth, kHeight);
        game::test::BlankOnScreenLine(shot.rgb, kWidth, kHeight, std::size_t{kWidth} * 3);
        return shot;
    }

    /// The window's pixels read straight from the X server: much quicker than a screenshot
    /// through ImageMagick, so quick enough to follow the player through a jump.
    Picture QuickWindowShot() { return Picture::FromXPixels(x.Pixels(window), kWidth, kHeight); }

    /// A window shot once two in a row 300 ms apart are the same (the player has landed and
    /// stopped, the level's name has gone), or the last one when that did not come.
    Picture StillWindowShot() {
        constexpr std::chrono::milliseconds kStillFor(300);
        // The first look only takes the shot the next one, a pause later, is compared with.
        Picture previous;
        test_support::WaitUntil(
            [&] {
                Picture next = WindowShot();
                const bool same = !previous.Empty() && next.rgb == previous.rgb &&
                                  !game::test::ShowsLevelName(next.rgb, 3, 0, 1, 2);
                previous = std::move(next);
                return same;
            },
            kPatience, kStillFor);
        return previous;
    }

    /// Holds `key` down until the level has moved on screen by at least `least` pixels along
    /// (`alongX`, `alongY`) compared with `before`, then lets go; returns the window as it was
    /// then (or last seen). How far the level moves in a second depends on how fast the
    /// machine draws frames, so the test waits for the movement, not for a time. Only the
    /// expected direction is searched while the key is held: a full search is too slow to
    /// follow a jump on a sanitizer build.
    Picture HoldUntilMoved(const std::string& key, const Picture& before, int alongX,
                           int alongY, int least) {
        Picture now;
        if (!Keys("keydown " + key)) return now;
        for (auto deadline = Clock::now() + kPatience; Clock::now() < deadline;) {
            now = QuickWindowShot();
            if (now.Empty()) break;
            const Movement seen = ContentMovement(before, now, alongX != 0 ? kSearchX : 0,
                                                  alongY != 0 ? kSearchY : 0);
            if (seen.dx * alongX + seen.dy * alongY >= least) break;
        }
        Keys("keyup " + key);
        return now;
    }

    /// Runs xdotool with the pointer in the middle of the window, which gives it the keyboard.
    bool Keys(const std::string& actions) {
        return x.XdotoolOver(window, kWidth / 2, kHeight / 2, actions);
    }

    /// The window's part of a screenshot, at the window's size now; empty when it failed.
    Picture ShotOfWindow() {
        const Picture screen = game::test::Screenshot(x.display);
        const XWindowAttributes size = x.Attributes(window);
        const auto [left, top] = x.Origin(window);
        if (screen.Empty() || left < 0 || top < 0 || left + size.width > screen.width ||
            top + size.height > screen.height) {
            return {};
        }
        Picture shot = screen.Crop(left, top, size.width, size.height);
        game::test::BlankOnScreenLine(shot.rgb, size.width, size.height,
                                      static_cast<std::size_t>(size.width) * 3);
        return shot;
    }

    /// Screenshots of the window until one has the given size and `shows` holds for it (the
    /// game has drawn a frame at that size), or the last one taken when that did not come.
    template <typename Shows>
    Picture ShotWhen(int width, int height, Shows shows) {
        Picture shot;
        test_support::WaitUntil([&] {
            shot = ShotOfWindow();
            return shot.width == width && shot.height == height && shows(shot);
        });
        return shot;
    }

    /// Mean channel difference between `reference` (800 x 600) and the `shot`'s picture
    /// inside it at (`left`, `top`) of `width` x `height`, scaled back to 800 x 600.
    static double DifferenceFrom(const Picture& reference, const Picture& shot, int left, int top,
                                 int width, int height) {
        if (shot.Empty() || left + width > shot.width || top + height > shot.height) return 255;
        const Picture inner = Resampled(shot.Crop(left, top, width, height), kWidth, kHeight);
        return game::test::MovedDifference(reference, inner, 0, 0);
    }

    void ExpectAShownLevel(const Picture& shot) {
        ASSERT_FALSE(shot.Empty()) << "no screenshot";
        // The first level fills a good part of the window with tiles of many colours.
        EXPECT_GT(shot.DistinctColours(), 50u);
        EXPECT_GT(shot.ShareUnlikeCorner(), 0.1);
    }

    ScratchFolder folder;
    PrivateXServer x;
    Platformer game{folder.path, x.display};
    Window window = 0;
};

TEST_F(DefaultWorld, OneOpensTheTitledWindowOnTheFirstLevelAndEscapeEndsAtOnce) {
    ASSERT_NE(Start("1\n"), 0u) << "no window";
    const XWindowAttributes attributes = x.Attributes(window);
    EXPECT_EQ(attributes.width, kWidth);
    EXPECT_EQ(attributes.height, kHeight);
    EXPECT_EQ(x.Title(window), kTitle);
    ExpectAShownLevel(StillWindowShot());

    ASSERT_TRUE(Keys("key Escape"));
    ASSERT_TRUE(game.EndsWithin()) << "Escape did not end the game";
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(game.Errors(), "");
    const std::string output = game.Output();
    EXPECT_EQ(output.substr(0, kWorldPrompt.size()), kWorldPrompt);
    EXPECT_EQ(output.find(kAtlasPrompt), std::string::npos) << "the default needs no atlas name";
}

TEST_F(DefaultWorld, HoldingRightScrollsTheLevelLeftAndSpaceLiftsThePlayerAboveIt) {
    // The backdrop moves at its own pace; without it the picture is the level alone, shifted.
    WithoutBackdrop("1level1.json");
    ASSERT_NE(Start("1\n"), 0u) << "no window";
    const Picture standing = StillWindowShot();
    ASSERT_FALSE(standing.Empty());

    // The view keeps the player in its place on screen, so the level slides to the left.
    const Picture walked = HoldUntilMoved("Right", standing, -1, 0, kLeastWalkShift);
    ASSERT_FALSE(walked.Empty());
    const Movement walk = ContentMovement(standing, walked, kSearchX, kSearchY);
    RecordProperty("walk", std::to_string(walk.dx) + "," + std::to_string(walk.dy));
    EXPECT_LE(walk.dx, -kLeastWalkShift);
    EXPECT_LE(std::abs(walk.dy), kStraySteer);
    EXPECT_LT(walk.difference * 2, walk.unmoved) << "the pictures are not one level, shifted";

    const Picture landed = StillWindowShot();
    // The view rises with the player, so the level sinks on screen.
    const Picture jumping = HoldUntilMoved("space", landed, 0, 1, kLeastJumpShift);
    ASSERT_FALSE(jumping.Empty());
    const Movement jump = ContentMovement(landed, jumping, kSearchX, kSearchY);
    RecordProperty("jump", std::to_string(jump.dx) + "," + std::to_string(jump.dy));
    EXPECT_GE(jump.dy, kLeastJumpShift);
    EXPECT_LE(std::abs(jump.dx), kStraySteer);
    EXPECT_LT(jump.difference * 2, jump.unmoved);

    ASSERT_TRUE(Keys("key Escape"));
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
}

TEST_F(DefaultWorld, AnyWindowSizeShowsTheSameViewScaledBetweenBlackBarsAndF11FillsTheScreen) {
    // Nearest-texel scaling of the pixel art moves edges by a pixel: a scaled picture differs
    // from the 800 x 600 one by a few levels per channel on average, an unscaled or shifted
    // one by far more.
    constexpr double kSameView = 6.0;
    ASSERT_NE(Start("1\n"), 0u) << "no window";
    // Smaller, the on-screen line's dots and colons would be lost. Set just after the window
    // appears.
    XSizeHints hints{};
    ASSERT_TRUE(test_support::WaitUntil([&] {
        hints = x.SizeHints(window);
        return (hints.flags & PMinSize) != 0;
    })) << "no least size";
    EXPECT_EQ(std::make_pair(hints.min_width, hints.min_height), std::make_pair(640, 480));
    EXPECT_FALSE(hints.flags & PMaxSize) << "a window manager could not resize it";
    const Picture reference = StillWindowShot();
    ExpectAShownLevel(reference);
    const auto resize = [&](int left, int top, int width, int height) {
        const std::string id = std::to_string(window);
        return x.Xdotool("windowmove " + id + " " + std::to_string(left) + " " +
                         std::to_string(top) + " windowsize " + id + " " + std::to_string(width) +
                         " " + std::to_string(height));
    };

    // Wider than 4:3: the 800 x 600 view in the middle, black bars left and right where a
    // wider view would show more of the ground.
    ASSERT_TRUE(resize(0, 0, kScreenWidth, kHeight));
    constexpr int kPillar = (kScreenWidth - kWidth) / 2;
    const auto showsTheViewInTheMiddle = [&](const Picture& shot) {
        return DifferenceFrom(reference, shot, kPillar, 0, kWidth, kHeight) < kSameView;
    };
    const Picture wide = ShotWhen(kScreenWidth, kHeight, showsTheViewInTheMiddle);
    ASSERT_EQ(wide.width, kScreenWidth);
    const double pillarboxed = DifferenceFrom(reference, wide, kPillar, 0, kWidth, kHeight);
    RecordProperty("pillarboxed", std::to_string(pillarboxed));
    EXPECT_LT(pillarboxed, kSameView);
    EXPECT_EQ(LitPixels(wide, 0, 0, kPillar, kHeight), 0) << "left bar";
    EXPECT_EQ(LitPixels(wide, kPillar + kWidth, 0, kPillar, kHeight), 0) << "right bar";

    // Taller than 4:3: bars above and below.
    constexpr int kLetter = (kScreenHeight - kHeight) / 2;
    ASSERT_TRUE(resize(0, 0, kWidth, kScreenHeight));
    const Picture tall = ShotWhen(kWidth, kScreenHeight, [&](const Picture& shot) {
        return DifferenceFrom(reference, shot, 0, kLetter, kWidth, kHeight) < kSameView;
    });
    ASSERT_EQ(tall.height, kScreenHeight);
    const double letterboxed = DifferenceFrom(reference, tall, 0, kLetter, kWidth, kHeight);
    RecordProperty("letterboxed", std::to_string(letterboxed));
    EXPECT_LT(letterboxed, kSameView);
    EXPECT_EQ(LitPixels(tall, 0, 0, kWidth, kLetter), 0) << "top bar";
    EXPECT_EQ(LitPixels(tall, 0, kLetter + kHeight, kWidth, kLetter), 0) << "bottom bar";

    // 1024 x 768: the same view, 1.28 times as large, no bars.
    const auto filled = [&](const Picture& shot) {
        return DifferenceFrom(reference, shot, 0, 0, shot.width, shot.height) < kSameView;
    };
    ASSERT_TRUE(resize(0, 0, kScreenWidth, kScreenHeight));
    const Picture large = ShotWhen(kScreenWidth, kScreenHeight, filled);
    ASSERT_EQ(large.width, kScreenWidth);
    const double scaled = DifferenceFrom(reference, large, 0, 0, kScreenWidth, kScreenHeight);
    const double unscaled = DifferenceFrom(reference, large, 0, 0, kWidth, kHeight);
    RecordProperty("scaled", std::to_string(scaled));
    RecordProperty("unscaled", std::to_string(unscaled));
    EXPECT_LT(scaled, kSameView);
    EXPECT_GT(unscaled, 2 * kSameView) << "the picture did not grow with the window";

    // F11 and Alt+Enter: desktop fullscreen, then back to the window's size and place.
    constexpr int kSmallWidth = 640, kSmallHeight = 480, kSmallLeft = 40, kSmallTop = 30;
    ASSERT_TRUE(resize(kSmallLeft, kSmallTop, kSmallWidth, kSmallHeight));
    ASSERT_LT(DifferenceFrom(reference, ShotWhen(kSmallWidth, kSmallHeight, filled), 0, 0,
                             kSmallWidth, kSmallHeight),
              kSameView);
    for (const std::string key : {"F11", "alt+Return"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(Keys("key " + key));
        const Picture full = ShotWhen(kScreenWidth, kScreenHeight, filled);
        EXPECT_EQ(full.width, kScreenWidth);
        EXPECT_EQ(x.Origin(window), std::make_pair(0, 0));
        EXPECT_LT(DifferenceFrom(reference, full, 0, 0, full.width, full.height), kSameView);
        ASSERT_TRUE(Keys("key " + key));
        const Picture back = ShotWhen(kSmallWidth, kSmallHeight, filled);
        EXPECT_EQ(back.width, kSmallWidth);
        EXPECT_EQ(back.height, kSmallHeight);
        EXPECT_EQ(x.Origin(window), std::make_pair(kSmallLeft, kSmallTop));
    }

    ASSERT_TRUE(Keys("key Escape"));
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
}

TEST_F(DefaultWorld, RetriedNamesStartTheWorldAndClosingTheWindowReturnsToTheConsole) {
    // The default world by its own names, each found at the second attempt.
    ASSERT_NE(Start("forest\n1level\nnope\nplatformer-art-deluxe\n"), 0u) << "no window";
    ExpectAShownLevel(StillWindowShot());

    x.RequestClose(window);
    EXPECT_TRUE(x.WaitUntilNoWindow()) << "the window did not close";
    EXPECT_TRUE(game.WaitsForInput()) << "the program must wait for a character";
    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(game.Errors(), "");
    const std::string dialogue = kWorldPrompt + kRetryPrompt + kAtlasPrompt + kRetryPrompt;
    EXPECT_EQ(game.Output().substr(0, dialogue.size()), dialogue);
}

TEST_F(DefaultWorld, AWindowDestroyedFromOutsideAlsoReturnsToTheConsole) {
    // xdotool destroys the window instead of asking it to close; every later request about it
    // fails, which Xlib answers by ending the process unless the game handles it.
    ASSERT_NE(Start("1\n"), 0u) << "no window";
    ASSERT_TRUE(x.Xdotool("windowclose " + std::to_string(window)));
    EXPECT_TRUE(x.WaitUntilNoWindow());
    ASSERT_TRUE(game.WaitsForInput())
        << "the program must go on to wait for a character; it ended with " << game.ExitCode()
        << " and said " << game.Errors();
    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(game.Errors().find("X Error"), std::string::npos) << game.Errors();
}

TEST(DefaultWorldWithoutDisplay, TheGameSaysSoAndTheProgramEndsWithAFailure) {
    // Without a display SDL would open an invisible window that nothing can close.
    ScratchFolder folder;
    folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
    Platformer game(folder.path, Platformer::kNoDisplay);
    game.Write("1\n");
    EXPECT_TRUE(game.WaitsForInput()) << "the program must wait for a character";
    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin()) << "the game runs where nobody can see it";
    EXPECT_EQ(game.ExitCode(), 1) << "a game nobody could see did not run";
    const std::string errors = game.Errors();
    EXPECT_NE(errors.find("Unhandled exception in Application: Cannot open the game window: "
                          "there is no display to show it on\n"),
              std::string::npos)
        << errors;
}

TEST(DefaultWorldOffscreen, RunsWhenAskedForWithoutItsMemoryGrowing) {
    // A swap that presents nothing must still let the driver carry out each frame's work;
    // queued frames once grew the process by about 9 MiB a second.
    constexpr long kToleranceKiB = 2048;
    // Seen on a loaded machine: one step of about 8 MiB after 1.1 to 1.6 s of processor time
    // (start-up work, later under load), then nothing. A leak grows in every window; a step
    // once in a while leaves some window flat.
    constexpr double kSettleSeconds = 2.5;
    constexpr double kWindowSeconds = 2.0;
    constexpr int kWindows = 4;
    ScratchFolder folder;
    folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
    Platformer game(folder.path, Platformer::kOffscreen);
    game.Write("1\n");
    // Measured in processor time the game has used, which counts frames run whatever the load
    // of the machine: first until the level is loaded and frames run, then over more frames.
    ASSERT_TRUE(game.RunsFor(kSettleSeconds)) << game.Errors();
    std::string growths;
    for (int window = 0; window < kWindows; ++window) {
        const long first = game.ResidentKiB();
        ASSERT_GT(first, 0);
        ASSERT_TRUE(game.RunsFor(game.CpuSeconds() + kWindowSeconds)) << game.Errors();
        const long growth = game.ResidentKiB() - first;
        if (growth <= kToleranceKiB) return;
        growths += " " + std::to_string(growth);
        if (test_support::kAddressSanitizer) return;  // its quarantine grows memory by design
    }
    ADD_FAILURE() << "grew in every window of " << kWindowSeconds << " s, by (KiB):" << growths;
}

}  // namespace
