// The desktop's file dialog for a queued request: the window's side of it.
#pragma once

#include "ui/file_dialog.h"

#include <functional>

namespace tarn::ui {

// Runs the dialog modally and answers chosen (0), cancelled (1, nothing printed) or failed
// (2, one "tarn-ui: ... failed" line on stderr). The dialog belongs to the X window `owner`
// (0 for none): it stays above it and opens centred on it. A dialog closed by any means, its
// window destroyed from outside included, answers cancelled. `keepDrawing` is called about every
// 16 ms while the dialog is open; it returns false to close the dialog (as cancelled). Never throws.
// Built in its own library (tarn_dialogs), so that only the program and its window tests
// link the dialog toolkit.
FileDialogResult runNativeFileDialog(const FileDialogRequest& request, unsigned long owner,
                                     const std::function<bool()>& keepDrawing) noexcept;

}  // namespace tarn::ui
