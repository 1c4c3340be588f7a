// The modal confirm dialog and the right-aligned accept/cancel button row it ends with.
#pragma once

#include <string_view>

namespace tarn::ui {

struct ConfirmResult {
    static constexpr int closed = 0;
    static constexpr int open = 1;  // open and undecided
    static constexpr int accepted = 2;
    static constexpr int cancelled = 3;
};

struct ButtonRowResult {
    static constexpr int none = 0;
    static constexpr int accept = 1;
    static constexpr int cancel = 2;
};

// The dialog `id`, opened with openPopup. A null or empty cancelLabel gives a dialog with only the
// accept button, where Escape accepts. Returns a ConfirmResult value; a decision closes the popup.
int confirmDialog(const char* id, std::string_view title, std::string_view message, const char* acceptLabel,
                  const char* cancelLabel);

// Accept ("##accept") and cancel ("##cancel", left of it) buttons, 84 x 24 px, right-aligned in the
// available width. Returns a ButtonRowResult value; a cancel click wins over an accept click.
int buttonRow(const char* acceptLabel, const char* cancelLabel);

}  // namespace tarn::ui
