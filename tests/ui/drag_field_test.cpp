// Drag fields and the number entry over simulated frames: steps, fine drags, edit hooks, typed values.
#include "ui/drag_field.h"

#include "tests/ui/widget_frames.h"
#include "ui/number_entry.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <optional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::keys;
using testing::pointer;
using testing::typing;
using testing::WidgetInput;
using testing::widgetFrame;

// A parameter that records what the widgets do to it. Its parse does not clamp, so that the number
// entry's own clamping shows.
class RecordingParam : public Param {
public:
    explicit RecordingParam(FloatParamSpec settings) : spec_(std::move(settings)) {}
    const FloatParamSpec& spec() const override { return spec_; }
    float value() const override { return value_; }
    void setValue(float v) override {
        value_ = v;
        stored.push_back(v);
    }
    void beginEdit() override {
        ++begins;
        EXPECT_EQ(begins, ends + 1) << "edits never nest";
    }
    void endEdit() override { ++ends; }
    std::string format(float v) const override { return FloatParam::formatValue(spec_, v); }
    std::optional<float> parse(std::string_view text) const override {
        if (text == "huge") return 1e6f;
        return FloatParam::parseText(spec_, text);
    }

    float value_ = 0.0f;
    int begins = 0;
    int ends = 0;
    std::vector<float> stored;

private:
    FloatParamSpec spec_;
};

FloatParamSpec choiceSpec() {
    FloatParamSpec settings;
    settings.min = 0;
    settings.max = 4;
    settings.choices = {"A", "B", "C", "D", "E"};
    return settings;
}

const Rect kField{100, 400, 64, 24};  // the field's centre is (132, 412)

// Runs the field for each input and returns whether it reported a change in each frame.
std::vector<bool> drag(UiContext& ui, Param& param, const std::vector<WidgetInput>& inputs, const DragStyle& style = {}) {
    std::vector<bool> out;
    // Idle frames first, so that an earlier run's clicks are too old to pair into a double click.
    for (int i = 0; i < 30; ++i) widgetFrame(ui, pointer(132, 412), [&](ImDrawList*) { dragValue("f", kField, param, style); });
    for (const WidgetInput& in : inputs)
        widgetFrame(ui, in, [&](ImDrawList*) { out.push_back(dragValue("f", kField, param, style)); });
    return out;
}

WidgetInput held(float y, bool shift = false) {
    WidgetInput in = pointer(132, y, true);
    in.shift = shift;
    return in;
}

