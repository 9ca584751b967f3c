#include "orka/SDLRenderer.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/GuiBinding.hpp"
#include "orka/Image.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Shader.hpp"
#include "orka/Version.hpp"

namespace orka {
namespace {

using test::CallbackReset;
using test::LogCapture;
using test::testRenderer;
using test::testSDLRenderer;
using test::testWindow;

constexpr Sint32 marker = 4242;

SDL_Event makeEvent(Uint32 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = type;
    return event;
}

/// One event of every class the loop dispatches, each carrying the marker, and the callback
/// that must receive it.
struct Pushed {
    SDL_Event event;
    std::string callback;
};

std::vector<Pushed> eventsOfEveryClass() {
    std::vector<Pushed> pushed;
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event = makeEvent(type);
        event.key.keysym.sym = SDLK_F13;
        event.key.keysym.scancode = SDL_SCANCODE_F13;
        event.key.windowID = marker;
        pushed.push_back({event, "key"});
    }
    for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL}) {
        SDL_Event event = makeEvent(type);
        event.motion.windowID = marker;  // windowID sits at the same place in all four
        pushed.push_back({event, "mouse"});
    }
    for (Uint32 type : {SDL_JOYAXISMOTION, SDL_JOYBUTTONDOWN, SDL_JOYBATTERYUPDATED}) {
        SDL_Event event = makeEvent(type);
        event.jaxis.which = marker;
        pushed.push_back({event, "joystick"});
    }
    for (Uint32 type :
         {SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERBUTTONUP, SDL_CONTROLLERSENSORUPDATE}) {
        SDL_Event event = makeEvent(type);
        event.caxis.which = marker;
        pushed.push_back({event, "controller"});
    }
    for (Uint32 type : {SDL_FINGERDOWN, SDL_FINGERMOTION, SDL_FINGERUP}) {
        SDL_Event event = makeEvent(type);
        event.tfinger.touchId = marker;
        pushed.push_back({event, "touch"});
    }
    SDL_Event user = makeEvent(SDL_USEREVENT);
    user.user.code = marker;
    pushed.push_back({user, "other"});
    SDL_Event text = makeEvent(SDL_TEXTINPUT);
    text.text.windowID = marker;
    std::strcpy(text.text.text, "q");
    pushed.push_back({text, "other"});
    return pushed;
}

// Pushing stamps the time; everything after the timestamp must arrive unchanged.
bool sameEvent(const SDL_Event& a, const SDL_Event& b) {
    const std::size_t payload = offsetof(SDL_CommonEvent, timestamp) + sizeof(Uint32);
    return a.type == b.type && std::memcmp(reinterpret_cast<const char*>(&a) + payload,
                                           reinterpret_cast<const char*>(&b) + payload,
                                           sizeof(SDL_Event) - payload) == 0;
}

/// What one application callback saw, with what the GUI had seen at that moment.
struct Seen {
    std::string callback;
    SDL_Event event;
    std::uint64_t guiEventCount;
    bool guiSawThisLast;
};

void record(std::vector<Seen>& seen, const std::string& callback, const SDL_Event& event) {
    const GuiState& gui = GuiBinding::state();
    seen.push_back({callback, event, gui.eventCount,
                    std::memcmp(&gui.lastEvent, &event, sizeof(SDL_Event)) == 0});
}

TEST(SDLRendererWindow, DefaultsGiveThe800x600WindowTitledOrkaview) {
    SDLRenderer& sdl = testSDLRenderer();
    SDL_Window* window = sdl.getSDLWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Orkaview 0.9.20");
    EXPECT_STREQ(SDL_GetWindowTitle(window), kEngineTitle);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL, 0u);
    EXPECT_EQ(sdl.timePerFrame, 0.016666668f);
    EXPECT_FALSE(sdl.isFullscreen());
    EXPECT_EQ(Renderer::instance, &testRenderer());
}

/// Frames the demo runs; ORKA_DEMO_FRAMES raises it to leave time for a screenshot.
int demoFrames() {
    constexpr int defaultFrames = 30;
    const char* value = std::getenv("ORKA_DEMO_FRAMES");
    const int frames = value != nullptr ? std::atoi(value) : defaultFrames;
    return frames > 1 ? frames : defaultFrames;
}

