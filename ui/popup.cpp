// Anchored popups: opening, placing above or below the anchor, and their style.
#include "ui/popup.h"

#include "ui/imgui_compat.h"
#include "ui/number_entry.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <vector>

namespace tarn::ui {
namespace {

// The presses the popups own, for each mouse button.
struct PopupPresses {
    // The popup the button's run of quick presses belongs to: the one its first press landed on, or
    // closed by landing outside every popup; 0 for none.
    ImGuiID owner[ImGuiMouseButton_COUNT] = {};
    bool hidden[ImGuiMouseButton_COUNT] = {};  // the press held now reaches nothing, until it is released
};

// Escape, and the popups open when the frame started.
struct EscapeWatch {
    bool pressed = false;
    std::vector<ImGuiID> open;
};

PopupPresses& popupPresses() { return *contextState<PopupPresses>(ImHashStr("tarn.popupPresses")); }
EscapeWatch& escapeWatch() { return *contextState<EscapeWatch>(ImHashStr("tarn.popupEscape")); }

// The open popup under the pointer, the innermost where a menu holds its submenu; 0 outside them all.
// The number entry counts as a popup, by its window's id.
ImGuiID popupUnderPointer(const ImGuiContext& g) {
    ImGuiWindow* hovered = g.HoveredWindow;
    if (hovered == nullptr) return 0;
    for (int level = g.OpenPopupStack.Size - 1; level >= 0; --level) {
        ImGuiWindow* popup = g.OpenPopupStack[level].Window;
        if (popup != nullptr && ImGui::IsWindowChildOf(hovered, popup, false)) return g.OpenPopupStack[level].PopupId;
    }
    ImGuiWindow* entry = numberEntryWindow();
    return entry != nullptr && ImGui::IsWindowChildOf(hovered, entry, false) ? entry->ID : 0;
}

// Some popup, or the number entry, is on the screen.
bool anyShown(const ImGuiContext& g) {
    const ImGuiWindow* outermost = g.OpenPopupStack.Size > 0 ? g.OpenPopupStack[0].Window : nullptr;
    return (outermost != nullptr && outermost->WasActive) || numberEntryWindow() != nullptr;
}

// All that a press outside every popup does: it closes them, unless a modal one waits for its answer,
// and the number entry. Returns the popup that owns the press's run: the outermost, the modal, or the
// number entry; 0 where only the entry is shown and, in its first frames, stays open.
ImGuiID closeFromOutside(ImGuiContext& g) {
    const ImGuiWindow* entry = numberEntryWindow();
    const ImGuiID entryOwner = entry != nullptr && letGoOfNumberEntry() ? entry->ID : 0;
    if (g.OpenPopupStack.Size == 0) return entryOwner;
    const ImGuiID outermost = g.OpenPopupStack[0].PopupId;
    if (ImGui::GetTopMostPopupModal() != nullptr) return outermost;
    // A field of a popup would keep the keyboard with its window gone.
    if (g.ActiveIdWindow != nullptr && (g.ActiveIdWindow->RootWindow->Flags & ImGuiWindowFlags_Popup) != 0) {
        ImGui::ClearActiveID();
    }
    ImGui::ClosePopupToLevel(0, true);
    return outermost;
}

// The popup, or the number entry, is still there.
bool popupShown(ImGuiID popup) {
    const ImGuiWindow* entry = numberEntryWindow();
    return ImGui::IsPopupOpen(popup, ImGuiPopupFlags_AnyPopupLevel) || (entry != nullptr && entry->ID == popup);
}

// Runs before any item of the frame, so that what it hides reaches nothing: not the items, and not the
// editor's canvases, which are items too. A press on a popup belongs to that popup. A press outside
// every popup while one is shown only closes it: on its own Dear ImGui would close the popup only at
// the frame's end, keep it open against a right press while its field holds the keyboard, and block
// nothing under the number entry, a plain window. Every press of the quick run either begins (each
// within the double-click time and distance of the one before) belongs to the same popup, wherever it
// has gone meanwhile (its item closed it, or resized the window) and whatever lies there now, and so
// does the rest of a press whose popup has closed. The editor takes presses again from the first one
// that does not continue the run.
void keepPressesWithTheirPopup(ImGuiContext& g) {
    const ImGuiIO& io = g.IO;
    PopupPresses& presses = popupPresses();
    for (int button = 0; button < ImGuiMouseButton_COUNT; ++button) {
        ImGuiID& owner = presses.owner[button];
        bool& hidden = presses.hidden[button];
        if (io.MouseClicked[button]) {
            const ImGuiID under = popupUnderPointer(g);
            const bool runGoesOn = owner != 0 && io.MouseClickedCount[button] >= 2;
            hidden = runGoesOn ? under != owner : under == 0 && anyShown(g);
            if (!runGoesOn) owner = hidden ? closeFromOutside(g) : under;
        } else if (io.MouseDown[button] && owner != 0 && !popupShown(owner)) {
            hidden = true;  // the popup went while its press was held
        }
        if (!hidden) continue;
        if (!io.MouseDown[button]) hidden = false;  // hidden up to its release
        compat::hideMouseButton(button);
    }
}

// Before any item of the frame.
void atFrameStart(ImGuiContext* context, ImGuiContextHook*) {
    ImGuiContext& g = *context;
    keepPressesWithTheirPopup(g);
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
    if (ImGui::BeginPopup(id, 0)) return true;
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
