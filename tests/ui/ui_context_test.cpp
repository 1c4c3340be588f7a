// The UI context: which Dear ImGui context is current, display scale and style, scale stack, state store.
#include "ui/ui_context.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace tarn::ui {
namespace {

TEST(UiContextLifetime, NewContextStaysCurrentOnlyWhenNoneWas) {
    ASSERT_EQ(ImGui::GetCurrentContext(), nullptr);
    {
        UiContext first;
        EXPECT_EQ(ImGui::GetCurrentContext(), first.imgui);
        EXPECT_EQ(&UiContext::current(), &first);
        UiContext second;
        EXPECT_EQ(ImGui::GetCurrentContext(), first.imgui) << "a new context must not change the current one";
        EXPECT_NE(second.imgui, first.imgui);
    }
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
}

TEST(UiContextLifetime, DestroyingAContextThatIsNotCurrentKeepsTheCurrentOne) {
    UiContext kept;
    auto other = std::make_unique<UiContext>();
    ASSERT_EQ(ImGui::GetCurrentContext(), kept.imgui);
    {
        ContextScope scope(*other);
        EXPECT_EQ(&UiContext::current(), other.get());
    }
    EXPECT_EQ(ImGui::GetCurrentContext(), kept.imgui);
    other.reset();
    EXPECT_EQ(ImGui::GetCurrentContext(), kept.imgui);
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextLifetime, DestroyingTheCurrentContextLeavesNoneCurrent) {
    auto ui = std::make_unique<UiContext>();
    ASSERT_EQ(ImGui::GetCurrentContext(), ui->imgui);
    ui.reset();
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
    EXPECT_THROW(UiContext::current(), std::logic_error);
}

TEST(UiContextLifetime, KeepsNoSettingsOrLogFile) {
    UiContext ui;
    ContextScope scope(ui);
    EXPECT_EQ(ImGui::GetIO().IniFilename, nullptr);
    EXPECT_EQ(ImGui::GetIO().LogFilename, nullptr);
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextLifetime, ContextScopeRestoresOnException) {
    UiContext a;
    UiContext b;
    ASSERT_EQ(ImGui::GetCurrentContext(), a.imgui);
    try {
        ContextScope scope(b);
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ImGui::GetCurrentContext(), a.imgui);
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextLifetime, RunsFramesWithTheEmbeddedFonts) {
    UiContext ui;
    for (int i = 0; i < 3; ++i) {
        testing::TestFrame frame(ui);
        ImGui::TextUnformatted("Bass \xE2\x80\xA6");
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 12.0f);
    }
    EXPECT_GT(ImGui::GetDrawData()->TotalVtxCount, 0);
    ImGui::SetCurrentContext(nullptr);
}

