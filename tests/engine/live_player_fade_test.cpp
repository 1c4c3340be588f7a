// Play and stop on the live player without clicks: the output fades out and in, and is silent between.
#include "engine/live_player.h"

#include "tests/engine/player_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tarn {
namespace {

using testing::runPlayer;
using testing::sortedEvents;

constexpr int kCallbackFrames = 100;  // 64 does not divide it: callbacks straddle the blocks

// A low note at full level held for eight seconds, looped, in the default sound (which holds a
// steady level, so any step a press adds shows).
std::unique_ptr<LivePlayer> loudNotePlayer(const AudioConfig& config) {
    auto player = std::make_unique<LivePlayer>();
    player->prepare(config);
    player->publishPatch(Patch{});
    const std::vector<PlayEvent> note = sortedEvents({{0.0, 16.0, 28, 1.0f}}, config);
    player->publishEvents(note.data(), note.size(), 16 * static_cast<std::int64_t>(framesPerBeat(config)));
    return player;
}

float largestStep(const std::vector<float>& interleaved, std::size_t fromFrame, std::size_t toFrame) {
    float largest = 0.0f;
    for (std::size_t i = 2 * std::max<std::size_t>(fromFrame, 1); i < 2 * toFrame; ++i)
        largest = std::max(largest, std::abs(interleaved[i] - interleaved[i - 2]));
    return largest;
}

// Presses of play and stop at moments in a loud note. No step between neighbouring samples may be
// larger than 1.5 times the note's own largest step; once stopped the output is exact zeros from
// 3 to 5 ms after the stop; and once playing again the line runs on as if it had never stopped.
TEST(LivePlayerFade, StopAndResumeInALoudNoteNeverStepAndStoppedIsExactSilence) {
    struct Press { bool playing; int afterFrames; };  // the state, held for that many frames
    // clang-format off
    const struct { const char* what; AudioConfig config; std::vector<Press> presses; } cases[] = {
        {"a stop",                           {48000.0f, 120.0f, 64}, {{false, 4800}}},
        {"a stop and a resume",              {48000.0f, 120.0f, 64}, {{false, 4800}, {true, 4800}}},
        {"a resume within the stop's fade",  {48000.0f, 120.0f, 64}, {{false, 100}, {true, 4800}}},
        {"a stop within the resume's fade",  {48000.0f, 120.0f, 64}, {{false, 4800}, {true, 100}, {false, 4800}}},
        {"a stop and a resume at 44.1 kHz",  {44100.0f, 133.0f, 64}, {{false, 4410}, {true, 4410}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto player = loudNotePlayer(c.config);
        auto uninterrupted = loudNotePlayer(c.config);
        const auto second = static_cast<std::int64_t>(c.config.sampleRate);
        std::vector<float> out = runPlayer(*player, second, kCallbackFrames);
        const std::vector<float> reference = runPlayer(*uninterrupted, 2 * second, kCallbackFrames);
        // The note's own steps once its attack is over, where every press falls.
        const float noteStep = largestStep(reference, static_cast<std::size_t>(second / 2), static_cast<std::size_t>(2 * second));
        float level = 0.0f;
        for (std::size_t i = out.size() - 2 * 1000; i < out.size(); ++i) level = std::max(level, std::abs(out[i]));
        ASSERT_GT(level, 0.3f) << c.what << ": the presses fall in a loud note";
        ASSERT_LT(noteStep, 0.1f * level) << c.what;

        // Stopped, the player stands still; so it goes on from the very frame it stopped at.
        std::size_t pressedAt = 0, heardBefore = 0;
        std::size_t heard = static_cast<std::size_t>(second);
        for (const Press& press : c.presses) {
            pressedAt = out.size() / 2;
            heardBefore = heard;
            player->setPlaying(press.playing);
            const std::vector<float> more = runPlayer(*player, press.afterFrames, kCallbackFrames);
            out.insert(out.end(), more.begin(), more.end());
            if (press.playing) heard += static_cast<std::size_t>(press.afterFrames);
        }
        const std::size_t end = out.size() / 2;
        EXPECT_LE(largestStep(out, static_cast<std::size_t>(second / 2), end), 1.5f * noteStep)
            << c.what << ": the note's own largest step is " << noteStep;

        const auto fadeFrames = static_cast<std::size_t>(0.005 * c.config.sampleRate);
        if (!c.presses.back().playing) {
            std::size_t lastSound = pressedAt;
            for (std::size_t f = pressedAt; f < end; ++f)
                if (out[2 * f] != 0.0f || out[2 * f + 1] != 0.0f) lastSound = f;
            const double fadeMs = 1000.0 * static_cast<double>(lastSound + 1 - pressedAt) / c.config.sampleRate;
            EXPECT_GE(fadeMs, 3.0) << c.what;
            EXPECT_LE(fadeMs, 5.0) << c.what;
        } else {
            for (std::size_t f = pressedAt + fadeFrames; f < end; ++f) {
                const std::size_t r = heardBefore + (f - pressedAt);
                ASSERT_EQ(out[2 * f], reference[2 * r]) << c.what << ": frame " << f - pressedAt << " after the resume";
                ASSERT_EQ(out[2 * f + 1], reference[2 * r + 1]) << c.what;
            }
        }
    }
}

}  // namespace
}  // namespace tarn
