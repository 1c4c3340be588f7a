// Each mutation kind on hand-built bars with chosen random states, and the weighted variation.
#include "engine/bar_mutations.h"

#include <gtest/gtest.h>

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

constexpr int kHouse = 0, kTechno = 1, kAcid = 2, kDnb = 4;

KickContext noKicks() { return KickContext{}; }

struct Outcome {
    BarNotes notes;
    int draws;
};

Outcome mutate(BarNotes notes, int genre, int kind, std::uint32_t state,
               const KickContext& ctx = noKicks()) {
    const std::uint32_t start = state;
    applyMutation(notes, genreRules(genre), ctx, state, kind);
    return {notes, stepsTaken(start, state)};
}

// Draw helpers for choosing states: each consumes what the mutation will consume.
bool choose(std::uint32_t& s, int n, int index) { return randomChoice(s, n) == index; }
bool later(std::uint32_t& s) { return unitDraw(s) >= 0.5f; }
bool earlier(std::uint32_t& s) { return unitDraw(s) < 0.5f; }

TEST(NudgeMutation, MovesTheStepNotTheNudgeAndKeepsTheGate) {
    // The note on 4 goes one step later; its gate (2.5) now runs past the next note and stays:
    // this mutation only re-sorts, it does not clamp.
    const BarNotes bar = {anchor(0), note(4, 0, 2.5f), note(7)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 3, 1) && later(s); });
    const Outcome out = mutate(bar, kTechno, kMutateNudge, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 5, 7}));
    EXPECT_EQ(out.notes[1].gate, 2.5f);
    EXPECT_EQ(out.notes[1].nudge, 0.0f);
    EXPECT_EQ(out.draws, 2);
}

TEST(NudgeMutation, TriesTwoStepsAwayAndResorts) {
    const BarNotes bar = {anchor(0), note(4, 4), note(5, 5), note(9, 9)};
    auto state = stateWhere([](std::uint32_t s) { return choose(s, 4, 1) && later(s); });
    EXPECT_EQ(stepsOf(mutate(bar, kTechno, kMutateNudge, state).notes), (Steps{0, 5, 6, 9}));

    state = stateWhere([](std::uint32_t s) { return choose(s, 4, 3) && earlier(s); });
    const Outcome out = mutate(bar, kTechno, kMutateNudge, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 4, 5, 8}));
    EXPECT_EQ(out.notes[3].degree, 9);

    // The note on 2 going earlier finds 1 and 0 taken: no change, but both draws were made.
    const BarNotes packed = {anchor(0), note(1), note(2), note(3)};
    state = stateWhere([](std::uint32_t s) { return choose(s, 4, 2) && earlier(s); });
    const Outcome blocked = mutate(packed, kTechno, kMutateNudge, state);
    EXPECT_EQ(stepsOf(blocked.notes), (Steps{0, 1, 2, 3}));
    EXPECT_EQ(blocked.draws, 2);
}

TEST(NudgeMutation, AnchorsStayOnAnchorStepsAndKickedStepsAreAvoided) {
    // House anchors may sit on 0 or 2.
    auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 0) && later(s); });
    EXPECT_EQ(stepsOf(mutate({anchor(0), note(6)}, kHouse, kMutateNudge, state).notes), (Steps{2, 6}));
    // Techno anchors: 0 or 8, both out of reach from 8.
    EXPECT_EQ(stepsOf(mutate({anchor(8), note(12)}, kTechno, kMutateNudge, state).notes), (Steps{8, 12}));

    KickContext kick;
    kick.kickMask = 0x1111;
    kick.weights = {-1.0f, 0.0f, 0.0f, 0.0f};
    state = stateWhere([](std::uint32_t s) { return choose(s, 2, 1) && later(s); });
    EXPECT_EQ(stepsOf(mutate({anchor(0), note(3)}, kTechno, kMutateNudge, state, kick).notes),
              (Steps{0, 5}))
        << "4 holds a kick that pushes notes away";
}

TEST(NudgeMutation, EmptyBarMakesNoDraw) {
    EXPECT_EQ(mutate({}, kTechno, kMutateNudge, 99).draws, 0);
}

TEST(DropMutation, RemovesAnUnanchoredNote) {
    const BarNotes bar = {anchor(0), note(4), note(8)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 1); });
    const Outcome out = mutate(bar, kTechno, kMutateDrop, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 4}));
    EXPECT_EQ(out.draws, 1);

    const Outcome anchorsOnly = mutate({anchor(0), anchor(8)}, kTechno, kMutateDrop, 5);
    EXPECT_EQ(anchorsOnly.notes.size(), 2u);
    EXPECT_EQ(anchorsOnly.draws, 0);
}

