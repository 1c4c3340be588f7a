// The status line: the shown message, its colour by level, and its tooltip.
#include "ui/status_line.h"

#include "ui/bar.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <string>

namespace tarn::ui {
namespace {

struct Shown {
    std::string_view text;
    std::string_view detail;
    uint32_t level;
};

Shown shown(const StatusLine& s) {
    if (!s.overrideText.empty()) return {s.overrideText, s.overrideDetail, s.overrideLevel};
    return {s.text, s.detail, s.level};
}

uint32_t levelColour(uint32_t level) {
    if (level == 1) return 0xFFD0A828;
    if (level == 2) return 0xFFC84830;
    return 0xFF8A8870;
}

}  // namespace

float statusWidth(const StatusLine& status) {
    const std::string_view text = shown(status).text;
    return text.empty() ? 0.0f : 4.0f * scale() + measureText(text, 1).x;
}

void statusLine(const char* id, const Rect& r, const StatusLine& status) {
    const Shown s = shown(status);
    if (s.text.empty() || !(r.w > 0.0f) || !(r.h > 0.0f)) return;
    // An ellipsis alone says nothing, and would not fit either.
    const FitResult fit = fitText(s.text, 1, r.w);
    if (fit.ellipsis && fit.keep == 0) return;
    const RectClip clip(r);
    drawText(ImGui::GetWindowDrawList(), r, s.text, 1, levelColour(s.level), status.align);
    std::string tip;
    if (fit.ellipsis) tip = s.text;
    if (!s.detail.empty()) {
        if (!tip.empty()) tip += '\n';
        tip.append(s.detail);
    }
    if (!tip.empty()) interact(id, rectangleHotspot(r, ImGuiMouseCursor_Arrow, tip.c_str()));
}

}  // namespace tarn::ui
