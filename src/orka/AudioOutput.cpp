#include "orka/AudioOutput.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <limits>
#include <vector>

#include <sys/stat.h>

#include "orka/FileBytes.hpp"
#include "orka/FlacComments.hpp"
#include "orka/Log.hpp"
#include "orka/Music.hpp"
#include "orka/Sound.hpp"

namespace orka {

/// SDL2_mixer has no playback rate, so every play goes through an effect that writes the
/// sound's samples, resampled at the play's rate, over what the mixer copied for the channel.
/// The channel plays the sound itself in a loop: it lasts as long as the effect needs it, and
/// releasing the sound halts it as SDL2_mixer always does. The main thread sets the play up
/// while its channel is idle; afterwards it only writes `rate` and reads `finished`.
struct PitchedPlay {
    const Sint16* samples = nullptr;    ///< the sound's frames, left and right interleaved
    std::size_t frames = 0;             ///< frames in `samples`
    double position = 0.0;              ///< next source frame (fractional); audio thread only
    std::atomic<float> rate{1.0f};      ///< source frames per output frame
    std::atomic<bool> finished{false};  ///< the last frame was written
    int repeatsLeft = 0;                ///< plays after this one; negative: for ever
};

namespace {

constexpr int kStereo = 2;
// Samples per channel in one device buffer: about 23 ms at 44.1 kHz, short enough that a sound
// starts with the frame that asked for it.
constexpr int kBufferFrames = 1024;
constexpr int kAllChannels = -1;
constexpr int kLoopForever = -1;

constexpr int kFrameBytes = kStereo * static_cast<int>(sizeof(Sint16));
constexpr int kExpireAtNextMix = 1;  // milliseconds

// Linear interpolation between the two source frames around `play.position`; good enough for
// effects, and it keeps the audio thread's work small.
void WriteFrame(const PitchedPlay& play, std::size_t at, Sint16* out) {
    const float share = static_cast<float>(play.position - static_cast<double>(at));
    for (int side = 0; side < kStereo; ++side) {
        const float from = play.samples[at * kStereo + side];
        const float to = play.samples[(at + 1) * kStereo + side];
        out[side] = static_cast<Sint16>(std::lround(from + (to - from) * share));
    }
}

// Runs in the audio thread with the audio locked, once per stretch of the channel's output.
void ResampleEffect(int channel, void* stream, int length, void* data) {
    auto& play = *static_cast<PitchedPlay*>(data);
    auto* out = static_cast<Sint16*>(stream);
    const int frames = length / kFrameBytes;
    const double rate = play.rate.load(std::memory_order_relaxed);
    for (int frame = 0; frame < frames; ++frame) {
        const auto at = static_cast<std::size_t>(play.position);
        // A looping play starts over where the sound ends, keeping the fractional position.
        if (at + 1 >= play.frames && play.repeatsLeft != 0 && play.frames > 1) {
            play.position -= static_cast<double>(play.frames - 1);
            if (play.repeatsLeft > 0) --play.repeatsLeft;
            --frame;
            continue;
        }
        if (play.finished.load(std::memory_order_relaxed) || at + 1 >= play.frames) {
            std::fill(out + frame * kStereo, out + frames * kStereo, Sint16{0});
            // Halting here would free the effect list the mixer is walking; an expiry ends the
            // channel at its next mix instead.
            if (!play.finished.exchange(true)) Mix_ExpireChannel(channel, kExpireAtNextMix);
            return;
        }
        WriteFrame(play, at, out + frame * kStereo);
        play.position += rate;
    }
}

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
    for (auto& play : pitchedPlays) play = std::make_unique<PitchedPlay>();
}

AudioOutput::~AudioOutput() {
    if (open) Mix_CloseAudio();
    if (subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::shared_ptr<Sound> AudioOutput::load(const std::string& path) const {
    if (!open) return nullptr;
    // Read here rather than by SDL, which would block on a pipe and read a device for ever.
    const FileBytes file = readFileBytes(path);
    if (!file.ok) {
        ORKA_LOG_ERROR("Cannot load the sound \"%s\": %s", path.c_str(), file.reason.c_str());
        return nullptr;
    }
    return loadFromMemory(file.bytes.data(), file.bytes.size(), path);
}

std::shared_ptr<Sound> AudioOutput::loadFromMemory(const void* data, std::size_t size,
                                                   const std::string& name) const {
    if (!open) return nullptr;
    if (data == nullptr || size == 0 ||
        size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        ORKA_LOG_ERROR("Cannot load the sound \"%s\": %zu bytes are no sound", name.c_str(),
                       data == nullptr ? std::size_t{0} : size);
        return nullptr;
    }
    const std::string unsafe = flacCommentsProblem(static_cast<const unsigned char*>(data), size);
    if (!unsafe.empty()) {
        ORKA_LOG_ERROR("Cannot load the sound \"%s\": %s", name.c_str(), unsafe.c_str());
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(size));
    // The samples are converted into a chunk of their own: the bytes may go after this.
    Mix_Chunk* chunk = source != nullptr ? Mix_LoadWAV_RW(source, 1) : nullptr;
    if (chunk == nullptr) {
        ORKA_LOG_ERROR("Cannot load the sound \"%s\": %s", name.c_str(), Mix_GetError());
        return nullptr;
    }
    return std::make_shared<Sound>(chunk);
}

std::shared_ptr<Music> AudioOutput::loadMusic(const std::string& path) const {
    if (!open) return nullptr;
    // Music streams from its file while it plays: only a plain file can do that.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        ORKA_LOG_ERROR("Cannot load the music \"%s\": it is not a plain file", path.c_str());
        return nullptr;
    }
    // Only the start is checked: a FLAC file's comments come before its samples.
    constexpr std::streamsize kHeadBytes = 1 << 20;
    std::vector<unsigned char> head(kHeadBytes);
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(head.data()), kHeadBytes);
    const auto got = static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0));
    const std::string unsafe = flacCommentsProblem(head.data(), got);
    if (!unsafe.empty()) {
        ORKA_LOG_ERROR("Cannot load the music \"%s\": %s", path.c_str(), unsafe.c_str());
        return nullptr;
    }
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

