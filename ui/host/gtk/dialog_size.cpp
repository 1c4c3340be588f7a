// A GTK dialog's window kept to a size that fits the screen it opens on.
#include "ui/host/gtk/dialog_size.h"

#include <algorithm>

namespace tarn::ui {

GdkMonitor* monitorUnderPointer(GdkDisplay* display) {
    GdkSeat* seat = gdk_display_get_default_seat(display);
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer != nullptr) {
        int x = 0, y = 0;
        gdk_device_get_position(pointer, nullptr, &x, &y);
        if (GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, x, y)) return monitor;
    }
    GdkMonitor* primary = gdk_display_get_primary_monitor(display);
    return primary != nullptr ? primary : gdk_display_get_monitor(display, 0);
}

GdkRectangle fitToWorkArea(GtkWindow* window, GdkMonitor* monitor) {
    int width = 0, height = 0;
    gtk_window_get_size(window, &width, &height);
    if (monitor == nullptr) return GdkRectangle{0, 0, width, height};
    // GTK makes its chooser 60 x 45 times the font's size in pixels, which it scales by the
    // screen's resolution a second time: the size grows with the square of Xft.dpi, 1096 x 822 at
    // 96 and 2430 x 1822 at 144, taller than a 1600-pixel screen, its buttons below the edge
    // unless a window manager moves them up. A quarter of the work area stays free for the window
    // manager's frame and a glimpse of the program behind.
    GdkRectangle area{};
    gdk_monitor_get_workarea(monitor, &area);
    const int fittedWidth = std::min(width, area.width * 3 / 4);
    const int fittedHeight = std::min(height, area.height * 3 / 4);
    if (fittedWidth != width || fittedHeight != height) gtk_window_resize(window, fittedWidth, fittedHeight);
    return GdkRectangle{0, 0, fittedWidth, fittedHeight};
}

}  // namespace tarn::ui
