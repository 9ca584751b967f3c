#include "orka/SpriteAtlas.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <sstream>

#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"

namespace orka {
namespace {

using test::atlasPath;
using test::LogCapture;
using ::testing::HasSubstr;

// Collects what is written to std::cerr while it lives: the engine must write nothing there.
class CerrCapture {
public:
    CerrCapture() : previous(std::cerr.rdbuf(text.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(previous); }
    std::string str() const { return text.str(); }

private:
    std::ostringstream text;
    std::streambuf* previous;
};

// The one error record of `log`, as "message" (empty, with a failure, when there is not one).
std::string onlyError(const LogCapture& log) {
    EXPECT_EQ(log.records.size(), 1u);
    if (log.records.size() != 1u) return {};
    EXPECT_EQ(log.records[0].type, LogType::Error);
    EXPECT_EQ(log.records[0].file, "src/orka/SpriteAtlas");
    return log.records[0].message;
}

class SpriteAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        page = Texture::create().withWhiteData(256, 128).build();
    }
    std::shared_ptr<Texture> page;  // 256 x 128
};

TEST_F(SpriteAtlasTest, RectanglesAreMeasuredFromTheBottomOfThePage) {
    auto atlas = SpriteAtlas::create(atlasPath("page.json"), page, true);
    ASSERT_NE(atlas, nullptr);
    const Sprite box = atlas->get("box.png");
    EXPECT_EQ(box.getSpritePos(), glm::ivec2(10, 68));
    EXPECT_EQ(box.getSpriteSize(), glm::ivec2(30, 40));
    EXPECT_EQ(box.getTexture(), page.get());
    EXPECT_EQ(atlas->getAtlasName(), atlasPath("page.json"));
    EXPECT_EQ(atlas->getTexture(), page);
}

TEST_F(SpriteAtlasTest, FlipAnchorYMeasuresThePivotFromTheTop) {
    auto flipped = SpriteAtlas::create(atlasPath("page.json"), page, true);
    auto unflipped = SpriteAtlas::create(atlasPath("page.json"), page, false);
    ASSERT_NE(flipped, nullptr);
    ASSERT_NE(unflipped, nullptr);
    EXPECT_EQ(flipped->get("box.png").getSpriteAnchor(), glm::vec2(0.5f, 1.0f));
    EXPECT_EQ(unflipped->get("box.png").getSpriteAnchor(), glm::vec2(0.5f, 0.0f));
    EXPECT_EQ(flipped->get("fraction.png").getSpriteAnchor(), glm::vec2(0.25f, 0.25f));
}

TEST_F(SpriteAtlasTest, FractionsAreTruncatedTowardZero) {
    auto atlas = SpriteAtlas::create(atlasPath("page.json"), page, false);
    ASSERT_NE(atlas, nullptr);
    const Sprite sprite = atlas->get("fraction.png");  // x 10.9, y -0.5, w 8.99, h 4.2
    EXPECT_EQ(sprite.getSpriteSize(), glm::ivec2(8, 4));
    EXPECT_EQ(sprite.getSpritePos(), glm::ivec2(10, 128 - 4 - 0));
}

TEST_F(SpriteAtlasTest, TheFirstOfTwoEntriesWithOneNameWins) {
    auto atlas = SpriteAtlas::create(atlasPath("page.json"), page, false);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->get("box.png").getSpriteSize(), glm::ivec2(30, 40));
    EXPECT_EQ(atlas->getNames(),
              (std::vector<std::string>{"box.png", "centre.png", "fraction.png"}));
}

TEST_F(SpriteAtlasTest, UnknownNameWarnsAndGivesASpriteWithoutTexture) {
    auto atlas = SpriteAtlas::create(atlasPath("page.json"), page, false);
    ASSERT_NE(atlas, nullptr);
    LogCapture log;
    const Sprite sprite = atlas->get("nope.png");
    EXPECT_EQ(sprite.getTexture(), nullptr);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, LogType::Warning);
    EXPECT_EQ(log.records[0].message,
              "Cannot find sprite nope.png in spriteatlas " + atlasPath("page.json"));
    EXPECT_EQ(log.records[0].function, "get");
    EXPECT_EQ(log.records[0].file, "src/orka/SpriteAtlas");
}

TEST_F(SpriteAtlasTest, PackerExportWithExtraKeysLoadsFromJsonAndPng) {
    LogCapture log;
    auto atlas = SpriteAtlas::create(atlasPath("packer.json"), atlasPath("packer.png"), true);
    ASSERT_NE(atlas, nullptr);
    EXPECT_TRUE(log.records.empty());
    ASSERT_EQ(atlas->getTexture()->getWidth(), 64);
    ASSERT_EQ(atlas->getTexture()->getHeight(), 32);
    EXPECT_EQ(atlas->getTexture()->getName(), atlasPath("packer.png"));
    const Sprite first = atlas->get("1.png");
    EXPECT_EQ(first.getSpritePos(), glm::ivec2(0, 11));
    EXPECT_EQ(first.getSpriteSize(), glm::ivec2(21, 21));
    EXPECT_EQ(first.getSpriteAnchor(), glm::vec2(0.5f, 0.5f));
    EXPECT_EQ(atlas->get("2.png").getSpriteAnchor(), glm::vec2(0.0f, 0.0f));
}

