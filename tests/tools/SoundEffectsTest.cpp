// The committed sound effects of the default world: what the generator writes, byte for byte,
// and, read back with SDL's own WAV reader, short, audible, without clicks and without clipping.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/TextFile.hpp"
#include "soundgen/Music.hpp"
#include "soundgen/SoundEffects.hpp"
#include "soundgen/WavFile.hpp"

namespace {

const std::string data = CONTENT_DATA_DIR;
constexpr float kFullScale = 32768.0f;

/// The samples of a 16-bit mono WAV file as SDL reads it, in [-1, 1); empty when SDL refuses it
/// or it has another format than the generator's.
std::vector<float> ReadWithSdl(const std::string& path) {
    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &format, &buffer, &length) == nullptr) return {};
    std::vector<float> samples;
    if (format.freq == kSampleRate && format.format == AUDIO_S16LSB && format.channels == 1) {
        for (Uint32 i = 0; i + 1 < length; i += 2) {
            const auto value = static_cast<std::int16_t>(buffer[i] | buffer[i + 1] << 8);
            samples.push_back(static_cast<float>(value) / kFullScale);
        }
    }
    SDL_FreeWAV(buffer);
    return samples;
}

float Peak(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (float sample : samples) peak = std::max(peak, std::fabs(sample));
    return peak;
}

TEST(SoundEffects, TheCommittedFilesAreWhatTheGeneratorWrites) {
    const auto effects = AllSoundEffects();
    ASSERT_EQ(effects.size(), 7u)
        << "a jump, a landing, the goal, a fall, a coin, a checkpoint, a new best";
    for (const SoundEffect& effect : effects) {
        EXPECT_EQ(TextFile::read(data + "/" + effect.fileName), WavBytes(effect.samples))
            << effect.fileName << " is stale: run build/tools/soundgen from the repository root";
    }
    EXPECT_EQ(TextFile::read(data + "/" + kMusicFileName), WavBytes(NightTune()))
        << "music.wav is stale: run build/tools/soundgen from the repository root";
}

TEST(SoundEffects, TheMusicLoopsWithoutAClickQuieterThanTheEffects) {
    const std::vector<float> music = ReadWithSdl(data + "/" + kMusicFileName);
    ASSERT_FALSE(music.empty()) << "not a 16-bit mono WAV file at " << kSampleRate << " Hz";
    const std::size_t bar = static_cast<std::size_t>(kMusicBeatsPerBar * MusicBeatSamples());
    EXPECT_EQ(music.size() % bar, 0u) << "the loop is whole bars, so its beat carries on";
    EXPECT_LT(music.size() * 2, 1500000u) << "bytes of the file";
    // The jump from the last sample back to the first is what a click would be; each note's
    // own steps are far smaller than its loudness.
    EXPECT_LT(std::fabs(music.back() - music.front()), 0.002f);
    EXPECT_LT(std::fabs(music.front()), 0.002f);
    float steepest = 0.0f;
    for (std::size_t i = 1; i < music.size(); ++i) {
        steepest = std::max(steepest, std::fabs(music[i] - music[i - 1]));
    }
    EXPECT_LT(steepest, 0.05f) << "no click inside the loop either";
    EXPECT_GT(Peak(music), 0.1f) << "audible";
    EXPECT_LE(Peak(music), 0.5f * Peak(ReadWithSdl(data + "/jump.wav")))
        << "the effects stand out over the music";
    float quietest = 1.0f;  // the loudest sample of the quietest bar: the tune never stops
    for (std::size_t start = 0; start + bar <= music.size(); start += bar) {
        quietest = std::min(
            quietest, Peak(std::vector<float>(music.begin() + start, music.begin() + start + bar)));
    }
    EXPECT_GT(quietest, 0.05f);
}

TEST(SoundEffects, EachIsShortAudibleAndNeitherClicksNorClips) {
    constexpr float kLongest = 1.0f;   // seconds
    constexpr float kQuietest = 0.3f;  // peak, of full scale
    constexpr float kLoudest = 0.6f;   // room for a few at once in the game's mixer
    constexpr float kEdge = 0.01f;     // first and last samples: a step this big is no click
    for (const char* name :
         {"jump.wav", "land.wav", "goal.wav", "fall.wav", "collect.wav", "checkpoint.wav",
          "best.wav"}) {
        SCOPED_TRACE(name);
        const std::vector<float> samples = ReadWithSdl(data + "/" + name);
        ASSERT_FALSE(samples.empty()) << "not a 16-bit mono WAV file at " << kSampleRate << " Hz";
        EXPECT_LT(static_cast<float>(samples.size()) / kSampleRate, kLongest);
        EXPECT_GT(Peak(samples), kQuietest);
        EXPECT_LT(Peak(samples), kLoudest);
        EXPECT_LT(std::fabs(samples.front()), kEdge);
        EXPECT_LT(std::fabs(samples.back()), kEdge);
    }
}

}  // namespace
