// Opening a path or address with the system's default handler, through the host's opener.
#pragma once

#include <string>

namespace tarn::ui {

// Calls the current UI context's system opener. When there is none, or it fails, writes
// "tarn-ui: the system could not open <text>" to standard error and returns false.
bool openWithSystem(const std::string& pathOrAddress);

}  // namespace tarn::ui
