// Sounds played through SDL's "disk" audio driver, which writes what the sound card would play
// into a file (16-bit signed stereo at 44.1 kHz): what a play's handle does is heard there.
// While a test runs, it waits on what the mixer has mixed so far (MixerTally), never on time.
#include "orka/AudioOutput.hpp"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "orka/LogCapture.hpp"
#include "orka/Music.hpp"
#include "orka/Sound.hpp"
#include "support/Patience.hpp"
#include "support/ScratchFolder.hpp"

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
    for (std::size_t i = side; i < samples.size(); i += 2)
        peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

/// Writes a WAV file of a sine of `frequency` Hz, `seconds` long, 16-bit stereo at 44.1 kHz.
void WriteSine(const fs::path& file, double frequency, double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * AudioOutput::sampleRate);
    std::vector<std::int16_t> samples;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double phase = 2.0 * 3.14159265358979 * frequency * i / AudioOutput::sampleRate;
        const auto value = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(phase)));
        samples.insert(samples.end(), {value, value});
    }
    const std::uint32_t dataBytes = frames * 4;
    std::ofstream out(file, std::ios::binary);
    const auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    put32(36 + dataBytes);
    out << "WAVEfmt ";
    put32(16);
    put16(1);  // PCM
    put16(2);
    put32(AudioOutput::sampleRate);
    put32(AudioOutput::sampleRate * 4);
    put16(4);
    put16(16);
    out << "data";
    put32(dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
}

/// The left side from the first to the last sample that is not silent.
std::vector<std::int16_t> AudibleLeft(const std::vector<std::int16_t>& samples) {
    std::vector<std::int16_t> left;
    for (std::size_t i = 0; i < samples.size(); i += 2) left.push_back(samples[i]);
    const auto loud = [](std::int16_t v) { return std::abs(v) > 0; };
    const auto first = std::find_if(left.begin(), left.end(), loud);
    const auto last = std::find_if(left.rbegin(), left.rend(), loud).base();
    return first < last ? std::vector<std::int16_t>(first, last) : std::vector<std::int16_t>{};
}

/// Sign changes from below to above zero.
int RisingZeroCrossings(const std::vector<std::int16_t>& samples) {
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) ++crossings;
    }
    return crossings;
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

