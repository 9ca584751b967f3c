#include "Music.hpp"

#include <cmath>
#include <iterator>

namespace {

// A note of the tune: when it starts and how long it lasts, in beats, and its MIDI number
// (69 is A4, 440 Hz).
struct Note {
    float beat;
    float beats;
    int midi;
};

float Frequency(int midi) {
    return 440.0f * std::pow(2.0f, static_cast<float>(midi - 69) / 12.0f);
}

int BeatToSample(float beat) {
    return static_cast<int>(std::lround(beat * static_cast<float>(MusicBeatSamples())));
}

// One voice: each note a steady tone with its own attack and decay, faded out by the end of its
// length, so no note rings past the next bar line of the loop.
void Play(Samples& mix, const Note* notes, int count, float brightness, float decaySeconds,
          float gain) {
    for (int i = 0; i < count; ++i) {
        const Note& note = notes[i];
        const float seconds = note.beats * 60.0f / static_cast<float>(kMusicTempo);
        Samples tone = Glide(seconds, Frequency(note.midi), Frequency(note.midi), brightness);
        Shape(tone, 0.02f, decaySeconds);
        MixInto(mix, tone, BeatToSample(note.beat), gain);
    }
}

// The chords, one per bar: Am, F, C, G, Am, Dm, F, E (which leads back to the first Am).
// Root, third and fifth as MIDI numbers in the octave below middle C.
constexpr int kChords[kMusicBars][3] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62},
                                        {57, 60, 64}, {50, 53, 57}, {53, 57, 60}, {52, 56, 59}};

// The melody over the chords, bar by bar.
constexpr Note kMelody[] = {
    {0, 2, 76},  {2, 1, 74},  {3, 1, 72},                // Am: E D C
    {4, 2, 72},  {6, 2, 69},                             // F: C A
    {8, 1, 67},  {9, 1, 72},  {10, 1, 76}, {11, 1, 79},  // C: G C E G
    {12, 3, 74}, {15, 1, 71},                            // G: D B
    {16, 1, 72}, {17, 1, 76}, {18, 2, 81},               // Am: C E A
    {20, 1, 77}, {21, 1, 76}, {22, 2, 74},               // Dm: F E D
    {24, 1, 72}, {25, 1, 74}, {26, 2, 69},               // F: C D A
    {28, 2, 71}, {30, 2, 68},                            // E: B G#
};

Samples Bass() {
    Samples bass;
    for (int bar = 0; bar < kMusicBars; ++bar) {
        const int root = kChords[bar][0] - 12;
        const float first = static_cast<float>(bar * kMusicBeatsPerBar);
        const Note notes[] = {{first, 2, root}, {first + 2, 2, root + 7}};  // root, then fifth
        Play(bass, notes, 2, 0.35f, 0.9f, 1.0f);
    }
    return bass;
}

// Eighth notes up and down the chord: root, fifth, octave, third.
Samples Arpeggio() {
    Samples arpeggio;
    for (int bar = 0; bar < kMusicBars; ++bar) {
        const int* chord = kChords[bar];
        const int pattern[] = {chord[0],      chord[2], chord[0] + 12, chord[1] + 12,
                               chord[0] + 12, chord[2], chord[1],      chord[2]};
        for (int step = 0; step < 8; ++step) {
            const float beat = static_cast<float>(bar * kMusicBeatsPerBar) + 0.5f * step;
            const Note note{beat, 0.5f, pattern[step]};
            Play(arpeggio, &note, 1, 0.0f, 0.18f, 1.0f);
        }
    }
    return arpeggio;
}

}  // namespace

Samples NightTune() {
    const int length = kMusicBars * kMusicBeatsPerBar * MusicBeatSamples();
    Samples tune(static_cast<std::size_t>(length), 0.0f);
    Play(tune, kMelody, static_cast<int>(std::size(kMelody)), 0.3f, 0.7f, 0.8f);
    MixInto(tune, Bass(), 0, 0.7f);
    MixInto(tune, Arpeggio(), 0, 0.25f);
    // A note rounded a sample longer than its beats would end past the bar line: the loop is
    // exactly its bars, and that last sample was faded to nothing anyway.
    tune.resize(static_cast<std::size_t>(length));
    Normalise(tune, kMusicPeak);
    return tune;
}
