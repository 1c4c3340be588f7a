// The GTK chooser's window kept to a size that fits the screen it opens on.
#pragma once

#include <gtk/gtk.h>

namespace tarn::ui {

// The window of GtkFileChooserNative's own GTK dialog (the one shown when no desktop portal
// runs): the file chooser dialog in `after` that was not in `before` (GTK's toplevel lists);
// null when there is none.
GtkWindow* newChooserWindow(GList* before, GList* after);

// From now on, each time the window is shown, keeps it to at most three quarters of the work
// area of the monitor under the pointer in each direction; GTK's lower limits still hold.
void fitToWorkAreaWhenShown(GtkWindow* window);

}  // namespace tarn::ui
