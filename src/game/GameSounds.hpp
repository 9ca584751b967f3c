#pragma once

#include <array>
#include <memory>

#include "orka/AudioOutput.hpp"

namespace orka {
class Music;
class Sound;
}

/// The moments of play that make a sound.
/// A goal reached in a new best time is heard as `NewBest` instead of `Goal`.
enum class SoundCue { Jump, Land, Goal, Fall, Collect, Checkpoint, NewBest, Count };

/// The game's sound effects: the audio output and one sound per cue, loaded from the working
/// directory ("jump.wav", "land.wav", "goal.wav", "fall.wav", "collect.wav", "checkpoint.wav",
/// "best.wav").
/// A sound that cannot be loaded has said so once in the engine's log and stays silent; without
/// an audio device all are. A put-back by a hazard sounds like a fall. The music, "music.wav"
/// from the same folder, plays in a loop from the start, quieter than the effects as the file
/// is mixed; a music file that cannot be loaded is one error line too, and the game is quiet
/// between its effects.
///
/// While one exists, `Cue` plays through it: components call `GameSounds::Cue` without knowing
/// whether the game has sound (a scene driven by hand and the level checker have none).
/// One at a time; made and released on the main thread, before SDL_Quit.
class GameSounds {
public:
    /// Opens the output at the given loudness of music and effects (0 to 1, clamped), loads the
    /// sounds and starts the music.
    explicit GameSounds(float musicVolume = 1.0f, float effectsVolume = 1.0f);
    ~GameSounds();
    GameSounds(const GameSounds&) = delete;
    GameSounds& operator=(const GameSounds&) = delete;

    /// Plays `cue` through the live game sounds, if there are any.
    static void Cue(SoundCue cue);

    /// Plays the cue's sound; counted even when it is muted or has no sound.
    void Play(SoundCue cue);
    /// How often `cue` was asked for since this object was made.
    int GetCueCount(SoundCue cue) const { return cueCounts[static_cast<std::size_t>(cue)]; }
    /// Loudness of the effects and of the music, each from 0 (silent) to 1 (as recorded);
    /// values outside are clamped. Both start as given to the constructor.
    void SetEffectsVolume(float volume) { output.setEffectsVolume(volume); }
    float GetEffectsVolume() const { return output.getEffectsVolume(); }
    void SetMusicVolume(float volume) { output.setMusicVolume(volume); }
    float GetMusicVolume() const { return output.getMusicVolume(); }
    /// True while the music plays and is heard (loaded, and not muted).
    bool IsMusicPlaying() const { return output.isMusicPlaying(); }
    /// Mutes or unmutes the effects and the music together (the M key).
    void ToggleMute();
    bool IsMuted() const { return output.isMuted(); }

private:
    orka::AudioOutput output;
    // Declared after the output so they are released before it closes.
    std::array<std::shared_ptr<orka::Sound>, static_cast<std::size_t>(SoundCue::Count)> sounds;
    std::array<int, static_cast<std::size_t>(SoundCue::Count)> cueCounts{};
    std::shared_ptr<orka::Music> music;

    static GameSounds* live;
};
