// The drag field: edit gestures on the parameter, the drag accumulator, the number entry and drawing.
#include "ui/drag_field.h"

#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/number_entry.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr float kPixelsPerStep = 6.0f;    // stepped parameters: one unit per 6 px
constexpr float kPixelsPerRange = 200.0f;  // continuous parameters: the whole range in 200 px
constexpr float kFineFactor = 0.1f;        // with Shift held
constexpr float kFlashSeconds = 0.4f;

bool isStepped(const FloatParamSpec& settings) { return settings.integer || !settings.choices.empty(); }

ImVec2 dragSize(const DragStyle& style) {
    const float s = scale();
    if (style.large) return ImVec2(92.0f * s, (style.slim ? 32.0f - 2.0f * 3.0f : 36.0f) * s);
    return ImVec2(64.0f * s, (style.caption.empty() ? 24.0f : 40.0f) * s);
}

}  // namespace

DragResult dragField(const char* id, const Rect& hint, Param& param, const DragStyle& style) {
    const LayoutItem item = placeItem(hint, style.width, dragSize(style), style.alignX, 1);
    const Rect& r = item.rect;
    const float s = scale();
    const FloatParamSpec& settings = param.spec();
    bool changed = false;

    ImGui::PushID(id);
    const ImGuiID fieldId = ImGui::GetID("drag");
    Interaction i;
    const char* tooltip = style.tooltip != nullptr        ? style.tooltip
                          : settings.description.empty() ? nullptr
                                                         : settings.description.c_str();
    if (!style.disabled && style.readOnly) i = interact("drag", rectangleHotspot(r, ImGuiMouseCursor_Arrow, tooltip));
    if (!style.disabled && !style.readOnly) {
        Hotspot field = rectangleHotspot(r, ImGuiMouseCursor_ResizeNS, tooltip);
        field.doubleClicks = true;  // a double click opens the number entry
        i = interact("drag", field);

        // The accumulator keeps the unrounded position between frames, so slow drags still add up.
        ImGuiStorage* storage = ImGui::GetStateStorage();
        const bool stepped = isStepped(settings);
        if (i.pressed) {
            param.beginEdit();
            storage->SetFloat(fieldId, stepped ? param.value() : FloatParam::toNormalized(settings, param.value()));
        }
        if (i.held && !i.pressed && i.stepDelta.y != 0.0f) {
            const float fine = ImGui::GetIO().KeyShift ? kFineFactor : 1.0f;
            float acc = storage->GetFloat(fieldId);
            float next = 0.0f;
            if (stepped) {
                const float lo = std::min(settings.min, settings.max);
                const float hi = std::max(settings.min, settings.max);
                acc = std::clamp(acc - i.stepDelta.y / kPixelsPerStep * fine, lo, hi);
                next = FloatParam::clamp(settings, acc);
            } else {
                acc = std::clamp(acc - i.stepDelta.y / kPixelsPerRange * fine, 0.0f, 1.0f);
                next = FloatParam::fromNormalized(settings, acc);
            }
            storage->SetFloat(fieldId, acc);
            if (next != param.value()) {
                param.setValue(next);
                changed = true;
            }
        }
        if (i.released) param.endEdit();
        if (i.doubleClicked) {
            // Over the field, centred on it.
            const ImVec2 anchor(r.x + r.w * 0.5f, r.y + (r.h - 24.0f * s) * 0.5f - 8.0f * s);
            openNumberEntry("entry", anchor, param);
        }
    }
    if (numberEntry("entry", param) == 2) changed = true;
    ImGui::PopID();

    ImDrawList* list = ImGui::GetWindowDrawList();
    const bool editable = !style.disabled && !style.readOnly;
    if (editable && i.hovered) fillRoundRect(list, r, 0x992F4121, 4.0f);
    const float flash = UiContext::current().flashAmount(fieldId, kFlashSeconds);
    if (flash > 0.0f) {
        const auto alpha = static_cast<uint32_t>(std::clamp(flash, 0.0f, 1.0f) * 0x60 + 0.5f);
        fillRoundRect(list, r, (alpha << 24) | 0x008DC63Fu, 4.0f);
    }
    const uint32_t valueColour = style.disabled ? 0xFF5D5F4A : (editable && i.held) ? 0xFF8DC63F : 0xFFF0EED8;
    const std::string text = param.format(param.value());
    if (style.large && style.slim && !style.caption.empty()) {
        // Too low for two lines: the caption stands before the value.
        const float captionWidth = measureText(style.caption, 0).x + 8.0f * s;
        drawText(list, Rect{r.x + 4.0f * s, r.y, captionWidth, r.h}, style.caption, 0, 0xFF8A8870, 0);
        const float valueX = r.x + 4.0f * s + captionWidth;
        drawText(list, Rect{valueX, r.y, std::max(r.x + r.w - valueX, 0.0f), r.h}, text, 4, valueColour, 1);
    } else if (style.large) {
        Rect valueBox = r;
        if (!style.caption.empty()) {
            const float captionHeight = 12.0f * s;
            drawText(list, Rect{r.x, r.y, r.w, captionHeight}, style.caption, 0, 0xFF8A8870, 1);
            valueBox = Rect{r.x, r.y + captionHeight, r.w, std::max(r.h - captionHeight, 0.0f)};
        }
        drawText(list, valueBox, text, 4, valueColour, 1);
    } else if (!style.caption.empty()) {
        const float captionHeight = 16.0f * s;
        drawText(list, Rect{r.x, r.y, r.w, captionHeight}, style.caption, 0, 0xFF8A8870, 1);
        drawText(list, Rect{r.x, r.y + captionHeight, r.w, std::max(r.h - captionHeight, 0.0f)}, text, 2, valueColour, 1);
    } else {
        drawText(list, r, text, 2, valueColour, 1);
    }
    endItem(item);
    return DragResult{changed, i.hovered, i.held};
}

bool dragValue(const char* id, const Rect& hint, Param& param, const DragStyle& style) {
    return dragField(id, hint, param, style).changed;
}

}  // namespace tarn::ui
