// The built game's sound as a player hears it: the default world played on a private X server
// with SDL's "disk" audio driver, which writes what the sound card would play into a file (16-bit
// signed stereo at 44.1 kHz, so silence is bytes of 0).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "support/PlatformerProcess.hpp"
#include "support/ScratchFolder.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names

namespace {

using namespace std::chrono_literals;
using game::test::Platformer;
using game::test::PrivateXServer;
using game::test::ScratchFolder;
using test_support::kPatience;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBytesPerSecond = 44100 * 2 * 2;
// Silence this long after a sound means it is over (the longest effect lasts under a second).
constexpr std::size_t kQuietAfter = kBytesPerSecond;
const char* const kNoSound = "the sounds are off";
const char* const kCannotLoad = "Cannot load the sound";
const char* const kMusic = "music.wav";

/// Where the sound in a stretch of the audio file begins and ends (bytes from the file's start).
struct Heard {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Any() const { return end > begin; }
    double Seconds() const { return static_cast<double>(end - begin) / kBytesPerSecond; }
};

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class GameSound : public ::testing::Test {
protected:
    // The effects alone: the music would never let the audio fall silent.
    GameSound() {
        folder.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
        std::filesystem::remove(folder.path / kMusic);
    }

    /// Starts the default world with the given audio driver and waits for its window.
    Window Start(const std::string& audioDriver = "disk") {
        game = std::make_unique<Platformer>(
            folder.path, x.display,
            Platformer::Environment{{"SDL_AUDIODRIVER", audioDriver},
                                    {"SDL_DISKAUDIOFILE", audioFile.string()}});
        game->Write("1\n");
        window = x.WaitForWindow();
        return window;
    }

    std::string Audio() const {
        std::ifstream file(audioFile, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::size_t AudioSize() const {
        std::error_code ignored;
        const auto size = std::filesystem::file_size(audioFile, ignored);
        return ignored ? 0 : static_cast<std::size_t>(size);
    }

    /// Waits until the audio file holds sound from `from` on followed by `kQuietAfter` of silence
    /// (the sound is over), or until the patience runs out; returns where the sound lies.
    Heard WaitForSoundToEnd(std::size_t from) const {
        Heard heard;
        test_support::WaitUntil([&] {
            const std::string audio = Audio();
            heard = SoundIn(audio, from);
            return heard.Any() && audio.size() >= heard.end + kQuietAfter;
        });
        return heard;
    }
    /// Waits until the audio file has grown by `bytes` past `from`.
    bool WaitForAudio(std::size_t from, std::size_t bytes) const {
        return test_support::WaitUntil([&] { return AudioSize() >= from + bytes; });
    }
    static Heard SoundIn(const std::string& audio, std::size_t from) {
        const auto first = audio.find_first_not_of('\0', from);
        if (first == std::string::npos) return {};
        return {first, audio.find_last_not_of('\0') + 1};
    }

    /// Holds space until the view moves (the player jumps; the view rises with the player), then
    /// lets go and waits until everything is at rest again (it has landed).
    bool Jump() {
        const std::string standing = x.StillPixels(window);
        if (standing.empty() || !Keys("keydown space")) return false;
        bool moved = false;
        for (auto deadline = Clock::now() + kPatience; !moved && Clock::now() < deadline;) {
            moved = x.Pixels(window) != standing;
        }
        Keys("keyup space");
        return moved && !x.StillPixels(window).empty();
    }
    /// Runs xdotool with the pointer on the window, which gives it the keyboard.
    bool Keys(const std::string& actions) { return x.XdotoolOver(window, 400, 300, actions); }
    /// Escape, and the game's standard output once it has ended.
    std::string Quit() {
        EXPECT_TRUE(Keys("key Escape"));
        EXPECT_TRUE(game->EndsWithin()) << "Escape did not end the game";
        EXPECT_EQ(game->ExitCode(), 0);
        return game->Output();
    }

    ScratchFolder folder;
    std::filesystem::path audioFile = folder.path / "audio.raw";
    PrivateXServer x;
    std::unique_ptr<Platformer> game;
    Window window = 0;
};

TEST_F(GameSound, AJumpIsHeardAndMIsSilenceUntilItIsPressedAgain) {
    ASSERT_NE(Start(), 0u) << "no window";
    // The player starts resting on the ground: nothing lands, nothing is heard.
    ASSERT_TRUE(WaitForAudio(0, kQuietAfter));
    EXPECT_FALSE(SoundIn(Audio(), 0).Any()) << "a sound at the level's start";
    ASSERT_TRUE(Jump()) << "the player did not jump";
    const Heard first = WaitForSoundToEnd(0);
    ASSERT_TRUE(first.Any()) << "the jump made no sound";
    RecordProperty("first_jump_and_landing_seconds", std::to_string(first.Seconds()));

    // Muted: a jump and its landing write only silence.
    ASSERT_TRUE(Keys("key m"));
    const std::size_t muted = AudioSize();
    ASSERT_TRUE(Jump()) << "the player did not jump";
    ASSERT_TRUE(WaitForAudio(AudioSize(), kQuietAfter));
    const std::string audio = Audio();
    EXPECT_FALSE(SoundIn(audio, muted).Any())
        << "sound while muted at byte " << SoundIn(audio, muted).begin << " of " << audio.size();

    // Pressed again: the next jump is heard.
    ASSERT_TRUE(Keys("key m"));
    const std::size_t unmuted = AudioSize();
    ASSERT_TRUE(Jump());
    const Heard jump = WaitForSoundToEnd(unmuted);
    EXPECT_TRUE(jump.Any()) << "no sound after unmuting";
    RecordProperty("jump_and_landing_seconds", std::to_string(jump.Seconds()));

    const std::string output = Quit();
    EXPECT_EQ(output.find(kNoSound), std::string::npos) << output;
    EXPECT_EQ(output.find(kCannotLoad), std::string::npos) << output;
}

TEST_F(GameSound, MissingAndBrokenSoundFilesAreNamedOnceAndTheGamePlaysOn) {
    std::filesystem::remove(folder.path / "jump.wav");
    folder.Write("fall.wav", "RIFF, but no sound in it");
    ASSERT_NE(Start(), 0u) << "no window";
    ASSERT_TRUE(Jump()) << "the game plays on";
    EXPECT_TRUE(WaitForSoundToEnd(0).Any()) << "the landing's own sound still plays";

    const std::string output = Quit();
    EXPECT_EQ(Occurrences(output, kCannotLoad), 2u) << output;
    EXPECT_EQ(Occurrences(output, "\"jump.wav\""), 1u) << output;
    EXPECT_EQ(Occurrences(output, "\"fall.wav\""), 1u) << output;
    EXPECT_EQ(Occurrences(output, "Cannot load the music \"music.wav\""), 1u) << output;
    EXPECT_EQ(output.find(kNoSound), std::string::npos) << output;
}

TEST_F(GameSound, WithoutAnAudioDeviceTheGamePlaysSilentlyAndSaysSoOnce) {
    // A driver that does not exist: SDL has no way to make a sound.
    ASSERT_NE(Start("none-such"), 0u) << "no window";
    ASSERT_TRUE(Jump()) << "the game plays on";
    ASSERT_TRUE(Keys("key m"));

    const std::string output = Quit();
    EXPECT_EQ(Occurrences(output, kNoSound), 1u) << output;
    EXPECT_EQ(output.find(kCannotLoad), std::string::npos) << output;
    EXPECT_EQ(game->Errors(), "");
    EXPECT_FALSE(std::filesystem::exists(audioFile));
}

/// The default world with its music.
class GameMusic : public GameSound {
protected:
    GameMusic() {
        std::filesystem::copy_file(std::filesystem::path(ORKA_DEFAULT_WORLD_DIR) / kMusic,
                                   folder.path / kMusic);
    }
    /// Bytes the music's one pass takes in the audio file: its WAV data is 16-bit mono at
    /// 22.05 kHz, the device plays 16-bit stereo at 44.1 kHz.
    std::size_t LoopBytes() const {
        constexpr std::size_t kWavHeader = 44;
        return (std::filesystem::file_size(folder.path / kMusic) - kWavHeader) * 4;
    }
    /// Waits until the audio file ends in `kQuietAfter` of silence.
    bool WaitForSilence() const {
        return test_support::WaitUntil([&] {
            const std::string audio = Audio();
            const auto last = audio.find_last_not_of('\0');
            const std::size_t sounding = last == std::string::npos ? 0 : last + 1;
            return audio.size() >= sounding + kQuietAfter;
        });
    }
};

TEST_F(GameMusic, PlaysFromTheStartLoopsAndIsPausedWhileMuted) {
    ASSERT_NE(Start(), 0u) << "no window";
    const std::size_t loop = LoopBytes();
    ASSERT_TRUE(WaitForAudio(0, loop + 2 * kQuietAfter)) << "the audio file stopped growing";
    const std::string firstPass = Audio();
    const Heard start = SoundIn(firstPass, 0);
    ASSERT_TRUE(start.Any()) << "no music";
    EXPECT_LT(start.begin, kQuietAfter) << "the music starts with the game";
    // A second of the second pass: the music did not end with the file.
    const auto loudness = [&](std::size_t from) {
        std::size_t sounding = 0;
        for (std::size_t i = from; i < from + kQuietAfter; i += 2) sounding += firstPass[i] != 0;
        return sounding;
    };
    EXPECT_GT(loudness(start.begin + loop), kQuietAfter / 4) << "no music after one pass";

    ASSERT_TRUE(Keys("key m"));
    EXPECT_TRUE(WaitForSilence()) << "the music went on while muted";
    ASSERT_TRUE(Keys("key m"));
    const std::size_t unmuted = AudioSize();
    EXPECT_TRUE(test_support::WaitUntil([&] { return SoundIn(Audio(), unmuted).Any(); }))
        << "no music after unmuting";

    const std::string output = Quit();
    EXPECT_EQ(output.find("Cannot load"), std::string::npos) << output;
}

}  // namespace
