#include "orka/RenderPass.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <array>
#include <cmath>
#include <functional>
#include <utility>

#include "orka/Framebuffer.hpp"
#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Material.hpp"
#include "orka/Renderer.hpp"
#include "orka/Shader.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"

namespace orka {
namespace {

using test::LogCapture;
using ::testing::HasSubstr;

constexpr float channelTolerance = 2.5f / 255.0f;
const glm::mat4 identity(1.0f);
const glm::vec4 opaqueRed(1, 0, 0, 1);
const glm::vec4 opaqueGreen(0, 1, 0, 1);
const glm::vec4 opaqueBlue(0, 0, 1, 1);

void expectColor(const glm::vec4& actual, const glm::vec4& expected, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_NEAR(actual.r, expected.r, channelTolerance);
    EXPECT_NEAR(actual.g, expected.g, channelTolerance);
    EXPECT_NEAR(actual.b, expected.b, channelTolerance);
}

glm::vec4 pixelAt(RenderPass& pass, unsigned int x, unsigned int y) {
    return pass.readPixels(x, y, 1, 1).at(0);
}

std::array<GLint, 4> glBox(GLenum which) {
    std::array<GLint, 4> box{};
    glGetIntegerv(which, box.data());
    return box;
}

GLint boundFramebuffer() {
    GLint id = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &id);
    return id;
}

// Counters of the frame being drawn, as differences from the start of a test.
struct Counters {
    int drawCalls, shader, material, mesh;
    bool operator==(const Counters& other) const {
        return drawCalls == other.drawCalls && shader == other.shader &&
               material == other.material && mesh == other.mesh;
    }
};

std::ostream& operator<<(std::ostream& out, const Counters& c) {
    return out << "{draws " << c.drawCalls << ", shader " << c.shader << ", material " << c.material
               << ", mesh " << c.mesh << "}";
}

class RenderPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        ASSERT_EQ(RenderPass::instance, nullptr);
        start = Renderer::instance->renderStats;
        quad = Mesh::create().withQuad(0.5f).build();
        unlitRed = Shader::getUnlit()->createMaterial();
        unlitRed->setColor(opaqueRed);
        unlitGreen = Shader::getUnlit()->createMaterial();
        unlitGreen->setColor(opaqueGreen);
        windowCamera.setWindowCoordinates();
    }
    void TearDown() override { EXPECT_EQ(RenderPass::instance, nullptr); }

    Counters counted() const {
        const RenderStats& now = Renderer::instance->renderStats;
        return {now.drawCalls - start.drawCalls, now.stateChangesShader - start.stateChangesShader,
                now.stateChangesMaterial - start.stateChangesMaterial,
                now.stateChangesMesh - start.stateChangesMesh};
    }
    // A square of `size` pixels at (x, y) for the window camera.
    static glm::mat4 square(float x, float y, float size) {
        glm::mat4 model(1.0f);
        model[0][0] = model[1][1] = size;
        model[3] = glm::vec4(x + size / 2, y + size / 2, 0, 1);
        return model;
    }

    RenderStats start;
    std::shared_ptr<Mesh> quad;  // unit square around the origin
    std::shared_ptr<Material> unlitRed, unlitGreen;
    Camera windowCamera;
};

TEST_F(RenderPassTest, DefaultPassClearsToOpaqueBlackAndDepthOneButNotStencil) {
    glClearStencil(7);
    {
        RenderPass red = RenderPass::create().withClearColor(true, opaqueRed).build();
        const auto pixels = red.readPixels(0, 0, 1, 1);
        ASSERT_EQ(pixels.size(), 1u);
        EXPECT_EQ(pixels[0], glm::vec4(1, 0, 0, 1));
    }
    RenderPass pass = RenderPass::create().build();
    expectColor(pixelAt(pass, 10, 10), {0, 0, 0, 1}, "cleared");
    GLfloat depth = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0f);
    GLint stencil = 0;
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &stencil);
    EXPECT_EQ(stencil, 7);
}