// The end-to-end picture of the engine core: the default window, a GUI window drawn each frame,
// frames at the cap, and a close request that ends the loop.
TEST(SDLRendererWindow, RunsTitledWindowAtTheFrameCapAndClosesOnQuit) {
    SDLRenderer& sdl = testSDLRenderer();
    CallbackReset reset;
    SDL_Window* window = sdl.getSDLWindow();
    const int frames = demoFrames();
    int rendered = 0;
    float clearedGreen = 0.0f;
    std::vector<float> deltas;
    sdl.frameUpdate = [&](float delta) { deltas.push_back(delta); };
    sdl.frameRender = [&] {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, 800, 600);
        glClearColor(0.1f, 0.3f, 0.6f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        unsigned char pixel[4] = {};
        glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        clearedGreen = pixel[1] / 255.0f;
        GuiBinding::newFrame(window);
        ImGui::SetNextWindowPos(ImVec2(40, 40));
        ImGui::Begin("orka", nullptr, ImGuiWindowFlags_AlwaysAutoResize);
        ImGui::Text("%s  frame %d of %d", SDL_GetWindowTitle(window), rendered + 1, frames);
        ImGui::End();
        ImGui::Render();
        GuiBinding::renderDrawLists(ImGui::GetDrawData());
        if (++rendered == frames) {
            SDL_Event quit = makeEvent(SDL_QUIT);  // what closing the window sends
            SDL_PushEvent(&quit);
        }
    };
    const auto start = std::chrono::steady_clock::now();
    sdl.startEventLoop();
    const std::chrono::duration<float> elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_STREQ(SDL_GetWindowTitle(window), "Orkaview 0.9.20");
    EXPECT_EQ(testRenderer().getDrawableSize(), glm::ivec2(800, 600));
    EXPECT_EQ(rendered, frames + 1) << "the frame that saw the quit still renders";
    EXPECT_GT(clearedGreen, 0.3f) << "the clear colour reached the window";
    ASSERT_EQ(deltas.size(), static_cast<std::size_t>(frames + 1));
    for (std::size_t i = 1; i < deltas.size(); ++i) EXPECT_GE(deltas[i], sdl.timePerFrame);
    EXPECT_GE(elapsed.count(), frames * sdl.timePerFrame);
    std::cout << frames + 1 << " frames in " << elapsed.count() << " s ("
              << (frames + 1) / elapsed.count() << " frames per second)" << std::endl;
}

