#include "orka/AudioOutput.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "orka/Log.hpp"
#include "orka/Music.hpp"
#include "orka/Sound.hpp"

namespace orka {

namespace {

constexpr int kStereo = 2;
// Samples per channel in one device buffer: about 23 ms at 44.1 kHz, short enough that a sound
// starts with the frame that asked for it.
constexpr int kBufferFrames = 1024;
constexpr int kAllChannels = -1;
constexpr int kPlayOnce = 0;
constexpr int kLoopForever = -1;

/// SDL2_mixer's volume, 0 to MIX_MAX_VOLUME, for a loudness from 0 to 1.
int MixerVolume(float volume) {
    return static_cast<int>(std::lround(volume * MIX_MAX_VOLUME));
}

}  // namespace

AudioOutput::AudioOutput() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ORKA_LOG_INFO("No audio device (%s): the sounds are off", SDL_GetError());
        return;
    }
    subsystemStarted = true;
    // A driver that lists no device at all has nothing to open; asking it anyway lets some (ALSA
    // without a sound card) print their own errors. -1 means the driver cannot tell: try.
    if (SDL_GetNumAudioDevices(0) == 0) {
        ORKA_LOG_INFO("No audio device (driver %s): the sounds are off",
                      SDL_GetCurrentAudioDriver());
        return;
    }
    // The device's own format is taken as asked: 16-bit signed, so silence is bytes of 0.
    if (Mix_OpenAudioDevice(sampleRate, AUDIO_S16SYS, kStereo, kBufferFrames, nullptr, 0) != 0) {
        ORKA_LOG_INFO("No audio device (%s): the sounds are off", Mix_GetError());
        return;
    }
    open = true;
    Mix_AllocateChannels(maxOverlapping);
}

AudioOutput::~AudioOutput() {
    if (open) Mix_CloseAudio();
    if (subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::shared_ptr<Sound> AudioOutput::load(const std::string& path) const {
    if (!open) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk == nullptr) {
        ORKA_LOG_ERROR("Cannot load the sound \"%s\": %s", path.c_str(), Mix_GetError());
        return nullptr;
    }
    return std::make_shared<Sound>(chunk);
}

std::shared_ptr<Music> AudioOutput::loadMusic(const std::string& path) const {
    if (!open) return nullptr;
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (music == nullptr) {
        ORKA_LOG_ERROR("Cannot load the music \"%s\": %s", path.c_str(), Mix_GetError());
        return nullptr;
    }
    return std::make_shared<Music>(music);
}

void AudioOutput::playMusic(const Music& music) {
    if (!open) return;
    Mix_VolumeMusic(MixerVolume(musicVolume));
    if (Mix_PlayMusic(music.getHandle(), kLoopForever) != 0) {
        ORKA_LOG_ERROR("Cannot play the music: %s", Mix_GetError());
        return;
    }
    if (muted) Mix_PauseMusic();
}

bool AudioOutput::isMusicPlaying() const {
    return open && Mix_PlayingMusic() != 0 && Mix_PausedMusic() == 0;
}

SoundHandle AudioOutput::play(const Sound& sound, float volume, float pan) {
    if (!open || muted) return {};
    // Silent until its volume is set, so the start is never heard at the last play's loudness.
    const int channel = Mix_GroupAvailable(kAllChannels);
    // None free: the sound is dropped rather than cutting another one off.
    if (channel < 0 || channel >= maxOverlapping) return {};
    channelVolumes[channel] = std::clamp(volume, 0.0f, 1.0f);
    applyVolume(channel);
    setChannelPan(channel, pan);
    if (Mix_PlayChannel(channel, sound.getChunk(), kPlayOnce) != channel) return {};
    return SoundHandle(this, channel, ++channelPlays[channel]);
}

bool AudioOutput::isCurrentPlay(int channel, std::uint32_t play) const {
    if (!open || channel < 0 || channel >= maxOverlapping) return false;
    return channelPlays[channel] == play && Mix_Playing(channel) != 0;
}

void AudioOutput::stopChannel(int channel) {
    Mix_HaltChannel(channel);
}

void AudioOutput::setChannelVolume(int channel, float volume) {
    channelVolumes[channel] = std::clamp(volume, 0.0f, 1.0f);
    applyVolume(channel);
}

void AudioOutput::applyVolume(int channel) {
    Mix_Volume(channel, MixerVolume(effectsVolume * channelVolumes[channel]));
}

void AudioOutput::setChannelPan(int channel, float pan) {
    pan = std::clamp(pan, -1.0f, 1.0f);
    // Full on the side it leans to, fading on the other; 255 on both is no panning at all.
    const auto level = [](float share) {
        return static_cast<Uint8>(std::lround(255.0f * std::min(share, 1.0f)));
    };
    Mix_SetPanning(channel, level(1.0f - pan), level(1.0f + pan));
}

void AudioOutput::setEffectsVolume(float volume) {
    effectsVolume = std::clamp(volume, 0.0f, 1.0f);
    if (!open) return;
    for (int channel = 0; channel < maxOverlapping; ++channel) applyVolume(channel);
}

void AudioOutput::setMusicVolume(float volume) {
    musicVolume = std::clamp(volume, 0.0f, 1.0f);
    if (open) Mix_VolumeMusic(MixerVolume(musicVolume));
}

void AudioOutput::setMuted(bool mute) {
    muted = mute;
    if (!open) return;
    if (muted) {
        Mix_HaltChannel(kAllChannels);
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
}

}  // namespace orka
