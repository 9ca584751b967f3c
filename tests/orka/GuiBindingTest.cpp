#include "orka/GuiBinding.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <cfloat>
#include <cstring>

#include "orka/GLTestEnvironment.hpp"

namespace orka {
namespace {

using test::testSDLRenderer;
using test::testWindow;

/// Every piece of GL state the GUI may touch while it draws.
struct GLStateSnapshot {
    GLint activeTexture, program, texture, sampler, arrayBuffer, elementBuffer, vertexArray;
    GLint viewport[4], scissorBox[4], polygonMode[2];
    GLint blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha, blendEqRgb, blendEqAlpha;
    GLboolean blend, cullFace, depthTest, scissorTest;

    static GLStateSnapshot take() {
        GLStateSnapshot s;
        std::memset(&s, 0, sizeof(s));
        glGetIntegerv(GL_ACTIVE_TEXTURE, &s.activeTexture);
        glGetIntegerv(GL_CURRENT_PROGRAM, &s.program);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
        glGetIntegerv(GL_SAMPLER_BINDING, &s.sampler);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &s.arrayBuffer);
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &s.elementBuffer);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &s.vertexArray);
        glGetIntegerv(GL_VIEWPORT, s.viewport);
        glGetIntegerv(GL_SCISSOR_BOX, s.scissorBox);
        glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
        glGetIntegerv(GL_BLEND_SRC_RGB, &s.blendSrcRgb);
        glGetIntegerv(GL_BLEND_DST_RGB, &s.blendDstRgb);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &s.blendSrcAlpha);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &s.blendDstAlpha);
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &s.blendEqRgb);
        glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &s.blendEqAlpha);
        s.blend = glIsEnabled(GL_BLEND);
        s.cullFace = glIsEnabled(GL_CULL_FACE);
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        s.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
        return s;
    }
};

void expectSameState(const GLStateSnapshot& a, const GLStateSnapshot& b) {
    EXPECT_EQ(a.activeTexture, b.activeTexture);
    EXPECT_EQ(a.program, b.program);
    EXPECT_EQ(a.texture, b.texture);
    EXPECT_EQ(a.sampler, b.sampler);
    EXPECT_EQ(a.arrayBuffer, b.arrayBuffer);
    EXPECT_EQ(a.elementBuffer, b.elementBuffer);
    EXPECT_EQ(a.vertexArray, b.vertexArray);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(a.viewport[i], b.viewport[i]) << "viewport " << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(a.scissorBox[i], b.scissorBox[i]) << "scissor " << i;
    EXPECT_EQ(a.polygonMode[0], b.polygonMode[0]);
    EXPECT_EQ(a.blendSrcRgb, b.blendSrcRgb);
    EXPECT_EQ(a.blendDstRgb, b.blendDstRgb);
    EXPECT_EQ(a.blendSrcAlpha, b.blendSrcAlpha);
    EXPECT_EQ(a.blendDstAlpha, b.blendDstAlpha);
    EXPECT_EQ(a.blendEqRgb, b.blendEqRgb);
    EXPECT_EQ(a.blendEqAlpha, b.blendEqAlpha);
    EXPECT_EQ(a.blend, b.blend);
    EXPECT_EQ(a.cullFace, b.cullFace);
    EXPECT_EQ(a.depthTest, b.depthTest);
    EXPECT_EQ(a.scissorTest, b.scissorTest);
}