// edges.png is 4 x 4 texels: two columns of red, then two of blue. "red-blue" is the whole page,
// drawn 16 times enlarged. With wrapping, its leftmost pixels would blend in the blue of the
// page's far edge; filtering blends the two colours where they meet in the middle.
TEST_F(SpriteAtlasTest, PagesFromFilesClampToTheirEdgesAndFilterAsAsked) {
    struct Case {
        const char* what;
        std::function<std::shared_ptr<SpriteAtlas>()> load;
        bool blueAtLeftEdge;
        bool blendInMiddle;
    };
    const std::string json = atlasPath("edges.json");
    const std::string png = atlasPath("edges.png");
    const Case cases[] = {
        {"default: linear, clamped", [&] { return SpriteAtlas::create(json, png, false); },
         false, true},
        {"nearest", [&] { return SpriteAtlas::create(json, png, false, SpriteAtlas::Filter::Nearest); },
         false, false},
        {"repeat asked for",
         [&] {
             return SpriteAtlas::create(json, png, false, SpriteAtlas::Filter::Linear,
                                        SpriteAtlas::Edges::Repeat);
         },
         true, true},
    };
    Camera camera;
    camera.setWindowCoordinates();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto atlas = c.load();
        ASSERT_NE(atlas, nullptr);
        Sprite sprite = atlas->get("red-blue");
        sprite.setPosition({100.0f, 100.0f});
        sprite.setScale({16.0f, 16.0f});
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(SpriteBatch::create().addSprite(sprite).build());
        const glm::vec4 leftEdge = pass.readPixels(100, 120, 1, 1).at(0);
        const glm::vec4 middle = pass.readPixels(131, 120, 1, 1).at(0);
        EXPECT_GT(leftEdge.r, 0.5f);
        EXPECT_EQ(leftEdge.b > 0.1f, c.blueAtLeftEdge) << leftEdge.b;
        EXPECT_GT(middle.r, 0.5f);
        EXPECT_EQ(middle.b > 0.1f, c.blendInMiddle) << middle.b;
    }
}

TEST_F(SpriteAtlasTest, AtlasIsRegisteredWithTheRendererWhileItLives) {
    auto& registry = resourcesOf(*Renderer::instance).spriteAtlases;
    auto atlas = SpriteAtlas::create(atlasPath("page.json"), page, false);
    ASSERT_NE(atlas, nullptr);
    SpriteAtlas* raw = atlas.get();
    EXPECT_EQ(std::count(registry.begin(), registry.end(), raw), 1);
    atlas.reset();
    EXPECT_EQ(std::count(registry.begin(), registry.end(), raw), 0);
}

TEST_F(SpriteAtlasTest, AtlasHeldInMemoryLoadsFromAStream) {
    std::istringstream json(
        R"({"frames": [{"filename": "a", "frame": {"x": 1, "y": 2, "w": 3, "h": 4},
            "pivot": {"x": 0, "y": 0}}]})");
    auto atlas = SpriteAtlas::create(json, "in-memory", page, false);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->getAtlasName(), "in-memory");
    EXPECT_EQ(atlas->get("a").getSpritePos(), glm::ivec2(1, 128 - 4 - 2));
}

TEST_F(SpriteAtlasTest, MissingJsonFileIsAnErrorLog) {
    CerrCapture cerr;
    LogCapture log;
    auto atlas = SpriteAtlas::create(atlasPath("absent.json"), page, true);
    EXPECT_EQ(atlas, nullptr);
    EXPECT_EQ(onlyError(log), "SpriteAtlas json not found " + atlasPath("absent.json") +
                                  " (No such file or directory)");
    EXPECT_EQ(cerr.str(), "");
}

TEST_F(SpriteAtlasTest, JsonSyntaxErrorIsAnErrorLog) {
    CerrCapture cerr;
    LogCapture log;
    auto atlas = SpriteAtlas::create(atlasPath("truncated.json"), page, true);
    EXPECT_EQ(atlas, nullptr);
    const std::string message = onlyError(log);
    EXPECT_THAT(message, HasSubstr("truncated.json"));
    EXPECT_THAT(message, HasSubstr("syntax error"));
    EXPECT_EQ(cerr.str(), "");
}

