// Writes what a real session is checked against, computed by the engine without the program: the
// offline render of the demo line with the starting sound (raw interleaved float32 stereo at
// 48 kHz) and the MIDI file of the pattern "Generate" gives for the starting settings.
#include "engine/audio_config.h"
#include "engine/demo_line.h"
#include "engine/midi_file.h"
#include "engine/offline_render.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "engine/starting_sound.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DEMO.raw PATTERN.mid\n", argv[0]);
        return 2;
    }
    const tarn::Patch sound = tarn::startingSound();
    const tarn::AudioConfig config{48000.0f, 120.0f, 64};
    const tarn::StereoAudio audio = tarn::renderNotes(sound, sound.curves.data(), tarn::demoLine.data(),
                                                      tarn::demoLine.size(), config);
    std::vector<float> interleaved;
    interleaved.reserve(audio.left.size() * 2);
    for (std::size_t i = 0; i < audio.left.size(); ++i) {
        interleaved.push_back(audio.left[i]);
        interleaved.push_back(audio.right[i]);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out != nullptr &&
                         std::fwrite(interleaved.data(), sizeof(float), interleaved.size(), out) == interleaved.size();
    if (out != nullptr && std::fclose(out) != 0) return 1;
    if (!written) return 1;

    // The editor's first pattern: four bars of the first style, root 36, seed 42.
    tarn::Pattern settings(4, 36, 0);
    tarn::applyStylePreset(settings, 0);
    settings.seed = 42;
    return tarn::writeMidiFile(tarn::generatePattern(settings), argv[2]) ? 0 : 1;
}
