// Card panels: the rounded card with shadow, gradient and title band, and its dimmed sections.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <string_view>

namespace tarn::ui {

// Draws a card and returns its content rectangle. flags 0: raised card (shadow, gradient,
// highlight); any other value: flat card.
Rect panel(ImDrawList* list, const Rect& r, std::string_view title, int flags);
// The band the card's title sits in.
Rect panelTitleRect(const Rect& r);

// A card in the current window, with its content rectangle as clip rectangle for the scope's life.
// Setting firstDimmedVertex (to the draw list's vertex count) fades everything drawn after it when
// the scope ends.
struct PanelScope {
    Rect rect;
    Rect content;
    ImDrawList* list = nullptr;
    int32_t firstDimmedVertex = -1;

    PanelScope(const Rect& r, std::string_view title, int flags);
    ~PanelScope();
    PanelScope(const PanelScope&) = delete;
    PanelScope& operator=(const PanelScope&) = delete;

    // Everything drawn from now on in this card is shown faded.
    void dimFromHere() { firstDimmedVertex = list->VtxBuffer.Size; }
};

}  // namespace tarn::ui
