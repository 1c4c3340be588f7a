// Anchored popups: opening, placing above or below the anchor, and their style.
#include "ui/popup.h"

#include "ui/imgui_compat.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <vector>

namespace tarn::ui {
namespace {

// The anchored popups drawn in one frame, each with its anchor.
struct DrawnAnchors {
    int frame = -1;
    std::vector<std::pair<ImGuiID, Rect>> popups;  // popup id, anchor
};

DrawnAnchors& drawnAnchors() { return *contextState<DrawnAnchors>(ImHashStr("tarn.popupAnchors")); }

// The left presses a popup owns beyond the one that landed on it.
struct PopupPresses {
    ImGuiID owner = 0;    // the popup the last press landed on; 0 for none
    bool hidden = false;  // the press held now reaches no item, until it is released
};

// Escape, and the popups open when the frame started.
struct EscapeWatch {
    bool pressed = false;
    std::vector<ImGuiID> open;
};

PopupPresses& popupPresses() { return *contextState<PopupPresses>(ImHashStr("tarn.popupPresses")); }
EscapeWatch& escapeWatch() { return *contextState<EscapeWatch>(ImHashStr("tarn.popupEscape")); }

// The popup under the pointer, as its popup id; 0 over anything else.
ImGuiID popupUnderPointer(const ImGuiContext& g) {
    const ImGuiWindow* hovered = g.HoveredWindow;
    if (hovered == nullptr || (hovered->RootWindow->Flags & ImGuiWindowFlags_Popup) == 0) return 0;
    return hovered->RootWindow->PopupId;
}

// A press on a popup belongs to it with all that follows: its release, and the second press of its
// double click with that press's release, even where the popup has gone meanwhile (its item closed
// it, or resized the window) and something else lies there now. The editor takes presses again from
// the first one that is not part of that double click.
void keepPressesWithTheirPopup(ImGuiContext& g) {
    const ImGuiIO& io = g.IO;
    PopupPresses& presses = popupPresses();
    if (io.MouseClicked[ImGuiMouseButton_Left]) {
        const ImGuiID under = popupUnderPointer(g);
        presses.hidden =
            presses.owner != 0 && io.MouseClickedCount[ImGuiMouseButton_Left] == 2 && under != presses.owner;
        presses.owner = presses.hidden ? 0 : under;
    } else if (io.MouseDown[ImGuiMouseButton_Left] && presses.owner != 0 &&
               !ImGui::IsPopupOpen(presses.owner, ImGuiPopupFlags_AnyPopupLevel)) {
        presses.hidden = true;  // the popup went while its press was held
    }
    if (!presses.hidden) return;
    if (!io.MouseDown[ImGuiMouseButton_Left]) presses.hidden = false;  // hidden up to its release
    compat::hideMouseButton(ImGuiMouseButton_Left);
}

bool contains(const Rect& r, ImVec2 p) { return p.x >= r.x && p.x < r.x + r.w && p.y >= r.y && p.y < r.y + r.h; }

// Runs right after NewFrame, before any item: Dear ImGui would close the popups only at the end of
// this frame, and until then every item outside them is blocked, so the click would be lost.
void passClickThrough(ImGuiContext& g) {
    if (!g.IO.MouseClicked[ImGuiMouseButton_Left] || g.OpenPopupStack.Size == 0) return;
    ImGuiWindow* hovered = g.HoveredWindow;
    // On a popup itself, off every window, or with a modal dialog open: Dear ImGui's own rules hold.
    if (hovered == nullptr || (hovered->RootWindow->Flags & ImGuiWindowFlags_Popup) != 0) return;
    if (ImGui::GetTopMostPopupModal() != nullptr) return;
    const DrawnAnchors& drawn = drawnAnchors();
    if (drawn.frame != g.FrameCount - 1) return;
    bool anchored = false;
    for (const auto& [popup, anchor] : drawn.popups) {
        if (contains(anchor, g.IO.MousePos)) return;
        anchored = anchored || popup == g.OpenPopupStack[0].PopupId;
    }
    if (!anchored) return;
    ImGui::ClosePopupToLevel(0, false);
    // A field of the popup may still hold the keyboard: it would block every item for this frame.
    if (g.ActiveIdWindow != nullptr && (g.ActiveIdWindow->RootWindow->Flags & ImGuiWindowFlags_Popup) != 0) {
        ImGui::ClearActiveID();
    }
    ImGui::FocusWindow(hovered);
}

// Before any item of the frame.
void atFrameStart(ImGuiContext* context, ImGuiContextHook*) {
    ImGuiContext& g = *context;
    keepPressesWithTheirPopup(g);
    passClickThrough(g);
    EscapeWatch& escape = escapeWatch();
    escape.pressed = compat::isKeyPressed(compat::Key::Escape, false);
    escape.open.clear();
    for (const ImGuiPopupData& popup : g.OpenPopupStack) escape.open.push_back(popup.PopupId);
}

// Once every item of the frame is drawn: Escape closes the topmost popup when nothing drawn closed
// one for it. Without keyboard navigation 1.86 leaves Escape to each popup's owner, and a combo box's
// owner does not look.
void atFrameEnd(ImGuiContext* context, ImGuiContextHook*) {
    ImGuiContext& g = *context;
    const EscapeWatch& escape = escapeWatch();
    if (!escape.pressed || escape.open.empty() || g.OpenPopupStack.Size < static_cast<int>(escape.open.size())) return;
    for (size_t level = 0; level < escape.open.size(); ++level) {
        if (g.OpenPopupStack[static_cast<int>(level)].PopupId != escape.open[level]) return;
    }
    ImGui::ClosePopupToLevel(static_cast<int>(escape.open.size()) - 1, true);
}

}  // namespace

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
    if (size.x > 0.0f || size.y > 0.0f)
        ImGui::SetNextWindowSize(ImVec2(std::max(size.x, 0.0f), std::max(size.y, 0.0f)));
    pushPopupStyle(10.0f, 8.0f);
    if (ImGui::BeginPopup(id, 0)) {
        DrawnAnchors& drawn = drawnAnchors();
        if (drawn.frame != ImGui::GetFrameCount()) drawn.popups.clear();
        drawn.frame = ImGui::GetFrameCount();
        drawn.popups.emplace_back(ImGui::GetCurrentWindow()->PopupId, anchor);
        return true;
    }
    // No body this frame: nothing for the caller to end, so the style goes now.
    popPopupStyle();
    return false;
}

void endAnchoredPopup() {
    ImGui::EndPopup();
    popPopupStyle();
}

void installPopupHooks(ImGuiContext* context) {
    ImGuiContextHook start;
    start.Type = ImGuiContextHookType_NewFramePost;
    start.Callback = atFrameStart;
    ImGui::AddContextHook(context, &start);
    ImGuiContextHook end;
    end.Type = ImGuiContextHookType_EndFramePre;
    end.Callback = atFrameEnd;
    ImGui::AddContextHook(context, &end);
}

bool anyPopupOpen() { return ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel); }

}  // namespace tarn::ui
