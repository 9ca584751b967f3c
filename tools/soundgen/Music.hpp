#pragma once

#include "Synth.hpp"

/// The file the game loads the default world's music from, in its working directory.
constexpr const char* kMusicFileName = "music.wav";

/// Loudest sample of the music: well under the effects' `kPeak`, so the effects stand out over
/// it.
constexpr float kMusicPeak = 0.2f;

/// Beats per minute of the tune; one beat is a whole number of samples (14,700 at 22.05 kHz).
constexpr int kMusicTempo = 90;
constexpr int kMusicBeatsPerBar = 4;
constexpr int kMusicBars = 8;

/// Samples of one beat of the tune.
constexpr int MusicBeatSamples() {
    return kSampleRate * 60 / kMusicTempo;
}

/// The default world's tune: eight calm bars in A minor (a melody over a bass and a soft
/// arpeggio), made to be played in a loop. It is exactly `kMusicBars` bars long; every note
/// fades out before the end, so the last sample and the first are silence and the loop has no
/// click. Synthesised, so every run gives the same samples.
Samples NightTune();
