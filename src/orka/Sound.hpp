#pragma once

struct Mix_Chunk;

namespace orka {

/// One sound loaded into memory, converted to the format of the audio output that loaded it
/// (made by `AudioOutput::load`). Owns its samples; must be released before that output closes.
class Sound {
public:
    /// Takes ownership of `chunk` (not null).
    explicit Sound(Mix_Chunk* chunk);
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// The SDL2_mixer samples, owned by this sound.
    Mix_Chunk* getChunk() const { return chunk; }

    /// This sound's own loudness, 0 (silent) to 1 (as loaded, the default); clamped. Every play
    /// of it is heard at this times the play's volume times the effects volume; plays already
    /// going change too.
    void setVolume(float volume);
    /// The loudness set by setVolume, 0 to 1.
    float getVolume() const { return volume; }

private:
    Mix_Chunk* chunk;
    float volume = 1.0f;
};

}  // namespace orka
