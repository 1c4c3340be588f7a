// Pattern timing, play events, their order, the loop length and the demo line.
#include "engine/demo_line.h"
#include "engine/notes.h"

#include "tests/engine/pattern_note_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarn {
namespace {

using testing::note;

// Start and length in ticks of the notes patternToNotes gives, to compare with the grid.
std::vector<std::pair<double, double>> ticksOf(const Pattern& pattern) {
    std::vector<std::pair<double, double>> out;
    for (const NoteEvent& n : patternToNotes(pattern)) out.emplace_back(n.start * 96.0, n.length * 96.0);
    return out;
}

using Ticks = std::vector<std::pair<double, double>>;

TEST(PatternTiming, NudgeMovesANoteButNeverBeforeTheFirstTick) {
    Pattern pattern(2, 36, 0);
    pattern.bars[0].push_back(note(0, 0, 1.0f, 0.0f, -0.3f));
    pattern.bars[1].push_back(note(0, 0, 1.0f, 0.0f, -0.3f));   // lroundf(-7.2) = -7
    pattern.bars[1].push_back(note(4, 3, 1.0f, 0.0f, 0.25f));   // lroundf(6.0) = 6
    pattern.bars[1].push_back(note(8, 5, 1.0f, 0.0f, -0.9f));   // clamped to -0.45: -11
    EXPECT_EQ(ticksOf(pattern), (Ticks{{0, 24}, {377, 24}, {384 + 96 + 6, 24}, {384 + 192 - 11, 24}}));
}

TEST(PatternTiming, SwingDelaysOnlyOddStepsAndStaysWithinTheLimit) {
    Pattern pattern(1, 36, 0);
    pattern.swing = 0.6f;  // clamped to 0.45: lroundf(10.8) = 11 ticks
    pattern.bars[0].push_back(note(1, 0, 1.0f));
    pattern.bars[0].push_back(note(2, 3, 1.0f));
    pattern.bars[0].push_back(note(3, 5, 1.0f, 0.0f, 0.2f));   // the sum is clamped, still 11
    pattern.bars[0].push_back(note(5, 7, 1.0f, 0.0f, -0.2f));  // 0.45 - 0.2 = 0.25: 6 ticks
    EXPECT_EQ(ticksOf(pattern), (Ticks{{24 + 11, 24}, {48, 24}, {72 + 11, 24}, {120 + 6, 24}}));

    pattern.swing = -0.5f;  // a negative swing does not pull odd steps early
    pattern.bars[0] = {note(1, 0, 1.0f)};
    EXPECT_EQ(ticksOf(pattern), (Ticks{{24, 24}}));
}

TEST(PatternTiming, RepeatedDegreeIsCutOneTickShortOfTheFirstLaterOne) {
    Pattern pattern(1, 36, 0);
    pattern.bars[0].push_back(note(0, 0, 3.0f));
    pattern.bars[0].push_back(note(2, 0, 3.0f));
    EXPECT_EQ(ticksOf(pattern), (Ticks{{0, 47}, {48, 72}}));

    // Another degree in between does not cut; only the first later note of the same degree is
    // looked at, even when a still later one (in stored order) starts earlier. That later one
    // does cut the step-6 note, whose end then falls before its start: one tick remains.
    pattern.bars[0] = {note(0, 0, 8.0f), note(1, 7, 1.0f), note(6, 0, 1.0f), note(2, 0, 1.0f)};
    EXPECT_EQ(ticksOf(pattern), (Ticks{{0, 143}, {24, 24}, {144, 1}, {48, 24}}));

    // A later note that starts after the end leaves the note alone.
    pattern.bars[0] = {note(0, 0, 2.0f), note(2, 0, 1.0f)};
    EXPECT_EQ(ticksOf(pattern), (Ticks{{0, 48}, {48, 24}}));
}

TEST(PatternTiming, RepeatedDegreeInTheNextBarDoesNotCut) {
    Pattern pattern(2, 36, 0);
    pattern.bars[0].push_back(note(14, 0, 4.0f));
    pattern.bars[1].push_back(note(0, 0, 1.0f));
    EXPECT_EQ(ticksOf(pattern), (Ticks{{336, 96}, {384, 24}}));
}

TEST(PatternTiming, UnusableGatesStillGiveOneTick) {
    Pattern pattern(1, 36, 0);
    pattern.bars[0] = {note(0, 0, 0.0f), note(1, 1, -2.0f), note(2, 2, std::nanf("")),
                       note(3, 3, 0.02f)};
    EXPECT_EQ(ticksOf(pattern), (Ticks{{0, 1}, {24, 1}, {48, 1}, {72, 1}}));
    EXPECT_DOUBLE_EQ(patternToNotes(pattern)[0].length, 1.0 / 96.0);
}

TEST(PatternTiming, NonFiniteValuesNeverOverflow) {
    Pattern pattern(1, 36, 0);
    pattern.swing = std::nanf("");
    pattern.bars[0] = {note(1, 0, std::numeric_limits<float>::infinity(), 0.0f, std::nanf("")),
                       note(3, 1, 1e30f)};
    const auto notes = patternToNotes(pattern);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].start, 24.0 / 96.0);  // NaN swing and nudge: on its step
    EXPECT_TRUE(std::isfinite(notes[0].length));
    EXPECT_GT(notes[0].length, 1e12);
    EXPECT_GT(notes[1].length, 1e12);
}

