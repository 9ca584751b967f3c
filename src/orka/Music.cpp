#include "orka/Music.hpp"

#include <SDL_mixer.h>

namespace orka {

Music::Music(Mix_Music* music) : music(music) {}

Music::~Music() {
    Mix_FreeMusic(music);
}

}  // namespace orka
