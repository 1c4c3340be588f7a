// The list browser: row wrapping and balancing, grouping, search, pills, keys, reopening, and the
// picker that hosts it.
#include "ui/list_browser.h"

#include "tests/ui/widget_frames.h"
#include "ui/picker.h"
#include "ui/popup.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui {
namespace {

using testing::keys;
using testing::pointer;
using testing::typing;
using testing::WidgetInput;
using testing::widgetFrame;

TEST(WrapRows, StartsRowsWhenTheLimitWouldBePassed) {
    EXPECT_EQ(wrapRows(std::vector<float>{5, 5, 5}, 10), (std::vector<int>{0, 2}));
    EXPECT_EQ(wrapRows(std::vector<float>{}, 10), (std::vector<int>{0}));
    EXPECT_EQ(wrapRows(std::vector<float>{30, 2, 40, 1}, 10), (std::vector<int>{0, 1, 2, 3})) << "oversized items stand alone";
    EXPECT_EQ(wrapRows(std::vector<float>{0, 0, 12, 3}, 10), (std::vector<int>{0, 3})) << "zero sizes never open a row";
}

TEST(BalanceRows, SplitsIntoAtMostTheRowsAllowedWithTheShortestLongestRow) {
    // Categories of 10, 2 and 2 entries (24 + 22 n + 8 px each), three columns allowed.
    const std::vector<float> heights{24 + 220 + 8, 24 + 44 + 8, 24 + 44 + 8};
    const std::vector<int> columns = balanceRows(heights, 3);
    EXPECT_EQ(columns, (std::vector<int>{0, 1})) << "the first category is the tallest column on its own";
    EXPECT_EQ(balanceRows(heights, 1), (std::vector<int>{0}));
    EXPECT_EQ(balanceRows(std::vector<float>{1, 1, 1, 1}, 2), (std::vector<int>{0, 2}));
    EXPECT_EQ(balanceRows(std::vector<float>{3}, 5), (std::vector<int>{0}));
}

TEST(GroupByCategory, OrderOfFirstAppearanceAndOtherForMissingTexts) {
    const std::vector<std::string> names{"a", "b", "c", "d", "e"};
    const std::vector<std::string> categories{"Sub", "", "Reese", "Sub"};
    const auto groups = groupByCategory(names, categories);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].name, "Sub");
    EXPECT_EQ(groups[0].entries, (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(groups[1].name, "Other");
    EXPECT_EQ(groups[1].entries, (std::vector<int32_t>{1, 4})) << "empty text and beyond the list";
    EXPECT_EQ(groups[2].name, "Reese");
}

TEST(AsciiCase, OnlyLettersAToZChange) {
    EXPECT_EQ(asciiUpper("sub bass \xC3\xA9\xFF"), "SUB BASS \xC3\xA9\xFF");
    EXPECT_EQ(asciiLower("ACID \xC3\x89Z"), "acid \xC3\x89z");
}

// A browser "presets" over a small list, opened on the first frame it runs.
struct BrowserRig {
    UiContext ui;
    std::vector<std::string> names{"Deep Sub", "Wobble", "Acid Line", "Round Sub", "Plain"};
    std::vector<std::string> categories{"Sub", "Growl", "Acid", "Sub"};
    std::vector<std::string> seconds{"", "a slow LFO", "squelchy"};
    int current = 1;
    BrowserStyle style;
    bool opened = false;

    BrowserRig() { style.secondTexts = seconds; }

    std::optional<int> frame(const WidgetInput& in = {}, bool open = false) {
        std::optional<int> out;
        widgetFrame(ui, in, [&](ImDrawList*) {
            if (open) openPopup("presets");
            out = browser("presets", Rect{20, 20, 100, 24}, names, categories, current, style);
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
            EXPECT_EQ(ImGui::GetCurrentContext()->ColorStack.Size, 0);
        });
        return out;
    }
    void open() {
        frame({}, true);
        frame();
    }
    BrowserState& state() {
        ContextScope scope(ui);
        ImGuiID id = 0;
        // The id as the test window sees it.
        id = ImHashStr("presets", 0, ImHashStr("##tarn.test"));
        return *widgetState<BrowserState>(id);
    }
    // Runs one more frame of the browser and tells whether its popup is still open after it.
    bool isOpen() {
        bool open = false;
        widgetFrame(ui, {}, [&](ImDrawList*) {
            browser("presets", Rect{20, 20, 100, 24}, names, categories, current, style);
            open = ImGui::IsPopupOpen("presets");
        });
        return open;
    }
};

TEST(Browser, OpensWithTheCurrentEntryHighlightedAndEnterChoosesIt) {
    BrowserRig rig;
    rig.open();
    EXPECT_EQ(rig.state().highlight, 1);
    EXPECT_EQ(rig.state().category, 0);
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 1);
    EXPECT_FALSE(rig.isOpen()) << "a choice closes the popup";
}

