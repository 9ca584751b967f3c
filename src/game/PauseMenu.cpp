#include "game/PauseMenu.hpp"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "game/GameSounds.hpp"
#include "game/Logger.hpp"
#include "game/Scene.hpp"
#include "game/Settings.hpp"

namespace {

constexpr int kItemCount = static_cast<int>(PauseMenu::Item::Count);
/// Left and right change a volume by this much; the steps stay on tenths.
constexpr float kVolumeStep = 0.1f;
constexpr float kVolumeSteps = 1.0f / kVolumeStep;
constexpr float kPercent = 100.0f;

// The overlay is laid out for the game's 800 x 600 view and scaled with the window.
constexpr float kViewWidth = 800.0f;
constexpr float kViewHeight = 600.0f;
constexpr float kFontScale = 1.6f;    // of Dear ImGui's 13-pixel default font, at 800 x 600
constexpr float kItemWidth = 300.0f;  // pixels at 800 x 600
constexpr float kPanelOpacity = 0.9f;
// Dear ImGui's colours are the display's values, as seen on screen and blended there.
const ImU32 kDimColour = IM_COL32(0, 0, 0, 78);  // over the frozen level: about 70 % as bright
const ImVec4 kTitleColour(1.0f, 237 / 255.0f, 170 / 255.0f, 1.0f);
const ImVec4 kChosenColour(237 / 255.0f, 188 / 255.0f, 89 / 255.0f, 1.0f);
const ImVec4 kChosenHoverColour(249 / 255.0f, 203 / 255.0f, 124 / 255.0f, 1.0f);

const char* ButtonLabel(PauseMenu::Item item) {
    switch (item) {
        case PauseMenu::Item::Resume:
            return "Resume";
        case PauseMenu::Item::Restart:
            return "Restart level";
        case PauseMenu::Item::Quit:
            return "Quit";
        default:
            return "";
    }
}

/// The view's scale in the window: the overlay grows with the picture.
float ViewScale(const ImGuiIO& io) {
    const float scale = std::min(io.DisplaySize.x / kViewWidth, io.DisplaySize.y / kViewHeight);
    return scale > 0.0f ? scale : 1.0f;
}

}  // namespace

PauseMenu::PauseMenu(Scene& scene, Settings& settings) : scene(scene), settings(settings) {}

void PauseMenu::Open() {
    if (open) return;
    open = true;
    selected = Item::Resume;
    southPressed = false;
    eastPressed = false;
    scene.SetPaused(true);
}

void PauseMenu::Close() {
    if (!open) return;
    open = false;
    scene.SetPaused(false);
    SaveVolumes();
}

void PauseMenu::Toggle() {
    if (open) {
        Close();
    } else {
        Open();
    }
}

bool PauseMenu::OnKey(const SDL_Event& event) {
    // Releases reach the game, so that a key let go while paused is not held on afterwards.
    if (event.type != SDL_KEYDOWN) return false;
    const SDL_Keycode key = event.key.keysym.sym;
    const bool firstPress = event.key.repeat == 0;
    if (key == settings.keys.pause) {
        if (firstPress) Toggle();
        return true;
    }
    if (!open) return false;
    if (key == SDLK_UP) Move(-1);
    if (key == SDLK_DOWN) Move(1);
    if (key == SDLK_LEFT) Adjust(-1);
    if (key == SDLK_RIGHT) Adjust(1);
    if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && firstPress) Take(selected);
    return true;
}

void PauseMenu::OnControllerEvent(const SDL_Event& event) {
    const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
    if (!down && event.type != SDL_CONTROLLERBUTTONUP) return;
    const auto button = static_cast<SDL_GameControllerButton>(event.cbutton.button);
    if (down && button == SDL_CONTROLLER_BUTTON_START) {
        Toggle();
        return;
    }
    if (!open) return;
    if (down) {
        if (button == SDL_CONTROLLER_BUTTON_DPAD_UP) Move(-1);
        if (button == SDL_CONTROLLER_BUTTON_DPAD_DOWN) Move(1);
        if (button == SDL_CONTROLLER_BUTTON_DPAD_LEFT) Adjust(-1);
        if (button == SDL_CONTROLLER_BUTTON_DPAD_RIGHT) Adjust(1);
        if (button == SDL_CONTROLLER_BUTTON_A) southPressed = true;
        if (button == SDL_CONTROLLER_BUTTON_B) eastPressed = true;
        return;
    }
    // Taken on the release: both buttons also jump, and one still held when the game goes on
    // would jump at once. A button that was down before the pause is not a choice.
    if (button == SDL_CONTROLLER_BUTTON_A && southPressed) {
        southPressed = false;
        Take(selected);
    }
    if (button == SDL_CONTROLLER_BUTTON_B && eastPressed) Close();
}

void PauseMenu::OnWindowEvent(const SDL_Event& event) {
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Open();
}