TEST(PatternTiming, NotesOutsideMidiRangeAreLeftOut) {
    Pattern high(1, 120, 0);
    high.bars[0] = {note(0, 10, 1.0f), note(1, 7, 1.0f), note(2, 8, 1.0f)};
    const auto highNotes = patternToNotes(high);
    ASSERT_EQ(highNotes.size(), 1u);
    EXPECT_EQ(highNotes[0].note, 127);

    Pattern low(1, 36, 0);
    low.bars[0] = {note(0, -40, 1.0f), note(1, -36, 1.0f)};
    const auto lowNotes = patternToNotes(low);
    ASSERT_EQ(lowNotes.size(), 1u);
    EXPECT_EQ(lowNotes[0].note, 0);
    EXPECT_EQ(lowNotes[0].start, 0.25);
}

TEST(PatternTiming, VelocityFollowsAccentAndNoteFollowsRoot) {
    Pattern pattern(1, 40, 0);
    pattern.bars[0] = {note(0, 0, 1.0f, 1.0f), note(4, 7, 1.0f, 0.0f), note(8, 12, 1.0f, 0.5f)};
    const auto notes = patternToNotes(pattern);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_FLOAT_EQ(notes[0].velocity, 1.0f);
    EXPECT_FLOAT_EQ(notes[1].velocity, 40.0f / 127.0f);
    EXPECT_FLOAT_EQ(notes[2].velocity, 83.5f / 127.0f);
    EXPECT_EQ(notes[0].note, 40);
    EXPECT_EQ(notes[1].note, 47);
    EXPECT_EQ(notes[2].note, 52);
    EXPECT_EQ(notes[1].start, 1.0);
    EXPECT_EQ(notes[2].length, 0.25);
}

TEST(PlayEvents, EachNoteGivesItsOnThenItsOffInFrames) {
    const NoteEvent notes[] = {{0.0, 0.5, 40, 0.8f}, {1.25, 0.1, 43, 0.5f}};
    const auto events = notesToEvents(notes, 2, 2.0, 1000.5, 0.5f);
    ASSERT_EQ(events.size(), 4u);
    // trunc((2 + start) x 1000.5) and trunc((2 + start + length) x 1000.5)
    EXPECT_EQ(events[0].frame, 2001);
    EXPECT_EQ(events[1].frame, 2501);
    EXPECT_EQ(events[2].frame, 3251);
    EXPECT_EQ(events[3].frame, 3351);
    EXPECT_EQ(events[0].on, 1);
    EXPECT_EQ(events[1].on, 0);
    EXPECT_EQ(events[2].on, 1);
    EXPECT_EQ(events[3].on, 0);
    EXPECT_EQ(events[1].note, 40);
    EXPECT_EQ(events[3].note, 43);
    EXPECT_FLOAT_EQ(events[0].velocity, 0.4f);
    EXPECT_FLOAT_EQ(events[1].velocity, 0.4f);  // the off carries the on's velocity
    EXPECT_FLOAT_EQ(events[3].velocity, 0.25f);

    EXPECT_TRUE(notesToEvents(nullptr, 0, 0.0, 24000.0, 1.0f).empty());
}

TEST(PlayEvents, NoteOffSortsBeforeNoteOnAtTheSameFrame) {
    // A repeated note whose first instance ends where the second starts: the second on must
    // come after the first off, or the retrigger would be swallowed by the release.
    const NoteEvent notes[] = {{1.0, 1.0, 40, 1.0f}, {0.0, 1.0, 40, 0.6f}, {2.0, 0.5, 40, 0.3f}};
    auto events = notesToEvents(notes, 3, 0.0, 100.0, 1.0f);
    sortPlayEvents(events);
    ASSERT_EQ(events.size(), 6u);
    const std::int64_t frames[] = {0, 100, 100, 200, 200, 250};
    const int ons[] = {1, 0, 1, 0, 1, 0};
    const float velocities[] = {0.6f, 0.6f, 1.0f, 1.0f, 0.3f, 0.3f};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(events[i].frame, frames[i]) << i;
        EXPECT_EQ(events[i].on, ons[i]) << i;
        EXPECT_EQ(events[i].velocity, velocities[i]) << i;
    }
}