TEST_F(RenderPassTest, ViewportAndScissorComeFromTheCameraProjectionFromTheWholeTarget) {
    { RenderPass red = RenderPass::create().withClearColor(true, opaqueRed).build(); }
    Camera camera;
    camera.setViewport({0.5f, 0.0f}, {0.5f, 1.0f});
    RenderPass pass =
        RenderPass::create().withCamera(camera).withClearColor(true, opaqueGreen).build();
    const glm::ivec2 drawable = Renderer::instance->getDrawableSize();
    ASSERT_EQ(drawable, glm::ivec2(800, 600));
    EXPECT_EQ(glBox(GL_VIEWPORT), (std::array<GLint, 4>{400, 0, 400, 600}));
    EXPECT_EQ(glBox(GL_SCISSOR_BOX), (std::array<GLint, 4>{400, 0, 400, 600}));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(pass.getViewportOffset(), glm::uvec2(400, 0));
    EXPECT_EQ(pass.getViewportSize(), glm::uvec2(400, 600));
    EXPECT_EQ(pass.getProjection(), camera.getProjectionTransform({800, 600}));
    // The clear stays inside the viewport.
    expectColor(pixelAt(pass, 100, 300), opaqueRed, "outside the viewport");
    expectColor(pixelAt(pass, 600, 300), opaqueGreen, "inside the viewport");
}

TEST_F(RenderPassTest, ALogicalSizeDrawsIntoACentredAreaBetweenBlackBars) {
    { RenderPass red = RenderPass::create().withClearColor(true, opaqueRed).build(); }
    struct LogicalSize {
        explicit LogicalSize(glm::ivec2 size) { Renderer::instance->setLogicalSize(size); }
        ~LogicalSize() { Renderer::instance->setLogicalSize({0, 0}); }
    } square({400, 400});
    Camera camera;
    camera.setViewport({0.5f, 0.0f}, {0.5f, 1.0f});
    RenderPass pass =
        RenderPass::create().withCamera(camera).withClearColor(true, opaqueGreen).build();
    // 800 x 600 holds a 600 x 600 square at x = 100; the camera takes its right half.
    EXPECT_EQ(glBox(GL_VIEWPORT), (std::array<GLint, 4>{400, 0, 300, 600}));
    EXPECT_EQ(glBox(GL_SCISSOR_BOX), (std::array<GLint, 4>{400, 0, 300, 600}));
    EXPECT_EQ(pass.getProjection(), camera.getProjectionTransform({400, 400}));
    expectColor(pixelAt(pass, 50, 300), {0, 0, 0, 1}, "left bar");
    expectColor(pixelAt(pass, 750, 300), {0, 0, 0, 1}, "right bar");
    expectColor(pixelAt(pass, 200, 300), opaqueRed, "the area outside the camera's viewport");
    expectColor(pixelAt(pass, 500, 300), opaqueGreen, "the camera's viewport");
}

TEST_F(RenderPassTest, SameMeshAndMaterialTwiceBindEverythingOnce) {
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    pass.draw(quad, square(10, 10, 20), unlitRed);
    pass.draw(quad, square(50, 10, 20), unlitRed);
    EXPECT_EQ(counted(), (Counters{2, 1, 1, 1}));
    expectColor(pixelAt(pass, 20, 20), opaqueRed, "first");
    expectColor(pixelAt(pass, 60, 20), opaqueRed, "second: only the model matrix changed");
}

TEST_F(RenderPassTest, TwoMaterialsOnTwoIndexSetsBindTheMeshOnce) {
    // Index set 0 is the lower-right triangle of the quad, set 1 the upper-left one.
    auto halves =
        Mesh::create()
            .withPositions({{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}})
            .withIndices({0, 1, 2}, MeshTopology::Triangles, 0)
            .withIndices({0, 2, 3}, MeshTopology::Triangles, 1)
            .build();
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    pass.draw(halves, square(100, 100, 100), {unlitRed, unlitGreen});
    // One mesh binding plus one switch of index set.
    EXPECT_EQ(counted(), (Counters{2, 1, 2, 2}));
    expectColor(pixelAt(pass, 190, 110), opaqueRed, "lower right: set 0, material 0");
    expectColor(pixelAt(pass, 110, 190), opaqueGreen, "upper left: set 1, material 1");

    // Drawing set 0 again after set 1 must not use set 1's indices.
    pass.draw(halves, square(300, 100, 100), unlitGreen);
    expectColor(pixelAt(pass, 390, 110), opaqueGreen, "set 0 again");
    expectColor(pixelAt(pass, 310, 190), {0, 0, 0, 1}, "set 1 not drawn");
}

TEST_F(RenderPassTest, MoreMaterialsThanIndexSetsDrawWhatTheyCanAndLogAnError) {
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    LogCapture log;
    pass.draw(quad, square(10, 10, 20), {unlitRed, unlitGreen, unlitGreen});
    EXPECT_EQ(counted().drawCalls, 1);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, LogType::Error);
    EXPECT_THAT(log.records[0].message, HasSubstr("1 index sets"));
    EXPECT_THAT(log.records[0].message, HasSubstr("3 materials"));
    expectColor(pixelAt(pass, 20, 20), opaqueRed, "set 0 with material 0");
}

