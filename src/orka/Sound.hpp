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

private:
    Mix_Chunk* chunk;
};

}  // namespace orka