TEST(SDLRendererEvents, GuiSeesEveryEventOnceBeforeItsCallbackAndQuitEndsAfterTheFrame) {
    SDLRenderer& sdl = testSDLRenderer();
    CallbackReset reset;
    std::vector<Seen> seen;
    sdl.keyEvent = [&](SDL_Event& e) { record(seen, "key", e); };
    sdl.mouseEvent = [&](SDL_Event& e) { record(seen, "mouse", e); };
    sdl.joystickEvent = [&](SDL_Event& e) { record(seen, "joystick", e); };
    sdl.controllerEvent = [&](SDL_Event& e) { record(seen, "controller", e); };
    sdl.touchEvent = [&](SDL_Event& e) { record(seen, "touch", e); };
    sdl.otherEvent = [&](SDL_Event& e) { record(seen, "other", e); };
    std::vector<float> deltas;
    std::vector<std::uint64_t> guiCountAtUpdate;
    std::vector<std::size_t> callbacksAtUpdate;
    int renders = 0;
    sdl.frameUpdate = [&](float delta) {
        deltas.push_back(delta);
        guiCountAtUpdate.push_back(GuiBinding::state().eventCount);
        callbacksAtUpdate.push_back(seen.size());
        if (deltas.size() == 1) {
            SDL_Event quit = makeEvent(SDL_QUIT);
            SDL_PushEvent(&quit);  // seen by the next frame, which must still run in full
        }
        ASSERT_LT(deltas.size(), 5u) << "the loop did not stop";
    };
    sdl.frameRender = [&] { ++renders; };

    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const std::vector<Pushed> pushed = eventsOfEveryClass();
    for (const Pushed& p : pushed) {
        SDL_Event copy = p.event;
        ASSERT_EQ(SDL_PushEvent(&copy), 1) << SDL_GetError();
    }
    const std::uint64_t guiBefore = GuiBinding::state().eventCount;
    const std::int32_t framesBefore = testRenderer().renderStats.frame;

    sdl.startEventLoop();

    // Frame 1 handled the pushed events; frame 2 saw the quit, then updated, rendered, swapped.
    ASSERT_EQ(deltas.size(), 2u);
    EXPECT_EQ(renders, 2);
    EXPECT_EQ(testRenderer().renderStats.frame, framesBefore + 2);
    EXPECT_EQ(deltas[0], 0.0f);
    EXPECT_GE(deltas[1], sdl.timePerFrame);
    for (const Pushed& p : pushed) {
        int matches = 0;
        for (const Seen& s : seen) {
            if (!sameEvent(s.event, p.event)) continue;
            ++matches;
            EXPECT_EQ(s.callback, p.callback) << "event type 0x" << std::hex << p.event.type;
        }
        EXPECT_EQ(matches, 1) << "event type 0x" << std::hex << p.event.type;
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i].guiSawThisLast) << "callback " << i << " ran before the GUI saw it";
        if (i == 0) continue;
        EXPECT_GT(seen[i].guiEventCount, seen[i - 1].guiEventCount);
    }
    // The quit reached the GUI (one more event than callbacks) but no callback.
    EXPECT_EQ(GuiBinding::state().eventCount - guiBefore, seen.size() + 1);
    EXPECT_EQ(guiCountAtUpdate[1] - guiBefore, callbacksAtUpdate[1] + 1);
    for (const Seen& s : seen) EXPECT_NE(s.event.type, static_cast<Uint32>(SDL_QUIT));
}

TEST(SDLRendererLoop, StopEventLoopEndsAfterTheCurrentFrameAndTheLoopCanRunAgain) {
    SDLRenderer& sdl = testSDLRenderer();
    CallbackReset reset;
    int updates = 0;
    int renders = 0;
    sdl.frameUpdate = [&](float) {
        if (++updates == 3) sdl.stopEventLoop();
    };
    sdl.frameRender = [&] { ++renders; };
    sdl.startEventLoop();
    EXPECT_EQ(updates, 3);
    EXPECT_EQ(renders, 3);
    updates = 0;
    sdl.startEventLoop();
    EXPECT_EQ(updates, 3);
}

TEST(SDLRendererLoop, FramesWaitForTheCapAndASlowFrameIsReportedUnclamped) {
    SDLRenderer& sdl = testSDLRenderer();
    CallbackReset reset;
    sdl.timePerFrame = 0.03f;
    constexpr auto slowFrame = std::chrono::milliseconds(80);
    std::vector<float> deltas;
    std::vector<double> times;  // SDLRenderer::getTime in each update
    sdl.frameUpdate = [&](float delta) {
        deltas.push_back(delta);
        times.push_back(sdl.getTime());
        EXPECT_EQ(sdl.getFrameTime(), delta) << "the last frame's length is the update's delta";
        if (deltas.size() == 3) std::this_thread::sleep_for(slowFrame);
        if (deltas.size() == 6) sdl.stopEventLoop();
    };
    const auto start = std::chrono::steady_clock::now();
    sdl.startEventLoop();
    const std::chrono::duration<float> elapsed = std::chrono::steady_clock::now() - start;

    ASSERT_EQ(deltas.size(), 6u);
    EXPECT_EQ(deltas[0], 0.0f);
    for (std::size_t i = 1; i < deltas.size(); ++i) EXPECT_GE(deltas[i], 0.03f) << i;
    EXPECT_GE(deltas[3], 0.08f) << "the slow frame's delta must be its real duration";
    // Six frames each last at least the cap, the slow one longer.
    EXPECT_GE(elapsed.count(), 5 * 0.03f + 0.08f);
    // The loop's time runs from its start: each update sees the frames before it.
    EXPECT_LT(times[0], 0.03);
    double before = 0.0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        before += deltas[i];
        EXPECT_GE(times[i], before - 0.001) << i;
    }
}