SoundHandle AudioOutput::play(const Sound& sound, float volume, float pan, float pitch) {
    return playLooped(sound, 0, volume, pan, pitch);
}

SoundHandle AudioOutput::playLooped(const Sound& sound, int repeats, float volume, float pan,
                                    float pitch) {
    if (!open || muted) return {};
    // NaN would reach the mixer as an undefined integer; the play starts as recorded instead.
    if (!std::isfinite(volume) || !std::isfinite(pan) || !std::isfinite(pitch)) {
        ORKA_LOG_WARNING(
            "A sound's volume %g, pan %g or pitch %g is not a number: it plays at volume 1, pan "
            "0, pitch 1 instead",
            static_cast<double>(volume), static_cast<double>(pan), static_cast<double>(pitch));
        volume = 1.0f;
        pan = 0.0f;
        pitch = 1.0f;
    }
    // Silent until its volume is set, so the start is never heard at the last play's loudness.
    const int channel = Mix_GroupAvailable(kAllChannels);
    // None free: the sound is dropped rather than cutting another one off.
    if (channel < 0 || channel >= maxOverlapping) return {};
    channelVolumes[channel] = std::clamp(volume, 0.0f, 1.0f);
    applyVolume(channel);
    // The pitch effect first: panning, an effect too, then works on its output.
    pitchedPlays[channel]->repeatsLeft = repeats < 0 ? -1 : repeats;
    if (!startPitchedPlay(channel, sound, pitch)) return {};
    setChannelPan(channel, pan);
    if (Mix_PlayChannel(channel, sound.getChunk(), kLoopForever) != channel) {
        Mix_UnregisterAllEffects(channel);
        return {};
    }
    return SoundHandle(this, channel, ++channelPlays[channel]);
}

bool AudioOutput::startPitchedPlay(int channel, const Sound& sound, float pitch) {
    const Mix_Chunk* chunk = sound.getChunk();
    PitchedPlay& play = *pitchedPlays[channel];
    // The output was opened as 16-bit stereo, and loading converts every sound to it.
    play.samples = reinterpret_cast<const Sint16*>(chunk->abuf);
    play.frames = chunk->alen / kFrameBytes;
    play.position = 0.0;
    play.rate = std::clamp(pitch, SoundHandle::minPitch, SoundHandle::maxPitch);
    play.finished = false;  // a sound of under two frames ends at the first mix
    if (Mix_RegisterEffect(channel, ResampleEffect, nullptr, &play) == 0) {
        ORKA_LOG_ERROR("Cannot play the sound: %s", Mix_GetError());
        return false;
    }
    return true;
}

bool AudioOutput::isCurrentPlay(int channel, std::uint32_t play) const {
    if (!open || channel < 0 || channel >= maxOverlapping) return false;
    return channelPlays[channel] == play && Mix_Playing(channel) != 0 &&
           !pitchedPlays[channel]->finished;
}

void AudioOutput::setChannelPitch(int channel, float pitch) {
    pitchedPlays[channel]->rate = std::clamp(pitch, SoundHandle::minPitch, SoundHandle::maxPitch);
}

void AudioOutput::stopChannel(int channel) {
    Mix_HaltChannel(channel);
}

void AudioOutput::pauseChannel(int channel, bool pause) {
    if (pause) {
        Mix_Pause(channel);
    } else {
        Mix_Resume(channel);
    }
}

bool AudioOutput::isChannelPaused(int channel) const {
    return Mix_Paused(channel) != 0;
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
    if (!std::isfinite(volume)) {
        ORKA_LOG_WARNING("The effects volume %g is not a number: it stays %g",
                         static_cast<double>(volume), static_cast<double>(effectsVolume));
        return;
    }
    effectsVolume = std::clamp(volume, 0.0f, 1.0f);
    if (!open) return;
    for (int channel = 0; channel < maxOverlapping; ++channel) applyVolume(channel);
}

void AudioOutput::setMusicVolume(float volume) {
    if (!std::isfinite(volume)) {
        ORKA_LOG_WARNING("The music volume %g is not a number: it stays %g",
                         static_cast<double>(volume), static_cast<double>(musicVolume));
        return;
    }
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