bool same(float a, float b) { return a == b; }
bool same(int a, int b) { return a == b; }
bool same(bool a, bool b) { return a == b; }
bool same(ImVec2 a, ImVec2 b) { return a.x == b.x && a.y == b.y; }
bool same(ImVec4 a, ImVec4 b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

// Field by field: the struct has padding, so its bytes cannot be compared.
bool sameStyle(const ImGuiStyle& a, const ImGuiStyle& b) {
    for (int i = 0; i < ImGuiCol_COUNT; ++i) {
        if (!same(a.Colors[i], b.Colors[i])) return false;
    }
    return same(a.Alpha, b.Alpha) && same(a.DisabledAlpha, b.DisabledAlpha) && same(a.WindowPadding, b.WindowPadding) &&
           same(a.WindowRounding, b.WindowRounding) && same(a.WindowBorderSize, b.WindowBorderSize) &&
           same(a.WindowMinSize, b.WindowMinSize) && same(a.WindowTitleAlign, b.WindowTitleAlign) &&
           same(a.WindowMenuButtonPosition, b.WindowMenuButtonPosition) && same(a.ChildRounding, b.ChildRounding) &&
           same(a.ChildBorderSize, b.ChildBorderSize) && same(a.PopupRounding, b.PopupRounding) &&
           same(a.PopupBorderSize, b.PopupBorderSize) && same(a.FramePadding, b.FramePadding) &&
           same(a.FrameRounding, b.FrameRounding) && same(a.FrameBorderSize, b.FrameBorderSize) &&
           same(a.ItemSpacing, b.ItemSpacing) && same(a.ItemInnerSpacing, b.ItemInnerSpacing) &&
           same(a.CellPadding, b.CellPadding) && same(a.TouchExtraPadding, b.TouchExtraPadding) &&
           same(a.IndentSpacing, b.IndentSpacing) && same(a.ColumnsMinSpacing, b.ColumnsMinSpacing) &&
           same(a.ScrollbarSize, b.ScrollbarSize) && same(a.ScrollbarRounding, b.ScrollbarRounding) &&
           same(a.GrabMinSize, b.GrabMinSize) && same(a.GrabRounding, b.GrabRounding) &&
           same(a.LogSliderDeadzone, b.LogSliderDeadzone) && same(a.TabRounding, b.TabRounding) &&
           same(a.TabBorderSize, b.TabBorderSize) && same(a.TabMinWidthForCloseButton, b.TabMinWidthForCloseButton) &&
           same(a.ColorButtonPosition, b.ColorButtonPosition) && same(a.ButtonTextAlign, b.ButtonTextAlign) &&
           same(a.SelectableTextAlign, b.SelectableTextAlign) && same(a.DisplayWindowPadding, b.DisplayWindowPadding) &&
           same(a.DisplaySafeAreaPadding, b.DisplaySafeAreaPadding) && same(a.MouseCursorScale, b.MouseCursorScale) &&
           same(a.AntiAliasedLines, b.AntiAliasedLines) && same(a.AntiAliasedLinesUseTex, b.AntiAliasedLinesUseTex) &&
           same(a.AntiAliasedFill, b.AntiAliasedFill) && same(a.CurveTessellationTol, b.CurveTessellationTol) &&
           same(a.CircleTessellationMaxError, b.CircleTessellationMaxError);
}

TEST(UiContextScale, RejectsScalesThatAreNotPositiveAndFinite) {
    UiContext ui;
    ContextScope scope(ui);
    const ImGuiStyle before = ImGui::GetStyle();
    for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        try {
            setDisplayScale(ui, bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "tarn-ui: display scale must be positive");
        }
        EXPECT_EQ(ui.displayScale, 1.0f);
        EXPECT_TRUE(sameStyle(ImGui::GetStyle(), before));
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextScale, ScaleTwoThenOneGivesTheStyleOfAFreshContext) {
    UiContext fresh;
    UiContext ui;
    setDisplayScale(ui, 2.0f);
    {
        ContextScope scope(ui);
        EXPECT_FLOAT_EQ(ImGui::GetStyle().WindowPadding.x, 16.0f);
        EXPECT_FLOAT_EQ(ImGui::GetStyle().FrameRounding, 8.0f);
    }
    setDisplayScale(ui, 1.0f);
    ImGuiStyle a;
    ImGuiStyle b;
    {
        ContextScope scope(fresh);
        a = ImGui::GetStyle();
    }
    {
        ContextScope scope(ui);
        b = ImGui::GetStyle();
    }
    EXPECT_TRUE(sameStyle(a, b));
    EXPECT_FLOAT_EQ(ui.compat.extras.fontScaleDpi, 1.0f);
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextScale, FontsAreBakedAgainAtTheNewScale) {
    UiContext ui;
    const uint64_t generation = ui.atlasGeneration();
    setDisplayScale(ui, 1.5f);
    EXPECT_GT(ui.atlasGeneration(), generation);
    {
        testing::TestFrame frame(ui);
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 18.0f);
        EXPECT_FLOAT_EQ(ui.fonts[0]->FontSize, 18.0f);
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextScale, ScaleStackMultipliesInPushOrder) {
    UiContext ui;
    setDisplayScale(ui, 1.5f);
    ContextScope scope(ui);
    EXPECT_FLOAT_EQ(scale(), 1.5f);
    pushScale(2.0f);
    pushScale(0.5f);
    EXPECT_FLOAT_EQ(scale(), 1.5f);
    popScale();
    EXPECT_FLOAT_EQ(scale(), 3.0f);
    popScale();
    popScale();  // one too many: ignored
    EXPECT_FLOAT_EQ(scale(), 1.5f);
    ImGui::SetCurrentContext(nullptr);
}

struct Apples {
    int count = 0;
};
struct Pears {
    std::string name;
};

TEST(UiContextState, StoreReturnsTheSameObjectAndReplacesAnotherType) {
    UiContext ui;
    ContextScope scope(ui);
    auto apples = contextState<Apples>(7);
    apples->count = 3;
    EXPECT_EQ(contextState<Apples>(7)->count, 3);
    EXPECT_EQ(contextState<Apples>(7).get(), apples.get());

    std::weak_ptr<Apples> old = apples;
    apples.reset();
    auto pears = contextState<Pears>(7);
    EXPECT_TRUE(old.expired()) << "the object of another type is released";
    EXPECT_TRUE(pears->name.empty());
    auto again = contextState<Apples>(7);
    EXPECT_EQ(again->count, 0) << "a replaced entry starts value-initialised";
    EXPECT_EQ(ui.states.size(), 1u);

    EXPECT_EQ(stateTag("PICT"), 0x50494354u);
    EXPECT_EQ(stateTag("KCMD"), 0x4b434d44u);
    ImGui::SetCurrentContext(nullptr);
}

TEST(UiContextState, FlashStrengthFallsAndTheEntryIsRemoved) {
    UiContext ui;
    { testing::TestFrame frame(ui, ImVec2(100, 100), 0.5f); }
    {
        testing::TestFrame frame(ui, ImVec2(100, 100), 0.5f);
        const double now = ImGui::GetTime();
        EXPECT_EQ(ui.flashAmount(5, 1.0f), 0.0f);
        ui.flashTimers[5] = now - 0.5;
        EXPECT_NEAR(ui.flashAmount(5, 1.0f), 0.25f, 1e-6);
        ui.flashTimers[5] = now - 1.0;
        EXPECT_EQ(ui.flashAmount(5, 1.0f), 0.0f);
        EXPECT_TRUE(ui.flashTimers.empty());
    }
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
