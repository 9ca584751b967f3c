#include "orka/Sound.hpp"

#include <SDL_mixer.h>

namespace orka {

Sound::Sound(Mix_Chunk* chunk) : chunk(chunk) {}

Sound::~Sound() {
    Mix_FreeChunk(chunk);
}

}  // namespace orka
