#pragma once

#include <optional>
#include <string>

#include "game/LevelProgress.hpp"

class Scene;

/// A level just finished, as told over the start of the next one.
struct LevelFinish {
    std::string levelName;
    double seconds = 0.0;  ///< game time the level took
    bool newBest = false;  ///< the time is the level's best so far
    int levelStart = 0;    ///< `Scene::GetLevelStarts()` while the finished level was in play
};

/// What the player reads over the level in play: the level's name, large, for the first
/// `bannerSeconds` of game time after each start, restart and reload, under it the time of the
/// level just finished (and "New best" when it was one); and one small line, always there, with
/// the level time, the returns, collected/total (when the level has collectibles) and the best
/// time (once there is one). A name too long for the view is shrunk, then broken into lines;
/// the banner's texts are outlined so that they stand out from any art.
///
/// Drawn as engine text (DejaVu Sans: the world folder's fonts/DejaVuSans.ttf, else the one
/// bundled with the game) in one sprite batch under a pixel camera, over the frame drawn so far,
/// and scaled with the 800 x 600 view that the window shows between its black bars. Drawn
/// inside the pass that holds the Dear ImGui frame, whose GUI is rendered when that pass ends:
/// every GUI window stays above it.
class HudOverlay {
public:
    /// How long the level's name stays, in seconds of game time.
    static constexpr double bannerSeconds = 2.0;

    /// Where the HUD went, in Dear ImGui's units (window pixels) from the window's top-left
    /// corner, for the GUI windows that must sit below the line and inside the view.
    struct Placement {
        float lineBottom = 0.0f;  ///< the line's bottom edge
        float viewLeft = 0.0f;    ///< the view's left edge (right of any black bar)
        float viewWidth = 0.0f;   ///< the view's width, as wide as the window or less
    };

    /// Draws `notice` (when not empty), a short word such as "Sound off", low in the view's
    /// middle, the banner and the line for the level in play of `scene`, with its best time in
    /// seconds and the level finished just before it, if any, at once into the current target,
    /// laid out for the window's size now; nothing (and a zero placement) before the first level
    /// or without the renderer.
    static Placement Draw(const Scene& scene, std::optional<double> bestSeconds,
                          const std::optional<LevelFinish>& finished = std::nullopt,
                          const std::string& notice = "");
    /// The finish's text, e.g. "First Steps: 0:41.3".
    static std::string FinishLine(const LevelFinish& finish);
    /// The line's text, e.g. "Time 0:12.3 | Returns 1 | Collected 2/5 | Best 0:41.7".
    static std::string StatusLine(double levelSeconds, const LevelProgress& progress,
                                  std::optional<double> bestSeconds);
};
