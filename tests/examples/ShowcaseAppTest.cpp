// The showcase's app in the test window: Escape, arrow keys and the picture of the last frame.
// (The built program's run with --frames and --stats is in ShowcaseProgramTest.)
#include "showcase/ShowcaseApp.hpp"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "orka/GLTestEnvironment.hpp"

namespace showcase {
namespace {

using orka::test::CallbackReset;
using orka::test::testSDLRenderer;

void pushKey(Uint32 type, SDL_Keycode code) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = code;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

Options frames(int count) {
    Options options;
    options.frames = count;
    return options;
}

class ShowcaseAppTest : public ::testing::Test {
protected:
    void SetUp() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }
    CallbackReset callbacks;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ShowcaseAppTest, EscapeEndsTheLoopAfterTheCurrentFrame) {
    ShowcaseApp app(testSDLRenderer(), frames(1000));
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_EQ(app.run(out, err), 0);
    EXPECT_EQ(app.getFramesDrawn(), 1);
    EXPECT_EQ(out.str(), "");
}

TEST_F(ShowcaseAppTest, HeldArrowKeysOrbitTheViewer) {
    ShowcaseApp app(testSDLRenderer(), frames(5));
    const float azimuth = app.getScene().getViewer().getAzimuth();
    const float elevation = app.getScene().getViewer().getElevation();
    pushKey(SDL_KEYDOWN, SDLK_LEFT);
    pushKey(SDL_KEYDOWN, SDLK_DOWN);
    app.run(out, err);
    EXPECT_LT(app.getScene().getViewer().getAzimuth(), azimuth);
    EXPECT_LT(app.getScene().getViewer().getElevation(), elevation);
}

TEST_F(ShowcaseAppTest, WritesTheLastFrameAsPngOrSaysWhyItCannot) {
    // Tests run in the build's own tests folder.
    const std::filesystem::path path = "showcase-app-test.png";
    std::filesystem::remove(path);
    Options options = frames(2);
    options.screenshotPath = path.string();
    ShowcaseApp app(testSDLRenderer(), options);
    EXPECT_EQ(app.run(out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "showcase: wrote " + path.string() + "\n");
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> png(IMG_Load(path.string().c_str()),
                                                                 &SDL_FreeSurface);
    ASSERT_NE(png, nullptr) << IMG_GetError();
    EXPECT_EQ(png->w, app.getLastFrame().getWidth());
    EXPECT_EQ(png->h, app.getLastFrame().getHeight());
    // The file's first row is the window's top row.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgba(
        SDL_ConvertSurfaceFormat(png.get(), SDL_PIXELFORMAT_RGBA32, 0), &SDL_FreeSurface);
    ASSERT_NE(rgba, nullptr);
    for (const auto& [x, y] : {std::pair{20, 10}, std::pair{400, 550}}) {
        const auto* texel = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch + x * 4;
        const glm::vec4 expected = app.getLastFrame().pixel(x, png->h - 1 - y);
        EXPECT_EQ(glm::vec3(texel[0], texel[1], texel[2]), glm::round(glm::vec3(expected) * 255.0f))
            << x << ", " << y;
    }
    std::filesystem::remove(path);

    options.screenshotPath = "/nonexistent-folder/shot.png";
    ShowcaseApp failing(testSDLRenderer(), options);
    std::ostringstream failOut, failErr;
    EXPECT_EQ(failing.run(failOut, failErr), 1);
    EXPECT_EQ(failErr.str().rfind("showcase: cannot write /nonexistent-folder/shot.png", 0), 0u)
        << failErr.str();
}

}  // namespace
}  // namespace showcase
