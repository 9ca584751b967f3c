// Draws the showcase's scene in the test window and looks at the pixels: lights light the side
// facing them, the monitor shows the off-screen view, the statistics window is drawn, and the
// frame costs the draw calls the scene promises.
#include "showcase/ShowcaseScene.hpp"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>

#include "orka/GLTestEnvironment.hpp"
#include "orka/Light.hpp"
#include "orka/Renderer.hpp"
#include "showcase/FrameCapture.hpp"
#include "showcase/SceneLayout.hpp"

namespace showcase {
namespace {

using orka::test::testRenderer;

// Smallest difference in luminance (0…1) that counts as "brighter".
constexpr float minContrast = 0.08f;
// Same colour, up to rounding of 8-bit channels.
constexpr float sameLuminance = 3.0f / 255.0f;
// A probe this close to a light marker on screen might see the marker instead.
constexpr float markerClearancePixels = 12.0f;

float luminance(glm::vec4 color) {
    return 0.2126f * color.r + 0.7152f * color.g + 0.0722f * color.b;
}

// A point on a surface and its outward unit normal, in world units.
struct SurfacePoint {
    glm::vec3 position;
    glm::vec3 normal;
};

glm::vec3 keyLight() {
    return glm::normalize(layout::keyLightTowards);
}

class ShowcaseSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        testRenderer();
        scene = std::make_unique<ShowcaseScene>();
    }

    // One frame, read back before it is presented.
    FrameCapture drawFrame() {
        scene->render();
        FrameCapture frame = FrameCapture::readWindow();
        testRenderer().swapWindow();
        return frame;
    }

    glm::vec2 pixelOf(glm::vec3 world) const {
        const orka::Camera camera = scene->getViewer().getCamera();
        const glm::vec2 size(testRenderer().getDrawableSize());
        const glm::vec4 clip = camera.getProjectionTransform(glm::uvec2(size)) *
                               camera.getViewTransform() * glm::vec4(world, 1.0f);
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return (ndc * 0.5f + 0.5f) * size;
    }

    // Mean colour of the 3 x 3 pixels around where `world` appears.
    glm::vec4 colorAt(const FrameCapture& frame, glm::vec3 world) const {
        const glm::ivec2 centre(pixelOf(world));
        glm::vec4 sum(0.0f);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) sum += frame.pixel(centre.x + dx, centre.y + dy);
        }
        return sum / 9.0f;
    }

    bool facesViewer(const SurfacePoint& point) const {
        return glm::dot(point.normal, scene->getViewer().getEye() - point.position) > 0.0f;
    }

    void switchOff(int lightIndex) {
        scene->getLights().getLight(lightIndex)->update().withUnused();
    }

    // The side of a solid that faces `towards` must look brighter than the side facing away.
    void expectBrighterTowards(const FrameCapture& frame, const SurfacePoint& lit,
                               const SurfacePoint& dark, glm::vec3 towards,
                               const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(facesViewer(lit) && facesViewer(dark));
        ASSERT_GT(glm::dot(lit.normal, towards), glm::dot(dark.normal, towards) + 0.3f);
        EXPECT_GT(luminance(colorAt(frame, lit.position)),
                  luminance(colorAt(frame, dark.position)) + minContrast);
    }

    // Sphere points whose normals lean towards and away from the key light, both seen.
    std::pair<SurfacePoint, SurfacePoint> spherePoints() const {
        const glm::vec3 view = glm::normalize(scene->getViewer().getEye() - layout::sphereCentre);
        const glm::vec3 across = glm::normalize(keyLight() - glm::dot(keyLight(), view) * view);
        const glm::vec3 litNormal = glm::normalize(0.6f * across + 0.8f * view);
        const glm::vec3 darkNormal = glm::normalize(-0.6f * across + 0.8f * view);
        return {{layout::sphereCentre + layout::sphereRadius * litNormal, litNormal},
                {layout::sphereCentre + layout::sphereRadius * darkNormal, darkNormal}};
    }

    // The centres (a little low, clear of the markers) of the cube's two faces that look at
    // the viewer: the -x face turned left and the +z face turned right.
    static std::pair<SurfacePoint, SurfacePoint> cubeFaces() {
        const glm::mat4 turn =
            glm::rotate(glm::mat4(1.0f), glm::radians(layout::cubeStartYawDegrees), {0, 1, 0});
        const glm::vec3 below(0.0f, -0.4f * layout::cubeHalfEdge, 0.0f);
        const glm::vec3 left = glm::vec3(turn * glm::vec4(-1, 0, 0, 0));
        const glm::vec3 right = glm::vec3(turn * glm::vec4(0, 0, 1, 0));
        return {{layout::cubeCentre + layout::cubeHalfEdge * left + below, left},
                {layout::cubeCentre + layout::cubeHalfEdge * right + below, right}};
    }

    // A point on the front of the torus tube, out from the ring in the xy direction `radial`.
    static SurfacePoint torusPoint(glm::vec2 radial) {
        const float out = 0.4f;  // cosine of the angle between the normal and the ring plane
        const glm::vec3 direction(glm::normalize(radial), 0.0f);
        const glm::vec3 normal = out * direction + std::sqrt(1.0f - out * out) * glm::vec3(0, 0, 1);
        return {layout::torusCentre + layout::torusRingRadius * direction +
                    layout::torusTubeRadius * normal,
                normal};
    }

    std::unique_ptr<ShowcaseScene> scene;
};

