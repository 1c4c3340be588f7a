// The bar-level building blocks with hand-built bars: scale fitting, degrees, room, gates,
// placement around the kick, slide repair and acceptance.
#include "engine/bar_notes.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/engine/generator_test_support.h"

namespace tarn {
namespace {

using testing::anchor;
using testing::note;
using testing::slide;
using testing::stateWhere;
using testing::stepsOf;
using testing::stepsTaken;
using Steps = std::vector<int>;

constexpr int kMinor = 0, kMajor = 1, kPentatonic = 2, kPhrygian = 4, kChromatic = 5;
constexpr int kHouse = 0, kTechno = 1, kAcid = 2, kDnb = 4;

KickContext noKicks(int scale = kMinor) {
    KickContext ctx;
    ctx.scale = scale;
    return ctx;
}

KickContext fourOnTheFloor(float on, float midway, float before, float after) {
    KickContext ctx;
    ctx.kickMask = 0x1111;
    ctx.weights = {on, midway, before, after};
    return ctx;
}

TEST(ScaleSnap, ScaleTonesStayAndSevenToneScalesUseTheFixedMap) {
    EXPECT_EQ(snapToScale(3, kMinor, 0), 3);
    EXPECT_EQ(snapToScale(6, kChromatic, 0), 6);
    const int minorFrom[] = {1, 4, 6, 9, 11};
    const int minorTo[] = {2, 3, 5, 8, 10};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(snapToScale(minorFrom[i], kMinor, 0), minorTo[i]);
    EXPECT_EQ(snapToScale(3, kMajor, 0), 4);
    EXPECT_EQ(snapToScale(10, kMajor, 0), 11);
    EXPECT_EQ(snapToScale(2, kPhrygian, 0), 1);
    // Out of the octave: clamped to 0..12 before the map.
    EXPECT_EQ(snapToScale(13, kMinor, 0), 12);
    EXPECT_EQ(snapToScale(-5, kMinor, 0), 0);
    EXPECT_EQ(snapToScale(INT_MIN, kMinor, 0), 0);
    EXPECT_EQ(snapToScale(INT_MAX, kMinor, 0), 12);
}

TEST(ScaleSnap, OtherScalesTakeTheNearestToneAndTiesGoLower) {
    EXPECT_EQ(snapToScale(6, kPentatonic, 0), 5);   // 5 and 7 equally near
    EXPECT_EQ(snapToScale(4, kPentatonic, 0), 3);   // 3 and 5 equally near
    EXPECT_EQ(snapToScale(2, kPentatonic, 0), 3);
    EXPECT_EQ(snapToScale(9, kPentatonic, 0), 10);
    EXPECT_EQ(snapToScale(13, kPentatonic, 0), 12);
    EXPECT_EQ(snapToScale(13, kChromatic, 0), 12);
    EXPECT_EQ(snapToScale(INT_MIN, kPentatonic, 0), 0);
    EXPECT_EQ(snapToScale(INT_MAX, kPentatonic, 0), 12);
    // Mode 2 is nearest even for seven-tone scales: 1 in Minor goes down, not up as in mode 0.
    EXPECT_EQ(snapToScale(1, kMinor, 2), 0);
    EXPECT_EQ(snapToScale(6, kMinor, 2), 5);
}

TEST(ScaleSnap, ModeOneTakesTheToneAtOrBelow) {
    EXPECT_EQ(snapToScale(6, kMinor, 1), 5);
    EXPECT_EQ(snapToScale(11, kMinor, 1), 10);
    EXPECT_EQ(snapToScale(9, kPentatonic, 1), 7);
    EXPECT_EQ(snapToScale(-3, kMinor, 1), 0) << "nothing below: the first tone";
    EXPECT_EQ(snapToScale(40, kMinor, 1), 12);
}

TEST(ScaleSnap, ScaleIndexOutsideTheTableIsClamped) {
    EXPECT_EQ(snapToScale(6, 99, 0), 6) << "chromatic";
    EXPECT_EQ(snapToScale(1, -4, 0), 2) << "minor";
    EXPECT_TRUE(isScaleTone(11, 1000));
    EXPECT_FALSE(isScaleTone(11, -1));
}

TEST(DegreeChoice, SnapsTheChosenCandidateInModeZero) {
    const GenreRules& acid = genreRules(kAcid);  // 0 12 3 10 7 1
    KickContext ctx = noKicks(kPentatonic);
    std::uint32_t rng = stateWhere([](std::uint32_t s) { return randomChoice(s, 6) == 5; });
    const std::uint32_t start = rng;
    EXPECT_EQ(pickDegree(acid, ctx, rng), 0) << "1 is nearest to 0 in the pentatonic scale";
    EXPECT_EQ(stepsTaken(start, rng), 1);

    ctx.snap = 0;
    rng = start;
    EXPECT_EQ(pickDegree(acid, ctx, rng), 1) << "without snapping the candidate stands";
}

TEST(DegreeChoice, ModeTwoChoosesAmongCandidatesOnTheScale) {
    GenreRules rules = genreRules(kAcid);
    rules.snapMode = 2;
    const KickContext ctx = noKicks(kMajor);  // of 0 12 3 10 7 1 only 0, 12, 7 are in Major
    std::uint32_t rng = stateWhere([](std::uint32_t s) { return randomChoice(s, 3) == 2; });
    const std::uint32_t start = rng;
    EXPECT_EQ(pickDegree(rules, ctx, rng), 7);
    EXPECT_EQ(stepsTaken(start, rng), 1);

    rules.degrees = {1, 6, 0, 0, 0, 0};
    rules.degreeCount = 2;  // neither is in Major: fall back to choose-and-snap (nearest)
    rng = stateWhere([](std::uint32_t s) { return randomChoice(s, 2) == 1; });
    EXPECT_EQ(pickDegree(rules, ctx, rng), 5);
}

TEST(DegreeChoice, NoCandidatesGiveTheRootWithoutADraw) {
    GenreRules rules = genreRules(kHouse);
    rules.degreeCount = 0;
    std::uint32_t rng = 77;
    EXPECT_EQ(pickDegree(rules, noKicks(), rng), 0);
    EXPECT_EQ(rng, 77u);
}

TEST(RoomAndRest, RoomWrapsToTheNextBarAndRestIsTheLongestGap) {
    const BarNotes bar = {anchor(2, 0, 0.9f), note(6, 0, 0.5f), note(14, 0, 1.5f)};
    EXPECT_EQ(roomAfter(bar, 0), 4.0f);
    EXPECT_EQ(roomAfter(bar, 1), 8.0f);
    EXPECT_EQ(roomAfter(bar, 2), 4.0f);
    EXPECT_EQ(roomAfter(bar, 3), 0.0f);
    EXPECT_EQ(roomAfter(bar, -1), 0.0f);
    EXPECT_EQ(longestRest(bar), 7.5f);
    EXPECT_EQ(longestRest({}), 16.0f);
    EXPECT_EQ(longestRest({anchor(0, 0, 12.5f)}), 3.5f);
    EXPECT_EQ(longestRest({anchor(0, 0, 20.0f)}), 0.0f) << "overlong gates rest no less than 0";
    EXPECT_TRUE(hasNoteAt(bar, 6));
    EXPECT_FALSE(hasNoteAt(bar, 7));
}

TEST(RoomAndRest, SortKeepsTheOrderOfNotesOnOneStep) {
    BarNotes bar = {note(9, 1), note(3, 2), note(9, 3), note(0, 4)};
    sortByStep(bar);
    EXPECT_EQ(stepsOf(bar), (Steps{0, 3, 9, 9}));
    EXPECT_EQ(bar[2].degree, 1);
    EXPECT_EQ(bar[3].degree, 3);
}

TEST(GateClamp, ShortensToTheLongestGateThatFits) {
    const GenreRules& house = genreRules(kHouse);  // 0.5 0.9 1.5 2.5
    BarNotes bar = {anchor(0, 0, 2.5f), note(2, 0, 2.5f), note(14, 0, 0.5f)};
    clampGate(bar, house, 0);
    EXPECT_EQ(bar[0].gate, 1.5f);
    clampGate(bar, house, 1);
    EXPECT_EQ(bar[1].gate, 2.5f) << "room 12: already fits";
    clampGate(bar, house, 7);  // out of range: nothing

    GenreRules longGates = house;
    longGates.gates = {1.5f, 2.5f, 3.0f, 4.0f};
    BarNotes tight = {anchor(0, 0, 4.0f), note(1)};
    clampGate(tight, longGates, 0);
    EXPECT_EQ(tight[0].gate, 1.5f) << "nothing fits: the shortest gate";
}

TEST(GateClamp, ASlideKeepsItsOverlapButNotAcrossTheBarLine) {
    const GenreRules& house = genreRules(kHouse);
    BarNotes bar = {anchor(0, 0, 2.5f), slide(1, 12)};
    clampGate(bar, house, 0);
    EXPECT_EQ(bar[0].gate, 2.5f);

    // The last note's room runs to the first note, but that note's slide flag does not protect
    // the last note's gate: slides never cross the bar line.
    BarNotes wrap = {slide(0, 12), note(14, 0, 2.5f)};
    clampGate(wrap, house, 1);
    EXPECT_EQ(wrap[1].gate, 1.5f);
}

TEST(NoteMove, ResortsAndClampsTheMovedNoteAndTheOneBefore) {
    const GenreRules& house = genreRules(kHouse);
    BarNotes bar = {anchor(0, 0, 1.5f), note(8, 7, 2.5f), note(12, 12, 2.5f)};
    moveNote(bar, house, 12, 1);
    EXPECT_EQ(stepsOf(bar), (Steps{0, 1, 8}));
    EXPECT_EQ(bar[0].gate, 0.9f) << "the note before now has one step of room";
    EXPECT_EQ(bar[1].degree, 12);
    EXPECT_EQ(bar[1].gate, 2.5f) << "the moved note has seven";
    EXPECT_EQ(bar[2].gate, 2.5f);

    moveNote(bar, house, 5, 6);  // no note on 5: nothing
    EXPECT_EQ(stepsOf(bar), (Steps{0, 1, 8}));
}

TEST(GateShift, StepsAlongTheGateListWhereTheNewGateFits) {
    const GenreRules& house = genreRules(kHouse);  // 0.5 0.9 1.5 2.5
    const BarNotes bar = {anchor(0, 0, 0.5f), note(4, 0, 0.9f), note(6, 0, 1.5f), note(10, 0, 0.7f),
                          note(14, 0, 1.5f)};
    const BarNotes longer = shiftGates(bar, house, 1);
    EXPECT_EQ(longer[0].gate, 0.9f);
    EXPECT_EQ(longer[1].gate, 1.5f) << "two steps of room hold 1.5";
    EXPECT_EQ(longer[2].gate, 2.5f);
    EXPECT_EQ(longer[3].gate, 0.7f) << "a gate off the list is skipped";
    EXPECT_EQ(longer[4].gate, 1.5f) << "two steps to the next bar do not hold 2.5";

    const BarNotes shorter = shiftGates(bar, house, -1);
    EXPECT_EQ(shorter[0].gate, 0.5f) << "already the shortest";
    EXPECT_EQ(shorter[2].gate, 0.9f);

    const BarNotes same = shiftGates(bar, house, 0);
    for (std::size_t i = 0; i < bar.size(); ++i) EXPECT_EQ(same[i].gate, bar[i].gate);

    EXPECT_EQ(shiftGates(bar, house, INT_MAX)[0].gate, 2.5f);
    EXPECT_EQ(shiftGates(bar, house, INT_MIN)[4].gate, 0.5f);
}

TEST(GateShift, TheNoteBeforeASlideIsLengthenedEvenPastItsRoom) {
    const GenreRules& house = genreRules(kHouse);
    const BarNotes bar = {anchor(0, 0, 1.5f), slide(1, 12, 0.5f)};
    EXPECT_EQ(shiftGates(bar, house, 1)[0].gate, 2.5f);
}

TEST(KickPlacement, NoKicksOrNoWeightsLeaveTheBarAlone) {
    const GenreRules& techno = genreRules(kTechno);
    const BarNotes bar = {anchor(0), note(4), note(5)};
    EXPECT_EQ(stepsOf(placeAroundKicks(bar, techno, fourOnTheFloor(0, 0, 0, 0))), (Steps{0, 4, 5}));
    KickContext silent = fourOnTheFloor(-1, 1, 0, 0);
    silent.kickMask = 0;
    EXPECT_EQ(stepsOf(placeAroundKicks(bar, techno, silent)), (Steps{0, 4, 5}));
}

TEST(KickPlacement, PushesOffTheKickThenPullsOntoTheOffbeat) {
    const GenreRules& techno = genreRules(kTechno);
    const KickContext ctx = fourOnTheFloor(-1.0f, 0.6f, 0.0f, 0.2f);
    const BarNotes bar = {anchor(0), note(3, 3), note(4, 4), note(9, 9)};
    const BarNotes placed = placeAroundKicks(bar, techno, ctx);
    // 4 is on a kick: of 5 (0.2), 3 (taken), 6 (0.6) and 2 (0.6, not higher) it goes to 6.
    // Then midway 2 pulls 3 (weight 0) and midway 10 pulls 9 (0.2). The anchor stays on its kick.
    EXPECT_EQ(stepsOf(placed), (Steps{0, 2, 6, 10}));
    EXPECT_EQ(placed[1].degree, 3);
    EXPECT_EQ(placed[2].degree, 4);
    EXPECT_EQ(placed[3].degree, 9);
}

TEST(KickPlacement, ANoteWithNowhereToGoIsDropped) {
    const GenreRules& house = genreRules(kHouse);  // step 5 is not allowed
    const KickContext ctx = fourOnTheFloor(-1.0f, 0.0f, 0.0f, 0.0f);
    const BarNotes placed =
        placeAroundKicks({anchor(2), note(3), note(4), note(6)}, house, ctx);
    EXPECT_EQ(stepsOf(placed), (Steps{2, 3, 6}));
}

TEST(KickPlacement, ANeighbourAsStrongAsTheStepIsNotPulled) {
    const GenreRules& techno = genreRules(kTechno);
    const KickContext ctx = fourOnTheFloor(0.0f, 0.6f, 0.6f, 0.0f);
    // Step 2 (midway, 0.6) has neighbour 3 (before, 0.6): not lower, so it stays.
    EXPECT_EQ(stepsOf(placeAroundKicks({anchor(0), note(3)}, techno, ctx)), (Steps{0, 3}));
    // Just before a kick pulls: 12 (on the kick) goes to 11, but the anchor on 8 is not pulled
    // to 7.
    EXPECT_EQ(stepsOf(placeAroundKicks({anchor(8), note(12), note(13)}, techno,
                                       fourOnTheFloor(0.0f, 0.0f, 0.6f, 0.0f))),
              (Steps{8, 11, 13}));
}

TEST(UnanchoredChoice, SkipsAnchorsAndMakesNoDrawWhenThereAreNone) {
    const BarNotes bar = {anchor(0), note(3), anchor(8), note(10)};
    std::uint32_t rng = stateWhere([](std::uint32_t s) { return randomChoice(s, 2) == 1; });
    const std::uint32_t start = rng;
    EXPECT_EQ(pickUnanchored(bar, rng), 3);
    EXPECT_EQ(stepsTaken(start, rng), 1);

    std::uint32_t untouched = 5;
    EXPECT_EQ(pickUnanchored({anchor(0), anchor(8)}, untouched), -1);
    EXPECT_EQ(pickUnanchored({}, untouched), -1);
    EXPECT_EQ(untouched, 5u);
}

// A valid Acid bar (4-12 notes, rest >= 2) around a slide from step 2 to step 3.
BarNotes acidBarWithSlide(float gateBefore) {
    return {anchor(0, 0, 0.5f), note(2, 0, gateBefore), slide(3, 12), note(8, 0, 0.5f),
            note(12, 3, 0.5f)};
}

TEST(SlideRepair, LengthensTheNoteBeforeToOverlapTheSlide) {
    const GenreRules& acid = genreRules(kAcid);  // 0.5 0.9 1.5 2.0
    BarNotes bar = acidBarWithSlide(0.5f);
    fixSlides(bar, acid, noKicks());
    EXPECT_TRUE(bar[2].slide);
    EXPECT_EQ(bar[1].gate, 1.5f) << "first gate longer than 1 + 11/24";

    BarNotes longEnough = acidBarWithSlide(2.0f);
    fixSlides(longEnough, acid, noKicks());
    EXPECT_TRUE(longEnough[2].slide);
    EXPECT_EQ(longEnough[1].gate, 2.0f);
}

TEST(SlideRepair, ClearsSlidesThatCannotSound) {
    const GenreRules& acid = genreRules(kAcid);
    BarNotes first = {slide(0, 12), note(4)};
    fixSlides(first, acid, noKicks());
    EXPECT_FALSE(first[0].slide) << "the first note has nothing to slide from";

    BarNotes samePitch = acidBarWithSlide(0.5f);
    samePitch[2].degree = 0;
    fixSlides(samePitch, acid, noKicks());
    EXPECT_FALSE(samePitch[2].slide);
    EXPECT_EQ(samePitch[1].gate, 0.5f);

    BarNotes tooFar = acidBarWithSlide(0.5f);
    tooFar[2].step = 5;  // needs more than 3 + 11/24: longer than any Acid gate
    fixSlides(tooFar, acid, noKicks());
    EXPECT_FALSE(tooFar[2].slide);
    EXPECT_EQ(tooFar[1].gate, 0.5f);

    BarNotes breaksRules = {anchor(0, 0, 0.5f), note(2, 0, 0.5f), slide(3, 12)};  // 3 < 4 notes
    fixSlides(breaksRules, acid, noKicks());
    EXPECT_FALSE(breaksRules[2].slide);
    EXPECT_EQ(breaksRules[1].gate, 0.5f) << "the old gate comes back";
}

// House: 2-7 notes, runs of 2, rest >= 3, allowed 0xdddd, anchors on 0 or 2.
BarNotes validHouseBar() { return {anchor(0, 0, 0.5f), note(6, 12, 0.5f), note(10, 7, 0.5f)}; }

TEST(BarAcceptance, AValidBarPasses) {
    EXPECT_TRUE(acceptBar(validHouseBar(), genreRules(kHouse), noKicks()));
}

TEST(BarAcceptance, NoteCountRunsAndRests) {
    const GenreRules& house = genreRules(kHouse);
    EXPECT_FALSE(acceptBar({}, house, noKicks()));
    EXPECT_FALSE(acceptBar({anchor(0)}, house, noKicks()));
    EXPECT_FALSE(acceptBar({anchor(0), note(2), note(3), note(6), note(7), note(10), note(11), note(14)},
                           house, noKicks()))
        << "eight notes";
    EXPECT_TRUE(acceptBar({anchor(0), note(3), note(4), note(10)}, house, noKicks()));
    EXPECT_FALSE(acceptBar({anchor(0), note(2), note(3), note(4), note(10)}, house, noKicks()))
        << "a run of three";
    EXPECT_FALSE(acceptBar({anchor(0), note(2), note(4), note(7), note(10), note(12), note(14)}, house,
                           noKicks()))
        << "longest rest 2.5";

    GenreRules dnb = genreRules(kDnb);
    EXPECT_TRUE(acceptBar({anchor(0, 0, 12.5f)}, dnb, noKicks())) << "rest 3.5 of 3.0";
    EXPECT_FALSE(acceptBar({anchor(0, 0, 13.5f)}, dnb, noKicks()));
}

TEST(BarAcceptance, StepsMustBeAllowedAndAnchorsOnAnchorSteps) {
    const GenreRules& house = genreRules(kHouse);
    BarNotes bar = validHouseBar();
    bar[1].step = 5;
    EXPECT_FALSE(acceptBar(bar, house, noKicks())) << "step 5 is not a House step";
    bar = validHouseBar();
    bar[0].step = 3;
    EXPECT_FALSE(acceptBar(bar, house, noKicks())) << "anchor off its steps";
    bar = validHouseBar();
    bar[2].step = 16;
    EXPECT_FALSE(acceptBar(bar, house, noKicks()));

    // The kick pushes unanchored notes off step 4 and the like, not the anchor on step 0.
    const KickContext kick = fourOnTheFloor(-1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(acceptBar(validHouseBar(), house, kick));
    bar = validHouseBar();
    bar[2].step = 12;
    EXPECT_FALSE(acceptBar(bar, house, kick));
}

TEST(BarAcceptance, OrderAndLeaps) {
    const GenreRules& house = genreRules(kHouse);
    EXPECT_FALSE(acceptBar({anchor(0), note(10), note(6)}, house, noKicks()));
    EXPECT_FALSE(acceptBar({anchor(0), note(6), note(6)}, house, noKicks()));
    BarNotes bar = validHouseBar();
    bar[1].degree = 13;
    EXPECT_FALSE(acceptBar(bar, house, noKicks())) << "a leap of 13";
    bar[1].degree = -12;
    EXPECT_FALSE(acceptBar(bar, house, noKicks())) << "-12 then 7: a leap of 19";
    bar[1].degree = INT_MIN;
    EXPECT_FALSE(acceptBar(bar, house, noKicks()));
}

TEST(BarAcceptance, NeedsAnAnchorNoShorterThanTheShortestFreeNote) {
    const GenreRules& house = genreRules(kHouse);
    BarNotes bar = validHouseBar();
    bar[0].anchor = 0;
    EXPECT_FALSE(acceptBar(bar, house, noKicks())) << "no anchor";

    bar = {anchor(0, 0, 0.5f), note(6, 0, 0.4f), note(10, 0, 0.9f)};
    EXPECT_TRUE(acceptBar(bar, house, noKicks()));
    bar[1].gate = 0.9f;
    EXPECT_FALSE(acceptBar(bar, house, noKicks()));
}

}  // namespace
}  // namespace tarn
