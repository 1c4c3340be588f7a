// Drawing editor frames until its background render has reached the waveform, as a user waits for it.
#pragma once

#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <chrono>

namespace tarn::testing {

// False when the render has not arrived within a deadline far beyond any render the tests make.
inline bool framesUntilRendered(EditorFrames& frames, Editor& editor) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (editor.backgroundRender.running()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        frames.frame(editor);
    }
    return true;
}

}  // namespace tarn::testing
