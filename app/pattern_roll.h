// The pattern tab's piano roll: one block of pitch rows by sixteen steps per bar, each with its kick row.
#pragma once

#include "app/pattern_grid.h"
#include "app/pattern_panel.h"
#include "engine/pattern.h"

#include <optional>

namespace tarn {

// Draws the roll in a child window of the given height's share of the space left and edits the
// notes and kicks under the mouse. True when the played line changed.
bool drawPatternRoll(PatternPanelState& state, Pattern& pattern, const PatternRows& rows,
                     std::optional<double> playPosition);

}  // namespace tarn