TEST(AudioOutput, MusicLoadsFromOggAndFlacAndPlays) {
    DiskAudio audio;
    for (const char* name : {"jump.ogg", "jump.flac"}) {
        SCOPED_TRACE(name);
        test::LogCapture log;
        const std::shared_ptr<Music> music = audio.output->loadMusic((kSounds / name).string());
        ASSERT_NE(music, nullptr);
        audio.output->playMusic(*music);
        EXPECT_TRUE(audio.output->isMusicPlaying());
        EXPECT_TRUE(log.records.empty());
    }
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

TEST(AudioOutput, PitchScalesTheFrequencyAndShortensOrLengthensThePlay) {
    const fs::path sine =
        fs::temp_directory_path() / ("orka-sine-" + std::to_string(getpid()) + ".wav");
    const double frequency = 441.0;  // 100 samples a period
    const double seconds = 0.5;
    WriteSine(sine, frequency, seconds);
    struct Case {
        float pitch;       // given to play()
        float setPitch;    // then set through the handle while it plays; 0: not set
        double expected;   // the playback rate heard
        double tolerance;  // share of the expected length and frequency
    };
    // A pitch set through the handle may come a device buffer or two late (23 ms each).
    const Case cases[] = {{1.0f, 0.0f, 1.0, 0.02},
                          {2.0f, 0.0f, 2.0, 0.02},
                          {1.0f, 0.5f, 0.5, 0.06},
                          {100.0f, 0.0f, SoundHandle::maxPitch, 0.03}};
    for (const Case& c : cases) {
        SCOPED_TRACE("pitch " + std::to_string(c.pitch) + " set " + std::to_string(c.setPitch));
        DiskAudio audio;
        ASSERT_TRUE(audio.output->isOpen());
        const std::shared_ptr<Sound> tone = audio.output->load(sine.string());
        ASSERT_NE(tone, nullptr);
        const SoundHandle play = audio.output->play(*tone, 1.0f, 0.0f, c.pitch);
        ASSERT_TRUE(play.isPlaying());
        if (c.setPitch > 0.0f) play.setPitch(c.setPitch);
        ASSERT_TRUE(WaitWhilePlaying(play));
        const std::vector<std::int16_t> heard = AudibleLeft(audio.Heard());
        const double expectedFrames = seconds * AudioOutput::sampleRate / c.expected;
        EXPECT_NEAR(static_cast<double>(heard.size()), expectedFrames, expectedFrames * c.tolerance)
            << "the play lasts 1 / pitch as long";
        const double heardSeconds = static_cast<double>(heard.size()) / AudioOutput::sampleRate;
        EXPECT_NEAR(RisingZeroCrossings(heard) / heardSeconds, frequency * c.expected,
                    frequency * c.expected * c.tolerance)
            << "the frequency is pitch times the recorded one";
    }
    std::error_code ignored;
    fs::remove(sine, ignored);
}

TEST(AudioOutput, ASoundsOwnVolumeScalesEveryPlayOfIt) {
    DiskAudio audio;
    const std::shared_ptr<Sound> jump = audio.output->load((kSounds / "jump.ogg").string());
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(jump->getVolume(), 1.0f);
    const SoundHandle loud = audio.output->play(*jump, 1.0f, -1.0f);
    ASSERT_TRUE(WaitWhilePlaying(loud));
    jump->setVolume(0.25f);
    EXPECT_EQ(jump->getVolume(), 0.25f);
    const SoundHandle quiet = audio.output->play(*jump, 1.0f, 1.0f);
    ASSERT_TRUE(WaitWhilePlaying(quiet));
    jump->setVolume(7.0f);
    EXPECT_EQ(jump->getVolume(), 1.0f) << "clamped";
    const std::vector<std::int16_t> heard = audio.Heard();
    EXPECT_NEAR(Peak(heard, 1), Peak(heard, 0) / 4, Peak(heard, 0) / 20);
}

/// Frames of the left side that are not silent.
std::size_t AudibleFrames(const std::vector<std::int16_t>& samples) {
    std::size_t frames = 0;
    for (std::size_t i = 0; i < samples.size(); i += 2) frames += samples[i] != 0 ? 1 : 0;
    return frames;
}

/// Counts what the mixer hands to the device while it lives, as it mixes: the disk driver's
/// file can be read only once the device is closed, so waits look here. Frames are stereo
/// 16-bit ones; audible ones have a sound on the left.
class MixerTally {
public:
    MixerTally() { Mix_SetPostMix(&MixerTally::count, this); }
    ~MixerTally() { Mix_SetPostMix(nullptr, nullptr); }
    MixerTally(const MixerTally&) = delete;
    MixerTally& operator=(const MixerTally&) = delete;
    long mixedFrames() const { return mixed.load(); }
    long audibleFrames() const { return audible.load(); }

private:
    // On the audio thread, with the device locked.
    static void count(void* self, Uint8* stream, int bytes) {
        auto& tally = *static_cast<MixerTally*>(self);
        const auto* samples = reinterpret_cast<const std::int16_t*>(stream);
        const int frames = bytes / 4;
        long loud = 0;
        for (int i = 0; i < frames; ++i) loud += samples[2 * i] != 0 ? 1 : 0;
        tally.mixed += frames;
        tally.audible += loud;
    }
    std::atomic<long> mixed{0};
    std::atomic<long> audible{0};
};

/// A sine written to a scratch WAV file for the life of the object.
struct SineFile {
    SineFile(double frequency, double lengthSeconds)
        : path(fs::temp_directory_path() / ("orka-sine-" + std::to_string(getpid()) + "-" +
                                            std::to_string(lengthSeconds) + ".wav")),
          seconds(lengthSeconds) {
        WriteSine(path, frequency, seconds);
    }
    ~SineFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    fs::path path;
    double seconds;
};

TEST(AudioOutput, NonFiniteVolumePanAndPitchAreRefusedWithAWarning) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    DiskAudio audio;
    const std::shared_ptr<Sound> jump = audio.output->load((kSounds / "jump.ogg").string());
    ASSERT_NE(jump, nullptr);
    struct Row {
        const char* what;
        std::function<void(const SoundHandle&)> call;
        const char* message;
    };
    const Row rows[] = {
        {"NaN volume", [&](const SoundHandle& play) { play.setVolume(nan); },
         "A sound's volume of nan is not a number: the play keeps its volume"},
        {"infinite pan", [&](const SoundHandle& play) { play.setPan(-inf); },
         "A sound's pan of -inf is not a number: the play keeps its pan"},
        {"NaN pitch", [&](const SoundHandle& play) { play.setPitch(nan); },
         "A sound's pitch of nan is not a number: the play keeps its pitch"},
        {"NaN sound volume", [&](const SoundHandle&) { jump->setVolume(nan); },
         "A sound's volume of nan is not a number: it stays 1"},
        {"NaN effects volume", [&](const SoundHandle&) { audio.output->setEffectsVolume(nan); },
         "The effects volume nan is not a number: it stays 1"},
        {"infinite music volume", [&](const SoundHandle&) { audio.output->setMusicVolume(inf); },
         "The music volume inf is not a number: it stays 1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const SoundHandle play = audio.output->play(*jump);
        ASSERT_TRUE(play.isPlaying());
        test::LogCapture log;
        row.call(play);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Warning);
        EXPECT_EQ(log.records[0].message, row.message);
        play.stop();
    }
    EXPECT_EQ(jump->getVolume(), 1.0f);
    EXPECT_EQ(audio.output->getEffectsVolume(), 1.0f);
    EXPECT_EQ(audio.output->getMusicVolume(), 1.0f);
    {
        test::LogCapture log;
        const SoundHandle play = audio.output->play(*jump, nan, inf, nan);
        EXPECT_TRUE(play.isPlaying()) << "played as recorded";
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Warning);
        ASSERT_TRUE(WaitWhilePlaying(play));
    }
    const std::vector<std::int16_t> heard = audio.Heard();
    EXPECT_GT(Peak(heard, 0), 8000) << "the last play is heard at full volume on both sides";
    EXPECT_GT(Peak(heard, 1), 8000);
}