TEST(Browser, UpAndDownWalkTheVisibleEntriesInDisplayOrder) {
    BrowserRig rig;
    rig.current = -1;
    rig.open();
    EXPECT_EQ(rig.state().highlight, -1);
    // Display order: Sub (0, 3), Growl (1), Acid (2), Other (4).
    rig.frame(keys({ImGuiKey_DownArrow}));
    EXPECT_EQ(rig.state().highlight, 0) << "no highlight: the first entry";
    rig.frame();
    rig.frame(keys({ImGuiKey_DownArrow}));
    EXPECT_EQ(rig.state().highlight, 3);
    const std::vector<int> expected{1, 2, 4, 4};
    for (int want : expected) {
        rig.frame();
        rig.frame(keys({ImGuiKey_DownArrow}));
        EXPECT_EQ(rig.state().highlight, want);
    }
    rig.frame();
    rig.frame(keys({ImGuiKey_UpArrow}));
    EXPECT_EQ(rig.state().highlight, 2);
    EXPECT_EQ(rig.frame(keys({ImGuiKey_KeyPadEnter})), 2);
    // Up at the first entry stays there.
    rig.open();
    rig.state().highlight = 0;
    rig.frame(keys({ImGuiKey_UpArrow}));
    EXPECT_EQ(rig.state().highlight, 0);
}

TEST(Browser, SearchIgnoresCaseAndMatchesSecondTexts) {
    // The search field has the keyboard from the second frame of an opening on.
    BrowserRig rig;
    rig.open();
    rig.frame(typing("SUB"));
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 0) << "the current entry is hidden: the first match";
    rig.open();
    EXPECT_TRUE(rig.state().search.empty()) << "reopening clears the search";
    EXPECT_EQ(rig.state().highlight, 1);
    rig.frame(typing("Squelch"));
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 2) << "found through its second text";
    rig.open();
    rig.frame(typing("no such preset"));
    EXPECT_EQ(rig.state().search, "no such preset");
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), std::nullopt) << "nothing visible: nothing chosen";
    rig.frame(keys({ImGuiKey_DownArrow}));
    EXPECT_EQ(rig.state().highlight, -1) << "keys over an empty list change nothing";
    EXPECT_TRUE(rig.isOpen());
}

TEST(Browser, TypedSearchClearsTheHighlight) {
    BrowserRig rig;
    rig.open();
    rig.frame();
    rig.frame(typing("wob"));
    EXPECT_EQ(rig.state().search, "wob");
    EXPECT_EQ(rig.state().highlight, -1);
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 1);
}

TEST(Browser, CategoriesFilterAndClampAndReopeningResets) {
    BrowserRig rig;
    rig.open();
    rig.state().category = 3;  // "Acid"
    rig.state().highlight = 3;  // "Round Sub", not shown under Acid: counts as none
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 2);
    rig.open();
    EXPECT_EQ(rig.state().category, 0);
    rig.state().category = 99;
    rig.frame();
    EXPECT_EQ(rig.state().category, 4) << "falls back to the last category";
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 4) << "the Other category holds the entry without a text";
}

TEST(Browser, EscapeClosesAndAClickOnAPillSelectsItsCategory) {
    BrowserRig rig;
    rig.open();
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Escape})), std::nullopt);
    EXPECT_FALSE(rig.isOpen());

    // The popup opens below the anchor: content starts at (30, 58); pills after the 24 px search and
    // 8 px: "All" first, then "Sub". Click the second pill.
    rig.open();
    rig.frame();
    const float pillY = 58.0f + 24.0f + 8.0f + 10.0f;
    // Find the pill by hovering along the row: the category changes once a "Sub" click lands.
    bool selected = false;
    for (float x = 30.0f + 60.0f; x < 200.0f && !selected; x += 6.0f) {
        rig.frame(pointer(x, pillY));
        rig.frame(pointer(x, pillY, true));
        rig.frame(pointer(x, pillY));
        selected = rig.state().category == 1;
    }
    EXPECT_TRUE(selected);
    EXPECT_EQ(rig.state().highlight, -1);
    EXPECT_EQ(rig.frame(keys({ImGuiKey_Enter})), 0);
}

TEST(Browser, ClickOnARowChoosesIt) {
    BrowserRig rig;
    rig.open();
    rig.frame();
    // Body after search (24 + 8), one pill row (20), 8 px, the line, 8 px; then the first heading
    // (24 px) and "Deep Sub" as the first row of the first column.
    const float rowY = 58.0f + 24.0f + 8.0f + 20.0f + 8.0f + 8.0f + 24.0f + 11.0f;
    rig.frame(pointer(60, rowY));
    rig.frame(pointer(60, rowY, true));
    EXPECT_EQ(rig.frame(pointer(60, rowY)), 0);
}

