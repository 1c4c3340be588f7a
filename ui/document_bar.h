// The document bar: the document's name as a button, then Previous, Next and Save.
#pragma once

#include "ui/view.h"

#include <string_view>

namespace tarn::ui {

struct DocumentBarInput {
    std::string_view name;  // empty shows "Untitled"
    bool modified = false;
    bool canStep = false;  // shows Previous and Next
    bool canSave = false;  // shows Save
    const char* openTooltip = nullptr;
};

struct DocumentBarResult {
    bool open = false;  // the name was clicked
    bool previous = false;
    bool next = false;
    bool save = false;
};

// Draws the bar from r's left (24 px high, vertically centred). A bar narrower than its width cuts the
// name with an ellipsis and drops Previous and Next, then Save, each whole; narrower than
// documentBarNarrowest it draws nothing and takes no clicks. With keepButtons the name gives up all its
// room, down to none, before a button goes (a bar held at its width under the pointer).
DocumentBarResult documentBar(const char* id, const Rect& r, const DocumentBarInput& input, bool keepButtons = false);
// The name (at most 260 px) with its margins, plus 28 px for each of Previous, Next and Save shown.
float documentBarWidth(const DocumentBarInput& input);
// The bar with every button and a long name cut to a short one (120 px), which still tells presets
// apart: a header narrows a long name to this before it cuts anything else.
float documentBarShortName(const DocumentBarInput& input);
// The narrowest bar that still shows something: the name button with a few letters of the name, and
// with every button when asked.
float documentBarNarrowest(const DocumentBarInput& input, bool withButtons = false);

}  // namespace tarn::ui
