// The document bar: its icon buttons cut from the right, the name button in the rest.
#include "ui/document_bar.h"

#include "ui/button.h"
#include "ui/draw.h"
#include "ui/icons.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr std::string_view kUntitled = "Untitled";
constexpr float kButton = 24.0f;  // logical px, square
constexpr float kGap = 4.0f;

std::string_view shownName(const DocumentBarInput& input) { return input.name.empty() ? kUntitled : input.name; }

}  // namespace

float documentBarWidth(const DocumentBarInput& input) {
    const float s = scale();
    const int buttons = (input.canStep ? 2 : 0) + (input.canSave ? 1 : 0);
    return std::min(260.0f * s, measureText(shownName(input), 2).x) + 28.0f * s +
           static_cast<float>(buttons) * (kButton + kGap) * s;
}

DocumentBarResult documentBar(const char* id, const Rect& r, const DocumentBarInput& input) {
    const float s = scale();
    const float h = std::max(std::min(kButton * s, r.h), 0.0f);
    const float y = r.y + (r.h - h) * 0.5f;
    float right = r.x + r.w;
    DocumentBarResult result;
    ImGui::PushID(id);
    // Icon buttons from the right end; the bar then reads name, previous, next, save.
    const auto cut = [&]() {
        const float w = std::min(kButton * s, h);
        const Rect cell{right - w, y, w, h};
        right -= w + kGap * s;
        return cell;
    };
    ButtonStyle style;
    if (input.canSave) {
        style.tooltip = input.modified ? "Save changes" : "Save";
        result.save = iconButton("save", cut(), saveIcon, false, style);
    }
    if (input.canStep) {
        style.tooltip = "Next";
        result.next = iconButton("next", cut(), chevronRight, false, style);
        style.tooltip = "Previous";
        result.previous = iconButton("previous", cut(), chevronLeft, false, style);
    }

    const Rect name{r.x, y, std::max(right - r.x, 0.0f), h};
    const Interaction i = interact("name", rectangleHotspot(name, ImGuiMouseCursor_Hand, input.openTooltip));
    result.open = i.clicked && i.hovered;
    ImDrawList* list = ImGui::GetWindowDrawList();
    if (i.hovered || i.held) fillRoundRect(list, name, i.held ? 0xFF3E5827 : 0xFF2F4121, 6.0f);

    const Rect text{name.x + 8.0f * s, name.y, std::max(name.w - 28.0f * s, 0.0f), name.h};
    const std::string_view shown = shownName(input);
    drawText(list, text, shown, 2, input.name.empty() ? palette::mutedText : palette::text, 0);
    if (input.modified) {
        const float end = text.x + std::min(measureText(shown, 2).x, text.w);
        fillCircle(list, ImVec2(end + 6.0f * s, name.y + name.h * 0.5f), 3.0f * s, palette::accent);
    }
    ImGui::PopID();
    return result;
}

}  // namespace tarn::ui
