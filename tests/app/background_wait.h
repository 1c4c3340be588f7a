// Drawing editor frames until what it does beside them (a render, a session being read) has arrived,
// as a user waits for it.
#pragma once

#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <chrono>

namespace tarn::testing {

// Frames while `busy` holds; false when it still holds after a deadline far beyond anything the
// tests ask for.
template <class Busy>
bool framesWhile(EditorFrames& frames, Editor& editor, Busy busy) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (busy()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        frames.frame(editor);
    }
    return true;
}

inline bool framesUntilRendered(EditorFrames& frames, Editor& editor) {
    return framesWhile(frames, editor, [&] { return editor.backgroundRender.running(); });
}

// Until a WAV export has ended and the status line tells how.
inline bool framesUntilExported(EditorFrames& frames, Editor& editor) {
    return framesWhile(frames, editor, [&] { return editor.wavExport.job.running(); });
}

// Until an opened session has been adopted, and its phrase rendered for the waveform.
inline bool framesUntilOpened(EditorFrames& frames, Editor& editor) {
    return framesWhile(frames, editor, [&] { return editor.backgroundOpen.running(); }) &&
           framesUntilRendered(frames, editor);
}

}  // namespace tarn::testing
