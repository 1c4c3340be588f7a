// The display's scale (the desktop's font resolution where it sets one, else the display's own) and its work area.
#include "ui/host/display_scale.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tarn::ui {

std::optional<float> xftDpiScale(std::string_view resources) {
    constexpr std::string_view key = "Xft.dpi:";
    size_t at = 0;
    while (at < resources.size()) {
        size_t end = resources.find('\n', at);
        if (end == std::string_view::npos) end = resources.size();
        std::string_view line = resources.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(key)) continue;
        line.remove_prefix(key.size());
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        float dpi = 0.0f;
        const auto [rest, error] = std::from_chars(line.data(), line.data() + line.size(), dpi);
        (void)rest;
        if (error != std::errc() || !std::isfinite(dpi) || dpi <= 0.0f) return std::nullopt;
        return dpi / 96.0f;
    }
    return std::nullopt;
}

namespace {

// A connection of its own: the resources are read as the server holds them now, so a change
// made since SDL connected is seen when the scale is read again.
std::optional<float> serverXftScale() {
    if (std::strcmp(SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "", "x11") != 0) return std::nullopt;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    const char* resources = XResourceManagerString(display);
    std::optional<float> scale = resources ? xftDpiScale(resources) : std::nullopt;
    XCloseDisplay(display);
    return scale;
}

}  // namespace

float systemDisplayScale(int displayIndex) {
    if (const std::optional<float> xft = serverXftScale()) return *xft;
    float dpi = 0.0f;
    if (SDL_GetDisplayDPI(displayIndex, &dpi, nullptr, nullptr) == 0 && std::isfinite(dpi) && dpi > 0.0f) {
        return dpi / 96.0f;
    }
    return 1.0f;
}

PixelRect displayWorkArea(int displayIndex) {
    SDL_Rect area{};
    if (SDL_GetDisplayUsableBounds(displayIndex, &area) != 0 && SDL_GetDisplayBounds(displayIndex, &area) != 0) {
        return {};
    }
    return {area.x, area.y, area.w, area.h};
}

PixelSize minimumInside(int minWidth, int minHeight, float scale, const PixelRect& area) {
    PixelSize minimum{static_cast<int>(std::lroundf(static_cast<float>(minWidth) * scale)),
                      static_cast<int>(std::lroundf(static_cast<float>(minHeight) * scale))};
    if (area.width <= 0 || area.height <= 0) return minimum;
    minimum.width = std::min(minimum.width, area.width);
    minimum.height = std::min(minimum.height, area.height);
    return minimum;
}

PixelRect fitInside(PixelRect window, const PixelRect& area, PixelSize minimum) {
    if (area.width <= 0 || area.height <= 0) return window;
    window.width = std::max(std::min(window.width, area.width), minimum.width);
    window.height = std::max(std::min(window.height, area.height), minimum.height);
    // The far edge first, so that a window wider than the area keeps its near edge on it.
    window.x = std::max(std::min(window.x, area.x + area.width - window.width), area.x);
    window.y = std::max(std::min(window.y, area.y + area.height - window.height), area.y);
    return window;
}

}  // namespace tarn::ui
