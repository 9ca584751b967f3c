#pragma once

#include <cstdint>

namespace orka {

class AudioOutput;

/// One play of a sound, as `AudioOutput::play` started it: it can be stopped, made louder or
/// quieter and moved between the speakers while it plays. Once the sound has ended (or was
/// stopped, or never started: muted, no device, every channel busy) the handle does nothing and
/// `isPlaying` is false, even when its mixer channel has been given to another sound since.
/// A copyable value; it must not be used after its output is gone. Main thread only.
class SoundHandle {
public:
    /// A handle of no play: it does nothing.
    SoundHandle() = default;

    /// True while this play is heard or waits in the mixer.
    bool isPlaying() const;
    /// Ends this play at once.
    void stop() const;
    /// Holds this play where it is (silent, still counted as playing) / goes on from there.
    /// Muting the output ends paused plays too.
    ///@{
    void pause() const;
    void resume() const;
    ///@}
    /// True while this play is held by pause().
    bool isPaused() const;
    /// This play's loudness, 0 (silent) to 1 (as loaded), times the output's effects volume;
    /// clamped.
    void setVolume(float volume) const;
    /// Where this play is heard: -1 left only, 0 both speakers alike, 1 right only; clamped.
    void setPan(float pan) const;
    /// This play's playback rate from now on: 1 as recorded, 2 an octave higher and twice as
    /// fast (the play ends sooner), 0.5 an octave lower and twice as long; clamped to
    /// `minPitch`..`maxPitch`. Takes effect within one device buffer (about 23 ms).
    void setPitch(float pitch) const;

    /// The range of setPitch: two octaves down and up.
    ///@{
    static constexpr float minPitch = 0.25f;
    static constexpr float maxPitch = 4.0f;
    ///@}

private:
    friend class AudioOutput;
    SoundHandle(AudioOutput* playingOutput, int playChannel, std::uint32_t playNumber)
        : output(playingOutput), channel(playChannel), play(playNumber) {}

    AudioOutput* output = nullptr;
    int channel = -1;
    std::uint32_t play = 0;  ///< which start on the channel this handle belongs to
};

}  // namespace orka
