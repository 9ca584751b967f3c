// The GL tests share one window and one renderer per binary: creating a context per test would
// dominate the run time on a software rasteriser. The environment fails the run when no display
// is available instead of skipping the GL tests.
#include "orka/GLTestEnvironment.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "orka/Renderer.hpp"

namespace orka::test {

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

SDL_Window* window = nullptr;
std::unique_ptr<Renderer> renderer;

class GLEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0)
            << "GL tests need an X display: " << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        window = SDL_CreateWindow("orka_tests", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  windowWidth, windowHeight, SDL_WINDOW_OPENGL);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = std::make_unique<Renderer>(window, false);
    }
    void TearDown() override {
        renderer.reset();
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_Quit();
    }
};

}  // namespace

SDL_Window* testWindow() {
    return window;
}
Renderer& testRenderer() {
    return *renderer;
}

}  // namespace orka::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new orka::test::GLEnvironment);
    return RUN_ALL_TESTS();
}
