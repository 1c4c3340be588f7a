// Drives headless frames of a real UI context for the toolkit's tests: IO state in, draw lists out.
#pragma once

#include "ui/ui_context.h"

#include <imgui.h>

#include <cfloat>

namespace tarn::ui::testing {

// One frame of a UI context, open for its scope: the atlas is refreshed, the IO state set, and the
// frame begun inside a full-display window; the destructor ends and renders it.
class TestFrame {
public:
    explicit TestFrame(UiContext& ui, ImVec2 display = ImVec2(800.0f, 600.0f), float dt = 1.0f / 60.0f,
                       ImVec2 mouse = ImVec2(-FLT_MAX, -FLT_MAX))
        : scope_(ui) {
        ui.refreshAtlas();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = display;
        io.DeltaTime = dt;
        io.MousePos = mouse;
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
        ImGui::SetNextWindowSize(display);
        ImGui::Begin("##tarn.test", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings);
    }
    ~TestFrame() {
        ImGui::End();
        ImGui::Render();
    }
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    ImDrawList* drawList() const { return ImGui::GetWindowDrawList(); }

private:
    ContextScope scope_;
};

}  // namespace tarn::ui::testing
