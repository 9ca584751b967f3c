#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

class Scene;

/// A recorded play of one level: the keys pressed and released at given frames, replayed through
/// a scene to prove that the level can be finished.
///
/// Text format, one event a line; `#` starts a comment, blank lines are skipped:
///
///     # walk to the first gap and jump over it
///     0 down Right
///     95 down Space
///     97 up Space
///
/// A line is `<frame> down|up Right|Left|Space`. The frame is the number of scene updates that
/// have run before the key event is sent (0: before the first update); frames never decrease.
/// A key must be down before it goes up.
class InputScript {
public:
    /// One key event of a script.
    struct KeyEvent {
        int frame = 0;  ///< updates run before the event is sent
        bool down = false;
        SDL_Keycode key = SDLK_UNKNOWN;
        int line = 0;  ///< line in the script's text, from 1
    };

    /// How a replay ended.
    struct Result {
        /// True when the level changed (the goal was touched) within the frame limit.
        bool goalReached = false;
        /// The update in which the level changed (counted from 1), or the number of updates
        /// run when it did not.
        int frame = 0;
    };

    /// Called after every update of a replay with the number of updates run so far.
    using FrameObserver = std::function<void(int frame)>;

    /// Reads a script. `source` names the text in error messages. Throws `std::runtime_error`
    /// with "<source>:<line>: <problem>" for a malformed line, a frame that goes back, or a key
    /// released that is not down.
    static InputScript Parse(const std::string& text, const std::string& source);
    /// Reads the script file `fileName` (relative to the working directory). Throws
    /// `std::runtime_error` naming the file when it cannot be read or is malformed.
    static InputScript Load(const std::string& fileName);

    const std::vector<KeyEvent>& GetEvents() const { return events; }
    /// The frame of the last event, 0 for an empty script.
    int GetLastFrame() const;

    /// Plays the script on `scene`, whose level must be loaded: before each update the events
    /// of that frame are sent through the scene's key-input event, then the scene is updated
    /// by one fixed 1/60 s step. Stops in the update in which the level changes, or after
    /// `frameLimit` updates. Keys still held at the end are released again, so the scene's
    /// controllers do not keep them. `observer`, when given, sees every frame.
    Result Replay(Scene& scene, int frameLimit, const FrameObserver& observer = nullptr) const;

    /// Sends one key event through the scene's key-input event, as a replay does.
    static void SendKey(Scene& scene, SDL_Keycode key, bool down);

private:
    std::vector<KeyEvent> events;
};