// The height of the browser's scrolling body after its latest frame.
float bodyHeight(UiContext& ui) {
    ContextScope scope(ui);
    float h = -1.0f;
    for (ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        if (w->Active && std::string_view(w->Name).find("/body_") != std::string_view::npos) h = w->Size.y;
    return h;
}

TEST(Browser, BodyIsTheTallestBalancedColumnCappedAtTheMaximum) {
    BrowserRig rig;
    // Three categories of 10, 2 and 2 entries in three columns: the first stands alone.
    rig.names.clear();
    rig.categories.clear();
    for (int i = 0; i < 14; ++i) {
        rig.names.push_back("Preset " + std::to_string(i));
        rig.categories.push_back(i < 10 ? "Sub" : i < 12 ? "Acid" : "Pluck");
    }
    rig.open();
    rig.frame();
    EXPECT_FLOAT_EQ(bodyHeight(rig.ui), 24.0f + 10.0f * 22.0f + 8.0f);

    rig.style.maxColumns = 1;
    rig.frame();
    EXPECT_FLOAT_EQ(bodyHeight(rig.ui), 3.0f * 24.0f + 14.0f * 22.0f + 3.0f * 8.0f);
    rig.style.maxHeight = 100.0f;
    rig.frame();
    EXPECT_FLOAT_EQ(bodyHeight(rig.ui), 100.0f);
}

TEST(Browser, NothingVisibleLeavesOneRowOfBody) {
    BrowserRig rig;
    rig.open();
    rig.frame(typing("zzz"));
    rig.frame();
    EXPECT_FLOAT_EQ(bodyHeight(rig.ui), 22.0f) << "the Nothing matches line";
    BrowserRig empty;
    empty.names.clear();
    empty.open();
    EXPECT_EQ(empty.frame(keys({ImGuiKey_Enter})), std::nullopt);
    EXPECT_FLOAT_EQ(bodyHeight(empty.ui), 22.0f);
}

TEST(Picker, ListModePicksAndBrowserModeUsesTheListBrowser) {
    UiContext ui;
    const std::vector<std::string> items{"Sub", "Reese", "Pluck"};
    int selected = -1;
    PickerStyle style;
    style.placeholder = "Choose...";
    const Rect field{100, 100, 160, 24};
    auto run = [&](const WidgetInput& in) {
        bool picked = false;
        widgetFrame(ui, in, [&](ImDrawList*) {
            picked = picker("category", field, items, &selected, style);
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
        });
        return picked;
    };
    run(pointer(150, 112));
    run(pointer(150, 112, true));
    run(pointer(150, 112));
    run(pointer(150, 112));
    // The list opens below the field: rows of 20 px after the 10 px padding; pick the second.
    const float second = 100 + 24 + 4 + 10 + 20 + 4 + 10;
    run(pointer(150, second));
    run(pointer(150, second, true));
    EXPECT_TRUE(run(pointer(150, second)));
    EXPECT_EQ(selected, 1);

    style.browser = true;
    const std::vector<std::string> categories{"Bass", "Bass", "Lead"};
    style.categories = categories;
    run(pointer(150, 112));
    run(pointer(150, 112, true));
    run(pointer(150, 112));
    run(WidgetInput{});
    {
        ContextScope scope(ui);
        const ImGuiID pickerId = ImHashStr("category", 0, ImHashStr("##tarn.test"));
        const BrowserState& state = *widgetState<BrowserState>(ImHashStr("browser", 0, pickerId));
        EXPECT_FALSE(state.justOpened) << "the browser is showing";
        EXPECT_EQ(state.highlight, 1);
    }
    run(keys({ImGuiKey_DownArrow}));
    run(WidgetInput{});
    EXPECT_TRUE(run(keys({ImGuiKey_Enter})));
    EXPECT_EQ(selected, 2) << "Sub, Reese (Bass), then Pluck (Lead): down from Reese";
}

TEST(Picker, DisabledOpensNothing) {
    UiContext ui;
    const std::vector<std::string> items{"Sub"};
    int selected = 0;
    PickerStyle style;
    style.disabled = true;
    for (const WidgetInput& in : {pointer(150, 112), pointer(150, 112, true), pointer(150, 112), WidgetInput{}}) {
        widgetFrame(ui, in, [&](ImDrawList*) {
            EXPECT_FALSE(picker("p", Rect{100, 100, 160, 24}, items, &selected, style));
            EXPECT_FALSE(anyPopupOpen());
        });
    }
}

}  // namespace
}  // namespace tarn::ui
