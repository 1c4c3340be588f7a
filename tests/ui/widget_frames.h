// Headless frames for the widget tests: pointer, Shift, keys and typed characters set between frames.
#pragma once

#include "tests/ui/ui_test_frames.h"
#include "ui/imgui_compat.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <string>
#include <utility>
#include <vector>

namespace tarn::ui::testing {

struct WidgetInput {
    ImVec2 mouse{-1.0f, -1.0f};
    bool left = false;
    bool shift = false;
    bool ctrl = false;
    float wheel = 0.0f;          // notches turned this frame, up positive
    std::vector<ImGuiKey> keys;  // held down during the frame
    std::string typed;           // UTF-8 text typed for the frame
};

inline WidgetInput pointer(float x, float y, bool left = false) {
    WidgetInput in;
    in.mouse = ImVec2(x, y);
    in.left = left;
    return in;
}

inline WidgetInput keys(std::vector<ImGuiKey> down) {
    WidgetInput in;
    in.keys = std::move(down);
    return in;
}

inline WidgetInput typing(std::string text) {
    WidgetInput in;
    in.typed = std::move(text);
    return in;
}

// Runs one frame with `input` and body(drawList) inside the full-display test window. Keys map onto
// KeysDown by their own number, as a platform layer's key map would.
template <class Body>
void widgetFrame(UiContext& ui, const WidgetInput& input, Body&& body, ImVec2 display = ImVec2(800.0f, 600.0f)) {
    {
        ContextScope scope(ui);
        ImGuiIO& io = ImGui::GetIO();
        for (int k = 0; k < ImGuiKey_COUNT; ++k) io.KeyMap[k] = k;
        for (bool& down : io.KeysDown) down = false;
        for (ImGuiKey k : input.keys) io.KeysDown[k] = true;
        io.MouseDown[0] = input.left;
        io.KeyShift = input.shift;
        io.KeyCtrl = input.ctrl;
        io.MouseWheel = input.wheel;
        compat::addTypedText(input.typed);  // as the window host hands on typed text
        io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
    }
    TestFrame frame(ui, display, 1.0f / 60.0f, input.mouse);
    std::forward<Body>(body)(frame.drawList());
}

// True when some vertex of the list has this colour (0xAARRGGBB).
inline bool hasVertexColour(const ImDrawList* list, uint32_t argb) {
    const ImU32 c = (argb & 0xFF00FF00u) | ((argb & 0x00FF0000u) >> 16) | ((argb & 0x000000FFu) << 16);
    for (const ImDrawVert& v : list->VtxBuffer)
        if (v.col == c) return true;
    return false;
}

}  // namespace tarn::ui::testing