TEST(AudioOutput, SoundsLoadFromBytesInMemory) {
    DiskAudio audio;
    std::ifstream in(kSounds / "jump.ogg", std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    std::shared_ptr<Sound> jump = audio.output->loadFromMemory(bytes.data(), bytes.size(), "jump");
    ASSERT_NE(jump, nullptr);
    bytes.assign(bytes.size(), 0);  // the sound keeps its own samples
    const SoundHandle play = audio.output->play(*jump);
    ASSERT_TRUE(WaitWhilePlaying(play));

    test::LogCapture log;
    EXPECT_EQ(audio.output->loadFromMemory(bytes.data(), bytes.size(), "zeros"), nullptr);
    EXPECT_EQ(audio.output->loadFromMemory(nullptr, 10, "nothing"), nullptr);
    EXPECT_GT(Peak(audio.Heard(), 0), 8000);
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].message.rfind("Cannot load the sound \"zeros\": ", 0), 0u)
        << log.records[0].message;
    EXPECT_EQ(log.records[1].message, "Cannot load the sound \"nothing\": 0 bytes are no sound");
}

// SDL_mixer copies a FLAC file's comments as C strings, and an empty one reaches it as a null
// pointer: such data is refused before it is decoded, as a sound and as music.
TEST(AudioOutput, AFlacWithAnEmptyCommentIsRefusedBeforeTheDecoderSeesIt) {
    DiskAudio audio;
    std::ifstream in(kSounds / "jump.flac", std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(bytes.size(), 42u);
    // Its stream information (the first block, no longer the last), then a comment block
    // whose vendor string and one comment are empty.
    std::vector<char> flac(bytes.begin(), bytes.begin() + 42);
    flac[4] = static_cast<char>(flac[4] & 0x7f);
    const char comments[] = {'\x84', 0, 0, 12, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    flac.insert(flac.end(), comments, comments + sizeof comments);
    game::test::ScratchFolder folder;
    folder.Write("empty-comment.flac", std::string(flac.begin(), flac.end()));

    test::LogCapture log;
    EXPECT_EQ(audio.output->loadFromMemory(flac.data(), flac.size(), "tagged"), nullptr);
    EXPECT_EQ(audio.output->loadMusic((folder.path / "empty-comment.flac").string()), nullptr);
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].message,
              "Cannot load the sound \"tagged\": it has an empty comment, which the sound decoder "
              "cannot read");
    EXPECT_NE(log.records[1].message.find("Cannot load the music"), std::string::npos);
}

