// Drawing of the card panels and the fading of their dimmed sections.
#include "ui/panel.h"

#include "ui/text.h"
#include "ui/theme.h"
#include "ui/theme_draw.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr uint32_t kFlatFill = 0xB30D1108;
constexpr uint32_t kBase = 0xCC1C2A14;
constexpr uint32_t kBorder = 0xFF2A3520;
constexpr uint32_t kHighlight = 0x0AFFFFFF;
constexpr uint32_t kRule = 0x592A3520;
constexpr float kDimFactor = 0.4f;

}  // namespace

Rect panelTitleRect(const Rect& r) {
    const float s = scale();
    return {r.x + 10.0f * s, r.y + 2.0f * s, std::max(r.w - 20.0f * s, 0.0f), std::max(24.0f * s, 0.0f)};
}

Rect panel(ImDrawList* list, const Rect& r, std::string_view title, int flags) {
    const float s = scale();
    const float radius = 8.0f * s;
    if (flags != 0) {
        list->AddRectFilled(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(kFlatFill), radius);
    } else {
        drawPanelShadow(list, r, 0.45f, 2.0f);
        const uint32_t deep = mixColor(kBase, 0xCC000000, 0.55f);
        const GradientStop stops[] = {{0.0f, kBase}, {0.12f, mixColor(kBase, deep, 0.75f)}, {1.0f, deep}};
        fillGradientRoundRect(list, r, radius, stops, 3);
        list->AddLine(ImVec2(r.x + radius, r.y + 0.5f), ImVec2(r.x + r.w - radius, r.y + 0.5f),
                      toImColor(kHighlight), s);
    }
    list->AddRect(ImVec2(r.x + 0.5f * s, r.y + 0.5f * s), ImVec2(r.x + r.w - 0.5f * s, r.y + r.h - 0.5f * s),
                  toImColor(kBorder), radius, ImDrawFlags_None, s);

    Rect content{r.x + 10.0f * s, r.y + 10.0f * s, std::max(r.w - 20.0f * s, 0.0f),
                 std::max(r.h - 20.0f * s, 0.0f)};
    if (!title.empty()) {
        const Rect band = panelTitleRect(r);
        drawText(list, band, title, 3, palette::mutedText, 0);
        const float ruleY = band.y + band.h - 0.5f * s;
        list->AddLine(ImVec2(r.x + 6.0f * s, ruleY), ImVec2(r.x + r.w - 6.0f * s, ruleY), toImColor(kRule), s);
        const float bottom = content.y + content.h;
        content.y = band.y + band.h + 4.0f * s;
        content.h = std::max(bottom - content.y, 0.0f);
    }
    return content;
}

PanelScope::PanelScope(const Rect& r, std::string_view title, int flags)
    : rect(r), list(ImGui::GetWindowDrawList()) {
    content = panel(list, r, title, flags);
    ImGui::PushClipRect(ImVec2(content.x, content.y), ImVec2(content.x + content.w, content.y + content.h), true);
}

PanelScope::~PanelScope() {
    ImGui::PopClipRect();
    if (firstDimmedVertex < 0) return;
    for (int i = firstDimmedVertex; i < list->VtxBuffer.Size; ++i) {
        ImU32& col = list->VtxBuffer[i].col;
        const auto alpha = static_cast<ImU32>(static_cast<float>(col >> IM_COL32_A_SHIFT & 0xFFu) * kDimFactor);
        col = (col & ~IM_COL32_A_MASK) | (alpha << IM_COL32_A_SHIFT);
    }
}

}  // namespace tarn::ui
