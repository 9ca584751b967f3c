#include "Beeps.hpp"

#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "orka/AudioOutput.hpp"
#include "orka/Sound.hpp"

namespace {

constexpr int sampleRate = orka::AudioOutput::sampleRate;
constexpr double twoPi = 6.283185307179586;

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A mono 16-bit WAV file in memory: the mixer reads it as it reads files, converting it to the
// device's format.
std::vector<std::uint8_t> wavFile(const std::vector<std::int16_t>& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> wav{'R', 'I', 'F', 'F'};
    putLittleEndian(wav, 36 + dataBytes, 4);
    for (char c : std::string_view("WAVEfmt ")) wav.push_back(static_cast<std::uint8_t>(c));
    putLittleEndian(wav, 16, 4);              // format chunk size
    putLittleEndian(wav, 1, 2);               // PCM
    putLittleEndian(wav, 1, 2);               // one channel
    putLittleEndian(wav, sampleRate, 4);      // samples per second
    putLittleEndian(wav, sampleRate * 2, 4);  // bytes per second
    putLittleEndian(wav, 2, 2);               // bytes per frame
    putLittleEndian(wav, 16, 2);              // bits per sample
    for (char c : std::string_view("data")) wav.push_back(static_cast<std::uint8_t>(c));
    putLittleEndian(wav, dataBytes, 4);
    for (std::int16_t sample : samples) putLittleEndian(wav, static_cast<std::uint16_t>(sample), 2);
    return wav;
}

}  // namespace

std::shared_ptr<orka::Sound> makeBeep(const orka::AudioOutput& output, float hertz, float endHertz,
                                      float seconds) {
    if (!output.isOpen()) return nullptr;
    const int count = static_cast<int>(seconds * sampleRate);
    std::vector<std::int16_t> samples(count);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const float progress = static_cast<float>(i) / count;
        phase += twoPi * (hertz + (endHertz - hertz) * progress) / sampleRate;
        const float fade = (1.0f - progress) * (1.0f - progress);
        samples[i] = static_cast<std::int16_t>(12000.0f * fade * (std::sin(phase) > 0 ? 1 : -1));
    }
    const std::vector<std::uint8_t> wav = wavFile(samples);
    Mix_Chunk* chunk =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), static_cast<int>(wav.size())), 1);
    if (chunk == nullptr) return nullptr;
    return std::make_shared<orka::Sound>(chunk);
}
