// Game controllers steering the player of the test world "meadow": SDL's virtual joysticks are
// plugged in, pressed and unplugged while the scene runs frame by frame, and their events reach
// the scene manager the way the game's window routes them.
#include <gtest/gtest.h>

#include <string>

#include "game/PauseMenu.hpp"
#include "game/PlayerInput.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::MeadowScene;

constexpr float kAxisRange = 32767.0f;
constexpr float kJumpSpeed = 100.0f;  // only the jump impulse makes the player rise this fast
// Half a second of walking covers about 25 units; the meadow's ground leaves room for a few
// such walks either way from the player's start.
constexpr int kWalkFrames = 30;
constexpr float kLeastWalk = 10.0f;
constexpr int kTurnFrames = 10;
constexpr int kStopLimit = 300;  // friction stops a walking player well within this

/// A virtual joystick plugged in while it lives. Of the game-controller type, SDL maps its
/// buttons and axes one to one onto SDL_GameControllerButton and SDL_GameControllerAxis; of any
/// other type it is a plain joystick until a mapping names it.
class VirtualPad {
public:
    explicit VirtualPad(SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER) {
        const int index =
            SDL_JoystickAttachVirtual(type, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
        if (index >= 0) joystick = SDL_JoystickOpen(index);
    }
    ~VirtualPad() { Unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool Plugged() const { return joystick != nullptr; }
    void Hold(int button, bool held = true) {
        SDL_JoystickSetVirtualButton(joystick, button, held ? 1 : 0);
    }
    /// The left stick pushed sideways by `share` of its range (negative: left).
    void StickX(float share) {
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX,
                                   static_cast<Sint16>(share * kAxisRange));
    }
    /// The joystick's GUID as SDL's controller database writes it: without the checksum of the
    /// name (bytes 2 and 3), which SDL leaves out when it matches a mapping.
    std::string DatabaseGuid() const {
        SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick);
        guid.data[2] = 0;
        guid.data[3] = 0;
        char text[33];
        SDL_JoystickGetGUIDString(guid, text, sizeof text);
        return text;
    }
    void Unplug() {
        if (joystick == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
        }
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }

private:
    SDL_Joystick* joystick = nullptr;
};

class GamepadPlaythrough : public MeadowScene {
protected:
    void SetUp() override {
        MeadowScene::SetUp();
        // SDL ignores controllers while none of the program's windows has the keyboard, and on a
        // shared X server without a window manager another test's window may have it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        Pump();  // events of earlier tests' pads
        LandPlayer();
    }
    /// SDL's event pump as the game's window runs it before each frame: it brings the virtual
    /// joysticks' new state in, and controller events go to the scene manager.
    void Pump() {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            if (event.type >= SDL_CONTROLLERAXISMOTION && event.type < SDL_FINGERDOWN) {
                manager.OnControllerEvent(event);
            }
        }
    }
    /// Lets the new pad state in, then frames until the player rests on the ground.
    void Land() {
        Pump();
        LandPlayer();
    }
    void PlayFrames(int count) {
        for (int i = 0; i < count; ++i) {
            Pump();
            Frame();
        }
    }
    /// How far the player walks in `kWalkFrames` frames.
    float Walked() {
        const float start = PlayerPosition().x;
        PlayFrames(kWalkFrames);
        return PlayerPosition().x - start;
    }
    /// Frames until the player stands still (at most kStopLimit); the count.
    int FramesToStop() {
        int frames = 0;
        while (PlayerVelocity().x != 0.0f && frames < kStopLimit) {
            PlayFrames(1);
            ++frames;
        }
        return frames;
    }
    /// True when the next frame starts a jump.
    bool JumpsNextFrame() {
        PlayFrames(1);
        return PlayerVelocity().y > kJumpSpeed;
    }
    std::size_t Controllers() const { return manager.GetControllers().count(); }
};

TEST_F(GamepadPlaythrough, TheDpadWalksBothWays) {
    VirtualPad pad;
    ASSERT_TRUE(pad.Plugged());
    Pump();
    ASSERT_EQ(Controllers(), 1u) << "plugged in while the game runs";

    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_GT(Walked(), kLeastWalk);
    EXPECT_EQ(Player()->GetComponent<CharacterAnimator>()->GetState(),
              CharacterAnimator::WalkRight);
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    PlayFrames(kTurnFrames);  // turning round
    EXPECT_LT(Walked(), -kLeastWalk);
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    EXPECT_LT(FramesToStop(), kStopLimit);
}

