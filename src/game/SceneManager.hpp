#pragma once

#include <SDL.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "game/GameSounds.hpp"
#include "game/HudOverlay.hpp"
#include "game/LevelReloader.hpp"
#include "game/LevelWatch.hpp"
#include "game/PauseMenu.hpp"
#include "game/ProgressFile.hpp"
#include "game/Scene.hpp"
#include "game/Settings.hpp"

namespace orka {
class SDLRenderer;
class SpriteAtlas;
}  // namespace orka

/// The game's top object and second singleton: it owns the window (an `orka::SDLRenderer`) and
/// the scene, hooks the scene into the window's callbacks and runs the event loop.
///
/// Components reach it through `GetInstance()` while it exists (the level builder for the sprite
/// atlas, the camera for the window width, the goal to end the level, physics bodies for the death
/// line). Destruction releases the scene (and its level) first, then the atlas, then the window.
class SceneManager {
public:
    /// Runs the whole game: this constructor returns only when the game is over (`Application`
    /// makes one, and the game is played inside the call). It opens the 800 x 600 window
    /// (resizable: at any size it shows the 800 x 600 view, scaled), loads the atlas
    /// ("<atlas>.json" and "<atlas>.png") and the first level of the world ("<world>1.json"),
    /// and runs the event loop until the window is closed; Escape ends the process at once with
    /// exit code 0. Throws when the atlas or a level cannot be loaded. While
    /// another scene manager exists it does nothing. When a file of the level in play (see
    /// `LevelWatch`) is saved, the level is reloaded at the start of a frame as F5 does.
    SceneManager(std::string worldName, std::string atlasName);

    /// Tag for a scene manager without a window of its own, for driving the scene by hand (the
    /// caller steps the scene and, when it draws, provides the GL context and sets the atlas).
    struct WithoutWindow {};
    explicit SceneManager(WithoutWindow);

    ~SceneManager();
    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

    /// The live scene manager, or null when there is none.
    static SceneManager* GetInstance();

    Scene* GetScene() { return &scene; }
    /// The player reached the goal: the scene moves on to the next level. With a window of its
    /// own, the level's time counts towards its saved best time.
    void LevelOver();
    /// Loads the atlas and has the scene load the first level of the world.
    void LoadScene(std::string worldName, std::string atlasName);
    /// F5: starts the level in play afresh from its files (and the atlas, when its files
    /// changed). A file that cannot be loaded leaves the running level in play; the problem is
    /// logged and shown over the game until a later reload works. Nothing before `LoadScene`.
    void ReloadLevel();
    /// Loads "<atlasName>.json" with "<atlasName>.png"; throws naming the file when it cannot.
    static std::shared_ptr<orka::SpriteAtlas> LoadSpriteAtlas(const std::string& atlasName);
    /// Draws the scene; the window's frame-render callback.
    void Render();
    /// The window's key callback: Escape ends the process with exit code 0, F5 reloads the
    /// level, F11 and Alt+Enter switch desktop fullscreen on and off, M mutes and unmutes the
    /// sounds, and the pause menu takes its keys (which then steer nothing until let go); every
    /// other key event goes unchanged to the scene's key-input event. The character reads the
    /// keys from the window's input, or without a window from what that event brings.
    void OnKeyEvent(SDL_Event& event);
    /// The window's controller callback: Start and, while paused, the buttons working the
    /// overlay go to the pause menu. The window's input opens and closes the controllers;
    /// without a window of its own, the event goes to the scene's controls, which do.
    void OnControllerEvent(SDL_Event& event);
    /// A window event telling of a size below 640 x 480 (outside full screen) sets the window
    /// back to that size at least: not every desktop enforces the window's minimum.
    void KeepMinimumSize(const SDL_Event& event);
    /// The notice on screen now ("Sound off" for a moment after M muted), or empty.
    std::string NoticeNow() const;
    /// Adds the controller mappings of "gamecontrollerdb.txt" in the working directory, when there
    /// is one, and opens the controllers already plugged in. Needs SDL's controller subsystem.
    void ConnectControllers();
    /// The open game controllers (the window's input's; without a window, the scene's own);
    /// any of them steers the player alongside the keyboard.
    const orka::GameControllers& GetControllers() const;
    /// The player's settings: read from the user data folder when the game starts (defaults
    /// for a manager without window); the pause menu changes the volumes.
    const Settings& GetSettings() const { return settings; }
    /// The pause and its overlay (P, Start, the window losing the keyboard).
    PauseMenu& GetPauseMenu() { return pauseMenu; }

    /// Window size in pixels (0 until the manager is set up).
    float windowWidth = 0.0f;
    float windowHeight = 0.0f;

private:
    bool Register();
    /// Once per frame: reloads the level when its files were saved (after `LoadScene`, which
    /// starts watching them).
    void ReloadWhenSaved();
    /// Reads the settings file, makes the sounds with its volumes and hands them, the settings
    /// and the menu's actions to the pause menu.
    void ApplySettings();
    void Run(std::string worldName, std::string atlasName);
    /// The number (id) of the level in play; 0 before the first.
    int LevelInPlay() const;

    // Declared in the order window, atlas, scene so that they are released the other way round.
    std::unique_ptr<orka::SDLRenderer> renderer;  // null without a window of its own

public:
    /// The game's one sprite atlas (set by `LoadScene`, or by the caller of a manager without
    /// window); the level builder takes its sprites from it. Released after the scene.
    std::shared_ptr<orka::SpriteAtlas> spriteAtlas;

private:
    Scene scene;
    Settings settings;
    PauseMenu pauseMenu{scene, settings};   // uses both, so declared after them
    std::optional<LevelReloader> reloader;  // from the first load on
    std::optional<LevelWatch> levelWatch;   // from the first load on
    std::string playedWorld;                // as typed in the dialogue, from the first load on
    std::optional<ProgressFile> progress;   // the player's best times; only with a window
    std::optional<LevelFinish> lastFinish;  // the last goal reached
    // Released before the window: it needs SDL, which the window shuts down.
    std::unique_ptr<GameSounds> sounds;                 // null without a window of its own
    std::string notice;                                 // the last notice given
    std::chrono::steady_clock::time_point noticeSince;  // when it was given

    static SceneManager* instance;
};
