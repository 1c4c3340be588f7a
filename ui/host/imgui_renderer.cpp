// Dear ImGui's OpenGL3 renderer for the current UI context, with the font texture kept in step with the atlas.
#include "ui/host/imgui_renderer.h"

#include "ui/host/host_messages.h"
#include "ui/ui_context.h"

#include <imgui_impl_opengl3.h>

#include <dlfcn.h>

#include <stdexcept>

namespace tarn::ui {

ImGuiRenderer::ImGuiRenderer() {
    // The backend's loader opens libGL.so.1 and closes it at exit; pinning the library keeps it
    // (and the driver it loads) mapped to the end, so leak reports at exit can still name it.
    static void* const pinned = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    (void)pinned;
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
