// The number entry: a small popup window in which a parameter's value is typed, one per UI context.
#pragma once

#include "ui/param.h"

#include <imgui.h>

struct ImGuiWindow;

namespace tarn::ui {

struct NumberEntryResult {
    static constexpr int closed = 0;     // not open for this id
    static constexpr int open = 1;       // open, nothing decided yet
    static constexpr int committed = 2;  // a typed value was stored
    static constexpr int rejected = 3;   // the text did not parse, or the entry lost focus
};

// Opens the entry for `id` (in the current ID scope) below `anchor`, holding the parameter's value as
// text. Opening another one replaces it.
void openNumberEntry(const char* id, ImVec2 anchor, const Param& param);

// Shows the entry when it is open for `id`; call it every frame from the same ID scope as
// openNumberEntry. Returns a NumberEntryResult value; any result but `open` closes the entry.
int numberEntry(const char* id, Param& param);

// The entry's window while it is shown; null when it is not.
ImGuiWindow* numberEntryWindow();

// Makes the entry's field let go of the keyboard, as a click elsewhere does, so that the entry closes
// as rejected when it is drawn next; true when it does. An entry in its first frames, which such a
// click leaves open, keeps it.
bool letGoOfNumberEntry();

}  // namespace tarn::ui
