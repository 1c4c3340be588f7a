// The waveform pyramid and its range query.
#include "ui/waveform.h"

#include "ui/draw.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn::ui {
namespace {

void take(MinMax& into, float lo, float hi) {
    into.min = std::min(into.min, lo);
    into.max = std::max(into.max, hi);
}

// The axis value under a pixel, without valueAt's clamp to the axis range: columns at the plot's
// edge must still read the samples that lie there.
double axisValueAt(const PlotAxis& axis, double pixel) {
    if (axis.pixelFrom == axis.pixelTo) return axis.min;
    const double t = (pixel - axis.pixelFrom) / (static_cast<double>(axis.pixelTo) - axis.pixelFrom);
    if (axis.kind == PlotAxisKind::logarithmic)
        return axis.min * std::pow(static_cast<double>(axis.max) / axis.min, t);
    return axis.min + (static_cast<double>(axis.max) - axis.min) * t;
}

uint32_t scaleAlpha(uint32_t colour, float factor) {
    const auto alpha = static_cast<uint32_t>(static_cast<float>(colour >> 24) * factor + 0.5f);
    return (colour & 0x00FFFFFFu) | (std::min(alpha, 255u) << 24);
}

// Adds the levels above level 0, each halving the one below.
void buildUpperLevels(std::vector<std::vector<MinMax>>& levels) {
    while (levels.back().size() >= 2) {
        const std::vector<MinMax>& below = levels.back();
        std::vector<MinMax> level(below.size() / 2);
        for (size_t j = 0; j < level.size(); ++j) {
            const MinMax& a = below[2 * j];
            const MinMax& b = below[2 * j + 1];
            level[j] = {std::min(a.min, b.min), std::max(a.max, b.max)};
        }
        levels.push_back(std::move(level));
    }
}

// Level-0 entries kept by a summary built piece by piece, at most.
constexpr uint64_t kMaxBaseEntries = 1u << 16;

}  // namespace

WaveformPeaks::WaveformPeaks(std::span<const float> samplesIn, double rate)
    : samples(samplesIn), sampleRate(rate), sampleCount(samplesIn.size()) {
    std::vector<MinMax> base(samples.size() / kBlock);
    for (size_t i = 0; i < base.size(); ++i) {
        const auto blockSamples = samples.subspan(i * kBlock, kBlock);
        const auto [lo, hi] = std::minmax_element(blockSamples.begin(), blockSamples.end());
        base[i] = {*lo, *hi};
    }
    levels.push_back(std::move(base));
    buildUpperLevels(levels);
}

WaveformPeaksBuilder::WaveformPeaksBuilder(uint64_t expectedSamples, double sampleRate) {
    peaks_.sampleRate = sampleRate;
    while (expectedSamples / peaks_.block > kMaxBaseEntries) peaks_.block *= 2;
    peaks_.levels.emplace_back();
    peaks_.levels[0].reserve(static_cast<size_t>(std::min(expectedSamples / peaks_.block + 1, kMaxBaseEntries + 1)));
}

void WaveformPeaksBuilder::add(std::span<const float> samples) {
    for (const float v : samples) {
        if (inPartial_ == 0) partial_ = {v, v};
        take(partial_, v, v);
        if (++inPartial_ == peaks_.block) {
            peaks_.levels[0].push_back(partial_);
            inPartial_ = 0;
        }
    }
    peaks_.sampleCount += samples.size();
}

WaveformPeaks WaveformPeaksBuilder::finish() {
    if (inPartial_ > 0) peaks_.levels[0].push_back(partial_);
    inPartial_ = 0;
    buildUpperLevels(peaks_.levels);
    return std::move(peaks_);
}

