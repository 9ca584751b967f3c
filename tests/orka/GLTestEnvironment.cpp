// The GL tests share one window and renderer per binary: a context per test would dominate the
// run time on a software rasteriser. It is made on first use rather than at start-up so that
// death tests of SDLRenderer's own failures run in a child without an SDL already set up.
#include "orka/GLTestEnvironment.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "orka/Renderer.hpp"
#include "orka/SDLRenderer.hpp"

namespace orka::test {

namespace {

std::unique_ptr<SDLRenderer> shared;
Renderer* sharedRenderer = nullptr;

class GLEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        sharedRenderer = nullptr;
        shared.reset();
    }
};

}  // namespace

SDLRenderer& testSDLRenderer() {
    if (shared != nullptr) return *shared;
    // On X, a connection that fails now and then under load would otherwise make SDL fall back
    // silently to another video driver; insist on X11 and try again instead.
    if (std::getenv("DISPLAY") != nullptr) setenv("SDL_VIDEODRIVER", "x11", 0);
    constexpr int attempts = 3;
    constexpr Uint32 retryDelayMs = 200;
    for (int attempt = 0; attempt < attempts && shared == nullptr; ++attempt) {
        auto created = std::make_unique<SDLRenderer>();
#ifdef ORKA_TEST_DISPLAY_BLENDING
        created->setBlendingSpace(BlendingSpace::Display);
#endif
        created->init(SDL_INIT_EVERYTHING, SDL_WINDOW_OPENGL, true);
        if (created->getSDLWindow() != nullptr) {
            sharedRenderer = Renderer::instance;
            shared = std::move(created);
            break;
        }
        created.reset();
        SDL_Delay(retryDelayMs);
    }
    if (shared == nullptr) {
        throw std::runtime_error(std::string("GL tests need an X display: ") + SDL_GetError());
    }
    return *shared;
}

SDL_Window* testWindow() {
    return testSDLRenderer().getSDLWindow();
}

Renderer& testRenderer() {
    testSDLRenderer();
    return *sharedRenderer;
}

}  // namespace orka::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests re-run this binary for one test, so the child starts without SDL set up.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::AddGlobalTestEnvironment(new orka::test::GLEnvironment);
    return RUN_ALL_TESTS();
}