TEST(DragField, SixPixelsAStepForChoices) {
    UiContext ui;
    RecordingParam p(choiceSpec());
    const auto changed = drag(ui, p, {held(412), held(399), pointer(132, 399)});
    EXPECT_EQ(p.value(), 2.0f) << "13 px up moves two choices";
    EXPECT_EQ(changed, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(p.begins, 1);
    EXPECT_EQ(p.ends, 1);

    // Downwards, slowly: the accumulator keeps the fractions between frames.
    RecordingParam q(choiceSpec());
    q.value_ = 4;
    drag(ui, q, {held(412), held(414), held(416), held(418), held(420), held(422), held(424), pointer(132, 424)});
    EXPECT_EQ(q.value(), 2.0f) << "12 px down in 2 px moves";
    EXPECT_EQ(q.stored, (std::vector<float>{3.0f, 2.0f}));
}

TEST(DragField, ShiftMakesStepsTenTimesFinerAndTheRangeClamps) {
    UiContext ui;
    RecordingParam fine(choiceSpec());
    drag(ui, fine, {held(412, true), held(282, true), pointer(132, 282)});
    EXPECT_EQ(fine.value(), 2.0f) << "130 px with Shift make two choices";
    RecordingParam coarse(choiceSpec());
    drag(ui, coarse, {held(412), held(282), held(300), pointer(132, 300)});
    EXPECT_EQ(coarse.value(), 1.0f) << "clamped at the top (4), then 18 px back down";
}

TEST(DragField, ContinuousParametersSpanTheRangeIn200Pixels) {
    UiContext ui;
    FloatParamSpec settings;
    settings.min = 20;
    settings.max = 20000;
    settings.curve = ParamCurve::logarithmic;
    RecordingParam p(settings);
    p.value_ = 20;
    drag(ui, p, {held(412), held(362), held(312), pointer(132, 312)});
    EXPECT_NEAR(p.value(), FloatParam::fromNormalized(settings, 0.5f), 0.01f);
    drag(ui, p, {held(412), held(212), pointer(132, 212)});
    EXPECT_FLOAT_EQ(p.value(), 20000.0f);
    EXPECT_EQ(p.begins, 2);
    EXPECT_EQ(p.ends, 2);
}

TEST(DragField, SideMovesChangeNothingAndDisabledIgnoresTheMouse) {
    UiContext ui;
    RecordingParam p(choiceSpec());
    EXPECT_EQ(drag(ui, p, {pointer(132, 412, true), pointer(180, 412, true), pointer(180, 412)}),
              (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(p.stored.empty());
    DragStyle disabled;
    disabled.disabled = true;
    drag(ui, p, {held(412), held(300), pointer(132, 300), pointer(132, 300, true), pointer(132, 300)}, disabled);
    EXPECT_TRUE(p.stored.empty());
    EXPECT_EQ(p.begins, 1);
    EXPECT_EQ(p.ends, 1);
}

// Double clicks the field, then runs the inputs; returns the field's change flags for them.
std::vector<bool> doubleClickThen(UiContext& ui, Param& param, const std::vector<WidgetInput>& inputs) {
    std::vector<WidgetInput> all{pointer(132, 412, true), pointer(132, 412), pointer(132, 412, true), pointer(132, 412)};
    all.insert(all.end(), inputs.begin(), inputs.end());
    auto r = drag(ui, param, all);
    return std::vector<bool>(r.begin() + 4, r.end());
}

TEST(DragField, DoubleClickOpensTheNumberEntry) {
    UiContext ui;
    RecordingParam p(choiceSpec());
    const auto changed = doubleClickThen(ui, p, {WidgetInput{}, WidgetInput{}, typing("3"), keys({ImGuiKey_Enter}), WidgetInput{}});
    EXPECT_EQ(changed, (std::vector<bool>{false, false, false, true, false}));
    EXPECT_EQ(p.value(), 3.0f);
    EXPECT_EQ(p.begins, p.ends) << "press, release and the typed commit each balance";
    EXPECT_EQ(ui.numberEntry.id, 0u) << "closed after the commit";
}

// Opens the entry for `param` and runs one frame per input, returning the entry's results.
std::vector<int> runEntry(UiContext& ui, Param& param, const std::vector<WidgetInput>& inputs) {
    std::vector<int> out;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        openNumberEntry("n", ImVec2(200, 200), param);
        out.push_back(numberEntry("n", param));
    });
    for (const WidgetInput& in : inputs) {
        widgetFrame(ui, in, [&](ImDrawList*) {
            out.push_back(numberEntry("n", param));
            EXPECT_EQ(numberEntry("other", param), 0) << "another id sees it closed";
        });
    }
    return out;
}

FloatParamSpec gainSpec() {
    FloatParamSpec settings;
    settings.min = -24;
    settings.max = 6;
    settings.unit = ParamUnit::decibels;
    return settings;
}

TEST(NumberEntry, WindowSitsBelowTheAnchorAndOnlyOneIsOpen) {
    UiContext ui;
    RecordingParam a(gainSpec());
    RecordingParam b(gainSpec());
    b.value_ = 3.0f;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        openNumberEntry("a", ImVec2(200, 100), a);
        openNumberEntry("b", ImVec2(300, 150), b);
        EXPECT_EQ(numberEntry("a", a), 0) << "opening another replaces the first";
        EXPECT_EQ(numberEntry("b", b), 1);
    });
    EXPECT_STREQ(ui.numberEntry.text.data(), "3.0 dB");
    ContextScope scope(ui);
    const ImGuiWindow* w = ImGui::FindWindowByName("##tarn.numberEntry");
    ASSERT_NE(w, nullptr);
    EXPECT_FLOAT_EQ(w->Pos.x, 300.0f - 48.0f);
    EXPECT_FLOAT_EQ(w->Pos.y, 150.0f + 8.0f);
    EXPECT_FLOAT_EQ(w->Size.x, 96.0f);
    EXPECT_FLOAT_EQ(w->Size.y, 24.0f);
}

