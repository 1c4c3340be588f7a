// The text field: a themed single-line InputText at a given rectangle, outlined while active.
#include "ui/text_field.h"

#include "ui/imgui_compat.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace tarn::ui {

bool textField(const char* id, const Rect& r, std::string& text, std::string_view placeholder) {
    const float s = scale();
    constexpr TextRole role = 2;
    ImGui::SetCursorScreenPos(ImVec2(r.x, r.y));
    ImGui::PushStyleVar(ImGuiStyleVar_FrameRounding, 4.0f * s);
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1.0f);
    // The frame's height is the text plus twice this padding: the field fills r's height.
    const float textHeight = textStyle(role).size * s;
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(6.0f * s, std::max((r.h - textHeight) * 0.5f, 0.0f)));
    ImGui::PushStyleColor(ImGuiCol_FrameBg, toImColor(0xFF202C19));
    ImGui::PushStyleColor(ImGuiCol_Border, toImColor(0xFF2A3520));
    ImGui::PushStyleColor(ImGuiCol_TextDisabled, toImColor(0xFF5D5F4A));
    bool changed = false;
    {
        const FontScope font(role);
        ImGui::PushID(id);
        ImGui::SetNextItemWidth(std::max(r.w, 1.0f));
        compat::wantGlyphs(ImGui::GetFont(), text);
        // Escape lets go of the field but keeps what was typed (Dear ImGui would restore the text the
        // field had when it took the keyboard): closing a popup with Escape loses nothing.
        std::optional<std::string> kept;
        if (compat::isKeyPressed(compat::Key::Escape, false)) kept = text;
        const std::string hint(placeholder);
        changed = compat::inputText("##text", hint.empty() ? nullptr : hint.c_str(), text);
        if (kept && ImGui::IsItemDeactivated()) {
            changed = false;
            text = std::move(*kept);
        }
        if (ImGui::IsItemActive()) {
            ImGui::GetWindowDrawList()->AddRect(ImGui::GetItemRectMin(), ImGui::GetItemRectMax(),
                                                toImColor(0xFF5A8A1A), 4.0f * s, 0, 1.0f * s);
        }
        ImGui::PopID();
    }
    ImGui::PopStyleColor(3);
    ImGui::PopStyleVar(3);
    return changed;
}

void focusTextField(const char* id) {
    ImGui::PushID(id);
    compat::activateInputNow(ImGui::GetID("##text"));
    ImGui::PopID();
}

}  // namespace tarn::ui
