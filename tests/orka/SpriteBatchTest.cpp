#include "orka/SpriteBatch.hpp"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "orka/BatchBufferPool.hpp"
#include "orka/Font.hpp"
#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Shader.hpp"
#include "orka/Shape.hpp"
#include "orka/SpriteTestSupport.hpp"
#include "orka/Text.hpp"
#include "support/Sanitizers.hpp"

namespace orka {
namespace {

using test::atlasPath;

class SpriteBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        atlasA = test::makeCellAtlas();
        atlasB = test::makeCellAtlas();
        ASSERT_NE(atlasA, nullptr);
        ASSERT_NE(atlasB, nullptr);
    }
    Sprite spriteAt(const std::shared_ptr<SpriteAtlas>& atlas, float x, int order = 0) {
        Sprite sprite = atlas->get("red");
        sprite.setPosition({x, 0.0f});
        sprite.setOrderInBatch(order);
        return sprite;
    }
    std::shared_ptr<SpriteAtlas> atlasA, atlasB;
};

TEST_F(SpriteBatchTest, SpritesOfOneTextureMakeOneMeshWithSixIndicesEach) {
    auto batch = SpriteBatch::create()
                     .addSprite(spriteAt(atlasA, 0))
                     .addSprite(spriteAt(atlasA, 10))
                     .addSprite(spriteAt(atlasA, 20))
                     .build();
    ASSERT_NE(batch, nullptr);
    ASSERT_EQ(batch->getMeshes().size(), 1u);
    ASSERT_EQ(batch->getMaterials().size(), 1u);
    const Mesh& mesh = *batch->getMeshes()[0];
    EXPECT_EQ(mesh.getName(), "DynamicSpriteBatch0");
    EXPECT_EQ(mesh.getVertexCount(), 12);
    EXPECT_EQ(mesh.getIndices(0),
              (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 8, 9, 10, 8, 10, 11}));
    EXPECT_EQ(mesh.getMeshTopology(0), MeshTopology::Triangles);
    EXPECT_EQ(mesh.getAttributeNames(), (std::vector<std::string>{"color", "position", "uv"}));

    const Material& material = *batch->getMaterials()[0];
    // White goes as bytes.
    EXPECT_EQ(material.getShader(), Shader::getUnlitSpriteByteColor());
    EXPECT_EQ(material.getTexture(), atlasA->getTexture());
}

// Half alpha goes as floats (bytes cannot hold 0.5), 0.2 = 51 / 255 as bytes.
TEST_F(SpriteBatchTest, VerticesCarryCornersTextureCoordinatesAndColour) {
    for (const float alpha : {0.5f, 0.2f}) {
        Sprite sprite = atlasA->get("green");
        sprite.setPosition({7.0f, 9.0f});
        sprite.setColor({1.0f, 0.0f, 0.0f, alpha});
        auto batch = SpriteBatch::create().addSprite(sprite).build();
        ASSERT_EQ(batch->getMeshes().size(), 1u);
        const Mesh& mesh = *batch->getMeshes()[0];
        const bool floats = alpha == 0.5f;
        EXPECT_EQ(mesh.getType("color").first, floats ? GL_FLOAT : GL_UNSIGNED_BYTE);
        EXPECT_EQ(batch->getMaterials()[0]->getShader(),
                  floats ? Shader::getUnlitSprite() : Shader::getUnlitSpriteByteColor());
        const auto positions = mesh.getPositions();
        const auto uvs = mesh.getUVs();
        const auto colors = mesh.getColors();
        ASSERT_EQ(positions.size(), 4u);
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(positions[i], glm::vec3(sprite.getCorners()[i], 0.0f));
            EXPECT_EQ(uvs[i], glm::vec4(sprite.getUVs()[i], 0.0f, 0.0f));
            EXPECT_EQ(colors[i], glm::vec4(1.0f, 0.0f, 0.0f, alpha));
        }
    }
}

