#include "orka/Input.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/Clock.hpp"
#include "orka/FixedStepClock.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/SDLRenderer.hpp"

namespace orka {
namespace {

SDL_Event KeyEvent(Uint32 type, SDL_Scancode key, Uint8 repeat = 0) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.keysym.scancode = key;
    event.key.repeat = repeat;
    return event;
}

SDL_Event MouseButtonEvent(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

TEST(Input, AKeyIsPressedOnceHeldUntilReleasedAndEachFrameForgetsTheLastOnesNews) {
    Input input;
    input.handleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A), nullptr);
    EXPECT_TRUE(input.wasPressed(Key::A));
    EXPECT_TRUE(input.isDown(SDL_SCANCODE_A)) << "by scancode as by name";
    EXPECT_FALSE(input.isDown(Key::B));

    input.beginFrame();
    input.handleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, 1), nullptr);
    EXPECT_FALSE(input.wasPressed(Key::A)) << "a key repeat is no new press";
    EXPECT_TRUE(input.isDown(Key::A));

    input.beginFrame();
    input.handleEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_A), nullptr);
    EXPECT_TRUE(input.wasReleased(Key::A));
    EXPECT_FALSE(input.isDown(Key::A));
    input.beginFrame();
    EXPECT_FALSE(input.wasReleased(Key::A));

    // Pressed and released within one frame: both are news, and it is not held.
    input.handleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_SPACE), nullptr);
    input.handleEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_SPACE), nullptr);
    EXPECT_TRUE(input.wasPressed(Key::Space) && input.wasReleased(Key::Space));
    EXPECT_FALSE(input.isDown(Key::Space));

    // Keys let go while another window has the keyboard send no release.
    input.handleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LEFT), nullptr);
    SDL_Event focusLost;
    std::memset(&focusLost, 0, sizeof focusLost);
    focusLost.type = SDL_WINDOWEVENT;
    focusLost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    input.handleEvent(focusLost, nullptr);
    EXPECT_FALSE(input.isDown(Key::Left));
    EXPECT_FALSE(input.isDown(SDL_SCANCODE_UNKNOWN));
    EXPECT_FALSE(input.isDown(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES))) << "out of range";
}

TEST(Input, TextButtonsAndTheWheelGatherOverAFrame) {
    Input input;
    SDL_Event typed;
    std::memset(&typed, 0, sizeof typed);
    typed.type = SDL_TEXTINPUT;
    std::strcpy(typed.text.text, "h\xC3\xA9");
    input.handleEvent(typed, nullptr);
    std::strcpy(typed.text.text, "!");
    input.handleEvent(typed, nullptr);
    EXPECT_EQ(input.getText(), "h\xC3\xA9!");

    input.handleEvent(MouseButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5), nullptr);
    EXPECT_TRUE(input.wasPressed(MouseButton::Right));
    EXPECT_TRUE(input.isDown(MouseButton::Right));
    EXPECT_FALSE(input.isDown(MouseButton::Left));
    SDL_Event wheel;
    std::memset(&wheel, 0, sizeof wheel);
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.preciseY = 1.0f;
    input.handleEvent(wheel, nullptr);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    wheel.wheel.preciseY = -2.0f;
    input.handleEvent(wheel, nullptr);
    EXPECT_EQ(input.getMouseWheel(), glm::vec2(0.0f, 3.0f)) << "a flipped wheel turns back";

    input.beginFrame();
    EXPECT_EQ(input.getText(), "");
    EXPECT_EQ(input.getMouseWheel(), glm::vec2(0.0f, 0.0f));
    input.handleEvent(MouseButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 5, 5), nullptr);
    EXPECT_TRUE(input.wasReleased(MouseButton::Right));
    EXPECT_FALSE(input.isDown(MouseButton::Right));
}

TEST(InputWindow, ThePointerCountsFromTheLowerLeftAndMeetsTheWorldThroughACamera) {
    SDL_Window* window = test::testWindow();
    ASSERT_NE(window, nullptr);
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    Input input;
    SDL_Event motion;
    std::memset(&motion, 0, sizeof motion);
    motion.type = SDL_MOUSEMOTION;
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    motion.motion.x = 0;
    motion.motion.y = windowHeight - 1;  // SDL's bottom row
    input.handleEvent(motion, window);
    EXPECT_EQ(input.getMousePosition(), glm::vec2(0.0f, 0.0f));

    // The middle of the window is the middle of an orthographic view: the camera's place.
    motion.motion.x = windowWidth / 2;
    motion.motion.y = windowHeight / 2 - 1;
    input.handleEvent(motion, window);
    Camera camera;
    camera.setOrthographicProjection(150.0f, -1.0f, 1.0f);
    camera.lookAt({40.0f, 30.0f, 0.0f}, {40.0f, 30.0f, -1.0f}, {0.0f, 1.0f, 0.0f});
    const glm::vec3 world = input.getMouseWorldPosition(camera);
    EXPECT_NEAR(world.x, 40.0f, 1.0f);
    EXPECT_NEAR(world.y, 30.0f, 1.0f);
    EXPECT_FLOAT_EQ(world.z, 0.0f);
}

