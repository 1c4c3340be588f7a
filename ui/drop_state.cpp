// The drop state's transitions: enter, move, leave, drop and the end of each frame.
#include "ui/drop_state.h"

#include <utility>

namespace tarn::ui {

void DropState::enter(std::vector<std::string>&& newPaths, ImVec2 pos) {
    paths = std::move(newPaths);
    position = pos;
    hovering = true;
}

void DropState::over(ImVec2 pos) { position = pos; }

void DropState::leave() {
    paths.clear();
    hovering = false;
    dropped = false;
    accepts = false;
}

void DropState::drop(ImVec2 pos) {
    position = pos;
    dropped = true;
}

void DropState::endFrame() {
    accepts = hovering && wanted;
    wanted = false;
    if (dropped) {
        paths.clear();
        hovering = false;
        dropped = false;
        accepts = false;
    }
}

}  // namespace tarn::ui
