// Stored reference renders: lines played through chosen sounds, summarised window by window and
// compared with tests/data/sound, so a changed sound fails here until its references are
// regenerated with TARN_UPDATE_GOLDEN=1 and the diff is reviewed.
#include "engine/demo_line.h"
#include "engine/offline_render.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "engine/starting_sound.h"
#include "storage/factory_presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarn {
namespace {

constexpr int kWindowFrames = 1920;  // 40 ms at 48 kHz

// What a window of the render is compared by: its level, its width and its brightness, each
// taken over every sample, so a change anywhere in the window moves at least one of them.
struct Window {
    double mid = 0.0;    // RMS of (left + right) / 2
    double side = 0.0;   // RMS of (left - right) / 2
    double slope = 0.0;  // RMS of the mid's step from one sample to the next
};

// The tolerance, per value: |rendered - stored| <= kAbsolute + kRelative x |stored|. Builds
// differ in rounding only, and the voice's feedback paths damp such an error instead of growing
// it: Release and ASan+UBSan give the same values, and a build with fused multiply-add
// (-march=x86-64-v3, where the compiler contracts a x b + c across the voice) moves none by
// more than 1e-8, at most a hundredth of the tolerance (the side of a nearly mono sound, a small
// difference of two large paths, moves most). A sound that changes by a thousandth in any 40 ms
// window (0.009 dB, far below what anyone hears, far above rounding) fails; the windows of a
// fading tail, below 1e-3, are judged by the absolute part.
constexpr double kRelative = 1e-3;
constexpr double kAbsolute = 1e-6;

struct SoundCase {
    const char* name;
    Patch patch;
    std::vector<NoteEvent> notes;
    float tempo;
};

Patch factorySound(const std::string& name) {
    for (const FactoryPreset& preset : factoryPresets())
        if (preset.name == name) return preset.patch;
    ADD_FAILURE() << "no factory sound named " << name;
    return Patch{};
}

// A riff that walks the voice's note paths: a stab repeated softer, an overlap that glides
// up, a high note (a little more plucked), a low note that rings out.
const std::vector<NoteEvent> kRiff = {
    {0.0, 0.5, 33, 1.0f},   {1.0, 0.25, 33, 0.45f}, {1.5, 1.0, 40, 0.8f},
    {2.25, 1.25, 45, 0.9f}, {4.0, 0.5, 57, 0.7f},   {5.0, 1.5, 28, 1.0f},
};

std::vector<SoundCase> soundCases() {
    Patch plucked = factorySound("Dark Legato");
    plucked.pluck = 0.7f;  // no factory sound uses the pluck transient
    Pattern acid(2, 36, 0);
    applyStylePreset(acid, 4);  // "Acid: Squelch", with slides
    acid.seed = 42;
    return {
        // What the program plays when it starts: motion, a drifting arc, spread, punch, glide.
        {"demo_line_starting_sound", startingSound(), {demoLine.begin(), demoLine.end()}, 120.0f},
        // Drive past the knee into oscillator feedback; motion on tone and drive.
        {"talking_growl_riff", factorySound("Talking Growl"), kRiff, 140.0f},
        // The phrase arc on tone and drive with full spread and an open low-pass.
        {"rising_tension_riff", factorySound("Rising Tension"), kRiff, 140.0f},
        // Long glides under the pluck transient, a dark low-pass and spread.
        {"dark_legato_plucked_riff", plucked, kRiff, 140.0f},
        // A generated line with its swing and slides, on the acid sound's tone sweep.
        {"squelch_generated_acid", factorySound("Squelch"), patternToNotes(generatePattern(acid)), 128.0f},
    };
}

std::vector<Window> summarise(const StereoAudio& audio) {
    std::vector<Window> windows;
    double previousMid = 0.0;
    for (std::size_t start = 0; start < audio.left.size(); start += kWindowFrames) {
        const std::size_t end = std::min(audio.left.size(), start + kWindowFrames);
        Window w;
        for (std::size_t i = start; i < end; ++i) {
            const double mid = (static_cast<double>(audio.left[i]) + audio.right[i]) * 0.5;
            const double side = (static_cast<double>(audio.left[i]) - audio.right[i]) * 0.5;
            w.mid += mid * mid;
            w.side += side * side;
            w.slope += (mid - previousMid) * (mid - previousMid);
            previousMid = mid;
        }
        const double n = static_cast<double>(end - start);
        windows.push_back({std::sqrt(w.mid / n), std::sqrt(w.side / n), std::sqrt(w.slope / n)});
    }
    return windows;
}

std::string fixtureText(const SoundCase& c, const std::vector<Window>& windows) {
    std::ostringstream out;
    out << "# " << c.name << ": offline render at 48000 Hz, " << c.tempo << " BPM, blocks of 64\n"
        << "# per window of " << kWindowFrames << " frames: mid RMS, side RMS, RMS of the mid's step\n";
    char line[96];
    for (const Window& w : windows) {
        std::snprintf(line, sizeof line, "%.7g %.7g %.7g\n", w.mid, w.side, w.slope);
        out << line;
    }
    return out.str();
}

std::vector<Window> parseFixture(const std::string& path) {
    std::ifstream in(path);
    std::vector<Window> windows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Window w;
        fields >> w.mid >> w.side >> w.slope;
        windows.push_back(w);
    }
    return windows;
}

TEST(ReferenceRenders, EachLineSoundsAsItsStoredReference) {
    const bool update = std::getenv("TARN_UPDATE_GOLDEN") != nullptr;
    double worst = 0.0;  // the largest deviation as a share of the tolerance
    for (const SoundCase& c : soundCases()) {
        SCOPED_TRACE(c.name);
        const StereoAudio audio =
            renderNotes(c.patch, c.patch.curves.data(), c.notes.data(), c.notes.size(), {48000.0f, c.tempo, 64});
        const std::vector<Window> rendered = summarise(audio);
        const std::string path = std::string(TARN_SOURCE_DIR) + "/tests/data/sound/" + c.name + ".txt";
        if (update) {
            std::ofstream(path, std::ios::binary) << fixtureText(c, rendered);
            continue;
        }
        const std::vector<Window> stored = parseFixture(path);
        ASSERT_EQ(rendered.size(), stored.size()) << "length differs from " << path;
        int reported = 0;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const double got[] = {rendered[i].mid, rendered[i].side, rendered[i].slope};
            const double want[] = {stored[i].mid, stored[i].side, stored[i].slope};
            for (int k = 0; k < 3; ++k) {
                const double share = std::fabs(got[k] - want[k]) / (kAbsolute + kRelative * std::fabs(want[k]));
                worst = std::max(worst, share);
                const char* const columns[] = {"mid", "side", "step"};
                if (share > 1.0 && reported++ < 5)
                    ADD_FAILURE() << columns[k] << " at " << i * kWindowFrames / 48 << " ms: " << got[k] << " against "
                                  << want[k];
            }
        }
    }
    RecordProperty("worst_share_of_tolerance", std::to_string(worst));
    std::printf("largest deviation: %.3g of the tolerance\n", worst);
}

}  // namespace
}  // namespace tarn
