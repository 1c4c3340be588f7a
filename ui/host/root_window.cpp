// The full-window root that every frame opens, in a window or offscreen, around the view's draw.
#include "ui/host/root_window.h"

#include "ui/theme_draw.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>

namespace tarn::ui {

void drawRoot(View& view, const FrameInfo& frame, bool framed) {
    const float s = scale();
    const float inset = 20.0f * s + (framed ? 5.0f * s : 0.0f);
    FrameInfo info = frame;
    const Rect& window = frame.window;
    info.content = Rect{window.x + inset, window.y + inset, std::max(window.w - 2.0f * inset, 0.0f),
                        std::max(window.h - 2.0f * inset, 0.0f)};

    ImGui::SetNextWindowPos(ImVec2(window.x, window.y));
    ImGui::SetNextWindowSize(ImVec2(window.w, window.h));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    constexpr ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                       ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                                       ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoCollapse |
                                       ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings |
                                       ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoNavFocus;
    ImGui::Begin("##tarn.root", nullptr, flags);
    ImGui::PopStyleVar();

    ImDrawList* list = ImGui::GetWindowDrawList();
    drawBackground(list, window);
    view.draw(info);
    if (framed) drawLightGlow(ImGui::GetWindowDrawList(), window);
    ImGui::End();
    UiContext::current().drop.endFrame();
}

}  // namespace tarn::ui
