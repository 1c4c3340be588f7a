// Push buttons and icon buttons: measuring, interaction and the body colours of each state.
#include "ui/button.h"

#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

struct BodyColours {
    uint32_t fill;
    uint32_t text;
};

BodyColours bodyColours(const ButtonStyle& style, bool active, const Interaction& i) {
    BodyColours c{0xFF25331A, 0xFFF0EED8};
    if (style.kind == ButtonKind::accent) c = {0xFF3E5827, 0xFF8DC63F};
    if (style.kind == ButtonKind::danger) c = {mixColor(0xFFC84830, 0xFF25331A, 0.55f), 0xFFF0EED8};
    if (active) c = {0xFF8DC63F, 0xFF0E1208};
    if (i.held) {
        c.fill = active ? 0xFF5A8A1A : 0xFF3E5827;
    } else if (i.hovered) {
        c.fill = mixColor(c.fill, (c.fill & 0xFF000000u) | 0x00FFFFFFu, 0.08f);
    }
    if (style.disabled) {
        c.fill = (c.fill & 0x00FFFFFFu) | (((c.fill >> 24) / 2) << 24);
        c.text = (c.text & 0x00FFFFFFu) | 0x80000000u;
    }
    return c;
}

// The shared body of both buttons: placement, interaction, body and outline; the label or icon is
// drawn by `content` into the button's rectangle.
template <class Content>
bool buttonBody(const char* id, const Rect& hint, ImVec2 natural, bool active, const ButtonStyle& style,
                Content&& content) {
    const LayoutItem item = placeItem(hint, style.width, natural, style.alignX, 1);
    const Rect& r = item.rect;
    Interaction i;
    if (!style.disabled) i = interact(id, rectangleHotspot(r, ImGuiMouseCursor_Hand, style.tooltip));
    const BodyColours c = bodyColours(style, active, i);
    ImDrawList* list = ImGui::GetWindowDrawList();
    const float rounding = style.compact ? 4.0f : 6.0f;
    fillRoundRect(list, r, c.fill, rounding);
    strokeRoundRect(list, r, active ? 0xFF5A8A1A : 0xFF2A3520, rounding, 1.0f);
    content(list, r, c.text);
    endItem(item);
    return i.clicked && i.hovered;
}

}  // namespace

ImVec2 buttonSize(std::string_view label, const ButtonStyle& style) {
    const float s = scale();
    const float labelWidth = measureText(label, style.compact ? 1 : 2).x;
    return ImVec2(std::max(labelWidth + 28.0f * s, (style.compact ? 44.0f : 64.0f) * s), (style.compact ? 18.0f : 24.0f) * s);
}

bool button(const char* id, const Rect& hint, std::string_view label, const ButtonStyle& style) {
    return buttonBody(id, hint, buttonSize(label, style), false, style,
                      [&](ImDrawList* list, const Rect& r, uint32_t text) {
                          const float inset = 6.0f * scale();
                          const Rect box{r.x + inset, r.y, std::max(r.w - 2.0f * inset, 0.0f), r.h};
                          drawText(list, box, label, style.compact ? 1 : 2, text, 1);
                      });
}

bool iconButton(const char* id, const Rect& hint, const IconPainter& icon, bool active, const ButtonStyle& style) {
    const float side = (style.compact ? 18.0f : 24.0f) * scale();
    return buttonBody(id, hint, ImVec2(side, side), active, style, [&](ImDrawList* list, const Rect& r, uint32_t text) {
        if (!icon) return;
        const float d = std::min(r.w, r.h) * 0.6f;
        icon(list, Rect{r.x + (r.w - d) * 0.5f, r.y + (r.h - d) * 0.5f, d, d}, toImColor(text));
    });
}

}  // namespace tarn::ui
