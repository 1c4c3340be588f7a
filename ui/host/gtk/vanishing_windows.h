// Dialog windows that another X client may destroy at any moment, taken in stride.
#pragma once

namespace tarn::ui {

// While one lives, an X error on GDK's connection (a request on a dialog window that another
// client destroyed before GDK heard of it, or GTK tearing down such a dialog) ends nothing, where
// GDK's own handler would end the process with status 1. Errors that GDK's own calls trap still
// reach them, and so do errors that arrive later for requests made meanwhile. Make one only after
// GTK started.
class VanishingWindows {
public:
    VanishingWindows();
    ~VanishingWindows();
    VanishingWindows(const VanishingWindows&) = delete;
    VanishingWindows& operator=(const VanishingWindows&) = delete;

private:
    bool trapped_ = false;
};

}  // namespace tarn::ui