GLuint linkTrivialProgram() {
    const char* vertex = "#version 140\nin vec2 p;\nvoid main() { gl_Position = vec4(p, 0, 1); }\n";
    const char* fragment = "#version 140\nout vec4 c;\nvoid main() { c = vec4(1); }\n";
    const GLuint program = glCreateProgram();
    for (auto [stage, source] :
         {std::pair{GL_VERTEX_SHADER, vertex}, {GL_FRAGMENT_SHADER, fragment}}) {
        const GLuint shader = glCreateShader(stage);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

/// Ends a GUI frame begun by a test without drawing it.
void endFrame() {
    ImGui::EndFrame();
}

TEST(GuiBindingDraw, LeavesTheGLStateAsItFoundItAfterDrawingAWindow) {
    testSDLRenderer();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, 800, 600);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // State unlike what the GUI sets, so that nothing is restored by accident.
    const GLuint program = linkTrivialProgram();
    GLuint texture = 0, sampler = 0, buffers[2] = {}, vertexArray = 0;
    glGenTextures(1, &texture);
    glGenSamplers(1, &sampler);
    glGenBuffers(2, buffers);
    glGenVertexArrays(1, &vertexArray);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindSampler(0, sampler);
    glActiveTexture(GL_TEXTURE3);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glDisable(GL_BLEND);
    glBlendEquationSeparate(GL_FUNC_SUBTRACT, GL_MAX);
    glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_DST_COLOR, GL_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glScissor(1, 2, 3, 4);
    glViewport(10, 20, 300, 200);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    const GLStateSnapshot before = GLStateSnapshot::take();

    GuiBinding::newFrame(testWindow());
    ImGui::SetNextWindowPos(ImVec2(20, 20));
    ImGui::SetNextWindowSize(ImVec2(300, 150));
    ImGui::Begin("State test");
    ImGui::Text("Orkaview GUI");
    ImGui::Button("Press");
    ImGui::End();
    ImGui::Render();
    ImDrawData* drawData = ImGui::GetDrawData();
    ASSERT_NE(drawData, nullptr);
    EXPECT_GT(drawData->TotalVtxCount, 0);
    GuiBinding::renderDrawLists(drawData);

    expectSameState(before, GLStateSnapshot::take());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The window was really drawn: a pixel inside it is no longer the clear colour.
    unsigned char pixel[4] = {};
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glReadPixels(100, 600 - 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_GT(pixel[0] + pixel[1] + pixel[2], 0);

    glUseProgram(0);
    glBindVertexArray(0);
    glBindSampler(0, 0);
    glActiveTexture(GL_TEXTURE0);
    glDeleteProgram(program);
    glDeleteTextures(1, &texture);
    glDeleteSamplers(1, &sampler);
    glDeleteBuffers(2, buffers);
    glDeleteVertexArrays(1, &vertexArray);
    // Back to the state later tests of this binary start from.
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ZERO);
    glScissor(0, 0, 800, 600);
    glViewport(0, 0, 800, 600);
}

TEST(GuiBindingDraw, NothingIsDrawnForAZeroSizedDisplay) {
    testSDLRenderer();
    GuiBinding::newFrame(testWindow());
    ImGui::Render();
    ImGuiIO& io = ImGui::GetIO();
    const ImVec2 saved = io.DisplaySize;
    io.DisplaySize = ImVec2(0, 0);
    GLint viewport[4] = {};
    glViewport(1, 2, 3, 4);
    GuiBinding::renderDrawLists(ImGui::GetDrawData());
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 3);
    io.DisplaySize = saved;
    glViewport(0, 0, 800, 600);
}

SDL_Event keyEvent(Uint32 type, SDL_Keycode sym) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = sym;
    return event;
}

TEST(GuiBindingInput, KeysLandInTheTableByCodeWithoutTheScancodeBit) {
    testSDLRenderer();
    ImGuiIO& io = ImGui::GetIO();
    SDL_Event down = keyEvent(SDL_KEYDOWN, SDLK_LEFT);
    EXPECT_TRUE(GuiBinding::processEvent(&down));
    EXPECT_TRUE(io.KeysDown[SDL_SCANCODE_LEFT]);
    EXPECT_EQ(io.KeyMap[ImGuiKey_LeftArrow], SDL_SCANCODE_LEFT);
    SDL_Event up = keyEvent(SDL_KEYUP, SDLK_LEFT);
    EXPECT_TRUE(GuiBinding::processEvent(&up));
    EXPECT_FALSE(io.KeysDown[SDL_SCANCODE_LEFT]);

    SDL_Event letter = keyEvent(SDL_KEYDOWN, SDLK_a);
    GuiBinding::processEvent(&letter);
    EXPECT_TRUE(io.KeysDown[SDLK_a]);
    EXPECT_EQ(io.KeyMap[ImGuiKey_A], SDLK_a);
    letter.type = SDL_KEYUP;
    GuiBinding::processEvent(&letter);
}

TEST(GuiBindingInput, KeyCodesBeyondTheTableAreIgnored) {
    testSDLRenderer();
    ImGuiIO& io = ImGui::GetIO();
    bool before[512];
    std::memcpy(before, io.KeysDown, sizeof(before));
    // A Cyrillic layout reports the letter's Unicode value (U+044F) as key code.
    for (SDL_Keycode sym : {SDL_Keycode{0x44F}, SDL_Keycode{512}, SDLK_SCANCODE_MASK | 0x7FFF}) {
        SDL_Event down = keyEvent(SDL_KEYDOWN, sym);
        EXPECT_TRUE(GuiBinding::processEvent(&down)) << sym;
    }
    EXPECT_EQ(std::memcmp(before, io.KeysDown, sizeof(before)), 0);
}

