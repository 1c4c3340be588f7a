// Anchored popups and the confirm dialog over simulated frames, each style push matched on every path.
#include "ui/popup.h"

#include "tests/ui/drawn_text.h"
#include "tests/ui/widget_frames.h"
#include "ui/confirm_dialog.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::keys;
using testing::pointer;
using testing::WidgetInput;
using testing::widgetFrame;

struct PopupFrame {
    bool open = false;
    ImVec2 pos{0, 0};
    ImVec2 size{0, 0};
};

// Opens the popup in the first frame and returns where it stood in the last of `frames`.
PopupFrame showAnchored(UiContext& ui, const Rect& anchor, ImVec2 size, int frames = 3) {
    PopupFrame out;
    for (int f = 0; f < frames; ++f) {
        widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
            if (f == 0) openPopup("menu");
            out.open = beginAnchoredPopup("menu", anchor, size);
            if (out.open) {
                ImGui::Dummy(ImVec2(120, 60));
                out.pos = ImGui::GetWindowPos();
                out.size = ImGui::GetWindowSize();
                endAnchoredPopup();
            }
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
        });
    }
    return out;
}

TEST(AnchoredPopup, OpensBelowWhenThereIsRoom) {
    UiContext ui;
    const PopupFrame p = showAnchored(ui, Rect{40, 100, 80, 20}, ImVec2(200, 150));
    ASSERT_TRUE(p.open);
    EXPECT_FLOAT_EQ(p.pos.x, 40.0f);
    EXPECT_FLOAT_EQ(p.pos.y, 124.0f);
    EXPECT_FLOAT_EQ(p.size.x, 200.0f);
    EXPECT_FLOAT_EQ(p.size.y, 150.0f);
}

TEST(AnchoredPopup, NearTheBottomOpensUpwards) {
    UiContext ui;
    const PopupFrame p = showAnchored(ui, Rect{40, 500, 80, 20}, ImVec2(200, 150));
    ASSERT_TRUE(p.open);
    EXPECT_FLOAT_EQ(p.pos.y + p.size.y, 496.0f) << "its bottom 4 px above the anchor";
}

TEST(AnchoredPopup, WithoutHeightOpensTowardsTheLargerSpace) {
    UiContext ui;
    const PopupFrame low = showAnchored(ui, Rect{40, 400, 80, 20}, ImVec2(200, 0), 4);
    ASSERT_TRUE(low.open);
    EXPECT_FLOAT_EQ(low.pos.y + low.size.y, 396.0f);
    UiContext other;
    const PopupFrame high = showAnchored(other, Rect{40, 200, 80, 20}, ImVec2(200, 0), 4);
    ASSERT_TRUE(high.open);
    EXPECT_FLOAT_EQ(high.pos.y, 224.0f);
    EXPECT_FLOAT_EQ(high.size.x, 200.0f);
}

TEST(AnchoredPopup, ClosedPopupPushesNothingAndAnyPopupOpenSeesOpenOnes) {
    UiContext ui;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        EXPECT_FALSE(anyPopupOpen());
        EXPECT_FALSE(beginAnchoredPopup("menu", Rect{0, 0, 10, 10}, ImVec2(0, 0)));
        EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
        openPopup("menu");
        EXPECT_TRUE(anyPopupOpen());
    });
    // A click elsewhere closes it; the next call reports it closed without any push left behind.
    for (const WidgetInput& in : {pointer(700, 550), pointer(700, 550, true), pointer(700, 550)}) {
        widgetFrame(ui, in, [&](ImDrawList*) {
            if (beginAnchoredPopup("menu", Rect{0, 0, 10, 10}, ImVec2(100, 50))) endAnchoredPopup();
        });
    }
    widgetFrame(ui, pointer(700, 550), [&](ImDrawList*) {
        const bool open = beginAnchoredPopup("menu", Rect{0, 0, 10, 10}, ImVec2(100, 50));
        EXPECT_FALSE(open);
        if (open) endAnchoredPopup();
        EXPECT_FALSE(anyPopupOpen());
        EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
    });
}

// A popup that is open but hidden (style alpha 0 makes Dear ImGui skip its body): the begin call
// reports false, and nothing is left pushed for a caller who then ends nothing.
TEST(AnchoredPopup, OpenButHiddenPopupLeavesNothingPushed) {
    UiContext ui;
    for (int f = 0; f < 3; ++f) {
        widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
            if (f == 0) {
                openPopup("menu");
                openPopup("confirm");
            }
            ImGui::PushStyleVar(ImGuiStyleVar_Alpha, 0.0f);
            const bool open = beginAnchoredPopup("menu", Rect{0, 0, 10, 10}, ImVec2(100, 50));
            EXPECT_FALSE(open);
            if (open) endAnchoredPopup();
            EXPECT_EQ(confirmDialog("confirm", "Title", "Message", "OK", "Cancel"), 1) << "open, undecided";
            ImGui::PopStyleVar();
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
            EXPECT_EQ(ImGui::GetCurrentContext()->ColorStack.Size, 0);
            EXPECT_EQ(ImGui::GetCurrentContext()->BeginPopupStack.Size, 0);
        });
    }
}

