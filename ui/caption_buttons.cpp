// Caption buttons: their hover look and what each asks of the window.
#include "ui/caption_buttons.h"

#include "ui/bar.h"
#include "ui/draw.h"
#include "ui/icons.h"
#include "ui/interact.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

namespace tarn::ui {

bool captionButton(const char* id, const Rect& r, IconPainter icon, const char* tooltip, bool danger) {
    const Interaction i = interact(id, rectangleHotspot(r, ImGuiMouseCursor_Arrow, tooltip));
    ImDrawList* list = ImGui::GetWindowDrawList();
    if (i.hovered || i.held) {
        const uint32_t fill = danger ? palette::alert : 0xFF2F4121;
        fillRoundRect(list, r, i.held ? mixColor(fill, 0xFFFFFFFF, 0.1f) : fill, 4.0f);
    }
    if (icon) icon(list, centredSquare(r, 10.0f * scale()), toImColor(i.hovered ? palette::text : palette::mutedText));
    return i.clicked && i.hovered;
}

float captionButtons(const FrameInfo& frame, const Rect& r) {
    WindowControls* window = frame.windowControls;
    if (window == nullptr) return 0.0f;
    const float side = 32.0f * scale();
    // Whole buttons only: in a narrow rectangle Minimise goes first, then Maximise; Close goes last.
    const int count = r.w >= 3.0f * side ? 3 : r.w >= 2.0f * side ? 2 : r.w >= side ? 1 : 0;
    if (count == 0) return 0.0f;
    const float y = r.y + (r.h - side) * 0.5f;
    const float right = r.x + r.w;
    const auto cell = [&](int fromRight) {
        return Rect{right - side * static_cast<float>(fromRight + 1), y, side, side};
    };
    const RectClip clip(r);
    if (captionButton("##tarn.caption.close", cell(0), closeIcon, "Close", true)) window->close();
    if (count >= 2) {
        const bool restore = window->isMaximized() || window->isFullscreen();
        if (captionButton("##tarn.caption.max", cell(1), restore ? restoreIcon : maximiseIcon,
                          restore ? "Restore" : "Maximise", false)) {
            window->toggleMaximize();
        }
    }
    if (count == 3 && captionButton("##tarn.caption.min", cell(2), minimiseIcon, "Minimise", false)) window->minimize();
    return static_cast<float>(count) * side;
}

}  // namespace tarn::ui
