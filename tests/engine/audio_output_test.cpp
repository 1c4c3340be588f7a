// The audio output through a real SDL device driver: the disk driver captures what the player wrote.
#include "engine/audio_output.h"

#include "engine/demo_line.h"
#include "engine/live_player.h"
#include "engine/offline_render.h"
#include "engine/starting_sound.h"
#include "tests/engine/player_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace tarn {
namespace {

namespace fs = std::filesystem;

// Points SDL at its disk driver, writing as fast as it can into a file of this test's own.
class DiskDevice {
public:
    explicit DiskDevice(const std::string& name)
        : path_(fs::temp_directory_path() / ("tarn_audio_" + name + "_" + std::to_string(getpid()) + ".raw")) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    ~DiskDevice() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    DiskDevice(const DiskDevice&) = delete;
    DiskDevice& operator=(const DiskDevice&) = delete;

    std::vector<float> samples() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<float> out(bytes.size() / sizeof(float));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
        return out;
    }

private:
    fs::path path_;
};

// Waits (on this, the UI thread) until the player has played past `beats`.
bool waitForPosition(const LivePlayer& player, double beats) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (player.position() <= beats) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::size_t firstNonZero(const std::vector<float>& samples, std::size_t stride) {
    for (std::size_t i = 0; i < samples.size(); i += stride) {
        if (samples[i] != 0.0f) {
            return i / stride;
        }
    }
    return samples.size() / stride;
}

TEST(AudioOutputDevice, PlaysTheDemoLineExactlyAsTheOfflineRenderAndLoopsIt) {
    DiskDevice disk("demo");
    LivePlayer player;
    AudioConfig config{48000.0f, 120.0f, 64};
    const std::int64_t loopFrames = 8 * 4 * 24000;
    {
        AudioOutput output;
        ASSERT_TRUE(output.open(player, config)) << output.error();
        ASSERT_TRUE(waitForPosition(player, 32.0 + 4.0)) << "the device stopped calling back";
    }
    const std::vector<float> captured = disk.samples();

    // The first pass is what an offline render of the line gives; later passes follow on.
    const std::vector<NoteEvent> notes(demoLine.begin(), demoLine.end());
    const StereoAudio offline = renderNotes(startingSound(), startingSound().curves.data(), notes.data(),
                                            notes.size(), config);
    const StereoAudio looped = testing::renderLoopReference(
        startingSound(), testing::sortedEvents(notes, config), loopFrames, 2, config);

    // SDL writes whole buffers of silence before the device is started; skip them.
    const std::size_t capturedStart = firstNonZero(captured, 2);
    const std::size_t offlineStart = firstNonZero(offline.left, 1);
    ASSERT_GE(capturedStart, offlineStart);
    const std::int64_t skip = static_cast<std::int64_t>(capturedStart - offlineStart);
    const std::int64_t frames = static_cast<std::int64_t>(captured.size() / 2) - skip;
    ASSERT_GT(frames, loopFrames) << "more than one loop must have been captured";

    EXPECT_EQ(testing::maxDifference(captured, skip, offline, 0, loopFrames), 0.0f);
    const std::int64_t compared = std::min<std::int64_t>(frames, 2 * loopFrames);
    EXPECT_EQ(testing::maxDifference(captured, skip, looped, 0, compared), 0.0f);
}

TEST(AudioOutputDevice, AdoptsTheDeviceRateIntoTheConfigAndTheLoop) {
    DiskDevice disk("rate");
    LivePlayer player;
    AudioConfig config{44100.0f, 120.0f, 64};
    {
        AudioOutput output;
        ASSERT_TRUE(output.open(player, config)) << output.error();
        EXPECT_TRUE(output.isOpen());
        EXPECT_EQ(output.sampleRate(), 44100.0f);
        EXPECT_EQ(config.sampleRate, 44100.0f);
        EXPECT_EQ(player.config().sampleRate, 44100.0f);
        EXPECT_EQ(player.framesPerBeat(), 22050.0);
        ASSERT_TRUE(waitForPosition(player, 33.0));
    }
    // The device is closed, so the audio thread's clock can be read here. Eight bars at
    // 44.1 kHz are 705600 frames, exactly 32 beats; a loop left at 48 kHz would be 34.8 beats.
    // The disk device runs far ahead of real time, so a busy machine may let more passes go by.
    EXPECT_GE(player.beatsOffset(), 32.0);
    EXPECT_EQ(std::fmod(player.beatsOffset(), 32.0), 0.0) << player.beatsOffset();
}

TEST(AudioOutputDevice, OpeningTwiceKeepsTheRunningDevice) {
    DiskDevice disk("twice");
    LivePlayer player;
    AudioConfig config{48000.0f, 120.0f, 64};
    AudioOutput output;
    ASSERT_TRUE(output.open(player, config)) << output.error();
    ASSERT_TRUE(waitForPosition(player, 2.0));

    AudioConfig other{22050.0f, 90.0f, 64};
    EXPECT_TRUE(output.open(player, other));
    EXPECT_EQ(other.sampleRate, 22050.0f) << "an output already open leaves the config alone";
    // A second prepare would have rewound the player to beat 0.
    EXPECT_GE(player.position(), 2.0);
    EXPECT_EQ(player.config().sampleRate, 48000.0f);
}

TEST(AudioOutputDevice, DestroyingAnOutputThatNeverOpenedLeavesOthersRunning) {
    DiskDevice disk("never");
    LivePlayer player;
    AudioConfig config{48000.0f, 120.0f, 64};
    AudioOutput output;
    ASSERT_TRUE(output.open(player, config)) << output.error();
    ASSERT_TRUE(waitForPosition(player, 1.0));
    {
        AudioOutput unused;
        EXPECT_FALSE(unused.isOpen());
        EXPECT_TRUE(unused.error().empty());
    }
    // Had it let go of SDL's audio subsystem, our device would have been shut down with it.
    const double before = player.position();
    EXPECT_TRUE(waitForPosition(player, before + 1.0));
}

TEST(AudioOutputDevice, AnUnknownDriverFailsCleanlyAndTheNextOpenCanSucceed) {
    LivePlayer player;
    AudioConfig config{44100.0f, 120.0f, 64};
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    AudioOutput failing;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(failing.open(player, config));
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(failing.isOpen());
    EXPECT_EQ(failing.error(), "no output device could be opened");
    EXPECT_NE(stderrText.find("no output device could be opened: "), std::string::npos) << stderrText;
    EXPECT_GT(stderrText.size(), std::string("audio output: no output device could be opened: \n").size())
        << "SDL's own reason follows the message";
    // The player was not prepared, and a retry fails the same way.
    EXPECT_EQ(player.config().sampleRate, 48000.0f);
    EXPECT_FALSE(failing.open(player, config));
    EXPECT_EQ(failing.error(), "no output device could be opened");

    DiskDevice disk("after_failure");
    AudioOutput working;
    ASSERT_TRUE(working.open(player, config)) << working.error();
    EXPECT_TRUE(working.error().empty());
    EXPECT_TRUE(waitForPosition(player, 0.5));
}

}  // namespace
}  // namespace tarn
