// The pattern tab's piano roll: bar blocks of pitch rows over sixteen steps, notes edited with the
// mouse, the kick drawn behind them and toggled in each bar's kick row.
#include "app/pattern_roll.h"

#include "app/arc_panel.h"
#include "engine/bar_notes.h"
#include "engine/generator_tables.h"
#include "engine/kick_relation.h"
#include "engine/pattern_style.h"
#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarn {
namespace {

// Logical pixels.
constexpr float kGutterWidth = 44.0f;  // bar number, repeat mark, row labels
constexpr float kBeatHeader = 15.0f;
constexpr float kKickRowHeight = 11.0f;
constexpr float kBarGap = 6.0f;
constexpr float kMinRowHeight = 9.0f;
constexpr float kMaxRowHeight = 11.0f;
constexpr float kResizeGrab = 8.0f;  // how near a note's end a press starts a resize

// A note shorter than this many steps is still hit over this much, so it can be grabbed.
constexpr float kMinHitSteps = 0.4f;

constexpr std::uint32_t kGridFill = 0xb30d1108;
constexpr std::uint32_t kShade = 0x990e1208;  // bars outside the loop, steps the kick pushes away
constexpr std::uint32_t kFaintLine = 0x1cc8d8a8;
constexpr std::uint32_t kBeatLine = 0x40c8d8a8;
constexpr std::uint32_t kLabel = 0xff6f735a;
constexpr std::uint32_t kOutOfScaleLabel = 0xffd0a828;
constexpr std::uint32_t kSelectedOutline = 0xffc8e878;

const LaneColorSet& green() { return laneColors[0]; }
const LaneColorSet& blue() { return laneColors[1]; }

void line(ImDrawList* list, ImVec2 a, ImVec2 b, std::uint32_t colour, float thickness) {
    const ImVec2 points[] = {a, b};
    ui::drawPolyline(list, points, colour, thickness);
}

void fill(ImDrawList* list, ImVec2 a, ImVec2 b, std::uint32_t colour, float rounding = 0.0f) {
    ui::fillRoundRect(list, ui::Rect{a.x, a.y, b.x - a.x, b.y - a.y}, colour, rounding);
}

void outline(ImDrawList* list, ImVec2 a, ImVec2 b, std::uint32_t colour, float thickness) {
    ui::strokeRoundRect(list, ui::Rect{a.x, a.y, b.x - a.x, b.y - a.y}, colour, 4.0f, thickness);
}

// The gutter fits a bar number of two digits before its line and row labels; a longer pattern's
// numbers push them, and the grid, right by what its largest number adds.
float gutterShift(int bars) {
    char largest[16];
    std::snprintf(largest, sizeof largest, "%d", bars);
    return std::max(ui::measureText(largest, 1).x - ui::measureText("99", 1).x, 0.0f);
}

// A run of bars, [first, end).
struct BarSpan {
    int first = 0;
    int end = 0;
};

// Where one bar's block sits this frame: its top-left corner, the grid's left edge and width,
// and the pitch rows' height.
struct BarBlock {
    int bar = 0;
    ImVec2 p;
    float gutter = 0.0f;  // the gutter's width
    float shift = 0.0f;   // how far the gutter's line and row labels stand right of their usual place
    float x0 = 0.0f;
    float w = 0.0f;
    float rowHeight = 0.0f;
    float height = 0.0f;  // rows x row height

    float stepX(float step) const { return x0 + w * std::clamp(step / kStepsPerBar, 0.0f, 1.0f); }
    // The mouse's position in steps, 0..16.
    float mouseStep() const { return std::clamp((ImGui::GetIO().MousePos.x - x0) / w, 0.0f, 1.0f) * kStepsPerBar; }
};

// The mouse's row in the block, truncated and kept inside the rows.
int mouseRow(const BarBlock& block, int rowCount) {
    const float r = (ImGui::GetIO().MousePos.y - block.p.y) / block.rowHeight;
    return static_cast<int>(std::clamp(r, 0.0f, static_cast<float>(std::max(rowCount, 1) - 1)));
}

bool sameNotes(const std::vector<PatternNote>& a, const std::vector<PatternNote>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const PatternNote& x, const PatternNote& y) {
        return x.step == y.step && x.degree == y.degree && x.gate == y.gate && x.nudge == y.nudge;
    });
}

int indexOfStep(const std::vector<PatternNote>& notes, int step) {
    for (std::size_t i = 0; i < notes.size(); ++i)
        if (notes[i].step == step) return static_cast<int>(i);
    return -1;
}