TEST_F(RenderPassTest, EmptyInputsDrawNothing) {
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    LogCapture log;
    pass.draw(quad, identity, std::vector<std::shared_ptr<Material>>{});
    pass.draw(std::shared_ptr<SpriteBatch>(), identity);
    pass.draw(SpriteBatch::create().build(), identity);
    pass.drawLines({}, opaqueRed);
    EXPECT_TRUE(log.records.empty());
    pass.draw(std::shared_ptr<Mesh>(), identity, unlitRed);
    pass.draw(quad, identity, std::shared_ptr<Material>());
    EXPECT_EQ(log.records.size(), 2u);
    EXPECT_EQ(counted(), (Counters{0, 0, 0, 0}));
}

TEST_F(RenderPassTest, DrawLinesAlwaysRebindsMaterialAndMesh) {
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    pass.draw(quad, square(10, 10, 20), unlitRed);
    const std::vector<glm::vec3> line = {{0.0f, 300.5f, 0.0f}, {800.0f, 300.5f, 0.0f}};
    pass.drawLines(line, opaqueGreen, MeshTopology::Lines);
    pass.drawLines(line, opaqueGreen, MeshTopology::Lines);
    // Both line draws share the Unlit shader with the quad, but bind material and mesh anew.
    EXPECT_EQ(counted(), (Counters{3, 1, 3, 3}));
    expectColor(pixelAt(pass, 400, 300), opaqueGreen, "on the line");
    expectColor(pixelAt(pass, 400, 310), {0, 0, 0, 1}, "off the line");
}

// Building or updating a mesh, or making a texture, binds GL objects of its own: the next draw
// of what was drawn before must bind it again rather than trust the pass's caches.
TEST_F(RenderPassTest, ResourcesMadeBetweenDrawsDoNotFoolTheBindingCaches) {
    const unsigned char redTexel[4] = {255, 0, 0, 255};
    const unsigned char greenTexel[4] = {0, 255, 0, 255};
    const auto texel = [](const unsigned char* rgba) {
        return Texture::create().withRGBAData(reinterpret_cast<const char*>(rgba), 1, 1).build();
    };
    auto redTextured = Shader::getUnlit()->createMaterial();
    redTextured->setTexture(texel(redTexel));
    auto other = Mesh::create().withQuad(0.5f).build();
    std::shared_ptr<Texture> green;
    const std::shared_ptr<SpriteAtlas> atlas = test::makeCellAtlas();
    const std::vector<std::pair<const char*, std::function<void()>>> inBetween = {
        {"a mesh built", [] { Mesh::create().withQuad(0.5f).build(); }},
        {"a mesh updated", [&] { other->update().withQuad(0.5f).build(); }},
        {"a texture made", [&] { green = texel(greenTexel); }},
        {"a sprite batch built",
         [&] { SpriteBatch::create().addSprite(atlas->get("blue")).build(); }},
    };
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    float x = 10.0f;
    for (const auto& [what, action] : inBetween) {
        pass.draw(quad, square(x, 10, 20), redTextured);
        action();
        pass.draw(quad, square(x, 50, 20), redTextured);
        expectColor(pixelAt(pass, static_cast<unsigned int>(x) + 10, 60), opaqueRed, what);
        x += 40.0f;
    }
}

// The pass must bind a material again whose values are not those it bound, though it sits at
// the same address: one changed since, or one made where a released one lived.
TEST_F(RenderPassTest, AMaterialChangedOrMadeAtAReleasedOnesAddressIsBoundAgain) {
    alignas(Material) unsigned char storage[sizeof(Material)];
    const auto placed = [&storage](const glm::vec4& colour) {
        Material* material = GpuTestAccess::materialAt(storage, Shader::getUnlit());
        material->setColor(colour);
        return std::shared_ptr<Material>(material, [](Material* old) { old->~Material(); });
    };
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();

    auto changing = Shader::getUnlit()->createMaterial();
    changing->setColor(opaqueRed);
    pass.draw(quad, square(10, 10, 20), changing);
    changing->setColor(opaqueGreen);
    pass.draw(quad, square(50, 10, 20), changing);
    expectColor(pixelAt(pass, 60, 20), opaqueGreen, "the material changed between draws");

    auto released = placed(opaqueRed);
    pass.draw(quad, square(90, 10, 20), released);
    released.reset();
    auto successor = placed(opaqueBlue);
    pass.draw(quad, square(130, 10, 20), successor);
    expectColor(pixelAt(pass, 100, 20), opaqueRed, "the released material");
    expectColor(pixelAt(pass, 140, 20), opaqueBlue, "the material made at its address");
}

