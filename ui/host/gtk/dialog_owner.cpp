// A GTK dialog that belongs to a window of another toolkit on the same X server.
#include "ui/host/gtk/dialog_owner.h"

#include "ui/host/gtk/dialog_size.h"

#include <gdk/gdkx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <optional>

namespace tarn::ui {
namespace {

constexpr const char* kOwnerKey = "tarn-owner";                // the owner's X id
constexpr const char* kOwnerWindowKey = "tarn-owner-window";  // GDK's wrapper of it
constexpr const char* kPlacedKey = "tarn-placed-size";        // width << 16 | height when last placed

unsigned long ownerOf(GtkWidget* dialog) {
    return static_cast<unsigned long>(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(dialog), kOwnerKey)));
}

// Where the owner is on the screen now (it may have moved since the last dialog); nothing when it
// is gone or not shown.
std::optional<GdkRectangle> ownerArea(GdkDisplay* display, unsigned long owner) {
    if (owner == 0 || !GDK_IS_X11_DISPLAY(display)) return std::nullopt;
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    gdk_x11_display_error_trap_push(display);
    XWindowAttributes attributes{};
    int left = 0, top = 0;
    Window child = None;
    const bool read = XGetWindowAttributes(x, owner, &attributes) != 0 &&
                      XTranslateCoordinates(x, owner, attributes.root, 0, 0, &left, &top, &child) != 0;
    if (gdk_x11_display_error_trap_pop(display) != 0 || !read || attributes.map_state != IsViewable) {
        return std::nullopt;
    }
    return GdkRectangle{left, top, attributes.width, attributes.height};
}

gsize packedSize(int width, int height) {
    return (static_cast<gsize>(width) << 16) | static_cast<gsize>(height & 0xFFFF);
}

GdkMonitor* monitorOf(GdkDisplay* display, const std::optional<GdkRectangle>& owner) {
    if (!owner) return monitorUnderPointer(display);
    return gdk_display_get_monitor_at_point(display, owner->x + owner->width / 2, owner->y + owner->height / 2);
}

// Moves a dialog of `width` x `height` over the middle of the owner, yet wholly on the screen:
// an owner pushed half off the screen still gets a dialog whose buttons can be reached. Without
// a window manager nothing else places it.
void centre(GtkWindow* dialog, const GdkRectangle& owner, GdkMonitor* monitor, int width, int height) {
    g_object_set_data(G_OBJECT(dialog), kPlacedKey, GSIZE_TO_POINTER(packedSize(width, height)));
    GdkRectangle area{};
    gdk_monitor_get_workarea(monitor, &area);
    const auto centred = [](int start, int length, int size, int areaStart, int areaLength) {
        return std::clamp(start + (length - size) / 2, areaStart, std::max(areaStart, areaStart + areaLength - size));
    };
    gtk_window_move(dialog, centred(owner.x, owner.width, width, area.x, area.width),
                    centred(owner.y, owner.height, height, area.y, area.height));
}

void place(GtkWidget* widget, gpointer) {
    GdkDisplay* display = gtk_widget_get_display(widget);
    const std::optional<GdkRectangle> owner = ownerArea(display, ownerOf(widget));
    GdkMonitor* monitor = monitorOf(display, owner);
    const GdkRectangle fitted = fitToWorkArea(GTK_WINDOW(widget), monitor);
    if (owner && monitor != nullptr) centre(GTK_WINDOW(widget), *owner, monitor, fitted.width, fitted.height);
}

// GTK's chooser may take the size it kept from the last chooser only once it is on the screen,
// where a window manager no longer centres it: a dialog whose size GTK changed is centred again.
// A size that changes while a mouse button is held is the user's, dragging the window manager's
// frame, and the dialog stays where the user puts it.
gboolean onConfigured(GtkWidget* widget, GdkEventConfigure* event, gpointer) {
    const gsize placed = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(widget), kPlacedKey));
    if (placed == packedSize(event->width, event->height)) return FALSE;
    GdkDisplay* display = gtk_widget_get_display(widget);
    GdkModifierType buttons{};
    GdkSeat* seat = gdk_display_get_default_seat(display);
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer != nullptr) gdk_window_get_device_position(event->window, pointer, nullptr, nullptr, &buttons);
    const auto anyButton = GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK | GDK_BUTTON4_MASK | GDK_BUTTON5_MASK;
    if ((buttons & anyButton) != 0) return FALSE;
    const std::optional<GdkRectangle> owner = ownerArea(display, ownerOf(widget));
    GdkMonitor* monitor = monitorOf(display, owner);
    if (owner && monitor != nullptr) centre(GTK_WINDOW(widget), *owner, monitor, event->width, event->height);
    return FALSE;
}

void onRealize(GtkWidget* widget, gpointer) {
    GdkWindow* window = gtk_widget_get_window(widget);
    GdkDisplay* display = gtk_widget_get_display(widget);
    const unsigned long owner = ownerOf(widget);
    if (owner != 0 && window != nullptr && GDK_IS_X11_DISPLAY(display)) {
        // GDK names an owner only through a GdkWindow of its own; the dialog's window keeps a
        // plain pointer to that wrapper, which therefore lives as long as the dialog.
        if (GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, owner)) {
            gdk_window_set_transient_for(window, foreign);
            g_object_set_data_full(G_OBJECT(widget), kOwnerWindowKey, foreign, g_object_unref);
        }
    }
    place(widget, nullptr);
}

// Without a window manager nothing gives a new window the keyboard focus, and a click does not
// either; with one, this asks it to, as a click would.
gboolean onMapped(GtkWidget* widget, GdkEvent*, gpointer) {
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window != nullptr && GDK_IS_X11_WINDOW(window)) {
        gtk_window_present_with_time(GTK_WINDOW(widget), gdk_x11_get_server_time(window));
    }
    return FALSE;
}

}  // namespace

void belongTo(GtkWindow* dialog, unsigned long owner) {
    g_object_set_data(G_OBJECT(dialog), kOwnerKey, GSIZE_TO_POINTER(owner));
    gtk_window_set_modal(dialog, TRUE);
    g_signal_connect_after(dialog, "realize", G_CALLBACK(onRealize), nullptr);
    // GTK asks for a chooser's size again as its content is mapped: shrunk and centred once more
    // before the window manager sees it resized.
    g_signal_connect(dialog, "map", G_CALLBACK(place), nullptr);
    g_signal_connect(dialog, "configure-event", G_CALLBACK(onConfigured), nullptr);
    g_signal_connect(dialog, "map-event", G_CALLBACK(onMapped), nullptr);
}

}  // namespace tarn::ui
