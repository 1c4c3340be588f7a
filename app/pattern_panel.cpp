// The pattern tab: the generator's settings, the piano roll, swing and the bar loop, the bar
// tools and the editor of the selected note.
#include "app/editor.h"
#include "app/pattern_grid.h"
#include "app/pattern_roll.h"
#include "engine/generator_tables.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "ui/flow_row.h"
#include "ui/interact.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace tarn {
namespace {

// Wraps at the canvas's edge rather than running past it.
void colouredText(std::uint32_t colour, const char* text) {
    ImGui::PushStyleColor(ImGuiCol_Text, ui::toImColor(colour));
    ui::wrappedText(text);
    ImGui::PopStyleColor();
}

// Replaces the pattern with the generator's answer to its own settings; the old selection means
// nothing in the new notes.
void regenerate(PatternPanelState& state, Pattern& pattern) {
    pattern = generatePattern(pattern);
    state.selectedNote = -1;
    state.keepBar = false;
}

// Sets the bar count: extra bars go with their kicks, new bars come empty with no kick.
void resizeBars(PatternPanelState& state, Pattern& pattern, std::size_t count) {
    pattern.bars.resize(count);
    pattern.kicks.resize(count, 0);
    if (state.loopBar >= static_cast<int>(count)) state.loopBar = -1;
}

bool presetCombo(PatternPanelState& state, Pattern& pattern) {
    const auto presets = stylePresets();
    const int current = std::clamp(pattern.preset, 0, kStylePresetCount - 1);
    char preview[64];
    std::snprintf(preview, sizeof preview, "%s%s", presets[static_cast<std::size_t>(current)].name,
                  styleDiffersFromPreset(pattern) ? " *" : "");
    bool changed = false;
    ImGui::SetNextItemWidth(170.0f * ui::scale());
    if (ImGui::BeginCombo("##preset", preview)) {
        for (int i = 0; i < kStylePresetCount; ++i) {
            if (ImGui::Selectable(presets[static_cast<std::size_t>(i)].name, i == pattern.preset)) {
                applyStylePreset(pattern, i);
                regenerate(state, pattern);
                changed = true;
            }
        }
        ImGui::EndCombo();
    }
    ui::tooltip(
        "How the line is played: how much, where against the kick, and\n"
        "how it swings. A star means a control has moved since.");
    return changed;
}

std::string barCountText(std::size_t bars) { return std::to_string(bars) + (bars == 1 ? " bar" : " bars"); }

bool barsCombo(PatternPanelState& state, Pattern& pattern) {
    static constexpr std::size_t kCounts[] = {4, 8, 16};
    // A session may hold any number of bars: the box shows the line's own count, and only a pick of
    // another count changes it (closing the box on the count shown must never cut the line).
    const std::size_t bars = pattern.bars.size();
    bool changed = false;
    ImGui::SetNextItemWidth(90.0f * ui::scale());
    if (ImGui::BeginCombo("##bars", barCountText(bars).c_str())) {
        for (const std::size_t count : kCounts) {
            if (ImGui::Selectable(barCountText(count).c_str(), count == bars) && count != bars) {
                resizeBars(state, pattern, count);
                changed = true;
            }
        }
        ImGui::EndCombo();
    }
    ui::tooltip(
        "Four bars is one group: three the same and a fourth that\n"
        "answers them. Longer, and each group restates the figure\n"
        "changed, so eight under an eight-bar arc is one phrase in\n"
        "the notes and the voice at once.");
    return changed;
}

// A style slider that regenerates once, when it is let go after an edit: a new pattern on every
// drag frame would restart the loop continuously.
bool styleSlider(PatternPanelState& state, Pattern& pattern, const char* id, float& value, const char* format,
                 const char* tip) {
    ImGui::SetNextItemWidth(130.0f * ui::scale());
    ImGui::SliderFloat(id, &value, 0.0f, 1.0f, format);
    const bool released = ImGui::IsItemDeactivatedAfterEdit();
    ui::tooltip(tip);
    if (!released) return false;
    regenerate(state, pattern);
    return true;
}

// Each row wraps where the canvas is too narrow for it, so that no control runs past its edge.
bool settingsRows(PatternPanelState& state, Pattern& pattern) {
    const float s = ui::scale();
    const float inner = ImGui::GetStyle().ItemInnerSpacing.x;
    bool changed = presetCombo(state, pattern);
    ui::sameLineIfRoom(90.0f * s);
    changed |= barsCombo(state, pattern);

    ui::sameLineIfRoom(ui::textWidth("Seed") + inner + 80.0f * s);
    ImGui::AlignTextToFramePadding();
    ImGui::TextDisabled("Seed");
    ImGui::SameLine(0.0f, inner);
    ImGui::SetNextItemWidth(80.0f * s);
    // Storing the seed alone changes nothing that plays; "Generate" uses it.
    ImGui::InputScalar("##seed", ImGuiDataType_U32, &pattern.seed);
    ui::tooltip("The same seed always gives the same pattern.");

    ui::sameLineIfRoom(ui::buttonWidth("Generate"), inner);
    if (ImGui::Button("Generate")) {
        regenerate(state, pattern);
        changed = true;
    }
    ui::sameLineIfRoom(ui::buttonWidth("Clear"));
    if (ImGui::Button("Clear")) {
        for (auto& bar : pattern.bars) bar.clear();
        state.selectedNote = -1;
        changed = true;
    }
    ui::tooltip("Empties the bass, keeping the key and the kick.");

    ui::sameLineIfRoom(110.0f * s);
    ImGui::SetNextItemWidth(110.0f * s);
    changed |= ImGui::SliderInt("##root", &pattern.rootNote, 24, 48, noteName(pattern.rootNote).c_str());
    ui::tooltip("Root. Every degree in the pattern is measured from here.");

    ui::sameLineIfRoom(130.0f * s);
    static constexpr const char* kScales[] = {"Minor", "Major", "Minor pentatonic", "Dorian", "Phrygian", "Chromatic"};
    ImGui::SetNextItemWidth(130.0f * s);
    // The scale only chooses the roll's lanes: nothing written changes.
    ImGui::Combo("##scale", &pattern.scale, kScales, kScaleCount);
    ui::tooltip("Which notes get a lane. Nothing already written is lost.");

    changed |= styleSlider(state, pattern, "##energy", pattern.energy, "Energy %.2f",
                           "How much the bass plays: notes added against notes cleared,\n"
                           "how far a bar strays and how hard the accents hit.");
    ui::sameLineIfRoom(130.0f * s);
    changed |= styleSlider(state, pattern, "##lock", pattern.lock, "Lock %.2f",
                           "How firmly the line holds to the kick. At zero the kick is\nreference only.");
    ui::sameLineIfRoom(130.0f * s);
    ImGui::BeginDisabled(pattern.lock == 0.0f);
    changed |= styleSlider(state, pattern, "##groove", pattern.groove, "Groove %.2f",
                           "Where the line sits against the kick: on it at zero, on its\n"
                           "offbeat at one. Needs some lock.");
    ImGui::EndDisabled();

    colouredText(ui::palette::mutedText,
                 "Click to add, drag to move, drag a note's right edge for length, right-click to remove");
    return changed;
}

bool swingAndLoop(const PatternPanelState& state, Pattern& pattern) {
    ImGui::SetNextItemWidth(150.0f * ui::scale());
    const bool changed = ImGui::SliderFloat("Swing", &pattern.swing, 0.0f, 0.45f, "%.2f steps");
    ui::tooltip("Delays the offbeat sixteenths.\nBounded below half a step, so no note can reach the one beside it.");
    const std::string looping = "Looping bar " + std::to_string(state.loopBar + 1) + " only";
    const char* loop = state.loopBar >= 0 ? looping.c_str() : "Click a bar number to loop it on its own";
    ui::sameLineIfRoom(ui::textWidth(loop));
    if (state.loopBar >= 0)
        ui::wrappedText(loop);
    else
        colouredText(ui::palette::mutedText, loop);
    return changed;
}

bool barTools(PatternPanelState& state, Pattern& pattern) {
    state.bar = std::clamp(state.bar, 0, static_cast<int>(pattern.bars.size()) - 1);
    const auto bar = static_cast<std::size_t>(state.bar);
    ImGui::AlignTextToFramePadding();
    ImGui::Text("Bar %d:", state.bar + 1);
    bool changed = false;
    ui::sameLineIfRoom(ui::buttonWidth("Clear bar"));
    if (ImGui::Button("Clear bar")) {
        pattern.bars[bar].clear();
        state.selectedNote = -1;
        state.keepBar = true;
        changed = true;
    }
    ui::sameLineIfRoom(ui::buttonWidth("Copy bar to all"));
    if (ImGui::Button("Copy bar to all")) {
        for (std::size_t b = 0; b < pattern.bars.size(); ++b)
            if (b != bar) pattern.bars[b] = pattern.bars[bar];
        changed = true;
    }
    ui::sameLineIfRoom(ui::buttonWidth("Copy kick to all"));
    // The kick shapes the generator's next pattern, not the line that plays.
    if (ImGui::Button("Copy kick to all")) std::fill(pattern.kicks.begin(), pattern.kicks.end(), pattern.kicks[bar]);
    return changed;
}

bool noteEditor(const PatternPanelState& state, Pattern& pattern) {
    auto& notes = pattern.bars[static_cast<std::size_t>(state.bar)];
    if (state.selectedNote < 0 || state.selectedNote >= static_cast<int>(notes.size())) {
        colouredText(ui::palette::mutedText, "No note selected.");
        return false;
    }
    const float s = ui::scale();
    PatternNote& note = notes[static_cast<std::size_t>(state.selectedNote)];
    ImGui::AlignTextToFramePadding();
    ImGui::Text("Step %2d, %s", note.step, noteName(midiNoteOf(pattern.rootNote, note.degree)).c_str());
    ui::sameLineIfRoom(ui::labelledWidth(170.0f * s, "Length"));
    ImGui::SetNextItemWidth(170.0f * s);
    bool changed = ImGui::SliderFloat("Length", &note.gate, 0.25f, 16.0f, "%.2f steps");
    ui::tooltip(
        "Articulation, not just duration: short plucks, long sustains,\n"
        "and past the next note it glides instead of retriggering.");
    ui::sameLineIfRoom(ui::labelledWidth(130.0f * s, "Accent"));
    ImGui::SetNextItemWidth(130.0f * s);
    changed |= ImGui::SliderFloat("Accent", &note.accent, 0.0f, 1.0f, "%.3f");
    ui::sameLineIfRoom(ui::labelledWidth(150.0f * s, "Nudge"));
    ImGui::SetNextItemWidth(150.0f * s);
    changed |= ImGui::SliderFloat("Nudge", &note.nudge, -0.45f, 0.45f, "%.2f steps");
    ui::tooltip("Moves this one note off the grid, within half a step.");
    return changed;
}

}  // namespace

bool Editor::drawPatternPanel(PatternPanelState& state, Pattern& pattern, std::optional<double> playPosition) {
    if (pattern.bars.empty()) return false;
    pattern.kicks.resize(pattern.bars.size(), 0);
    // A pattern shortened under the looped bar plays whole, so the panel must not go on
    // claiming the bar loops.
    if (state.loopBar >= static_cast<int>(pattern.bars.size())) state.loopBar = -1;
    const PatternRows rows = patternRows(pattern);
    // Nothing selected means bar 0's first note, except right after "Clear bar", whose bar stays in
    // hand until a note is selected again or a new pattern comes.
    if (state.selectedNote >= 0) state.keepBar = false;
    if (state.selectedNote < 0 && !state.keepBar && !pattern.bars[0].empty()) state.bar = state.selectedNote = 0;

    bool changed = settingsRows(state, pattern);
    changed |= drawPatternRoll(state, pattern, rows, playPosition);
    changed |= swingAndLoop(state, pattern);
    changed |= barTools(state, pattern);
    changed |= noteEditor(state, pattern);
    return changed;
}

}  // namespace tarn
