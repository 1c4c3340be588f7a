// A GTK dialog's window kept to a size that fits the screen it opens on.
#pragma once

#include <gtk/gtk.h>

namespace tarn::ui {

// The monitor under the pointer, else the primary one, else the first; null when there is none.
GdkMonitor* monitorUnderPointer(GdkDisplay* display);

// Shrinks the window to at most three quarters of `monitor`'s work area in each direction (GTK's
// lower limits still hold) and returns the size asked for, which the window reports only once the
// window system has answered.
GdkRectangle fitToWorkArea(GtkWindow* window, GdkMonitor* monitor);

}  // namespace tarn::ui
