#include "Synth.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
// The last few milliseconds of every sound fade to zero.
constexpr float kFadeOutSeconds = 0.008f;

}  // namespace

int SampleCount(float seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}

Samples Glide(float seconds, float startHz, float endHz, float brightness) {
    const int count = SampleCount(seconds);
    Samples samples(static_cast<std::size_t>(count));
    // The phase is the running sum of the frequency, so the pitch changes without a jump.
    double phase = 0.0;
    const double ratio = static_cast<double>(endHz) / startHz;
    for (int i = 0; i < count; ++i) {
        const double progress = static_cast<double>(i) / count;
        const double frequency = startHz * std::pow(ratio, progress);
        const double value = std::sin(phase) + 0.5 * brightness * std::sin(2.0 * phase) +
                             0.25 * brightness * std::sin(3.0 * phase);
        samples[static_cast<std::size_t>(i)] = static_cast<float>(value);
        phase = std::fmod(phase + kTwoPi * frequency / kSampleRate, kTwoPi);
    }
    return samples;
}

void Shape(Samples& samples, float attackSeconds, float decaySeconds) {
    const int count = static_cast<int>(samples.size());
    const int attack = std::max(1, SampleCount(attackSeconds));
    const int fade = std::min(count, std::max(1, SampleCount(kFadeOutSeconds)));
    for (int i = 0; i < count; ++i) {
        const float rise = std::min(1.0f, static_cast<float>(i) / attack);
        const float since = static_cast<float>(std::max(0, i - attack)) / kSampleRate;
        const float decay = std::exp(-since / decaySeconds);
        const float tail = std::min(1.0f, static_cast<float>(count - 1 - i) / fade);
        samples[static_cast<std::size_t>(i)] *= rise * decay * tail;
    }
}

Samples SoftNoise(float seconds, float smoothing, std::uint32_t seed) {
    const int count = SampleCount(seconds);
    Samples samples(static_cast<std::size_t>(count));
    std::uint32_t state = seed != 0 ? seed : 1u;
    float low = 0.0f;
    for (int i = 0; i < count; ++i) {
        // xorshift32: small, and the same on every machine.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const float white = static_cast<float>(state) / 4294967295.0f * 2.0f - 1.0f;
        low = smoothing * low + (1.0f - smoothing) * white;
        samples[static_cast<std::size_t>(i)] = low;
    }
    return samples;
}

void MixInto(Samples& mix, const Samples& part, int offset, float gain) {
    const std::size_t start = static_cast<std::size_t>(offset);
    if (mix.size() < start + part.size()) mix.resize(start + part.size(), 0.0f);
    for (std::size_t i = 0; i < part.size(); ++i) mix[start + i] += gain * part[i];
}

void Normalise(Samples& samples, float peak) {
    float loudest = 0.0f;
    for (float sample : samples) loudest = std::max(loudest, std::fabs(sample));
    if (loudest == 0.0f) return;
    for (float& sample : samples) sample *= peak / loudest;
}