void drawBarLabels(ImDrawList* list, const BarBlock& block, const Pattern& pattern, const PatternRows& rows,
                   const PatternPanelState& state) {
    const float s = ui::scale();
    const int b = block.bar;
    char number[16];
    std::snprintf(number, sizeof number, "%d", b + 1);
    const float mid = block.p.y + block.height / 2.0f;
    ui::drawTextAt(list, ImVec2(block.p.x + 4.0f * s, mid - ui::measureText(number, 1).y), number, 1,
                   b == state.loopBar ? green().main : ui::palette::text);
    const auto& notes = pattern.bars[static_cast<std::size_t>(b)];
    if (b > 0 && !notes.empty() && sameNotes(notes, pattern.bars[static_cast<std::size_t>(b - 1)]))
        ui::drawTextAt(list, ImVec2(block.p.x + 4.0f * s, mid), "=", 1, ui::palette::mutedText);
    const float lineX = block.p.x + 14.0f * s + block.shift;
    line(list, ImVec2(lineX, block.p.y), ImVec2(lineX, block.p.y + block.height + (kKickRowHeight + kBarGap) * s),
         ui::palette::border, 1.0f);
    for (int r = 0; r < rows.count; ++r) {
        const std::int32_t degree = rows.degrees[static_cast<std::size_t>(r)];
        ui::drawTextAt(list,
                       ImVec2(block.p.x + 18.0f * s + block.shift, block.p.y + static_cast<float>(r) * block.rowHeight),
                       noteName(midiNoteOf(pattern.rootNote, degree)).c_str(), 0,
                       isScaleTone(degree, pattern.scale) ? kLabel : kOutOfScaleLabel);
    }
}

// The grid behind the notes: rows, the steps the kick leaves open, beat lines and the kicks.
void drawGridBackground(ImDrawList* list, const BarBlock& block, const Pattern& pattern, const KickContext& kick,
                        const PatternPanelState& state, int rowCount) {
    const ImVec2 a(block.x0, block.p.y);
    const ImVec2 z(block.x0 + block.w, block.p.y + block.height);
    if (state.loopBar >= 0 && state.loopBar != block.bar) fill(list, a, z, kShade);
    for (int r = 1; r < rowCount; ++r) {
        const float y = block.p.y + static_cast<float>(r) * block.rowHeight;
        line(list, ImVec2(a.x, y), ImVec2(z.x, y), kFaintLine, 1.0f);
    }
    const GenreRules& rules = genreRules(pattern.genre);
    const std::uint16_t allowed = kickFilteredSteps(rules, kick);
    const std::uint16_t ownKicks = pattern.kicks[static_cast<std::size_t>(block.bar)];
    const float stepWidth = block.w / kStepsPerBar;
    for (int j = 0; j < kStepsPerBar; ++j) {
        const float x = block.x0 + static_cast<float>(j) * stepWidth;
        if (((allowed >> j) & 1u) == 0) fill(list, ImVec2(x, a.y), ImVec2(x + stepWidth, z.y), kShade);
        line(list, ImVec2(x, a.y), ImVec2(x, z.y), j % 4 == 0 ? kBeatLine : kFaintLine, 1.0f);
        if (((ownKicks >> j) & 1u) != 0) line(list, ImVec2(x, a.y), ImVec2(x, z.y), blue().dark, 1.6f);
    }
}

void drawNotes(ImDrawList* list, const BarBlock& block, const Pattern& pattern, const PatternRows& rows,
               const PatternPanelState& state) {
    const float s = ui::scale();
    const auto& notes = pattern.bars[static_cast<std::size_t>(block.bar)];
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const PatternNote& note = notes[i];
        const int r = rows.rowOf(note.degree);
        if (r < 0) continue;
        const float start = noteStartStep(note, pattern.swing);
        const float xs = block.stepX(start);
        const float xe = std::max(xs + 4.0f * s, block.stepX(start + note.gate));
        const float top = block.p.y + static_cast<float>(r) * block.rowHeight + s;
        const float bottom = block.p.y + static_cast<float>(r + 1) * block.rowHeight - s;
        fill(list, ImVec2(xs, top), ImVec2(xe, bottom),
             ui::mixColor(green().fill, green().main, std::clamp(note.accent, 0.0f, 1.0f)), 4.0f);
        const bool selected = state.bar == block.bar && state.selectedNote == static_cast<int>(i);
        if (selected)
            outline(list, ImVec2(xs, top), ImVec2(xe, bottom), kSelectedOutline, 1.6f);
        else
            outline(list, ImVec2(xs, top), ImVec2(xe, bottom), note.anchor != 0 ? green().light : green().dark, 1.0f);
        if (i == 0) continue;
        const PatternNote& previous = notes[i - 1];
        if (start < noteStartStep(previous, pattern.swing) + previous.gate && previous.degree != note.degree) {
            const float mid = (top + bottom) / 2.0f;
            list->AddTriangleFilled(ImVec2(xs + 7.0f * s, mid), ImVec2(xs - s, mid - 3.5f * s),
                                    ImVec2(xs - s, mid + 3.5f * s), ui::toImColor(ui::palette::text));
        }
    }
}

