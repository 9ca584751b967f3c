#include "game/HudOverlay.hpp"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "game/GameObject.hpp"
#include "game/LevelClock.hpp"
#include "game/Scene.hpp"
#include "orka/Renderer.hpp"

namespace {

// The view the window shows, scaled, in its pixels.
const glm::ivec2 kViewSize(800, 600);
// Sizes in the 800 x 600 view's pixels; they grow and shrink with it.
constexpr float kLineFontScale = 1.5f;    // of Dear ImGui's default font
constexpr float kBannerFontScale = 3.0f;
constexpr float kLeastBannerScale = 1.75f;  // a long name shrinks this far, then breaks
constexpr float kFinishFontScale = 1.75f;
constexpr float kBannerWidth = 0.9f;      // of the view's width, the most a banner line takes
constexpr float kOutline = 1.5f;          // view pixels of dark edge around banner text
constexpr float kMargin = 8.0f;           // from the view's top-left corner to the line's box
constexpr float kPadding = 5.0f;          // inside the line's box
constexpr float kCornerRadius = 4.0f;
constexpr float kShadowOffset = 2.0f;
constexpr float kBannerTop = 0.28f;       // of the view's height, to the banner's top
constexpr double kBannerFadeSeconds = 0.4;  // the last part of the banner's time fades it out
// Colours as they appear on screen (sRGB, 0 to 1); the window's framebuffer takes linear
// colours and encodes them, so they are converted before drawing (see `Linear`).
const ImVec4 kLineBackground(0.0f, 0.0f, 0.0f, 0.75f);
const ImVec4 kLineText(0.96f, 0.96f, 0.96f, 1.0f);
const ImVec4 kBannerText(1.0f, 0.902f, 0.549f, 1.0f);  // (255, 230, 140), unlike the art
const ImVec4 kBannerShadow(0.0f, 0.0f, 0.0f, 0.8f);
const ImVec4 kFinishText(0.96f, 0.96f, 0.96f, 1.0f);
const ImVec4 kNewBestText(0.55f, 1.0f, 0.6f, 1.0f);  // green: apart from the coins' yellow
const char* const kSeparator = "  |  ";

/// Where the window shows the view, in Dear ImGui's coordinates (the window's, from the top
/// left): the largest 4:3 rectangle centred in it.
struct ViewArea {
    ImVec2 topLeft;
    float scale;  // window pixels per view pixel
};

ViewArea ShownView() {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const orka::PixelArea area = orka::Renderer::fitAspect(
        {static_cast<int>(display.x), static_cast<int>(display.y)}, kViewSize);
    // The bars are equal on both sides, so the offset from the bottom is the one from the top.
    return {ImVec2(static_cast<float>(area.offset.x), static_cast<float>(area.offset.y)),
            static_cast<float>(area.size.y) / static_cast<float>(kViewSize.y)};
}

float LinearChannel(float srgb) {
    return srgb <= 0.04045f ? srgb / 12.92f : std::pow((srgb + 0.055f) / 1.055f, 2.4f);
}

/// `colour` as seen on screen, `alpha` times as opaque, in the linear form the window's
/// framebuffer encodes back.
ImU32 Linear(const ImVec4& colour, float alpha = 1.0f) {
    return ImGui::ColorConvertFloat4ToU32(ImVec4(LinearChannel(colour.x), LinearChannel(colour.y),
                                                 LinearChannel(colour.z), colour.w * alpha));
}

/// Draws the line; returns its box's bottom edge (window pixels from the top).
float DrawLine(ImDrawList& list, const ViewArea& view, const std::string& text) {
    ImFont* font = ImGui::GetFont();
    // Never below the font's own size: scaled down further, its dots and colons vanish.
    const float size = std::max(font->FontSize * kLineFontScale * view.scale, font->FontSize);
    const ImVec2 textSize = font->CalcTextSizeA(size, FLT_MAX, 0.0f, text.c_str());
    const float margin = kMargin * view.scale;
    const float padding = kPadding * view.scale;
    const ImVec2 boxMin(view.topLeft.x + margin, view.topLeft.y + margin);
    const ImVec2 boxMax(boxMin.x + textSize.x + 2 * padding, boxMin.y + textSize.y + 2 * padding);
    list.AddRectFilled(boxMin, boxMax, Linear(kLineBackground), kCornerRadius * view.scale);
    list.AddText(font, size, ImVec2(boxMin.x + padding, boxMin.y + padding), Linear(kLineText),
                 text.c_str());
    return boxMax.y;
}

/// Text with a dark edge all round, readable over light and dark art alike.
void OutlinedText(ImDrawList& list, float size, ImVec2 at, float outline, const ImVec4& colour,
                  float alpha, const std::string& text, float wrapWidth) {
    ImFont* font = ImGui::GetFont();
    const ImU32 edge = Linear(kBannerShadow, alpha);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            list.AddText(font, size, ImVec2(at.x + dx * outline, at.y + dy * outline), edge,
                         text.c_str(), nullptr, wrapWidth);
        }
    }
    list.AddText(font, size, at, Linear(colour, alpha), text.c_str(), nullptr, wrapWidth);
}

