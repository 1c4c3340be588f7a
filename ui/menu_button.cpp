// The menu button: its look, its popup and what a choice means, and the about and shortcuts boxes.
#include "ui/menus.h"

#include "ui/bar.h"
#include "ui/draw.h"
#include "ui/icons.h"
#include "ui/interact.h"
#include "ui/pictures.h"
#include "ui/popup.h"
#include "ui/system_open.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

// The button with its icon alone, logical px: 8 px, the 24 px icon, 4 px and 8 px.
constexpr float kIconOnly = 44.0f;

void aboutBox(const MenuInput& input) {
    const float s = scale();
    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImVec2 start = ImGui::GetCursorScreenPos();
    float y = start.y;
    float width = 0.0f;
    if (!input.logoPng.empty()) {
        drawPicture(list, Rect{start.x, y, 48.0f * s, 48.0f * s}, input.logoPng);
        y += 56.0f * s;
        width = 48.0f * s;
    }
    const ImVec2 name = measureText(input.appName, 3);
    drawTextAt(list, ImVec2(start.x, y), input.appName, 3, palette::text);
    y += name.y;
    width = std::max(width, name.x);
    if (!input.version.empty()) {
        y += 4.0f * s;
        const ImVec2 version = measureText(input.version, 2);
        drawTextAt(list, ImVec2(start.x, y), input.version, 2, palette::mutedText);
        y += version.y;
        width = std::max(width, version.x);
    }
    ImGui::Dummy(ImVec2(width, y - start.y));
}

// The button itself, clipped to r: true when it was clicked.
bool buttonFace(const Rect& r, const Rect& button, const MenuInput& input) {
    const float s = scale();
    const RectClip clip(r);
    const Interaction i = interact("button", rectangleHotspot(button, ImGuiMouseCursor_Hand, "Menu"));
    ImDrawList* list = ImGui::GetWindowDrawList();
    if (i.hovered || i.held || ImGui::IsPopupOpen("menu"))
        fillRoundRect(list, button, i.held ? 0xFF3E5827 : 0xFF2F4121, 6.0f);

    float x = button.x + 8.0f * s;
    const float middle = button.y + button.h * 0.5f;
    menuIcon(list, Rect{x, middle - 12.0f * s, 24.0f * s, 24.0f * s}, toImColor(palette::text));
    x += 28.0f * s;
    // The logo and the name are shown whole or not at all: the icon alone still reads as the menu.
    if (!input.logoPng.empty() && button.x + button.w - x >= 24.0f * s) {
        drawPicture(list, Rect{x, middle - 10.0f * s, 20.0f * s, 20.0f * s}, input.logoPng);
        x += 24.0f * s;
    }
    const Rect name{x, button.y, std::max(button.x + button.w - x, 0.0f), button.h};
    if (!fitText(input.appName, 3, name.w).ellipsis) drawText(list, name, input.appName, 3, palette::text, 0);
    return i.clicked && i.hovered;
}

}  // namespace

void shortcutsTable(const MenuInput& input) {
    const float s = scale();
    float keyColumn = 0.0f;
    float actionWidth = 0.0f;
    for (const ShortcutGroup& group : input.shortcutGroups) {
        for (const ShortcutRow& row : group.rows) {
            keyColumn = std::max(keyColumn, measureText(row.keys, 2).x);
            actionWidth = std::max(actionWidth, measureText(row.action, 2).x);
        }
    }
    keyColumn += 16.0f * s;
    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImVec2 start = ImGui::GetCursorScreenPos();
    float y = start.y;
    float width = keyColumn + actionWidth;
    bool first = true;
    for (const ShortcutGroup& group : input.shortcutGroups) {
        if (group.rows.empty()) continue;
        if (!first) y += 8.0f * s;
        first = false;
        drawTextAt(list, ImVec2(start.x, y), group.title, 3, palette::mutedText);
        const ImVec2 title = measureText(group.title, 3);
        width = std::max(width, title.x);
        y += title.y + 4.0f * s;
        for (const ShortcutRow& row : group.rows) {
            drawTextAt(list, ImVec2(start.x, y), row.keys, 2, palette::mutedText);
            drawTextAt(list, ImVec2(start.x + keyColumn, y), row.action, 2, palette::text);
            y += measureText(row.action, 2).y + 4.0f * s;
        }
    }
    ImGui::Dummy(ImVec2(width, y - start.y));
}

float menuButtonWidth(const MenuInput& input) {
    const float s = scale();
    return kIconOnly * s + measureText(input.appName, 3).x + (input.logoPng.empty() ? 0.0f : 24.0f * s);
}

MenuChoice menuButton(const char* id, const Rect& r, const MenuInput& input) {
    const float s = scale();
    MenuChoice choice;
    ImGui::PushID(id);
    const float h = std::max(std::min(32.0f * s, r.h), 0.0f);
    const Rect button{r.x, r.y + (r.h - h) * 0.5f, std::max(r.w, 0.0f), h};
    // Narrower than its icon the button is left out; the popups below still run.
    if (button.w >= kIconOnly * s && buttonFace(r, button, input)) {
        openMenuPopup("menu", ImVec2(button.x, button.y + button.h + 4.0f * s));
        choice.opened = true;
    }
    const std::vector<MenuItem> items = standardMenus(input);
    if (const std::optional<int32_t> chosen = beginMenuPopup("menu", items)) {
        const int32_t c = *chosen;
        if (c >= 0) {
            choice.command = static_cast<uint32_t>(c);
        } else if (c >= -7) {
            choice.standard = static_cast<uint32_t>(-c - 1);
        } else if (c == -8) {
            openWithSystem(std::string(input.manual));
        } else if (c == -9) {
            openPopup("shortcuts");
        } else if (c == -10) {
            openPopup("about");
        } else if (c <= -100 && c >= -103) {
            choice.uiScale = menuUiSizes[static_cast<size_t>(-100 - c)];
        }
    }
    if (beginAnchoredPopup("about", button, ImVec2(0.0f, 0.0f))) {
        aboutBox(input);
        endAnchoredPopup();
    }
    if (beginAnchoredPopup("shortcuts", button, ImVec2(0.0f, 0.0f))) {
        shortcutsTable(input);
        endAnchoredPopup();
    }
    ImGui::PopID();
    return choice;
}

}  // namespace tarn::ui
