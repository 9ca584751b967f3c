// Sounds played through SDL's "disk" audio driver, which writes what the sound card would play
// into a file (16-bit signed stereo at 44.1 kHz): what a play's handle does is heard there.
#include "orka/AudioOutput.hpp"

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orka/LogCapture.hpp"
#include "orka/Sound.hpp"
#include "support/Patience.hpp"

namespace orka {
namespace {

namespace fs = std::filesystem;

const fs::path kSounds = fs::path(ORKA_TEST_DATA_DIR) / "sound";

/// An output on the disk driver, writing into a scratch file, for the life of the object. The
/// test window's SDL has its own audio started: it is stopped meanwhile and started again.
class DiskAudio {
public:
    DiskAudio() : file(fs::temp_directory_path() / ("orka-audio-" + std::to_string(getpid()))) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        output = std::make_unique<AudioOutput>();
    }
    ~DiskAudio() {
        output.reset();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        std::error_code ignored;
        fs::remove(file, ignored);
    }
    /// Closes the output and returns what it played: left and right samples, interleaved.
    std::vector<std::int16_t> Heard() {
        output.reset();
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::copy(bytes.data(), bytes.data() + samples.size() * 2,
                  reinterpret_cast<char*>(samples.data()));
        return samples;
    }

    fs::path file;
    std::unique_ptr<AudioOutput> output;
};

/// The loudest sample of one side (0 left, 1 right).
int Peak(const std::vector<std::int16_t>& samples, int side) {
    int peak = 0;
    for (std::size_t i = side; i < samples.size(); i += 2) peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

bool WaitWhilePlaying(const SoundHandle& play) {
    return test_support::WaitUntil([&] { return !play.isPlaying(); });
}

TEST(AudioOutput, EffectsLoadFromWavOggAndFlacAndAnythingElseIsNamed) {
    DiskAudio audio;
    ASSERT_TRUE(audio.output->isOpen()) << "the disk driver opens a device";
    for (const char* name : {"jump.ogg", "jump.flac"}) {
        EXPECT_NE(audio.output->load((kSounds / name).string()), nullptr) << name;
    }
    test::LogCapture log;
    const std::string notSound = (kSounds / "README.md").string();
    EXPECT_EQ(audio.output->load(notSound), nullptr);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, LogType::Error);
    EXPECT_NE(log.records[0].message.find(notSound), std::string::npos) << log.records[0].message;
}

TEST(AudioOutput, APlaysHandleStopsItAndSetsItsVolumeAndPanWhileItPlays) {
    DiskAudio audio;
    ASSERT_TRUE(audio.output->isOpen());
    const std::shared_ptr<Sound> jump = audio.output->load((kSounds / "jump.ogg").string());
    ASSERT_NE(jump, nullptr);

    // Left only, at full loudness; then right only, turned down to a quarter as it plays.
    const SoundHandle left = audio.output->play(*jump, 1.0f, -1.0f);
    EXPECT_TRUE(left.isPlaying());
    ASSERT_TRUE(WaitWhilePlaying(left));
    const SoundHandle right = audio.output->play(*jump);
    right.setPan(1.0f);
    right.setVolume(0.25f);
    ASSERT_TRUE(WaitWhilePlaying(right));

    // A stopped play is over at once; its handle does not reach the next play on its channel.
    const SoundHandle stopped = audio.output->play(*jump);
    stopped.stop();
    EXPECT_FALSE(stopped.isPlaying());
    const SoundHandle next = audio.output->play(*jump, 0.0f);
    stopped.stop();
    stopped.setVolume(1.0f);
    EXPECT_TRUE(next.isPlaying()) << "an old handle leaves the new play alone";
    next.stop();
    EXPECT_FALSE(SoundHandle().isPlaying()) << "a handle of no play does nothing";

    const std::vector<std::int16_t> heard = audio.Heard();
    const int leftPeak = Peak(heard, 0);
    const int rightPeak = Peak(heard, 1);
    EXPECT_GT(leftPeak, 8000) << "the first play is heard on the left";
    EXPECT_GT(rightPeak, leftPeak / 8) << "the second on the right, quieter";
    EXPECT_LT(rightPeak, leftPeak / 2);
}

TEST(AudioOutput, MutedOrWithoutADeviceAPlayGivesAHandleOfNoPlay) {
    DiskAudio audio;
    const std::shared_ptr<Sound> jump = audio.output->load((kSounds / "jump.flac").string());
    ASSERT_NE(jump, nullptr);
    audio.output->setMuted(true);
    const SoundHandle muted = audio.output->play(*jump);
    EXPECT_FALSE(muted.isPlaying());
    muted.setPan(0.5f);  // harmless
}

}  // namespace
}  // namespace orka
