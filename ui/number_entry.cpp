// The number-entry window: typed text parsed by the parameter, committed on Enter, closed on focus loss.
#include "ui/number_entry.h"

#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace tarn::ui {
namespace {

constexpr uint32_t kBackground = 0xFF202C19;
constexpr uint32_t kBorder = 0xFF5A8A1A;
// The mono text role (font 3 at 12 px).
constexpr TextRole kMonoRole = 5;
// The focus request lands a frame late and the field activates after it: a click elsewhere within
// these first frames does not close the entry.
constexpr uint32_t kGraceFrames = 3;
constexpr const char* kWindowName = "##tarn.numberEntry";

}  // namespace

void openNumberEntry(const char* id, ImVec2 anchor, const Param& param) {
    NumberEntryState& entry = UiContext::current().numberEntry;
    entry.id = ImGui::GetID(id);
    entry.position = anchor;
    entry.frames = 0;
    const std::string text = param.format(param.value());
    const size_t n = std::min(text.size(), entry.text.size() - 1);
    std::memcpy(entry.text.data(), text.data(), n);
    entry.text[n] = '\0';
}

int numberEntry(const char* id, Param& param) {
    UiContext& ui = UiContext::current();
    NumberEntryState& entry = ui.numberEntry;
    if (entry.id == 0 || entry.id != ImGui::GetID(id)) return NumberEntryResult::closed;

    const float s = scale();
    ImGui::SetNextWindowPos(ImVec2(entry.position.x - 48.0f * s, entry.position.y + 8.0f * s));
    ImGui::SetNextWindowSize(ImVec2(96.0f * s, 24.0f * s));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 1.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 4.0f * s);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(6.0f * s, (24.0f - 12.0f) * 0.5f * s));
    // The style's minimum window size (32 px) would make the 24 px entry taller.
    ImGui::PushStyleVar(ImGuiStyleVar_WindowMinSize, ImVec2(1.0f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, toImColor(kBackground));
    ImGui::PushStyleColor(ImGuiCol_Border, toImColor(kBorder));
    constexpr ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                       ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                                       ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoCollapse |
                                       ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoNav;
    ImGui::Begin(kWindowName, nullptr, flags);
    int result = NumberEntryResult::open;
    {
        const FontScope font(kMonoRole);
        if (entry.frames == 0) ImGui::SetKeyboardFocusHere();
        ImGui::SetNextItemWidth(-1.0f);
        const bool entered = ImGui::InputText("##value", entry.text.data(), entry.text.size(),
                                              ImGuiInputTextFlags_EnterReturnsTrue |
                                                  ImGuiInputTextFlags_AutoSelectAll);
        if (entered) {
            const std::optional<float> value = param.parse(entry.text.data());
            if (value) {
                param.beginEdit();
                param.setValue(FloatParam::clamp(param.spec(), *value));
                param.endEdit();
                result = NumberEntryResult::committed;
            } else {
                result = NumberEntryResult::rejected;
            }
        } else if (!ImGui::IsItemDeactivated() && (ImGui::IsItemActive() || entry.frames < kGraceFrames)) {
            ++entry.frames;
        } else {
            result = NumberEntryResult::rejected;
        }
    }
    ImGui::End();
    ImGui::PopStyleColor(2);
    ImGui::PopStyleVar(5);
    if (result != NumberEntryResult::open) {
        entry.id = 0;
        ++entry.frames;
    }
    return result;
}

ImGuiWindow* numberEntryWindow() {
    if (UiContext::current().numberEntry.id == 0) return nullptr;
    ImGuiWindow* window = ImGui::FindWindowByName(kWindowName);
    return window != nullptr && window->WasActive ? window : nullptr;
}

bool letGoOfNumberEntry() {
    const ImGuiWindow* window = numberEntryWindow();
    if (window == nullptr || UiContext::current().numberEntry.frames < kGraceFrames) return false;
    if (GImGui->ActiveIdWindow == window) ImGui::ClearActiveID();
    return true;
}

}  // namespace tarn::ui
