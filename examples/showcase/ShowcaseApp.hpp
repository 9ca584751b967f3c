#pragma once

#include <SDL.h>

#include <iosfwd>
#include <string>

#include "orka/RenderStats.hpp"
#include "orka/SDLRenderer.hpp"
#include "showcase/FrameCapture.hpp"
#include "showcase/Options.hpp"
#include "showcase/ShowcaseScene.hpp"

namespace showcase {

/// Runs the showcase in a window: the arrow keys go to the orbiting viewer, Escape ends the
/// loop, and the options add a frame limit, a picture of the last frame and its statistics.
/// The window must be initialised (its renderer alive) and outlive the app; run() installs the
/// app's callbacks on it.
class ShowcaseApp {
public:
    ShowcaseApp(orka::SDLRenderer& window, Options options);

    /// Runs frames until Escape, a close request or the frame limit. Writes the picture and
    /// the statistics line asked for by the options to `out`, failures to `err`. Returns the
    /// exit code: 0, or 1 when the picture could not be written.
    int run(std::ostream& out, std::ostream& err);

    ShowcaseScene& getScene() { return scene; }
    int getFramesDrawn() const { return framesDrawn; }
    /// The last frame read back; empty unless a picture was asked for.
    const FrameCapture& getLastFrame() const { return lastFrame; }

    /// One line "showcase stats: frame=… drawCalls=… …" with every counter, for scripts.
    static std::string statsLine(const orka::RenderStats& stats);

private:
    void onKey(const SDL_Event& event);
    void onRender();

    orka::SDLRenderer& window;
    Options options;
    ShowcaseScene scene;
    FrameCapture lastFrame;
    int framesDrawn = 0;
};

}  // namespace showcase
