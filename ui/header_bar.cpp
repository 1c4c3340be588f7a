// The header bar: its rows laid out from the left and right, each piece whole or left out, its controls
// drawn, and the requests they make handed to the header's rules.
#include "ui/header_bar.h"

#include "ui/bar.h"
#include "ui/caption_buttons.h"
#include "ui/document_bar.h"
#include "ui/file_dialog.h"
#include "ui/header_bar_layout.h"
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
constexpr float kStatusRoom = 48.0f;       // kept free beside the status
constexpr float kNarrowestStatus = 40.0f;  // a word and the ellipsis; narrower, it is left out
constexpr float kCaptionButton = 32.0f;

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
    const Rect square{cell.x, cell.y + (cell.h - kUndoButton * s) * 0.5f, kUndoButton * s, kUndoButton * s};
    const RectClip clip(cell);
    return iconButton(id, square, icon, false, style);
}

// The first row's pieces at their natural widths.
FirstRowWidths firstRowWidths(const FrameInfo& frame, const HeaderModel& m, const MenuInput& menu,
                              const DocumentBarInput& document) {
    const float s = scale();
    FirstRowWidths w;
    w.menu = menuButtonWidth(menu);
    MenuInput iconOnly = menu;
    iconOnly.appName = {};
    iconOnly.logoPng = {};
    w.menuIconOnly = menuButtonWidth(iconOnly);
    if (m.document && !m.document->kindLabel.empty()) w.label = measureText(m.document->kindLabel, 0).x;
    if (m.document) {
        w.document = documentBarWidth(document);
        w.documentShort = std::min(w.document, documentBarShortName(document));
        w.documentFloor = std::min(w.documentShort, documentBarNarrowest(document, true));
        w.documentNarrowest = std::min(documentBarNarrowest(document), w.documentFloor);
    }
    if (m.undoRedo) w.undoRedo = (2.0f * kUndoButton + 4.0f) * s;
    w.status = statusWidth(m.status);
    w.statusNarrowest = std::min(w.status, kNarrowestStatus * s);
    w.room = kStatusRoom * s;
    if (frame.windowControls != nullptr) {
        w.captionButton = kCaptionButton * s;
        w.captionButtons = 3;
    }
    w.gap = kGap * s;
    return w;
}

// The second row's pieces at their natural widths, and the transport's from whole to play alone.
SecondRowWidths secondRowWidths(const HeaderModel& m, bool tabs, bool transport, const TransportOptions& options) {
    SecondRowWidths w;
    if (tabs) {
        w.tabs = pageTabsSize(m.pages, m.pageIcons).x;
        w.tabsWholeTitles = pageTabsNarrowest(m.pages, m.pageIcons, true);
        w.tabsCutTitles = pageTabsNarrowest(m.pages, m.pageIcons, false);
    }
    if (m.reserveArea) w.area = std::max(m.reserveWidth, 0.0f);
    // Each the widest bar narrower than the one before.
    for (std::optional<TransportOptions> o = options; transport && o;
         o = transportBarFit(options, transportBarSize(*o).x - 0.5f))
        w.transport.push_back(transportBarSize(*o).x);
    w.gap = kGap * scale();
    return w;
}

// The transport as the header shows it: framed, sized to the row, Space only in a window.
TransportOptions headerTransportOptions(const FrameInfo* frame, const HeaderModel& model) {
    TransportOptions options = model.transport ? model.transport->options : TransportOptions{};
    options.spaceTogglesPlay = options.spaceTogglesPlay && frame != nullptr && frame->windowControls != nullptr;
    options.framed = true;
    options.widthMode = 2;
    return options;
}

// The second row's pieces as they fit in a header `width` px wide.
SecondRowWidths fittedSecondRow(const HeaderModel& model, const TransportOptions& options, float width) {
    const bool tabs = model.pages.size() >= 2;
    const bool transport = model.transport && model.transport->tempo != nullptr;
    return fitSecondRow(secondRowWidths(model, tabs, transport, options),
                        std::max(width - 2.0f * kInset * scale(), 0.0f));
}

// Row 2: the page tabs from the left, the transport at the right end, the caller's area between them;
// or the transport at the right end of a third row of its own.
void drawSecondRow(const FrameInfo& frame, const Rect& r, const HeaderModel& model, HeaderResult& result) {
    const float s = scale();
    const float gap = kGap * s;
    const auto row = [&](int index) {
        const float top = r.y + static_cast<float>(index) * (kRow + kRowGap) * s;
        return Rect{r.x + kInset * s, top, std::max(r.w - 2.0f * kInset * s, 0.0f),
                    std::clamp(r.y + r.h - top, 0.0f, kRow * s)};
    };
    const Rect row2 = row(1);
    const TransportOptions options = headerTransportOptions(&frame, model);
    const SecondRowWidths fitted = fittedSecondRow(model, options, r.w);

    CellCutter cut{row2.x, row2.x + row2.w, row2.y, row2.h};
    if (model.pages.size() >= 2) {
        int page = model.page;
        if (pageTabs("pages", cut.take(fitted.tabs, gap), model.pages, page, model.pageIcons)) result.page = page;
    }
    if (model.transport && model.transport->tempo != nullptr) {
        const Rect own = fitted.transportBelow ? row(2) : row2;
        const float w = transportWidth(fitted);
        const Rect bar{own.x + own.w - w, own.y, w, own.h};
        result.transport = transportBar("transport", bar, model.transport->state, *model.transport->tempo, options);
        if (w > 0.0f && !fitted.transportBelow) cut.right = std::max(bar.x - gap, cut.x);
    }
    if (model.reserveArea) result.area = Rect{cut.x, row2.y, std::max(cut.right - cut.x, 0.0f), row2.h};
}

}  // namespace

