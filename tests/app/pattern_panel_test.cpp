// The pattern tab driven as a user drives it in the headless editor: generating, writing notes,
// looping a bar, the kick row and the bar tools, and what of it the editor then plays.
#include "app/editor.h"
#include "app/pattern_grid.h"
#include "engine/pattern_generator.h"
#include "tests/app/panel_frames.h"
#include "tests/storage/pattern_test_support.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>

namespace tarn {
namespace {

using test::firstPatternDifference;
using testing::AppEnvironment;
using testing::EditorFrames;
using ui::testing::pointer;

// Shapes filled in one colour anywhere on the display.
std::vector<ui::Rect> shapes(testing::EditorTab& tab, std::uint32_t argb) {
    return tab.boxes(argb, ui::Rect{0.0f, 0.0f, tab.frames.display.x, tab.frames.display.y});
}
// Every bar's grid, then its kick row, top to bottom: the boxes of their fill colour as wide as the roll.
std::vector<ui::Rect> rollBoxes(testing::EditorTab& tab) {
    std::vector<ui::Rect> boxes = shapes(tab, 0xb30d1108);
    std::erase_if(boxes, [](const ui::Rect& r) { return r.w < 400.0f; });
    std::sort(boxes.begin(), boxes.end(), [](const ui::Rect& a, const ui::Rect& b) { return a.y < b.y; });
    return boxes;
}

// Tall enough for all sixteen bars.
class PatternTab : public ::testing::Test, public testing::EditorTab {
public:
    PatternTab() : EditorTab(3, 900.0f, 2400.0f) {
        editor.pattern.kicks = {0x1111, 0x1111, 0x1111, 0x1011};
        frames.frame(editor);
    }

    // Where the user points: a step position and a pitch in a bar's grid, a bar's gutter, a kick step.
    ui::Rect box(int i) { return rollBoxes(*this).at(static_cast<std::size_t>(i)); }
    ImVec2 cell(int bar, float step, int degree) {
        const ui::Rect g = box(2 * bar);
        const PatternRows rows = patternRows(editor.pattern);
        return {g.x + g.w * step / 16.0f,
                g.y + g.h * (static_cast<float>(rows.rowOf(degree)) + 0.5f) / static_cast<float>(rows.count)};
    }
    ImVec2 gutter(int bar) { return {box(2 * bar).x - 22.0f, EditorFrames::centre(box(2 * bar)).y}; }
    ImVec2 kick(int bar, int step) {
        return {cell(bar, static_cast<float>(step) + 0.5f, 0).x, EditorFrames::centre(box(2 * bar + 1)).y};
    }

    void click(ImVec2 p) { frames.click(editor, p); }
    void clickText(std::string_view text) { click(EditorFrames::centre(frames.findText(text).value())); }
    bool shows(std::string_view text) const { return frames.findText(text).has_value(); }
    // Pressed at `from` and held through the middle to `to`; then, unless held on, let go.
    void drag(ImVec2 from, ImVec2 to, bool thenLetGo = true, bool rightButton = false) {
        frames.frame(editor, pointer(from.x, from.y));
        frames.right = rightButton;
        for (ImVec2 p : {from, ImVec2((from.x + to.x) / 2.0f, (from.y + to.y) / 2.0f), to})
            frames.frame(editor, pointer(p.x, p.y, !rightButton));
        frames.right = false;
        if (thenLetGo) letGo();
    }
    // Both buttons up, and one more frame to show the outcome.
    void letGo() {
        frames.frame(editor);
        frames.frame(editor);
    }

