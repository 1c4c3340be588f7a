// The header bar's rules: discarding requests and their confirmation, the file dialogs it queues and
// collects, the menu's standard commands and the keyboard commands.
#include "ui/header_requests.h"

#include "ui/confirm_dialog.h"
#include "ui/key_commands.h"
#include "ui/popup.h"

#include <utility>

namespace tarn::ui {
namespace {

std::string_view shownName(const HeaderDocument& d) { return d.name.empty() ? "Untitled" : d.name; }

// Everything before the last "/" or "\"; empty when there is none.
std::string folderOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

FileDialogOptions dialogOptions(const HeaderModel& model, FileDialogKind kind, std::string title) {
    FileDialogOptions options;
    options.kind = kind;
    options.title = std::move(title);
    if (model.document.has_value()) {
        const HeaderDocument& d = *model.document;
        options.filters = d.filters;
        options.defaultFolder = d.path.empty() ? d.defaultFolder : folderOf(d.path);
    }
    return options;
}

// The name, with "." and the first filter's first extension unless it already ends so.
std::string saveAsName(const HeaderDocument& d) {
    std::string name(shownName(d));
    if (d.filters.empty() || d.filters.front().extensions.empty()) return name;
    const std::string ending = "." + d.filters.front().extensions.front();
    if (!name.ends_with(ending)) name += ending;
    return name;
}

const MenuCommand* findCommand(const HeaderModel& model, uint32_t id) {
    for (const MenuCommand& c : model.commands)
        if (c.item.command >= 0 && static_cast<uint32_t>(c.item.command) == id) return &c;
    return nullptr;
}

// The first path of a chosen answer; cancelled, failed and empty answers give none.
std::optional<std::string> chosenPath(const char* requester) {
    std::optional<FileDialogResult> answer = takeFileDialogResult(requester);
    if (!answer || answer->status != FileDialogResult::chosen || answer->paths.empty()) return std::nullopt;
    return std::move(answer->paths.front());
}

}  // namespace

void HeaderRequests::request(uint32_t what, uint32_t command) {
    const std::optional<HeaderDocument>& d = model.document;
    bool ask = false;
    if (what == HeaderRequest::command) {
        const MenuCommand* found = findCommand(model, command);
        ask = found != nullptr && found->discardsChanges && d && d->modified;
    } else {
        ask = d && d->modified && d->confirmDiscard;
    }
    if (!ask) {
        carryOut(what, command);
        return;
    }
    state.pendingAction = what;
    state.pendingCommand = command;
    openPopup("discard");
}

void HeaderRequests::carryOut(uint32_t what, uint32_t command) {
    switch (what) {
        case HeaderRequest::newDocument:
            result.action = HeaderAction::New;
            break;
        case HeaderRequest::open:
            requestFileDialog("open", dialogOptions(model, FileDialogKind::Open, "Open"));
            break;
        case HeaderRequest::previous:
            result.action = HeaderAction::Previous;
            break;
        case HeaderRequest::next:
            result.action = HeaderAction::Next;
            break;
        case HeaderRequest::command:
            runCommand(command);
            break;
        default:
            break;
    }
}

void HeaderRequests::runCommand(uint32_t command) {
    const MenuCommand* found = findCommand(model, command);
    if (found == nullptr || found->dialog == 0) {
        result.command = command;
        return;
    }
    FileDialogOptions options =
        dialogOptions(model, found->dialog == 1 ? FileDialogKind::Open : FileDialogKind::Save, found->item.label);
    options.filters = found->filters;
    // Only an accepted request names the command: a refused one must not take over the answer of the
    // dialog that is already running.
    if (requestFileDialog("item", options)) state.dialogCommand = command;
}

void HeaderRequests::openRule() {
    if (model.document && model.document->kind == 1) {
        result.action = HeaderAction::Browse;
    } else {
        request(HeaderRequest::open);
    }
}

void HeaderRequests::saveRule() {
    if (!model.document) return;
    const HeaderDocument& d = *model.document;
    if (d.kind == 1) {
        result.action = HeaderAction::Save;
    } else if (d.path.empty()) {
        saveAsRule();
    } else {
        result.saveAsPath = std::string(d.path);
    }
}

void HeaderRequests::saveAsRule() {
    if (!model.document) return;
    const HeaderDocument& d = *model.document;
    if (d.kind == 1) {
        result.action = HeaderAction::SaveAs;
        return;
    }
    FileDialogOptions options = dialogOptions(model, FileDialogKind::Save, "Save as");
    options.defaultName = saveAsName(d);
    requestFileDialog("saveAs", options);
}

void HeaderRequests::menuChoice(const MenuChoice& choice) {
    result.menuOpened = choice.opened;
    if (choice.uiScale) result.uiScale = choice.uiScale;
    if (choice.command) request(HeaderRequest::command, *choice.command);
    if (!choice.standard) return;
    switch (*choice.standard) {
        case 0:
            request(HeaderRequest::newDocument);
            break;
        case 1:
            openRule();
            break;
        case 2:
            saveRule();
            break;
        case 3:
            saveAsRule();
            break;
        case 4:
            result.action = HeaderAction::Undo;
            break;
        case 5:
            result.action = HeaderAction::Redo;
            break;
        case 6:
            result.action = HeaderAction::Settings;
            break;
        default:
            break;
    }
}

void HeaderRequests::keys() {
    const std::optional<KeyCommand> key = pollKeyCommand();
    if (!key) return;
    const std::optional<HeaderUndoRedo>& undo = model.undoRedo;
    const bool document = model.document.has_value();
    switch (*key) {
        case KeyCommand::Undo:
            if (!undo || !undo->canUndo) return;
            result.action = HeaderAction::Undo;
            break;
        case KeyCommand::Redo:
            if (!undo || !undo->canRedo) return;
            result.action = HeaderAction::Redo;
            break;
        case KeyCommand::Save:
            if (!document) return;
            saveRule();
            break;
        case KeyCommand::Open:
            if (!document) return;
            openRule();
            break;
        default:
            return;  // left for other widgets
    }
    consumeKeyCommand(*key);
}

void HeaderRequests::finish() {
    if (state.pendingAction != HeaderRequest::none) {
        const std::string_view name = model.document ? shownName(*model.document) : std::string_view("Untitled");
        const std::string message = "Discard the unsaved changes to " + std::string(name) + "?";
        const int answer = confirmDialog("discard", "Unsaved changes", message, "Discard", "Keep");
        if (answer != ConfirmResult::open) {
            const uint32_t what = state.pendingAction;
            state.pendingAction = HeaderRequest::none;  // Keep, Escape or a closed box: it never fires later
            if (answer == ConfirmResult::accepted) carryOut(what, state.pendingCommand);
        }
    }
    if (std::optional<std::string> path = chosenPath("open")) result.openPath = std::move(path);
    if (std::optional<std::string> path = chosenPath("saveAs")) result.saveAsPath = std::move(path);
    if (std::optional<std::string> path = chosenPath("item"))
        result.commandFile = CommandFile{state.dialogCommand, *path};
}

}  // namespace tarn::ui
