// Building the editor: its starting sound, first pattern, demo line, tempo, preset list and live audio.
#include "app/editor.h"

#include "engine/demo_line.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "engine/starting_sound.h"
#include "storage/preset_folders.h"

#include <cstdio>

namespace tarn {
namespace {

constexpr std::int32_t kFirstRootNote = 36;
constexpr std::uint32_t kFirstSeed = 42;

// Four bars of the first style in its minor key, always the same notes.
Pattern firstPattern() {
    Pattern settings(4, kFirstRootNote, 0);
    applyStylePreset(settings, 0);
    settings.seed = kFirstSeed;
    return generatePattern(settings);
}

ui::FloatParamSpec tempoSpec() {
    ui::FloatParamSpec spec;
    spec.label = "BPM";
    spec.min = 60.0f;
    spec.max = 200.0f;
    spec.defaultValue = 120.0f;
    spec.decimals = 0;
    return spec;
}

}  // namespace

Editor::Editor(int headlessIn)
    : headless(headlessIn == 1),
      patch(startingSound()),
      pattern(firstPattern()),
      notes(demoLine.begin(), demoLine.end()),
      tempoParam(&tempo, tempoSpec(), {}),
      presets(PresetStore::defaultUserFolder(), legacyPresetFolder()) {
    presetIndex = presets.find("Demo").value_or(0);
    baselinePatch = patch;
    AudioConfig config{48000.0f, tempo, 64};
    // The player starts on the demo line's loop; the waveform's cursor wraps with it from the first
    // frame, not only once an edit has rebuilt the line.
    loopBeats = loopLengthBeats(pattern, config);
    for (const PresetProblem& problem : presets.problems)
        std::fprintf(stderr, "preset skipped: %s: %s\n", problem.file.c_str(), problem.message.c_str());
    if (headless) return;

    if (audio.open(player, config)) player.publishPatch(patch);
}

// The audio output is the last member, so it closes the device before the player goes.
Editor::~Editor() = default;

const PresetEntry* Editor::currentPreset() const {
    return presetIndex < presets.entries.size() ? &presets.entries[presetIndex] : nullptr;
}

}  // namespace tarn
