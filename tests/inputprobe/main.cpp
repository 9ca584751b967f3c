// A window that prints the engine's input state as it changes, one line a frame, for the
// end-to-end input test (tests/e2e/RealInputTest.cpp) to drive with real X input.
//
// Line format (all on one line, fields separated by " | "):
//   held <scancodes> | pressed <scancodes> | released <scancodes> | text "<utf8>" |
//   mouse <x> <y> | world <x> <y> | wheel <x> <y> | buttons <held> <pressed> <released> |
//   repeats <key repeats seen so far>
// Scancodes are SDL numbers separated by commas ("-" for none); buttons are bit masks of
// orka::MouseButton numbers. The first line is "ready <width> <height>".
#include <cstdio>
#include <sstream>
#include <string>

#include "orka/Camera.hpp"
#include "orka/Input.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SDLRenderer.hpp"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The test works the world position out from these: half the visible height, and the point
// at the window's centre, in world units.
constexpr float kOrthographicSize = 10.0f;
constexpr float kCentreX = 5.0f;
constexpr float kCentreY = 2.0f;
constexpr int kMaxButton = 5;

template <typename Test>
std::string Scancodes(Test test) {
    std::string list;
    for (int code = SDL_SCANCODE_UNKNOWN + 1; code < SDL_NUM_SCANCODES; ++code) {
        if (!test(static_cast<SDL_Scancode>(code))) continue;
        list += (list.empty() ? "" : ",") + std::to_string(code);
    }
    return list.empty() ? "-" : list;
}

template <typename Test>
int Buttons(Test test) {
    int mask = 0;
    for (int button = 1; button <= kMaxButton; ++button) {
        if (test(static_cast<orka::MouseButton>(button))) mask |= 1 << button;
    }
    return mask;
}

std::string Describe(const orka::Input& input, const orka::Camera& camera, int repeats) {
    std::ostringstream line;
    const glm::vec2 mouse = input.getMousePosition();
    const glm::vec3 world = input.getMouseWorldPosition(camera);
    const glm::vec2 wheel = input.getMouseWheel();
    line << "held " << Scancodes([&](SDL_Scancode c) { return input.isDown(c); }) << " | pressed "
         << Scancodes([&](SDL_Scancode c) { return input.wasPressed(c); }) << " | released "
         << Scancodes([&](SDL_Scancode c) { return input.wasReleased(c); }) << " | text \""
         << input.getText() << "\" | mouse " << mouse.x << " " << mouse.y << " | world " << world.x
         << " " << world.y << " | wheel " << wheel.x << " " << wheel.y << " | buttons "
         << Buttons([&](orka::MouseButton b) { return input.isDown(b); }) << " "
         << Buttons([&](orka::MouseButton b) { return input.wasPressed(b); }) << " "
         << Buttons([&](orka::MouseButton b) { return input.wasReleased(b); }) << " | repeats "
         << repeats;
    return line.str();
}

}  // namespace

int main() {
    orka::SDLRenderer window;
    window.setWindowTitle("input probe");
    window.setWindowSize({kWidth, kHeight});
    window.init();
    if (window.getSDLWindow() == nullptr) return 1;

    orka::Camera camera;
    camera.setOrthographicProjection(kOrthographicSize, -1.0f, 1.0f);
    camera.lookAt({kCentreX, kCentreY, 1.0f}, {kCentreX, kCentreY, 0.0f});

    std::printf("ready %d %d\n", kWidth, kHeight);
    std::fflush(stdout);
    std::string last;
    // The keyboard's own repeats of a held key, which the input must not take for presses.
    int repeats = 0;
    window.keyEvent = [&](SDL_Event& event) { repeats += event.key.repeat != 0; };
    window.frameUpdate = [&](float) {
        const std::string line = Describe(window.getInput(), camera, repeats);
        // Only changes: a still frame would repeat the line, and the pipe would fill.
        if (line == last) return;
        last = line;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    window.frameRender = [&] {
        orka::RenderPass pass = orka::RenderPass::create().withCamera(camera).build();
    };
    window.startEventLoop();
    return 0;
}
