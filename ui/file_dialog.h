// The file-dialog queue: widgets ask for a dialog, the host runs it after the frame, and the answer
// waits in the UI context until the asking widget collects it.
#pragma once

#include <imgui.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn::ui {

enum class FileDialogKind : uint32_t { Open = 0, Save = 1, Folder = 2 };

// A filter of the dialog: its name and its extensions without dots.
struct NamedList {
    std::string name;
    std::vector<std::string> extensions;
};

struct FileDialogOptions {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;
    std::vector<NamedList> filters;
    std::string defaultFolder;
    std::string defaultName;
    bool multiSelect = false;
};

struct FileDialogRequest {
    ImGuiID requester = 0;  // GetID(label) in the ID stack of the request
    FileDialogOptions options;
};

struct FileDialogResult {
    static constexpr int32_t chosen = 0;
    static constexpr int32_t cancelled = 1;
    static constexpr int32_t failed = 2;
    int32_t status = chosen;
    std::vector<std::string> paths;  // UTF-8
};

// Widget side, on the current UI context. Queues a dialog for `label`; false, with nothing queued,
// while another request is pending or a dialog is running.
bool requestFileDialog(const char* label, const FileDialogOptions& options);
bool fileDialogBusy();
// The answer for `label`, taken out of the context; empty when there is none.
std::optional<FileDialogResult> takeFileDialogResult(const char* label);

// Host side, after a frame. Takes the pending request (the dialog is then running).
std::optional<FileDialogRequest> takePendingFileDialog();
// Ends the running dialog and keeps its answer for the requester, replacing an unread earlier one.
void deliverFileDialogResult(ImGuiID requester, FileDialogResult&& result);

}  // namespace tarn::ui