TEST(PlayEvents, SortIsStableForOtherwiseEqualEvents) {
    std::vector<PlayEvent> events = {{10, 1, 40, 0.1f}, {5, 0, 41, 0.2f}, {10, 1, 42, 0.3f},
                                     {10, 0, 43, 0.4f}, {10, 0, 44, 0.5f}};
    sortPlayEvents(events);
    const int order[] = {41, 43, 44, 40, 42};
    for (std::size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].note, order[i]) << i;
    EXPECT_FALSE(playEventBefore(events[3], events[4]));
    EXPECT_FALSE(playEventBefore(events[4], events[3]));
}

TEST(PhraseLength, RoundsTheLastNoteEndUpToWholeBars) {
    const AudioConfig config{48000.0f, 120.0f, 64};
    EXPECT_EQ(framesPerBeat(config), 24000.0);
    const NoteEvent endsAtBeat13[] = {{12.0, 1.0, 40, 1.0f}, {0.0, 2.0, 40, 1.0f}};
    EXPECT_EQ(phraseLengthSamples(endsAtBeat13, 2, config), 384000);
    const NoteEvent endsOnABarLine[] = {{15.0, 1.0, 40, 1.0f}};
    EXPECT_EQ(phraseLengthSamples(endsOnABarLine, 1, config), 384000);
    const NoteEvent justPast[] = {{15.0, 1.0 + 1.0 / 96.0, 40, 1.0f}};
    EXPECT_EQ(phraseLengthSamples(justPast, 1, config), 480000);
    EXPECT_EQ(phraseLengthSamples(nullptr, 0, config), 0);

    // An odd rate: trunc(1 bar x 4 x 44100 x 60 / 97)
    EXPECT_EQ(phraseLengthSamples(endsOnABarLine, 1, AudioConfig{44100.0f, 97.0f, 64}),
              static_cast<std::int64_t>(4.0 * 4.0 * 44100.0 * 60.0 / 97.0));
}

TEST(PhraseLength, UnusableTempoOrRateGivesNothing) {
    const NoteEvent notes[] = {{0.0, 1.0, 40, 1.0f}};
    for (float tempo : {0.0f, -120.0f, std::nanf("")}) {
        EXPECT_EQ(framesPerBeat(AudioConfig{48000.0f, tempo, 64}), 0.0) << tempo;
        EXPECT_EQ(phraseLengthSamples(notes, 1, AudioConfig{48000.0f, tempo, 64}), 0) << tempo;
    }
    EXPECT_EQ(phraseLengthSamples(notes, 1, AudioConfig{0.0f, 120.0f, 64}), 0);
    // A tiny tempo still gives a finite, non-negative length.
    EXPECT_GT(phraseLengthSamples(notes, 1, AudioConfig{48000.0f, 1e-30f, 64}), 0);
}

TEST(DemoLine, EighteenNotesThatLoopOverEightBars) {
    ASSERT_EQ(demoLine.size(), 18u);
    EXPECT_EQ(demoLine[0].start, 0.0);
    EXPECT_EQ(demoLine[0].note, 28);
    EXPECT_EQ(demoLine[12].start, 16.0);
    EXPECT_EQ(demoLine[12].length, 7.5);
    EXPECT_EQ(demoLine[14].note, 40);
    EXPECT_EQ(demoLine[17].start, 29.9);
    EXPECT_EQ(demoLine[17].velocity, 0.95f);
    EXPECT_EQ(notesEndBeats(demoLine.data(), demoLine.size()), 32.0);
    const AudioConfig config{48000.0f, 120.0f, 64};
    EXPECT_EQ(phraseLengthSamples(demoLine.data(), demoLine.size(), config), 8 * 4 * 24000);
    for (std::size_t i = 1; i < demoLine.size(); ++i) EXPECT_GT(demoLine[i].start, demoLine[i - 1].start);

    // The held notes of bars 3 and 4 overlap their successors, so the voice glides between
    // them: at the start of beat 10 the next note sounds before the held one is let go.
    auto events = notesToEvents(demoLine.data(), demoLine.size(), 0.0, framesPerBeat(config), 1.0f);
    sortPlayEvents(events);
    ASSERT_EQ(events.size(), 36u);
    EXPECT_EQ(events[16].frame, 8 * 24000);
    EXPECT_EQ(events[17].frame, 10 * 24000);
    EXPECT_EQ(events[17].on, 1);
    EXPECT_EQ(events[17].note, 35);
    EXPECT_EQ(events[18].frame, static_cast<std::int64_t>(10.2 * 24000));
    EXPECT_EQ(events[18].on, 0);
    EXPECT_EQ(events[18].note, 28);
    EXPECT_EQ(events.back().frame, 32 * 24000);
}

}  // namespace
}  // namespace tarn
