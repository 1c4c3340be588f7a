// The one-pole coefficient rule.
#include "engine/one_pole.h"

namespace tarn {

float onePoleCoefficient(OnePole& pole, float timeSeconds, float rate) {
    if (timeSeconds > 0.0f && rate > 0.0f)
        pole.coefficient = 1.0f - std::exp(-1.0f / (timeSeconds * rate));
    else
        pole.coefficient = 1.0f;
    return pole.coefficient;
}

}  // namespace tarn