TEST_F(SpriteAtlasTest, PageImageThatCannotBeLoadedGivesAnAtlasOnAWhitePlaceholder) {
    for (const char* image : {"absent.png", "page.json"}) {  // missing, and not an image
        SCOPED_TRACE(image);
        LogCapture log;
        auto atlas = SpriteAtlas::create(atlasPath("page.json"), atlasPath(image), true);
        ASSERT_NE(atlas, nullptr) << "the level stays playable";
        EXPECT_TRUE(atlas->getTexture()->loadFailed());
        EXPECT_EQ(atlas->get("box.png").getTexture(), atlas->getTexture().get());
        ASSERT_EQ(log.records.size(), 2u);
        EXPECT_EQ(log.records[0].type, LogType::Error) << "the texture's reason";
        EXPECT_EQ(log.records[1].type, LogType::Warning);
        EXPECT_EQ(log.records[1].message, "Sprite atlas " + atlasPath("page.json") +
                                              ": page image " + atlasPath(image) +
                                              " could not be loaded, a white placeholder is used");
    }
    LogCapture log;
    auto good = SpriteAtlas::create(atlasPath("packer.json"), atlasPath("packer.png"), true);
    ASSERT_NE(good, nullptr);
    EXPECT_FALSE(good->getTexture()->loadFailed());
}

TEST_F(SpriteAtlasTest, AHugeOneLineFileGetsAShortError) {
    const std::string longLine = "{\"frames\": x" + std::string(1000000, 'a');
    const std::string deep = "{\"frames\": " + std::string(1000000, '[');
    for (const auto& [text, expected] : {std::pair<std::string, std::string>{
                                             longLine, "in-memory: syntax error at line 1 near: x" +
                                                           std::string(39, 'a') + "...\n"},
                                         {deep, "in-memory: too deeply nested (more than 64 "
                                                "levels of arrays and objects)\n"}}) {
        LogCapture log;
        std::istringstream json(text);
        EXPECT_EQ(SpriteAtlas::create(json, "in-memory", page, false), nullptr);
        EXPECT_EQ(onlyError(log) + "\n", expected);
    }
}

TEST_F(SpriteAtlasTest, NumberBeyondDoubleRangeIsAParseErrorNotACrash) {
    LogCapture log;
    std::istringstream json(
        R"({"frames": [{"filename": "a", "frame": {"x": 1e400, "y": 0, "w": 3, "h": 4},
            "pivot": {"x": 0, "y": 0}}]})");
    auto atlas = SpriteAtlas::create(json, "in-memory", page, false);
    EXPECT_EQ(atlas, nullptr);
    EXPECT_EQ(onlyError(log), "in-memory: a number is out of range");
}

TEST_F(SpriteAtlasTest, RectangleWhoseEdgesLeaveTheIntRangeIsAnError) {
    // Each value fits in an int, but an edge computed from them does not.
    const char* frames[] = {R"({"x": 2147483647, "y": 0, "w": 1, "h": 4})",
                            R"({"x": 0, "y": -2147483647, "w": 4, "h": 4})",
                            R"({"x": 0, "y": 0, "w": 4, "h": -2147483647})"};
    for (const char* frame : frames) {
        SCOPED_TRACE(frame);
        LogCapture log;
        std::istringstream json(std::string(R"({"frames": [{"filename": "a", "frame": )") + frame +
                                R"(, "pivot": {"x": 0, "y": 0}}]})");
        EXPECT_EQ(SpriteAtlas::create(json, "in-memory", page, false), nullptr);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_THAT(log.records[0].message, HasSubstr("in-memory"));
        EXPECT_THAT(log.records[0].message, HasSubstr("frames[0].frame is out of range"));
    }
}

TEST_F(SpriteAtlasTest, MissingTextureIsAnError) {
    LogCapture log;
    EXPECT_EQ(SpriteAtlas::create(atlasPath("page.json"), std::shared_ptr<Texture>(), true),
              nullptr);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_THAT(log.records[0].message, HasSubstr("page.json"));
}

struct BrokenAtlas {
    const char* file;
    const char* complaint;  // names the key and what is wrong with it
};

class SpriteAtlasBrokenFile : public SpriteAtlasTest,
                              public ::testing::WithParamInterface<BrokenAtlas> {};

TEST_P(SpriteAtlasBrokenFile, IsAnErrorNamingFileAndKeyNotACrash) {
    LogCapture log;
    auto atlas = SpriteAtlas::create(atlasPath(GetParam().file), page, true);
    EXPECT_EQ(atlas, nullptr);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, LogType::Error);
    EXPECT_THAT(log.records[0].message, HasSubstr(atlasPath(GetParam().file)));
    EXPECT_THAT(log.records[0].message, HasSubstr(GetParam().complaint));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SpriteAtlasBrokenFile,
    ::testing::Values(BrokenAtlas{"missing-frame-x.json", "frames[1].frame.x is missing"},
                      BrokenAtlas{"string-width.json", "frames[0].frame.w must be a number"},
                      BrokenAtlas{"missing-pivot.json", "frames[0].pivot is missing"},
                      BrokenAtlas{"pivot-not-object.json", "frames[0].pivot must be an object"},
                      BrokenAtlas{"numeric-filename.json", "frames[0].filename must be a string"},
                      BrokenAtlas{"frames-object.json", "frames must be an array"},
                      BrokenAtlas{"no-frames.json", "frames is missing"},
                      BrokenAtlas{"top-level-array.json", "frames is missing"},
                      BrokenAtlas{"entry-not-object.json", "frames[0] must be an object"},
                      BrokenAtlas{"huge-number.json", "frames[0].frame.x is out of range"}));

}  // namespace
}  // namespace orka
