// The toggle switch: click handling, the eased knob position and its drawing.
#include "ui/toggle.h"

#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr float kTrackWidth = 30.0f;
constexpr float kTrackHeight = 16.0f;
constexpr float kKnobSeconds = 0.12f;  // time constant of the knob's travel

uint32_t scaleAlpha(uint32_t colour, float a) {
    const auto alpha = static_cast<uint32_t>(static_cast<float>(colour >> 24) * a + 0.5f);
    return (colour & 0x00FFFFFFu) | (std::min(alpha, 255u) << 24);
}

}  // namespace

ImVec2 toggleSize(std::string_view label) {
    const float s = scale();
    return ImVec2(42.0f * s + measureText(label, 2).x, 24.0f * s);
}

bool toggle(const char* id, const Rect& hint, std::string_view label, bool* on, const ToggleStyle& style) {
    const LayoutItem item = placeItem(hint, style.width, toggleSize(label), style.alignX, 1);
    const Rect& r = item.rect;
    const float s = scale();

    Interaction i;
    if (!style.disabled) i = interact(id, rectangleHotspot(r, ImGuiMouseCursor_Hand, style.tooltip));
    const bool flipped = i.clicked && i.hovered;
    if (flipped) *on = !*on;

    // The knob position lives in the window's storage; below zero means never shown, and then it starts
    // at its target instead of sliding in.
    ImGui::PushID(id);
    const ImGuiID positionId = ImGui::GetID("position");
    ImGui::PopID();
    ImGuiStorage* storage = ImGui::GetStateStorage();
    const float target = *on ? 1.0f : 0.0f;
    float t = storage->GetFloat(positionId, -1.0f);
    t = t < 0.0f ? target : smoothTowards(t, target, ImGui::GetIO().DeltaTime, kKnobSeconds);
    storage->SetFloat(positionId, t);

    const float a = style.disabled ? 0.5f : 1.0f;
    ImDrawList* list = ImGui::GetWindowDrawList();
    const Rect track{r.x, r.y + (r.h - kTrackHeight * s) * 0.5f, kTrackWidth * s, kTrackHeight * s};
    uint32_t fill = mixColor(0xFF202C19, 0xFF8DC63F, t);
    if (i.hovered || i.held) fill = mixColor(fill, 0xFFFFFFFF, 0.07f);
    fillRoundRect(list, track, scaleAlpha(fill, a), 8.0f);
    strokeRoundRect(list, track, scaleAlpha(mixColor(0xFF2A3520, 0xFF5A8A1A, t), a), 8.0f, 1.0f);

    const float radius = (8.0f - 2.5f) * s;
    const ImVec2 centre(track.x + 8.0f * s + (kTrackWidth - kTrackHeight) * s * t, track.y + track.h * 0.5f);
    const uint32_t knob = mixColor(0xFF8A8870, 0xFFF0EED8, t);
    fillCircle(list, ImVec2(centre.x, centre.y + s), radius, scaleAlpha(0x55000000, a));
    fillCircle(list, centre, radius, scaleAlpha(knob, a));

    const float labelX = (kTrackWidth + 8.0f) * s;
    drawText(list, Rect{r.x + labelX, r.y, std::max(r.w - labelX, 0.0f), r.h}, label, 2, scaleAlpha(knob, a), 0);
    endItem(item);
    return flipped;
}

}  // namespace tarn::ui
