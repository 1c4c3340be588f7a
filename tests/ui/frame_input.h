// Pointer, key and modifier state for headless test frames, set between frames as a host would.
#pragma once

#include "tests/ui/logged_text.h"
#include "tests/ui/ui_test_frames.h"
#include "ui/ui_context.h"
#include "ui/view.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <string>
#include <utility>
#include <vector>

namespace tarn::ui::testing {

// Keys as the SDL2 platform layer writes them into io.KeysDown: by SDL scancode.
namespace scancode {
inline constexpr int c = 6, o = 18, s = 22, v = 25, z = 29;
inline constexpr int enter = 40, escape = 41, space = 44, del = 76, keypadEnter = 88;
}  // namespace scancode

struct FrameInput {
    ImVec2 mouse{-1.0f, -1.0f};
    bool left = false;
    bool right = false;
    float wheel = 0.0f;
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool super = false;
    std::vector<int> keys;  // scancodes held down during the frame
};

// The SDL2 backend's key map, for the keys 1.86 names that the toolkit reads.
inline void mapKeysLikeSdl(ImGuiIO& io) {
    for (const auto& [key, index] : {std::pair{ImGuiKey_Z, scancode::z},
                                     {ImGuiKey_C, scancode::c},
                                     {ImGuiKey_V, scancode::v},
                                     {ImGuiKey_Delete, scancode::del},
                                     {ImGuiKey_Space, scancode::space},
                                     {ImGuiKey_Enter, scancode::enter},
                                     {ImGuiKey_Escape, scancode::escape},
                                     {ImGuiKey_KeyPadEnter, scancode::keypadEnter}})
        io.KeyMap[key] = index;
}

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
        io.KeySuper = input.super;
        mapKeysLikeSdl(io);
        for (bool& down : io.KeysDown) down = false;
        for (int key : input.keys) io.KeysDown[key] = true;
        // As the OpenGL renderer does: large meshes move the vertex offset instead of overflowing.
        io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
    }
    TestFrame frame(ui, display, 1.0f / 60.0f, input.mouse);
    std::forward<Body>(body)(frame.drawList());
}

// Input with these keys held (and modifiers set by the caller).
inline FrameInput pressing(std::vector<int> keys, bool ctrl = false, bool shift = false, bool alt = false) {
    FrameInput in;
    in.keys = std::move(keys);
    in.ctrl = ctrl;
    in.shift = shift;
    in.alt = alt;
    return in;
}

// Input with the pointer at (x, y), the left button as given.
inline FrameInput pointerAt(float x, float y, bool left = false) {
    FrameInput in;
    in.mouse = ImVec2(x, y);
    in.left = left;
    return in;
}

// Hover, press and release at (x, y): the frames of a click.
inline std::vector<FrameInput> clickAt(float x, float y) {
    return {pointerAt(x, y), pointerAt(x, y, true), pointerAt(x, y)};
}

// Hovers down the topmost open popup until its item labelled so is under the pointer, then clicks
// it; `frame(input)` runs one frame. False when the popup holds no such item. The popup's size is
// read again after every frame: a popup measures itself in the frames after it opens.
template <class Frame>
bool clickPopupItem(UiContext& ui, const char* label, Frame&& frame) {
    const auto popup = [&ui]() -> const ImGuiWindow* {
        ContextScope scope(ui);
        return GImGui->OpenPopupStack.empty() ? nullptr : GImGui->OpenPopupStack.back().Window;
    };
    if (popup() == nullptr) return false;
    const ImGuiID item = ImHashStr(label, 0, popup()->ID);
    for (float y = popup()->Pos.y; popup() != nullptr && y < popup()->Pos.y + popup()->Size.y; y += 3.0f) {
        const FrameInput at = pointerAt(popup()->Pos.x + 30.0f, y);
        frame(at);
        bool hovered = false;
        {
            ContextScope scope(ui);
            hovered = GImGui->HoveredId == item;
        }
        if (!hovered) continue;
        frame(pointerAt(at.mouse.x, y, true));
        frame(at);
        return true;
    }
    return false;
}

// Window controls that count the calls made to them.
struct CountingWindow : WindowControls {
    int minimized = 0, maximized = 0, fullscreened = 0, closed = 0, scaled = 0;
    bool isMax = false, isFull = false;
    void minimize() override { ++minimized; }
    void toggleMaximize() override { ++maximized; }
    void toggleFullscreen() override { ++fullscreened; }
    void close() override { ++closed; }
    bool isMaximized() const override { return isMax; }
    bool isFullscreen() const override { return isFull; }
    void setScale(float) override { ++scaled; }
};

}  // namespace tarn::ui::testing
