// Deciding, item by item, whether a row goes on or wraps, from the widths Dear ImGui will give the items.
#include "ui/flow_row.h"

#include <imgui.h>

namespace tarn::ui {

void sameLineIfRoom(float width, float spacing) {
    const float gap = spacing < 0.0f ? ImGui::GetStyle().ItemSpacing.x : spacing;
    ImGui::SameLine(0.0f, gap);
    // Half a pixel is rounding: a row that fits exactly stays one row.
    if (ImGui::GetContentRegionAvail().x + 0.5f < width) ImGui::NewLine();
}

float buttonWidth(std::string_view label) { return textWidth(label) + 2.0f * ImGui::GetStyle().FramePadding.x; }

float labelledWidth(float itemWidth, std::string_view label) {
    const float text = textWidth(label);
    return itemWidth + (text > 0.0f ? ImGui::GetStyle().ItemInnerSpacing.x + text : 0.0f);
}

float textWidth(std::string_view text) { return ImGui::CalcTextSize(text.data(), text.data() + text.size(), true).x; }

void wrappedText(std::string_view text) {
    ImGui::PushTextWrapPos(0.0f);
    ImGui::TextUnformatted(text.data(), text.data() + text.size());
    ImGui::PopTextWrapPos();
}

}  // namespace tarn::ui
