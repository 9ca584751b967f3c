#include "game/SceneManager.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "game/HudOverlay.hpp"
#include "game/Logger.hpp"
#include "game/UserDataFolder.hpp"
#include "orka/Image.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"

namespace {

constexpr float kWindowWidth = 800.0f;
constexpr float kWindowHeight = 600.0f;
constexpr bool kVSync = true;
constexpr int kMinimumWindowWidth = 640;
constexpr int kMinimumWindowHeight = 480;
// The window may be resized and made fullscreen; it always shows the 800 x 600 view, scaled.
constexpr unsigned int kWindowFlags =
    SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
// Sound is optional: the game's audio output starts SDL's audio on its own, so a machine without
// an audio driver still gets its window.
constexpr Uint32 kSdlSubsystems = SDL_INIT_EVERYTHING & ~SDL_INIT_AUDIO;
const char* const kControllerMappings = "gamecontrollerdb.txt";
const char* const kOffscreenDriver = "offscreen";
// The logger's level for lines a world builder reads as they work.
constexpr int kInfoLevel = 2;
// How long a notice such as "Sound off" stays on screen.
constexpr std::chrono::milliseconds kNoticeTime(1500);
// Window pixels between the on-screen line and the reload problem below it.
constexpr float kOverlayGap = 6.0f;

// "screenshot-<stamp>.png" in `folder`, or "-2", "-3", ... after the stamp when that name is
// taken: by a file there, or by a shot of the same second still waiting for its frame.
std::string FreeScreenshotPath(const std::string& folder, const std::string& stamp) {
    static std::string lastStamp;
    static int shotsOfStamp = 0;
    shotsOfStamp = stamp == lastStamp ? shotsOfStamp + 1 : 1;
    lastStamp = stamp;
    for (;; ++shotsOfStamp) {
        const std::string suffix = shotsOfStamp > 1 ? "-" + std::to_string(shotsOfStamp) : "";
        const std::string path = folder + "screenshot-" + stamp + suffix + ".png";
        std::error_code error;
        if (!std::filesystem::exists(path, error)) return path;
    }
}

// F12: the frame being drawn goes, once complete, to "screenshot-<date>-<time>.png" in the
// player's data folder; a second shot within the second does not overwrite the first.
void SaveScreenshot() {
    const std::string folder = UserDataFolder::Path();
    if (folder.empty() || orka::Renderer::instance == nullptr) {
        Logger::Warning("No screenshot: there is no folder for the player's files");
        return;
    }
    char stamp[32] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string path = FreeScreenshotPath(folder, stamp);
    orka::Renderer::instance->captureWindow([path](const orka::Image& shot) {
        if (shot.savePng(path)) Logger::Log(2, "Screenshot saved to " + path, false);
    });
}

/// True when SDL fell back to its offscreen video driver without being asked for it (there is
/// no display): the window then shows nothing, and no key and no close button can reach it.
bool WindowIsUnseen() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return driver != nullptr && std::strcmp(driver, kOffscreenDriver) == 0 &&
           (requested == nullptr || std::strcmp(requested, kOffscreenDriver) != 0);
}

/// F11, or Enter with Alt held.
bool IsFullscreenToggle(const SDL_Event& event) {
    const SDL_Keycode key = event.key.keysym.sym;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    return key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER));
}

}  // namespace

SceneManager* SceneManager::instance = nullptr;

SceneManager* SceneManager::GetInstance() {
    return instance;
}

SceneManager::SceneManager(std::string worldName, std::string atlasName) {
    if (!Register()) return;
    try {
        Run(std::move(worldName), std::move(atlasName));
    } catch (...) {
        // The destructor does not run for a constructor that throws.
        instance = nullptr;
        throw;
    }
}

