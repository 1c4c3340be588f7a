// Item placement against the scale stack, scrolling child regions and animation smoothing.
#include "ui/placement.h"

#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>

namespace tarn::ui {
namespace {

float alignedStart(float start, float space, float size, int align) {
    if (align == 1) return start + (space - size) * 0.5f;
    if (align == 2) return start + space - size;
    return start;
}

}  // namespace

LayoutItem placeItem(const Rect& box, SizeRule width, ImVec2 natural, int alignX, int alignY) {
    LayoutItem item;
    float w = 0.0f;
    float h = 0.0f;
    if (width.kind == SizeKind::natural && natural.x > 0.0f && natural.y > 0.0f) {
        // Fit mode: the widget keeps its proportions and everything it draws scales with the box.
        const float f = std::max(std::min(box.w / natural.x, box.h / natural.y), 0.001f);
        w = natural.x * f;
        h = natural.y * f;
        pushScale(f);
        item.scaled = true;
    } else {
        switch (width.kind) {
        case SizeKind::fixed: w = std::min(box.w, width.value * scale()); break;
        case SizeKind::fill: w = box.w; break;
        case SizeKind::fraction: w = box.w * std::clamp(width.value, 0.0f, 1.0f); break;
        default: w = natural.x < 0.0f ? box.w : std::min(box.w, natural.x); break;
        }
        h = natural.y < 0.0f ? box.h : std::min(box.h, natural.y);
    }
    w = std::max(w, 0.0f);
    h = std::max(h, 0.0f);
    item.rect = Rect{alignedStart(box.x, box.w, w, alignX), alignedStart(box.y, box.h, h, alignY), w, h};
    return item;
}

void endItem(const LayoutItem& item) {
    if (item.scaled) popScale();
}

ChildRegion beginScrollRegion(const char* id, const Rect& r, float contentHeight) {
    ImGui::SetCursorScreenPos(ImVec2(r.x, r.y));
    // Dear ImGui reads a zero size as "fill the remaining space": an empty region stays one pixel.
    const ImVec2 size(std::max(r.w, 1.0f), std::max(r.h, 1.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ChildRegion region;
    region.open = ImGui::BeginChild(id, size, false, ImGuiWindowFlags_NoBackground);
    ImGui::PopStyleVar();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    region.content = Rect{origin.x, origin.y, std::max(ImGui::GetContentRegionAvail().x, 0.0f),
                          std::max(contentHeight, 0.0f)};
    return region;
}

void endScrollRegion(const ChildRegion& region) {
    if (region.open) {
        // The content's extent, so that the child scrolls over all of it.
        ImGui::SetCursorScreenPos(ImVec2(region.content.x, region.content.y));
        ImGui::Dummy(ImVec2(region.content.w, region.content.h));
    }
    ImGui::EndChild();
}

float smoothTowards(float current, float target, float dt, float tau) {
    if (tau <= 0.0f) return target;
    const float v = current + (target - current) * (1.0f - std::exp(-4.0f * std::max(dt, 0.0f) / tau));
    return std::fabs(target - v) < 0.0001f ? target : v;
}

}  // namespace tarn::ui
