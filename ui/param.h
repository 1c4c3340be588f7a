// Editable parameters: the Param interface the widgets edit, and FloatParam over a float its owner keeps.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui {

// Unit kinds of FloatParamSpec::unit.
struct ParamUnit {
    static constexpr uint32_t plain = 0;
    static constexpr uint32_t hertz = 1;
    static constexpr uint32_t seconds = 2;
    static constexpr uint32_t percent = 3;
    static constexpr uint32_t decibels = 4;
    static constexpr uint32_t cents = 5;
    static constexpr uint32_t semitones = 6;
    static constexpr uint32_t custom = 7;
};

// Response curves of FloatParamSpec::curve: how the normalised 0..1 range spreads over the values.
struct ParamCurve {
    static constexpr uint32_t linear = 0;
    static constexpr uint32_t logarithmic = 1;
    static constexpr uint32_t power = 2;
};

struct FloatParamSpec {
    std::string label;
    // min may exceed max: clamping uses the smaller and the larger of the two.
    float min = 0.0f;
    float max = 1.0f;
    float defaultValue = 0.0f;
    uint32_t unit = ParamUnit::plain;
    std::string customUnit;
    uint32_t curve = ParamCurve::linear;
    float exponent = 1.0f;
    bool integer = false;
    int32_t decimals = -1;  // negative: chosen from the value's magnitude
    std::string floorText;  // shown for any value at or below the lower end, e.g. "Off"
    std::vector<std::string> choices;  // when not empty, the value indexes these labels
    std::string description;  // tooltip
};

struct FloatParamHooks {
    std::function<void()> onBeginEdit;
    std::function<void()> onEndEdit;
};

class Param {
public:
    virtual ~Param() = default;
    virtual const FloatParamSpec& spec() const = 0;
    virtual float value() const = 0;
    virtual void setValue(float value) = 0;
    // A gesture (drag, typed entry) starts and ends; owners use these to group undo or publish.
    virtual void beginEdit() = 0;
    virtual void endEdit() = 0;
    virtual std::string format(float value) const = 0;
    virtual std::optional<float> parse(std::string_view text) const = 0;
};

class FloatParam : public Param {
public:
    // The bound float belongs to the caller and must outlive the parameter.
    FloatParam(float* value, FloatParamSpec&& settings, FloatParamHooks&& hooks);

    const FloatParamSpec& spec() const override { return spec_; }
    float value() const override { return *value_; }
    void setValue(float value) override;
    void beginEdit() override;
    void endEdit() override;
    std::string format(float value) const override;
    std::optional<float> parse(std::string_view text) const override;

    static float clamp(const FloatParamSpec& settings, float value);
    static float fromNormalized(const FloatParamSpec& settings, float t);
    static float toNormalized(const FloatParamSpec& settings, float value);
    static std::string formatValue(const FloatParamSpec& settings, float value);
    static std::optional<float> parseText(const FloatParamSpec& settings, std::string_view text);

private:
    float* value_;
    FloatParamSpec spec_;
    std::function<void()> onBeginEdit_;
    std::function<void()> onEndEdit_;
};

// printf "%.*f", without the minus of a value that rounds to zero ("-0.00" becomes "0.00").
std::string formatFixed(float value, int decimals);

}  // namespace tarn::ui
