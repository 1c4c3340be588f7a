// Menus as data: the standard sections, and drawing a list of items in a popup at a remembered place.
#include "ui/menus.h"

#include "ui/imgui_compat.h"
#include "ui/popup.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <utility>

namespace tarn::ui {
namespace {

// Appends a section: a separator before all but the first, its heading when titled, its items.
void addSection(std::vector<MenuItem>& list, std::string_view title, std::vector<MenuItem> items) {
    if (items.empty()) return;
    if (!list.empty()) list.push_back(MenuItem::mark(MenuItemKind::Separator));
    if (!title.empty()) list.push_back(MenuItem::mark(MenuItemKind::Heading, std::string(title)));
    for (MenuItem& item : items) list.push_back(std::move(item));
}

void addCommands(std::vector<MenuItem>& items, const MenuInput& input, uint32_t section) {
    for (const MenuCommand& command : input.commands)
        if (command.menu == section) items.push_back(command.item);
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void drawItems(std::span<const MenuItem> items, std::optional<int32_t>& chosen) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
            case MenuItemKind::Action:
                if (ImGui::MenuItem(item.label.c_str(), item.shortcut.empty() ? nullptr : item.shortcut.c_str(),
                                    item.checked, item.enabled)) {
                    chosen = item.command;
                }
                break;
            case MenuItemKind::Separator:
                ImGui::Separator();
                break;
            case MenuItemKind::Heading: {
                const FontScope font(0);
                ImGui::PushStyleColor(ImGuiCol_Text, toStyleColor(palette::mutedText));
                ImGui::TextUnformatted(upperAscii(item.label).c_str());
                ImGui::PopStyleColor();
                break;
            }
            case MenuItemKind::Submenu:
                if (ImGui::BeginMenu(item.label.c_str(), item.enabled)) {
                    drawMenu(item.children, chosen);
                    ImGui::EndMenu();
                }
                break;
            case MenuItemKind::ColumnBreak:
                break;
        }
    }
}

}  // namespace

MenuItem::MenuItem(std::string label_, int32_t command_, bool checked_, bool enabled_, std::string shortcut_)
    : kind(MenuItemKind::Action),
      label(std::move(label_)),
      command(command_),
      checked(checked_),
      enabled(enabled_),
      shortcut(std::move(shortcut_)) {}

MenuItem::MenuItem(std::string label_, std::vector<MenuItem> children_)
    : kind(MenuItemKind::Submenu), label(std::move(label_)), children(std::move(children_)) {}

MenuItem MenuItem::mark(MenuItemKind kind, std::string label) {
    MenuItem item;
    item.kind = kind;
    item.label = std::move(label);
    return item;
}

std::vector<MenuItem> standardMenus(const MenuInput& input) {
    const auto key = [&](const char* text) { return std::string(input.keyboard ? text : ""); };
    std::vector<MenuItem> list;

    std::vector<MenuItem> document;
    if (!input.documentLabel.empty()) {
        document.emplace_back("New", -1, false, true, "");
        document.emplace_back("Open...", -2, false, true, key("Ctrl+O"));
        document.emplace_back("Save", -3, false, true, key("Ctrl+S"));
        document.emplace_back("Save As...", -4, false, true, "");
    }
    addCommands(document, input, 0);
    addSection(list, input.documentLabel.empty() ? "Preset" : input.documentLabel, std::move(document));

    std::vector<MenuItem> edit;
    if (input.hasUndoRedo) {
        edit.emplace_back("Undo", -5, false, input.canUndo, key("Ctrl+Z"));
        edit.emplace_back("Redo", -6, false, input.canRedo, key("Ctrl+Shift+Z"));
    }
    addCommands(edit, input, 1);
    addSection(list, "Edit", std::move(edit));

    std::vector<MenuItem> view;
    if (input.uiScale.has_value()) {
        std::vector<MenuItem> sizes;
        for (int i = 0; i < 4; ++i) {
            const bool checked = std::fabs(menuUiSizes[static_cast<size_t>(i)] - *input.uiScale) < 0.01f;
            const int percent = static_cast<int>(std::lround(menuUiSizes[static_cast<size_t>(i)] * 100.0f));
            sizes.emplace_back(std::to_string(percent) + " %", -100 - i, checked, true, "");
        }
        view.emplace_back("UI size", std::move(sizes));
    }
    addCommands(view, input, 2);
    addSection(list, "View", std::move(view));

    std::vector<MenuItem> application;
    addCommands(application, input, 3);
    addSection(list, input.appName, std::move(application));

    if (input.settings) addSection(list, "", {MenuItem("Settings...", -7, false, true, "")});

    std::vector<MenuItem> help;
    if (!input.manual.empty()) help.emplace_back("Manual", -8, false, true, "");
    for (const ShortcutGroup& group : input.shortcutGroups) {
        if (group.rows.empty()) continue;
        help.emplace_back("Keyboard shortcuts", -9, false, true, "");
        break;
    }
    help.emplace_back("About " + std::string(input.appName), -10, false, true, "");
    addCommands(help, input, 4);
    addSection(list, "Help", std::move(help));
    return list;
}

