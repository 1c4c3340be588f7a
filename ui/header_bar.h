// The header bar across the top of a document application's window: menu, document, undo and redo,
// status, caption buttons, and an optional second row with page tabs and the transport.
#pragma once

#include "ui/button.h"
#include "ui/command_file.h"
#include "ui/file_dialog.h"
#include "ui/menus.h"
#include "ui/param.h"
#include "ui/status_line.h"
#include "ui/transport_bar.h"
#include "ui/view.h"

#include <cfloat>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui {

struct HeaderDocument {
    // 1: the application keeps the document itself (Open is Browse, Save and Save as are actions);
    // 0: a file document, for which the header runs the file dialogs.
    uint32_t kind = 0;
    std::string_view kindLabel;  // drawn before the document bar
    std::string_view name;       // empty shows "Untitled"
    std::string_view path;       // the file last saved to or opened from; may be empty
    bool modified = false;
    bool canStep = false;            // shows Previous and Next
    bool browsable = false;          // a click on the name is Browse instead of the Open dialog
    bool canSave = false;            // shows Save
    bool confirmDiscard = false;     // ask before New, Open, Previous and Next discard a modified document
    std::vector<NamedList> filters;  // for the dialogs
    std::string defaultFolder;       // the dialogs' folder when path is empty
};

struct HeaderUndoRedo {
    bool canUndo = false;
    bool canRedo = false;
    std::string_view undoLabel;
    std::string_view redoLabel;
};

struct HeaderTransport {
    TransportState state;
    Param* tempo = nullptr;
    TransportOptions options;
};

// Filled by the application every frame; the views are borrowed for the call.
struct HeaderModel {
    std::string_view appName;
    std::string_view version;
    std::string_view manual;
    std::span<const uint8_t> logoPng;
    std::optional<HeaderDocument> document;
    std::optional<HeaderUndoRedo> undoRedo;
    StatusLine status;
    std::span<const std::string_view> pages;
    std::span<const IconPainter> pageIcons;
    int32_t page = 0;
    std::optional<HeaderTransport> transport;
    bool reserveArea = false;  // the caller wants the free part of the second row
    // With reserveArea, the px the caller needs of that part: the transport leaves out its fields and
    // buttons before the free part gets narrower than this.
    float reserveWidth = 0.0f;
    std::span<const MenuCommand> commands;
    std::span<const ShortcutGroup> shortcutGroups;
    std::optional<float> uiScale;
    bool settings = false;
};

enum class HeaderAction : uint32_t {
    New = 0,
    Save = 1,
    SaveAs = 2,
    Undo = 3,
    Redo = 4,
    Previous = 5,
    Next = 6,
    Browse = 7,
    Settings = 8,
};

struct HeaderResult {
    std::optional<HeaderAction> action;
    std::optional<std::string> openPath;     // chosen in the Open dialog
    std::optional<std::string> saveAsPath;   // chosen in the Save as dialog, or the document's path on Save
    std::optional<uint32_t> command;         // an application command that needs no file
    std::optional<CommandFile> commandFile;  // an application command and the file chosen in its dialog
    std::optional<int32_t> page;             // the tab clicked
    std::optional<float> uiScale;
    TransportResult transport;
    bool menuOpened = false;
    Rect area;          // the free part of the second row (with reserveArea)
    Rect documentArea;  // the document bar's rectangle
};

// Per header, in the state store under the id of "state" inside "tarn.header".
struct HeaderState {
    uint32_t pendingAction = 0;  // 0 none, 1 New, 2 Open, 3 Previous, 4 Next, 5 run a menu command
    uint32_t pendingCommand = 0;
    uint32_t dialogCommand = 0;  // the command whose file dialog "item" runs
    // The document bar's width and place in the last frame, kept while the pointer rests on it.
    float documentWidth = 0.0f;
    Rect documentRect;
};

// Draws the header in r and returns what the user asked for. Without window controls (offscreen)
// there are no caption buttons, no keyboard commands and no Space on the transport. Each piece draws
// and takes clicks only inside its own rectangle; in a narrow header what does not fit is left out
// whole, in the order of fitFirstRow and fitSecondRow.
HeaderResult header(const FrameInfo& frame, const Rect& r, const HeaderModel& model);
// 36 px, plus 44 px when a second row is shown (two or more pages, a reserved area or a transport), plus
// 44 px more when a header `width` px wide has the transport take a third row of its own.
float headerHeight(const HeaderModel& model, float width = FLT_MAX);

}  // namespace tarn::ui
