#include "orka/Renderer.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/Shader.hpp"

namespace orka {
namespace {

using test::LogCapture;
using test::testRenderer;
using test::testWindow;

TEST(Renderer, IsTheInstanceAndSetsTheGlobalGLState) {
    Renderer& renderer = testRenderer();
    while (glGetError() != GL_NO_ERROR) {
    }  // errors of earlier tests in this process are theirs
    EXPECT_EQ(Renderer::instance, &renderer);
    EXPECT_EQ(renderer.getWindowSize(), glm::ivec2(800, 600));
    EXPECT_EQ(renderer.getDrawableSize(), glm::ivec2(800, 600));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    GLint origin = 0;
    glGetIntegerv(GL_POINT_SPRITE_COORD_ORIGIN, &origin);
    EXPECT_EQ(origin, GL_LOWER_LEFT);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The test renderer asks for vsync; whether the driver grants it is the driver's choice
    // (Xvfb's does not), and the renderer must report what was granted.
    EXPECT_EQ(renderer.usesVSync(), SDL_GL_GetSwapInterval() != 0);
}

TEST(Renderer, TheWindowAreaIsTheLargestCentredRectangleOfTheLogicalAspect) {
    struct Case {
        glm::ivec2 drawable, logical;
        PixelArea area;
    };
    const Case cases[] = {
        {{800, 600}, {0, 0}, {{0, 0}, {800, 600}}},  // no logical size: everything
        {{800, 600}, {800, 600}, {{0, 0}, {800, 600}}},
        {{1024, 768}, {800, 600}, {{0, 0}, {1024, 768}}},    // same aspect: no bars
        {{1024, 600}, {800, 600}, {{112, 0}, {800, 600}}},   // wider: bars left and right
        {{800, 768}, {800, 600}, {{0, 84}, {800, 600}}},     // taller: bars above and below
        {{1024, 700}, {800, 600}, {{45, 0}, {933, 700}}},    // 933.3 rounds down, odd bars
        {{1600, 1201}, {800, 600}, {{0, 0}, {1600, 1200}}},  // 1200: the spare row stays at the top
        {{0, 0}, {800, 600}, {{0, 0}, {0, 0}}},              // minimised
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.drawable.x << "x" << c.drawable.y);
        const PixelArea area = Renderer::fitAspect(c.drawable, c.logical);
        EXPECT_EQ(area.offset, c.area.offset);
        EXPECT_EQ(area.size, c.area.size);
    }
}

TEST(RendererStats, RollOverAtSwapKeepingCountsAndZeroingPerFrameFields) {
    Renderer& renderer = testRenderer();
    // Two empty frames, so that earlier tests' drawing is no longer the previous frame.
    renderer.swapWindow();
    renderer.swapWindow();
    const RenderStats saved = renderer.renderStats;
    const std::int32_t frame = renderer.renderStats.frame;
    RenderStats& current = renderer.renderStats;
    current.meshCount += 2;
    current.meshBytes += 100;
    current.meshBytesAllocated = 100;
    current.meshBytesDeallocated = 4;
    current.textureCount += 1;
    current.textureBytes += 64;
    current.textureBytesAllocated = 64;
    current.textureBytesDeallocated = 8;
    current.shaderCount += 3;
    current.drawCalls = 5;
    current.stateChangesShader = 2;
    current.stateChangesMaterial = 3;
    current.stateChangesMesh = 4;

    // During the frame the application sees the previous frame's numbers.
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 0);
    EXPECT_EQ(renderer.getRenderStats().frame, frame == 0 ? 0 : frame - 1);

    renderer.swapWindow();
    const RenderStats& last = renderer.getRenderStats();
    EXPECT_EQ(last.frame, frame);
    EXPECT_EQ(last.drawCalls, 5);
    EXPECT_EQ(last.meshBytesAllocated, 100);
    EXPECT_EQ(last.textureBytesDeallocated, 8);
    EXPECT_EQ(last.stateChangesMesh, 4);
    EXPECT_EQ(current.frame, frame + 1);
    EXPECT_EQ(current.meshCount, saved.meshCount + 2);
    EXPECT_EQ(current.meshBytes, saved.meshBytes + 100);
    EXPECT_EQ(current.textureCount, saved.textureCount + 1);
    EXPECT_EQ(current.textureBytes, saved.textureBytes + 64);
    EXPECT_EQ(current.shaderCount, saved.shaderCount + 3);
    for (std::int64_t field : std::initializer_list<std::int64_t>{
             current.meshBytesAllocated, current.meshBytesDeallocated,
             current.textureBytesAllocated, current.textureBytesDeallocated, current.drawCalls,
             current.stateChangesShader, current.stateChangesMaterial, current.stateChangesMesh}) {
        EXPECT_EQ(field, 0);
    }

    current.meshCount = saved.meshCount;
    current.meshBytes = saved.meshBytes;
    current.textureCount = saved.textureCount;
    current.textureBytes = saved.textureBytes;
    current.shaderCount = saved.shaderCount;
}

int finisherCalls = 0;

