#pragma once

#include <SDL.h>

#include <functional>
#include <glm/glm.hpp>
#include <memory>
#include <string>

#include "orka/Clock.hpp"
#include "orka/FixedStepClock.hpp"
#include "orka/Input.hpp"
#include "orka/Renderer.hpp"

namespace orka {

class X11WindowWatch;

/// The window and the frame loop; despite the name it draws nothing itself (the Renderer it
/// creates owns the GL context, render passes draw). Per frame it drains the SDL event queue
/// (every event goes to the GUI binding first, then to one of the event callbacks by its
/// class), calls frameUpdate and frameRender, presents, and waits until the frame has lasted at
/// least timePerFrame. Main thread only.
class SDLRenderer {
public:
    /// Callbacks; replace them by assignment. Each must stay callable: an empty one throws
    /// std::bad_function_call when the loop reaches it.
    std::function<void(float deltaTimeSec)> frameUpdate;  ///< once per frame, delta in seconds
    std::function<void()> frameRender;                    ///< once per frame, after frameUpdate
    std::function<void(SDL_Event&)> keyEvent;             ///< key down and up
    std::function<void(SDL_Event&)> mouseEvent;           ///< motion, buttons, wheel
    std::function<void(SDL_Event&)> controllerEvent;      ///< game-controller events
    std::function<void(SDL_Event&)> joystickEvent;        ///< joystick events
    std::function<void(SDL_Event&)> touchEvent;           ///< finger events
    std::function<void(SDL_Event&)> otherEvent;           ///< everything else but quit

    /// Minimum duration of one frame in seconds (the frame cap); 1/60 by default.
    float timePerFrame = 1.0f / 60.0f;

    /// Optional fixed steps: when set, each frame first runs as many calls of `fixedStep`
    /// seconds as the time since the last one is due, at most `maxStepsPerFrame` (see
    /// `FixedStepClock`), then `frameUpdate` and `frameRender` as always. `getStepFraction`
    /// tells how far the frame is past its last step, for drawing moving things between their
    /// last two steps. Empty by default.
    std::function<void(float stepSec)> fixedUpdate;
    /// Length of one fixed step, seconds (more than 0).
    float fixedStep = 1.0f / 60.0f;
    /// Most fixed steps one frame runs.
    int maxStepsPerFrame = 5;
    /// How far the frame is past its last fixed step, as a share of a step (0 to 1).
    float getStepFraction() const;
    /// Keyboard, mouse and controllers as they stand this frame (see `Input`).
    Input& getInput() { return *input; }

    /// Callbacks that do nothing, an 800 x 600 window to be; SDL is not touched before init.
    SDLRenderer();
    /// Deletes the renderer (and its GL context), destroys the window and calls SDL_Quit(),
    /// whether or not init ran.
    virtual ~SDLRenderer();
    SDLRenderer(const SDLRenderer&) = delete;
    SDLRenderer& operator=(const SDLRenderer&) = delete;

    /// Initialises SDL, creates the window with an OpenGL 3.3 core context and the Renderer.
    /// The window is shown (unless SDL_WINDOW_HIDDEN is asked for) once its context exists.
    /// Does nothing when already initialised or running. When SDL_Init or the window creation
    /// fails it logs an error with SDL's message and returns without a window.
    void init(unsigned int sdlInitFlags = SDL_INIT_EVERYTHING,
              unsigned int sdlWindowFlags = SDL_WINDOW_OPENGL, bool vsync = true);

    /// Runs frames until stopEventLoop, a quit event or the loss of the window (destroyed from
    /// outside, which a quit event does not announce); may be called again afterwards.
    /// Exceptions from callbacks end the loop and propagate.
    void startEventLoop();
    /// The loop ends after the current frame.
    void stopEventLoop();

    /// Size in screen coordinates, used at creation and applied to an existing window.
    void setWindowSize(glm::ivec2 size);
    /// Used at creation and applied to an existing window; kEngineTitle until set.
    void setWindowTitle(std::string title);

    /// A fixed logical size of the picture (Renderer::setLogicalSize): at any window size the
    /// same view, scaled to fit with its aspect ratio kept, between black bars. (0, 0), the
    /// default, fills the window. May be set before init.
    void setLogicalSize(glm::ivec2 size);

    /// Where colours are mixed (see BlendingSpace): linear light by default. Chosen before
    /// init, as the window, every texture and the glyph pages are made for it; a call once
    /// the window is open logs an error and changes nothing.
    void setBlendingSpace(BlendingSpace space);
    /// The space chosen (the renderer's, once the window is open).
    BlendingSpace getBlendingSpace() const { return blendingSpace; }

    /// True while the window fills the desktop; false without a window.
    bool isFullscreen() const;
    /// Switches to or from desktop fullscreen; prints SDL's reason on failure. Leaving it
    /// brings the window back to the size and place it had before.
    void setFullscreen(bool enabled);
    /// Fullscreen when windowed, windowed when fullscreen (F11 and Alt+Enter in the game).
    void toggleFullscreen() { setFullscreen(!isFullscreen()); }

    /// Whether SDL shows the mouse cursor over the window.
    ///@{
    bool isMouseCursorVisible() const;
    void setMouseCursorVisible(bool visible);
    ///@}
    /// True in relative mouse mode.
    bool isMouseCursorLocked() const;
    /// Relative mouse mode; locking also hides the cursor. True when SDL accepted it.
    bool setMouseCursorLocked(bool locked);

    /// The window; null before a successful init.
    SDL_Window* getSDLWindow() const { return window; }

    /// Seconds since the event loop last started (0 before it ever ran).
    double getTime() const { return loopStarted ? loopClock.getElapsedSeconds() : 0.0; }
    /// Length of the last whole frame in seconds, waiting included: the delta the current
    /// frame's update was given (0 in the first frame).
    float getFrameTime() const { return lastFrameSeconds; }

    /// Asks for a screenshot of the window's next presented frame, GUI included: `receive` is
    /// called once with the whole drawable, rows from the top (see Renderer::captureWindow).
    /// Logs an error and never calls it without a window.
    void captureWindow(std::function<void(const Image&)> receive);

private:
    void frame(float deltaTimeSec);
    void runFixedSteps(float deltaTimeSec);
    void dispatch(SDL_Event& event);

    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<X11WindowWatch> windowWatch;  // from init until after SDL_Quit
    std::string windowTitle;
    bool running = false;
    int windowWidth = 800;
    int windowHeight = 600;
    glm::ivec2 logicalSize{0, 0};
    BlendingSpace blendingSpace = BlendingSpace::Linear;
    SDL_Rect windowedArea{0, 0, 0, 0};  // the window's place before fullscreen
    SDL_Window* window = nullptr;
    FixedStepClock clock;  // frame time turned into fixed steps
    Clock loopClock;       // restarted when the loop starts
    bool loopStarted = false;
    float lastFrameSeconds = 0.0f;
    // Released by the destructor before SDL_Quit: its controllers need SDL to close.
    std::unique_ptr<Input> input = std::make_unique<Input>();
};

}  // namespace orka
