// Clamping, curve mapping, display formatting and typed-text parsing of float parameters.
#include "ui/param.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tarn::ui {
namespace {

float lowEnd(const FloatParamSpec& settings) { return std::min(settings.min, settings.max); }
float highEnd(const FloatParamSpec& settings) { return std::max(settings.min, settings.max); }

// Clamp that never lets NaN through: a NaN value sits at the lower end (or 0 when the range
// itself is broken), so a bad value can never reach the bound float or an int conversion.
float clampToRange(const FloatParamSpec& settings, float v) {
    const float lo = lowEnd(settings);
    const float hi = highEnd(settings);
    if (std::isnan(v)) v = lo;
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return std::isnan(v) ? 0.0f : v;
}

bool rounds(const FloatParamSpec& settings) { return settings.integer || !settings.choices.empty(); }

// A logarithmic curve needs both ends positive and a power curve a positive exponent; anything
// else would give NaN, so those specs map linearly instead.
uint32_t effectiveCurve(const FloatParamSpec& settings) {
    if (settings.curve == ParamCurve::logarithmic && !(settings.min > 0.0f && settings.max > 0.0f))
        return ParamCurve::linear;
    if (settings.curve == ParamCurve::power && !(settings.exponent > 0.0f)) return ParamCurve::linear;
    return settings.curve;
}

int automaticDecimals(float x) {
    const float a = std::fabs(x);
    if (a >= 100.0f) return 0;
    if (a >= 10.0f) return 1;
    return 2;
}

int decimalsOr(const FloatParamSpec& settings, int fallback) {
    if (settings.integer) return 0;
    return settings.decimals >= 0 ? settings.decimals : fallback;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

struct Suffix {
    std::string_view text;
    double factor;
};

// Order matters: "khz" before "hz" and "k", "ms" before "s".
constexpr Suffix kSuffixes[] = {
    {"khz", 1000.0}, {"hz", 1.0}, {"ms", 0.001}, {"s", 1.0}, {"db", 1.0},
    {"ct", 1.0},     {"st", 1.0}, {"%", 0.01},   {"k", 1000.0},
};

}  // namespace

FloatParam::FloatParam(float* value, FloatParamSpec&& settings, FloatParamHooks&& hooks)
    : value_(value),
      spec_(std::move(settings)),
      onBeginEdit_(std::move(hooks.onBeginEdit)),
      onEndEdit_(std::move(hooks.onEndEdit)) {}

void FloatParam::setValue(float value) { *value_ = clamp(spec_, value); }

void FloatParam::beginEdit() {
    if (onBeginEdit_) onBeginEdit_();
}

void FloatParam::endEdit() {
    if (onEndEdit_) onEndEdit_();
}

std::string FloatParam::format(float value) const { return formatValue(spec_, value); }

std::optional<float> FloatParam::parse(std::string_view text) const {
    return parseText(spec_, text);
}

float FloatParam::clamp(const FloatParamSpec& settings, float value) {
    float x = clampToRange(settings, value);
    if (rounds(settings)) x = std::round(x);
    return x;
}

float FloatParam::fromNormalized(const FloatParamSpec& settings, float t) {
    t = std::isnan(t) ? 0.0f : std::clamp(t, 0.0f, 1.0f);
    switch (effectiveCurve(settings)) {
    case ParamCurve::linear:
        return clamp(settings, settings.min + (settings.max - settings.min) * t);
    case ParamCurve::logarithmic:
        return clamp(settings, settings.min * std::pow(settings.max / settings.min, t));
    case ParamCurve::power:
        return clamp(settings, settings.min + std::pow(t, settings.exponent) * (settings.max - settings.min));
    default:
        return settings.min;
    }
}

float FloatParam::toNormalized(const FloatParamSpec& settings, float value) {
    if (settings.min == settings.max) return 0.0f;
    const float v = clampToRange(settings, value);
    float t = 0.0f;
    switch (effectiveCurve(settings)) {
    case ParamCurve::linear:
        t = (v - settings.min) / (settings.max - settings.min);
        break;
    case ParamCurve::logarithmic:
        t = std::log(v / settings.min) / std::log(settings.max / settings.min);
        break;
    case ParamCurve::power:
        t = std::pow((v - settings.min) / (settings.max - settings.min), 1.0f / settings.exponent);
        break;
    default:
        return 0.0f;
    }
    return std::isnan(t) ? 0.0f : t;
}

std::string formatFixed(float value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    std::string text(buffer);
    if (!text.empty() && text[0] == '-' &&
        text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string FloatParam::formatValue(const FloatParamSpec& settings, float value) {
    const float lo = lowEnd(settings);
    float x = clampToRange(settings, value);
    if (rounds(settings)) x = std::round(x);
    if (!settings.choices.empty()) {
        // Converted only after clamping in float: a huge value must not overflow the int.
        const float last = static_cast<float>(settings.choices.size() - 1);
        const float index = std::clamp(x, 0.0f, last);
        return settings.choices[static_cast<size_t>(index)];
    }
    if (!settings.floorText.empty() && x <= lo) return settings.floorText;

    switch (settings.unit) {
    case ParamUnit::hertz:
        if (std::fabs(x) >= 1000.0f)
            return formatFixed(x / 1000.0f, std::fabs(x) >= 10000.0f ? 1 : 2) + " kHz";
        return formatFixed(x, decimalsOr(settings, automaticDecimals(x))) + " Hz";
    case ParamUnit::seconds:
        if (std::fabs(x) < 1.0f) {
            const float ms = x * 1000.0f;
            return formatFixed(ms, automaticDecimals(ms)) + " ms";
        }
        return formatFixed(x, 2) + " s";
    case ParamUnit::percent:
        return formatFixed(x * 100.0f, settings.decimals >= 0 ? settings.decimals : 0) + "%";
    case ParamUnit::decibels:
        return formatFixed(x, decimalsOr(settings, 1)) + " dB";
    case ParamUnit::cents:
        return formatFixed(x, decimalsOr(settings, 1)) + " ct";
    case ParamUnit::semitones:
        return formatFixed(x, decimalsOr(settings, 0)) + " st";
    case ParamUnit::custom: {
        std::string text = formatFixed(x, decimalsOr(settings, automaticDecimals(x)));
        if (!settings.customUnit.empty()) text += " " + settings.customUnit;
        return text;
    }
    default:
        return formatFixed(x, decimalsOr(settings, automaticDecimals(x)));
    }
}

std::optional<float> FloatParam::parseText(const FloatParamSpec& settings, std::string_view text) {
    text = trim(text);
    if (text.empty()) return std::nullopt;

    for (size_t i = 0; i < settings.choices.size(); ++i)
        if (equalsIgnoringCase(text, settings.choices[i])) return static_cast<float>(i);
    if (!settings.floorText.empty() && equalsIgnoringCase(text, settings.floorText)) return lowEnd(settings);

    double factor = 1.0;
    bool cut = false;
    if (settings.unit == ParamUnit::custom && !settings.customUnit.empty() &&
        endsWithIgnoringCase(text, settings.customUnit)) {
        text = trim(text.substr(0, text.size() - settings.customUnit.size()));
        cut = true;
    }
    if (!cut) {
        for (const Suffix& suffix : kSuffixes) {
            if (endsWithIgnoringCase(text, suffix.text)) {
                text = trim(text.substr(0, text.size() - suffix.text.size()));
                factor = suffix.factor;
                break;
            }
        }
    }
    // A bare number typed into a percent field means percent: 50, "50 db" and "50%" are all 0.5.
    if (settings.unit == ParamUnit::percent && factor == 1.0) factor = 0.01;

    // Only one sign: "+-5" is a typing slip, not -5.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    float number = 0.0f;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number, std::chars_format::general);
    // "nan", "inf" and "infinity" read as numbers here, and a number beyond float's range reads
    // as out of range: all are refused like any other text that is not a number.
    if (ec != std::errc() || ptr != end || !std::isfinite(number)) return std::nullopt;
    return clamp(settings, static_cast<float>(static_cast<double>(number) * factor));
}

}  // namespace tarn::ui