void drawPlayCursor(ImDrawList* list, const BarBlock& block, const PatternPanelState& state, double position) {
    const double shown = state.loopBar >= 0 ? state.loopBar : std::trunc(position / 4.0);
    if (shown != block.bar) return;
    const float x = block.x0 + block.w * static_cast<float>(std::fmod(position, 4.0) / 4.0);
    line(list, ImVec2(x, block.p.y), ImVec2(x, block.p.y + block.height), ui::palette::alert, 2.0f);
}

// The latest note under the mouse, or -1.
int noteAtMouse(const BarBlock& block, const std::vector<PatternNote>& notes, const PatternRows& rows, float swing) {
    const float step = block.mouseStep();
    const int row = mouseRow(block, rows.count);
    for (int i = static_cast<int>(notes.size()) - 1; i >= 0; --i) {
        const PatternNote& note = notes[static_cast<std::size_t>(i)];
        const float start = noteStartStep(note, swing);
        if (rows.rowOf(note.degree) == row && start <= step && step <= start + std::max(note.gate, kMinHitSteps))
            return i;
    }
    return -1;
}

// A press on the grid erases (right button), adds a note on a free step, or starts dragging the
// note under the mouse.
bool pressGrid(PatternPanelState& state, Pattern& pattern, const PatternRows& rows, const BarBlock& block) {
    auto& notes = pattern.bars[static_cast<std::size_t>(block.bar)];
    const int hit = noteAtMouse(block, notes, rows, pattern.swing);
    state.bar = block.bar;
    if (ImGui::IsMouseClicked(ImGuiMouseButton_Right)) {
        if (hit < 0) return false;
        notes.erase(notes.begin() + hit);
        state.selectedNote = -1;
        return true;
    }
    if (hit < 0) {
        const int step = std::clamp(static_cast<int>(std::floor(block.mouseStep())), 0, kStepsPerBar - 1);
        if (hasNoteAt(notes, step)) return false;
        PatternNote note;
        note.step = step;
        note.degree = rows.degrees[static_cast<std::size_t>(mouseRow(block, rows.count))];
        note.gate = 1.0f;
        note.accent = 0.7f;
        notes.push_back(note);
        sortByStep(notes);
        state.selectedNote = indexOfStep(notes, step);
        return true;
    }
    const PatternNote& note = notes[static_cast<std::size_t>(hit)];
    const float start = noteStartStep(note, pattern.swing);
    state.dragBar = block.bar;
    state.dragNote = state.selectedNote = hit;
    state.resizing = std::fabs(block.stepX(start + note.gate) - ImGui::GetIO().MousePos.x) < kResizeGrab * ui::scale();
    state.grabOffset = block.mouseStep() - start;
    return false;
}

// While the press that began a drag is held: move the note's step and row, or set its length.
bool dragNote(PatternPanelState& state, Pattern& pattern, const PatternRows& rows, const BarBlock& block) {
    auto& notes = pattern.bars[static_cast<std::size_t>(block.bar)];
    if (state.dragBar != block.bar || state.dragNote < 0 || state.dragNote >= static_cast<int>(notes.size()))
        return false;
    PatternNote& note = notes[static_cast<std::size_t>(state.dragNote)];
    const float mouseStep = block.mouseStep();
    if (state.resizing) {
        // Quarter steps, and compared after clamping: a drag past either end would otherwise
        // count as an edit on every frame and restart the loop each time.
        const float gate =
            std::clamp(std::roundf((mouseStep - noteStartStep(note, pattern.swing)) * 4.0f) * 0.25f, 0.25f, 16.0f);
        if (gate == note.gate) return false;
        note.gate = gate;
        return true;
    }
    bool changed = false;
    const std::int32_t degree = rows.degrees[static_cast<std::size_t>(mouseRow(block, rows.count))];
    if (degree != note.degree) {
        note.degree = degree;
        changed = true;
    }
    const int target = static_cast<int>(std::clamp(std::lroundf(mouseStep - state.grabOffset), 0L, 15L));
    if (target != note.step && !hasNoteAt(notes, target)) {
        note.step = target;
        sortByStep(notes);
        state.dragNote = state.selectedNote = indexOfStep(notes, target);
        changed = true;
    }
    return changed;
}

