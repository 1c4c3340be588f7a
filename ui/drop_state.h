// Files dragged over the window: written by the host's drop target, read by the views.
#pragma once

#include <imgui.h>

#include <string>
#include <vector>

namespace tarn::ui {

struct DropState {
    std::vector<std::string> paths;  // UTF-8
    ImVec2 position{0.0f, 0.0f};     // client pixels
    bool hovering = false;
    bool dropped = false;
    bool accepts = false;  // the previous frame's views wanted the files: the host shows the copy cursor
    bool wanted = false;   // set by a view during its draw when it can use the files

    // Host side.
    void enter(std::vector<std::string>&& newPaths, ImVec2 pos);
    void over(ImVec2 pos);
    void leave();
    void drop(ImVec2 pos);

    // After the views have drawn: `wanted` becomes `accepts` and is reset; a finished drop is cleared.
    void endFrame();
};

}  // namespace tarn::ui