TEST_F(SpriteBatchTest, LowerOrdersComeFirstAndTheBuilderKeepsTheSortedList) {
    auto builder = SpriteBatch::create();
    builder.addSprite(spriteAt(atlasA, 1, 1))
        .addSprite(spriteAt(atlasA, 0, 0))
        .addSprite(spriteAt(atlasA, 2, 1));
    auto batch = builder.build();
    ASSERT_EQ(batch->getMeshes().size(), 1u);
    // The order-0 sprite (x = 0) gives the first four vertices.
    EXPECT_EQ(batch->getMeshes()[0]->getPositions()[3], glm::vec3(0.0f));
    const auto& sorted = builder.getSprites();
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(sorted[0].getOrderInBatch(), 0);
    EXPECT_EQ(sorted[1].getOrderInBatch(), 1);
    EXPECT_EQ(sorted[2].getOrderInBatch(), 1);
}

// More than 16 sprites make the sort partition rather than insert; equal sprites must still
// be drawn in the order they were added, or a sprite added later hides behind an earlier one.
TEST_F(SpriteBatchTest, SpritesOfOneOrderAndTextureKeepTheOrderTheyWereAddedIn) {
    const float scale = 8.0f;  // a 4-texel cell covers 32 x 32 pixels
    auto place = [&](const char* name, int order) {
        Sprite sprite = atlasA->get(name);
        sprite.setPosition({16.0f, 16.0f});
        sprite.setScale({scale, scale});
        sprite.setOrderInBatch(order);
        return sprite;
    };
    auto builder = SpriteBatch::create();
    for (int i = 0; i < 16; i++) builder.addSprite(place("red", 1));
    builder.addSprite(place("green", 1));  // added last: on top of the stack
    builder.addSprite(place("black", 0));  // the background, added after
    Camera camera;
    camera.setWindowCoordinates();
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    pass.draw(builder.build());
    EXPECT_EQ(pass.readPixels(32, 32, 1, 1).at(0), glm::vec4(0, 1, 0, 1));
    const auto& sorted = builder.getSprites();
    ASSERT_EQ(sorted.size(), 18u);
    EXPECT_EQ(sorted.front().getOrderInBatch(), 0);
    EXPECT_EQ(sorted.back().getSpritePos(), atlasA->get("green").getSpritePos());
}

TEST_F(SpriteBatchTest, EveryTextureRunIsARangeOfTheMeshWithItsTexturesMaterial) {
    auto batch = SpriteBatch::create()
                     .addSprite(spriteAt(atlasA, 0, 0))
                     .addSprite(spriteAt(atlasB, 1, 1))
                     .addSprite(spriteAt(atlasA, 2, 2))
                     .build();
    ASSERT_EQ(batch->getMeshes().size(), 1u);
    EXPECT_EQ(batch->getMeshes()[0]->getVertexCount(), 12);
    ASSERT_EQ(batch->getMaterials().size(), 2u);
    ASSERT_EQ(batch->getRuns().size(), 3u);
    const std::shared_ptr<Texture> expected[] = {atlasA->getTexture(), atlasB->getTexture(),
                                                 atlasA->getTexture()};
    for (size_t i = 0; i < 3; i++) {
        const SpriteBatch::Run& run = batch->getRuns()[i];
        EXPECT_EQ(run.mesh, 0);
        EXPECT_EQ(run.firstSprite, static_cast<int>(i));
        EXPECT_EQ(run.sprites, 1);
        EXPECT_EQ(batch->getMaterials().at(static_cast<size_t>(run.material))->getTexture(),
                  expected[i]);
    }
}

TEST_F(SpriteBatchTest, WithinOneOrderSpritesAreGroupedByTexture) {
    auto batch = SpriteBatch::create()
                     .addSprite(spriteAt(atlasA, 0))
                     .addSprite(spriteAt(atlasB, 1))
                     .addSprite(spriteAt(atlasA, 2))
                     .addSprite(spriteAt(atlasB, 3))
                     .build();
    ASSERT_EQ(batch->getRuns().size(), 2u);
    EXPECT_EQ(batch->getRuns()[0].sprites, 2);
    EXPECT_EQ(batch->getRuns()[1].sprites, 2);
    ASSERT_EQ(batch->getMaterials().size(), 2u);
    EXPECT_NE(batch->getMaterials()[0]->getTexture(), batch->getMaterials()[1]->getTexture());
}

