// A pattern of ten thousand bars on the pattern tab: a frame draws no more than a short pattern's,
// the mouse wheel reaches the last bar, which takes clicks, and a drag outlives its bar's scrolling away.
#include "app/editor.h"
#include "app/pattern_grid.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::EditorFrames;
using testing::WidgetInput;
using ui::testing::pointer;

constexpr int kLongBars = 10000;

// Sixteen generated bars, repeated (with their kicks) to `bars` bars: every bar looks like one of the
// short pattern's.
Pattern repeatedPattern(int bars) {
    Pattern settings(16, 36, 0);
    applyStylePreset(settings, 2);
    settings.seed = 42;
    Pattern pattern = generatePattern(settings);
    pattern.kicks.assign(16, 0x1111);
    for (int b = 16; b < bars; ++b) {
        pattern.bars.push_back(pattern.bars[static_cast<std::size_t>(b % 16)]);
        pattern.kicks.push_back(pattern.kicks[static_cast<std::size_t>(b % 16)]);
    }
    return pattern;
}

// The pattern tab of a 900 x 950 editor playing a pattern of `bars` bars.
struct RollTab : testing::EditorTab {
    explicit RollTab(int bars) : EditorTab(3) {
        editor.pattern = repeatedPattern(bars);
        editor.patternDrives = true;
        editor.dirty = true;
        run();
    }

    std::size_t vertices() const {
        const ui::ContextScope scope(frames.ui);
        return static_cast<std::size_t>(ImGui::GetDrawData()->TotalVtxCount);
    }
    // The grid of the bar whose number is drawn at `number`: the box in the grids' fill as wide as the
    // roll beside it.
    ui::Rect gridBeside(const ui::Rect& number) {
        for (const ui::Rect& r : boxes(0xb30d1108, ui::Rect{0.0f, number.y - 200.0f, frames.display.x, 400.0f}))
            if (r.w > 400.0f && r.w < frames.display.x - 100.0f && r.y <= number.y && number.y <= r.y + r.h) return r;
        return {};
    }
    // Turns the wheel towards the end by `notches` a frame over the roll, for `count` frames, the left
    // button held or not.
    void wheel(float notches, int count, bool held = false) {
        WidgetInput in = pointer(mouse.x, mouse.y, held);
        in.wheel = -notches;
        for (int i = 0; i < count; ++i) frames.frame(editor, in);
    }
    // The wheel turned until the pattern's last bar is in view and a little more: whether it came into view.
    bool wheelToTheEnd() {
        for (int i = 0; i < 1000; ++i) {
            wheel(40.0f, 1);
            if (frames.findText(std::to_string(editor.pattern.bars.size())).has_value()) {
                wheel(40.0f, 5);
                return true;
            }
        }
        return false;
    }

    ImVec2 mouse{450.0f, 400.0f};  // over the roll
};

TEST(LongPatternRoll, AFrameDrawsNoMoreThanForSixteenBars) {
    struct Case {
        const char* where;
        int wheelFrames;  // -1: to the end
    };
    const Case cases[] = {{"at the top", 0}, {"in the middle", 170}, {"at the end", -1}};
    RollTab shortTab(16);
    const std::size_t shortVertices = shortTab.vertices();
    for (const Case& c : cases) {
        RollTab longTab(kLongBars);
        if (c.wheelFrames >= 0)
            longTab.wheel(40.0f, c.wheelFrames);
        else
            EXPECT_TRUE(longTab.wheelToTheEnd()) << c.where;
        EXPECT_LT(longTab.vertices(), shortVertices + shortVertices / 10) << c.where;
        EXPECT_GT(longTab.vertices(), shortVertices - shortVertices / 10) << c.where << ": the roll is drawn";
    }
}

TEST(LongPatternRoll, WheelReachesTheLastBarWhichLoopsAndTakesNotes) {
    RollTab tab(kLongBars);
    ASSERT_TRUE(tab.wheelToTheEnd()) << "the wheel never brought bar 10000 into view";
    const ui::Rect grid = tab.gridBeside(*tab.frames.findText("10000"));
    ASSERT_GT(grid.w, 0.0f);

    tab.frames.click(tab.editor, ImVec2(grid.x - 22.0f, grid.y + grid.h / 2.0f));  // its gutter
    EXPECT_TRUE(tab.frames.findText("Looping bar 10000 only").has_value());
    EXPECT_EQ(tab.editor.loopBar, kLongBars - 1);

    // The top row on the first free step.
    std::vector<PatternNote>& last = tab.editor.pattern.bars.back();
    int step = 0;
    while (hasNoteAt(last, step)) ++step;
    const std::size_t before = last.size();
    tab.frames.click(tab.editor, ImVec2(grid.x + grid.w * (static_cast<float>(step) + 0.5f) / 16.0f, grid.y + 3.0f));
    ASSERT_EQ(last.size(), before + 1) << "no note added to bar 10000";
    const PatternNote& added = last[static_cast<std::size_t>(tab.editor.patternPanel.selectedNote)];
    EXPECT_EQ(added.step, step);
    EXPECT_EQ(added.degree, patternRows(tab.editor.pattern).degrees[0]);
    EXPECT_TRUE(tab.frames.findText("Bar 10000:").has_value());
    Pattern looped = tab.editor.pattern;
    looped.bars = {last};
    EXPECT_EQ(tab.editor.notes.size(), patternToNotes(looped).size()) << "the bar alone plays, with its new note";
}

// The first note of bar 1 is taken by its middle and held while the wheel turns it out of view; the
// mouse then moves right by four steps: the note follows, into the bottom row, as the mouse is below it.
TEST(LongPatternRoll, DragGoesOnWhileItsBarScrollsAway) {
    RollTab tab(kLongBars);
    const ui::Rect grid = tab.gridBeside(*tab.frames.findText("1", 1));  // after the beat number "1"
    const PatternRows rows = patternRows(tab.editor.pattern);
    std::vector<PatternNote>& first = tab.editor.pattern.bars.front();
    const PatternNote note = first.front();
    const int target = note.step + 4;
    ASSERT_FALSE(hasNoteAt(first, target)) << "pick a pattern with step " << target << " free in bar 1";
    const float start = noteStartStep(note, tab.editor.pattern.swing) + 0.1f;
    const ImVec2 grab(grid.x + grid.w * start / 16.0f,
                      grid.y + grid.h * (static_cast<float>(rows.rowOf(note.degree)) + 0.5f) /
                                   static_cast<float>(rows.count));
    tab.mouse = grab;
    tab.frames.frame(tab.editor, pointer(grab.x, grab.y));
    tab.frames.frame(tab.editor, pointer(grab.x, grab.y, true));
    ASSERT_EQ(tab.editor.patternPanel.dragBar, 0);
    tab.wheel(40.0f, 3, true);
    ASSERT_FALSE(tab.frames.findText("1").has_value()) << "the wheel does not scroll bar 1 away while a note is held";

    const ImVec2 moved(grab.x + grid.w * 4.0f / 16.0f, grab.y);
    for (bool held : {true, true, false}) tab.frames.frame(tab.editor, pointer(moved.x, moved.y, held));
    EXPECT_FALSE(hasNoteAt(first, note.step));
    ASSERT_TRUE(hasNoteAt(first, target)) << "the note stopped following the mouse";
    EXPECT_EQ(first[static_cast<std::size_t>(tab.editor.patternPanel.selectedNote)].degree,
              rows.degrees[static_cast<std::size_t>(rows.count - 1)]);
}

}  // namespace
}  // namespace tarn
