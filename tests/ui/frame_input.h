// Pointer and modifier state for headless test frames, set between frames as a host would.
#pragma once

#include "tests/ui/ui_test_frames.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <utility>

namespace tarn::ui::testing {

struct FrameInput {
    ImVec2 mouse{-1.0f, -1.0f};
    bool left = false;
    bool right = false;
    float wheel = 0.0f;
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
};

// Runs one frame with `input`, calling body(drawList) inside the frame's full-display window.
template <class Body>
void runFrame(UiContext& ui, const FrameInput& input, Body&& body, ImVec2 display = ImVec2(800.0f, 600.0f)) {
    {
        ContextScope scope(ui);
        ImGuiIO& io = ImGui::GetIO();
        io.MouseDown[0] = input.left;
        io.MouseDown[1] = input.right;
        io.MouseWheel = input.wheel;
        io.KeyShift = input.shift;
        io.KeyAlt = input.alt;
        io.KeyCtrl = input.ctrl;
        // As the OpenGL renderer does: large meshes move the vertex offset instead of overflowing.
        io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
    }
    TestFrame frame(ui, display, 1.0f / 60.0f, input.mouse);
    std::forward<Body>(body)(frame.drawList());
}

}  // namespace tarn::ui::testing
