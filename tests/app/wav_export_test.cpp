// Export WAV as the musician keeps it: a line of any length written whole in small memory, and a line
// a WAV file cannot hold, or one with no notes, refused in words with nothing written.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::AppEnvironment;

const AudioConfig kConfig{48000.0f, 120.0f, 64};

// A line of "VmRSS" or "VmHWM" in /proc/self/status, in megabytes.
double statusMegabytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return -1.0;
}

// `count` little-endian bytes of the file at `at`, as a number.
std::uint64_t numberAt(const std::string& path, std::uint64_t at, int count) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(at));
    std::uint64_t n = 0;
    for (int i = 0; i < count; ++i) n |= static_cast<std::uint64_t>(static_cast<unsigned char>(file.get())) << (8 * i);
    return file ? n : ~std::uint64_t{0};
}

// Twenty minutes at 120 BPM: a note every four bars, the last one ending four beats (the release tail)
// before the twentieth minute, so the render is 2400 beats long, twice the ten minutes that a render
// held in memory stops at. The file is 230 MB; holding the render as floats would take twice that.
TEST(WavExport, ALineOfTwentyMinutesExportsWholeInBoundedMemory) {
    const AppEnvironment env;
    Editor editor(1);
    editor.notes.clear();
    for (int bar = 0; bar < 600; bar += 4) editor.notes.push_back({bar * 4.0, 2.0, 36 + bar % 12, 1.0f});
    editor.notes.push_back({2394.0, 2.0, 43, 1.0f});
    const std::int64_t frames = phraseRenderFrames(editor.notes.data(), editor.notes.size(), kConfig);
    ASSERT_EQ(frames, 2400 * 24000);

    const std::string path = env.file("long.wav");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from what is resident now
    const double before = statusMegabytes("VmRSS");
    editor.runFileCommand({kExportWavCommand, path}, kConfig);
    const double grown = statusMegabytes("VmHWM") - before;
    EXPECT_EQ(editor.status, "Exported long.wav");
    EXPECT_LT(grown, 48.0) << "megabytes more at the most while exporting";

    const auto dataBytes = static_cast<std::uint64_t>(frames) * 4;
    EXPECT_EQ(std::filesystem::file_size(path), 44 + dataBytes);
    EXPECT_EQ(numberAt(path, 4, 4), 36 + dataBytes) << "RIFF size";
    EXPECT_EQ(numberAt(path, 40, 4), dataBytes) << "data size";
    // The last note sounds in the file, a quarter beat in, where a cut file would have ended long before.
    double square = 0.0;
    const std::uint64_t lastNote = 2394 * 24000 + 6000;
    for (std::uint64_t frame = lastNote; frame < lastNote + 2400; ++frame) {
        const auto left = static_cast<std::int16_t>(numberAt(path, 44 + frame * 4, 2));
        square += static_cast<double>(left) * left;
    }
    EXPECT_GT(std::sqrt(square / 2400.0), 1000.0) << "RMS of the last note, in 16-bit steps";
    // The waveform shows the export's first ten minutes, as a render made for it would hold.
    EXPECT_EQ(editor.waveformLeft.sampleCount,
              static_cast<std::uint64_t>(renderLengthFrames(editor.notes.data(), editor.notes.size(), kConfig)));
}

TEST(WavExport, ALineAWavFileCannotHoldOrWithoutNotesIsRefusedInWordsAndWritesNothing) {
    const AppEnvironment env;
    // clang-format off
    const struct { const char* what; std::vector<NoteEvent> notes; const char* status; } cases[] = {
        {"no notes", {},
         "Nothing to export: the line has no notes"},
        // 50,000 beats at 120 BPM: almost seven hours, past the 4 GiB of a WAV file.
        {"a line past the format's limit", {{0.0, 1.0, 36, 1.0f}, {50000.0, 1.0, 40, 1.0f}},
         "Could not export kept.wav: the line is longer than a WAV file can hold (4 GiB)"},
    };
    // clang-format on
    for (const auto& c : cases) {
        Editor editor(1);
        editor.notes = c.notes;
        const std::string kept = env.file("kept.wav");
        testing::writeText(kept, "an earlier export");
        const auto entries = [&] {
            return std::distance(std::filesystem::directory_iterator(env.folder.path()),
                                 std::filesystem::directory_iterator());
        };
        const auto before = entries();
        editor.runFileCommand({kExportWavCommand, kept}, kConfig);
        EXPECT_EQ(editor.status, c.status) << c.what;
        EXPECT_EQ(editor.statusKind, 2u) << c.what;
        EXPECT_EQ(testing::readText(kept), "an earlier export") << c.what;
        EXPECT_EQ(entries(), before) << c.what << ": no file left behind";
        EXPECT_FALSE(editor.hasRender) << c.what;
    }
}

}  // namespace
}  // namespace tarn
