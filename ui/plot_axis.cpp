// Axis mapping and tick generation, computed in double so that long ranges stay exact.
#include "ui/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarn::ui {
namespace {

// No axis needs more ticks than a screen has pixels; beyond this a range is treated as absurd
// and, rather than building a huge list, gives fewer (wider spaced) ticks or none.
constexpr double kMaxTicks = 4096.0;

std::string formatG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

}  // namespace

float PlotAxis::fraction(float value) const {
    if (min == max) return 0.0f;
    if (kind == PlotAxisKind::logarithmic)
        return std::log(std::max(value, 1e-12f) / min) / std::log(max / min);
    return (value - min) / (max - min);
}

float PlotAxis::valueAt(float pixel) const {
    if (pixelFrom == pixelTo) return min;
    float t = (pixel - pixelFrom) / (pixelTo - pixelFrom);
    t = std::isnan(t) ? 0.0f : std::clamp(t, 0.0f, 1.0f);
    const float v = kind == PlotAxisKind::logarithmic ? min * std::pow(max / min, t)
                                                      : min + (max - min) * t;
    const float lo = std::min(min, max);
    const float hi = std::max(min, max);
    if (std::isnan(v)) return lo;
    return std::clamp(v, lo, hi);
}

std::vector<PlotTick> levelTicks(float min, float max, float step) {
    std::vector<PlotTick> ticks;
    if (!(step > 0.0f) || !(max > min) || !std::isfinite(min) || !std::isfinite(max)) return ticks;
    const double first = std::ceil(static_cast<double>(min) / step - 1e-6);
    const double last = std::floor(static_cast<double>(max) / step + 1e-6);
    if (!std::isfinite(first) || !std::isfinite(last) || last < first ||
        last - first + 1.0 > kMaxTicks)
        return ticks;
    // Counted, not stepped: far from zero, k + 1 may round back to k.
    const int count = static_cast<int>(last - first) + 1;
    for (int i = 0; i < count; ++i) {
        const double k = first + i;
        const double value = k * step;
        PlotTick tick;
        tick.value = static_cast<float>(value);
        tick.major = true;
        tick.label = k == 0.0 ? "0 dB" : formatG(value);
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

std::vector<PlotTick> logTicks(float min, float max) {
    std::vector<PlotTick> ticks;
    if (!(min > 0.0f) || !(min < max) || !std::isfinite(max)) return ticks;
    const double lowest = static_cast<double>(min) * 0.9999;
    const double highest = static_cast<double>(max) * 1.0001;
    const int firstDecade = static_cast<int>(std::floor(std::log10(static_cast<double>(min))));
    const int lastDecade = static_cast<int>(std::ceil(std::log10(static_cast<double>(max))));
    for (int d = firstDecade; d <= lastDecade; ++d) {
        const double decade = std::pow(10.0, d);
        for (int k = 1; k <= 9; ++k) {
            const double value = k * decade;
            if (value < lowest || value > highest) continue;
            PlotTick tick;
            tick.value = static_cast<float>(value);
            tick.major = k == 1;
            if (tick.major && d >= 1)
                tick.label = value >= 1000.0 ? formatG(value / 1000.0) + "k" : formatG(value);
            ticks.push_back(std::move(tick));
        }
    }
    return ticks;
}

std::vector<PlotTick> barTicks(double minBeats, double maxBeats, int maxTicks, TimeSignature signature) {
    std::vector<PlotTick> ticks;
    if (!(maxBeats > minBeats) || maxTicks < 1 || signature.beatsPerBar < 1 || signature.beatUnit < 1)
        return ticks;
    const double span = maxBeats - minBeats;
    if (!std::isfinite(span)) return ticks;
    const double limit = std::min(static_cast<double>(maxTicks), kMaxTicks);
    // A sixteenth of the beat unit, in quarter-note beats; in double so that 8ths, 16ths and
    // 32nds as the beat unit give their true step instead of an integer 0.
    const double step = 4.0 / signature.beatUnit * 0.25;
    const double barSteps = signature.beatsPerBar * 4.0;
    double n = 1.0;
    while (span / (n * step) > limit) n = (n < 4.0 || n >= barSteps) ? n * 2.0 : barSteps;
    const double spacing = n * step;
    const double first = std::ceil(minBeats / spacing - 1e-9);
    const double last = std::floor(maxBeats / spacing + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || last < first ||
        last - first + 1.0 > kMaxTicks + 2.0)
        return ticks;
    const int count = static_cast<int>(last - first) + 1;
    for (int i = 0; i < count; ++i) {
        const double k = first + i;
        PlotTick tick;
        tick.value = static_cast<float>(k * spacing);
        const double stepIndex = k * n;
        const double bars = stepIndex / barSteps;
        if (bars == std::floor(bars)) {
            tick.major = true;
            char buffer[48];
            std::snprintf(buffer, sizeof buffer, "%.0f", bars + 1.0);
            tick.label = buffer;
        }
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

}  // namespace tarn::ui
