// The header bar: its rows laid out from the left and right, its controls drawn, and the requests
// they make handed to the header's rules.
#include "ui/header_bar.h"

#include "ui/bar.h"
#include "ui/caption_buttons.h"
#include "ui/document_bar.h"
#include "ui/file_dialog.h"
#include "ui/header_requests.h"
#include "ui/icons.h"
#include "ui/page_tabs.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

// Logical px.
constexpr float kRow = 36.0f;
constexpr float kRowGap = 8.0f;
constexpr float kInset = 4.0f;
constexpr float kGap = 8.0f;
constexpr float kUndoButton = 24.0f;
constexpr float kStatusRoom = 48.0f;  // kept free beside the status
constexpr float kNarrowestDocument = 120.0f;

bool secondRow(const HeaderModel& m) {
    return m.pages.size() >= 2 || m.reserveArea || (m.transport && m.transport->tempo != nullptr);
}

// The shortcuts box: the header's own keys first, then the application's groups.
struct ShortcutList {
    std::vector<ShortcutRow> general;
    std::vector<ShortcutGroup> groups;
};

// Filled in place: the groups point into the rows.
void fillShortcuts(ShortcutList& list, const FrameInfo& frame, const HeaderModel& m) {
    if (frame.windowControls != nullptr && m.undoRedo) {
        list.general.push_back({"Ctrl+Z", "Undo"});
        list.general.push_back({"Ctrl+Shift+Z", "Redo"});
    }
    if (frame.windowControls != nullptr && m.document) {
        list.general.push_back({"Ctrl+S", "Save"});
        list.general.push_back({"Ctrl+O", "Open"});
    }
    if (!list.general.empty()) list.groups.push_back({"General", list.general});
    for (const ShortcutGroup& group : m.shortcutGroups) list.groups.push_back(group);
}

MenuInput menuInput(const FrameInfo& frame, const HeaderModel& m, const ShortcutList& shortcuts) {
    MenuInput in;
    in.appName = m.appName;
    in.version = m.version;
    in.manual = m.manual;
    in.logoPng = m.logoPng;
    in.documentLabel = m.document ? m.document->kindLabel : std::string_view();
    in.hasUndoRedo = m.undoRedo.has_value();
    in.canUndo = m.undoRedo && m.undoRedo->canUndo;
    in.canRedo = m.undoRedo && m.undoRedo->canRedo;
    in.uiScale = m.uiScale;
    in.settings = m.settings;
    in.keyboard = frame.windowControls != nullptr;
    in.commands = m.commands;
    in.shortcutGroups = shortcuts.groups;
    return in;
}

bool undoButton(const char* id, const Rect& cell, const IconPainter& icon, bool enabled, std::string_view verb,
                std::string_view label) {
    const std::string tip = std::string(verb) + (label.empty() ? "" : " ") + std::string(label);
    ButtonStyle style;
    style.disabled = !enabled;
    style.tooltip = tip.c_str();
    const float s = scale();
    const Rect square{cell.x, cell.y + (cell.h - kUndoButton * s) * 0.5f, std::min(cell.w, kUndoButton * s),
                      kUndoButton * s};
    return cell.w > 0.0f && iconButton(id, square, icon, false, style);
}

}  // namespace

float headerHeight(const HeaderModel& model) { return (kRow + (secondRow(model) ? kRowGap + kRow : 0.0f)) * scale(); }

