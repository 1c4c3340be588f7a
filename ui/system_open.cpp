// Opening a path or address with the system: the toolkit's side of the host's opener.
#include "ui/system_open.h"

#include "ui/ui_context.h"

#include <cstdio>

namespace tarn::ui {

bool openWithSystem(const std::string& pathOrAddress) {
    const auto& opener = UiContext::current().systemOpener;
    if (opener && opener(pathOrAddress)) return true;
    std::fprintf(stderr, "tarn-ui: the system could not open %s\n", pathOrAddress.c_str());
    return false;
}

}  // namespace tarn::ui
