// The fixed demonstration state of a screenshot: tab, pattern, sound, curves and a current render.
#include "app/editor.h"

#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "ui/list_browser.h"

#include <array>
#include <cmath>
#include <numbers>

namespace tarn {
namespace {

// In tab order; the command line names them in lower case.
constexpr std::array<const char*, 4> kTabNames = {"Arc", "Motion", "Spectrum", "Pattern"};

constexpr int kShapeArcCurve = kFirstArcCurve + 0;
constexpr int kDriveArcCurve = kFirstArcCurve + 2;

Pattern screenshotPattern(const std::string& word) {
    if (word == "blank") {
        Pattern blank(4, 36, 0);
        applyStylePreset(blank, 0);
        for (std::uint16_t& kick : blank.kicks) kick = 0x1111;  // four on the floor
        return blank;
    }
    Pattern settings(8, 36, 0);
    applyStylePreset(settings, 4);
    settings.seed = 42;
    Pattern generated = generatePattern(settings);
    generated.swing = 0.2f;
    return generated;
}

}  // namespace

void Editor::setupScreenshot(const ScreenshotArgs& args) {
    for (std::size_t i = 0; i < kTabNames.size(); ++i) {
        if (ui::asciiLower(kTabNames[i]) == args.tab) selectedTab = static_cast<std::uint32_t>(i);
    }
    position = 45.5;
    patternDrives = true;
    pattern = screenshotPattern(args.pattern);
    dirty = true;

    patch.tone = 0.75f;
    patch.motion = 0.8f;
    patch.arcDrift = 0.35f;
    float* shape = patch.curves.curve(kShapeArcCurve);
    for (int i = 0; i < kCurvePoints; ++i) {
        shape[i] = i < 16 ? -0.85f : static_cast<float>(-std::cos(2.0 * std::numbers::pi * i / kCurvePoints));
    }
    float* drive = patch.curves.curve(kDriveArcCurve);
    for (int i = 0; i < kCurvePoints; ++i) drive[i] = 2.0f * static_cast<float>(i) / (kCurvePoints - 1) - 1.0f;

    notes = patternToNotes(pattern);
    renderPhrase(AudioConfig{48000.0f, tempo, 64});
}

}  // namespace tarn