// Within one order, an added-order batch draws what was added later over what came before,
// whatever their textures: sprites, shapes (the white texture) and text (a glyph page).
TEST_F(SpriteBatchTest, InAddedOrderLaterItemsCoverEarlierOnesAcrossTextures) {
    const auto font =
        Font::load(std::string(ORKA_TEST_DATA_DIR) + "/../../data/fonts/DejaVuSans.ttf", 64);
    ASSERT_NE(font, nullptr);
    const auto square = [](Sprite sprite) {  // 40 x 40 pixels from (10, 10)
        sprite.setPosition({10.0f, 10.0f});
        sprite.setScale({10.0f, 10.0f});
        return sprite;
    };
    const Sprite red = square(atlasA->get("red"));
    const Sprite green = square(atlasB->get("green"));
    const Shape blueBox = Shape::rectangle({10.0f, 10.0f}, {40.0f, 40.0f}).withColor({0, 0, 1, 1});
    const Shape veil = Shape::rectangle({0.0f, 0.0f}, {100.0f, 100.0f}).withColor({0, 0, 1, 0.5f});
    const Text text(font, "I", {20.0f, 20.0f});
    Camera camera;
    camera.setWindowCoordinates();
    using Builder = SpriteBatch::SpriteBatchBuilder;
    const auto draw = [&](const std::function<void(Builder&)>& add) {
        auto builder = SpriteBatch::create().withAddedOrder();
        add(builder);
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(builder.build());
        return pass.readPixels(0, 0, 100, 100);
    };
    // A pixel the glyph covers fully.
    const auto textAlone = draw([&](Builder& b) { b.addText(text); });
    const auto lit = std::find(textAlone.begin(), textAlone.end(), glm::vec4(1, 1, 1, 1));
    ASSERT_NE(lit, textAlone.end());
    const auto glyphPixel = static_cast<size_t>(lit - textAlone.begin());
    const size_t squarePixel = 30 * 100 + 30;

    struct Case {
        const char* name;
        std::function<void(Builder&)> add;
        size_t pixel;
        std::function<bool(const glm::vec4&)> shows;
    };
    const auto is = [](glm::vec4 colour) {
        return [colour](const glm::vec4& drawn) { return drawn == colour; };
    };
    const Case cases[] = {
        {"a sprite added after a rectangle covers it",
         [&](Builder& b) { b.addShape(blueBox).addSprite(red); }, squarePixel, is({1, 0, 0, 1})},
        {"a rectangle added after a sprite covers it",
         [&](Builder& b) { b.addSprite(red).addShape(blueBox); }, squarePixel, is({0, 0, 1, 1})},
        {"of two sprites of different textures the later is on top",
         [&](Builder& b) { b.addSprite(red).addSprite(green); }, squarePixel, is({0, 1, 0, 1})},
        {"the same sprites added the other way round",
         [&](Builder& b) { b.addSprite(green).addSprite(red); }, squarePixel, is({1, 0, 0, 1})},
        {"a translucent box added after text veils it",
         [&](Builder& b) { b.addText(text).addShape(veil); }, glyphPixel,
         [](const glm::vec4& drawn) {
             return drawn.b == 1.0f && drawn.r > 0.2f && drawn.r < 0.9f;
         }},
        {"text added after a translucent box shows whole",
         [&](Builder& b) { b.addShape(veil).addText(text); }, glyphPixel, is({1, 1, 1, 1})},
    };
    for (const Case& c : cases) {
        const glm::vec4 drawn = draw(c.add).at(c.pixel);
        EXPECT_TRUE(c.shows(drawn)) << c.name << ": (" << drawn.r << ", " << drawn.g << ", "
                                    << drawn.b << ", " << drawn.a << ")";
    }
}

