// File names and patterns as the file dialog offers and completes them.
#pragma once

#include "ui/file_dialog.h"

#include <string>
#include <string_view>

namespace tarn::ui {

// A glob for "*.extension" that matches any letter case: "mid" gives "*.[mM][iI][dD]".
std::string caseInsensitiveGlob(std::string_view extension);

// A save dialog's path with the first filter's first extension appended when the typed name
// has none (a leading dot starts no extension); every other path unchanged.
std::string withDefaultExtension(const std::string& path, const FileDialogOptions& options);

}  // namespace tarn::ui