void countingFinisher() {
    ++finisherCalls;
    // Work done while finishing the pass belongs to the frame being presented.
    Renderer::instance->renderStats.drawCalls += 1;
}

TEST(RendererStats, SwapFinishesTheCurrentPassBeforeRollingOver) {
    Renderer& renderer = testRenderer();
    finisherCalls = 0;
    Renderer::renderPassFinisher = &countingFinisher;
    renderer.swapWindow();
    Renderer::renderPassFinisher = nullptr;
    EXPECT_EQ(finisherCalls, 1);
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1);
    EXPECT_EQ(renderer.renderStats.drawCalls, 0);
}

TEST(Renderer, ASecondRendererIsAnErrorAndReplacesTheInstance) {
    Renderer& first = testRenderer();
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    {
        LogCapture capture;
        Renderer second(testWindow(), false);
        EXPECT_EQ(Renderer::instance, &second);
        ASSERT_FALSE(capture.records.empty());
        EXPECT_EQ(capture.records[0].type, LogType::Error);
        EXPECT_EQ(capture.records[0].file, "src/orka/Renderer");
        EXPECT_EQ(capture.records[0].message,
                  "Multiple versions of Renderer initialized. Only a single instance is "
                  "supported.");
    }
    EXPECT_EQ(Renderer::instance, nullptr);
    Renderer::instance = &first;
    ASSERT_EQ(SDL_GL_MakeCurrent(testWindow(), context), 0);
}

TEST(Renderer, AMissingWindowIsAFatalErrorThatLeavesNothingBehind) {
    Renderer* const before = Renderer::instance;
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    ::testing::internal::CaptureStdout();
    try {
        Renderer broken(nullptr, false);
        ADD_FAILURE() << "a renderer without a window must not be made";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Error creating OpenGL context: "),
                  std::string::npos)
            << error.what();
    }
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ORKA Error: src/orka/Renderer:"), std::string::npos) << output;
    EXPECT_EQ(Renderer::instance, before);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
}

// The cases below need windows and renderers of their own; an SDLRenderer's destructor shuts
// SDL down, so each runs in a child process (a death test) that reports through its exit code.

int fail(const std::string& why) {
    std::cerr << "FAILED: " << why << std::endl;
    return 1;
}

bool isColor(const glm::vec4& pixel, const glm::vec4& expected) {
    return glm::all(glm::lessThan(glm::abs(pixel - expected), glm::vec4(0.01f)));
}

// Draws with the built-in shaders, the white texture and the line resources in one window,
// closes it, and does the same in a second one.
int builtInsInASecondWindow() {
    const std::vector<glm::vec3> line = {{0.0f, 300.5f, 0.0f}, {800.0f, 300.5f, 0.0f}};
    Camera camera;
    camera.setWindowCoordinates();
    glm::mat4 square(20.0f);
    square[3] = glm::vec4(20, 20, 0, 1);
    for (const char* window : {"first window", "second window"}) {
        SDLRenderer sdl;
        sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
        if (sdl.getSDLWindow() == nullptr) return fail(window);
        auto quad = Mesh::create().withQuad(0.5f).build();
        auto red = Shader::getUnlit()->createMaterial();
        red->setColor({1, 0, 0, 1});
        RenderPass pass = RenderPass::create().withCamera(camera).withGUI(false).build();
        pass.draw(quad, square, red);
        pass.drawLines(line, {0, 1, 0, 1});
        const std::string in = std::string(" in the ") + window;
        if (!isColor(pass.readPixels(20, 20, 1, 1).at(0), {1, 0, 0, 1})) {
            return fail("the Unlit shader with the white texture drew nothing" + in);
        }
        if (!isColor(pass.readPixels(400, 300, 1, 1).at(0), {0, 1, 0, 1})) {
            return fail("the line was not drawn" + in);
        }
        if (glGetError() != GL_NO_ERROR) return fail("GL error" + in);
    }
    return 0;
}

TEST(RendererDeathTest, BuiltInResourcesServeEveryRendererInTurn) {
    EXPECT_EXIT(std::exit(builtInsInASecondWindow()), ::testing::ExitedWithCode(0), "");
}

// Mesa's version override makes a 3.3 core context, as a real 3.3 core driver gives; point
// sprites do not exist there.
int renderOnACoreContext() {
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1);
    SDLRenderer sdl;
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (sdl.getSDLWindow() == nullptr) return fail("no window");
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr || std::string(version).rfind("3.3", 0) != 0) {
        return fail("the driver ignored the version override");
    }
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    if ((profile & GL_CONTEXT_CORE_PROFILE_BIT) == 0) return fail("not a core profile");
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        std::cerr << "GL error 0x" << std::hex << error << " after setting up the renderer\n";
        return 1;
    }
    if (!glIsEnabled(GL_PROGRAM_POINT_SIZE)) return fail("program point size is off");
    return 0;
}

TEST(RendererDeathTest, ACoreContextIsSetUpWithoutGLErrors) {
    EXPECT_EXIT(std::exit(renderOnACoreContext()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orka
