// A GTK dialog that belongs to a window of another toolkit on the same X server.
#pragma once

#include <gtk/gtk.h>

namespace tarn::ui {

// Makes `dialog` modal and, each time it is shown: transient for the X window `owner` (0 for
// none), kept to a size that fits the screen, centred on the owner where there is one, and given
// the keyboard focus once it is on the screen.
void belongTo(GtkWindow* dialog, unsigned long owner);

}  // namespace tarn::ui