TEST(SDLRendererLoop, CallbackExceptionsLeaveTheLoopAndItCanBeRestarted) {
    SDLRenderer& sdl = testSDLRenderer();
    CallbackReset reset;
    sdl.frameUpdate = [](float) { throw std::logic_error("update failed"); };
    EXPECT_THROW(sdl.startEventLoop(), std::logic_error);
    sdl.frameUpdate = [&](float) { sdl.stopEventLoop(); };
    sdl.frameRender = nullptr;
    EXPECT_THROW(sdl.startEventLoop(), std::bad_function_call);
    int renders = 0;
    sdl.frameRender = [&] { ++renders; };
    sdl.startEventLoop();
    EXPECT_EQ(renders, 1);
}

TEST(SDLRendererWindow, SecondInitChangesNothing) {
    SDLRenderer& sdl = testSDLRenderer();
    SDL_Window* window = sdl.getSDLWindow();
    Renderer* renderer = Renderer::instance;
    LogCapture capture;
    sdl.init(SDL_INIT_EVERYTHING, SDL_WINDOW_OPENGL, true);
    EXPECT_EQ(sdl.getSDLWindow(), window);
    EXPECT_EQ(Renderer::instance, renderer);
    EXPECT_TRUE(capture.records.empty());
}

TEST(SDLRendererWindow, SizeAndTitleChangesReachTheOpenWindow) {
    SDLRenderer& sdl = testSDLRenderer();
    SDL_Window* window = sdl.getSDLWindow();
    sdl.setWindowTitle("Renamed");
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Renamed");
    sdl.setWindowTitle(kEngineTitle);
    sdl.setWindowSize({640, 480});
    EXPECT_EQ(testRenderer().getWindowSize(), glm::ivec2(640, 480));
    sdl.setWindowSize({800, 600});
    EXPECT_EQ(testRenderer().getWindowSize(), glm::ivec2(800, 600));
}

TEST(SDLRendererWindow, CursorVisibilityAndLock) {
    SDLRenderer& sdl = testSDLRenderer();
    sdl.setMouseCursorVisible(false);
    EXPECT_FALSE(sdl.isMouseCursorVisible());
    sdl.setMouseCursorVisible(true);
    EXPECT_TRUE(sdl.isMouseCursorVisible());
    const bool locked = sdl.setMouseCursorLocked(true);
    EXPECT_EQ(sdl.isMouseCursorLocked(), locked);
    EXPECT_FALSE(sdl.isMouseCursorVisible()) << "locking hides the cursor";
    EXPECT_TRUE(sdl.setMouseCursorLocked(false));
    EXPECT_FALSE(sdl.isMouseCursorLocked());
    sdl.setMouseCursorVisible(true);
}

// The cases below need an SDLRenderer of their own. Its destructor shuts SDL down, so each runs
// in a child process (a death test) that reports through its exit code and standard error.

/// Sends log records to standard error so the parent can match them.
void logToStandardError() {
    Log::logHandler = [](const char*, const char* file, int, LogType type, std::string message) {
        std::cerr << "[" << static_cast<int>(type) << "] " << file << ": " << message << "\n";
    };
}

int fail(const char* why) {
    std::cerr << "FAILED: " << why << std::endl;
    return 1;
}

int sizeAndTitleBeforeInit() {
    SDLRenderer sdl;
    sdl.setWindowSize({320, 240});
    sdl.setWindowTitle("Before init");
    if (sdl.getSDLWindow() != nullptr) return fail("window before init");
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    SDL_Window* window = sdl.getSDLWindow();
    if (window == nullptr) return fail("no window");
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (width != 320 || height != 240) return fail("size set before init was not used");
    if (std::string(SDL_GetWindowTitle(window)) != "Before init") return fail("title");
    return 0;
}

TEST(SDLRendererDeathTest, SizeAndTitleSetBeforeInitAreUsedAtCreation) {
    EXPECT_EXIT(std::exit(sizeAndTitleBeforeInit()), ::testing::ExitedWithCode(0), "");
}