TEST(AddMutation, AddsANeighbourWithAFreshDegreeAndTheShortestGate) {
    BarNotes bar = {anchor(0), note(4, 0, 0.9f, 0.6f)};
    bar[1].nudge = -0.1f;
    // Note 1, later, Acid degree candidate 2 (3), slide draw under 0.35.
    const auto state = stateWhere([](std::uint32_t s) {
        return choose(s, 2, 1) && later(s) && choose(s, 6, 2) && unitDraw(s) < 0.35f;
    });
    const Outcome out = mutate(bar, kAcid, kMutateAdd, state);
    ASSERT_EQ(stepsOf(out.notes), (Steps{0, 4, 5}));
    const PatternNote& added = out.notes[2];
    EXPECT_EQ(added.degree, 3);
    EXPECT_EQ(added.gate, 0.5f);
    EXPECT_EQ(added.accent, 0.7f * 0.6f);
    EXPECT_EQ(added.slide, 1);
    EXPECT_EQ(added.anchor, 0);
    EXPECT_EQ(added.nudge, -0.1f);
    EXPECT_EQ(out.draws, 4);
}

TEST(AddMutation, AnUnusableTargetEndsTheMutationBeforeTheNoteDraws) {
    const BarNotes bar = {anchor(0), note(1)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 0) && later(s); });
    const Outcome taken = mutate(bar, kAcid, kMutateAdd, state);
    EXPECT_EQ(stepsOf(taken.notes), (Steps{0, 1}));
    EXPECT_EQ(taken.draws, 2);

    const auto before = stateWhere([](std::uint32_t s) { return choose(s, 2, 0) && earlier(s); });
    EXPECT_EQ(mutate(bar, kAcid, kMutateAdd, before).notes.size(), 2u) << "step -1";
}

TEST(AddMutation, TheSlideDrawIsMadeEvenWithoutASlideChance) {
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 1) && later(s); });
    const Outcome out = mutate({anchor(0), note(4)}, kTechno, kMutateAdd, state);
    ASSERT_EQ(out.notes.size(), 3u);
    EXPECT_EQ(out.notes[2].slide, 0);
    EXPECT_EQ(out.draws, 4);
}

TEST(OctaveMutation, FlipsRootAndOctaveOfAnUnanchoredNote) {
    const BarNotes bar = {anchor(0, 0), note(4, 0), note(8, 12), note(10, 7)};
    auto flipped = [&](int pick) {
        const auto state = stateWhere([pick](std::uint32_t s) { return choose(s, 3, pick); });
        return mutate(bar, kTechno, kMutateOctave, state).notes;
    };
    EXPECT_EQ(flipped(0)[1].degree, 12);
    EXPECT_EQ(flipped(1)[2].degree, 0);
    EXPECT_EQ(flipped(2)[3].degree, 7);
    EXPECT_EQ(flipped(0)[0].degree, 0) << "the anchor is never touched";
}

TEST(DegreeMutation, GivesAnUnanchoredNoteANewDegree) {
    const BarNotes bar = {anchor(0, 0), note(4, 0)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 1, 0) && choose(s, 4, 3); });
    const Outcome out = mutate(bar, kHouse, kMutateDegree, state);
    EXPECT_EQ(out.notes[1].degree, 10);  // House candidate 3
    EXPECT_EQ(out.notes[0].degree, 0);
    EXPECT_EQ(out.draws, 2);
    EXPECT_EQ(mutate({anchor(0)}, kHouse, kMutateDegree, 3).draws, 0);
}

TEST(GateMutation, ChoosesAGateThatFitsTheRoomOrTheShortest) {
    // House gates 0.5 0.9 1.5 2.5; the note on 4 has two steps of room: 0.5, 0.9 or 1.5.
    const BarNotes bar = {anchor(0), note(4, 0, 0.5f), note(6)};
    auto state = stateWhere([](std::uint32_t s) { return choose(s, 3, 1) && choose(s, 3, 2); });
    Outcome out = mutate(bar, kHouse, kMutateGate, state);
    EXPECT_EQ(out.notes[1].gate, 1.5f);
    EXPECT_EQ(out.draws, 2);

    // Before a slide the room counts as a whole bar: 2.5 becomes possible.
    const BarNotes sliding = {anchor(0), note(4, 0, 0.5f), slide(6, 12)};
    state = stateWhere([](std::uint32_t s) { return choose(s, 3, 1) && choose(s, 4, 3); });
    EXPECT_EQ(mutate(sliding, kHouse, kMutateGate, state).notes[1].gate, 2.5f);

    // DnB: one step of room and gates[1] (2.5) is already longer: gates[0], still one draw.
    state = stateWhere([](std::uint32_t s) { return choose(s, 2, 0); });
    out = mutate({anchor(0, 0, 5.0f), note(1)}, kDnb, kMutateGate, state);
    EXPECT_EQ(out.notes[0].gate, 0.9f);
    EXPECT_EQ(out.draws, 2);
}

