// The full-window root that every frame opens, in a window or offscreen, around the view's draw.
#pragma once

#include "ui/view.h"

namespace tarn::ui {

// Opens "##tarn.root" over frame.window, draws the background, calls the view with the content
// rectangle inset by 20 x scale (25 x scale when framed), adds the light glow when framed, and
// ends the frame of the drop state.
void drawRoot(View& view, const FrameInfo& frame, bool framed);

}  // namespace tarn::ui
