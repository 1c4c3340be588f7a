// Opening a path or address with the desktop's default handler through xdg-open.
#pragma once

#include <string>

namespace tarn::ui {

// Starts xdg-open with the text as its one argument (never through a shell; "./" before a
// leading "-" so that it cannot read as an option). False when xdg-open cannot be started or
// reports a failure within a second; a handler still running after that counts as opened and
// its xdg-open is reaped when it ends.
bool xdgOpen(const std::string& pathOrAddress);

}  // namespace tarn::ui
