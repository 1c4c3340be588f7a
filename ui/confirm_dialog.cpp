// The confirm dialog: a modal popup with a title, a wrapped message and a button row, keyboard too.
#include "ui/confirm_dialog.h"

#include "ui/button.h"
#include "ui/imgui_compat.h"
#include "ui/popup.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr float kRowButtonWidth = 84.0f;
constexpr float kRowButtonHeight = 24.0f;
constexpr float kRowGap = 8.0f;

bool hasLabel(const char* label) { return label != nullptr && label[0] != '\0'; }

}  // namespace

int buttonRow(const char* acceptLabel, const char* cancelLabel) {
    const float s = scale();
    ImGui::Dummy(ImVec2(0.0f, 4.0f * s));
    const bool withCancel = hasLabel(cancelLabel);
    const float w = kRowButtonWidth * s;
    const float h = kRowButtonHeight * s;
    const float gap = kRowGap * s;
    const float available = std::max(ImGui::GetContentRegionAvail().x, 2.0f * w + gap);
    const ImVec2 start = ImGui::GetCursorScreenPos();
    const float right = start.x + available;

    ButtonStyle style;
    style.width = SizeRule{SizeKind::fixed, kRowButtonWidth};
    bool cancelled = false;
    if (withCancel) {
        style.kind = ButtonKind::normal;
        cancelled = button("##cancel", Rect{right - 2.0f * w - gap, start.y, w, h}, cancelLabel, style);
    }
    style.kind = ButtonKind::accent;
    const bool accepted = button("##accept", Rect{right - w, start.y, w, h}, hasLabel(acceptLabel) ? acceptLabel : "", style);

    ImGui::SetCursorScreenPos(start);
    ImGui::Dummy(ImVec2(available, h));
    if (cancelled) return ButtonRowResult::cancel;
    return accepted ? ButtonRowResult::accept : ButtonRowResult::none;
}

int confirmDialog(const char* id, std::string_view title, std::string_view message, const char* acceptLabel,
                  const char* cancelLabel) {
    if (!ImGui::IsPopupOpen(id)) return ConfirmResult::closed;
    const float s = scale();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f, display.y * 0.45f), ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSizeConstraints(ImVec2(300.0f * s, 0.0f),
                                        ImVec2(std::max(520.0f * s, 300.0f * s), std::max(display.y * 0.8f, 0.0f)));
    pushPopupStyle(12.0f, 8.0f);
    ImGui::PushStyleColor(ImGuiCol_PopupBg, toImColor(0xFF1F2615));
    constexpr ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings;
    if (!ImGui::BeginPopupModal(id, nullptr, flags)) {
        // Open but not shown this frame (BeginPopupModal has ended it itself): nothing decided.
        ImGui::PopStyleColor();
        popPopupStyle();
        return ImGui::IsPopupOpen(id) ? ConfirmResult::open : ConfirmResult::closed;
    }

    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImVec2 titleSize = measureText(title, 3);
    drawTextAt(list, ImGui::GetCursorScreenPos(), title, 3, 0xFF8A8870);  // role 3 sets capitals
    ImGui::Dummy(titleSize);
    if (!message.empty()) {
        const FontScope font(2);
        ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + 460.0f * s);
        compat::wantGlyphs(ImGui::GetFont(), message);
        ImGui::TextUnformatted(message.data(), message.data() + message.size());
        ImGui::PopTextWrapPos();
    }
    const int row = buttonRow(acceptLabel, cancelLabel);

    const bool withCancel = hasLabel(cancelLabel);
    const bool escape = compat::isKeyPressed(compat::Key::Escape, false);
    int result = ConfirmResult::open;
    // Cancelling, by button or Escape, wins over accepting in the same frame.
    if (row == ButtonRowResult::cancel || (escape && withCancel)) {
        result = ConfirmResult::cancelled;
    } else if (row == ButtonRowResult::accept || compat::isEnterPressed() || escape) {
        result = ConfirmResult::accepted;
    }
    if (result != ConfirmResult::open) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
    ImGui::PopStyleColor();
    popPopupStyle();
    return result;
}

}  // namespace tarn::ui