TEST(NumberEntry, EnterCommitsTheTypedValueClamped) {
    UiContext ui;
    RecordingParam p(gainSpec());
    EXPECT_EQ(runEntry(ui, p, {WidgetInput{}, WidgetInput{}, typing("-3 dB"), keys({ImGuiKey_Enter})}),
              (std::vector<int>{1, 1, 1, 1, 2}));
    EXPECT_EQ(p.stored, (std::vector<float>{-3.0f}));
    EXPECT_EQ(p.begins, 1);
    EXPECT_EQ(p.ends, 1);
    EXPECT_EQ(runEntry(ui, p, {WidgetInput{}, WidgetInput{}, typing("huge"), keys({ImGuiKey_KeyPadEnter})}),
              (std::vector<int>{1, 1, 1, 1, 2}));
    EXPECT_EQ(p.value(), 6.0f) << "beyond the range: clamped before it is stored";
}

TEST(NumberEntry, TextThatDoesNotParseIsRejected) {
    UiContext ui;
    RecordingParam p(gainSpec());
    for (const char* text : {"abc", "nan", "inf", ""}) {
        const auto r = runEntry(ui, p, {WidgetInput{}, WidgetInput{}, keys({ImGuiKey_Backspace}), typing(text), keys({ImGuiKey_Enter}), WidgetInput{}});
        EXPECT_EQ(r.at(5), 3) << text;
        EXPECT_EQ(r.at(6), 0) << text;
    }
    EXPECT_TRUE(p.stored.empty());
    EXPECT_EQ(p.begins, 0);
}

TEST(NumberEntry, StartsWithTheFormattedValue) {
    UiContext ui;
    RecordingParam p(gainSpec());
    p.value_ = -1.5f;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) { openNumberEntry("n", ImVec2(0, 0), p); });
    EXPECT_STREQ(ui.numberEntry.text.data(), "-1.5 dB");
    // Enter on the untouched text commits the same value.
    EXPECT_EQ(runEntry(ui, p, {WidgetInput{}, WidgetInput{}, keys({ImGuiKey_Enter})}).back(), 2);
    EXPECT_EQ(p.stored, (std::vector<float>{-1.5f}));
}

TEST(NumberEntry, EscapeAndLostFocusClose) {
    UiContext ui;
    RecordingParam p(gainSpec());
    EXPECT_EQ(runEntry(ui, p, {WidgetInput{}, WidgetInput{}, typing("5"), keys({ImGuiKey_Escape}), WidgetInput{}}),
              (std::vector<int>{1, 1, 1, 1, 3, 0}));
    // A click elsewhere in the first frames is forgiven; later it closes the entry.
    const auto early = runEntry(ui, p, {pointer(700, 550, true), pointer(700, 550), WidgetInput{}, WidgetInput{}});
    EXPECT_EQ(early[1], 1);
    EXPECT_EQ(early[2], 1);
    const auto late = runEntry(ui, p, {WidgetInput{}, WidgetInput{}, WidgetInput{}, pointer(700, 550), pointer(700, 550, true),
                                       pointer(700, 550)});
    EXPECT_EQ(late[3], 1) << "open and active";
    EXPECT_EQ(late[5], 3);
    EXPECT_TRUE(p.stored.empty());
}

}  // namespace
}  // namespace tarn::ui
