// Anchored popups: opening, placing above or below the anchor, and their style.
#include "ui/popup.h"

#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {

void openPopup(const char* id) { ImGui::OpenPopup(id, 0); }

void pushPopupStyle(float padding, float rounding) {
    const float s = scale();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(padding * s, padding * s));
    ImGui::PushStyleVar(ImGuiStyleVar_PopupRounding, rounding * s);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, rounding * s);
    ImGui::PushStyleVar(ImGuiStyleVar_PopupBorderSize, 1.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(8.0f * s, 4.0f * s));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(6.0f * s, 4.0f * s));
    ImGui::PushStyleVar(ImGuiStyleVar_SelectableTextAlign, ImVec2(0.0f, 0.5f));
}

void popPopupStyle() { ImGui::PopStyleVar(7); }

bool beginAnchoredPopup(const char* id, const Rect& anchor, ImVec2 size) {
    if (!ImGui::IsPopupOpen(id)) return false;
    const float gap = 4.0f * scale();
    const float below = ImGui::GetIO().DisplaySize.y - (anchor.y + anchor.h);
    // With a known height: upwards when it does not fit below; otherwise towards the larger space.
    const bool upwards = size.y > 0.0f ? below < size.y + gap : below < anchor.y;
    if (upwards) {
        ImGui::SetNextWindowPos(ImVec2(anchor.x, anchor.y - gap), ImGuiCond_Always, ImVec2(0.0f, 1.0f));
    } else {
        ImGui::SetNextWindowPos(ImVec2(anchor.x, anchor.y + anchor.h + gap), ImGuiCond_Always, ImVec2(0.0f, 0.0f));
    }
    if (size.x > 0.0f || size.y > 0.0f) ImGui::SetNextWindowSize(ImVec2(std::max(size.x, 0.0f), std::max(size.y, 0.0f)));
    pushPopupStyle(10.0f, 8.0f);
    if (ImGui::BeginPopup(id, 0)) return true;
    // No body this frame: nothing for the caller to end, so the style goes now.
    popPopupStyle();
    return false;
}

void endAnchoredPopup() {
    ImGui::EndPopup();
    popPopupStyle();
}

bool anyPopupOpen() { return ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel); }

}  // namespace tarn::ui