TEST_F(GamepadPlaythrough, TheStickWalksOnlyWhenPushedPastAQuarterOfItsRange) {
    VirtualPad pad;
    Pump();
    ASSERT_EQ(Controllers(), 1u);
    for (float resting : {0.2f, -0.2f, 0.24f, -0.24f}) {
        pad.StickX(resting);
        EXPECT_EQ(Walked(), 0.0f) << "stick at " << resting;
    }
    pad.StickX(0.3f);
    EXPECT_GT(Walked(), kLeastWalk);
    pad.StickX(-1.0f);
    PlayFrames(kTurnFrames);
    EXPECT_LT(Walked(), -kLeastWalk);
    pad.StickX(0.0f);
    EXPECT_LT(FramesToStop(), kStopLimit);
}

TEST_F(GamepadPlaythrough, TheSouthAndEastButtonsJump) {
    VirtualPad pad;
    Pump();
    for (auto button : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B}) {
        Land();
        pad.Hold(SDL_CONTROLLER_BUTTON_X);
        pad.Hold(SDL_CONTROLLER_BUTTON_Y);
        EXPECT_FALSE(JumpsNextFrame()) << "west and north do not jump";
        pad.Hold(button);
        EXPECT_TRUE(JumpsNextFrame()) << "button " << button;
        for (auto released : {button, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y}) {
            pad.Hold(released, false);
        }
    }
}

TEST_F(GamepadPlaythrough, UnpluggingAPadWhileItIsHeldStopsThePlayer) {
    VirtualPad pad;
    Pump();
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    ASSERT_GT(Walked(), kLeastWalk);
    pad.Unplug();
    Pump();
    EXPECT_EQ(Controllers(), 0u);
    EXPECT_LT(FramesToStop(), kStopLimit);
    EXPECT_EQ(Walked(), 0.0f) << "nothing pushes the player any more";
}

TEST_F(GamepadPlaythrough, TwoPadsAndTheKeyboardSteerTogether) {
    VirtualPad first;
    VirtualPad second;
    Pump();
    ASSERT_EQ(Controllers(), 2u);
    // One pad at rest does not hold back the other.
    second.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_GT(Walked(), kLeastWalk);
    // A pad letting go does not cancel a held key.
    Press(SDLK_RIGHT);
    second.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_GT(Walked(), kLeastWalk);
    Release(SDLK_RIGHT);
    FramesToStop();
    first.Hold(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(JumpsNextFrame());
    first.Hold(SDL_CONTROLLER_BUTTON_A, false);
    Land();
    // Unplugging one pad leaves the other steering.
    first.Unplug();
    Pump();
    EXPECT_EQ(Controllers(), 1u);
    second.Hold(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    PlayFrames(kTurnFrames);
    EXPECT_LT(Walked(), -kLeastWalk);
}

TEST_F(GamepadPlaythrough, StartPausesTheDpadChoosesAndTheSouthButtonResumesWithoutAJump) {
    VirtualPad pad;
    Pump();
    PauseMenu& menu = manager.GetPauseMenu();
    const auto press = [&](SDL_GameControllerButton button) {
        pad.Hold(button);
        Pump();
        pad.Hold(button, false);
        Pump();
    };
    press(SDL_CONTROLLER_BUTTON_START);
    ASSERT_TRUE(scene.IsPaused());
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(Walked(), 0.0f) << "no step while paused";
    pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(menu.Selected(), PauseMenu::Item::Restart);
    press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    ASSERT_EQ(menu.Selected(), PauseMenu::Item::Resume);

    // Resume is taken when the south button comes up, so it cannot jump once play goes on.
    pad.Hold(SDL_CONTROLLER_BUTTON_A);
    Pump();
    EXPECT_TRUE(scene.IsPaused());
    pad.Hold(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(JumpsNextFrame());
    EXPECT_FALSE(scene.IsPaused());

    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(scene.IsPaused());
    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(scene.IsPaused()) << "Start again resumes";
}

TEST_F(GamepadPlaythrough, AMappingFileInTheWorkingDirectoryMakesAJoystickAController) {
    constexpr int kMappedButton = 7;
    VirtualPad plain(SDL_JOYSTICK_TYPE_UNKNOWN);
    ASSERT_TRUE(plain.Plugged());
    manager.ConnectControllers();
    Pump();
    ASSERT_EQ(Controllers(), 0u) << "SDL knows no mapping for it";

    // A line of SDL's controller database: the south button is the joystick's button 7.
    folder.Write("gamecontrollerdb.txt", "# test pads\n" + plain.DatabaseGuid() +
                                             ",Test Pad,a:b7,leftx:a0,platform:Linux,\n");
    manager.ConnectControllers();
    Pump();
    ASSERT_EQ(Controllers(), 1u);
    plain.Hold(kMappedButton);
    EXPECT_TRUE(JumpsNextFrame());
}

}  // namespace
