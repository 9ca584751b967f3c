// The pause and the settings file as a player meets them: the built game in a copy of the
// default world on a private X server, its user data folder (XDG_DATA_HOME) a scratch folder,
// steered with xdotool and watched through the window's pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "e2e/Screenshot.hpp"
#include "support/PlatformerProcess.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names
#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::FileContents;
using game::test::ContentMovement;
using game::test::Movement;
using game::test::Picture;
using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;
using test_support::kPatience;
using test_support::WaitUntil;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// The overlay's chosen row is filled with this orange (as the window's sRGB framebuffer shows
// it); a row is 300 x 27 pixels at 800 x 600, and nothing in the first level has a patch of it
// that large.
constexpr int kChosenRow[3] = {237, 188, 90};
constexpr int kColourTolerance = 6;
constexpr int kLeastChosenPixels = 4000;
// As in the game's other end-to-end tests: a walk moves the level by 120 pixels a second, a
// jump's first 0.3 s by about 60; the limits leave room for a slow machine.
constexpr int kLeastWalkShift = 20;
constexpr int kLeastJumpShift = 12;
constexpr int kSearchX = 200;
constexpr int kSearchY = 100;
constexpr double kFrozenSeconds = 1.0;  // of processor time, in which the game draws many frames

int ChosenRowPixels(const Picture& picture) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        bool near = true;
        for (int c = 0; c < 3; ++c)
            near = near && std::abs(picture.rgb[i + c] - kChosenRow[c]) <= kColourTolerance;
        count += near;
    }
    return count;
}

bool ShowsOverlay(const Picture& picture) {
    return ChosenRowPixels(picture) >= kLeastChosenPixels;
}

class PauseAndSettings : public ::testing::Test {
protected:
    PauseAndSettings() { folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR); }

    /// Starts the default world with `settings` (when not empty) as the player's settings
    /// file and waits for the window and the player at rest.
    void Start(const std::string& settings = "") {
        fs::create_directories(settingsFile.parent_path());
        if (!settings.empty()) std::ofstream(settingsFile) << settings;
        game = std::make_unique<Platformer>(folder.path, x.display,
                                            Platformer::Environment{{"XDG_DATA_HOME", dataHome}});
        game->Write("1\n");
        window = x.WaitForWindow();
        ASSERT_NE(window, 0u) << "no window";
        ASSERT_FALSE(Still().Empty());
    }

    /// xdotool with the pointer inside the window (which gives it the keyboard), off the
    /// overlay in its middle.
    bool Keys(const std::string& actions) { return x.XdotoolOver(window, 20, 20, actions); }

    Picture Shot() { return Picture::FromXPixels(x.Pixels(window), kWidth, kHeight); }

    /// The window once it stays the same for 300 ms; empty when it did not come to rest.
    Picture Still() { return Picture::FromXPixels(x.StillPixels(window), kWidth, kHeight); }

    bool WaitForOverlay(bool shown) {
        return WaitUntil([&] { return ShowsOverlay(Shot()) == shown; });
    }

    /// Holds `key` until the level has moved along (`alongX`, `alongY`) by `least` pixels, or
    /// the patience ran out, then lets go unless told not to; the movement seen last.
    Movement HoldUntilMoved(const std::string& key, int alongX, int alongY, int least,
                            bool release = true) {
        const Picture before = Still();
        Movement seen;
        if (before.Empty() || !Keys("keydown " + key)) return seen;
        WaitUntil([&] {
            seen = ContentMovement(before, Shot(), alongX != 0 ? kSearchX : 0,
                                   alongY != 0 ? kSearchY : 0);
            return seen.dx * alongX + seen.dy * alongY >= least;
        });
        if (release) Keys("keyup " + key);
        return seen;
    }

    void EndWithEscape() {
        ASSERT_TRUE(Keys("key Escape"));
        ASSERT_TRUE(game->EndsWithin());
        EXPECT_EQ(game->ExitCode(), 0);
    }

    ScratchFolder folder;
    const fs::path dataHome = folder.path / "data-home";
    const fs::path settingsFile = dataHome / "orka" / "platformer" / "settings.json";
    PrivateXServer x;
    std::unique_ptr<Platformer> game;
    Window window = 0;
};