// Runs the dialog "confirm" for one frame per input (the first frame opens it); returns the results.
std::vector<int> runDialog(UiContext& ui, const char* cancel, const std::vector<WidgetInput>& inputs, int settleFrames = 3) {
    std::vector<int> out;
    for (int f = 0; f < settleFrames; ++f) {
        widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
            if (f == 0) openPopup("confirm");
            EXPECT_EQ(confirmDialog("confirm", "Unsaved changes", "Discard the unsaved changes to Untitled?", "Discard", cancel),
                      1);
        });
    }
    for (const WidgetInput& in : inputs) {
        widgetFrame(ui, in, [&](ImDrawList*) {
            out.push_back(confirmDialog("confirm", "Unsaved changes", "Discard the unsaved changes to Untitled?", "Discard",
                                        cancel));
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
            EXPECT_EQ(ImGui::GetCurrentContext()->ColorStack.Size, 0);
        });
    }
    return out;
}

// Centre of the dialog's accept (or, with `cancel`, cancel) button, from the dialog window's rectangle.
ImVec2 dialogButton(UiContext& ui, bool cancel) {
    ContextScope scope(ui);
    const ImGuiWindow* w = ImGui::FindWindowByName("confirm");
    EXPECT_NE(w, nullptr);
    if (w == nullptr) return ImVec2(0, 0);
    const float right = w->Pos.x + w->Size.x - 12.0f;
    const float y = w->Pos.y + w->Size.y - 12.0f - 12.0f;
    return cancel ? ImVec2(right - 84.0f - 8.0f - 42.0f, y) : ImVec2(right - 42.0f, y);
}

TEST(ConfirmDialog, KeysDecideAndCloseThePopup) {
    UiContext ui;
    EXPECT_EQ(runDialog(ui, "Keep", {keys({ImGuiKey_Enter}), WidgetInput{}}), (std::vector<int>{2, 0}));
    EXPECT_EQ(runDialog(ui, "Keep", {keys({ImGuiKey_KeyPadEnter}), WidgetInput{}}), (std::vector<int>{2, 0}));
    EXPECT_EQ(runDialog(ui, "Keep", {keys({ImGuiKey_Escape}), WidgetInput{}}), (std::vector<int>{3, 0}));
    EXPECT_EQ(runDialog(ui, nullptr, {keys({ImGuiKey_Escape}), WidgetInput{}}), (std::vector<int>{2, 0}))
        << "without a cancel button Escape accepts";
    EXPECT_EQ(runDialog(ui, "Keep", {keys({ImGuiKey_Escape, ImGuiKey_Enter})}), (std::vector<int>{3}))
        << "cancelling wins over accepting";
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        EXPECT_EQ(confirmDialog("confirm", "t", "", "OK", nullptr), 0) << "not open";
    });
}

TEST(ConfirmDialog, ButtonsDecideAndCancelWinsOverEnter) {
    UiContext ui;
    runDialog(ui, "Keep", {});
    const ImVec2 accept = dialogButton(ui, false);
    EXPECT_EQ(runDialog(ui, "Keep", {pointer(accept.x, accept.y), pointer(accept.x, accept.y, true), pointer(accept.x, accept.y),
                                     WidgetInput{}}, 1),
              (std::vector<int>{1, 1, 2, 0}));
    const ImVec2 cancel = dialogButton(ui, true);
    WidgetInput releaseWithEnter = pointer(cancel.x, cancel.y);
    releaseWithEnter.keys = {ImGuiKey_Enter};
    EXPECT_EQ(runDialog(ui, "Keep", {pointer(cancel.x, cancel.y), pointer(cancel.x, cancel.y, true), releaseWithEnter}, 1),
              (std::vector<int>{1, 1, 3}));
}

// What the user reads in the open dialog: the title in capitals, the message and the buttons' labels.
TEST(ConfirmDialog, ShowsItsTitleMessageAndButtons) {
    // clang-format off
    const struct { const char* title; const char* message; const char* accept; const char* cancel;
                   std::vector<const char*> shown; } cases[] = {
        {"Unsaved changes", "Discard the unsaved changes to Untitled?", "Discard", "Keep",
         {"UNSAVED CHANGES", "Discard the unsaved changes to Untitled?", "Discard", "Keep"}},
        {"Export failed", "The folder cannot be written to.", "OK", nullptr,
         {"EXPORT FAILED", "The folder cannot be written to.", "OK"}},
        {"Replace", "", "Replace", "Cancel", {"REPLACE", "Replace", "Cancel"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        UiContext ui;
        for (int f = 0; f < 3; ++f) {
            widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
                if (f == 0) openPopup("confirm");
                EXPECT_EQ(confirmDialog("confirm", c.title, c.message, c.accept, c.cancel), 1);
            });
        }
        for (const char* text : c.shown) EXPECT_TRUE(testing::findDrawnText(ui, text)) << c.title << ": " << text;
    }
}

TEST(ConfirmDialog, WidthStaysWithinItsLimits) {
    UiContext ui;
    const std::string longMessage(2000, 'x');
    for (const std::string& message : {std::string(), longMessage}) {
        for (int f = 0; f < 3; ++f) {
            widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
                if (f == 0) openPopup("confirm");
                EXPECT_EQ(confirmDialog("confirm", "caf\xC3\xA9 ok", message, "OK", nullptr), 1);
            });
        }
        ContextScope scope(ui);
        const ImGuiWindow* w = ImGui::FindWindowByName("confirm");
        ASSERT_NE(w, nullptr);
        EXPECT_GE(w->Size.x, 300.0f);
        EXPECT_LE(w->Size.x, 520.0f);
    }
}

}  // namespace
}  // namespace tarn::ui
