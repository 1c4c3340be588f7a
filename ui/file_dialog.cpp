// The file-dialog queue over the current UI context: one request at a time, answers by requester.
#include "ui/file_dialog.h"

#include "ui/ui_context.h"

#include <utility>

namespace tarn::ui {

bool requestFileDialog(const char* label, const FileDialogOptions& options) {
    UiContext& ui = UiContext::current();
    if (ui.pendingDialog.has_value() || ui.dialogRunning) return false;
    ui.pendingDialog = FileDialogRequest{ImGui::GetID(label), options};
    return true;
}

bool fileDialogBusy() {
    const UiContext& ui = UiContext::current();
    return ui.pendingDialog.has_value() || ui.dialogRunning;
}

std::optional<FileDialogResult> takeFileDialogResult(const char* label) {
    UiContext& ui = UiContext::current();
    auto found = ui.dialogResults.find(ImGui::GetID(label));
    if (found == ui.dialogResults.end()) return std::nullopt;
    FileDialogResult result = std::move(found->second);
    ui.dialogResults.erase(found);
    return result;
}

std::optional<FileDialogRequest> takePendingFileDialog() {
    UiContext& ui = UiContext::current();
    if (!ui.pendingDialog.has_value()) return std::nullopt;
    std::optional<FileDialogRequest> request = std::move(ui.pendingDialog);
    ui.pendingDialog.reset();
    ui.dialogRunning = true;
    return request;
}

void deliverFileDialogResult(ImGuiID requester, FileDialogResult&& result) {
    UiContext& ui = UiContext::current();
    ui.dialogRunning = false;
    ui.dialogResults[requester] = std::move(result);
}

}  // namespace tarn::ui
