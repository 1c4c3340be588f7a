// The document bar: its icon buttons cut from the right, the name button in the rest, and which of
// them a narrow bar still holds.
#include "ui/document_bar.h"

#include "ui/bar.h"
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
// Logical px.
constexpr float kButton = 24.0f;  // square
constexpr float kGap = 4.0f;
constexpr float kNameMargins = 28.0f;  // 8 before the text, 20 after it for the modified dot
// A long name cut to this keeps enough to tell presets apart.
constexpr float kShortNameText = 120.0f;
// The least of a name worth showing: a few letters and the ellipsis, enough to tell presets apart.
constexpr float kNarrowestNameText = 40.0f;

std::string_view shownName(const DocumentBarInput& input) { return input.name.empty() ? kUntitled : input.name; }

float naturalName(const DocumentBarInput& input) {
    const float s = scale();
    return std::min(260.0f * s, measureText(shownName(input), 2).x) + kNameMargins * s;
}

float narrowestName(const DocumentBarInput& input) {
    const float s = scale();
    return std::min(measureText(shownName(input), 2).x, kNarrowestNameText * s) + kNameMargins * s;
}

int buttonCount(const DocumentBarInput& input) { return (input.canStep ? 2 : 0) + (input.canSave ? 1 : 0); }

// Each icon button takes its square and the gap beside it.
float buttonsWidth(int buttons) { return static_cast<float>(buttons) * (kButton + kGap) * scale(); }

struct Shown {
    bool bar = false;  // anything at all
    bool step = false;
    bool save = false;

    int buttons() const { return (step ? 2 : 0) + (save ? 1 : 0); }
};

// Narrower than everything, Previous and Next go first, then Save; the name stays to the last.
Shown shownIn(const DocumentBarInput& input, float width, bool keepButtons) {
    const float name = keepButtons ? kNameMargins * scale() : narrowestName(input);
    Shown shown;
    shown.bar = width >= name;
    shown.step = input.canStep && width >= name + buttonsWidth(buttonCount(input));
    shown.save = input.canSave && width >= name + buttonsWidth(shown.step ? 3 : 1);
    return shown;
}

}  // namespace

float documentBarWidth(const DocumentBarInput& input) { return naturalName(input) + buttonsWidth(buttonCount(input)); }

float documentBarShortName(const DocumentBarInput& input) {
    const float s = scale();
    return std::min(naturalName(input), kShortNameText * s + kNameMargins * s) + buttonsWidth(buttonCount(input));
}

float documentBarNarrowest(const DocumentBarInput& input, bool withButtons) {
    return narrowestName(input) + (withButtons ? buttonsWidth(buttonCount(input)) : 0.0f);
}

DocumentBarResult documentBar(const char* id, const Rect& r, const DocumentBarInput& input, bool keepButtons) {
    DocumentBarResult result;
    const Shown shown = shownIn(input, r.w, keepButtons);
    if (!shown.bar) return result;
    const float s = scale();
    const float h = std::max(std::min(kButton * s, r.h), 0.0f);
    const float y = r.y + (r.h - h) * 0.5f;
    // When buttons were left out, those left follow the name, and what the bar does not need stays free
    // at its right rather than between the name and its buttons.
    const float needed = naturalName(input) + buttonsWidth(shown.buttons());
    float right = r.x + (shown.buttons() == buttonCount(input) ? r.w : std::min(r.w, needed));
    const RectClip clip(r);
    ImGui::PushID(id);
    // Icon buttons from the right end; the bar then reads name, previous, next, save.
    const auto cut = [&]() {
        const float w = std::min(kButton * s, h);
        const Rect cell{right - w, y, w, h};
        right -= w + kGap * s;
        return cell;
    };
    ButtonStyle style;
    if (shown.save) {
        style.tooltip = input.modified ? "Save changes" : "Save";
        result.save = iconButton("save", cut(), saveIcon, false, style);
    }
    if (shown.step) {
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

    const Rect text{name.x + 8.0f * s, name.y, std::max(name.w - kNameMargins * s, 0.0f), name.h};
    const std::string_view title = shownName(input);
    drawText(list, text, title, 2, input.name.empty() ? palette::mutedText : palette::text, 0);
    if (input.modified) {
        const float end = text.x + std::min(measureText(title, 2).x, text.w);
        fillCircle(list, ImVec2(end + 6.0f * s, name.y + name.h * 0.5f), 3.0f * s, palette::accent);
    }
    ImGui::PopID();
    return result;
}

}  // namespace tarn::ui
