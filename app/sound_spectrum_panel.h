// The spectrum tab's cached analysis, the inputs it was made for, and its drag state.
#pragma once

#include "engine/patch.h"
#include "engine/sound_spectrum.h"

#include <cstdint>

namespace tarn {

struct SpectrumPanelState {
    Spectrum spectrum{};  // the last analysis
    Patch analysedPatch;  // the patch (scalars and curves) it was made for
    std::int32_t analysedNote = 0;
    float analysedOffsets[kArcLanes] = {};  // the arc offsets it was made for
    bool valid = false;
    std::uint32_t dragMode = 0;  // 0 none, 1 the sub (weight), 2 the harmonics (drive)
    float lastMouseY = 0.0f;     // px, the previous frame of the drag
    std::uint64_t analyses = 0;  // analyses run so far: the cache's cost made visible
};

}  // namespace tarn
