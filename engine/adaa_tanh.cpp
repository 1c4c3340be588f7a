// Shaper coefficients from the drive.
#include "engine/adaa_tanh.h"

namespace tarn {

void setShaperDrive(Shaper& shaper, float d) {
    // Drive sweeps the tanh gain over 1..25 and biases the curve by up to a quarter for
    // even harmonics; c and n recentre and renormalise it so drive changes colour, not level.
    shaper.k = std::pow(25.0f, d);
    shaper.b = d * 0.25f;
    shaper.c = std::asin(shaper.b) * 0.63661975f;
    shaper.n = 1.0f / (std::tanh((1.0f - shaper.b) * shaper.k) + shaper.c);
    shaper.l0 = logCosh(static_cast<double>(shaper.b) * static_cast<double>(shaper.k));
}

}  // namespace tarn