TEST(InputLoop, TheLoopTellsEachFrameWhatWasPressedAndRunsFixedStepsFirst) {
    SDLRenderer& sdl = test::testSDLRenderer();
    test::CallbackReset reset;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event press = KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
    ASSERT_EQ(SDL_PushEvent(&press), 1);
    std::vector<std::pair<bool, bool>> seen;  // {pressed, held} per frame
    int steps = 0;
    std::vector<int> stepsAtUpdate;
    sdl.fixedStep = 1.0f / 120.0f;
    sdl.fixedUpdate = [&](float step) {
        EXPECT_EQ(step, 1.0f / 120.0f);
        ++steps;
    };
    sdl.frameUpdate = [&](float) {
        const Input& input = sdl.getInput();
        seen.emplace_back(input.wasPressed(Key::Right), input.isDown(Key::Right));
        stepsAtUpdate.push_back(steps);
        EXPECT_GE(sdl.getStepFraction(), 0.0f);
        EXPECT_LE(sdl.getStepFraction(), 1.0f);
        if (seen.size() == 3) sdl.stopEventLoop();
    };
    sdl.startEventLoop();
    sdl.fixedUpdate = nullptr;
    SDL_Event release = KeyEvent(SDL_KEYUP, SDL_SCANCODE_RIGHT);
    sdl.getInput().handleEvent(release, nullptr);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(true, true)) << "pressed in the frame of its event";
    EXPECT_EQ(seen[1], std::make_pair(false, true)) << "then only held";
    EXPECT_EQ(stepsAtUpdate[0], 0) << "the first frame has no time behind it";
    EXPECT_GE(stepsAtUpdate[2], 2) << "a capped frame of 1/60 s holds two steps of 1/120 s";
}

/// Frame times and the steps each frame must run, one step being 1/60 s, at most five a frame.
struct Pace {
    const char* what;
    float frameSeconds;
    int frames;
    std::vector<int> steps;  // per frame, the pattern repeated
};

TEST(Clock, MeasuresSecondsSinceItStartedOrWasRestarted) {
    Clock clock;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double first = clock.getElapsedSeconds();
    EXPECT_GE(first, 0.02);
    const double untilRestart = clock.restart();
    EXPECT_GE(untilRestart, first);
    EXPECT_LT(clock.getElapsedSeconds(), untilRestart) << "counting starts again from 0";
}

TEST(FixedStepClock, FramesOfAnyLengthAddUpToWholeStepsAndAStallIsDropped) {
    const Pace paces[] = {
        {"60 Hz", 1.0f / 60.0f, 6, {1}},
        {"30 Hz", 1.0f / 30.0f, 6, {2}},
        {"120 Hz", 1.0f / 120.0f, 6, {0, 1}},
        {"144 Hz: 5 steps in 12 frames", 1.0f / 144.0f, 24, {0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1}},
        {"a stall of half a second", 0.5f, 2, {5}},
        {"a clock that ran back", -0.1f, 3, {0}},
    };
    for (const Pace& pace : paces) {
        SCOPED_TRACE(pace.what);
        FixedStepClock clock(1.0f / 60.0f, 5);
        for (int frame = 0; frame < pace.frames; ++frame) {
            EXPECT_EQ(clock.advance(pace.frameSeconds), pace.steps[frame % pace.steps.size()])
                << "frame " << frame;
            EXPECT_GE(clock.fraction(), 0.0f);
            EXPECT_LE(clock.fraction(), 1.0f);
        }
    }
    FixedStepClock clock(0.1f, 3);
    EXPECT_EQ(clock.advance(0.05f), 0);
    EXPECT_NEAR(clock.fraction(), 0.5f, 1e-5f) << "halfway to the next step";
    EXPECT_EQ(clock.advance(1.0f), 3);
    EXPECT_EQ(clock.fraction(), 0.0f) << "the rest of the stall is dropped, not kept";
    clock.advance(0.05f);
    clock.reset();
    EXPECT_EQ(clock.fraction(), 0.0f);
}

}  // namespace
}  // namespace orka
