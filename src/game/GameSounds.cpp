#include "game/GameSounds.hpp"

#include <iterator>

#include "orka/Music.hpp"
#include "orka/Sound.hpp"

namespace {

// In the order of SoundCue.
const char* const kSoundFiles[] = {"jump.wav",    "land.wav",       "goal.wav", "fall.wav",
                                   "collect.wav", "checkpoint.wav", "best.wav"};
static_assert(std::size(kSoundFiles) == static_cast<std::size_t>(SoundCue::Count));
const char* const kMusicFile = "music.wav";

}  // namespace

GameSounds* GameSounds::live = nullptr;

GameSounds::GameSounds(float musicVolume, float effectsVolume) {
    output.setMusicVolume(musicVolume);
    output.setEffectsVolume(effectsVolume);
    // Without a device nothing is loaded, and nothing is missed.
    if (output.isOpen()) {
        for (std::size_t i = 0; i < sounds.size(); ++i) sounds[i] = output.load(kSoundFiles[i]);
        music = output.loadMusic(kMusicFile);
        if (music != nullptr) output.playMusic(*music);
    }
    live = this;
}

GameSounds::~GameSounds() {
    if (live == this) live = nullptr;
}

void GameSounds::Cue(SoundCue cue) {
    if (live != nullptr) live->Play(cue);
}

void GameSounds::Play(SoundCue cue) {
    const auto index = static_cast<std::size_t>(cue);
    if (index >= sounds.size()) return;
    ++cueCounts[index];
    if (sounds[index] != nullptr) output.play(*sounds[index]);
}

void GameSounds::ToggleMute() {
    output.setMuted(!output.isMuted());
}
