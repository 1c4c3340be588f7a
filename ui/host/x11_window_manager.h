// What the window asks of the X window manager directly, where SDL has no call for it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

namespace tarn::ui {

// A release of the first mouse button over `window`, as X reported it (an SDL_SYSWMEVENT). SDL
// itself reports no release for a press it handed to the window manager.
bool isPrimaryButtonRelease(SDL_Window* window, const SDL_Event& event);

// When X says the first, second or third mouse button went down or up (an SDL_SYSWMEVENT): the X
// server's time in milliseconds. SDL stamps its own event when it reads it, long after a press that
// came during a slow frame.
std::optional<std::uint32_t> buttonEventTime(const SDL_Event& event);

// Asks the window manager to end the move or resize it began for `window` (_NET_WM_MOVERESIZE_CANCEL).
// Harmless when none runs.
void cancelWindowManagerDrag(SDL_Window* window);

// A window manager runs and lists the _NET_WM_STATE `state` (e.g. "_NET_WM_STATE_FULLSCREEN") among
// those it supports. True off X11, where the window system itself answers.
bool windowManagerOffers(SDL_Window* window, const char* state);

// The window's X id, for what another toolkit on the same server makes to belong to it; 0 off X11.
unsigned long x11WindowId(SDL_Window* window);

// Asks every window manager, also one started later, to draw no frame or title bar around the
// window (the Motif hints); a borderless SDL window made where none ran has no such request.
void keepUndecorated(SDL_Window* window);

}  // namespace tarn::ui
