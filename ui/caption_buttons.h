// The caption buttons of a borderless window: minimise, maximise or restore, and close.
#pragma once

#include "ui/button.h"
#include "ui/view.h"

namespace tarn::ui {

// Draws the three 32 px buttons at the right end of r, vertically centred, and returns the width they
// took: 96 px, or 0 without window controls (offscreen). In a narrower r only the buttons that fit
// whole are drawn, Close first, then Maximise. Clicks go to the frame's WindowControls.
float captionButtons(const FrameInfo& frame, const Rect& r);
// One caption button over r with its icon in a 10 px square; true on a click.
bool captionButton(const char* id, const Rect& r, IconPainter icon, const char* tooltip, bool danger);

}  // namespace tarn::ui
