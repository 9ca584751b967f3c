#pragma once

#include <optional>
#include <string>

#include "game/LevelProgress.hpp"

class Scene;

/// What the player reads over the level in play: the level's name, large, for the first
/// `bannerSeconds` of game time after each start, restart and reload; and one small line, always
/// there, with the level time, the returns, collected/total (when the level has collectibles)
/// and the best time (once there is one).
///
/// Drawn into the background of the open Dear ImGui frame, so every GUI window stays above it,
/// and scaled with the 800 x 600 view that the window shows between its black bars.
class HudOverlay {
public:
    /// How long the level's name stays, in seconds of game time.
    static constexpr double bannerSeconds = 2.0;

    /// Issues the banner and the line for the level in play of `scene`, with its best time in
    /// seconds. Only inside an open GUI frame; nothing before the first level.
    static void Draw(const Scene& scene, std::optional<double> bestSeconds);
    /// The line's text, e.g. "Time 0:12.3 | Returns 1 | Collected 2/5 | Best 0:41.7".
    static std::string StatusLine(double levelSeconds, const LevelProgress& progress,
                                  std::optional<double> bestSeconds);
};
