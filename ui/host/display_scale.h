// The display's scale: the desktop's font resolution where it sets one, else the display's own.
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

}  // namespace tarn::ui