int fullscreenRoundTrip() {
    SDLRenderer sdl;
    sdl.setWindowSize({640, 480});
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE, false);
    if (sdl.getSDLWindow() == nullptr) return fail("no window");
    SDL_Rect display{};
    SDL_GetDisplayBounds(0, &display);
    sdl.setFullscreen(true);
    if (!sdl.isFullscreen()) return fail("not fullscreen");
    if (Renderer::instance->getDrawableSize() != glm::ivec2(display.w, display.h)) {
        return fail("the drawable does not fill the display");
    }
    sdl.toggleFullscreen();
    if (sdl.isFullscreen()) return fail("still fullscreen");
    if (Renderer::instance->getWindowSize() != glm::ivec2(640, 480)) {
        return fail("the window did not get its size back");
    }
    return 0;
}

TEST(SDLRendererDeathTest, FullscreenTogglesOnAndOff) {
    EXPECT_EXIT(std::exit(fullscreenRoundTrip()), ::testing::ExitedWithCode(0), "");
}

/// One frame of a white triangle with hard edges, at the window's lower left in pixels, and a
/// red GUI rectangle at (250, 10)..(300, 30) from the top left; the captured picture, and the
/// pass's own picture read before the GUI drew.
Image captureTriangleFrame(SDLRenderer& sdl, Image& readInPass) {
    Camera camera;
    camera.setWindowCoordinates();
    const auto triangle =
        Mesh::create()
            .withPositions({{20.0f, 20.0f, 0.0f}, {200.0f, 60.0f, 0.0f}, {80.0f, 180.0f, 0.0f}})
            .build();
    const auto white = Shader::getUnlit()->createMaterial();
    white->setColor({1.0f, 1.0f, 1.0f, 1.0f});
    Image captured;
    sdl.frameRender = [&] {
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(triangle, glm::mat4(1.0f), white);
        // Read in the middle of the pass, which must go on drawing where it did.
        readInPass = pass.readImage();
        ImGui::GetForegroundDrawList()->AddRectFilled({250.0f, 10.0f}, {300.0f, 30.0f},
                                                      IM_COL32(255, 0, 0, 255));
        sdl.stopEventLoop();
    };
    sdl.captureWindow([&](const Image& image) { captured = image; });
    sdl.startEventLoop();
    return captured;
}

/// Pixels around the triangle that are neither the black background nor its white.
int edgeShades(const Image& image) {
    int shades = 0;
    for (int y = image.getHeight() - 200; y < image.getHeight(); y++) {
        for (int x = 0; x < 220; x++) {
            const glm::u8vec4 pixel = image.getPixel(x, y);
            const bool black = pixel == glm::u8vec4(0, 0, 0, 255);
            const bool white = pixel == glm::u8vec4(255, 255, 255, 255);
            shades += black || white ? 0 : 1;
        }
    }
    return shades;
}

/// The triangle's edges are smooth with multisampling on at every window size, the GUI and the
/// capture are there, and edges are hard again once it is off.
int checkMultisampledFrame(SDLRenderer& sdl, glm::ivec2 size, bool smooth, const char* when) {
    Image readInPass;
    const Image image = captureTriangleFrame(sdl, readInPass);
    if (edgeShades(readInPass) != edgeShades(image)) return fail("the pass read other edges");
    if (glm::ivec2(image.getWidth(), image.getHeight()) != size) {
        std::cerr << when << ": captured " << image.getWidth() << " x " << image.getHeight()
                  << std::endl;
        return fail("the capture is not the drawable's size");
    }
    const int shades = edgeShades(image);
    std::cerr << when << ": " << shades << " edge shades" << std::endl;
    if (smooth && shades < 100) return fail("edges are not smoothed");
    if (!smooth && shades != 0) return fail("edges are smoothed without multisampling");
    if (image.getPixel(275, 20) != glm::u8vec4(255, 0, 0, 255)) return fail("no GUI drawn");
    return 0;
}

