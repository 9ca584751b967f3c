#include "WavFile.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {

constexpr int kBitsPerSample = 16;
constexpr int kChannels = 1;
constexpr int kBytesPerSample = kBitsPerSample / 8;
constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint32_t kFmtChunkSize = 16;
constexpr float kFullScale = 32767.0f;

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
}

}  // namespace

std::string WavBytes(const Samples& samples) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    std::string out;
    out.reserve(44 + dataSize);
    out += "RIFF";
    Put32(out, 36 + dataSize);
    out += "WAVEfmt ";
    Put32(out, kFmtChunkSize);
    Put16(out, kPcmFormat);
    Put16(out, kChannels);
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * kChannels * kBytesPerSample);
    Put16(out, kChannels * kBytesPerSample);
    Put16(out, kBitsPerSample);
    out += "data";
    Put32(out, dataSize);
    for (float sample : samples) {
        const float clamped = std::clamp(sample, -1.0f, 1.0f);
        const auto value = static_cast<std::int16_t>(std::lround(clamped * kFullScale));
        Put16(out, static_cast<std::uint16_t>(value));
    }
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
