// Vector icons: lines and filled shapes drawn into any square at any size, in Dear ImGui's colour order.
#pragma once

#include "ui/view.h"

#include <imgui.h>

namespace tarn::ui {

// Every icon fills the rectangle it is given (w and h its size, (cx, cy) its centre) and scales its
// line widths by scale(). Each matches IconPainter, so it can be handed to buttons as it is.
void chevron(ImDrawList* list, const Rect& r, ImU32 colour, int direction);  // +1 right, -1 left
void chevronRight(ImDrawList* list, const Rect& r, ImU32 colour);
void chevronLeft(ImDrawList* list, const Rect& r, ImU32 colour);
void closeIcon(ImDrawList* list, const Rect& r, ImU32 colour);
// A dome of an arc with an arrowhead at its right end (forward) or its left end.
void loopedArrow(ImDrawList* list, const Rect& r, ImU32 colour, bool forward);
void redoIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void undoIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void maximiseIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void menuIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void minimiseIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void restoreIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void saveIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void playIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void stopIcon(ImDrawList* list, const Rect& r, ImU32 colour);  // two bars: shown while playing
void rewindIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void loopIcon(ImDrawList* list, const Rect& r, ImU32 colour);
void recordDot(ImDrawList* list, const Rect& r, ImU32 colour);

}  // namespace tarn::ui