void drawKickRow(ImDrawList* list, ImVec2 rowPos, const BarBlock& block, std::uint16_t kicks) {
    const float s = ui::scale();
    ui::drawTextAt(list, ImVec2(rowPos.x + 18.0f * s + block.shift, rowPos.y), "kick", 0, blue().main);
    const float top = rowPos.y + s;
    const float bottom = rowPos.y + kKickRowHeight * s - s;
    fill(list, ImVec2(block.x0, top), ImVec2(block.x0 + block.w, bottom), kGridFill, 4.0f);
    outline(list, ImVec2(block.x0, top), ImVec2(block.x0 + block.w, bottom), ui::palette::border, 1.0f);
    const float stepWidth = block.w / kStepsPerBar;
    for (int j = 0; j < kStepsPerBar; ++j) {
        const float x = block.x0 + static_cast<float>(j) * stepWidth;
        line(list, ImVec2(x, top), ImVec2(x, bottom), j % 4 == 0 ? kBeatLine : kFaintLine, 1.0f);
        if (((kicks >> j) & 1u) != 0)
            fill(list, ImVec2(x + s, top), ImVec2(x + stepWidth - s, bottom), blue().main, 4.0f);
    }
}

// The kick row under a bar: a press toggles the kick on the step under the mouse. The played
// line does not depend on the kick, so this reports nothing.
void kickRow(ImDrawList* list, PatternPanelState& state, Pattern& pattern, const BarBlock& block) {
    const float s = ui::scale();
    const ImVec2 rowPos = ImGui::GetCursorScreenPos();
    ImGui::Dummy(ImVec2(block.gutter, kKickRowHeight * s));
    ImGui::SameLine(0.0f, 0.0f);
    ImGui::InvisibleButton("kick", ImVec2(block.w, kKickRowHeight * s));
    std::uint16_t& kicks = pattern.kicks[static_cast<std::size_t>(block.bar)];
    if (ImGui::IsItemActivated()) {
        const int step = std::clamp(static_cast<int>(std::floor(block.mouseStep())), 0, kStepsPerBar - 1);
        kicks = static_cast<std::uint16_t>(kicks ^ (1u << step));
        state.bar = block.bar;
    }
    ui::tooltip("The kick this bar is written against. Click a step to toggle.");
    drawKickRow(list, rowPos, block, kicks);
}

bool barBlock(ImDrawList* list, PatternPanelState& state, Pattern& pattern, const PatternRows& rows,
              const KickContext& kickBase, BarBlock block, std::optional<double> playPosition) {
    const float s = ui::scale();
    ImGui::PushID(block.bar);
    block.p = ImGui::GetCursorScreenPos();
    ImGui::InvisibleButton("gutter", ImVec2(block.gutter, block.height));
    if (ImGui::IsItemActivated()) {
        state.loopBar = state.loopBar == block.bar ? -1 : block.bar;
        state.bar = block.bar;
    }
    ui::tooltip("Loop this bar on its own.");
    ImGui::SameLine(0.0f, 0.0f);
    ImGui::InvisibleButton("row", ImVec2(block.w, block.height),
                           ImGuiButtonFlags_MouseButtonLeft | ImGuiButtonFlags_MouseButtonRight);
    const bool pressed = ImGui::IsItemActivated();
    const bool held = ImGui::IsItemActive();

    drawBarLabels(list, block, pattern, rows, state);
    const ImVec2 a(block.x0, block.p.y);
    const ImVec2 z(block.x0 + block.w, block.p.y + block.height);
    fill(list, a, z, kGridFill, 4.0f);
    outline(list, a, z, ui::palette::border, 1.0f);
    list->PushClipRect(a, z, true);
    KickContext kick = kickBase;
    const std::uint16_t ownKicks = pattern.kicks[static_cast<std::size_t>(block.bar)];
    kick.kickMask = ownKicks != 0 ? ownKicks : genreRules(pattern.genre).defaultKick;
    drawGridBackground(list, block, pattern, kick, state, rows.count);
    drawNotes(list, block, pattern, rows, state);
    if (playPosition) drawPlayCursor(list, block, state, *playPosition);
    list->PopClipRect();

    bool changed = false;
    if (pressed)
        changed = pressGrid(state, pattern, rows, block);
    else if (held)
        changed = dragNote(state, pattern, rows, block);

    kickRow(list, state, pattern, block);
    ImGui::Dummy(ImVec2(1.0f, kBarGap * s));
    ImGui::PopID();
    return changed;
}

