#include "orka/Sound.hpp"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "orka/Log.hpp"

namespace orka {

Sound::Sound(Mix_Chunk* chunk) : chunk(chunk) {}

Sound::~Sound() {
    Mix_FreeChunk(chunk);
}

void Sound::setVolume(float newVolume) {
    if (!std::isfinite(newVolume)) {
        ORKA_LOG_WARNING("A sound's volume of %g is not a number: it stays %g",
                         static_cast<double>(newVolume), static_cast<double>(volume));
        return;
    }
    volume = std::clamp(newVolume, 0.0f, 1.0f);
    Mix_VolumeChunk(chunk, static_cast<int>(std::lround(volume * MIX_MAX_VOLUME)));
}

}  // namespace orka
