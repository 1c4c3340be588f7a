// Dear ImGui's OpenGL3 renderer for the current UI context, with the font texture kept in step with the atlas.
#include "ui/host/imgui_renderer.h"

#include "ui/host/host_messages.h"
#include "ui/ui_context.h"

#include <imgui_impl_opengl3.h>

#include <stdexcept>

namespace tarn::ui {

ImGuiRenderer::ImGuiRenderer() {
    if (!ImGui_ImplOpenGL3_Init("#version 330 core")) throw std::runtime_error(host_messages::kRendererFailed);
}

ImGuiRenderer::~ImGuiRenderer() { ImGui_ImplOpenGL3_Shutdown(); }

void ImGuiRenderer::beforeFrame(UiContext& ui) {
    ui.refreshAtlas();
    ImGui_ImplOpenGL3_NewFrame();  // creates the device objects and first texture on first use
    if (ui.atlasGeneration() != uploadedGeneration_) {
        ImGui_ImplOpenGL3_DestroyFontsTexture();
        ImGui_ImplOpenGL3_CreateFontsTexture();
        uploadedGeneration_ = ui.atlasGeneration();
    }
}

void ImGuiRenderer::render(ImDrawData* data) { ImGui_ImplOpenGL3_RenderDrawData(data); }

}  // namespace tarn::ui
