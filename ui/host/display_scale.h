// The display's scale (the desktop's font resolution where it sets one, else the display's own) and its work area.
#pragma once

#include <optional>
#include <string_view>

namespace tarn::ui {

// The "Xft.dpi" entry of an X resource database text ("Xft.dpi:\t144" lines), divided by 96;
// empty when the entry is missing or not a positive number.
std::optional<float> xftDpiScale(std::string_view resources);

// For the display with SDL index `displayIndex`: Xft.dpi / 96 from the X server's resources
// where set (the desktop's own scale on X11), else SDL's DPI of the display / 96, else 1.
float systemDisplayScale(int displayIndex);

// A window's place on the screen in pixels: its top-left corner and its size.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The part of display `displayIndex` that windows may cover (without panels and docks); the
// whole display where the window system does not say, an empty rectangle without a display.
PixelRect displayWorkArea(int displayIndex);

// A window's size in pixels.
struct PixelSize {
    int width = 0, height = 0;
};

// The smallest window, `minWidth` x `minHeight` logical pixels at `scale`, in pixels, capped to
// `area` (unless the area is empty): a minimum larger than the screen would keep the window hanging
// off it, so on such a screen the view gives way below its own minimum instead.
PixelSize minimumInside(int minWidth, int minHeight, float scale, const PixelRect& area);

// `window` made to lie wholly in `area`: its size capped to the area's but never below `minimum`,
// then moved the least distance that brings it inside. A window larger than the area even so keeps
// the area's top-left corner; an empty area leaves the window as it is.
PixelRect fitInside(PixelRect window, const PixelRect& area, PixelSize minimum);

}  // namespace tarn::ui
