#include "SoundEffects.hpp"

#include <cmath>

namespace {

// A quick rising chirp, an octave up in a fifth of a second.
Samples Jump() {
    Samples jump = Glide(0.18f, 380.0f, 760.0f, 0.4f);
    Shape(jump, 0.004f, 0.08f);
    return jump;
}

// A soft thump: a low tone sinking fast, with a brush of filtered noise on the impact.
Samples Land() {
    Samples land = Glide(0.14f, 150.0f, 55.0f, 0.2f);
    Shape(land, 0.002f, 0.05f);
    Samples brush = SoftNoise(0.06f, 0.85f, 0x5eed1u);
    Shape(brush, 0.001f, 0.015f);
    MixInto(land, brush, 0, 1.5f);
    return land;
}

// A bell-like arpeggio up a major chord (C5, E5, G5, C6), the last note ringing longest.
Samples Goal() {
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.50f};
    constexpr float kStepSeconds = 0.09f;
    Samples goal;
    for (int i = 0; i < 4; ++i) {
        const bool last = i == 3;
        Samples note = Glide(last ? 0.5f : 0.3f, notes[i], notes[i], 0.3f);
        Shape(note, 0.003f, last ? 0.16f : 0.08f);
        MixInto(goal, note, SampleCount(kStepSeconds * static_cast<float>(i)), 1.0f);
    }
    return goal;
}

// A falling whistle, two octaves down, wavering a little as it goes.
Samples Fall() {
    constexpr float kSeconds = 0.5f;
    constexpr float kWobbleHz = 7.0f;
    constexpr float kWobbleDepth = 0.25f;
    Samples fall = Glide(kSeconds, 660.0f, 165.0f, 0.15f);
    for (std::size_t i = 0; i < fall.size(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        fall[i] *= 1.0f - kWobbleDepth * 0.5f * (1.0f + std::sin(6.2831853f * kWobbleHz * t));
    }
    Shape(fall, 0.01f, 0.3f);
    return fall;
}

// A coin's bright two-note ping: a short E6 straight into a ringing B6, a fifth above.
Samples Collect() {
    constexpr float kFirstSeconds = 0.06f;
    Samples collect = Glide(kFirstSeconds + 0.02f, 1318.51f, 1318.51f, 0.25f);
    Shape(collect, 0.002f, 0.05f);
    Samples ring = Glide(0.3f, 1975.53f, 1975.53f, 0.25f);
    Shape(ring, 0.002f, 0.08f);
    MixInto(collect, ring, SampleCount(kFirstSeconds), 1.0f);
    return collect;
}

// A checkpoint's call: a rising fourth (G5 to C6), the second note held with a slow shimmer so
// it sounds like a flag going up rather than the goal's arpeggio.
Samples Checkpoint() {
    constexpr float kStepSeconds = 0.11f;
    constexpr float kShimmerHz = 6.0f;
    constexpr float kShimmerDepth = 0.3f;
    Samples checkpoint = Glide(0.2f, 783.99f, 783.99f, 0.35f);
    Shape(checkpoint, 0.003f, 0.07f);
    Samples held = Glide(0.45f, 1046.50f, 1046.50f, 0.35f);
    for (std::size_t i = 0; i < held.size(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        held[i] *= 1.0f - kShimmerDepth * 0.5f * (1.0f - std::cos(6.2831853f * kShimmerHz * t));
    }
    Shape(held, 0.004f, 0.15f);
    MixInto(checkpoint, held, SampleCount(kStepSeconds), 1.0f);
    return checkpoint;
}

// A new best time: the goal's arpeggio run up twice as fast and on to E6 and G6, then a
// major chord (C6, E6, G6) ringing together, a fanfare rather than a plain finish.
Samples NewBest() {
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.50f, 1318.51f, 1567.98f};
    constexpr float kStepSeconds = 0.06f;
    Samples best;
    for (int i = 0; i < 6; ++i) {
        Samples note = Glide(0.2f, notes[i], notes[i], 0.3f);
        Shape(note, 0.003f, 0.06f);
        MixInto(best, note, SampleCount(kStepSeconds * static_cast<float>(i)), 1.0f);
    }
    const int chordStart = SampleCount(kStepSeconds * 6.0f);
    for (int i = 3; i < 6; ++i) {
        Samples note = Glide(0.55f, notes[i], notes[i], 0.3f);
        Shape(note, 0.005f, 0.35f);
        MixInto(best, note, chordStart, 0.6f);
    }
    return best;
}

}  // namespace

std::vector<SoundEffect> AllSoundEffects() {
    std::vector<SoundEffect> effects{{"jump.wav", Jump()},       {"land.wav", Land()},
                                     {"goal.wav", Goal()},       {"fall.wav", Fall()},
                                     {"collect.wav", Collect()}, {"checkpoint.wav", Checkpoint()},
                                     {"best.wav", NewBest()}};
    for (SoundEffect& effect : effects) Normalise(effect.samples, kPeak);
    return effects;
}
