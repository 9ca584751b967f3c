#pragma once

#include <string>

#include "Synth.hpp"

/// The bytes of a WAV file holding `samples` as 16-bit mono PCM at `kSampleRate` (RIFF,
/// little-endian, a "fmt " and a "data" chunk). Samples are clamped to [-1, 1] first.
std::string WavBytes(const Samples& samples);

/// Writes `bytes` to `path`; throws std::runtime_error naming the file when that fails.
void WriteFile(const std::string& path, const std::string& bytes);
