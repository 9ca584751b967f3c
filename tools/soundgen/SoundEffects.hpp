#pragma once

#include <string>
#include <vector>

#include "Synth.hpp"

/// One effect of the default world: the file the game loads and its samples.
struct SoundEffect {
    std::string fileName;  ///< as the game looks for it in its working directory
    Samples samples;
};

/// Loudest sample of every effect: below full scale, so none clips, and with room for a few
/// effects playing at once in the game's mixer.
constexpr float kPeak = 0.5f;

/// The game's effects: a jump, a landing, the goal (the level change), the fall below the level
/// (the reset), a coin taken, a checkpoint reached and a level finished in a new best time.
/// Synthesised, so every run gives the same
/// samples.
std::vector<SoundEffect> AllSoundEffects();
