// Dear ImGui's OpenGL3 renderer for the current UI context, with the font texture kept in step with the atlas.
#pragma once

#include <cstdint>
#include <imgui.h>

namespace tarn::ui {

class UiContext;

// Starts the OpenGL3 backend on the current Dear ImGui context and GL context; shuts it down
// on destruction (with the same contexts current). Throws when the backend does not start.
class ImGuiRenderer {
public:
    ImGuiRenderer();
    ~ImGuiRenderer();
    ImGuiRenderer(const ImGuiRenderer&) = delete;
    ImGuiRenderer& operator=(const ImGuiRenderer&) = delete;

    // Between frames: rebuilds the atlas when the UI context asks for it and uploads the
    // texture again whenever the atlas changed since the last upload; then the backend's frame.
    void beforeFrame(UiContext& ui);
    void render(ImDrawData* data);

private:
    std::uint64_t uploadedGeneration_ = ~std::uint64_t{0};
};

}  // namespace tarn::ui