// Ids must stay unique among live meshes however many meshes came and went in between.
TEST_F(RenderPassTest, AMeshBuiltLongAfterALiveOneIsBoundForItself) {
    auto live = Mesh::create().withQuad(0.5f).build();
    // Enough builds to run a 16-bit id counter, two ids a build, once around.
    for (int i = 0; i < 32767; i++) Mesh::create().withPositions({glm::vec3(0.0f)}).build();
    // The unit square two units to the right of `live`.
    auto later = Mesh::create()
                     .withPositions({{1.5f, -0.5f, 0},
                                     {2.5f, -0.5f, 0},
                                     {2.5f, 0.5f, 0},
                                     {1.5f, -0.5f, 0},
                                     {2.5f, 0.5f, 0},
                                     {1.5f, 0.5f, 0}})
                     .build();
    RenderPass pass = RenderPass::create().withCamera(windowCamera).build();
    pass.draw(live, square(10, 10, 20), unlitRed);
    pass.draw(later, square(10, 50, 20), unlitRed);
    expectColor(pixelAt(pass, 60, 60), opaqueRed, "the later mesh, 40 pixels to the right");
    expectColor(pixelAt(pass, 20, 60), {0, 0, 0, 1}, "not the live mesh again");
}

TEST_F(RenderPassTest, NestedPassRestoresTargetViewportAndScissorWithoutClearing) {
    auto target = Framebuffer::create().withSize(64, 64).build();
    ASSERT_NE(target, nullptr);
    Camera outerCamera = windowCamera;
    outerCamera.setViewport({0.0f, 0.0f}, {0.5f, 0.5f});
    RenderPass outer = RenderPass::create().withCamera(outerCamera).build();
    const int guiFrame = ImGui::GetFrameCount();
    outer.draw(quad, square(10, 10, 20), unlitRed);
    {
        Camera innerCamera;
        innerCamera.setViewport({0.25f, 0.25f}, {0.5f, 0.5f});
        RenderPass inner = RenderPass::create()
                               .withCamera(innerCamera)
                               .withFramebuffer(target)
                               .withClearColor(true, opaqueGreen)
                               .build();
        EXPECT_EQ(RenderPass::instance, &inner);
        EXPECT_NE(boundFramebuffer(), 0);
        EXPECT_EQ(glBox(GL_VIEWPORT), (std::array<GLint, 4>{16, 16, 32, 32}));
        inner.draw(quad, identity, unlitGreen);
        // The outer pass already has the GUI frame: no second one starts.
        EXPECT_EQ(ImGui::GetFrameCount(), guiFrame);
    }
    EXPECT_EQ(RenderPass::instance, &outer);
    EXPECT_EQ(boundFramebuffer(), 0);
    EXPECT_EQ(glBox(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 400, 300}));
    EXPECT_EQ(glBox(GL_SCISSOR_BOX), (std::array<GLint, 4>{0, 0, 400, 300}));
    // The projection spans the whole window while the viewport is a quarter of it, so the
    // window coordinates of the outer pass land at half their value.
    expectColor(pixelAt(outer, 10, 10), opaqueRed, "outer drawing survives");

    const Counters before = counted();
    outer.draw(quad, square(40, 10, 20), unlitRed);
    const Counters after = counted();
    EXPECT_EQ(after.shader - before.shader, 1);
    EXPECT_EQ(after.material - before.material, 1);
    expectColor(pixelAt(outer, 25, 10), opaqueRed, "outer draws again after the nested pass");
}

TEST_F(RenderPassTest, SwapWindowFinishesTheCurrentPassButKeepsItCurrent) {
    auto target = Framebuffer::create().withSize(8, 8).build();
    RenderPass pass = RenderPass::create().withFramebuffer(target).build();
    EXPECT_NE(boundFramebuffer(), 0);
    const int frame = Renderer::instance->renderStats.frame;
    Renderer::instance->swapWindow();
    EXPECT_EQ(Renderer::instance->renderStats.frame, frame + 1);
    EXPECT_EQ(boundFramebuffer(), 0);
    EXPECT_EQ(RenderPass::instance, &pass);
    // The GUI frame was rendered: a new pass can start the next one.
    const int guiFrame = ImGui::GetFrameCount();
    { RenderPass next = RenderPass::create().build(); }
    EXPECT_EQ(ImGui::GetFrameCount(), guiFrame + 1);
    EXPECT_EQ(RenderPass::instance, &pass);
}

