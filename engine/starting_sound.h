// The fixed sound the live player starts with, which the editor also opens with.
#pragma once

#include "engine/patch.h"

namespace tarn {

// A warmer, wider, moving sound than the plain Patch defaults, with default curves.
Patch startingSound();

}  // namespace tarn
