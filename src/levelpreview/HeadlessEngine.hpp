#pragma once

#include <memory>

namespace orka {
class SDLRenderer;
}

/// The engine set up for programs that read game content without showing it (the level checker,
/// the level preview): a GL context in a window nobody sees, and a log that stays quiet.

/// A hidden window with the GL context that textures (and so sprite atlases) need. SDL's
/// off-screen driver needs no display; where it is missing, the platform's own driver with a
/// hidden window is tried. Throws std::runtime_error when neither opens.
std::unique_ptr<orka::SDLRenderer> OpenHiddenWindow();

/// Engine messages that are not about the content: errors go to standard error as
/// "<program>: <message>", a fatal one is thrown as std::runtime_error, the rest are dropped.
void QuietEngineLog(const char* program);
