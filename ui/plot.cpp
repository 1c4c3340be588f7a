// Plot framing, input, grid lines with labels, and the marks drawn in data units.
#include "ui/plot.h"

#include "ui/draw.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cmath>

namespace tarn::ui {
namespace {

constexpr uint32_t kFrameFill = 0xB30D1108;
constexpr uint32_t kFrameBorder = 0xFF2A3520;
constexpr uint32_t kMajorLine = 0x40C8D8A8;
constexpr uint32_t kMinorLine = 0x1CC8D8A8;
constexpr uint32_t kTickLabel = 0xFF6F735A;
constexpr uint32_t kPlayhead = 0xFFC84830;

bool withinAxis(const PlotAxis& axis, float v) {
    return v >= std::min(axis.min, axis.max) && v <= std::max(axis.min, axis.max);
}

}  // namespace

Plot::Plot(const char* id, const Rect& r, const PlotAxis& x, const PlotAxis& y, const PlotStyle& style)
    : id_(id), outer_(r), x_(x), y_(y), list_(ImGui::GetWindowDrawList()) {
    const float s = scale();
    if (style.framed) {
        list_->AddRectFilled(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(kFrameFill), 4.0f * s);
        list_->AddRect(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(kFrameBorder), 4.0f * s,
                       ImDrawFlags_None, s);
    }
    const float pad = style.padding * s;
    inner_ = {r.x + pad, r.y + pad, std::max(r.w - 2.0f * pad, 0.0f), std::max(r.h - 2.0f * pad, 0.0f)};
    x_.pixelFrom = inner_.x;
    x_.pixelTo = inner_.x + inner_.w;
    y_.pixelFrom = inner_.y + inner_.h;
    y_.pixelTo = inner_.y;
    list_->PushClipRect(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), true);
    if (!style.title.empty()) {
        const ImVec2 at(r.x + 6.0f * s, r.y + 3.0f * s);
        const ImVec2 size = measureText(style.title, 0);
        title_ = {at.x, at.y, size.x, size.y};
        drawTextAt(list_, at, style.title, 0, palette::mutedText);
    }
}

Plot::~Plot() {
    if (!interacted_) interact();
    list_->PopClipRect();
}

PlotInput Plot::interact() {
    interacted_ = true;
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    const ImGuiID id = window->GetID(id_);
    const ImRect bb(ImVec2(outer_.x, outer_.y), ImVec2(outer_.x + outer_.w, outer_.y + outer_.h));
    PlotInput in;
    bool pressed = false;
    if (ImGui::ItemAdd(bb, id))
        pressed = ImGui::ButtonBehavior(bb, id, &in.hovered, &in.held, ImGuiButtonFlags_PressedOnClick);
    const ImGuiIO& io = ImGui::GetIO();
    const int clicks = io.MouseClickedCount[ImGuiMouseButton_Left];
    in.clicked = pressed && clicks == 1;
    in.doubleClicked = pressed && clicks == 2;
    in.rightClicked = in.hovered && ImGui::IsMouseClicked(ImGuiMouseButton_Right);

    ImGuiStorage* storage = window->DC.StateStorage;
    const ImGuiID heldId = ImHashStr("held", 0, id);
    const bool heldBefore = storage->GetBool(heldId);
    in.pressed = in.held && !heldBefore;
    in.released = heldBefore && !in.held;
    storage->SetBool(heldId, in.held);

    in.mousePixels = io.MousePos;
    in.mouseData = ImVec2(x_.valueAt(io.MousePos.x), y_.valueAt(io.MousePos.y));
    return in;
}

