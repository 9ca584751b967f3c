#pragma once

#include <memory>

namespace orka {
class AudioOutput;
class Sound;
}  // namespace orka

/// A short tone made in code rather than loaded from a file: `hertz` falling to `endHertz`
/// over `seconds`, fading out. Null when `output` has no device (the game then plays silently).
/// The sound must be released before `output`.
std::shared_ptr<orka::Sound> makeBeep(const orka::AudioOutput& output, float hertz, float endHertz,
                                      float seconds);
