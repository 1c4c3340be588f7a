// The application's menus as plain data, the menu button with its popup, and the about and
// keyboard-shortcuts boxes.
#pragma once

#include "ui/file_dialog.h"
#include "ui/view.h"

#include <imgui.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui {

// The interface sizes offered under "UI size", for the commands -100 to -103.
inline constexpr std::array<float, 4> menuUiSizes{1.0f, 1.25f, 1.5f, 2.0f};

enum class MenuItemKind : uint32_t { Action = 0, Separator = 1, Heading = 2, ColumnBreak = 3, Submenu = 4 };

struct MenuItem {
    MenuItemKind kind = MenuItemKind::Action;
    std::string label;
    int32_t command = 0;  // standard commands are negative, the application's 0 or more
    bool checked = false;
    bool enabled = true;
    std::vector<MenuItem> children;  // Submenu only
    std::string shortcut;            // empty for none

    MenuItem() = default;
    // An action.
    MenuItem(std::string label, int32_t command, bool checked, bool enabled, std::string shortcut);
    // A submenu.
    MenuItem(std::string label, std::vector<MenuItem> children);
    // A separator, a heading or a column break.
    static MenuItem mark(MenuItemKind kind, std::string label = {});
};

// An application command offered in the menus, with the file dialog it runs first, if any.
struct MenuCommand {
    uint32_t menu = 0;    // the section it joins: 0 document, 1 Edit, 2 View, 3 application, 4 Help
    MenuItem item;        // its command is the application's id
    uint32_t dialog = 0;  // 0 none, 1 an Open dialog, 2 a Save dialog, titled with the item's label
    std::vector<NamedList> filters;
    bool discardsChanges = false;  // ask before running it on a modified document
};

struct ShortcutRow {
    std::string_view keys;
    std::string_view action;
};

struct ShortcutGroup {
    std::string_view title;
    std::span<const ShortcutRow> rows;
};

// What the header hands the menu button.
struct MenuInput {
    std::string_view appName;
    std::string_view version;
    std::string_view manual;  // opened with the system by "Manual"; empty: no such item
    std::span<const uint8_t> logoPng;
    std::string_view documentLabel;  // empty: no document commands
    bool hasUndoRedo = false;
    bool canUndo = false;
    bool canRedo = false;
    std::optional<float> uiScale;
    bool settings = false;
    bool keyboard = false;  // the window has keyboard shortcuts: their texts are shown
    std::span<const MenuCommand> commands;
    std::span<const ShortcutGroup> shortcutGroups;
};

struct MenuChoice {
    std::optional<uint32_t> standard;  // 0 New, 1 Open, 2 Save, 3 SaveAs, 4 Undo, 5 Redo, 6 Settings
    std::optional<uint32_t> command;   // an application command
    std::optional<float> uiScale;
    bool opened = false;  // a click opened the menu in this frame
};

// The flat list of sections: document, Edit, View, the application's, Settings, Help.
std::vector<MenuItem> standardMenus(const MenuInput& input);

// The "Menu" button over r, its popup, and the about and shortcuts boxes it opens.
MenuChoice menuButton(const char* id, const Rect& r, const MenuInput& input);
float menuButtonWidth(const MenuInput& input);

// Opens the menu popup `id` at `at` (default: the mouse position).
void openMenuPopup(const char* id, std::optional<ImVec2> at);
// While the popup `id` is open, draws it with the items and returns the command of an activated action.
std::optional<int32_t> beginMenuPopup(const char* id, std::span<const MenuItem> items);
// The items in text role 2, in columns cut at column breaks; `chosen` gets an activated action's command.
void drawMenu(std::span<const MenuItem> items, std::optional<int32_t>& chosen);
// The groups of shortcuts, keys on the left and what they do beside them, at the cursor.
void shortcutsTable(const MenuInput& input);

}  // namespace tarn::ui
