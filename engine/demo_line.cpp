// The demo line's notes: start and length in beats, MIDI note, velocity.
#include "engine/demo_line.h"

namespace tarn {

const std::array<NoteEvent, kDemoLineNotes> demoLine = {{
    {0.0, 0.45, 28, 1.0f},
    {1.0, 0.45, 28, 0.55f},
    {2.0, 0.45, 31, 0.8f},
    {3.0, 0.45, 28, 0.5f},
    {4.0, 0.45, 28, 1.0f},
    {5.0, 0.45, 33, 0.6f},
    {6.0, 0.45, 28, 0.5f},
    {7.0, 0.45, 35, 0.85f},
    {8.0, 2.2, 28, 0.9f},
    {10.0, 2.2, 35, 0.65f},
    {12.0, 2.2, 33, 0.8f},
    {14.0, 2.2, 31, 0.6f},
    {16.0, 7.5, 28, 1.0f},
    {24.0, 0.45, 28, 1.0f},
    {25.0, 0.45, 40, 0.7f},
    {26.0, 1.9, 35, 0.85f},
    {28.0, 2.0, 33, 0.6f},
    {29.9, 2.1, 28, 0.95f},
}};

}  // namespace tarn