TEST(GateMutation, TheLastNoteIgnoresTheFirstNotesSlideFlag) {
    // Room to the next bar is 2 steps: 0.5, 0.9 or 1.5, never the whole-bar room of a slide.
    const BarNotes bar = {slide(0, 12), note(14, 0, 0.5f)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 1) && choose(s, 3, 2); });
    EXPECT_EQ(mutate(bar, kHouse, kMutateGate, state).notes[1].gate, 1.5f);
}

// Techno: at least 5 notes, gates 0.4 0.9 1.5 2.5.
TEST(DropRunMutation, RemovesARunAndLengthensTheNoteBefore) {
    const BarNotes bar = {anchor(0), note(2, 0, 0.4f), note(4), note(6), note(8), note(10),
                          note(12), note(14)};
    // Three spare notes: length 2 + choice among 2, start among 8 - length + 1.
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 0) && choose(s, 7, 2); });
    const Outcome out = mutate(bar, kTechno, kMutateDropRun, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 2, 8, 10, 12, 14}));
    EXPECT_EQ(out.notes[1].gate, 0.9f) << "0.9 fits in half of the six steps of room";
    EXPECT_EQ(out.draws, 2);

    const auto three = stateWhere([](std::uint32_t s) { return choose(s, 2, 1) && choose(s, 6, 5); });
    EXPECT_EQ(stepsOf(mutate(bar, kTechno, kMutateDropRun, three).notes), (Steps{0, 2, 4, 6, 8}));
}

TEST(DropRunMutation, TheNextGateMustFitInHalfTheNewRoom) {
    // Removing 2 and 3 leaves three steps from 1 to 4: 2.5 would fit the room but not half of it.
    const BarNotes bar = {anchor(0), note(1, 0, 1.5f), note(2), note(3), note(4), note(8),
                          note(10), note(12)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 2, 0) && choose(s, 7, 2); });
    Outcome out = mutate(bar, kTechno, kMutateDropRun, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 1, 4, 8, 10, 12}));
    EXPECT_EQ(out.notes[1].gate, 1.5f);

    BarNotes shorter = bar;
    shorter[1].gate = 0.9f;  // 1.5 is exactly half of 3: it fits
    out = mutate(shorter, kTechno, kMutateDropRun, state);
    EXPECT_EQ(out.notes[1].gate, 1.5f);
}

TEST(DropRunMutation, AnchorsSpareTheRunAfterBothDraws) {
    const BarNotes bar = {anchor(0), note(2), note(4), note(6), note(8), note(10), note(12)};
    const auto state = stateWhere([](std::uint32_t s) { return choose(s, 1, 0) && choose(s, 6, 0); });
    const Outcome out = mutate(bar, kTechno, kMutateDropRun, state);
    EXPECT_EQ(out.notes.size(), 7u);
    EXPECT_EQ(out.draws, 2);

    // Six notes, five needed: no room for a run, and no draw.
    const BarNotes small = {anchor(0), note(2), note(4), note(6), note(8), note(10)};
    EXPECT_EQ(mutate(small, kTechno, kMutateDropRun, 11).draws, 0);
}

TEST(RotateMutation, ShiftsEveryUnanchoredNoteAroundTheBar) {
    const BarNotes bar = {anchor(0), note(4, 4), note(9, 9)};
    auto state = stateWhere([](std::uint32_t s) { return earlier(s) && (nextRandom(s) & 1u) == 1; });
    Outcome out = mutate(bar, kTechno, kMutateRotate, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 2, 7}));
    EXPECT_EQ(out.draws, 2);

    state = stateWhere([](std::uint32_t s) { return later(s) && (nextRandom(s) & 1u) == 0; });
    EXPECT_EQ(stepsOf(mutate(bar, kTechno, kMutateRotate, state).notes), (Steps{0, 5, 10}));

    state = stateWhere([](std::uint32_t s) { return later(s) && (nextRandom(s) & 1u) == 1; });
    out = mutate({anchor(0), note(15, 3)}, kTechno, kMutateRotate, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 1}));
    EXPECT_EQ(out.notes[1].degree, 3);
}