TEST_F(PauseAndSettings,
       PFreezesTheWalkingPlayerUnderTheOverlayAndKeysPressedMeanwhileAreNotPlayed) {
    Start();
    ASSERT_LE(HoldUntilMoved("Right", -1, 0, kLeastWalkShift, /*release=*/false).dx,
              -kLeastWalkShift);
    ASSERT_TRUE(Keys("key p"));
    ASSERT_TRUE(WaitForOverlay(true)) << "P showed no overlay";
    const Picture paused = Shot();
    // Right is still held: a running game would scroll on.
    ASSERT_TRUE(game->RunsFor(game->CpuSeconds() + kFrozenSeconds));
    EXPECT_TRUE(Shot().rgb == paused.rgb) << "the level moved while paused";
    ASSERT_TRUE(Keys("keyup Right key p"));
    ASSERT_TRUE(WaitForOverlay(false)) << "P did not resume";

    // Right pressed while paused and still held after: the player stays where it rests.
    const Picture resting = Still();
    ASSERT_TRUE(Keys("key p"));
    ASSERT_TRUE(WaitForOverlay(true));
    ASSERT_TRUE(Keys("keydown Right key p"));
    ASSERT_TRUE(WaitForOverlay(false));
    ASSERT_TRUE(game->RunsFor(game->CpuSeconds() + kFrozenSeconds));
    EXPECT_TRUE(Shot().rgb == resting.rgb) << "Right, pressed while paused, was played after";
    ASSERT_TRUE(Keys("keyup Right"));
    EXPECT_FALSE(fs::exists(settingsFile)) << "nothing changed, nothing is written";
    EndWithEscape();
}

TEST_F(PauseAndSettings, LosingTheKeyboardPausesUntilPIsPressedAndEscapeKeepsTheVolumes) {
    Start();
    // Another client takes the keyboard, as a click on another window would.
    Display* other = XOpenDisplay(x.display.c_str());
    ASSERT_NE(other, nullptr);
    XSetInputFocus(other, DefaultRootWindow(other), RevertToNone, CurrentTime);
    XCloseDisplay(other);
    ASSERT_TRUE(WaitForOverlay(true)) << "losing the keyboard did not pause";

    ASSERT_TRUE(x.Xdotool("windowfocus " + std::to_string(window)));
    ASSERT_TRUE(Keys("key p"));
    EXPECT_TRUE(WaitForOverlay(false));

    // Escape ends the game at once, even in the overlay, and the volume set there is kept.
    ASSERT_TRUE(Keys("key p"));
    ASSERT_TRUE(WaitForOverlay(true));
    ASSERT_TRUE(Keys("key Down Down Down Left"));
    EndWithEscape();
    const std::string saved = FileContents(settingsFile);
    EXPECT_NE(saved.find("\"musicVolume\": 0.9,"), std::string::npos) << saved;
}

TEST_F(PauseAndSettings, ArrowsAndEnterSetTheVolumesWhichAreSavedAndQuitEndsTheGame) {
    Start();
    ASSERT_TRUE(Keys("key p"));
    ASSERT_TRUE(WaitForOverlay(true));
    // Resume, Restart level, Sound, Music volume (down to 70 %), Effects volume (down to
    // 50 %), Quit.
    ASSERT_TRUE(
        Keys("key Down Down Down Left Left Left Down Left Left Left Left Left Down Return"));

    EXPECT_TRUE(x.WaitUntilNoWindow()) << "Quit did not close the window";
    ASSERT_TRUE(game->WaitsForInput()) << "the program must wait for a character, as after "
                                          "closing the window";
    const std::string saved = FileContents(settingsFile);
    EXPECT_NE(saved.find("\"musicVolume\": 0.7,"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"effectsVolume\": 0.5,"), std::string::npos) << saved;
    game->Write("x\n");
    ASSERT_TRUE(game->EndsWithin());
    EXPECT_EQ(game->ExitCode(), 0);
}

TEST_F(PauseAndSettings, KeysFromTheSettingsSteerAndABadValueIsOneWarningNamingIt) {
    Start(R"({"effectsVolume": "loud", "keys": {"right": "D", "jump": "W"}})");
    EXPECT_LE(HoldUntilMoved("d", -1, 0, kLeastWalkShift).dx, -kLeastWalkShift) << "D walks";
    EXPECT_GE(HoldUntilMoved("w", 0, 1, kLeastJumpShift).dy, kLeastJumpShift) << "W jumps";
    EndWithEscape();

    std::istringstream errors(game->Errors());
    int warnings = 0;
    for (std::string line; std::getline(errors, line);) {
        if (line.find("WARN") == std::string::npos) continue;
        ++warnings;
        EXPECT_NE(line.find(settingsFile.string() + ": \"effectsVolume\": \"loud\""),
                  std::string::npos)
            << line;
    }
    EXPECT_EQ(warnings, 1);
}

}  // namespace
