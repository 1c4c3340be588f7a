// Export WAV as the musician keeps it: a line of any length written whole in small memory beside the
// frames, the file exactly the line's render; a line a WAV file cannot hold, or one with no notes,
// refused in words with nothing written; a failed or abandoned export leaves the folder as it was.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "engine/wav_file.h"
#include "tests/app/background_wait.h"
#include "tests/app/editor_frames.h"
#include "tests/engine/file_limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;
using Clock = std::chrono::steady_clock;

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
    // Polled without frames: what frames allocate meanwhile is not the export's (and a sanitizer keeps
    // freed memory a while).
    ASSERT_TRUE(testing::holdsWithin(
        [&] {
            editor.adoptFinishedExport();
            return !editor.wavExport.job.running();
        },
        600.0));
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

// A note a bar for `bars` bars.
std::vector<NoteEvent> lineOfBars(int bars) {
    std::vector<NoteEvent> line;
    for (int bar = 0; bar < bars; ++bar) line.push_back({bar * 4.0, 1.5, 36 + bar % 7, 0.9f});
    return line;
}

// Every file of a folder with its contents.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        contents[entry.path().filename().string()] = testing::readText(entry.path());
    return contents;
}

// The window draws on while the file is written, and the file is the render of the line as it was when
// asked for, written at once; edits go on meanwhile, a second export waits its turn, and a message
// written over the progress stays.
TEST(WavExportThreads, TheWindowDrawsWhileALineExportsAndTheFileIsTheLineAsItWasWhenAsked) {
    const AppEnvironment env;
    const struct {
        int bars;
        bool askAgain;
    } cases[] = {{16, true}, {60, false}};  // 60: two minutes of sound
    for (const auto& c : cases) {
        Editor editor(1);
        EditorFrames frames;
        editor.notes = lineOfBars(c.bars);
        const Patch asked = editor.patch;
        const std::vector<NoteEvent> line = editor.notes;
        editor.runFileCommand({kExportWavCommand, env.file("line.wav")}, kConfig);
        editor.patch.drive = 0.95f;
        editor.notes.pop_back();
        if (c.askAgain) editor.runFileCommand({kExportWavCommand, env.file("again.wav")}, kConfig);
        std::vector<std::string> shown{editor.status};
        int drawn = 0;
        ASSERT_TRUE(testing::framesWhile(frames, editor, [&] {
            if (shown.back() != editor.status) shown.push_back(editor.status);
            return editor.wavExport.job.running() && ++drawn > 0;
        }));
        EXPECT_EQ(shown.back(), "Exported line.wav") << c.bars;
        if (c.askAgain) {
            EXPECT_EQ(shown.front(), "Could not export again.wav: line.wav is still exporting");
            EXPECT_EQ(shown.size(), 2u) << "the refusal stays until the export ends";
            EXPECT_FALSE(std::filesystem::exists(env.file("again.wav")));
        } else {
            ASSERT_GE(shown.size(), 4u) << "the percent counts up";
            EXPECT_EQ(shown.front(), "Exporting line.wav: 0 %");
            // In order of their percent: a shorter number is a smaller one.
            EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1, [](const std::string& a, const std::string& b) {
                return a.size() < b.size() || (a.size() == b.size() && a < b);
            }));
        }
        EXPECT_GE(drawn, 5) << c.bars << ": frames drawn while the file was written";
        OfflineRender atOnce(asked, asked.curves.data(), line.data(), line.size(), kConfig,
                             phraseRenderFrames(line.data(), line.size(), kConfig));
        ASSERT_EQ(writeWavFile(env.file("at-once.wav"), atOnce, kConfig.sampleRate).outcome, WavExport::written);
        EXPECT_TRUE(testing::readText(env.file("line.wav")) == testing::readText(env.file("at-once.wav"))) << c.bars;
    }
}

TEST(WavExportThreads, AFailedOrAbandonedExportLeavesTheFolderAsItWas) {
    using Guard = std::function<std::shared_ptr<void>(const std::filesystem::path& folder)>;
    const Guard readOnly = [](const std::filesystem::path& folder) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        auto bind = std::make_shared<testing::FolderPermissionsBind>();
        if (::open((folder / "probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644) >= 0)
            ADD_FAILURE() << "the folder takes new files: the case would pass for the wrong reason";
        return bind;
    };
    const Guard full = [](const std::filesystem::path&) { return std::make_shared<testing::FileSizeLimit>(1 << 20); };
    // clang-format off
    const struct { const char* target; bool earlier; Guard around; const char* status; } cases[] = {
        {"gone/take.wav", false, nullptr,  "Could not write take.wav: the folder is gone"},
        {"take.wav",      true,  readOnly, "Could not write take.wav: the folder cannot be written to"},
        {"take.wav",      true,  full,     "Could not write take.wav: the file is too large for the disk"},
        {"take.wav",      false, nullptr,  nullptr},  // none: the window is closed mid-export
        {"take.wav",      true,  nullptr,  nullptr},
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        const std::filesystem::path folder = env.folder.path() / "takes";
        std::filesystem::create_directory(folder);
        if (c.earlier) testing::writeText(folder / c.target, "an earlier take");
        const std::map<std::string, std::string> before = folderContents(folder);
        auto editor = std::make_unique<Editor>(1);
        EditorFrames frames;
        editor->notes = lineOfBars(60);
        {
            const std::shared_ptr<void> held = c.around ? c.around(folder) : nullptr;
            editor->runFileCommand({kExportWavCommand, (folder / c.target).string()}, kConfig);
            if (c.status != nullptr) {
                ASSERT_TRUE(testing::framesUntilExported(frames, *editor));
                EXPECT_EQ(editor->status, c.status);
                EXPECT_EQ(editor->statusKind, 2u) << c.status;
            } else {
                ASSERT_TRUE(testing::framesWhile(frames, *editor, [&] { return *editor->wavExport.written == 0; }));
                const auto closing = Clock::now();
                editor.reset();
                EXPECT_LT(Clock::now() - closing, std::chrono::seconds(1)) << "the window closes at once";
            }
        }
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        EXPECT_EQ(folderContents(folder), before) << c.target << ": no temporary, an earlier file whole";
    }
}

}  // namespace
}  // namespace tarn
