// The live player: seeks, stop and resume, phrase hand-over, held notes and exact loop wraps.
#include "engine/live_player.h"

#include "engine/demo_line.h"
#include "engine/notes.h"
#include "engine/offline_render.h"
#include "engine/starting_sound.h"
#include "tests/engine/player_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace tarn {
namespace {

using testing::maxDifference;
using testing::renderLoopReference;
using testing::runPlayer;
using testing::sortedEvents;

const AudioConfig k48k{48000.0f, 120.0f, 64};
const AudioConfig k44k{44100.0f, 120.0f, 64};

// Two bars: a repeated note, a legato overlap that glides, and a last note (not the first
// note's pitch) that ends exactly on the loop end. Starts and lengths are exact binary
// fractions, so every pass lands on the same frames whichever way the time is computed.
std::vector<NoteEvent> twoBarLine() {
    return {
        {0.0, 0.5, 28, 1.0f},  {1.0, 0.5, 28, 0.55f}, {2.0, 1.0, 31, 0.8f},
        {2.75, 1.0, 33, 0.7f}, {4.0, 2.25, 35, 0.65f}, {6.5, 1.5, 40, 0.95f},
    };
}

// A sound whose motion and arc follow the transport, so a wrong beat position would show.
Patch movingSound() {
    Patch p = startingSound();
    p.motion = 0.8f;
    p.motionRate = 1.5f;
    p.arcAmount = 0.9f;
    p.arcBars = 1.0f;
    p.arcDrift = 0.5f;
    return p;
}

std::unique_ptr<LivePlayer> preparedPlayer(const AudioConfig& config) {
    auto player = std::make_unique<LivePlayer>();
    player->prepare(config);
    return player;
}

void publishLine(LivePlayer& player, const std::vector<NoteEvent>& notes) {
    const std::vector<PlayEvent> events = sortedEvents(notes, player.config());
    player.publishEvents(events.data(), events.size(),
                         phraseLengthSamples(notes.data(), notes.size(), player.config()));
}

TEST(LivePlayerSeek, FortyBeatsInASixteenBeatLoopLandOnBeatEightOfTheThirdPass) {
    auto player = preparedPlayer(k48k);
    const std::vector<NoteEvent> line{{0.0, 1.0, 28, 1.0f}, {13.0, 3.0, 31, 1.0f}};
    publishLine(*player, line);
    runPlayer(*player, 64, 64);  // takes the 16-beat phrase

    std::vector<float> out(128);
    player->setPlaying(false);
    player->requestSeek(40.0);
    player->process(out.data(), 64);
    EXPECT_EQ(player->loopFrame(), 192000);
    EXPECT_DOUBLE_EQ(player->beatsOffset(), 32.0);
    EXPECT_DOUBLE_EQ(player->position(), 40.0);

    player->setPlaying(true);
    player->process(out.data(), 64);
    EXPECT_EQ(player->loopFrame(), 192064);
    EXPECT_DOUBLE_EQ(player->position(), 32.0 + 192064.0 / 24000.0);
}

TEST(LivePlayerTransport, StoppedOutputIsExactZerosAndResumesWhereItStopped) {
    auto stopped = preparedPlayer(k48k);
    auto running = preparedPlayer(k48k);
    runPlayer(*stopped, 10000, 256);
    const std::vector<float> reference = runPlayer(*running, 15000, 256);

    const double position = stopped->position();
    const std::int64_t loopFrame = stopped->loopFrame();
    stopped->setPlaying(false);
    std::vector<float> out(2 * 512, 1.0f);
    for (int i = 0; i < 20; ++i) {
        stopped->process(out.data(), 512);
    }
    for (float sample : out) {
        ASSERT_EQ(sample, 0.0f);
    }
    EXPECT_EQ(stopped->position(), position);
    EXPECT_EQ(stopped->loopFrame(), loopFrame);

    // Nothing was rendered while stopped, so playing on continues the very same line once its
    // 4 ms fade-in (192 frames) is over.
    stopped->setPlaying(true);
    const std::vector<float> resumed = runPlayer(*stopped, 5000, 256);
    for (std::size_t i = 2 * 192; i < resumed.size(); ++i) {
        ASSERT_EQ(resumed[i], reference[20000 + i]) << "sample " << i;
    }
}

TEST(LivePlayerTransport, SeekWhileStoppedAppliesAtTheNextCallback) {
    auto player = preparedPlayer(k48k);
    runPlayer(*player, 4096, 512);
    player->setPlaying(false);
    player->requestSeek(8.0);
    EXPECT_NE(player->position(), 8.0) << "a request waits for the audio thread";

    std::vector<float> out(2 * 64, 1.0f);
    player->process(out.data(), 64);
    EXPECT_DOUBLE_EQ(player->position(), 8.0);
    EXPECT_EQ(player->loopFrame(), 8 * 24000);
    // The stop's 4 ms fade (192 frames) plays out; the player stays put meanwhile.
    for (int callback = 0; callback < 3; ++callback) {
        player->process(out.data(), 64);
    }
    EXPECT_EQ(player->loopFrame(), 8 * 24000);
    for (float sample : out) {
        ASSERT_EQ(sample, 0.0f);
    }

    player->setPlaying(true);
    player->process(out.data(), 64);
    EXPECT_EQ(player->loopFrame(), 8 * 24000 + 64);
}

TEST(LivePlayerTransport, NegativeAndNonFiniteSeeksAreIgnored) {
    auto player = preparedPlayer(k48k);
    runPlayer(*player, 6400, 64);
    for (double bad : {-1.0, -0.5, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        const std::int64_t before = player->loopFrame();
        player->requestSeek(bad);
        runPlayer(*player, 64, 64);
        EXPECT_EQ(player->loopFrame(), before + 64) << bad;
    }
}

TEST(LivePlayerTransport, PositionCountsOnAcrossLoopPasses) {
    auto player = preparedPlayer(k44k);
    // One bar at 44.1 kHz is 88200 frames, which 64 does not divide.
    publishLine(*player, {{0.0, 1.0, 30, 1.0f}, {2.0, 2.0, 33, 1.0f}});
    std::vector<float> out(2 * 100);
    const double fpb = player->framesPerBeat();
    for (std::int64_t done = 100; done <= 3 * 88200 + 500; done += 100) {
        player->process(out.data(), 100);
        ASSERT_NEAR(player->position(), static_cast<double>(done) / fpb, 1e-9) << "after " << done;
    }
}

TEST(LivePlayerTransport, CallbackBeforePrepareOrWithNothingToWriteIsHarmless) {
    LivePlayer player;
    std::vector<float> out(2 * 300, 1.0f);
    player.process(out.data(), 300);
    for (float sample : out) {
        EXPECT_EQ(sample, 0.0f);  // no phrase, an idle voice
    }
    player.process(nullptr, 64);
    player.process(out.data(), 0);
    player.process(out.data(), -5);
}

double rmsOf(const std::vector<float>& interleaved, std::int64_t firstFrame, std::int64_t frames) {
    double sum = 0.0;
    for (std::int64_t i = 2 * firstFrame; i < 2 * (firstFrame + frames); ++i) {
        sum += static_cast<double>(interleaved[static_cast<std::size_t>(i)]) * interleaved[static_cast<std::size_t>(i)];
    }
    return std::sqrt(sum / static_cast<double>(2 * frames));
}

// `bars` bars of the same figure, `perBar` low notes a bar, each a little shorter than its step.
std::vector<NoteEvent> busyLine(int bars, int perBar) {
    std::vector<NoteEvent> notes;
    const double step = 4.0 / perBar;
    for (int bar = 0; bar < bars; ++bar) {
        for (int i = 0; i < perBar; ++i) {
            notes.push_back({bar * 4.0 + i * step, step * 0.75, 28 + (i % 4) * 5, 0.6f + 0.1f * static_cast<float>(i % 4)});
        }
    }
    return notes;
}

// A line plays whole however many events it has: a bar far into it sounds as the first one does.
TEST(LivePlayerEvents, BusyAndLongLinesPlayEveryEvent) {
    // clang-format off
    const struct { const char* what; int bars, perBar; double seekBeats; } cases[] = {
        {"16 bars of sixteenths (512 events), last bar",  16,     16, 60.0},
        {"10,000 bars (80,000 events), bar 9,999",        10'000, 4,  9'998 * 4.0},
        {"10,000 bars, its last bar",                     10'000, 4,  9'999 * 4.0},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto player = preparedPlayer(k48k);
        Patch still = startingSound();  // no arc or motion, so every bar of the figure sounds alike
        still.arcAmount = 0.0f;
        still.motion = 0.0f;
        player->publishPatch(still);
        const std::vector<NoteEvent> line = busyLine(c.bars, c.perBar);
        publishLine(*player, line);
        const std::int64_t bar = 4 * 24000;
        const std::vector<float> first = runPlayer(*player, bar, 512);
        player->requestSeek(c.seekBeats);
        const std::vector<float> far = runPlayer(*player, bar, 512);
        EXPECT_NEAR(player->position(), c.seekBeats + 4.0, 1e-9) << c.what;
        const double firstRms = rmsOf(first, 0, bar);
        EXPECT_GT(firstRms, 0.05) << c.what;
        EXPECT_NEAR(rmsOf(far, 0, bar), firstRms, 0.1 * firstRms) << c.what;
    }

    // Note for note: a whole pass of the 16-bar line equals the same events scheduled on a bare voice.
    auto player = preparedPlayer(k48k);
    const Patch patch = movingSound();
    player->publishPatch(patch);
    const std::vector<NoteEvent> line = busyLine(16, 16);
    const std::vector<PlayEvent> events = sortedEvents(line, k48k);
    ASSERT_EQ(events.size(), 512u);
    const std::int64_t loopFrames = 64 * 24000;
    player->publishEvents(events.data(), events.size(), loopFrames);
    const std::vector<float> out = runPlayer(*player, loopFrames, 1000);
    const StereoAudio reference = renderLoopReference(patch, events, loopFrames, 1, k48k);
    EXPECT_EQ(maxDifference(out, 0, reference, 0, loopFrames), 0.0f);
    EXPECT_GT(rmsOf(out, loopFrames - 4 * 24000, 4 * 24000), 0.5 * rmsOf(out, 0, 4 * 24000)) << "the last bar sounds";
}

// A note number outside MIDI range starts nothing and ends nothing: the line sounds as without it.
TEST(LivePlayerEvents, EventsOutsideMidiRangeNeitherSoundNorCutTheNoteThatSounds) {
    const std::vector<PlayEvent> clean{{0, 1, 40, 1.0f}, {40000, 0, 40, 1.0f}};
    std::vector<PlayEvent> stray = clean;
    stray.insert(stray.begin() + 1, {{100, 1, 200, 1.0f}, {200, 0, -5, 1.0f}, {300, 0, 128, 1.0f}});
    auto cleanPlayer = preparedPlayer(k48k);
    auto strayPlayer = preparedPlayer(k48k);
    cleanPlayer->publishEvents(clean.data(), clean.size(), 48000);
    strayPlayer->publishEvents(stray.data(), stray.size(), 48000);
    EXPECT_EQ(runPlayer(*strayPlayer, 3 * 48000, 64), runPlayer(*cleanPlayer, 3 * 48000, 64));
    EXPECT_EQ(strayPlayer->heldCount(), 0);
}

TEST(LivePlayerEvents, ACountWrittenOutOfRangeIsClampedToTheSlot) {
    auto player = preparedPlayer(k48k);
    PlayEventSlot& slot = player->eventSlot();
    slot.events.resize(256);
    for (int i = 0; i < 256; ++i) {
        slot.events[static_cast<std::size_t>(i)] = {i * 10, static_cast<std::uint8_t>(i % 2 == 0), 40, 1.0f};
    }
    slot.count = 100000;
    slot.loopFrames = 5000;
    player->publishEvents();
    runPlayer(*player, 20000, 64);  // would read past the slot if the count were trusted
    EXPECT_EQ(player->heldCount(), 0);

    PlayEventSlot& negative = player->eventSlot();
    negative.count = -3;
    negative.loopFrames = 5000;
    player->publishEvents();
    runPlayer(*player, 20000, 64);
    EXPECT_EQ(player->heldCount(), 0);
}

TEST(LivePlayerEvents, FreshEventsRestartAtFrameZeroAndReleaseHeldNotes) {
    auto player = preparedPlayer(k48k);
    // The demo line holds its long root from beat 16 to 23.5.
    runPlayer(*player, 17 * 24000, 512);
    ASSERT_EQ(player->heldCount(), 1);
    const double offset = player->beatsOffset();

    // A line whose first note comes a beat in: nothing may be held right after the hand-over.
    publishLine(*player, {{1.0, 1.0, 33, 1.0f}});
    runPlayer(*player, 64, 64);
    EXPECT_EQ(player->heldCount(), 0);
    EXPECT_EQ(player->loopFrame(), 64);
    EXPECT_EQ(player->beatsOffset(), offset);

    runPlayer(*player, 24000, 64);
    EXPECT_EQ(player->heldCount(), 1);
}

TEST(LivePlayerEvents, AllNotesOffSilencesEveryStartedNoteEvenBeyondSixteen) {
    auto player = preparedPlayer(k48k);
    std::vector<PlayEvent> chord;
    for (int note = 30; note < 47; ++note) {
        chord.push_back({0, 1, note, 1.0f});  // seventeen notes at once, none ended
    }
    player->publishEvents(chord.data(), chord.size(), 0);
    const std::vector<float> sounding = runPlayer(*player, 4800, 64);
    EXPECT_EQ(player->heldCount(), 17);
    EXPECT_NE(sounding.back(), 0.0f);

    player->publishEvents(nullptr, 0, 0);
    runPlayer(*player, 64, 64);
    EXPECT_EQ(player->heldCount(), 0);
    // Released, the voice fades to exact silence within a few seconds.
    const std::vector<float> after = runPlayer(*player, 3 * 48000, 64);
    for (std::size_t i = after.size() - 128; i < after.size(); ++i) {
        ASSERT_EQ(after[i], 0.0f) << "sample " << i;
    }
}

float peakOf(const std::vector<float>& interleaved) {
    float peak = 0.0f;
    for (float sample : interleaved) peak = std::max(peak, std::abs(sample));
    return peak;
}

// A cleared line: the empty phrase lets the sounding line go, the loop counts on in silence, and
// the next line written plays in its place.
TEST(LivePlayerEvents, AnEmptyLineFallsSilentWithinALoopKeepsLoopingAndGivesWayToTheNextLine) {
    // clang-format off
    const struct { const char* what; AudioConfig config; std::int64_t loopFrames; int callbackFrames; } cases[] = {
        {"four bars cleared",             k48k, 16 * 24000, 512},
        {"one looped bar, odd callbacks", k44k, 4 * 22050,  333},  // 64 does not divide the loop
        {"a loop shorter than a block",   k48k, 40,         64},
        {"no loop length at all",         k48k, 0,          256},
    };
    // clang-format on
    constexpr float kSilent = 1e-4f;  // -80 dBFS
    for (const auto& c : cases) {
        auto player = preparedPlayer(c.config);
        // The demo line holds its long root from beat 16: the bass is sounding when the line is cleared.
        ASSERT_GT(peakOf(runPlayer(*player, 17 * 24000, c.callbackFrames)), 0.05f) << c.what;
        player->publishEvents(nullptr, 0, c.loopFrames);

        // A loop later, and at least the two seconds the release needs to die away, nothing
        // sounds for two loops more.
        const auto rate = static_cast<std::int64_t>(c.config.sampleRate);
        const std::int64_t window = std::max(c.loopFrames, 2 * rate);
        runPlayer(*player, window, c.callbackFrames);
        EXPECT_EQ(player->heldCount(), 0) << c.what;
        const double before = player->position();
        std::vector<float> out(2 * static_cast<std::size_t>(c.callbackFrames));
        float peak = 0.0f;
        for (std::int64_t done = 0; done < 2 * window; done += c.callbackFrames) {
            player->process(out.data(), c.callbackFrames);
            peak = std::max(peak, peakOf(out));
            if (c.loopFrames > 0) {
                ASSERT_LT(player->loopFrame(), c.loopFrames) << c.what << ": the loop wraps";
            }
        }
        EXPECT_LT(peak, kSilent) << c.what;
        const std::int64_t played = (2 * window + c.callbackFrames - 1) / c.callbackFrames * c.callbackFrames;
        EXPECT_NEAR(player->position() - before, static_cast<double>(played) / player->framesPerBeat(), 1e-6)
            << c.what << ": the position runs on through the silent passes";

        // One note over the whole loop (two beats when there is none): it sounds within the next loop.
        const double beats = c.loopFrames > 0 ? static_cast<double>(c.loopFrames) / player->framesPerBeat() : 2.0;
        const std::vector<PlayEvent> note = sortedEvents({{0.0, beats, 40, 1.0f}}, c.config);
        player->publishEvents(note.data(), note.size(), c.loopFrames);
        EXPECT_GT(peakOf(runPlayer(*player, window, c.callbackFrames)), 0.05f) << c.what;
    }
}

// The player's output over several passes against the same loop scheduled on a bare voice.
void expectLoopMatchesReference(const AudioConfig& config, const std::vector<NoteEvent>& notes, int passes,
                                int callbackFrames) {
    auto player = preparedPlayer(config);
    const Patch patch = movingSound();
    player->publishPatch(patch);
    const std::vector<PlayEvent> events = sortedEvents(notes, config);
    const std::int64_t loopFrames = phraseLengthSamples(notes.data(), notes.size(), config);
    player->publishEvents(events.data(), events.size(), loopFrames);

    const std::vector<float> out = runPlayer(*player, loopFrames * passes, callbackFrames);
    const StereoAudio reference = renderLoopReference(patch, events, loopFrames, passes, config);
    for (int pass = 0; pass < passes; ++pass) {
        EXPECT_EQ(maxDifference(out, pass * loopFrames, reference, pass * loopFrames, loopFrames), 0.0f)
            << "pass " << pass << " at " << config.sampleRate << " Hz, " << config.tempo << " BPM";
    }
}

// The same comparison against the offline render of the line written out three times over.
void expectLoopMatchesOfflineRender(const AudioConfig& config, int callbackFrames) {
    const std::vector<NoteEvent> line = twoBarLine();
    const std::int64_t loopFrames = phraseLengthSamples(line.data(), line.size(), config);
    const double loopBeats = 8.0;
    std::vector<NoteEvent> threePasses;
    for (int pass = 0; pass < 3; ++pass) {
        for (NoteEvent n : line) {
            n.start += loopBeats * pass;
            threePasses.push_back(n);
        }
    }
    // The written-out line must put every pass on the very frames the loop plays it at.
    const std::vector<PlayEvent> once = sortedEvents(line, config);
    const std::vector<PlayEvent> thrice = sortedEvents(threePasses, config);
    ASSERT_EQ(thrice.size(), 3 * once.size());
    for (std::size_t i = 0; i < thrice.size(); ++i) {
        const PlayEvent& e = once[i % once.size()];
        ASSERT_EQ(thrice[i].frame, e.frame + static_cast<std::int64_t>(i / once.size()) * loopFrames);
    }

    auto player = preparedPlayer(config);
    const Patch patch = movingSound();
    player->publishPatch(patch);
    player->publishEvents(once.data(), once.size(), loopFrames);
    const std::vector<float> out = runPlayer(*player, 3 * loopFrames, callbackFrames);
    const StereoAudio offline = renderNotes(patch, patch.curves.data(), threePasses.data(), threePasses.size(), config);
    ASSERT_GE(offline.left.size(), static_cast<std::size_t>(3 * loopFrames));
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(maxDifference(out, pass * loopFrames, offline, pass * loopFrames, loopFrames), 0.0f)
            << "pass " << pass << " at " << config.sampleRate << " Hz";
    }
}

TEST(LivePlayerLoop, ThreePassesEqualTheOfflineRenderAt48k) { expectLoopMatchesOfflineRender(k48k, 64); }

TEST(LivePlayerLoop, ThreePassesEqualTheOfflineRenderAt44k) { expectLoopMatchesOfflineRender(k44k, 512); }

TEST(LivePlayerLoop, ThreePassesMatchAContinuousScheduleAt48k) {
    expectLoopMatchesReference(k48k, twoBarLine(), 3, 64);
}

TEST(LivePlayerLoop, ThreePassesMatchAContinuousScheduleAt44kWhereBlocksStraddleTheLoopEnd) {
    ASSERT_NE(phraseLengthSamples(twoBarLine().data(), 6, k44k) % 64, 0);
    expectLoopMatchesReference(k44k, twoBarLine(), 3, 100);
}

TEST(LivePlayerLoop, ThreePassesMatchAtATempoWithFractionalFramesPerBeat) {
    expectLoopMatchesReference({44100.0f, 133.0f, 64}, twoBarLine(), 3, 441);
}

TEST(LivePlayerLoop, LoopsShorterThanABlockPlayEveryPass) {
    auto player = preparedPlayer(k48k);
    const Patch patch;
    player->publishPatch(patch);
    const std::vector<PlayEvent> events{{0, 1, 40, 1.0f}, {20, 0, 40, 1.0f}};
    player->publishEvents(events.data(), events.size(), 40);
    const std::vector<float> out = runPlayer(*player, 40 * 50, 64);
    const StereoAudio reference = renderLoopReference(patch, events, 40, 50, k48k);
    EXPECT_EQ(maxDifference(out, 0, reference, 0, 40 * 50), 0.0f);
}

TEST(LivePlayerLoop, ANoteEndingOnTheLoopEndIsReleasedBeforeTheNextPass) {
    auto player = preparedPlayer(k44k);
    publishLine(*player, twoBarLine());
    const std::int64_t loopFrames = 176400;  // two bars at 22050 frames per beat
    // Stop inside the block that holds the loop end: the last note (40) has ended and the
    // next pass's first note (28) has begun, and nothing else is held.
    runPlayer(*player, loopFrames + 10, 64);
    EXPECT_EQ(player->heldCount(), 1);
}

TEST(LivePlayerPrepare, PlaysTheDemoLineWithTheStartingSoundOverEightBars) {
    auto player = preparedPlayer(k48k);
    const std::vector<float> out = runPlayer(*player, 4 * 24000, 333);
    const std::vector<PlayEvent> demo = sortedEvents({demoLine.begin(), demoLine.end()}, k48k);
    const StereoAudio reference = renderLoopReference(startingSound(), demo, 8 * 4 * 24000, 1, k48k);
    EXPECT_EQ(maxDifference(out, 0, reference, 0, 4 * 24000), 0.0f);
    EXPECT_EQ(player->heldCount(), 0);  // the fourth quarter note has ended by beat 4
}

TEST(LivePlayerPrepare, UnusableConfigurationsFallBackToWorkingOnes) {
    LivePlayer player;
    player.prepare({0.0f, -5.0f, 0});
    EXPECT_EQ(player.config().sampleRate, 48000.0f);
    EXPECT_EQ(player.config().tempo, 120.0f);
    EXPECT_EQ(player.config().blockFrames, 1);
    const std::vector<float> out = runPlayer(player, 1000, 64);
    for (float sample : out) {
        ASSERT_TRUE(std::isfinite(sample));
    }
    EXPECT_NEAR(player.position(), 1000.0 / 24000.0, 1e-12);
}

TEST(LivePlayerThreads, UiPublishesAndSeeksWhileTheAudioThreadRenders) {
    auto player = preparedPlayer(k48k);
    std::atomic<bool> audioDone{false};
    std::atomic<bool> badSample{false};

    std::thread audio([&] {
        std::vector<float> out(2 * 256);
        for (int callback = 0; callback < 1500; ++callback) {
            player->process(out.data(), 256);
            for (float sample : out) {
                if (!std::isfinite(sample) || std::abs(sample) > 8.0f) {
                    badSample.store(true);
                }
            }
        }
        audioDone.store(true);
    });

    Patch patch = startingSound();
    const std::vector<PlayEvent> lineA = sortedEvents(twoBarLine(), k48k);
    const std::vector<PlayEvent> lineB = sortedEvents({demoLine.begin(), demoLine.end()}, k48k);
    const std::vector<PlayEvent> longLine = sortedEvents(busyLine(2000, 5), k48k);  // the slot grows to take it
    int frame = 0;
    while (!audioDone.load()) {
        patch.tone = 0.3f + 0.01f * static_cast<float>(frame % 40);
        patch.curves.curve(0)[frame % kCurvePoints] = 0.5f;
        player->publishPatch(patch);
        if (frame % 7 == 0) {
            const std::vector<PlayEvent>& line = frame % 21 == 0 ? longLine : frame % 14 == 0 ? lineA : lineB;
            player->publishEvents(line.data(), line.size(), 24000 * 8);
        }
        if (frame % 11 == 0) {
            player->requestSeek(static_cast<double>(frame % 23));
        }
        player->setPlaying(frame % 13 != 0);
        EXPECT_TRUE(std::isfinite(player->position()));
        ++frame;
        std::this_thread::yield();
    }
    audio.join();
    EXPECT_FALSE(badSample.load());
    EXPECT_GT(frame, 0);
}

}  // namespace
}  // namespace tarn
