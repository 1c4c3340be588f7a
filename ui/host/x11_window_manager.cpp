// What the window asks of the X window manager directly, where SDL has no call for it.
#include "ui/host/x11_window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <string>

namespace tarn::ui {
namespace {

constexpr long kMoveResizeCancel = 11;  // _NET_WM_MOVERESIZE_CANCEL
constexpr long kFromApplication = 1;    // the source indication of a normal application

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status, as longs.
constexpr long kMotifDecorationsGiven = 1L << 1;
constexpr int kMotifHintCount = 5;

bool x11Window(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

bool isPrimaryButtonRelease(SDL_Window* window, const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr || event.syswm.msg->subsystem != SDL_SYSWM_X11) {
        return false;
    }
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != ButtonRelease || x.xbutton.button != Button1) return false;
    SDL_SysWMinfo info;
    return x11Window(window, info) && x.xbutton.window == info.info.x11.window;
}

std::optional<std::uint32_t> buttonEventTime(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr || event.syswm.msg->subsystem != SDL_SYSWM_X11) {
        return std::nullopt;
    }
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if ((x.type != ButtonPress && x.type != ButtonRelease) || x.xbutton.button < Button1 ||
        x.xbutton.button > Button3) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(x.xbutton.time);
}

void cancelWindowManagerDrag(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Window(window, info)) return;
    Display* display = info.info.x11.display;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = info.info.x11.window;
    message.xclient.message_type = XInternAtom(display, "_NET_WM_MOVERESIZE", False);
    message.xclient.format = 32;
    message.xclient.data.l[2] = kMoveResizeCancel;
    message.xclient.data.l[3] = Button1;
    message.xclient.data.l[4] = kFromApplication;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(display);
}

bool windowManagerOffers(SDL_Window* window, const char* state) {
    SDL_SysWMinfo info;
    if (!x11Window(window, info)) return true;
    Display* display = info.info.x11.display;
    // A window manager owns its screen's WM_Sn selection for as long as it runs; the server drops
    // the ownership of one that died, where its properties on the root window may linger.
    const std::string selection = "WM_S" + std::to_string(DefaultScreen(display));
    if (XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) == None) return false;
    const Atom wanted = XInternAtom(display, state, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool listed = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_SUPPORTED", False), 0, 4096,
                           False, XA_ATOM, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        // Format 32 arrives as longs, whatever the size of long.
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        listed = type == XA_ATOM && format == 32 && std::find(atoms, atoms + count, wanted) != atoms + count;
        XFree(data);
    }
    return listed;
}

unsigned long x11WindowId(SDL_Window* window) {
    SDL_SysWMinfo info;
    return x11Window(window, info) ? static_cast<unsigned long>(info.info.x11.window) : 0;
}

void keepUndecorated(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Window(window, info)) return;
    Display* display = info.info.x11.display;
    const Window id = info.info.x11.window;
    // SDL sets the hint only when the server already knows its name (one that a window manager
    // made); on a bare server it marks the window transient for the root window instead, which a
    // window manager started later takes for a dialog of the whole screen, with a title bar.
    const long hints[kMotifHintCount] = {kMotifDecorationsGiven, 0, 0, 0, 0};  // decorations: none
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, id, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints),
                    kMotifHintCount);
    Window owner = None;
    if (XGetTransientForHint(display, id, &owner) != 0 && owner == DefaultRootWindow(display)) {
        XDeleteProperty(display, id, XA_WM_TRANSIENT_FOR);
    }
    XFlush(display);
}

}  // namespace tarn::ui