void PauseMenu::ApplyChoice() {
    const Item choice = chosen;
    chosen = Item::Count;
    if (choice == Item::Restart && restart) restart();
    if (choice == Item::Quit && quit) quit();
}

void PauseMenu::Move(int rows) {
    const int row = (static_cast<int>(selected) + rows + kItemCount) % kItemCount;
    selected = static_cast<Item>(row);
}

void PauseMenu::Adjust(int direction) {
    if (selected == Item::Sound) Take(Item::Sound);
    if (selected != Item::MusicVolume && selected != Item::EffectsVolume) return;
    const float steps = std::round(Volume(selected) * kVolumeSteps) + static_cast<float>(direction);
    SetVolume(selected, steps / kVolumeSteps);
}

void PauseMenu::Take(Item item) {
    switch (item) {
        case Item::Resume:
            Close();
            break;
        case Item::Restart:
        case Item::Quit:
            chosen = item;
            Close();
            break;
        case Item::Sound:
            if (sounds != nullptr) sounds->ToggleMute();
            break;
        default:
            break;  // the volumes change with left and right
    }
}

float PauseMenu::Volume(Item item) const {
    return item == Item::MusicVolume ? settings.musicVolume : settings.effectsVolume;
}

void PauseMenu::SetVolume(Item item, float volume) {
    volume = std::clamp(volume, 0.0f, 1.0f);
    if (volume == Volume(item)) return;
    volumesChanged = true;
    if (item == Item::MusicVolume) {
        settings.musicVolume = volume;
        if (sounds != nullptr) sounds->SetMusicVolume(volume);
    } else {
        settings.effectsVolume = volume;
        if (sounds != nullptr) sounds->SetEffectsVolume(volume);
    }
}

bool PauseMenu::SoundOn() const {
    return sounds == nullptr || !sounds->IsMuted();
}

void PauseMenu::SaveVolumes() {
    if (!volumesChanged || settingsPath.empty()) return;
    volumesChanged = false;
    const std::string whyNot = settings.Save(settingsPath);
    if (!whyNot.empty()) Logger::Warning("The volumes are not saved: " + whyNot);
}

void PauseMenu::Draw() {
    if (!open) return;
    const ImGuiIO& io = ImGui::GetIO();
    const float scale = ViewScale(io);
    ImGui::GetBackgroundDrawList()->AddRectFilled(ImVec2(0.0f, 0.0f), io.DisplaySize, kDimColour);
    ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x * 0.5f, io.DisplaySize.y * 0.5f),
                            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowBgAlpha(kPanelOpacity);
    // The menu's own keys choose; Dear ImGui's navigation stays out of it.
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration |
                                   ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoNav;
    if (ImGui::Begin("Paused", nullptr, flags)) {
        ImGui::SetWindowFontScale(kFontScale * scale);
        ImGui::TextColored(kTitleColour, "Paused");
        for (int row = 0; row < kItemCount; ++row) DrawItem(static_cast<Item>(row));
        const std::string pauseKey = SDL_GetKeyName(settings.keys.pause);
        ImGui::TextDisabled("%s or Start: back to the game", pauseKey.c_str());
    }
    ImGui::End();
}

void PauseMenu::DrawItem(Item item) {
    const ImGuiIO& io = ImGui::GetIO();
    const bool isSelected = item == selected;
    const float width = kItemWidth * ViewScale(io);
    ImGui::PushID(static_cast<int>(item));
    if (isSelected) {
        ImGui::PushStyleColor(ImGuiCol_Button, kChosenColour);
        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, kChosenHoverColour);
        ImGui::PushStyleColor(ImGuiCol_FrameBg, kChosenColour);
        ImGui::PushStyleColor(ImGuiCol_FrameBgHovered, kChosenHoverColour);
    }
    if (item == Item::MusicVolume || item == Item::EffectsVolume) {
        float percent = Volume(item) * kPercent;
        // Above the slider, not inside it, where its marker would cover the digits.
        ImGui::Text(item == Item::MusicVolume ? "Music volume: %.0f %%" : "Effects volume: %.0f %%",
                    percent);
        ImGui::SetNextItemWidth(width);
        if (ImGui::SliderFloat("##volume", &percent, 0.0f, kPercent, "")) {
            SetVolume(item, percent / kPercent);
        }
    } else {
        const char* label =
            item == Item::Sound ? (SoundOn() ? "Sound: on" : "Sound: off") : ButtonLabel(item);
        if (ImGui::Button(label, ImVec2(width, 0.0f))) Take(item);
    }
    // The pointer moving over a row chooses it, as the arrow keys do.
    const bool pointerMoved = io.MouseDelta.x != 0.0f || io.MouseDelta.y != 0.0f;
    if (ImGui::IsItemHovered() && pointerMoved) selected = item;
    if (isSelected) ImGui::PopStyleColor(4);
    ImGui::PopID();
}