int multisampledWindow() {
    logToStandardError();
    SDLRenderer sdl;
    sdl.setWindowSize({320, 240});
    sdl.setMultisampling(4);
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE, false);
    if (sdl.getSDLWindow() == nullptr) return fail("no window");
    if (sdl.getMultisampling() != 4) return fail("4 samples not granted");
    if (int failed = checkMultisampledFrame(sdl, {320, 240}, true, "4 samples")) return failed;
    sdl.setWindowSize({400, 300});
    if (int failed = checkMultisampledFrame(sdl, {400, 300}, true, "resized")) return failed;
    SDL_Rect display{};
    SDL_GetDisplayBounds(0, &display);
    sdl.setFullscreen(true);
    if (int failed = checkMultisampledFrame(sdl, {display.w, display.h}, true, "fullscreen")) {
        return failed;
    }
    sdl.setFullscreen(false);
    sdl.setMultisampling(0);
    if (int failed = checkMultisampledFrame(sdl, {400, 300}, false, "off")) return failed;
    // Bad counts: one is refused, one is more than the driver gives.
    sdl.setMultisampling(3);
    if (sdl.getMultisampling() != 0) return fail("3 samples accepted");
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    if (maxSamples < 8) {
        LogCapture log;
        sdl.setMultisampling(8);
        if (sdl.getMultisampling() != maxSamples) return fail("8 samples not lowered");
        if (log.records.size() != 1 || log.records[0].type != LogType::Warning ||
            log.records[0].message.find("GL_MAX_SAMPLES") == std::string::npos) {
            return fail("lowering is not one warning naming GL_MAX_SAMPLES");
        }
    }
    std::cerr << std::flush;
    return 0;
}

// Blending in the display's values, the window and its multisampled stand-in hold plain bytes.
int multisampledDisplayWindow() {
    SDLRenderer sdl;
    sdl.setWindowSize({320, 240});
    sdl.setBlendingSpace(BlendingSpace::Display);
    sdl.setMultisampling(4);
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (sdl.getSDLWindow() == nullptr) return fail("no window");
    return checkMultisampledFrame(sdl, {320, 240}, true, "display values");
}

TEST(SDLRendererDeathTest, MultisamplingSmoothsEdgesThroughResizesFullscreenAndTheGui) {
    EXPECT_EXIT(std::exit(multisampledDisplayWindow()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(multisampledWindow()), ::testing::ExitedWithCode(0),
                "Multisampling takes 2, 4 or 8 samples \\(0 or 1: off\\), not 3; left at 0");
}

/// Runs three frames on a renderer whose init failed; nothing may crash.
int framesWithoutWindow(unsigned int windowFlags) {
    logToStandardError();
    SDLRenderer sdl;
    sdl.init(SDL_INIT_VIDEO, windowFlags, false);
    if (sdl.getSDLWindow() != nullptr) return fail("init should have failed");
    if (Renderer::instance != nullptr) return fail("renderer without a window");
    int frames = 0;
    sdl.frameUpdate = [&](float) {
        if (++frames == 3) sdl.stopEventLoop();
    };
    sdl.startEventLoop();
    sdl.setFullscreen(true);
    std::cerr << std::flush;
    return frames == 3 ? 0 : fail("frames");
}

TEST(SDLRendererDeathTest, FailingSdlInitIsAClearErrorAndNothingCrashes) {
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            std::exit(framesWithoutWindow(SDL_WINDOW_OPENGL));
        },
        ::testing::ExitedWithCode(0),
        "\\[3\\] src/orka/SDLRenderer: Cannot initialise SDL: .*no-such-driver"
        ".*\\[1\\] src/orka/SDLRenderer: SDLRenderer::init\\(\\) not called");
}

TEST(SDLRendererDeathTest, FailingWindowCreationIsAClearErrorAndNothingCrashes) {
    // SDL refuses a window that asks for both OpenGL and Vulkan.
    EXPECT_EXIT(std::exit(framesWithoutWindow(SDL_WINDOW_OPENGL | SDL_WINDOW_VULKAN)),
                ::testing::ExitedWithCode(0),
                "\\[3\\] src/orka/SDLRenderer: Cannot create the window \"Orkaview 0.9.20\": "
                "Conflicting window flags.*\\[1\\] src/orka/SDLRenderer: SDLRenderer::init\\(\\) "
                "not called");
}

}  // namespace
}  // namespace orka
