// A note written with a click on the pattern tab: one step long, accented 0.7, selected, and shown so
// in the note editor under the roll.
#include "app/editor.h"
#include "app/pattern_grid.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarn {
namespace {

using testing::EditorFrames;

TEST(PatternNotes, AClickOnAnEmptyCellWritesAOneStepNoteAccentedSevenTenthsAndSelectsIt) {
    // clang-format off
    const struct { int bar; float step; int row; int writtenStep; } cases[] = {
        {0, 0.2f,  0, 0},
        {1, 9.5f,  3, 9},
        {3, 15.9f, 7, 15},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(3, 900, 2400);  // tall enough for the whole roll
        tab.run();
        ASSERT_TRUE(tab.frames.clickText(tab.editor, "Clear"));
        // Each bar's grid, then its kick row, top to bottom: the boxes of their fill as wide as the roll.
        std::vector<ui::Rect> boxes = tab.boxes(0xb30d1108, ui::Rect{0, 0, 900, 2400});
        std::erase_if(boxes, [](const ui::Rect& r) { return r.w < 400.0f; });
        std::sort(boxes.begin(), boxes.end(), [](const ui::Rect& a, const ui::Rect& b) { return a.y < b.y; });
        const ui::Rect grid = boxes.at(static_cast<std::size_t>(2 * c.bar));
        const PatternRows rows = patternRows(tab.editor.pattern);
        const float rowHeight = grid.h / static_cast<float>(rows.count);
        tab.frames.click(tab.editor, ImVec2(grid.x + grid.w * c.step / 16.0f,
                                            grid.y + rowHeight * (static_cast<float>(c.row) + 0.5f)));

        const auto& notes = tab.editor.pattern.bars.at(static_cast<std::size_t>(c.bar));
        ASSERT_EQ(notes.size(), 1u) << c.bar;
        const PatternNote& note = notes[0];
        EXPECT_EQ(note.step, c.writtenStep);
        EXPECT_EQ(note.degree, rows.degrees[static_cast<std::size_t>(c.row)]);
        EXPECT_EQ(note.gate, 1.0f);
        EXPECT_EQ(note.accent, 0.7f);
        EXPECT_TRUE(note.slide == 0 && note.anchor == 0 && note.nudge == 0.0f);
        EXPECT_TRUE(tab.editor.patternPanel.bar == c.bar && tab.editor.patternPanel.selectedNote == 0);
        for (const char* shown : {"1.00 steps", "0.700", "0.00 steps"})
            EXPECT_TRUE(tab.frames.findText(shown)) << shown;
    }
}

}  // namespace
}  // namespace tarn
