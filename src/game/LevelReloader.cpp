#include "game/LevelReloader.hpp"

#include <imgui.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "game/ImportProblem.hpp"
#include "game/Logger.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr int kInfoLevel = 2;            // the logger's level for plain news
constexpr float kOverlayMargin = 10.0f;  // pixels from the view's left and right edges
constexpr float kOverlayOpacity = 0.85f;
const ImVec4 kHeadingColor(1.0f, 170 / 255.0f, 160 / 255.0f, 1.0f);  // as seen on screen

LevelReloader::FileStamp Stamp(const std::string& fileName) {
    // A missing file has no time and no size: it counts as changed once it comes back.
    std::error_code ignored;
    const auto time = std::filesystem::last_write_time(fileName, ignored);
    const auto size = std::filesystem::file_size(fileName, ignored);
    return {time, size};
}

}  // namespace

LevelReloader::LevelReloader(std::string name)
    : atlasName(std::move(name)), loadedAtlas(StampAtlas()) {}

LevelReloader::AtlasStamp LevelReloader::StampAtlas() const {
    return {Stamp(atlasName + ".json"), Stamp(atlasName + ".png")};
}

void LevelReloader::Reload(Scene& scene, std::shared_ptr<orka::SpriteAtlas>& atlas) {
    // Keeps the running level's atlas, and the texture its sprites point to, until that level
    // is gone, or in play again when the reload fails.
    const std::shared_ptr<orka::SpriteAtlas> previous = atlas;
    const AtlasStamp stamp = StampAtlas();
    try {
        if (stamp != loadedAtlas) atlas = SceneManager::LoadSpriteAtlas(atlasName);
        scene.ReloadLevel();
    } catch (const std::exception& error) {
        atlas = previous;
        problem = error.what();
        importWatcher = 0;
        Logger::Error("The level was not reloaded: " + problem);
        return;
    }
    loadedAtlas = stamp;
    problem.clear();
    heading = "Level not reloaded";
    importWatcher = 0;
}

void LevelReloader::ShowNextLevelProblem(const std::string& why) {
    problem = why;
    heading = "Next level not loaded";
    importWatcher = 0;
}

void LevelReloader::ShowImportProblem(const Scene& scene) {
    const std::vector<std::string> files = scene.GetLevelFiles();
    const std::optional<ImportProblem> found =
        files.empty() ? std::nullopt : ImportProblem::Read(files.front());
    if (!found) {
        if (importWatcher != 0) problem.clear();
        importWatcher = 0;
        return;
    }
    problem = found->problems;
    heading = std::filesystem::path(found->map).filename().string() + " not imported";
    importWatcher = found->pid;
    Logger::Error("The map " + found->map + " was not imported: " + found->problems);
}

void LevelReloader::ForgetEndedWatcher() {
    if (importWatcher == 0 || ImportProblem{"", "", importWatcher}.WatcherLives()) return;
    Logger::Log(kInfoLevel,
                "The levelimport watching the map has ended: its problem is no longer shown",
                false);
    importWatcher = 0;
    problem.clear();
}

void LevelReloader::DrawOverlay() const {
    if (problem.empty()) return;
    const float width = overlayWidth > 0.0f ? overlayWidth : ImGui::GetIO().DisplaySize.x;
    // Long file names and messages wrap before the view's right edge, at any window size.
    const float wrapWidth =
        std::max(width - 2.0f * kOverlayMargin - 2.0f * ImGui::GetStyle().WindowPadding.x, 1.0f);
    ImGui::SetNextWindowPos(ImVec2(overlayLeft + kOverlayMargin, overlayTop));
    ImGui::SetNextWindowBgAlpha(kOverlayOpacity);
    // Out of the player's way: it takes no input and leaves no settings behind.
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration |
                                   ImGuiWindowFlags_AlwaysAutoResize |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoInputs |
                                   ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav;
    if (ImGui::Begin("Level not reloaded", nullptr, flags)) {
        ImGui::PushTextWrapPos(wrapWidth);
        ImGui::TextColored(kHeadingColor, "%s", heading.c_str());
        ImGui::TextUnformatted(problem.c_str());
        ImGui::TextDisabled(
            "The level in play goes on. Fix the file: saving it reloads the level (so does F5).");
        ImGui::PopTextWrapPos();
    }
    ImGui::End();
}
