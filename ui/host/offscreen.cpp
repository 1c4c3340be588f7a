// Drawing a view without a window into an image: the screenshot mode's renderer.
#include "ui/host/offscreen.h"

#include "ui/host/additive_blend.h"
#include "ui/host/egl_offscreen.h"
#include "ui/host/host_messages.h"
#include "ui/host/imgui_renderer.h"
#include "ui/host/root_window.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace tarn::ui {

Image renderOffscreen(View& view, const OffscreenOptions& options) {
    const long w = std::lround(static_cast<float>(options.width) * options.scale);
    const long h = std::lround(static_cast<float>(options.height) * options.scale);
    if (!std::isfinite(options.scale) || w <= 0 || h <= 0 || w > 32768 || h > 32768)
        throw std::runtime_error(host_messages::kNoRenderTarget);

    // Declaration order is release order in reverse: the renderer goes before the UI context,
    // the UI context before the GL context it drew with.
    EglOffscreen target(static_cast<int>(w), static_cast<int>(h));
    UiContext ui;
    ContextScope scope(ui);
    setDisplayScale(ui, options.scale);
    ImGuiRenderer renderer;
    ui.lightHook = additiveBlendHook();

    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(w), static_cast<float>(h));
    io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);  // nothing hovered

    const int frames = std::max(options.frames, 1);
    for (int i = 0; i < frames; ++i) {
        if (options.beforeFrame) options.beforeFrame(i);
        renderer.beforeFrame(ui);
        // Dear ImGui refuses a zero step; the view still sees the frame's own delta.
        io.DeltaTime = options.frameDelta > 0.0f ? options.frameDelta : 1e-6f;
        ImGui::NewFrame();
        FrameInfo frame;
        frame.time = static_cast<double>(options.frameDelta) * i;
        frame.dt = i == 0 ? 0.0f : options.frameDelta;
        frame.window = Rect{0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)};
        frame.displayScale = options.scale;
        drawRoot(view, frame, options.framed);
        ImGui::Render();
        target.bindAndClear();
        renderer.render(ImGui::GetDrawData());
    }

    Image image;
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    image.rgba = target.readRgba();
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
    return image;
}

}  // namespace tarn::ui
