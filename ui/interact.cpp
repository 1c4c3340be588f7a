// Press, drag, click and double-click tracking of hotspots, kept in the window's state storage.
#include "ui/interact.h"

#include "ui/draw.h"
#include "ui/imgui_compat.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cmath>

namespace tarn::ui {
namespace {

// Keys of the per-hotspot state, hashed with the item id.
enum StateSlot : int {
    kTracking = 0,
    kDragging = 1,
    kAxis = 2,
    kLastX = 3,
    kLastY = 4,
    kModifiers = 5,
    kSwallowed = 6,
};

constexpr int kShift = 1;
constexpr int kAlt = 2;
constexpr int kCtrl = 4;

ImGuiID slotId(ImGuiID item, int slot) { return ImHashData(&slot, sizeof slot, item); }

ImRect hitRect(const Hotspot& h, float r) {
    ImVec2 min;
    ImVec2 size;
    switch (h.kind) {
    case HotspotKind::point:
        min = ImVec2(h.point.x - r, h.point.y - r);
        size = ImVec2(2 * r, 2 * r);
        break;
    case HotspotKind::verticalBar:
        min = ImVec2(h.point.x - r, h.area.y);
        size = ImVec2(2 * r, h.area.h);
        break;
    case HotspotKind::horizontalBar:
        min = ImVec2(h.area.x, h.point.y - r);
        size = ImVec2(h.area.w, 2 * r);
        break;
    default:
        min = ImVec2(h.area.x, h.area.y);
        size = ImVec2(h.area.w, h.area.h);
        break;
    }
    size.x = std::max(size.x, 0.0f);
    size.y = std::max(size.y, 0.0f);
    return ImRect(min, ImVec2(min.x + size.x, min.y + size.y));
}

ImGuiMouseCursor cursorFor(const Hotspot& h) {
    if (h.mouseCursor >= 0) return h.mouseCursor;
    switch (h.kind) {
    case HotspotKind::point: return ImGuiMouseCursor_Hand;
    case HotspotKind::verticalBar: return ImGuiMouseCursor_ResizeEW;
    case HotspotKind::horizontalBar: return ImGuiMouseCursor_ResizeNS;
    default: return ImGuiMouseCursor_Arrow;
    }
}

}  // namespace

Hotspot rectangleHotspot(const Rect& area, int32_t mouseCursor, const char* tooltip) {
    Hotspot h;
    h.kind = HotspotKind::rectangle;
    h.area = area;
    h.grabRadius = 8.0f;
    h.mouseCursor = mouseCursor;
    h.tooltip = tooltip;
    return h;
}

Interaction interact(const char* label, const Hotspot& h) {
    const float s = scale();
    const ImGuiIO& io = ImGui::GetIO();
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    const ImGuiID id = window->GetID(label);
    const ImRect bb = hitRect(h, h.grabRadius * s);

    Interaction out;
    // A clipped item is neither hovered nor pressed; the drag state below still ends properly.
    if (ImGui::ItemAdd(bb, id)) ImGui::ButtonBehavior(bb, id, &out.hovered, &out.held);
    out.rightClicked = out.hovered && ImGui::IsMouseClicked(ImGuiMouseButton_Right);
    out.mouseWheel = out.hovered ? io.MouseWheel : 0.0f;
    out.pressPosition = io.MouseClickedPos[ImGuiMouseButton_Left];

    ImGuiStorage* storage = window->DC.StateStorage;
    const ImGuiID trackingId = slotId(id, kTracking);
    const ImGuiID swallowedId = slotId(id, kSwallowed);
    bool tracking = storage->GetBool(trackingId);

    if (out.held && !tracking && !storage->GetBool(swallowedId)) {
        if (h.doubleClicks && io.MouseClickedCount[ImGuiMouseButton_Left] == 2) {
            // The second press of a double click belongs to the double click alone: no press, no
            // drag, and nothing more until the button goes up.
            out.doubleClicked = true;
            storage->SetBool(swallowedId, true);
        } else {
            out.pressed = true;
            storage->SetBool(slotId(id, kDragging), false);
            storage->SetInt(slotId(id, kAxis), h.dragAxis);
            storage->SetFloat(slotId(id, kLastX), 0.0f);
            storage->SetFloat(slotId(id, kLastY), 0.0f);
            storage->SetInt(slotId(id, kModifiers),
                            (io.KeyShift ? kShift : 0) | (io.KeyAlt ? kAlt : 0) | (io.KeyCtrl ? kCtrl : 0));
            storage->SetBool(trackingId, true);
            tracking = true;
        }
    }

    if (tracking) {
        const int modifiers = storage->GetInt(slotId(id, kModifiers));
        out.shift = (modifiers & kShift) != 0;
        out.alt = (modifiers & kAlt) != 0;
        out.ctrl = (modifiers & kCtrl) != 0;
        float dx = io.MousePos.x - out.pressPosition.x;
        float dy = io.MousePos.y - out.pressPosition.y;
        bool dragging = storage->GetBool(slotId(id, kDragging));
        int axis = storage->GetInt(slotId(id, kAxis));
        if (!dragging && std::max(std::fabs(dx), std::fabs(dy)) > 3.0f * s) {
            dragging = true;
            if (axis == DragAxis::firstMove) axis = std::fabs(dx) >= std::fabs(dy) ? DragAxis::x : DragAxis::y;
            storage->SetBool(slotId(id, kDragging), true);
            storage->SetInt(slotId(id, kAxis), axis);
        }
        if (axis == DragAxis::x || axis == DragAxis::firstMove) dy = 0.0f;
        if (axis == DragAxis::y || axis == DragAxis::firstMove) dx = 0.0f;
        const ImVec2 last(storage->GetFloat(slotId(id, kLastX)), storage->GetFloat(slotId(id, kLastY)));
        out.totalDelta = ImVec2(dx, dy);
        out.stepDelta = ImVec2(dx - last.x, dy - last.y);
        storage->SetFloat(slotId(id, kLastX), dx);
        storage->SetFloat(slotId(id, kLastY), dy);
        out.dragAxis = axis;
        out.dragging = dragging;
        if (!out.held) {
            out.released = true;
            out.clicked = !dragging;
            storage->SetBool(trackingId, false);
        }
    }
    if (!out.held) storage->SetBool(swallowedId, false);

    if (out.hovered || out.held) ImGui::SetMouseCursor(cursorFor(h));
    if (h.tooltip != nullptr && out.hovered && !out.held) tooltip(h.tooltip);
    return out;
}

void drawHotspot(ImDrawList* list, const Hotspot& h, const Interaction& i, uint32_t colour, uint32_t heldColour) {
    const uint32_t c = i.held ? heldColour : colour;
    const float s = scale();
    const bool lit = i.hovered || i.held;
    switch (h.kind) {
    case HotspotKind::point: {
        const float radius = (lit ? 5.5f : 4.0f) * s;
        fillCircle(list, h.point, radius + s, 0xFF0E1208);
        fillCircle(list, h.point, radius, c);
        break;
    }
    case HotspotKind::verticalBar:
        list->AddLine(ImVec2(h.point.x, h.area.y), ImVec2(h.point.x, h.area.y + h.area.h), toImColor(c),
                      (lit ? 2.0f : 1.5f) * s);
        break;
    case HotspotKind::horizontalBar:
        list->AddLine(ImVec2(h.area.x, h.point.y), ImVec2(h.area.x + h.area.w, h.point.y), toImColor(c),
                      (lit ? 2.0f : 1.5f) * s);
        break;
    default:
        break;
    }
}

void tooltip(std::string_view text) {
    if (text.empty() || !compat::isItemHovered(compat::HoveredForTooltip)) return;
    const float s = scale();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(8.0f * s, 5.0f * s));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 4.0f * s);
    ImGui::BeginTooltip();
    {
        const FontScope font(2);
        ImGui::PushTextWrapPos(320.0f * s);
        compat::wantGlyphs(ImGui::GetFont(), text);
        ImGui::TextUnformatted(text.data(), text.data() + text.size());
        ImGui::PopTextWrapPos();
    }
    ImGui::EndTooltip();
    ImGui::PopStyleVar(2);
}

}  // namespace tarn::ui