TEST_F(ShowcaseSceneTest, KeyLightBrightensTheSideOfEachSolidThatFacesIt) {
    switchOff(ShowcaseScene::warmLightIndex);
    switchOff(ShowcaseScene::coolLightIndex);
    const FrameCapture frame = drawFrame();
    const auto [sphereLit, sphereDark] = spherePoints();
    expectBrighterTowards(frame, sphereLit, sphereDark, keyLight(), "sphere");
    const auto [cubeLeft, cubeRight] = cubeFaces();
    expectBrighterTowards(frame, cubeLeft, cubeRight, keyLight(), "cube");
    const glm::vec2 across(keyLight());
    expectBrighterTowards(frame, torusPoint(across), torusPoint(-across), keyLight(), "torus");

    // Without any light both sides fall back to the same ambient colour.
    switchOff(ShowcaseScene::keyLightIndex);
    const FrameCapture ambient = drawFrame();
    EXPECT_NEAR(luminance(colorAt(ambient, sphereLit.position)),
                luminance(colorAt(ambient, sphereDark.position)), sameLuminance);
    EXPECT_NEAR(luminance(colorAt(ambient, cubeLeft.position)),
                luminance(colorAt(ambient, cubeRight.position)), sameLuminance);
    EXPECT_GT(luminance(colorAt(frame, sphereDark.position)), 0.0f);
}

TEST_F(ShowcaseSceneTest, EachPointLightAddsItsColourToTheSolidNearIt) {
    switchOff(ShowcaseScene::warmLightIndex);
    switchOff(ShowcaseScene::coolLightIndex);
    const FrameCapture keyOnly = drawFrame();
    orka::WorldLights& lights = scene->getLights();
    lights.getLight(ShowcaseScene::warmLightIndex)
        ->update()
        .withPointLight(layout::warmLightPosition);
    lights.getLight(ShowcaseScene::coolLightIndex)
        ->update()
        .withPointLight(layout::coolLightPosition);
    const FrameCapture all = drawFrame();

    // The warm light stands before the cube's right face, the cool one before the torus's
    // upper left.
    const SurfacePoint cubeFace = cubeFaces().second;
    const SurfacePoint torusSide = torusPoint({-1.0f, 0.8f});
    for (const glm::vec3 marker : {layout::warmLightPosition, layout::coolLightPosition}) {
        ASSERT_GT(glm::distance(pixelOf(marker), pixelOf(cubeFace.position)),
                  markerClearancePixels);
        ASSERT_GT(glm::distance(pixelOf(marker), pixelOf(torusSide.position)),
                  markerClearancePixels);
    }
    const glm::vec4 warmGain =
        colorAt(all, cubeFace.position) - colorAt(keyOnly, cubeFace.position);
    EXPECT_GT(warmGain.r, 0.15f);
    EXPECT_GT(warmGain.r, warmGain.b + 0.1f);
    const glm::vec4 coolGain =
        colorAt(all, torusSide.position) - colorAt(keyOnly, torusSide.position);
    EXPECT_GT(coolGain.b, 0.1f);
    EXPECT_GT(coolGain.b, coolGain.r + 0.05f);
}

TEST_F(ShowcaseSceneTest, MonitorShowsTheOffscreenViewOfTheSolids) {
    const FrameCapture frame = drawFrame();
    const float edge = 0.85f * layout::monitorHalfSize;
    // The off-screen pass clears to blue; its camera looks at the (white) sphere.
    const glm::vec4 corner = colorAt(frame, layout::monitorCentre + glm::vec3(-edge, edge, 0));
    EXPECT_GT(corner.b, corner.r + 0.15f);
    EXPECT_GT(corner.b, corner.g + 0.1f);
    const glm::vec4 middle = colorAt(frame, layout::monitorCentre);
    EXPECT_GT(luminance(middle), luminance(corner) + 0.2f);
}

TEST_F(ShowcaseSceneTest, StatisticsWindowIsDrawnOverTheTopLeftCorner) {
    FrameCapture frame;
    // Dear ImGui sizes an auto-resized window during its first frames.
    for (int i = 0; i < 3; ++i) frame = drawFrame();
    const int nearTop = frame.getHeight() - 15;
    const glm::vec4 titleBar = frame.pixel(20, nearTop);
    const glm::vec4 background = frame.pixel(frame.getWidth() - 10, nearTop);
    EXPECT_GT(glm::distance(glm::vec3(titleBar), glm::vec3(background)), 0.1f);
}

TEST_F(ShowcaseSceneTest, FrameCostsTwelveDrawCallsAndReuploadsOnlyTheAnimatedMeshes) {
    const int meshesBefore = orka::Renderer::instance->renderStats.meshCount;
    for (int i = 0; i < 3; ++i) {
        scene->update(1.0f / 60.0f);
        scene->render();
        testRenderer().swapWindow();
    }
    const orka::RenderStats& stats = testRenderer().getRenderStats();
    // Monitor view: cube, sphere, torus. Window: floor, cube, sphere, torus, surface, monitor,
    // two markers, fountain.
    EXPECT_EQ(stats.drawCalls, 12);
    // Standard in the monitor view; Standard, Unlit, Standard Particles in the window.
    EXPECT_EQ(stats.stateChangesShader, 4);
    EXPECT_EQ(stats.stateChangesMaterial, 12);
    // The two markers share the sphere mesh and shader, so the second one binds no mesh.
    EXPECT_EQ(stats.stateChangesMesh, 11);
    // Updates refill the surface and the fountain in place: no mesh made or destroyed, and
    // their bytes uploaded again every frame: surface 33 x 33 vertices of 48 bytes plus
    // 32 x 32 x 6 two-byte indices, fountain 300 points of 64 bytes.
    EXPECT_EQ(orka::Renderer::instance->renderStats.meshCount, meshesBefore);
    EXPECT_EQ(stats.meshBytesAllocated, 33 * 33 * 48 + 32 * 32 * 6 * 2 + 300 * 64);
    EXPECT_EQ(stats.meshBytesDeallocated, 0);
}

}  // namespace
}  // namespace showcase
