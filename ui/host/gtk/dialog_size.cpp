// The GTK chooser's window kept to a size that fits the screen it opens on.
#include "ui/host/gtk/dialog_size.h"

#include <algorithm>

namespace tarn::ui {
namespace {

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

void fitToWorkArea(GtkWindow* window) {
    GdkMonitor* monitor = monitorUnderPointer(gtk_widget_get_display(GTK_WIDGET(window)));
    if (monitor == nullptr) return;
    // GTK makes its chooser 60 x 45 times the font's size in pixels, which it scales by the
    // screen's resolution a second time: the size grows with the square of Xft.dpi, 1096 x 822 at
    // 96 and 2430 x 1822 at 144, taller than a 1600-pixel screen, its buttons below the edge
    // unless a window manager moves them up. A quarter of the work area stays free for the window
    // manager's frame and a glimpse of the program behind.
    GdkRectangle area{};
    gdk_monitor_get_workarea(monitor, &area);
    int width = 0, height = 0;
    gtk_window_get_size(window, &width, &height);
    const int fittedWidth = std::min(width, area.width * 3 / 4);
    const int fittedHeight = std::min(height, area.height * 3 / 4);
    if (fittedWidth != width || fittedHeight != height) gtk_window_resize(window, fittedWidth, fittedHeight);
}

void fitShown(GtkWidget* window, gpointer) { fitToWorkArea(GTK_WINDOW(window)); }

}  // namespace

GtkWindow* newChooserWindow(GList* before, GList* after) {
    for (GList* at = after; at != nullptr; at = at->next) {
        if (GTK_IS_FILE_CHOOSER_DIALOG(at->data) && g_list_find(before, at->data) == nullptr) {
            return GTK_WINDOW(at->data);
        }
    }
    return nullptr;
}

void fitToWorkAreaWhenShown(GtkWindow* window) {
    // GTK asks for the chooser's size twice as it shows it: when the window is realized and,
    // as its content is mapped, once more. Each answer is shrunk before the window manager
    // places the window (the first show) or sees it resized (every show).
    g_signal_connect(window, "realize", G_CALLBACK(fitShown), nullptr);
    g_signal_connect(window, "map", G_CALLBACK(fitShown), nullptr);
}

}  // namespace tarn::ui
