// How the blocks under the editor's header share its height, and when they stand on a page that scrolls.
#pragma once

namespace tarn {

// Logical px. The canvas gets the rest of a tall window; below the program's own window it gives way
// only after the waveform, and never below kCanvasLeast.
inline constexpr float kCanvasRoomy = 462.0f;  // the canvas of the program's own 900 x 950 window
inline constexpr float kCanvasLeast = 200.0f;  // the Pattern tab's control rows and a bar of the roll
inline constexpr float kWaveformSlim = 40.0f;  // the render, its bar numbers and the play cursor, or the prompt
inline constexpr float kVoiceLeast = 84.0f;    // the graphs' names and values, a plot to drag, the Legato switch

// The height in px of each block, of each of the three gaps (under the canvas, the render strip and the
// waveform) and of them all stacked: the page, which scrolls when it is taller than the room it was given.
struct BlockHeights {
    float canvas = 0.0f;
    float renderStrip = 0.0f;
    float waveform = 0.0f;
    float voiceStrip = 0.0f;
    float gap = 0.0f;
    float page = 0.0f;
    bool scrolls = false;
};

// The blocks' heights in `room` px at UI scale `s`. As the room shrinks: the waveform (a picture of the
// last render, empty until one is made) goes down to a slim strip; the canvas down to its least; the
// voice strip gives up its spare height. Where even that does not fit the page scrolls, and the canvas
// and the voice strip take the heights they have in the program's own window, the waveform staying
// slim. The render strip and the gaps keep theirs throughout.
BlockHeights shareHeight(float room, float s);

}  // namespace tarn
