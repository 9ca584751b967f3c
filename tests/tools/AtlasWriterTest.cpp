#include "atlasgen/AtlasWriter.hpp"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <picojson.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/TextFile.hpp"

namespace fs = std::filesystem;

namespace {

PackedAtlas smallAtlas() {
    Image a(3, 2);
    a.fillRect(0, 0, 3, 2, {255, 0, 0, 255});
    Image b(1, 4);
    b.fillRect(0, 0, 1, 4, {0, 0, 255, 128});
    return AtlasPacker().pack({{12, a, 0.5f, 0.25f}, {3, b}});
}

class AtlasWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("atlaswriter-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

}  // namespace

TEST_F(AtlasWriterTest, JsonIsTheFramesFormatTheGameReads) {
    const PackedAtlas atlas = smallAtlas();
    picojson::value root;
    std::istringstream in(AtlasWriter::toJson(atlas, "page.png"));
    in >> root;
    ASSERT_TRUE(picojson::get_last_error().empty()) << picojson::get_last_error();
    const picojson::array& frames = root.get("frames").get<picojson::array>();
    ASSERT_EQ(frames.size(), 2u);
    const picojson::value& first = frames[0];
    EXPECT_EQ(first.get("filename").get<std::string>(), "3.png");
    const picojson::value& second = frames[1];
    EXPECT_EQ(second.get("filename").get<std::string>(), "12.png");
    const PackedFrame& f = atlas.frames[1];
    EXPECT_EQ(second.get("frame").get("x").get<double>(), f.x);
    EXPECT_EQ(second.get("frame").get("y").get<double>(), f.y);
    EXPECT_EQ(second.get("frame").get("w").get<double>(), 3);
    EXPECT_EQ(second.get("frame").get("h").get<double>(), 2);
    EXPECT_EQ(second.get("pivot").get("x").get<double>(), 0.5);
    EXPECT_EQ(second.get("pivot").get("y").get<double>(), 0.25);
}

TEST_F(AtlasWriterTest, PngHoldsThePageExactly) {
    const PackedAtlas atlas = smallAtlas();
    const std::string base = (folder / "atlas").string();
    AtlasWriter::write(atlas, base);
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(
        IMG_Load((base + ".png").c_str()), &SDL_FreeSurface);
    ASSERT_TRUE(loaded) << IMG_GetError();
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgba(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0), &SDL_FreeSurface);
    ASSERT_EQ(rgba->w, atlas.page.width());
    ASSERT_EQ(rgba->h, atlas.page.height());
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y) {
        for (int x = 0; x < rgba->w; ++x) {
            const std::uint8_t* p = pixels + y * rgba->pitch + x * 4;
            ASSERT_EQ(atlas.page.at(x, y), (Rgba{p[0], p[1], p[2], p[3]})) << x << "," << y;
        }
    }
    EXPECT_TRUE(fs::exists(base + ".json"));
    EXPECT_FALSE(fs::exists(base + ".png.tmp"));
}

TEST_F(AtlasWriterTest, FailedWriteNamesTheFileAndKeepsThePreviousOne) {
    const std::string path = (folder / "kept.json").string();
    TextFile::write(path, "old");
    // A folder with the temporary file's name makes the write fail.
    fs::create_directories(path + ".tmp");
    try {
        TextFile::write(path, "new");
        FAIL() << "the write did not fail";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(TextFile::read(path), "old");

    const std::string missing = (folder / "no-such-folder" / "atlas").string();
    try {
        AtlasWriter::write(smallAtlas(), missing);
        FAIL() << "writing into a missing folder did not fail";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(missing + ".png"), std::string::npos) << e.what();
    }
}

TEST(TextFileTest, ReadingAMissingFileNamesIt) {
    try {
        TextFile::read("/no/such/file.txt");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/no/such/file.txt"), std::string::npos);
    }
}
