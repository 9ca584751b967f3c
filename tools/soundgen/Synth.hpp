#pragma once

#include <cstdint>
#include <vector>

/// Mono samples in [-1, 1] at `kSampleRate`; the sound effects are built from these pieces.
using Samples = std::vector<float>;

/// Samples per second of every generated sound: plenty for short effects, and small files.
constexpr int kSampleRate = 22050;

/// Number of samples in `seconds`.
int SampleCount(float seconds);

/// A tone whose pitch glides exponentially from `startHz` to `endHz` over `seconds`, made of
/// its fundamental with a little of the second and third harmonics (`brightness` 0 gives a pure
/// sine). Unshaped: full amplitude from the first sample to the last.
Samples Glide(float seconds, float startHz, float endHz, float brightness);

/// Shapes `samples` in place: a linear rise over `attackSeconds`, then an exponential decay with
/// time constant `decaySeconds`, and a short linear fade to silence at the end so the sound never
/// stops with a click.
void Shape(Samples& samples, float attackSeconds, float decaySeconds);

/// Soft noise: white noise from a fixed seed through a one-pole low-pass filter (`smoothing`
/// near 1 keeps only the low rumble). The same seed always gives the same samples.
Samples SoftNoise(float seconds, float smoothing, std::uint32_t seed);

/// Adds `part` (scaled by `gain`) into `mix` from sample `offset` on, growing `mix` as needed.
void MixInto(Samples& mix, const Samples& part, int offset, float gain);

/// Scales `samples` so that the loudest one has the absolute value `peak` (below 1: no clipping).
void Normalise(Samples& samples, float peak);