MinMax WaveformPeaks::range(uint64_t first, uint64_t last) const {
    const uint64_t end = std::min<uint64_t>(last, sampleCount);
    if (first >= end) return {};
    MinMax result{std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    uint64_t lo = first;
    uint64_t hi = end;
    if (samples.size() >= sampleCount) {
        while (lo < hi && lo % block != 0) {
            take(result, samples[lo], samples[lo]);
            ++lo;
        }
        while (hi > lo && hi % block != 0) {
            --hi;
            take(result, samples[hi], samples[hi]);
        }
        lo /= block;
        hi /= block;
    } else {
        // Without the samples, the blocks at either end stand in for them whole.
        lo /= block;
        hi = (hi + block - 1) / block;
    }
    for (size_t level = 0; level < levels.size() && lo < hi; ++level) {
        const std::vector<MinMax>& entries = levels[level];
        if (lo % 2 == 1) {
            take(result, entries[lo].min, entries[lo].max);
            ++lo;
        }
        if (hi % 2 == 1) {
            --hi;
            take(result, entries[hi].min, entries[hi].max);
        }
        lo /= 2;
        hi /= 2;
    }
    return result;
}

void drawWaveform(ImDrawList* list, const Rect& r, const PlotAxis& axis, const WaveformPeaks& peaks,
                  const WaveformStyle& style) {
    const uint64_t count = peaks.sampleCount;
    const uint64_t first = std::min(style.firstSample, count);
    const uint64_t end = std::min(style.endSample, count);
    if (count == 0 || !(peaks.sampleRate > 0.0) || !(style.secondsPerUnit > 0.0) || !(r.w > 0.0f) ||
        !(r.h > 0.0f) || first >= end)
        return;
    const double k = style.secondsPerUnit * peaks.sampleRate;  // samples per axis unit
    const auto pixelOfSample = [&](double i) { return axis.pixelOf(static_cast<float>(i / k + style.timeOffset)); };
    const auto sampleAtPixel = [&](double px) { return (axisValueAt(axis, px) - style.timeOffset) * k; };

    // Only what can show: r, and within it the list's clip rectangle.
    const float clipLeft = std::max(r.x, list->GetClipRectMin().x);
    const float clipRight = std::min(r.x + r.w, list->GetClipRectMax().x);
    float left = pixelOfSample(static_cast<double>(first));
    float right = pixelOfSample(static_cast<double>(end));
    if (left > right) std::swap(left, right);
    left = std::max(left, clipLeft);
    right = std::min(right, clipRight);
    if (!(right > left)) return;

    const float centre = r.y + r.h * 0.5f;
    const float halfHeight = r.h * 0.5f * style.gain * style.level;
    const auto yOf = [&](float v, double seconds) {
        const float curve = style.levelCurve ? style.levelCurve(seconds) : 1.0f;
        return std::clamp(centre - v * halfHeight * curve, r.y, r.y + r.h);
    };

    const double perPixel = std::fabs(sampleAtPixel(left + 1.0) - sampleAtPixel(left));
    // A summary without its samples is drawn by columns at any zoom.
    if (perPixel < 1.0 && peaks.samples.size() >= count) {
        double a = sampleAtPixel(left);
        double b = sampleAtPixel(right);
        if (a > b) std::swap(a, b);
        const auto from = static_cast<uint64_t>(std::clamp(std::floor(a), static_cast<double>(first),
                                                           static_cast<double>(end - 1)));
        const auto to = static_cast<uint64_t>(std::clamp(std::ceil(b), static_cast<double>(first),
                                                         static_cast<double>(end - 1)));
        std::vector<ImVec2> points;
        points.reserve(to - from + 1);
        for (uint64_t i = from; i <= to; ++i)
            points.emplace_back(pixelOfSample(static_cast<double>(i)),
                                yOf(peaks.samples[i], static_cast<double>(i) / peaks.sampleRate));
        drawPolyline(list, points, style.colour, 1.5f);
        return;
    }

    const auto firstColumn = static_cast<int64_t>(std::floor(left));
    const auto endColumn = static_cast<int64_t>(std::ceil(right));
    const size_t columns = static_cast<size_t>(endColumn - firstColumn);
    std::vector<float> tops(columns);
    std::vector<float> bottoms(columns);
    for (size_t c = 0; c < columns; ++c) {
        const double px = static_cast<double>(firstColumn) + static_cast<double>(c);
        double a = sampleAtPixel(px);
        double b = sampleAtPixel(px + 1.0);
        if (a > b) std::swap(a, b);
        // Every column reads at least one sample, so the band never drops to the centre line at
        // the ends of the range.
        const auto lo = static_cast<uint64_t>(std::clamp(std::floor(a), static_cast<double>(first),
                                                         static_cast<double>(end - 1)));
        const auto hi = std::max(lo + 1, static_cast<uint64_t>(std::clamp(std::ceil(b), static_cast<double>(first),
                                                                          static_cast<double>(end))));
        const MinMax m = peaks.range(lo, hi);
        const double seconds = sampleAtPixel(px + 0.5) / peaks.sampleRate;
        tops[c] = yOf(m.max, seconds);
        bottoms[c] = yOf(m.min, seconds);
    }

    if (style.mode == WaveformMode::columns) {
        fillColumns(list, static_cast<float>(firstColumn), 1.0f, tops, bottoms, style.colour);
        return;
    }
    const float shift = style.mode == WaveformMode::band ? 0.5f : 0.0f;
    std::vector<ImVec2> upper(columns);
    std::vector<ImVec2> lower(columns);
    for (size_t c = 0; c < columns; ++c) {
        const float x = static_cast<float>(firstColumn + static_cast<int64_t>(c)) + shift;
        upper[c] = ImVec2(x, tops[c]);
        lower[c] = ImVec2(x, bottoms[c]);
    }
    fillBetween(list, upper, lower, scaleAlpha(style.colour, 0.35f));
    drawPolyline(list, upper, style.colour, 1.0f);
    drawPolyline(list, lower, style.colour, 1.0f);
}

}  // namespace tarn::ui
