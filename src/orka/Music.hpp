#pragma once

struct _Mix_Music;

namespace orka {

/// A piece of music, streamed from its file while it plays (made by `AudioOutput::loadMusic`).
/// Owns SDL2_mixer's handle; releasing it stops it if it plays. Must be released before the
/// output that loaded it closes.
class Music {
public:
    /// Takes ownership of `music` (not null).
    explicit Music(_Mix_Music* music);
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// The SDL2_mixer handle, owned by this object.
    _Mix_Music* getHandle() const { return music; }

private:
    _Mix_Music* music;
};

}  // namespace orka