/// Draws `text` centred across the view with its top at `top` (window pixels), at `scale`
/// times the font, shrunk towards `leastScale` and then broken into lines to fit the banner's
/// width. Returns the bottom edge.
float DrawCentred(ImDrawList& list, const ViewArea& view, const std::string& text, float top,
                  float scale, float leastScale, const ImVec4& colour, float alpha) {
    ImFont* font = ImGui::GetFont();
    const float width = kViewSize.x * view.scale * kBannerWidth;
    float size = font->FontSize * scale * view.scale;
    const float oneLine = font->CalcTextSizeA(size, FLT_MAX, 0.0f, text.c_str()).x;
    if (oneLine > width)
        size = std::max(size * width / oneLine, font->FontSize * leastScale * view.scale);
    const ImVec2 textSize = font->CalcTextSizeA(size, FLT_MAX, width, text.c_str());
    const ImVec2 at(view.topLeft.x + (kViewSize.x * view.scale - textSize.x) / 2, top);
    OutlinedText(list, size, at, kOutline * view.scale, colour, alpha, text, width);
    return top + textSize.y;
}

void DrawBanner(ImDrawList& list, const ViewArea& view, const std::string& name,
                const std::optional<LevelFinish>& finished, float alpha) {
    float top = view.topLeft.y + kViewSize.y * view.scale * kBannerTop;
    if (!name.empty()) {
        top = DrawCentred(list, view, name, top, kBannerFontScale, kLeastBannerScale, kBannerText,
                          alpha);
    }
    if (!finished) return;
    top += kPadding * view.scale;
    top = DrawCentred(list, view, HudOverlay::FinishLine(*finished), top, kFinishFontScale,
                      kFinishFontScale, kFinishText, alpha);
    if (finished->newBest) {
        DrawCentred(list, view, "New best", top, kFinishFontScale, kFinishFontScale, kNewBestText,
                    alpha);
    }
}

}  // namespace

float HudOverlay::Draw(const Scene& scene, std::optional<double> bestSeconds,
                       const std::optional<LevelFinish>& finished) {
    const LevelData& level = scene.GetLevelData();
    if (level.level == nullptr) return 0.0f;
    const ViewArea view = ShownView();
    ImDrawList& list = *ImGui::GetBackgroundDrawList();
    const double seconds = scene.GetLevelClock().Seconds();
    const float lineBottom =
        DrawLine(list, view, StatusLine(seconds, LevelProgress::Of(level.objects), bestSeconds));
    const std::string name = level.level->GetName();
    if (seconds >= bannerSeconds || (name.empty() && !finished)) return lineBottom;
    const double left = bannerSeconds - seconds;
    DrawBanner(list, view, name, finished,
               static_cast<float>(std::min(1.0, left / kBannerFadeSeconds)));
    return lineBottom;
}

std::string HudOverlay::FinishLine(const LevelFinish& finish) {
    return finish.levelName + ": " + LevelClock::Format(finish.seconds);
}

std::string HudOverlay::StatusLine(double levelSeconds, const LevelProgress& progress,
                                   std::optional<double> bestSeconds) {
    std::string line = "Time " + LevelClock::Format(levelSeconds) + kSeparator + "Returns " +
                       std::to_string(progress.returns);
    if (progress.collectibles > 0) {
        line += kSeparator + std::string("Collected ") + std::to_string(progress.collected) +
                "/" + std::to_string(progress.collectibles);
    }
    if (bestSeconds) line += kSeparator + std::string("Best ") + LevelClock::Format(*bestSeconds);
    return line;
}
