// The shared header rows, sliders, drawing area and lane strokes of the arc and motion tabs.
#include "app/lane_canvas.h"

#include "ui/draw.h"
#include "ui/flow_row.h"
#include "ui/interact.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>

namespace tarn {
namespace {

constexpr std::uint32_t kAreaFill = 0xb30d1108;
constexpr std::uint32_t kAreaBorder = 0xff2a3520;

// Dear ImGui's SmallButton sets no vertical padding and clips its text to the frame, which cuts the
// descenders of these fonts: the small buttons keep 2 px.
void pushSmallButtonPadding() {
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(ImGui::GetStyle().FramePadding.x, 2.0f * ui::scale()));
}

}  // namespace

void titleWithHint(const char* title, const char* hint, std::uint32_t colour) {
    ImGui::TextUnformatted(title);
    // In a narrow canvas the hint goes under the title, and wraps at the canvas's edge.
    ui::sameLineIfRoom(ui::textWidth(hint));
    ImGui::PushStyleColor(ImGuiCol_Text, ui::toStyleColor(colour));
    ui::wrappedText(hint);
    ImGui::PopStyleColor();
}

bool laneRadio(const char* label, bool selected, std::uint32_t colour) {
    ImGui::PushStyleColor(ImGuiCol_Text, ui::toStyleColor(colour));
    const bool pressed = ImGui::RadioButton(label, selected);
    ImGui::PopStyleColor();
    return pressed;
}

float radioWidth(const char* label) { return ui::labelledWidth(ImGui::GetFrameHeight(), label); }

bool smallButton(const char* label) {
    pushSmallButtonPadding();
    const bool pressed = ImGui::ButtonEx(label, ImVec2(0.0f, 0.0f), ImGuiButtonFlags_AlignTextBaseLine);
    ImGui::PopStyleVar();
    return pressed;
}

void alignTextToSmallButtons() {
    pushSmallButtonPadding();
    ImGui::AlignTextToFramePadding();
    ImGui::PopStyleVar();
}

void unitSlider(const char* label, float* value, const char* tooltip) {
    ImGui::SliderFloat(label, value, 0.0f, 1.0f, "%.3f");
    ui::tooltip(tooltip);
}

float DrawingArea::yOf(float value) const { return rect.y + (1.0f - std::clamp(value, -1.0f, 1.0f)) * rect.h * 0.5f; }

float DrawingArea::valueAt(float y) const { return std::clamp(1.0f - 2.0f * (y - rect.y) / rect.h, -1.0f, 1.0f); }

DrawingArea beginDrawingArea(const char* id, float height) {
    const float s = ui::scale();
    DrawingArea area;
    area.list = ImGui::GetWindowDrawList();
    const ImVec2 at = ImGui::GetCursorScreenPos();
    area.rect = {at.x, at.y, std::max(120.0f * s, ImGui::GetContentRegionAvail().x), height};
    ImGui::InvisibleButton(id, ImVec2(area.rect.w, area.rect.h));
    area.hovered = ImGui::IsItemHovered();
    area.active = ImGui::IsItemActive();
    const ImVec2 bottomRight(area.right(), area.bottom());
    area.list->AddRectFilled(at, bottomRight, ui::toImColor(kAreaFill), 4.0f * s);
    area.list->AddRect(at, bottomRight, ui::toImColor(kAreaBorder), 4.0f * s, ImDrawFlags_None, s);
    area.list->PushClipRect(at, bottomRight, true);
    return area;
}

void endDrawingArea(const DrawingArea& area) { area.list->PopClipRect(); }

void drawLine(ImDrawList* list, ImVec2 a, ImVec2 b, std::uint32_t colour, float px) {
    list->AddLine(a, b, ui::toImColor(colour), px);
}

void drawAreaLine(const DrawingArea& area, float x, std::uint32_t colour, float px) {
    drawLine(area.list, ImVec2(x, area.rect.y), ImVec2(x, area.bottom()), colour, px);
}

void writeStroke(float* curve, std::int32_t& lastPoint, int point, float value) {
    const int from = lastPoint < 0 ? point : std::clamp(lastPoint, 0, kCurvePoints - 1);
    const int step = point >= from ? 1 : -1;
    for (int i = from;; i += step) {
        curve[i] = value;
        if (i == point) break;
    }
    lastPoint = point;
}

void drawLaneStroke(ImDrawList* list, std::span<const ImVec2> points, std::uint32_t colour, float depth) {
    if (depth > 0.0f)
        ui::drawPolyline(list, points, colour, depth * 3.0f + 1.0f);
    else
        ui::drawDashedPolyline(list, points, colour, 1.0f, 4.0f, 3.0f);
}

}  // namespace tarn