TEST(GuiBindingInput, OnlyGuiInputIsReportedAsSuch) {
    testSDLRenderer();
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA9");  // é
    EXPECT_TRUE(GuiBinding::processEvent(&text));
    ImGuiIO& io = ImGui::GetIO();
    ASSERT_FALSE(io.InputQueueCharacters.empty());
    EXPECT_EQ(io.InputQueueCharacters.back(), 0xE9);
    io.InputQueueCharacters.resize(0);

    for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONUP, SDL_WINDOWEVENT, SDL_QUIT,
                        SDL_JOYAXISMOTION, SDL_USEREVENT}) {
        SDL_Event event{};
        event.type = type;
        EXPECT_FALSE(GuiBinding::processEvent(&event)) << std::hex << type;
    }
}

TEST(GuiBindingInput, WheelAndShortClicksReachTheNextFrameOnly) {
    testSDLRenderer();
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = -3;
    EXPECT_TRUE(GuiBinding::processEvent(&wheel));
    EXPECT_EQ(GuiBinding::state().mouseWheel, -1.0f);
    // A click whose down and up both arrive within one frame.
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_RIGHT;
    EXPECT_TRUE(GuiBinding::processEvent(&click));
    click.type = SDL_MOUSEBUTTONUP;
    GuiBinding::processEvent(&click);
    EXPECT_TRUE(GuiBinding::state().mousePressed[1]);

    GuiBinding::newFrame(testWindow());
    ImGuiIO& io = ImGui::GetIO();
    EXPECT_TRUE(io.MouseDown[1]);
    EXPECT_EQ(io.MouseWheel, -1.0f);
    EXPECT_FALSE(GuiBinding::state().mousePressed[1]);
    EXPECT_EQ(GuiBinding::state().mouseWheel, 0.0f);
    endFrame();

    GuiBinding::newFrame(testWindow());
    EXPECT_FALSE(io.MouseDown[1]);
    EXPECT_EQ(io.MouseWheel, 0.0f);
    endFrame();
}

TEST(GuiBindingFrame, FirstFrameReportsASixtiethAndLaterFramesAPositiveDelta) {
    testSDLRenderer();
    // Back to the initial state; the device objects are made again by the next frame.
    GuiBinding::shutdown(SDL_GL_GetCurrentContext());
    EXPECT_EQ(GuiBinding::state().fontTexture, 0u);
    GuiBinding::newFrame(testWindow());
    EXPECT_NE(GuiBinding::state().fontTexture, 0u);
    EXPECT_EQ(ImGui::GetIO().DeltaTime, 0.016666668f);
    endFrame();
    // Within the same millisecond as the previous frame the delta must still be positive.
    GuiBinding::newFrame(testWindow());
    EXPECT_GT(ImGui::GetIO().DeltaTime, 0.0f);
    endFrame();
    EXPECT_EQ(ImGui::GetIO().DisplaySize.x, 800.0f);
    EXPECT_EQ(ImGui::GetIO().DisplayFramebufferScale.x, 1.0f);
}

/// The X server reports pointer crossings asynchronously (and other test processes may map
/// windows over ours), so wait until SDL's focus flag has the wanted value.
bool waitForMouseFocus(SDL_Window* window, bool wanted) {
    constexpr int attempts = 200;
    constexpr Uint32 pollMs = 10;
    for (int i = 0; i < attempts; ++i) {
        SDL_PumpEvents();
        const bool focused = (SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_FOCUS) != 0;
        if (focused == wanted) return true;
        if (wanted) {
            SDL_RaiseWindow(window);
            SDL_WarpMouseInWindow(window, 123, 45);
        }
        SDL_Delay(pollMs);
    }
    return false;
}

TEST(GuiBindingFrame, MouseOutsideTheWindowIsNoMouse) {
    SDL_Window* window = testWindow();
    int x = 0, y = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_WarpMouseGlobal(x + 900, y + 700);
    ASSERT_TRUE(waitForMouseFocus(window, false));
    GuiBinding::newFrame(window);
    EXPECT_EQ(ImGui::GetIO().MousePos.x, -FLT_MAX);
    EXPECT_EQ(ImGui::GetIO().MousePos.y, -3.4028235e38f);
    endFrame();

    SDL_RaiseWindow(window);
    SDL_WarpMouseInWindow(window, 123, 45);
    ASSERT_TRUE(waitForMouseFocus(window, true));
    GuiBinding::newFrame(window);
    EXPECT_EQ(ImGui::GetIO().MousePos.x, 123.0f);
    EXPECT_EQ(ImGui::GetIO().MousePos.y, 45.0f);
    endFrame();
}

}  // namespace
}  // namespace orka
