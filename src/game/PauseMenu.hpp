#pragma once

#include <SDL.h>

#include <functional>
#include <string>

class GameSounds;
class Scene;
class Settings;

/// The pause: the pause key (P), a controller's Start button or the window losing the keyboard
/// stops the scene (`Scene::SetPaused`) and opens an overlay with Resume, Restart level, Sound
/// on/off, the music and effects volumes and Quit. The arrow keys or the d-pad choose (left and
/// right change a volume by a tenth), Enter or the south button takes the choice, the east
/// button resumes, and the mouse works its buttons and sliders; the pause key or Start again
/// resumes. While it is open, key presses do not reach the game; key releases do, so nothing
/// stays held. Changed volumes are saved into the settings file when it closes.
///
/// Holds the scene and the settings by reference: both must outlive it. Main thread only.
class PauseMenu {
public:
    enum class Item { Resume, Restart, Sound, MusicVolume, EffectsVolume, Quit, Count };

    PauseMenu(Scene& scene, Settings& settings);

    /// The game's sounds, for Sound on/off and the volumes; null (the default) when there are
    /// none, and the volumes are only kept in the settings. Not owned; must outlive the menu
    /// or be reset to null first.
    GameSounds* sounds = nullptr;
    /// Where changed volumes are saved; empty: nowhere.
    std::string settingsPath;
    /// Restart level and Quit, run by `ApplyChoice` after the overlay has closed.
    std::function<void()> restart;
    std::function<void()> quit;

    bool IsOpen() const { return open; }
    Item Selected() const { return selected; }
    /// Pauses the scene and shows the overlay with Resume chosen; nothing when already open.
    void Open();
    /// Hides the overlay, lets the scene run again and saves the volumes when they changed.
    void Close();

    /// A key event of the window. True when it is the menu's and must not reach the game.
    bool OnKey(const SDL_Event& event);
    /// A game-controller event: Start, and the d-pad and south and east buttons while open.
    void OnControllerEvent(const SDL_Event& event);
    /// A window event: losing the keyboard focus pauses.
    void OnWindowEvent(const SDL_Event& event);
    /// Issues the overlay as Dear ImGui windows when open; only inside an open GUI frame.
    void Draw();
    /// Runs a Restart level or Quit chosen since the last call (call it outside of drawing).
    void ApplyChoice();

private:
    /// The pause key and Start: opens the overlay, or closes it when open.
    void Toggle();
    void Move(int rows);
    /// Left (-1) or right (+1) on the chosen row.
    void Adjust(int direction);
    void Take(Item item);
    void SetVolume(Item item, float volume);
    float Volume(Item item) const;
    bool SoundOn() const;
    void DrawItem(Item item);
    void SaveVolumes();

    Scene& scene;
    Settings& settings;
    bool open = false;
    Item selected = Item::Resume;
    Item chosen = Item::Count;  // Restart or Quit waiting for `ApplyChoice`; Count: none
    bool volumesChanged = false;
    bool southPressed = false;  // pressed while open: its release takes the choice
    bool eastPressed = false;
};