void openMenuPopup(const char* id, std::optional<ImVec2> at) {
    const ImVec2 position = at.value_or(ImGui::GetMousePos());
    ImGuiStorage* storage = ImGui::GetStateStorage();
    ImGui::PushID(id);
    storage->SetFloat(ImGui::GetID("x"), position.x);
    storage->SetFloat(ImGui::GetID("y"), position.y);
    ImGui::PopID();
    ImGui::OpenPopup(id);
}

std::optional<int32_t> beginMenuPopup(const char* id, std::span<const MenuItem> items) {
    // Nothing is pushed for a closed popup: 1.86 asserts on an EndPopup without its BeginPopup.
    if (!ImGui::IsPopupOpen(id)) return std::nullopt;
    ImGuiStorage* storage = ImGui::GetStateStorage();
    ImGui::PushID(id);
    const ImVec2 position(storage->GetFloat(ImGui::GetID("x")), storage->GetFloat(ImGui::GetID("y")));
    ImGui::PopID();
    ImGui::SetNextWindowPos(position, ImGuiCond_Always, ImVec2(0.0f, 0.0f));
    // A window shorter than the menu (a small screen at a large scale) would leave its last items
    // below the window's edge, out of reach: the menu ends there and scrolls instead.
    const float room = std::max(ImGui::GetIO().DisplaySize.y - position.y, 0.0f);
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(FLT_MAX, room));
    pushPopupStyle(8.0f, 6.0f);
    std::optional<int32_t> chosen;
    if (ImGui::BeginPopup(id)) {
        drawMenu(items, chosen);
        // Without keyboard navigation 1.86 leaves Escape to the popup's owner.
        if (compat::isKeyPressed(compat::Key::Escape, false)) ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    popPopupStyle();
    return chosen;
}

void drawMenu(std::span<const MenuItem> items, std::optional<int32_t>& chosen) {
    const FontScope font(2);
    // A table takes at most 64 columns; breaks past that are left out.
    constexpr size_t kMaxColumns = 64;
    std::vector<std::span<const MenuItem>> columns;
    size_t start = 0;
    for (size_t i = 0; i <= items.size(); ++i) {
        const bool lastColumn = columns.size() + 1 == kMaxColumns;
        if (i < items.size() && (items[i].kind != MenuItemKind::ColumnBreak || lastColumn)) continue;
        columns.push_back(items.subspan(start, i - start));
        start = i + 1;
    }
    if (columns.size() == 1) {
        drawItems(columns.front(), chosen);
        return;
    }
    if (!ImGui::BeginTable("columns", static_cast<int>(columns.size()), ImGuiTableFlags_SizingFixedFit)) return;
    ImGui::TableNextRow();
    for (const std::span<const MenuItem> column : columns) {
        ImGui::TableNextColumn();
        drawItems(column, chosen);
    }
    ImGui::EndTable();
}

}  // namespace tarn::ui