// Added order costs nothing for a frame of one atlas: its sprites and the shapes on its white
// cell stay one run, one draw call.
TEST_F(SpriteBatchTest, InAddedOrderOneAtlasIsStillOneDrawCall) {
    const char* cells[] = {"red", "green", "blue", "red-green"};
    auto builder = SpriteBatch::create().withAddedOrder().withShapeTexel(atlasA->get("white"));
    for (int i = 0; i < 10000; i++) {
        Sprite sprite = atlasA->get(cells[i % 4]);
        sprite.setPosition({static_cast<float>(i % 200 * 4), static_cast<float>(i / 200 * 4)});
        builder.addSprite(sprite);
        if (i % 100 == 0) builder.addShape(Shape::circle({sprite.getPosition()}, 3.0f));
    }
    auto batch = builder.build();
    EXPECT_EQ(batch->getRuns().size(), 1u);
    Camera camera;
    camera.setWindowCoordinates();
    const RenderStats before = test::currentStats();
    {
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(batch);
    }
    EXPECT_EQ(test::currentStats().drawCalls - before.drawCalls, 1);
}

TEST_F(SpriteBatchTest, RunsLongerThanSixteenBitIndicesAllowAreSplit) {
    const int sprites = SpriteBatch::maxSpritesPerMesh * 2 + 1;
    auto builder = SpriteBatch::create();
    for (int i = 0; i < sprites; i++) builder.addSprite(spriteAt(atlasA, static_cast<float>(i)));
    auto batch = builder.build();
    ASSERT_EQ(batch->getMeshes().size(), 3u);
    ASSERT_EQ(batch->getRuns().size(), 3u);
    EXPECT_EQ(batch->getRuns()[2].mesh, 2);
    ASSERT_EQ(batch->getMaterials().size(), 1u);
    const int fullVertices = SpriteBatch::maxSpritesPerMesh * 4;
    EXPECT_EQ(batch->getMeshes()[0]->getVertexCount(), fullVertices);
    EXPECT_EQ(batch->getMeshes()[1]->getVertexCount(), fullVertices);
    EXPECT_EQ(batch->getMeshes()[2]->getVertexCount(), 4);
    const auto& full = batch->getMeshes()[0]->getIndices(0);
    EXPECT_EQ(*std::max_element(full.begin(), full.end()), 65535);
    EXPECT_EQ(batch->getMeshes()[2]->getIndices(0), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(batch->getMeshes()[2]->getName(), "DynamicSpriteBatch2");
    for (const auto& material : batch->getMaterials()) {
        EXPECT_EQ(material->getTexture(), atlasA->getTexture());
    }
}

// Heap bytes in use (arena and mapped blocks), GL drivers' included.
size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

TEST_F(SpriteBatchTest, ManyShortRunsTakeMemoryInProportionToTheirSprites) {
    // 1000 runs of one sprite each, red and green by turns, in rows of 200 four-pixel sprites.
    const int sprites = 1000;
    const int perRow = 200;
    auto builder = SpriteBatch::create();
    for (int i = 0; i < sprites; i++) {
        Sprite sprite = i % 2 == 0 ? atlasA->get("red") : atlasB->get("green");
        sprite.setPosition({static_cast<float>(i % perRow * test::cellSize),
                            static_cast<float>(i / perRow * test::cellSize)});
        sprite.setOrderInBatch(i);
        builder.addSprite(sprite);
    }
    const size_t before = heapInUse();
    auto batch = builder.build();
    const size_t grown = heapInUse() - std::min(before, heapInUse());
    ASSERT_EQ(batch->getRuns().size(), static_cast<size_t>(sprites));
    // A run's data is a few hundred bytes; room for every later sprite in every run would be
    // about 94 MB here.
    EXPECT_LT(grown, size_t{16} << 20) << grown << " bytes for " << sprites << " sprites";

    Camera camera;
    camera.setWindowCoordinates();
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    pass.draw(batch);
    const auto pixel = [&](int i) {
        return pass
            .readPixels(static_cast<unsigned int>(i % perRow * test::cellSize + 2),
                        static_cast<unsigned int>(i / perRow * test::cellSize + 2), 1, 1)
            .at(0);
    };
    for (int i : {0, 1, 2, 998, 999}) {
        EXPECT_EQ(pixel(i), i % 2 == 0 ? glm::vec4(1, 0, 0, 1) : glm::vec4(0, 1, 0, 1)) << i;
    }
}

long minorPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Tens of thousands of small sprites every frame: the driver's working memory for them stays
// with the process between frames instead of being faulted in anew each time (which made
// such frames a third slower once builders stopped freeing their lists).
TEST_F(SpriteBatchTest, LargeBatchesDrawnEveryFrameDoNotFaultTheirMemoryInAgain) {
    // AddressSanitizer's allocator takes the place of the C library's and its thresholds.
    if (test_support::kAddressSanitizer) GTEST_SKIP() << "the C library's allocator is replaced";
    const int count = 50000;
    std::vector<Sprite> sprites;
    for (int i = 0; i < count; i++) {
        Sprite sprite = (i % 2 == 0 ? atlasA : atlasB)->get("red");
        sprite.setPosition({static_cast<float>(37 * i % 800), static_cast<float>(53 * i % 600)});
        sprites.push_back(sprite);
    }
    Camera camera;
    camera.setWindowCoordinates();
    const auto frame = [&] {
        auto builder = SpriteBatch::create();
        for (const Sprite& sprite : sprites) builder.addSprite(sprite);
        {
            RenderPass pass = RenderPass::create().withCamera(camera).build();
            pass.draw(builder.build());
        }
        Renderer::instance->swapWindow();
    };
    for (int warmUp = 0; warmUp < 3; warmUp++) frame();
    const int frames = 5;
    const long before = minorPageFaults();
    for (int i = 0; i < frames; i++) frame();
    const long perFrame = (minorPageFaults() - before) / frames;
    // Faulting the driver's memory in again was about 5,000 faults (20 MB) a frame here.
    EXPECT_LT(perFrame, 1000) << perFrame << " page faults a frame";
}

// Many batches built every frame find their buffers again instead of making them anew; once
// fewer are needed for two frames, the spare ones go.
TEST_F(SpriteBatchTest, ManyBatchesBuiltEveryFrameKeepTheirBuffersWhileNeeded) {
    using Batches = std::vector<std::shared_ptr<SpriteBatch>>;
    const auto build = [&](int batches) {
        Batches built;
        for (int i = 0; i < batches; i++) {
            built.push_back(SpriteBatch::create().addSprite(spriteAt(atlasA, 0)).build());
        }
        return built;
    };
    const auto buffersOf = [](const Batches& batches) {
        std::set<GLuint> names;
        for (const auto& batch : batches) {
            for (const auto& mesh : batch->getMeshes()) {
                names.insert(GpuTestAccess::vertexBuffer(*mesh));
            }
        }
        return names;
    };
    const auto stillBuffers = [](const std::set<GLuint>& names) {
        return std::count_if(names.begin(), names.end(),
                             [](GLuint name) { return glIsBuffer(name) == GL_TRUE; });
    };
    const int batches = 300;
    Batches first = build(batches);
    const std::set<GLuint> firstBuffers = buffersOf(first);
    ASSERT_EQ(firstBuffers.size(), static_cast<size_t>(batches));
    first.clear();
    EXPECT_EQ(stillBuffers(firstBuffers), batches) << "kept for the next frame";
    EXPECT_EQ(buffersOf(build(batches)), firstBuffers);

    for (int frame = 0; frame < 2; frame++) {
        Renderer::instance->swapWindow();
        build(1);
    }
    EXPECT_LE(stillBuffers(firstBuffers), static_cast<long>(BatchBufferPool::maxIdle));
}

// The batch writes vertices its own way and reuses its GL buffers from frame to frame; what it
// draws and counts must be what meshes made from the sprites' own corners draw and count.
// Colours that bytes hold exactly go as bytes (20-byte vertices), others as floats (32 bytes);
// the frames alternate between the two, so pooled buffers change layout from one to the next.
TEST_F(SpriteBatchTest, BatchesBuiltEveryFrameDrawAndCountLikeMeshesOfTheirSprites) {
    const char* cells[] = {"red-green", "blue-over-red", "red-centred", "translucent"};
    std::vector<Sprite> sprites;
    for (int i = 0; i < 12; i++) {
        Sprite sprite = (i / 4 % 2 == 0 ? atlasA : atlasB)->get(cells[i % 4]);
        sprite.setPosition({20.0f + 40.0f * static_cast<float>(i), 30.0f});
        sprite.setScale({5.0f, 4.0f});
        sprite.setRotation(i % 3 == 0 ? 0.0f : 30.0f * static_cast<float>(i));
        sprite.setFlip({i % 2 == 1, i % 5 == 1});
        sprite.setOrderInBatch(i / 4);
        sprites.push_back(sprite);
    }
    Camera camera;
    camera.setWindowCoordinates();
    const auto region = [](RenderPass& pass) { return pass.readPixels(0, 0, 500, 60); };

    const auto colorOf = [](bool bytes, int i) {
        if (bytes) return glm::vec4(1.0f, static_cast<float>(128 + 10 * i) / 255.0f, 0.0f, 0.8f);
        return glm::vec4(1.0f, 0.5f + 0.04f * static_cast<float>(i), 1.0f, 0.9f);
    };
    const auto paint = [&](bool bytes) {
        for (int i = 0; i < 12; i++) sprites[i].setColor(colorOf(bytes, i));
    };

    std::vector<glm::vec4> expected[2];
    for (bool bytes : {false, true}) {
        paint(bytes);
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        for (const Sprite& sprite : sprites) {
            std::vector<glm::vec3> positions;
            std::vector<glm::vec4> uvs;
            for (int corner = 0; corner < 4; corner++) {
                positions.emplace_back(sprite.getCorners()[corner], 0.0f);
                uvs.emplace_back(sprite.getUVs()[corner], 0.0f, 0.0f);
            }
            auto mesh = Mesh::create()
                            .withPositions(positions)
                            .withUVs(uvs)
                            .withColors(std::vector<glm::vec4>(4, sprite.getColor()))
                            .withIndices({0, 1, 2, 0, 2, 3})
                            .build();
            auto material = Shader::getUnlitSprite()->createMaterial();
            material->setTexture(sprite.getTexture()->shared_from_this());
            pass.draw(mesh, glm::mat4(1.0f), material);
        }
        expected[bytes] = region(pass);
    }
    for (int frame = 0; frame < 4; frame++) {
        const bool bytes = frame % 2 == 1;
        const int stride = bytes ? 20 : 32;
        paint(bytes);
        const RenderStats before = test::currentStats();
        auto builder = SpriteBatch::create();
        for (const Sprite& sprite : sprites) builder.addSprite(sprite);
        auto batch = builder.build();
        const RenderStats built = test::currentStats();
        EXPECT_EQ(built.meshCount - before.meshCount, 1);
        // Four sprites a run: 4 vertices and 6 indices of 2 bytes each.
        EXPECT_EQ(built.meshBytes - before.meshBytes, 3 * 4 * (4 * stride + 6 * 2));
        EXPECT_EQ(built.meshBytesAllocated - before.meshBytesAllocated,
                  3 * 4 * (4 * stride + 6 * 2));
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(batch);
        const RenderStats drawn = test::currentStats();
        EXPECT_EQ(drawn.drawCalls - built.drawCalls, 3) << "frame " << frame;
        // Three runs, three draws from the one mesh.
        EXPECT_EQ(drawn.stateChangesMesh - built.stateChangesMesh, 1) << "frame " << frame;
        EXPECT_TRUE(region(pass) == expected[bytes]) << "frame " << frame;
    }
}

TEST_F(SpriteBatchTest, SpritesWithoutTextureAreSkipped) {
    test::LogCapture log;
    const Sprite missing = atlasA->get("not in the atlas");
    ASSERT_EQ(missing.getTexture(), nullptr);
    auto batch = SpriteBatch::create()
                     .addSprite(spriteAt(atlasA, 0))
                     .addSprite(missing)
                     .addSprite(Sprite())
                     .addSprite(spriteAt(atlasA, 1))
                     .build();
    ASSERT_EQ(batch->getMeshes().size(), 1u);
    EXPECT_EQ(batch->getMeshes()[0]->getVertexCount(), 8);

    EXPECT_TRUE(SpriteBatch::create().build()->getMeshes().empty());
    auto onlyMissing = SpriteBatch::create().addSprite(missing).build();
    ASSERT_NE(onlyMissing, nullptr);
    EXPECT_TRUE(onlyMissing->getMeshes().empty());
    EXPECT_TRUE(onlyMissing->getMaterials().empty());
}

}  // namespace
}  // namespace orka