// The bars to lay out between the rows `top` and `bottom` for blocks of `pitch` stacked from
// `origin`, as [first, end). A block draws a little past its own rows (the gutter's line,
// anti-aliased edges), so the bar on either side of those in view comes too.
BarSpan barsBetween(float origin, float pitch, float top, float bottom, int bars) {
    pitch = std::max(pitch, 1.0f);
    const auto bar = [&](float y) { return std::clamp((y - origin) / pitch, -1.0f, static_cast<float>(bars) + 1.0f); };
    BarSpan span;
    span.first = std::max(static_cast<int>(std::floor(bar(top))) - 1, 0);
    span.end = std::clamp(static_cast<int>(std::ceil(bar(bottom))) + 1, span.first, bars);
    return span;
}

}  // namespace

bool drawPatternRoll(PatternPanelState& state, Pattern& pattern, const PatternRows& rows,
                     std::optional<double> playPosition) {
    const float s = ui::scale();
    const auto bars = static_cast<float>(pattern.bars.size());
    const float rowCount = static_cast<float>(std::max(rows.count, 1));
    const float blockExtra = (kKickRowHeight + kBarGap) * s;
    const float wanted = (kMaxRowHeight * s * rowCount + blockExtra) * bars + kBeatHeader * s;
    const float height = std::min(wanted, std::max(160.0f * s, ImGui::GetContentRegionAvail().y - 100.0f * s));
    const float rowHeight =
        std::clamp(((height - kBeatHeader * s) / bars - blockExtra) / rowCount, kMinRowHeight * s, kMaxRowHeight * s);

    if (!ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        state.dragBar = state.dragNote = -1;
        state.resizing = false;
    }

    bool changed = false;
    ImGui::BeginChild("rows", ImVec2(0.0f, height));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0.0f, 0.0f));
    ImDrawList* list = ImGui::GetWindowDrawList();
    BarBlock block;
    const ImVec2 top = ImGui::GetCursorScreenPos();
    block.shift = gutterShift(static_cast<int>(pattern.bars.size()));
    block.gutter = kGutterWidth * s + block.shift;
    block.x0 = top.x + block.gutter;
    block.w = std::max(200.0f * s, ImGui::GetContentRegionAvail().x - block.gutter);
    block.rowHeight = rowHeight;
    block.height = static_cast<float>(rows.count) * rowHeight;
    static constexpr const char* kBeats[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i)
        ui::drawTextAt(list, ImVec2(block.x0 + static_cast<float>(i) * block.w / 4.0f + 4.0f * s, top.y), kBeats[i], 0,
                       kLabel);
    ImGui::Dummy(ImVec2(1.0f, kBeatHeader * s));

    // Only the bars in view are laid out and drawn, so a long pattern costs a frame no more than a
    // short one. A block's three lines each advance the layout by whole pixels, cut down as the
    // layout cuts them, so a bar sits where stacking the blocks before it on screen would put it.
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const float pitch = std::floor(block.height) + std::floor(kKickRowHeight * s) + std::floor(kBarGap * s);
    const int barCount = static_cast<int>(pattern.bars.size());
    const BarSpan inView = barsBetween(origin.y, pitch, list->GetClipRectMin().y, list->GetClipRectMax().y, barCount);
    // A dragged note's bar stays laid out when it scrolls away, so the drag goes on as it was held.
    const int dragged = state.dragBar >= 0 && state.dragBar < barCount ? state.dragBar : -1;

    KickContext kick;
    kick.scale = pattern.scale;
    kick.weights = kickWeights(pattern);
    const auto drawBar = [&](int b) {
        ImGui::SetCursorScreenPos(ImVec2(origin.x, origin.y + static_cast<float>(b) * pitch));
        block.bar = b;
        changed |= barBlock(list, state, pattern, rows, kick, block, playPosition);
    };
    if (dragged >= 0 && dragged < inView.first) drawBar(dragged);
    for (int b = inView.first; b < inView.end; ++b) drawBar(b);
    if (dragged >= inView.end) drawBar(dragged);
    // The scroll range covers every bar.
    ImGui::SetCursorScreenPos(ImVec2(origin.x, origin.y + static_cast<float>(barCount) * pitch));
    ImGui::Dummy(ImVec2(0.0f, 0.0f));
    ImGui::PopStyleVar();
    ImGui::EndChild();
    return changed;
}

}  // namespace tarn