TEST(AudioOutput, ALoopedPlayRepeatsItsCountOrUntilStopped) {
    const SineFile sine(441.0, 0.1);
    const double frames = sine.seconds * AudioOutput::sampleRate;
    {
        DiskAudio audio;
        const std::shared_ptr<Sound> tone = audio.output->load(sine.path.string());
        ASSERT_NE(tone, nullptr);
        const SoundHandle play = audio.output->playLooped(*tone, 2);
        ASSERT_TRUE(WaitWhilePlaying(play));
        const std::vector<std::int16_t> heard = AudibleLeft(audio.Heard());
        EXPECT_NEAR(static_cast<double>(heard.size()), 3 * frames, 0.03 * frames)
            << "played three times, without gaps";
    }
    DiskAudio audio;
    const std::shared_ptr<Sound> tone = audio.output->load(sine.path.string());
    const MixerTally tally;
    const long mixedBefore = tally.mixedFrames();
    const SoundHandle play = audio.output->playLooped(*tone, AudioOutput::loopForever);
    ASSERT_TRUE(test_support::WaitUntil(
        [&] { return tally.mixedFrames() - mixedBefore > static_cast<long>(4.5 * frames); }));
    EXPECT_TRUE(play.isPlaying()) << "still going after four rounds";
    EXPECT_GT(static_cast<double>(tally.audibleFrames()), 3.5 * frames) << "and heard all along";
    play.stop();
    EXPECT_FALSE(play.isPlaying());
    EXPECT_GT(static_cast<double>(AudibleLeft(audio.Heard()).size()), 3.5 * frames);
}

TEST(AudioOutput, APausedPlayIsHeldSilentAndGoesOnWhereItWas) {
    const SineFile sine(441.0, 0.2);
    DiskAudio audio;
    const std::shared_ptr<Sound> tone = audio.output->load(sine.path.string());
    ASSERT_NE(tone, nullptr);
    const MixerTally tally;
    const SoundHandle play = audio.output->play(*tone);
    const long someFrames = static_cast<long>(0.05 * AudioOutput::sampleRate);
    ASSERT_TRUE(test_support::WaitUntil([&] { return tally.audibleFrames() >= someFrames; }));
    play.pause();
    EXPECT_TRUE(play.isPaused());
    // Held for longer than the rest of the sound would last.
    const long audibleAtPause = tally.audibleFrames();
    const long mixedAtPause = tally.mixedFrames();
    const long heldFrames = static_cast<long>(0.4 * AudioOutput::sampleRate);
    ASSERT_TRUE(
        test_support::WaitUntil([&] { return tally.mixedFrames() - mixedAtPause >= heldFrames; }));
    EXPECT_EQ(tally.audibleFrames(), audibleAtPause) << "silent while paused";
    EXPECT_TRUE(play.isPlaying()) << "a paused play has not ended";
    play.resume();
    EXPECT_FALSE(play.isPaused());
    ASSERT_TRUE(WaitWhilePlaying(play));
    const std::vector<std::int16_t> heard = audio.Heard();
    const double frames = sine.seconds * AudioOutput::sampleRate;
    // Every frame of the sound is heard once (a sine has a few exact zeros), with a gap between.
    EXPECT_NEAR(static_cast<double>(AudibleFrames(heard)), frames, 0.05 * frames);
    EXPECT_GT(static_cast<double>(AudibleLeft(heard).size()),
              frames + 0.2 * AudioOutput::sampleRate);
}

TEST(AudioOutput, MutedOrWithoutADeviceAPlayGivesAHandleOfNoPlay) {
    DiskAudio audio;
    const std::shared_ptr<Sound> jump = audio.output->load((kSounds / "jump.flac").string());
    ASSERT_NE(jump, nullptr);
    audio.output->setMuted(true);
    const SoundHandle muted = audio.output->play(*jump);
    EXPECT_FALSE(muted.isPlaying());
    muted.setPan(0.5f);  // harmless
    muted.setPitch(2.0f);
}

}  // namespace
}  // namespace orka