void SceneManager::Run(std::string worldName, std::string atlasName) {
    // Made only now: a window object that is never initialised still shuts SDL down when it goes.
    renderer = std::make_unique<orka::SDLRenderer>();
    renderer->setWindowSize({static_cast<int>(windowWidth), static_cast<int>(windowHeight)});
    renderer->setLogicalSize({static_cast<int>(windowWidth), static_cast<int>(windowHeight)});
    renderer->init(kSdlSubsystems, kWindowFlags, kVSync);
    // Without a window the event loop would run on and on with nothing to close.
    if (renderer->getSDLWindow() == nullptr) {
        throw std::runtime_error(std::string("Cannot open the game window: ") + SDL_GetError());
    }
    // A game nobody can see or stop would run until killed.
    if (WindowIsUnseen()) {
        throw std::runtime_error("Cannot open the game window: there is no display to show it on");
    }
    // Smaller, the on-screen line's small print would be lost.
    SDL_SetWindowMinimumSize(renderer->getSDLWindow(), kMinimumWindowWidth, kMinimumWindowHeight);
    renderer->keyEvent = [this](SDL_Event& event) { OnKeyEvent(event); };
    // The character reads the keys and controllers from the window's input, which opens the
    // controllers as they come.
    scene.GetControls().Follow(&renderer->getInput());
    renderer->frameUpdate = [this](float deltaTime) {
        pauseMenu.ApplyChoice();
        ReloadWhenSaved();
        scene.Update(deltaTime);
    };
    renderer->frameRender = [this] { Render(); };
    progress.emplace(ProgressFile::PlayerPath());
    scene.levelLoadFailed = [this](const std::string& problem) {
        if (reloader) reloader->ShowNextLevelProblem(problem);
    };
    scene.drawGui = [this] {
        // The finish is told over the start of the level after it, not after a later restart.
        const bool justFinished =
            lastFinish && lastFinish->levelStart + 1 == scene.GetLevelStarts();
        const HudOverlay::Placement hud =
            HudOverlay::Draw(scene, progress->BestTime(playedWorld, LevelInPlay()),
                             justFinished ? lastFinish : std::nullopt, NoticeNow());
        if (reloader) {
            reloader->overlayTop = hud.lineBottom + kOverlayGap;
            reloader->overlayLeft = hud.viewLeft;
            reloader->overlayWidth = hud.viewWidth;
            reloader->DrawOverlay();
        }
        pauseMenu.Draw();
    };
    renderer->controllerEvent = [this](SDL_Event& event) { OnControllerEvent(event); };
    renderer->otherEvent = [this](SDL_Event& event) {
        KeepMinimumSize(event);
        pauseMenu.OnWindowEvent(event);
    };
    ConnectControllers();
    ApplySettings();
    LoadScene(std::move(worldName), std::move(atlasName));
    renderer->startEventLoop();
}

void SceneManager::ApplySettings() {
    const std::string path = Settings::DefaultPath();
    if (!path.empty()) settings = Settings::Load(path);
    // Before the first level: its character steers with the player's keys from the start.
    scene.GetControls().UseKeys(settings.keys);
    // Made with the player's volumes, so the music never starts louder than they set it.
    sounds = std::make_unique<GameSounds>(settings.musicVolume, settings.effectsVolume);
    pauseMenu.sounds = sounds.get();
    pauseMenu.settingsPath = path;
    pauseMenu.restart = [this] { ReloadLevel(); };
    pauseMenu.quit = [this] { renderer->stopEventLoop(); };
}

SceneManager::SceneManager(WithoutWindow) {
    Register();
}

SceneManager::~SceneManager() {
    pauseMenu.sounds = nullptr;  // the sounds go first
    if (instance == this) instance = nullptr;
}

bool SceneManager::Register() {
    // A second scene manager opens no window and runs nothing.
    if (instance != nullptr) return false;
    instance = this;
    windowWidth = kWindowWidth;
    windowHeight = kWindowHeight;
    return true;
}

void SceneManager::LevelOver() {
    // Several touches of the goal before the level changes make one change, and one sound.
    if (scene.IsLevelRunning()) {
        LevelFinish finish;
        const auto& level = scene.GetLevelData().level;
        if (level != nullptr) finish.levelName = level->GetName();
        finish.seconds = scene.GetLevelClock().Seconds();
        finish.levelStart = scene.GetLevelStarts();
        if (progress) {
            finish.newBest = progress->RecordFinish(playedWorld, LevelInPlay(), finish.seconds);
        }
        GameSounds::Cue(finish.newBest ? SoundCue::NewBest : SoundCue::Goal);
        lastFinish = finish;
    }
    scene.SetLevelOver();
}

int SceneManager::LevelInPlay() const {
    const auto& level = scene.GetLevelData().level;
    return level != nullptr ? level->GetId() : 0;
}

void SceneManager::LoadScene(std::string world, std::string atlasName) {
    Logger::Debug("Loading scene " + world + " with SpriteAtlas: " + atlasName);
    spriteAtlas = LoadSpriteAtlas(atlasName);
    reloader.emplace(atlasName);
    levelWatch.emplace(atlasName);
    playedWorld = world;
    scene.LoadLevel(std::move(world));
    reloader->ShowImportProblem(scene);
    levelWatch->Follow(scene);
}

