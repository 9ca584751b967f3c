#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "orka/SoundHandle.hpp"

namespace orka {

class Music;
class Sound;
struct PitchedPlay;  // a play's place and rate in its sound, shared with the audio thread

/// The sound output: SDL's default audio device through SDL2_mixer, opened by the constructor
/// (44.1 kHz, 16-bit signed stereo) and closed by the destructor. Sounds started while others
/// still play are mixed with them, up to `maxOverlapping` at once (a sound beyond that is
/// dropped). Beside them, one piece of music may play in a loop, at its own volume. Muted, it
/// stops the sounds that play, pauses the music and starts nothing, so the device plays silence;
/// unmuted, the music goes on where it was paused.
///
/// Without an audio device (no audio driver, no sound card) the constructor logs one info line
/// and the output stays closed: `load` and `loadMusic` return null without a log and `play` and
/// `playMusic` do nothing, so a
/// program uses it the same way with or without sound. It starts SDL's audio subsystem itself,
/// so the window's SDL_Init flags need not include audio. Release it before SDL_Quit (before the
/// SDLRenderer goes). One at a time; main thread only.
class AudioOutput {
public:
    /// Samples per second per channel of the opened device.
    static constexpr int sampleRate = 44100;
    /// Sounds that may play at once (mixer channels).
    static constexpr int maxOverlapping = 16;

    /// Opens the default device, or logs one info line and stays closed when there is none.
    AudioOutput();
    /// Closes the device, silencing what plays, and SDL's audio subsystem if it started it.
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    /// True when a device was opened.
    bool isOpen() const { return open; }

    /// Loads a sound from a WAV, OGG Vorbis or FLAC file (told apart by their content). Null when
    /// the output is closed (nothing logged), or when the file is missing or none of those (an
    /// error naming the file is logged). The sound must be released before this output.
    std::shared_ptr<Sound> load(const std::string& path) const;
    /// Loads a sound from the bytes of a WAV, OGG Vorbis or FLAC file already in memory (`size`
    /// bytes at `data`); the bytes are converted, so they may be released afterwards. Null as
    /// for `load`; `name` stands for the file in the error.
    std::shared_ptr<Sound> loadFromMemory(const void* data, std::size_t size,
                                          const std::string& name = "bytes in memory") const;

    /// Loads a piece of music (WAV, or another format SDL2_mixer was built to read), streamed
    /// while it plays. Null when the output is closed (nothing logged), or when the file is
    /// missing or unreadable (an error naming the file is logged). Release it before this
    /// output.
    std::shared_ptr<Music> loadMusic(const std::string& path) const;
    /// Plays `music` in a loop until it is released or other music is played, at the music
    /// volume; while muted it starts paused and plays from the unmuting on. Does nothing
    /// without a device.
    void playMusic(const Music& music);
    /// True while music plays and is heard: started, not released and not paused by muting.
    bool isMusicPlaying() const;

    /// Starts `sound` on a free channel, mixed with whatever plays, at `volume` (0 to 1, times
    /// the sound's own volume and the effects volume), `pan` (-1 left to 1 right) and `pitch`
    /// (playback rate, see SoundHandle::setPitch); returns the handle that steers this play.
    /// Does nothing (and returns a handle of no play) while muted, without a device, or when
    /// `maxOverlapping` sounds already play. The sound must outlive the play (releasing it
    /// stops the play).
    SoundHandle play(const Sound& sound, float volume = 1.0f, float pan = 0.0f, float pitch = 1.0f);
    /// As play, and then `repeats` more times without a gap (`loopForever`, or any negative
    /// count: until stopped). Pitch changes the length of every round alike.
    SoundHandle playLooped(const Sound& sound, int repeats, float volume = 1.0f, float pan = 0.0f,
                           float pitch = 1.0f);
    /// The repeat count of a play that goes on until it is stopped.
    static constexpr int loopForever = -1;

    /// Loudness of the sound effects (everything `play` starts), from 0 (silent) to 1 (as
    /// recorded); 1 at start. Values outside are clamped. Kept while the device is closed.
    ///@{
    void setEffectsVolume(float volume);
    /// The effects' loudness, 0 to 1.
    float getEffectsVolume() const { return effectsVolume; }
    ///@}
    /// Loudness of the music, from 0 (silent) to 1 (as recorded); 1 at start. Values outside
    /// are clamped. Kept while the device is closed.
    ///@{
    void setMusicVolume(float volume);
    /// The music's loudness, 0 to 1.
    float getMusicVolume() const { return musicVolume; }
    ///@}

    /// False at start.
    bool isMuted() const { return muted; }
    /// Muting stops every sound that plays and pauses the music; unmuting lets the next sounds
    /// start and the music go on.
    void setMuted(bool mute);

private:
    friend class SoundHandle;
    /// The play numbered `play` is the one on `channel` and is still going.
    bool isCurrentPlay(int channel, std::uint32_t play) const;
    void stopChannel(int channel);
    void pauseChannel(int channel, bool pause);
    bool isChannelPaused(int channel) const;
    void setChannelVolume(int channel, float volume);
    void setChannelPan(int channel, float pan);
    void setChannelPitch(int channel, float pitch);
    /// Sets the mixer's volume of `channel` from its play's volume and the effects volume.
    void applyVolume(int channel);
    /// Hands the play on `channel` to the pitch effect, which writes its samples from now on.
    bool startPitchedPlay(int channel, const Sound& sound, float pitch);

    std::array<std::uint32_t, maxOverlapping> channelPlays{};  // starts so far, per channel
    std::array<float, maxOverlapping> channelVolumes{};        // each play's own loudness
    // Per channel, made with the output; the audio thread reads them while a play goes on.
    std::array<std::unique_ptr<PitchedPlay>, maxOverlapping> pitchedPlays;
    bool subsystemStarted = false;
    bool open = false;
    bool muted = false;
    float effectsVolume = 1.0f;
    float musicVolume = 1.0f;
};

}  // namespace orka
