#include "game/HudOverlay.hpp"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <map>
#include <memory>

#include "game/GameObject.hpp"
#include "game/LevelClock.hpp"
#include "game/Scene.hpp"
#include "orka/Camera.hpp"
#include "orka/Font.hpp"
#include "orka/Log.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/Shape.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Text.hpp"

namespace {

// The view the window shows, scaled, in its pixels.
const glm::ivec2 kViewSize(800, 600);
// The font: the world folder's own copy first, then the one bundled with the game's sources.
const char* const kFontFile = "fonts/DejaVuSans.ttf";
const char* const kBundledFont = ORKA_BUNDLED_FONT;
// A long name is drawn shrunk: smooth at any scale (at scale 1 as exact as nearest texels).
constexpr orka::Font::Filter kFilter = orka::Font::Filter::Linear;
// Sizes in the 800 x 600 view's pixels; they grow and shrink with it.
constexpr float kLinePixels = 16.0f;       // the line's font size
constexpr float kLeastLinePixels = 12.0f;  // smaller, its dots and colons vanish
constexpr float kBannerPixels = 32.0f;
constexpr float kLeastBannerPixels = 19.0f;  // a long name shrinks this far, then breaks
constexpr float kFinishPixels = 19.0f;
constexpr float kBannerWidth = 0.9f;        // of the view's width, the most a banner line takes
constexpr float kOutline = 1.5f;            // view pixels of dark edge around banner text
constexpr float kMargin = 8.0f;             // from the view's top-left corner to the line's box
constexpr float kPadding = 5.0f;            // inside the line's box
constexpr float kBannerTop = 0.28f;         // of the view's height, to the banner's top
constexpr float kNoticeTop = 0.75f;         // of the view's height, to a notice's top
constexpr double kBannerFadeSeconds = 0.4;  // the last part of the banner's time fades it out
// Colours as they appear on screen (sRGB, 0 to 1); the window's framebuffer takes linear
// colours and encodes them, so they are converted before drawing (see `Linear`).
const glm::vec4 kLineBackground(0.0f, 0.0f, 0.0f, 0.75f);
const glm::vec4 kLineText(0.96f, 0.96f, 0.96f, 1.0f);
const glm::vec4 kBannerText(1.0f, 0.902f, 0.549f, 1.0f);  // (255, 230, 140), unlike the art
const glm::vec4 kBannerShadow(0.0f, 0.0f, 0.0f, 0.8f);
const glm::vec4 kFinishText(0.96f, 0.96f, 0.96f, 1.0f);
const glm::vec4 kNewBestText(0.55f, 1.0f, 0.6f, 1.0f);  // green: apart from the coins' yellow
const char* const kSeparator = "  |  ";
// The edge: the text drawn in the dark colour at these offsets under it.
const glm::vec2 kOutlineOffsets[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                     {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
constexpr int kEdgeOrder = 0;
constexpr int kTextOrder = 1;

/// Where the window shows the view, in window pixels with y up from the bottom (as the pixel
/// camera has them): the largest 4:3 rectangle centred in the drawable.
struct ViewArea {
    glm::vec2 topLeft;
    float scale;  // window pixels per view pixel
    float windowHeight;
};

ViewArea ShownView() {
    const glm::ivec2 drawable = orka::Renderer::instance->getDrawableSize();
    const orka::PixelArea area = orka::Renderer::fitAspect(drawable, kViewSize);
    const float scale = static_cast<float>(area.size.y) / static_cast<float>(kViewSize.y);
    // The bars are equal on both sides, so the offset from the bottom is the one from the top.
    return {glm::vec2(static_cast<float>(area.offset.x),
                      static_cast<float>(drawable.y - area.offset.y)),
            scale, static_cast<float>(drawable.y)};
}

float LinearChannel(float srgb) {
    return srgb <= 0.04045f ? srgb / 12.92f : std::pow((srgb + 0.055f) / 1.055f, 2.4f);
}

/// `colour` as seen on screen, `alpha` times as opaque, in the linear form the window's
/// framebuffer encodes back.
glm::vec4 Linear(const glm::vec4& colour, float alpha = 1.0f) {
    return {LinearChannel(colour.r), LinearChannel(colour.g), LinearChannel(colour.b),
            colour.a * alpha};
}

/// The HUD's font at `pixels` (rounded), loaded once per size and renderer (a font's pages
/// belong to the renderer that made them). Null, after one logged error, without a font file.
std::shared_ptr<orka::Font> FontAt(float pixels) {
    static std::map<int, std::shared_ptr<orka::Font>> fonts;
    static std::uint64_t fontsRenderer = 0;
    static bool missing = false;
    const std::uint64_t renderer = orka::Renderer::instance->getSerial();
    if (renderer != fontsRenderer) {
        fonts.clear();
        fontsRenderer = renderer;
    }
    const int size = std::clamp(static_cast<int>(std::lround(pixels)), 1, orka::Font::maxPixelSize);
    std::shared_ptr<orka::Font>& font = fonts[size];
    if (font != nullptr || missing) return font;
    // The world's copy is optional: only a missing bundled one is worth a message.
    orka::Log::Handler handler = orka::Log::logHandler;
    orka::Log::logHandler = [](const char*, const char*, int, orka::LogType, std::string) {};
    font = orka::Font::load(kFontFile, size, kFilter);
    orka::Log::logHandler = handler;
    if (font == nullptr) font = orka::Font::load(kBundledFont, size, kFilter);
    missing = font == nullptr;
    return font;
}

/// Adds the line's box and text; returns the box's bottom edge (window pixels, y up).
float AddLine(orka::SpriteBatch::SpriteBatchBuilder& hud, const ViewArea& view,
              const std::string& line) {
    const auto font = FontAt(std::max(kLinePixels * view.scale, kLeastLinePixels));
    if (font == nullptr) return view.topLeft.y;
    const glm::vec2 textSize = font->measure(line);
    const float margin = kMargin * view.scale;
    const float padding = kPadding * view.scale;
    const glm::vec2 boxTopLeft(view.topLeft.x + margin, view.topLeft.y - margin);
    const glm::vec2 boxSize = textSize + glm::vec2(2 * padding);
    hud.addShape(orka::Shape::rectangle(boxTopLeft - glm::vec2(0.0f, boxSize.y), boxSize)
                     .withColor(Linear(kLineBackground))
                     .withOrderInBatch(kEdgeOrder));
    orka::Text text(font, line, boxTopLeft + glm::vec2(padding, -padding));
    text.setColor(Linear(kLineText));
    text.setOrderInBatch(kTextOrder);
    hud.addText(text);
    return boxTopLeft.y - boxSize.y;
}

/// `text` broken at spaces into lines no wider than `width` at `font`'s size times `scale`.
std::string WrapWords(const orka::Font& font, const std::string& text, float width, float scale) {
    std::string wrapped;
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && font.measureLine(longer) * scale > width) {
            wrapped += line + "\n";
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    return wrapped + line;
}

/// Adds `text` with a dark edge all round, readable over light and dark art alike.
void AddOutlined(orka::SpriteBatch::SpriteBatchBuilder& hud, orka::Text text, float outline,
                 const glm::vec4& colour, float alpha) {
    const glm::vec2 at = text.getPosition();
    // Whole pixels, so that the edge stays as crisp as the text.
    const float step = std::max(1.0f, std::round(outline));
    text.setColor(Linear(kBannerShadow, alpha));
    text.setOrderInBatch(kEdgeOrder);
    for (const glm::vec2& offset : kOutlineOffsets) {
        text.setPosition(at + offset * step);
        hud.addText(text);
    }
    text.setPosition(at);
    text.setColor(Linear(colour, alpha));
    text.setOrderInBatch(kTextOrder);
    hud.addText(text);
}

/// Adds `text` centred across the view with its top at `top` (window pixels, y up), in the
/// font at `pixels` (view pixels), shrunk towards `leastPixels` and then broken into lines to
/// fit the banner's width. Returns the bottom edge.
float AddCentred(orka::SpriteBatch::SpriteBatchBuilder& hud, const ViewArea& view,
                 const std::string& line, float top, float pixels, float leastPixels,
                 const glm::vec4& colour, float alpha) {
    const auto font = FontAt(pixels * view.scale);
    if (font == nullptr) return top;
    const float width = kViewSize.x * view.scale * kBannerWidth;
    float scale = 1.0f;
    const float oneLine = font->measure(line).x;
    if (oneLine > width) scale = std::max(width / oneLine, leastPixels / pixels);
    orka::Text text(font, WrapWords(*font, line, width, scale),
                    {view.topLeft.x + kViewSize.x * view.scale / 2, top});
    text.setAlignment(orka::Text::Alignment::Centre);
    text.setScale(glm::vec2(scale));
    AddOutlined(hud, text, kOutline * view.scale, colour, alpha);
    return top - text.measure().y;
}

void AddBanner(orka::SpriteBatch::SpriteBatchBuilder& hud, const ViewArea& view,
               const std::string& name, const std::optional<LevelFinish>& finished, float alpha) {
    float top = view.topLeft.y - kViewSize.y * view.scale * kBannerTop;
    if (!name.empty()) {
        top =
            AddCentred(hud, view, name, top, kBannerPixels, kLeastBannerPixels, kBannerText, alpha);
    }
    if (!finished) return;
    top -= kPadding * view.scale;
    top = AddCentred(hud, view, HudOverlay::FinishLine(*finished), top, kFinishPixels,
                     kFinishPixels, kFinishText, alpha);
    if (finished->newBest) {
        AddCentred(hud, view, "New best", top, kFinishPixels, kFinishPixels, kNewBestText, alpha);
    }
}

/// Draws the batch over the frame so far in window pixels, inside the pass that holds the GUI
/// frame: the GUI is rendered when that pass ends, over the HUD.
void DrawOverFrame(orka::SpriteBatch::SpriteBatchBuilder& hud, const ViewArea& view) {
    // The pass draws into the view's area between the bars and would project its 800 x 600
    // onto it; the HUD is laid out in the drawable's pixels, so the projection spans exactly
    // the pixels of that area, whatever the window's size now.
    const float left = view.topLeft.x;
    const float top = view.topLeft.y;
    orka::Camera pixels;
    pixels.setProjectionTransform(glm::ortho(left, left + kViewSize.x * view.scale,
                                             top - kViewSize.y * view.scale, top, 1.0f, -1.0f));
    orka::RenderPass pass = orka::RenderPass::create()
                                .withName("HUD")
                                .withCamera(pixels)
                                .withClearColor(false)
                                .withClearDepth(false)
                                .withGUI(false)
                                .build();
    pass.draw(hud.build());
}

}  // namespace

HudOverlay::Placement HudOverlay::Draw(const Scene& scene, std::optional<double> bestSeconds,
                                       const std::optional<LevelFinish>& finished,
                                       const std::string& notice) {
    const LevelData& level = scene.GetLevelData();
    if (level.level == nullptr || orka::Renderer::instance == nullptr) return {};
    const ViewArea view = ShownView();
    orka::SpriteBatch::SpriteBatchBuilder hud = orka::SpriteBatch::create();
    const double seconds = scene.GetLevelClock().Seconds();
    const float lineBottom =
        AddLine(hud, view, StatusLine(seconds, LevelProgress::Of(level.objects), bestSeconds));
    const std::string name = level.level->GetName();
    if (seconds < bannerSeconds && (!name.empty() || finished)) {
        const double left = bannerSeconds - seconds;
        AddBanner(hud, view, name, finished,
                  static_cast<float>(std::min(1.0, left / kBannerFadeSeconds)));
    }
    if (!notice.empty()) {
        AddCentred(hud, view, notice, view.topLeft.y - kViewSize.y * view.scale * kNoticeTop,
                   kFinishPixels, kFinishPixels, kFinishText, 1.0f);
    }
    DrawOverFrame(hud, view);
    // Dear ImGui measures from the window's top in its own units, which may differ from the
    // drawable's pixels on a high-density display.
    const float guiUnits = ImGui::GetCurrentContext() != nullptr
                               ? ImGui::GetIO().DisplaySize.y / view.windowHeight
                               : 1.0f;
    Placement placement;
    placement.lineBottom = (view.windowHeight - lineBottom) * guiUnits;
    placement.viewLeft = view.topLeft.x * guiUnits;
    placement.viewWidth = kViewSize.x * view.scale * guiUnits;
    return placement;
}

std::string HudOverlay::FinishLine(const LevelFinish& finish) {
    return finish.levelName + ": " + LevelClock::Format(finish.seconds);
}

std::string HudOverlay::StatusLine(double levelSeconds, const LevelProgress& progress,
                                   std::optional<double> bestSeconds) {
    std::string line = "Time " + LevelClock::Format(levelSeconds) + kSeparator + "Returns " +
                       std::to_string(progress.returns);
    if (progress.collectibles > 0) {
        line += kSeparator + std::string("Collected ") + std::to_string(progress.collected) + "/" +
                std::to_string(progress.collectibles);
    }
    if (bestSeconds) line += kSeparator + std::string("Best ") + LevelClock::Format(*bestSeconds);
    return line;
}