std::shared_ptr<orka::SpriteAtlas> SceneManager::LoadSpriteAtlas(const std::string& atlasName) {
    const std::string jsonFile = atlasName + ".json";
    auto atlas = orka::SpriteAtlas::create(jsonFile, atlasName + ".png", true);
    // The atlas has said why on the console; without it no tile could be shown.
    if (atlas == nullptr) {
        throw std::runtime_error(jsonFile + ": the sprite atlas (with " + atlasName +
                                 ".png) cannot be loaded");
    }
    return atlas;
}

void SceneManager::ReloadLevel() {
    if (reloader) {
        reloader->Reload(scene, spriteAtlas);
        reloader->ShowImportProblem(scene);
    }
    // A failed reload changes the files to watch too: the broken one must be seen mended.
    if (levelWatch) levelWatch->Follow(scene);
}

void SceneManager::ReloadWhenSaved() {
    if (reloader) reloader->ForgetEndedWatcher();
    if (!levelWatch) return;
    const auto saved = levelWatch->SavedSince(scene, std::chrono::steady_clock::now());
    if (saved == LevelWatch::Saved::Nothing) return;
    // A save that did not import leaves the level in play as it is: the builder may be playing
    // it, and nothing it is read from changed.
    if (saved == LevelWatch::Saved::ImportProblem) {
        if (reloader) reloader->ShowImportProblem(scene);
        return;
    }
    Logger::Log(kInfoLevel, "A file of the level in play was saved: reloading the level", false);
    ReloadLevel();
}

void SceneManager::Render() {
    scene.Draw();
}

void SceneManager::OnKeyEvent(SDL_Event& event) {
    if (event.key.keysym.sym == SDLK_ESCAPE) {
        // Volumes changed in an open pause overlay are kept, as when it closes.
        pauseMenu.Close();
        std::exit(EXIT_SUCCESS);
    }
    const bool firstPress = event.type == SDL_KEYDOWN && event.key.repeat == 0;
    if (firstPress && event.key.keysym.sym == SDLK_m && sounds != nullptr) {
        sounds->ToggleMute();
        // Without a sign the player cannot tell a muted game from a silent moment.
        notice = sounds->IsMuted() ? "Sound off" : "Sound on";
        noticeSince = std::chrono::steady_clock::now();
    }
    if (IsFullscreenToggle(event)) {
        if (event.type == SDL_KEYDOWN && event.key.repeat == 0 && renderer != nullptr) {
            renderer->toggleFullscreen();
        }
        return;
    }
    if (firstPress && event.key.keysym.sym == SDLK_F12) {
        SaveScreenshot();
        return;
    }
    // Once per press: a held key repeats.
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F5) {
        if (event.key.repeat == 0) ReloadLevel();
        return;
    }
    if (pauseMenu.OnKey(event)) {
        scene.GetControls().Withhold(event);
        return;
    }
    scene.keyInputEvent.Invoke(event);
}

// A window manager keeps the window at its minimum size; without one, nothing does, so a
// smaller size is put back as soon as SDL reports it.
void SceneManager::KeepMinimumSize(const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT || renderer == nullptr) return;
    if (event.window.event != SDL_WINDOWEVENT_SIZE_CHANGED &&
        event.window.event != SDL_WINDOWEVENT_RESIZED) {
        return;
    }
    SDL_Window* window = renderer->getSDLWindow();
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (width >= kMinimumWindowWidth && height >= kMinimumWindowHeight) return;
    SDL_SetWindowSize(window, std::max(width, kMinimumWindowWidth),
                      std::max(height, kMinimumWindowHeight));
}

std::string SceneManager::NoticeNow() const {
    // Real time: it must go away while the game is paused too.
    if (std::chrono::steady_clock::now() - noticeSince > kNoticeTime) return "";
    return notice;
}

void SceneManager::OnControllerEvent(SDL_Event& event) {
    if (renderer == nullptr) scene.GetControls().OnEvent(event);
    pauseMenu.OnControllerEvent(event);
}

void SceneManager::ConnectControllers() {
    orka::GameControllers& controllers = scene.GetControls().Get().getControllers();
    controllers.addMappingsFromFile(kControllerMappings);
    controllers.openConnected();
}

const orka::GameControllers& SceneManager::GetControllers() const {
    return scene.GetControls().Get().getControllers();
}
