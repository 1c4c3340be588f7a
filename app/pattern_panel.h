// The pattern tab's selection, loop and drag state.
#pragma once

#include <cstdint>

namespace tarn {

struct PatternPanelState {
    std::int32_t bar = 0;           // the bar the bar tools act on; selectedNote counts in it
    std::int32_t selectedNote = -1; // index in bar `bar`; -1 none
    std::int32_t dragBar = -1;      // bar of the note being dragged; -1 no drag
    std::int32_t dragNote = -1;
    std::int32_t loopBar = -1;      // the bar looped on its own; -1 the whole pattern
    bool resizing = false;          // the drag changes the note's length
    float grabOffset = 0.0f;        // mouse step minus the note's start when the drag began
    // Set by "Clear bar": nothing is selected, yet the bar tools stay on the bar just cleared
    // instead of falling back to bar 0's first note, so a second press cannot reach another bar.
    bool keepBar = false;
};

}  // namespace tarn