TEST_F(RenderPassTest, MovingACurrentPassMovesTheCurrentPass) {
    RenderPass outer = RenderPass::create().withName("outer").build();
    {
        RenderPass first = RenderPass::create().withName("first").withCamera(windowCamera).build();
        first.draw(quad, square(10, 10, 20), unlitRed);
        RenderPass moved(std::move(first));
        EXPECT_EQ(RenderPass::instance, &moved);
        EXPECT_EQ(moved.getName(), "first");
        // The caches moved too: the same draw binds nothing again.
        const Counters before = counted();
        moved.draw(quad, square(40, 10, 20), unlitRed);
        EXPECT_EQ(counted().material, before.material);
        EXPECT_EQ(counted().mesh, before.mesh);

        // Assigning a new pass replaces the old one in the stack of passes.
        moved = RenderPass::create().withName("second").build();
        EXPECT_EQ(RenderPass::instance, &moved);
        EXPECT_EQ(moved.getName(), "second");
    }
    EXPECT_EQ(RenderPass::instance, &outer);
}

// ---- Sprites drawn through a pass, to the window and to a framebuffer ----

enum class Target { Window, Framebuffer };

class SpritePixels : public RenderPassTest, public ::testing::WithParamInterface<Target> {
protected:
    static constexpr float scale = 10.0f;  // a 4 x 4 cell covers 40 x 40 pixels

    void SetUp() override {
        RenderPassTest::SetUp();
        atlas = test::makeCellAtlas();
        ASSERT_NE(atlas, nullptr);
        if (GetParam() == Target::Framebuffer) {
            framebuffer = Framebuffer::create().withSize(256, 256).build();
            ASSERT_NE(framebuffer, nullptr);
        }
    }
    RenderPass begin(glm::vec4 background = {0, 0, 0, 1}) {
        return RenderPass::create()
            .withCamera(windowCamera)
            .withFramebuffer(framebuffer)
            .withClearColor(true, background)
            .build();
    }
    // The window encodes linear colour as sRGB; the framebuffer's RGBA textures keep it linear.
    glm::vec4 onTarget(const glm::vec4& linear) const {
        if (GetParam() == Target::Framebuffer) return linear;
        auto encode = [](float c) {
            return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
        };
        return {encode(linear.r), encode(linear.g), encode(linear.b), linear.a};
    }
    Sprite place(const char* name, float x, float y) {
        Sprite sprite = atlas->get(name);
        sprite.setPosition({x, y});
        sprite.setScale({scale, scale});
        return sprite;
    }

    std::shared_ptr<SpriteAtlas> atlas;
    std::shared_ptr<Framebuffer> framebuffer;
};

TEST_P(SpritePixels, SpritesSitOnTheirPositionByTheirAnchor) {
    RenderPass pass = begin();
    pass.draw(SpriteBatch::create()
                  .addSprite(place("red", 40, 40))           // lower-left anchor: 40..80
                  .addSprite(place("red-centred", 160, 60))  // centred: 140..180, 40..80
                  .build());
    const glm::vec4 background(0, 0, 0, 1);
    expectColor(pixelAt(pass, 41, 41), opaqueRed, "lower-left anchor, first pixel");
    expectColor(pixelAt(pass, 78, 78), opaqueRed, "lower-left anchor, last pixel");
    expectColor(pixelAt(pass, 38, 60), background, "left of it");
    expectColor(pixelAt(pass, 82, 60), background, "right of it");
    expectColor(pixelAt(pass, 60, 82), background, "above it");
    expectColor(pixelAt(pass, 141, 41), opaqueRed, "centred anchor, lower left");
    expectColor(pixelAt(pass, 178, 78), opaqueRed, "centred anchor, upper right");
    expectColor(pixelAt(pass, 138, 60), background, "left of the centred sprite");
    expectColor(pixelAt(pass, 182, 60), background, "right of the centred sprite");
}

