#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

class Scene;
namespace orka {
class SpriteAtlas;
}

/// What F5 does in the game: the level in play is read again from its files and started
/// afresh, and the sprite atlas is loaded again first when its files changed since it was
/// loaded. When anything cannot be loaded, the running level and atlas stay in play and the
/// problem is logged and kept, shown over the game by `DrawOverlay`, until a reload succeeds.
/// Main thread only.
class LevelReloader {
public:
    /// For the atlas "<atlasName>.json" with "<atlasName>.png", in the state loaded just now.
    explicit LevelReloader(std::string atlasName);

    /// Reloads the level of `scene`, and `atlas` (the one the scene's levels are built with,
    /// replaced in place) when its files changed.
    void Reload(Scene& scene, std::shared_ptr<orka::SpriteAtlas>& atlas);
    /// Why the last reload failed: the message of the file concerned; empty after a reload
    /// that worked, or before the first.
    const std::string& GetProblem() const { return problem; }
    /// Shows that the level after a finished one could not be loaded, and why, until a reload
    /// (which tries it again) works.
    void ShowNextLevelProblem(const std::string& why);
    /// Shows why the map behind the level in play did not import, as `levelimport --watch`
    /// left it beside the level file, and logs it; takes a shown one away once the problem
    /// file is gone. After every load and reload.
    void ShowImportProblem(const Scene& scene);
    /// Takes a shown import problem away when the watcher that left it has ended (killed
    /// before it could remove its file). Cheap: once per frame.
    void ForgetEndedWatcher();
    /// Where the overlay's top edge goes, in window pixels from the top (below the on-screen
    /// line, which it must not cover).
    float overlayTop = 10.0f;
    /// The view's left edge and width, in the same units: the overlay stays inside the view
    /// (a width of 0 or less: the window's own).
    float overlayLeft = 0.0f;
    float overlayWidth = 0.0f;
    /// Issues a Dear ImGui window showing the problem, when there is one; only inside an open
    /// GUI frame.
    void DrawOverlay() const;

    /// Modification time and size of a file: what tells that it changed.
    using FileStamp = std::pair<std::filesystem::file_time_type, std::uintmax_t>;

private:
    using AtlasStamp = std::array<FileStamp, 2>;  // the atlas's JSON and PNG files
    AtlasStamp StampAtlas() const;

    std::string atlasName;
    AtlasStamp loadedAtlas;
    std::string problem;
    std::string heading = "Level not reloaded";
    int importWatcher = 0;  ///< the watcher whose problem is shown, 0 when none is
};
