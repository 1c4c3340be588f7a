// Offline render: its length, silence before and after the notes, exact event frames, and no hang on a bad tempo.
#include "engine/offline_render.h"
#include "engine/voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn {
namespace {

const AudioConfig kConfig{48000.0f, 120.0f, 64};

std::size_t firstSound(const std::vector<float>& samples) {
    std::size_t i = 0;
    while (i < samples.size() && samples[i] == 0.0f) ++i;
    return i;
}

TEST(OfflineRender, LengthIsThePhrasePlusFourBeatsOfTail) {
    const Patch patch;
    const NoteEvent notes[] = {{0.0, 1.0, 36, 1.0f}, {12.0, 1.0, 40, 0.8f}};  // ends at beat 13
    EXPECT_EQ(renderLengthFrames(notes, 2, kConfig), 408000);
    const StereoAudio audio = renderNotes(patch, patch.curves.data(), notes, 2, kConfig);
    EXPECT_EQ(audio.left.size(), 408000u);
    EXPECT_EQ(audio.right.size(), 408000u);
}

TEST(OfflineRender, NoNotesGiveFourBeatsOfSilence) {
    const Patch patch;
    const StereoAudio audio = renderNotes(patch, patch.curves.data(), nullptr, 0, kConfig);
    ASSERT_EQ(audio.left.size(), 96000u);
    ASSERT_EQ(audio.right.size(), 96000u);
    EXPECT_EQ(firstSound(audio.left), audio.left.size());
    EXPECT_EQ(firstSound(audio.right), audio.right.size());
}

TEST(OfflineRender, UnusableTempoOrBlockSizeStillFinishes) {
    const Patch patch;
    const NoteEvent notes[] = {{0.0, 1.0, 36, 1.0f}};
    for (float tempo : {0.0f, -90.0f, std::nanf("")}) {
        const StereoAudio audio = renderNotes(patch, patch.curves.data(), notes, 1, AudioConfig{48000.0f, tempo, 64});
        EXPECT_TRUE(audio.left.empty()) << tempo;
        EXPECT_TRUE(audio.right.empty()) << tempo;
    }
    // A block size of 0 renders frame by frame rather than standing still.
    const StereoAudio audio = renderNotes(patch, patch.curves.data(), notes, 1, AudioConfig{48000.0f, 600.0f, 0});
    EXPECT_EQ(audio.left.size(), 24000u);
    EXPECT_LT(firstSound(audio.left), audio.left.size());
}

TEST(OfflineRender, AbsurdNoteLengthIsBounded) {
    const NoteEvent notes[] = {{0.0, 1e15, 36, 1.0f}};
    EXPECT_EQ(renderLengthFrames(notes, 1, kConfig), static_cast<std::int64_t>(kMaxRenderSeconds * 48000.0));
}

TEST(OfflineRender, SoundStartsOnTheNoteFrameAndDiesInTheTail) {
    Patch patch;
    patch.spread = 0.5f;
    // Beat 1.25 is frame 30000, which is not on a 64-frame block boundary.
    const NoteEvent notes[] = {{1.25, 0.5, 33, 0.9f}};
    const StereoAudio audio = renderNotes(patch, patch.curves.data(), notes, 1, kConfig);
    ASSERT_EQ(audio.left.size(), 138000u);
    EXPECT_EQ(firstSound(audio.left), 30000u);
    EXPECT_EQ(firstSound(audio.right), 30000u);

    float peak = 0.0f;
    for (std::size_t i = 30000; i < 30000 + 12000; ++i) peak = std::max(peak, std::fabs(audio.left[i]));
    EXPECT_GT(peak, 0.05f);
    for (std::size_t i = audio.left.size() - 4800; i < audio.left.size(); ++i) {
        ASSERT_LT(std::fabs(audio.left[i]), 1e-3f) << i;
        ASSERT_LT(std::fabs(audio.right[i]), 1e-3f) << i;
    }
}

// The same notes scheduled the plainest way: one frame at a time, each event on its frame.
StereoAudio renderFrameByFrame(const Patch& patch, const NoteEvent* notes, std::size_t count) {
    const double fpb = framesPerBeat(kConfig);
    auto events = notesToEvents(notes, count, 0.0, fpb, 1.0f);
    sortPlayEvents(events);
    const auto total = static_cast<std::size_t>(renderLengthFrames(notes, count, kConfig));
    StereoAudio out{std::vector<float>(total), std::vector<float>(total)};
    Voice voice;
    voice.setSampleRate(kConfig.sampleRate);
    std::size_t next = 0;
    for (std::size_t frame = 0; frame < total; ++frame) {
        for (; next < events.size() && events[next].frame <= static_cast<std::int64_t>(frame); ++next) {
            if (events[next].on != 0) voice.noteOn(events[next].note, events[next].velocity);
            else voice.noteOff(events[next].note);
        }
        const VoiceTransport transport{static_cast<double>(frame) / fpb, kConfig.tempo, 1};
        voice.render(patch, patch.curves.data(), transport, &out.left[frame], &out.right[frame], 1);
    }
    return out;
}

TEST(OfflineRender, BlocksGiveTheSameSoundAsFrameByFrameScheduling) {
    Patch patch;
    patch.motion = 0.6f;  // the motion lanes follow the transport
    patch.arcAmount = 0.5f;
    patch.glide = 0.1f;
    // Overlapping notes (a legato glide), a repeat on the same frame as its own release, and
    // a note on an odd frame.
    const NoteEvent notes[] = {{0.0, 0.6, 36, 1.0f}, {0.5, 0.5, 43, 0.7f}, {1.0, 0.25, 43, 0.4f},
                               {1.3337, 0.2, 31, 0.9f}};
    const StereoAudio blocks = renderNotes(patch, patch.curves.data(), notes, 4, kConfig);
    const StereoAudio frames = renderFrameByFrame(patch, notes, 4);
    ASSERT_EQ(blocks.left.size(), frames.left.size());
    for (std::size_t i = 0; i < frames.left.size(); ++i) {
        ASSERT_EQ(blocks.left[i], frames.left[i]) << i;
        ASSERT_EQ(blocks.right[i], frames.right[i]) << i;
    }
}

// Taken a piece at a time (as the export and the waveform take it), the render joins into exactly
// the samples of one whole render, whatever sizes the pieces are asked in.
TEST(OfflineRender, PiecesOfAnySizeJoinIntoTheWholeRender) {
    Patch patch;
    patch.motion = 0.6f;
    patch.glide = 0.1f;
    const NoteEvent notes[] = {{0.0, 0.6, 36, 1.0f}, {0.5, 0.5, 43, 0.7f}, {1.0, 0.25, 43, 0.4f},
                               {1.3337, 0.2, 31, 0.9f}, {6.0, 3.0, 40, 0.5f}};
    const StereoAudio whole = renderNotes(patch, patch.curves.data(), notes, 5, kConfig);
    // clang-format off
    const struct { const char* what; std::vector<std::int64_t> sizes; } cases[] = {
        {"one voice block at a time", {64}},
        {"pieces that end inside a block", {100, 4096, 77}},
        {"the export's pieces", {4096}},
        {"ever-changing pieces", {64, 1000, 65, 3333, 128}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::int64_t total = renderLengthFrames(notes, 5, kConfig);
        OfflineRender render(patch, patch.curves.data(), notes, 5, kConfig, total);
        StereoAudio joined{std::vector<float>(static_cast<std::size_t>(total), 9.0f),
                           std::vector<float>(static_cast<std::size_t>(total), 9.0f)};
        std::vector<float> left(4096), right(4096);
        for (std::size_t i = 0; !render.finished(); ++i) {
            const std::int64_t at = render.position();
            const std::int64_t asked = std::max<std::int64_t>(c.sizes[i % c.sizes.size()], kConfig.blockFrames);
            const std::int64_t got = render.next(left.data(), right.data(), asked);
            ASSERT_GT(got, 0) << c.what;
            ASSERT_LE(got, asked) << c.what;
            std::copy_n(left.begin(), got, joined.left.begin() + at);
            std::copy_n(right.begin(), got, joined.right.begin() + at);
        }
        EXPECT_EQ(render.position(), total) << c.what;
        EXPECT_TRUE(joined.left == whole.left && joined.right == whole.right) << c.what;
    }
}

TEST(OfflineRender, EachCallStartsFromAFreshVoice) {
    const Patch patch;
    const NoteEvent notes[] = {{0.0, 2.0, 36, 1.0f}};
    const StereoAudio first = renderNotes(patch, patch.curves.data(), notes, 1, kConfig);
    const StereoAudio second = renderNotes(patch, patch.curves.data(), notes, 1, kConfig);
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(first.right, second.right);
}

}  // namespace
}  // namespace tarn