TEST(RotateMutation, RefusesCollisionsAndKickedSteps) {
    auto state = stateWhere([](std::uint32_t s) { return later(s) && (nextRandom(s) & 1u) == 0; });
    Outcome out = mutate({anchor(0), note(15)}, kTechno, kMutateRotate, state);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 15})) << "15 + 1 lands on the anchor";
    EXPECT_EQ(out.draws, 2);

    KickContext kick;
    kick.kickMask = 0x1111;
    kick.weights = {-1.0f, 0.0f, 0.0f, 0.0f};
    out = mutate({anchor(0), note(3), note(6)}, kTechno, kMutateRotate, state, kick);
    EXPECT_EQ(stepsOf(out.notes), (Steps{0, 3, 6})) << "3 + 1 lands on a kick";
}

TEST(MutationKinds, KindsOutsideTheTableDoNothing) {
    for (int kind : {-1, 8, 1000}) {
        const Outcome out = mutate({anchor(0), note(4)}, kTechno, kind, 7);
        EXPECT_EQ(stepsOf(out.notes), (Steps{0, 4}));
        EXPECT_EQ(out.draws, 0);
    }
}

TEST(BarVariation, NoCountNoChangeAndNoDraw) {
    const BarNotes bar = {anchor(0), note(6), note(10)};
    for (int count : {0, -3}) {
        std::uint32_t rng = 9;
        EXPECT_EQ(stepsOf(varyPattern(bar, genreRules(kHouse), noKicks(), rng, count)), (Steps{0, 6, 10}));
        EXPECT_EQ(rng, 9u);
    }
}

TEST(BarVariation, TheKindIsDrawnByWeightInKindOrder) {
    GenreRules rules = genreRules(kHouse);
    rules.mutationWeights = {0.5f, 0.5f, 0, 0, 0, 0, 0, 0};  // nudge or drop
    const BarNotes bar = {anchor(0), note(6), note(10)};

    // r = u x 1.0; u above 0.5 leaves r above the nudge weight: a drop.
    auto state = stateWhere([](std::uint32_t s) { return unitDraw(s) > 0.5f; });
    EXPECT_EQ(varyPattern(bar, rules, noKicks(), state, 1).size(), 2u);
    state = stateWhere([](std::uint32_t s) {
        return unitDraw(s) < 0.5f && choose(s, 3, 1) && later(s);
    });
    EXPECT_EQ(stepsOf(varyPattern(bar, rules, noKicks(), state, 1)), (Steps{0, 7, 10}));
}

TEST(BarVariation, GivesUpAfterThirtyTwoAttempts) {
    GenreRules rules = genreRules(kHouse);
    rules.mutationWeights = {0, 0, 0, 1.0f, 0, 0, 0, 0};  // octave flips only
    // A run of three can never pass, whatever the octave: every attempt fails.
    const BarNotes bar = {anchor(0), note(2), note(3), note(4)};
    std::uint32_t rng = 12345;
    const std::uint32_t start = rng;
    const BarNotes out = varyPattern(bar, rules, noKicks(), rng, 1);
    EXPECT_EQ(stepsOf(out), (Steps{0, 2, 3, 4}));
    for (std::size_t i = 0; i < bar.size(); ++i) EXPECT_EQ(out[i].degree, bar[i].degree);
    EXPECT_EQ(stepsTaken(start, rng, 100), 64) << "32 attempts of a kind draw and a note choice";
}

TEST(BarVariation, EveryResultPassesTheRulesOrIsTheInput) {
    for (int genre = 0; genre < kGenreCount; ++genre) {
        const GenreRules& rules = genreRules(genre);
        const NoteTemplate& tpl = rules.templates[0];
        const BarNotes bar(tpl.notes, tpl.notes + tpl.count);
        KickContext ctx;
        ctx.kickMask = rules.defaultKick;
        for (std::uint32_t seed = 1; seed <= 300; ++seed) {
            std::uint32_t rng = seedRandom(seed);
            const BarNotes out = varyPattern(bar, rules, ctx, rng, 3);
            const bool unchanged = stepsOf(out) == stepsOf(bar);
            EXPECT_TRUE(acceptBar(out, rules, ctx) || unchanged) << genreName(genre) << " " << seed;
        }
    }
}

}  // namespace
}  // namespace tarn