TEST_P(SpritePixels, FlipsMirrorTheTexture) {
    Sprite flippedX = place("red-green", 120, 40);
    flippedX.setFlip({true, false});
    Sprite flippedY = place("blue-over-red", 120, 120);
    flippedY.setFlip({false, true});
    RenderPass pass = begin();
    pass.draw(SpriteBatch::create()
                  .addSprite(place("red-green", 40, 40))
                  .addSprite(flippedX)
                  .addSprite(place("blue-over-red", 40, 120))
                  .addSprite(flippedY)
                  .build());
    expectColor(pixelAt(pass, 45, 60), opaqueRed, "left half");
    expectColor(pixelAt(pass, 75, 60), opaqueGreen, "right half");
    expectColor(pixelAt(pass, 125, 60), opaqueGreen, "left half flipped");
    expectColor(pixelAt(pass, 155, 60), opaqueRed, "right half flipped");
    expectColor(pixelAt(pass, 60, 125), opaqueRed, "bottom half");
    expectColor(pixelAt(pass, 60, 155), opaqueBlue, "top half");
    expectColor(pixelAt(pass, 140, 125), opaqueBlue, "bottom half flipped");
    expectColor(pixelAt(pass, 140, 155), opaqueRed, "top half flipped");
}

TEST_P(SpritePixels, SpriteColourMultipliesTheTextureAndAlphaBlends) {
    Sprite tinted = place("white", 40, 40);
    tinted.setColor({1.0f, 0.5f, 0.25f, 1.0f});
    Sprite halfTransparent = place("white", 120, 40);
    halfTransparent.setColor({1.0f, 1.0f, 1.0f, 0.5f});
    Sprite redOnly = place("green", 40, 120);
    redOnly.setColor({1.0f, 0.0f, 1.0f, 1.0f});
    RenderPass pass = begin(opaqueBlue);
    pass.draw(SpriteBatch::create()
                  .addSprite(tinted)
                  .addSprite(halfTransparent)
                  .addSprite(place("translucent", 200, 40))
                  .addSprite(redOnly)
                  .build());
    expectColor(pixelAt(pass, 60, 60), onTarget({1.0f, 0.5f, 0.25f, 1}), "tinted white");
    expectColor(pixelAt(pass, 140, 60), onTarget({0.5f, 0.5f, 1.0f, 1}), "half white over blue");
    const float textureAlpha = 128.0f / 255.0f;
    expectColor(pixelAt(pass, 220, 60), onTarget({textureAlpha, textureAlpha, 1.0f, 1}),
                "texture alpha over blue");
    expectColor(pixelAt(pass, 60, 140), {0, 0, 0, 1}, "green times magenta is black");
}

TEST_P(SpritePixels, HigherOrdersAreDrawnOnTop) {
    Sprite blue = place("blue", 40, 40);
    blue.setOrderInBatch(1);
    Sprite red = place("red", 60, 60);  // overlaps 60..80
    red.setOrderInBatch(0);
    RenderPass pass = begin();
    pass.draw(SpriteBatch::create().addSprite(blue).addSprite(red).build());
    expectColor(pixelAt(pass, 70, 70), opaqueBlue, "blue on top");
    expectColor(pixelAt(pass, 90, 90), opaqueRed, "red outside the overlap");

    blue.setOrderInBatch(-1);
    pass.draw(SpriteBatch::create().addSprite(blue).addSprite(red).build());
    expectColor(pixelAt(pass, 70, 70), opaqueRed, "red on top");
}

TEST_P(SpritePixels, EverySpriteOfALongRunIsDrawn) {
    auto builder = SpriteBatch::create();
    Sprite filler = atlas->get("blue");
    filler.setPosition({0.0f, 0.0f});
    for (int i = 0; i < SpriteBatch::maxSpritesPerMesh; i++) builder.addSprite(filler);
    Sprite last = place("red", 100, 100);
    last.setOrderInBatch(1);  // sorted behind every filler, so it is sprite 16385
    builder.addSprite(last);
    RenderPass pass = begin();
    pass.draw(builder.build());
    expectColor(pixelAt(pass, 120, 120), opaqueRed, "sprite after the first 16384");
    expectColor(pixelAt(pass, 2, 2), opaqueBlue, "the fillers");
    EXPECT_EQ(counted().drawCalls, 2);
}

INSTANTIATE_TEST_SUITE_P(Targets, SpritePixels,
                         ::testing::Values(Target::Window, Target::Framebuffer),
                         [](const auto& info) {
                             return info.param == Target::Window ? "Window" : "Framebuffer";
                         });

}  // namespace
}  // namespace orka