    // The editor plays the pattern as it now stands (the looped bar alone), rebuilt since the edit.
    bool playsThePattern() const {
        Pattern line = editor.pattern;
        if (editor.loopBar >= 0) line.bars = {line.bars.at(static_cast<std::size_t>(editor.loopBar))};
        const std::vector<NoteEvent> want = patternToNotes(line);
        return editor.patternDrives && std::equal(editor.notes.begin(), editor.notes.end(), want.begin(), want.end(),
                                                  [](const NoteEvent& a, const NoteEvent& b) {
                                                      return a.start == b.start && a.length == b.length &&
                                                             a.note == b.note && a.velocity == b.velocity;
                                                  });
    }
    // One bar's notes as "step/degree/gate/accent" words.
    std::string notesOf(int bar) const { return words(editor.pattern.bars.at(static_cast<std::size_t>(bar))); }
    static std::string words(const std::vector<PatternNote>& notes) {
        std::string out;
        for (const PatternNote& n : notes)
            out += std::to_string(n.step) + "/" + std::to_string(n.degree) + "/" + std::to_string(n.gate).substr(0, 4) +
                   "/" + std::to_string(n.accent).substr(0, 4) + " ";
        return out;
    }
};

TEST_F(PatternTab, SeedIsStoredOnEnterAndGenerateGivesTheGeneratorsPatternToPlay) {
    Pattern settings = editor.pattern;
    settings.seed = 1234;
    clickText("42");
    frames.frame(editor, ui::testing::typing("1234"));
    frames.frame(editor, ui::testing::keys({ImGuiKey_Enter}));
    EXPECT_EQ(firstPatternDifference(editor.pattern, settings), "");
    EXPECT_FALSE(editor.patternDrives) << "the demo line plays on";

    const ImVec2 button = EditorFrames::centre(*frames.findText("Generate"));
    for (bool down : {false, true, false}) frames.frame(editor, pointer(button.x, button.y, down));
    EXPECT_EQ(firstPatternDifference(editor.pattern, generatePattern(settings)), "");
    EXPECT_EQ(editor.patternPanel.selectedNote, -1);
    frames.frame(editor);
    EXPECT_TRUE(playsThePattern());
    EXPECT_EQ(editor.patternPanel.bar, 0);
    EXPECT_EQ(editor.patternPanel.selectedNote, 0);
}

TEST_F(PatternTab, EnergyDragRegeneratesOnceWhenLetGo) {
    const ui::Rect slider = *frames.findText("Energy 0.35");
    Pattern held = editor.pattern;
    const ImVec2 middle = EditorFrames::centre(slider);
    drag(middle, ImVec2(middle.x + 40.0f, middle.y), false);
    held.energy = editor.pattern.energy;
    EXPECT_EQ(firstPatternDifference(editor.pattern, held), "") << "the notes stay while the slider is held";
    EXPECT_TRUE(shows("House: Deep *"));
    EXPECT_FALSE(editor.patternDrives);

    letGo();
    EXPECT_EQ(firstPatternDifference(editor.pattern, generatePattern(held)), "");
    EXPECT_TRUE(playsThePattern());
}

// The box shows the line's own length, marks that count alone as current, and changes the line only when
// another count is picked: closing it, or picking the count it has, keeps every bar.
TEST_F(PatternTab, TheBarCountShowsTheLinesLengthAndOnlyAnotherCountChangesIt) {
    // clang-format off
    const struct { std::size_t bars; const char* picked; std::size_t after; } cases[] = {
        {24, nullptr, 24}, {10000, nullptr, 10000}, {1, nullptr, 1},
        {16, "16 bars", 16}, {24, "16 bars", 16}, {1, "4 bars", 4},
    };
    // clang-format on
    const std::vector<PatternNote> bar = editor.pattern.bars.at(0);
    for (const auto& c : cases) {
        editor.pattern.bars.assign(c.bars, bar);
        editor.pattern.kicks.assign(c.bars, 0x1111);
        const std::string count = std::to_string(c.bars) + (c.bars == 1 ? " bar" : " bars");
        frames.frame(editor);
        clickText(count);
        std::vector<std::string> marked;
        for (const char* entry : {"4 bars", "8 bars", "16 bars"}) {
            const ui::Rect at = frames.findText(entry, entry == count ? 1 : 0).value();
            for (const ui::Rect& box : shapes(*this, 0xFF3E5827))
                if (box.x <= at.x && at.x + at.w <= box.x + box.w && box.y <= at.y && at.y + at.h <= box.y + box.h)
                    marked.push_back(entry);
        }
        EXPECT_EQ(marked, c.bars == 16 ? std::vector<std::string>{"16 bars"} : std::vector<std::string>{}) << count;
        if (c.picked != nullptr) {
            click(EditorFrames::centre(frames.findText(c.picked, c.picked == count ? 1 : 0).value()));
        } else {
            click(ImVec2(880.0f, 2380.0f));  // beside the box: it closes
        }
        EXPECT_FALSE(shows("8 bars")) << count << ": the box closed";
        ASSERT_EQ(editor.pattern.bars.size(), c.after) << count;
        for (std::size_t b = 0; b < std::min(c.bars, c.after); ++b) ASSERT_EQ(words(editor.pattern.bars[b]), words(bar));
    }
}

TEST_F(PatternTab, BarCountAddsOrDropsBarsAndClearKeepsTheKick) {
    const Pattern before = editor.pattern;
    clickText("4 bars");
    clickText("16 bars");
    ASSERT_EQ(editor.pattern.bars.size(), 16u);
    for (std::size_t b = 4; b < 16; ++b) EXPECT_TRUE(editor.pattern.bars[b].empty() && editor.pattern.kicks[b] == 0);
    EXPECT_TRUE(playsThePattern());
    clickText("16 bars");
    clickText("4 bars");
    EXPECT_EQ(firstPatternDifference(editor.pattern, before), "");

    clickText("Clear");
    for (const auto& bar : editor.pattern.bars) EXPECT_TRUE(bar.empty());
    EXPECT_EQ(editor.pattern.kicks, before.kicks);
    EXPECT_TRUE(shows("No note selected."));
    EXPECT_TRUE(editor.notes.empty());
}

// Hovered past the tooltip delay, each control explains itself, and only itself.
TEST_F(PatternTab, ControlsExplainThemselvesOnHover) {
    // clang-format off
    const struct { const char* control; const char* explains; } cases[] = {
        {"42",          "The same seed always gives the same pattern."},
        {"Clear",       "Empties the bass, keeping the key and the kick."},
        {"Energy 0.35", "How much the bass plays"},
        {"Swing",       "Delays the offbeat sixteenths."},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::optional<ui::Rect> control = frames.findText(c.control);
        ASSERT_TRUE(control) << c.control;
        const testing::WidgetInput hover = testing::at(EditorFrames::centre(*control));
        for (int i = 0; i < 60; ++i) frames.frame(editor, hover);
        std::string logged;
        frames.frameWith(hover, [&](const ui::FrameInfo& info) {
            logged = ui::testing::loggedText([&] { editor.draw(info); });
        });
        for (const auto& other : cases)
            EXPECT_EQ(logged.find(other.explains) != std::string::npos, &other == &c) << c.control << ": " << other.explains;
    }
}

// Each gesture acts on bar 2 of an emptied pattern, after the gestures above it.
TEST_F(PatternTab, NotesAreWrittenWithTheMouse) {
    struct Gesture {
        const char* what;
        std::function<void(PatternTab&)> act;
        std::string notes;  // bar 2 afterwards
        int selected;
    };
    const Gesture gestures[] = {
        {"a click on an empty cell adds a note", [](auto& t) { t.click(t.cell(1, 9.5f, 7)); }, "9/7/1.00/0.70 ", 0},
        {"a click on the same step in another row adds nothing", [](auto& t) { t.click(t.cell(1, 9.5f, 0)); },
         "9/7/1.00/0.70 ", 0},
        {"a second note sorts in before it", [](auto& t) { t.click(t.cell(1, 8.5f, 0)); }, "8/0/1.00/0.70 9/7/1.00/0.70 ", 0},
        {"dragged onto a taken step only its row moves",
         [](auto& t) { t.drag(t.cell(1, 8.5f, 0), t.cell(1, 9.5f, 12)); }, "8/12/1.00/0.70 9/7/1.00/0.70 ", 0},
        {"dragging the body moves step and row", [](auto& t) { t.drag(t.cell(1, 8.5f, 12), t.cell(1, 4.5f, 3)); },
         "4/3/1.00/0.70 9/7/1.00/0.70 ", 0},
        {"the right edge sets the length in quarter steps",
         [](auto& t) { t.drag(t.cell(1, 4.95f, 3), t.cell(1, 7.3f, 3)); }, "4/3/3.25/0.70 9/7/1.00/0.70 ", 0},
        {"held past the start it stays a quarter step, without rebuilding the line every frame",
         [](auto& t) {
             const ImVec2 left = t.cell(1, 1.0f, 3);
             t.drag(t.cell(1, 7.25f, 3), left, false);
             for (int i = 0; i < 3; ++i) {
                 t.frames.frame(t.editor, pointer(left.x, left.y, true));
                 EXPECT_FALSE(t.editor.dirty) << "held frame " << i;
             }
             t.letGo();
         },
         "4/3/0.25/0.70 9/7/1.00/0.70 ", 0},
        {"a right click erases", [](auto& t) { t.drag(t.cell(1, 9.2f, 7), t.cell(1, 9.2f, 7), true, true); },
         "4/3/0.25/0.70 ", -1},
    };
    clickText("Clear");
    for (const Gesture& g : gestures) {
        g.act(*this);
        EXPECT_EQ(notesOf(1), g.notes) << g.what;
        EXPECT_EQ(editor.patternPanel.selectedNote, g.selected) << g.what;
        EXPECT_TRUE(playsThePattern()) << g.what;
    }
}

TEST_F(PatternTab, GutterLoopsOneBarUntilClickedAgainOrCutAway) {
    click(gutter(2));
    EXPECT_TRUE(shows("Looping bar 3 only"));
    EXPECT_EQ(editor.loopBeats, 4.0);
    EXPECT_TRUE(playsThePattern());
    click(gutter(2));
    EXPECT_TRUE(shows("Click a bar number to loop it on its own"));
    EXPECT_EQ(editor.loopBeats, 16.0);

    clickText("4 bars");
    clickText("16 bars");
    click(gutter(12));
    EXPECT_TRUE(shows("Looping bar 13 only"));
    clickText("16 bars");
    clickText("4 bars");
    EXPECT_TRUE(shows("Click a bar number to loop it on its own"));
    EXPECT_EQ(editor.loopBar, -1);
    EXPECT_EQ(editor.loopBeats, 16.0);
}

TEST_F(PatternTab, KickRowAndBarTools) {
    click(kick(1, 2));
    EXPECT_EQ(editor.pattern.kicks[1], 0x1115);
    clickText("Copy kick to all");
    EXPECT_EQ(editor.pattern.kicks, std::vector<std::uint16_t>(4, 0x1115));
    EXPECT_FALSE(editor.patternDrives) << "the kick changes nothing that plays";

    const auto repeatMarks = [&] {
        std::vector<int> bars;
        for (const auto& glyph : frames.drawnGlyphs())
            for (int b = 0; b < 4; ++b)
                if (glyph.codepoint == '=' && glyph.min.y >= box(2 * b).y && glyph.max.y <= box(2 * b).y + box(2 * b).h)
                    bars.push_back(b);
        return bars;
    };
    clickText("Copy bar to all");
    EXPECT_EQ(repeatMarks(), (std::vector<int>{1, 2, 3}));
    clickText("Clear bar");
    EXPECT_TRUE(editor.pattern.bars[1].empty());
    EXPECT_EQ(repeatMarks(), (std::vector<int>{3}));
    EXPECT_TRUE(playsThePattern());
}

// "Clear bar" acts on the bar it names, pressed once or twice, however that bar was chosen; a new
// pattern then selects bar 1's first note again.
TEST_F(PatternTab, ClearBarPressedTwiceEmptiesOnlyTheBarItNames) {
    // clang-format off
    const struct { const char* what; int bar; std::function<void(PatternTab&)> choose; } cases[] = {
        {"looped by its number",   1, [](auto& t) { t.click(t.gutter(1)); }},
        {"a note of it selected",  2, [](auto& t) { t.click(t.cell(2, 0.5f, t.editor.pattern.bars[2][0].degree)); }},
        {"a kick step of it",      3, [](auto& t) { t.click(t.kick(3, 5)); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        clickText("Generate");
        frames.frame(editor);
        ASSERT_EQ(editor.patternPanel.selectedNote, 0) << c.what << ": a new pattern selects bar 1's first note";
        const Pattern before = editor.pattern;
        for (std::size_t b = 0; b < before.bars.size(); ++b) ASSERT_FALSE(before.bars[b].empty()) << c.what;
        c.choose(*this);
        for (int press = 1; press <= 2; ++press) {
            clickText("Clear bar");
            EXPECT_TRUE(shows("Bar " + std::to_string(c.bar + 1) + ":")) << c.what << ", press " << press;
            for (std::size_t b = 0; b < before.bars.size(); ++b) {
                const std::string kept = b == static_cast<std::size_t>(c.bar) ? "" : words(before.bars[b]);
                EXPECT_EQ(notesOf(static_cast<int>(b)), kept) << c.what << ", press " << press << ": bar " << b + 1;
            }
            EXPECT_TRUE(playsThePattern()) << c.what;
        }
        if (editor.loopBar >= 0) click(gutter(editor.loopBar));
    }
}

TEST_F(PatternTab, NoteEditorAndSwingRebuildTheLine) {
    for (const char* label : {"Length", "Accent", "Nudge", "Swing"}) {
        const Pattern unedited = editor.pattern;
        const ui::Rect text = *frames.findText(label);
        click(ImVec2(text.x - 12.0f, text.y + text.h / 2.0f));  // the slider's high end, left of its name
        EXPECT_NE(firstPatternDifference(editor.pattern, unedited), "") << label;
        EXPECT_TRUE(playsThePattern()) << label;
    }
}

// At every UI size the gutter (bar number, row names) stands left of the grid with no text over the
// grid, a click anywhere across the gutter loops the bar, and the grid and the kick row answer out to
// their last step inside the window.
TEST(PatternTabSizes, GutterGridAndKickRowAnswerWhereTheyAreDrawn) {
    for (const float scale : {1.0f, 1.25f, 1.5f, 2.0f}) {
        testing::EditorTab tab(3, 1400.0f, 2400.0f);
        ui::setDisplayScale(tab.frames.ui, scale);
        for (auto& bar : tab.editor.pattern.bars) bar.clear();
        tab.editor.pattern.kicks.assign(tab.editor.pattern.bars.size(), 0);
        tab.run();
        const std::vector<ui::Rect> roll = rollBoxes(tab);  // bar 1's grid, its kick row, bar 2's grid ...
        ASSERT_GE(roll.size(), 2u) << scale;
        const ui::Rect grid = roll[0], kicks = roll[1];
        EXPECT_LE(grid.x + grid.w, tab.frames.display.x) << scale << ": the last steps are on screen";
        std::optional<ui::Rect> number;
        for (const ui::testing::DrawnGlyph& g : tab.frames.drawnGlyphs()) {
            EXPECT_FALSE(g.max.x > grid.x && g.min.x < grid.x + grid.w && g.max.y > grid.y && g.min.y < grid.y + grid.h)
                << scale << ": text over the grid, '" << static_cast<char>(g.codepoint) << "' at " << g.min.x;
            if (g.codepoint == '1' && g.min.y >= grid.y && g.max.y <= grid.y + grid.h && !number)
                number = ui::Rect{g.min.x, g.min.y, g.max.x - g.min.x, g.max.y - g.min.y};
        }
        ASSERT_TRUE(number && number->x + number->w < grid.x) << scale << ": bar 1's number left of its grid";

        for (const float across : {0.1f, 0.5f, 0.9f}) {
            const ImVec2 p(std::floor(number->x + across * (grid.x - number->x)), std::floor(grid.y + grid.h / 2));
            tab.run(testing::click(p));
            EXPECT_EQ(tab.editor.patternPanel.loopBar, 0) << scale << ", " << across << " of the gutter";
            EXPECT_TRUE(tab.editor.pattern.bars[0].empty()) << scale << ", " << across << " of the gutter";
            tab.run(testing::click(p));
            EXPECT_EQ(tab.editor.patternPanel.loopBar, -1) << scale << ", " << across << " of the gutter";
        }
        tab.run(testing::click(testing::inside(grid, 15.5f / 16.0f, 0.5f)));
        ASSERT_EQ(tab.editor.pattern.bars[0].size(), 1u) << scale;
        EXPECT_EQ(tab.editor.pattern.bars[0][0].step, 15) << scale;
        tab.run(testing::click(testing::inside(kicks, 15.5f / 16.0f, 0.5f)));
        EXPECT_EQ(tab.editor.pattern.kicks[0], 0x8000) << scale;
    }
}

// The screenshot states: the blank one has kicks and no notes, the generated one notes and a selection.
TEST(PatternTabShot, BlankShowsTheKickAndGeneratedTheNotes) {
    for (const char* word : {"blank", "generated"}) {
        testing::EditorTab tab(3);
        tab.editor.setupScreenshot({"pattern", word});
        tab.frames.frame(tab.editor);
        const bool blank = std::string(word) == "blank";
        EXPECT_EQ(shapes(tab, 0xff456c8c).empty(), !blank) << word << ": the kick lines";
        EXPECT_EQ(tab.frames.findText("No note selected.").has_value(), blank) << word;
        EXPECT_EQ(shapes(tab, 0xffc8e878).empty(), blank) << word << ": the selected note's outline";
    }
}

// Any pattern a session can hold: drawn and hovered without a press, nothing changes and the
// demo line plays on.
TEST(PatternTabRobustness, DrawsAnyPatternWithoutChangingIt) {
    const AppEnvironment env;
    Editor editor(1);
    editor.selectedTab = 3;
    EditorFrames frames;
    std::mt19937 random(11);
    for (int i = 0; i < 40; ++i) {
        editor.pattern = test::randomPattern(random);
        editor.patternPanel = PatternPanelState{};
        const Pattern before = editor.pattern;
        frames.frame(editor);
        frames.frame(editor, pointer(450.0f, 100.0f + static_cast<float>(i) * 10.0f));
        EXPECT_EQ(firstPatternDifference(editor.pattern, before), "") << i;
        EXPECT_FALSE(editor.patternDrives) << i;
    }
}

}  // namespace
}  // namespace tarn
