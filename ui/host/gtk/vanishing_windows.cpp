// Dialog windows that another X client may destroy at any moment, taken in stride.
#include "ui/host/gtk/vanishing_windows.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

namespace tarn::ui {

VanishingWindows::VanishingWindows() {
    GdkDisplay* display = gdk_display_get_default();
    if (display != nullptr && GDK_IS_X11_DISPLAY(display)) {
        // GDK's X error handler replaces SDL's for good once GTK starts. It ignores errors on
        // connections that are not GDK's (SDL's included), ends the process on an untrapped error
        // on its own, and gives each error to the innermost trap whose requests it covers: this
        // one is the outermost while the dialog runs.
        gdk_x11_display_error_trap_push(display);
        trapped_ = true;
    }
}

VanishingWindows::~VanishingWindows() {
    if (trapped_) gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
}

}  // namespace tarn::ui
