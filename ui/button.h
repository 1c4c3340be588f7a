// Push buttons and square icon buttons with the toolkit's colour sets.
#pragma once

#include "ui/placement.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <functional>
#include <string_view>

namespace tarn::ui {

struct ButtonKind {
    static constexpr uint32_t normal = 0;
    static constexpr uint32_t accent = 1;
    static constexpr uint32_t danger = 2;
};

struct ButtonStyle {
    uint32_t kind = ButtonKind::normal;
    SizeRule width;
    int32_t alignX = 0;               // 0 start, 1 centre, 2 end
    bool compact = false;             // 18 px high, 44 px minimum width, text role 1
    bool disabled = false;            // no interaction, drawn at half alpha
    const char* tooltip = nullptr;
};

// Paints an icon into a square in a colour given in Dear ImGui's byte order.
using IconPainter = std::function<void(ImDrawList*, const Rect&, ImU32)>;

ImVec2 buttonSize(std::string_view label, const ButtonStyle& style);
// True on a click (released over the button without a drag).
bool button(const char* id, const Rect& hint, std::string_view label, const ButtonStyle& style);
// A square button showing an icon; `active` lights it in the accent colour.
bool iconButton(const char* id, const Rect& hint, const IconPainter& icon, bool active, const ButtonStyle& style);

}  // namespace tarn::ui
