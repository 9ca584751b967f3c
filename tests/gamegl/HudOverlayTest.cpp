// HudOverlay drawn by Scene::Draw in the shared GL window: the line and the level's name as
// engine text over the level, under the GUI.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/HudOverlay.hpp"
#include "game/Scene.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::MeadowScene;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

/// A box of the window in pixels from its top-left corner, as a player reads it.
struct Box {
    int left, top, width, height;
};
// The line: 8 pixels in, 16-pixel text with 5 pixels of padding; the banner from 28 % down.
constexpr Box kLine{8, 8, 560, 34};
constexpr Box kBanner{100, 160, 600, 60};

class HudOverlayDraw : public MeadowScene {
protected:
    /// Updates and draws a frame whose GUI is the HUD, then `gui`; counts the back buffer's
    /// pixels in `box` whose colour `matches`, and the line's bottom the HUD gave.
    template <typename Matches>
    int DrawAndCount(const Box& box, Matches matches, void (*gui)() = nullptr) {
        scene.drawGui = [this, gui] {
            lineBottom = HudOverlay::Draw(scene, 41.7).lineBottom;
            if (gui != nullptr) gui();
        };
        scene.Update(kFrame);
        scene.Draw();
        std::vector<unsigned char> rgba(static_cast<size_t>(box.width) * box.height * 4);
        glReadPixels(box.left, kHeight - box.top - box.height, box.width, box.height, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
        renderer.swapWindow();
        int count = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            count += matches(rgba[i], rgba[i + 1], rgba[i + 2]);
        return count;
    }
    void TearDown() override { scene.drawGui = nullptr; }

    float lineBottom = 0.0f;
};

bool NearWhite(int r, int g, int b) {
    return r >= 230 && g >= 230 && b >= 230;
}
bool PaleGold(int r, int g, int b) {
    return std::abs(r - 255) <= 4 && std::abs(g - 230) <= 4 && std::abs(b - 140) <= 4;
}

TEST_F(HudOverlayDraw, TheLineAndTheNameShowAsTextOverTheLevel) {
    EXPECT_GT(DrawAndCount(kLine, NearWhite), 300) << "the line's letters";
    EXPECT_GT(lineBottom, 8.0f + 19.0f);
    EXPECT_LT(lineBottom, 8.0f + 34.0f);
    EXPECT_GT(DrawAndCount(kBanner, PaleGold), 100) << "\"Meadow walk\" in pale gold";
    // Past the banner's time only the line is left.
    for (int frame = 0; frame < 2.5 / kFrame; frame++) scene.Update(kFrame);
    EXPECT_EQ(DrawAndCount(kBanner, PaleGold), 0);
    EXPECT_GT(DrawAndCount(kLine, NearWhite), 300);
}

TEST_F(HudOverlayDraw, ALongNameShrinksThenBreaksIntoLinesWithinTheBanner) {
    std::stringstream level;
    level << std::ifstream(folder.path / "meadow1.json").rdbuf();
    std::string text = level.str();
    const std::string name = "Meadow walk";
    text.replace(
        text.find(name), name.size(),
        "The very long walk over the wide and windy green meadow, past the old oak, to the goal");
    folder.Write("meadow1.json", text);
    scene.LoadLevel("meadow");
    // Which rows of the view's middle show gold (from the bottom up), and how far out it reaches.
    const Box whole{0, 120, kWidth, 200};
    std::vector<bool> goldRows(whole.height, false);
    int left = kWidth;
    int right = -1;
    DrawAndCount(whole, [&, pixel = 0](int r, int g, int b) mutable {
        const int x = pixel % whole.width;
        const int row = pixel++ / whole.width;
        if (!PaleGold(r, g, b)) return false;
        goldRows[row] = true;
        left = std::min(left, x);
        right = std::max(right, x);
        return true;
    });
    // Inside the banner's 90 % of the view's width, on two lines: gold rows, a gap, gold rows.
    EXPECT_GE(left, kWidth * 5 / 100);
    EXPECT_LE(right, kWidth * 95 / 100);
    int bands = 0;
    for (int row = 0; row < whole.height; row++) {
        bands += goldRows[row] && (row == 0 || !goldRows[row - 1]) ? 1 : 0;
    }
    EXPECT_EQ(bands, 2);
}

TEST_F(HudOverlayDraw, GuiWindowsStayAboveTheHud) {
    // An opaque window over the line, as the pause menu or the reload panel would be.
    const int covered = DrawAndCount(kLine, NearWhite, [] {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(700, 100));
        ImGui::SetNextWindowBgAlpha(1.0f);
        ImGui::Begin("cover", nullptr, ImGuiWindowFlags_NoDecoration);
        ImGui::End();
    });
    EXPECT_EQ(covered, 0);
}

}  // namespace
