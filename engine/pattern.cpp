// Construction of an empty pattern: at least one bar, a zero kick mask for each.
#include "engine/pattern.h"

#include <algorithm>

namespace tarn {

Pattern::Pattern(int barCount, int root, int scaleIndex)
    : rootNote(root),
      scale(scaleIndex),
      bars(static_cast<std::size_t>(std::max(barCount, 1))),
      kicks(static_cast<std::size_t>(std::max(barCount, 1)), 0) {}

}  // namespace tarn
