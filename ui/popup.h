// Popups placed against an anchor rectangle, and the popup style they share with the confirm dialog.
#pragma once

#include "ui/view.h"

#include <imgui.h>

namespace tarn::ui {

// Marks the popup `id` (in the current ID scope) open.
void openPopup(const char* id);

// Seven style variables: window padding, popup and window rounding, popup border, item spacing,
// frame padding and selectable text alignment. popPopupStyle pops all seven.
void pushPopupStyle(float padding, float rounding);
void popPopupStyle();

// Opens the popup's body below the anchor, or above it when there is not room below. Only when it
// returns true, the caller ends it with endAnchoredPopup (or ImGui::EndPopup and popPopupStyle). A
// zero size component is fitted to the content.
bool beginAnchoredPopup(const char* id, const Rect& anchor, ImVec2 size);
void endAnchoredPopup();

// Some popup is open anywhere in the popup stack.
bool anyPopupOpen();

// A press on a popup or the number entry, or outside them all while one is shown (which only closes
// it), belongs to that popup with the rest of its quick run of presses: none of them reaches anything
// else, also once the popup has gone. Escape closes the topmost popup where nothing drawn closed one.
// Registered once on each Dear ImGui context the toolkit draws with.
void installPopupHooks(ImGuiContext* context);

}  // namespace tarn::ui