HeaderResult header(const FrameInfo& frame, const Rect& r, const HeaderModel& model) {
    HeaderResult result;
    const float s = scale();
    ImGui::PushID("tarn.header");
    HeaderState& state = *widgetState<HeaderState>(ImGui::GetID("state"));
    HeaderRequests rules{model, state, result};
    ImDrawList* list = ImGui::GetWindowDrawList();

    // Row 1: the caption buttons take their width at the right end, the rest is cut from the left.
    const Rect row1{r.x + kInset * s, r.y, std::max(r.w - 2.0f * kInset * s, 0.0f),
                    std::clamp(kRow * s, 0.0f, std::max(r.h, 0.0f))};
    const float caption = captionButtons(frame, row1);
    ShortcutList shortcuts;
    fillShortcuts(shortcuts, frame, model);
    const MenuInput menu = menuInput(frame, model, shortcuts);
    const std::optional<HeaderDocument>& doc = model.document;
    const bool label = doc && !doc->kindLabel.empty();
    const DocumentBarInput docInput{doc ? doc->name : std::string_view(), doc && doc->modified, doc && doc->canStep,
                                    doc && doc->canSave,
                                    (doc && (doc->browsable || doc->kind == 1)) ? "Browse" : "Open..."};

    // Widths first: the status keeps 48 px free beside it, and the document bar gives way when it cannot.
    const float menuWidth = menuButtonWidth(menu);
    const float labelWidth = label ? measureText(doc->kindLabel, 0).x : 0.0f;
    float documentWidth = doc ? documentBarWidth(docInput) : 0.0f;
    const float undoWidth = model.undoRedo ? (2.0f * kUndoButton + 4.0f) * s : 0.0f;
    const float gap = kGap * s;
    const float right = row1.x + row1.w - caption;
    const auto freeWidth = [&] {
        return right - row1.x - (menuWidth + gap) - (label ? labelWidth + gap : 0.0f) -
               (doc ? documentWidth + gap : 0.0f) - (model.undoRedo ? undoWidth + gap : 0.0f);
    };
    float statusShown = std::min(statusWidth(model.status), std::max(freeWidth() - kStatusRoom * s, 0.0f));
    if (doc && freeWidth() - statusShown < kStatusRoom * s) {
        const float shortfall = kStatusRoom * s - (freeWidth() - statusShown);
        documentWidth = std::max(documentWidth - shortfall, std::min(documentWidth, kNarrowestDocument * s));
    }
    // A header too narrow even then: what does not fit is cut off at the caption buttons.
    CellCutter row{row1.x, right, row1.y, row1.h};
    const Rect menuRect = row.take(menuWidth, gap);
    const Rect labelRect = label ? row.take(labelWidth, gap) : Rect{};
    const Rect documentRect = doc ? row.take(documentWidth, gap) : Rect{};
    const Rect undoRect = model.undoRedo ? row.take(kUndoButton * s, 4.0f * s) : Rect{};
    const Rect redoRect = model.undoRedo ? row.take(kUndoButton * s, gap) : Rect{};
    statusShown = std::min(statusShown, std::max(right - row.x, 0.0f));
    const Rect statusRect{right - statusShown, row1.y, statusShown, row1.h};

    rules.menuChoice(menuButton("menu", menuRect, menu));
    if (label && labelRect.w > 0.0f) drawText(list, labelRect, doc->kindLabel, 0, 0xFF8A8870, 0);
    if (doc) {
        result.documentArea = documentRect;
        const DocumentBarResult d = documentBar("preset", documentRect, docInput);
        if (d.open && doc->browsable) result.action = HeaderAction::Browse;
        if (d.open && !doc->browsable) rules.openRule();  // Browse as well for a kind-1 document
        if (d.previous) rules.request(HeaderRequest::previous);
        if (d.next) rules.request(HeaderRequest::next);
        if (d.save) rules.saveRule();
    }
    if (const std::optional<HeaderUndoRedo>& u = model.undoRedo) {
        if (undoButton("undo", undoRect, undoIcon, u->canUndo, "Undo", u->undoLabel))
            result.action = HeaderAction::Undo;
        if (undoButton("redo", redoRect, redoIcon, u->canRedo, "Redo", u->redoLabel))
            result.action = HeaderAction::Redo;
    }
    statusLine("status", statusRect, model.status);

    if (secondRow(model)) {
        const float top = r.y + (kRow + kRowGap) * s;
        const Rect row2{r.x + kInset * s, top, std::max(r.w - 2.0f * kInset * s, 0.0f),
                        std::clamp(r.y + r.h - top, 0.0f, kRow * s)};
        CellCutter cut{row2.x, row2.x + row2.w, row2.y, row2.h};
        if (model.pages.size() >= 2) {
            int page = model.page;
            const Rect tabs = cut.take(pageTabsSize(model.pages, model.pageIcons).x, gap);
            if (pageTabs("pages", tabs, model.pages, page, model.pageIcons)) result.page = page;
        }
        if (model.transport && model.transport->tempo != nullptr) {
            TransportOptions options = model.transport->options;
            options.spaceTogglesPlay = options.spaceTogglesPlay && frame.windowControls != nullptr;
            options.framed = true;
            options.widthMode = 2;
            const float w = std::clamp(cut.right - cut.x, 0.0f, transportBarSize(options).x);
            const Rect bar{cut.right - w, row2.y, w, row2.h};
            result.transport = transportBar("transport", bar, model.transport->state, *model.transport->tempo, options);
            cut.right = std::max(bar.x - gap, cut.x);
        }
        if (model.reserveArea) result.area = Rect{cut.x, row2.y, std::max(cut.right - cut.x, 0.0f), row2.h};
    }

    if (frame.windowControls != nullptr && !fileDialogBusy()) rules.keys();
    rules.finish();
    ImGui::PopID();
    return result;
}

}  // namespace tarn::ui
