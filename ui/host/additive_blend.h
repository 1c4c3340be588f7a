// The renderer hook that switches the light glow's draws to additive blending.
#pragma once

#include <imgui.h>

namespace tarn::ui {

// A Dear ImGui draw callback: colour = src x alpha + dst, destination alpha kept. The
// renderer's reset-render-state callback that follows it restores the normal blend.
ImDrawCallback additiveBlendHook();

}  // namespace tarn::ui
