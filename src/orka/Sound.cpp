#include "orka/Sound.hpp"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

namespace orka {

Sound::Sound(Mix_Chunk* chunk) : chunk(chunk) {}

Sound::~Sound() {
    Mix_FreeChunk(chunk);
}

void Sound::setVolume(float newVolume) {
    volume = std::clamp(newVolume, 0.0f, 1.0f);
    Mix_VolumeChunk(chunk, static_cast<int>(std::lround(volume * MIX_MAX_VOLUME)));
}

}  // namespace orka