void Plot::grid(const std::vector<PlotTick>& xTicks, const std::vector<PlotTick>& yTicks) {
    const float s = scale();
    const float pad = 4.0f * s;
    const float left = inner_.x;
    const float right = inner_.x + inner_.w;
    const float top = inner_.y;
    const float bottom = inner_.y + inner_.h;
    // In a small plot the labels crowd each other: a label that would stick out of the plot or cover
    // the title or one already drawn is left out.
    std::vector<Rect> placed;
    if (title_.w > 0.0f) placed.push_back(title_);
    const auto label = [&](ImVec2 at, ImVec2 size, const std::string& text) {
        const Rect box{at.x, at.y, size.x, size.y};
        if (box.x < left || box.y < top || box.x + box.w > right || box.y + box.h > bottom) return;
        for (const Rect& other : placed)
            if (box.x < other.x + other.w && other.x < box.x + box.w && box.y < other.y + other.h &&
                other.y < box.y + box.h)
                return;
        placed.push_back(box);
        drawTextAt(list_, at, text, 0, kTickLabel);
    };
    for (const PlotTick& tick : xTicks) {
        if (!withinAxis(x_, tick.value)) continue;
        const float px = std::floor(x_.pixelOf(tick.value));
        list_->AddLine(ImVec2(px + 0.5f, top), ImVec2(px + 0.5f, bottom),
                       toImColor(tick.major ? kMajorLine : kMinorLine), s);
        if (tick.label.empty()) continue;
        const ImVec2 size = measureText(tick.label, 0);
        // max after min: in a plot narrower than its label the left edge wins, and the bounds
        // can never be handed over inverted.
        const float lx = std::max(left + pad, std::min(px + 0.5f - size.x * 0.5f, right - pad - size.x));
        label(ImVec2(lx, bottom - size.y - pad * 0.5f), size, tick.label);
    }
    for (const PlotTick& tick : yTicks) {
        if (!withinAxis(y_, tick.value)) continue;
        const float py = std::floor(y_.pixelOf(tick.value));
        list_->AddLine(ImVec2(left, py + 0.5f), ImVec2(right, py + 0.5f),
                       toImColor(tick.major ? kMajorLine : kMinorLine), s);
        if (tick.label.empty()) continue;
        const ImVec2 size = measureText(tick.label, 0);
        const float ly = std::max(std::min(py + 0.5f - size.y - s, bottom - size.y), top);
        label(ImVec2(left + pad, ly), size, tick.label);
    }
}

void Plot::polyline(std::span<const float> xs, std::span<const float> ys, uint32_t colour, float thickness) {
    const size_t n = std::min(xs.size(), ys.size());
    scratch_.clear();
    for (size_t i = 0; i < n; ++i) scratch_.push_back(toPixels(xs[i], ys[i]));
    drawPolyline(list_, scratch_, colour, thickness);
}

void Plot::curve(std::span<const float> ys, float x0, float dx, uint32_t colour, float thickness) {
    scratch_.clear();
    for (size_t i = 0; i < ys.size(); ++i) scratch_.push_back(toPixels(x0 + static_cast<float>(i) * dx, ys[i]));
    drawPolyline(list_, scratch_, colour, thickness);
}

void Plot::fillUnder(std::span<const float> xs, std::span<const float> ys, float baseline, uint32_t colour) {
    const size_t n = std::min(xs.size(), ys.size());
    scratch_.clear();
    for (size_t i = 0; i < n; ++i) scratch_.push_back(toPixels(xs[i], ys[i]));
    fillUnderPolyline(list_, scratch_, y_.pixelOf(baseline), colour);
}

void Plot::hLine(float y, uint32_t colour, float thickness) {
    const float py = y_.pixelOf(y);
    list_->AddLine(ImVec2(inner_.x, py), ImVec2(inner_.x + inner_.w, py), toImColor(colour), thickness * scale());
}

void Plot::vLine(float x, uint32_t colour, float thickness) {
    const float px = x_.pixelOf(x);
    list_->AddLine(ImVec2(px, inner_.y), ImVec2(px, inner_.y + inner_.h), toImColor(colour), thickness * scale());
}

void Plot::band(float x0, float x1, uint32_t colour) {
    const float left = inner_.x;
    const float right = inner_.x + inner_.w;
    const float a = std::clamp(x_.pixelOf(x0), left, right);
    const float b = std::clamp(x_.pixelOf(x1), left, right);
    if (a == b || std::isnan(a) || std::isnan(b)) return;
    list_->AddRectFilled(ImVec2(std::min(a, b), inner_.y), ImVec2(std::max(a, b), inner_.y + inner_.h),
                         toImColor(colour));
}

void Plot::playhead(float x) { vLine(x, kPlayhead, 2.0f); }

}  // namespace tarn::ui