float headerHeight(const HeaderModel& model, float width) {
    if (!secondRow(model)) return kRow * scale();
    const bool third = model.transport && model.transport->tempo != nullptr &&
                       fittedSecondRow(model, headerTransportOptions(nullptr, model), width).transportBelow;
    return (kRow + (third ? 2.0f : 1.0f) * (kRowGap + kRow)) * scale();
}

HeaderResult header(const FrameInfo& frame, const Rect& r, const HeaderModel& model) {
    HeaderResult result;
    const float s = scale();
    ImGui::PushID("tarn.header");
    HeaderState& state = *widgetState<HeaderState>(ImGui::GetID("state"));
    HeaderRequests rules{model, state, result};
    ImDrawList* list = ImGui::GetWindowDrawList();

    // Row 1: the caption buttons at the right end, the status beside them, the rest from the left.
    const Rect row1{r.x + kInset * s, r.y, std::max(r.w - 2.0f * kInset * s, 0.0f),
                    std::clamp(kRow * s, 0.0f, std::max(r.h, 0.0f))};
    ShortcutList shortcuts;
    fillShortcuts(shortcuts, frame, model);
    const MenuInput menu = menuInput(frame, model, shortcuts);
    const std::optional<HeaderDocument>& doc = model.document;
    const DocumentBarInput docInput{doc ? doc->name : std::string_view(), doc && doc->modified, doc && doc->canStep,
                                    doc && doc->canSave,
                                    (doc && (doc->browsable || doc->kind == 1)) ? "Browse" : "Open..."};
    const float gap = kGap * s;
    FirstRowWidths natural = firstRowWidths(frame, model, menu, docInput);
    // While the pointer rests on the document bar it keeps its width and its buttons, the name taking
    // what is left: stepping through presets moves none of them from under the pointer.
    const Rect& last = state.documentRect;
    const ImVec2 pointer = ImGui::GetIO().MousePos;
    const bool held = natural.document > 0.0f && state.documentWidth > 0.0f && pointer.x >= last.x &&
                      pointer.x < last.x + last.w && pointer.y >= last.y && pointer.y < last.y + last.h;
    if (held) {
        natural.document = natural.documentShort = natural.documentFloor = state.documentWidth;
        natural.documentNarrowest = std::min(natural.documentNarrowest, natural.documentFloor);
    }
    const FirstRowWidths widths = fitFirstRow(natural, row1.w);

    CellCutter row{row1.x, row1.x + row1.w, row1.y, row1.h};
    const auto take = [&](float w, float after) {
        return w > 0.0f ? row.take(w, after) : Rect{row.x, row.y, 0.0f, row.h};
    };
    const Rect menuRect = take(widths.menu, gap);
    const Rect labelRect = take(widths.label, gap);
    const Rect documentRect = take(widths.document, gap);
    // Only a bar showing all its buttons is held, at the width it has now (a long name's may be cut
    // short); a narrower one fits its name as before.
    const bool allButtons = widths.document > 0.0f && widths.document >= natural.documentFloor;
    state.documentWidth = allButtons ? widths.document : 0.0f;
    state.documentRect = documentRect;
    const Rect undoRect = take(widths.undoRedo > 0.0f ? kUndoButton * s : 0.0f, 4.0f * s);
    const Rect redoRect = take(widths.undoRedo > 0.0f ? kUndoButton * s : 0.0f, gap);
    const float captionWidth = widths.captionButton * static_cast<float>(widths.captionButtons);
    const Rect captionRect{row1.x + row1.w - captionWidth, row1.y, captionWidth, row1.h};
    const Rect statusRect{captionRect.x - widths.status, row1.y, widths.status, row1.h};

    captionButtons(frame, captionRect);
    rules.menuChoice(menuButton("menu", menuRect, menu));
    if (labelRect.w > 0.0f) {
        const RectClip clip(labelRect);
        drawText(list, labelRect, doc->kindLabel, 0, 0xFF8A8870, 0);
    }
    if (doc) {
        result.documentArea = documentRect;
        const DocumentBarResult d = documentBar("preset", documentRect, docInput, held && allButtons);
        if (d.open && doc->browsable) result.action = HeaderAction::Browse;
        if (d.open && !doc->browsable) rules.openRule();  // Browse as well for a kind-1 document
        if (d.previous) rules.request(HeaderRequest::previous);
        if (d.next) rules.request(HeaderRequest::next);
        if (d.save) rules.saveRule();
    }
    if (const std::optional<HeaderUndoRedo>& u = model.undoRedo; u && widths.undoRedo > 0.0f) {
        if (undoButton("undo", undoRect, undoIcon, u->canUndo, "Undo", u->undoLabel))
            result.action = HeaderAction::Undo;
        if (undoButton("redo", redoRect, redoIcon, u->canRedo, "Redo", u->redoLabel))
            result.action = HeaderAction::Redo;
    }
    statusLine("status", statusRect, model.status);

    if (secondRow(model)) drawSecondRow(frame, r, model, result);

    if (frame.windowControls != nullptr && !fileDialogBusy()) rules.keys();
    rules.finish();
    ImGui::PopID();
    return result;
}

}  // namespace tarn::ui
