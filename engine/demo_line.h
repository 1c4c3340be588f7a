// The built-in 18-note demo line that plays until the pattern takes over.
#pragma once

#include "engine/notes.h"

#include <array>

namespace tarn {

inline constexpr std::size_t kDemoLineNotes = 18;

// Eight bars in E: a pulse of quarter notes, held notes climbing down, a long root and a pickup.
extern const std::array<NoteEvent, kDemoLineNotes> demoLine;

}  // namespace tarn
