// Export WAV as the musician keeps it: a line of any length written whole in small memory beside the
// frames, the file exactly the line's render; a line a WAV file cannot hold, or one with no notes,
// refused in words with nothing written; a failed or abandoned export leaves the folder as it was.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "engine/wav_file.h"
#include "tests/app/background_wait.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

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
    EditorFrames window;
    window.frame(editor);
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from what is resident now
    const double before = statusMegabytes("VmRSS");
    editor.runFileCommand({kExportWavCommand, path}, kConfig);
    ASSERT_TRUE(testing::framesUntilExported(window, editor));
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

// The file the export must write: the same render written at once, into a file of its own.
std::string renderedAtOnce(const Patch& patch, const std::vector<NoteEvent>& notes, const std::string& path) {
    OfflineRender render(patch, patch.curves.data(), notes.data(), notes.size(), kConfig,
                         phraseRenderFrames(notes.data(), notes.size(), kConfig));
    if (writeWavFile(path, render, kConfig.sampleRate).outcome != WavExport::written) return {};
    return testing::readText(path);
}

TEST(WavExportThreads, TheWindowDrawsWhileALineExportsAndTheFileIsTheLineAsItWasWhenAsked) {
    const AppEnvironment env;
    // clang-format off
    const struct { const char* what; int bars; } cases[] = {
        {"sixteen bars", 16},
        {"a long line",  60},  // two minutes of sound
    };
    // clang-format on
    for (const auto& c : cases) {
        Editor editor(1);
        EditorFrames frames;
        editor.notes = lineOfBars(c.bars);
        frames.frame(editor);
        const Patch asked = editor.patch;
        const std::vector<NoteEvent> line = editor.notes;
        editor.runFileCommand({kExportWavCommand, env.file("line.wav")}, kConfig);
        // Edits while the file is written go on as usual, and do not reach it.
        editor.patch.drive = 0.95f;
        editor.notes.pop_back();
        editor.runFileCommand({kExportWavCommand, env.file("second.wav")}, kConfig);
        const std::string refused = editor.status;
        editor.status = "";

        std::set<std::string> progress;
        int drawn = 0;
        double longestFrame = 0.0;
        const auto started = Clock::now();
        while (editor.wavExport.job.running() && Clock::now() < started + std::chrono::seconds(120)) {
            const auto frameStart = Clock::now();
            frames.frame(editor);
            longestFrame = std::max(longestFrame, std::chrono::duration<double>(Clock::now() - frameStart).count());
            ++drawn;
            if (editor.status.starts_with("Exporting")) progress.insert(editor.status);
        }
        const double exportSeconds = std::chrono::duration<double>(Clock::now() - started).count();
        ASSERT_FALSE(editor.wavExport.job.running()) << c.what;
        EXPECT_EQ(refused, "Could not export second.wav: line.wav is still exporting") << c.what;
        EXPECT_FALSE(std::filesystem::exists(env.file("second.wav"))) << c.what;
        EXPECT_EQ(editor.status, "Exported line.wav") << c.what;
        EXPECT_GE(drawn, 5) << c.what << ": frames in " << exportSeconds << " s of exporting";
        EXPECT_LT(longestFrame, exportSeconds / 4) << c.what << ": " << drawn << " frames";
        EXPECT_TRUE(progress.empty()) << c.what << ": a message written over the progress stays";
        const std::string file = testing::readText(env.file("line.wav"));
        EXPECT_TRUE(file == renderedAtOnce(asked, line, env.file("at-once.wav"))) << c.what << ": the same bytes";
        EXPECT_FALSE(editor.hasRender) << c.what << ": the waveform keeps no render of a line edited since";
    }

    // The progress counts up while nothing else writes over it, and the waveform shows the line's render.
    Editor editor(1);
    EditorFrames frames;
    editor.notes = lineOfBars(60);
    editor.runFileCommand({kExportWavCommand, env.file("counted.wav")}, kConfig);
    std::vector<std::string> shown;
    ASSERT_TRUE(testing::framesWhile(frames, editor, [&] {
        if (shown.empty() || shown.back() != editor.status) shown.push_back(editor.status);
        return editor.wavExport.job.running();
    }));
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), "Exporting counted.wav: 0 %");
    EXPECT_EQ(shown.back(), "Exported counted.wav");
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1, [](const std::string& a, const std::string& b) {
        return std::stoi(a.substr(a.find(": ") + 2)) < std::stoi(b.substr(b.find(": ") + 2));
    }));
    EXPECT_TRUE(editor.hasRender && editor.waveformLeft.sampleCount > 0);
}

// Running as root, a folder's permissions bind nobody: this thread, and the threads it starts, give up
// the capabilities that override them for the scope.
class FolderPermissionsBind {
public:
    FolderPermissionsBind() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header, lowered) == 0;
    }
    ~FolderPermissionsBind() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (active_) ::syscall(SYS_capset, &header, saved_);
    }
    FolderPermissionsBind(const FolderPermissionsBind&) = delete;
    FolderPermissionsBind& operator=(const FolderPermissionsBind&) = delete;

private:
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

// The largest file this process may write, lowered for the scope: a write runs out of room part-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Every file of a folder with its contents.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        contents[entry.path().filename().string()] = testing::readText(entry.path());
    return contents;
}

TEST(WavExportThreads, AFailedOrAbandonedExportLeavesTheFolderAsItWas) {
    // clang-format off
    const struct {
        const char* what;
        const char* target;   // in the case's own folder
        bool earlier;         // a file of that name is there already
        std::function<std::shared_ptr<void>(const std::filesystem::path& folder)> around;  // held while it runs
        const char* status;   // none: the editor is closed while the file is written
    } cases[] = {
        {"a folder that is gone", "gone/take.wav", false, nullptr,
         "Could not write take.wav: the folder is gone"},
        {"a read-only folder", "take.wav", true, [](const std::filesystem::path& folder) {
             std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
             auto bind = std::make_shared<FolderPermissionsBind>();
             const int probe = ::open((folder / "probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
             if (probe >= 0) ADD_FAILURE() << "the folder takes new files: the case would pass for the wrong reason";
             return bind;
         }, "Could not write take.wav: the folder cannot be written to"},
        {"a disk that runs out of room", "take.wav", true, [](const std::filesystem::path&) {
             return std::make_shared<FileSizeLimit>(1 << 20);
         }, "Could not write take.wav: the file is too large for the disk"},
        {"closed mid-export", "take.wav", false, nullptr, nullptr},
        {"closed mid-export over an earlier take", "take.wav", true, nullptr, nullptr},
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
            if (c.status == nullptr) {
                ASSERT_TRUE(testing::framesWhile(frames, *editor, [&] {
                    return editor->wavExport.written->load() == 0;
                })) << c.what;
                const auto closing = Clock::now();
                editor.reset();
                EXPECT_LT(Clock::now() - closing, std::chrono::seconds(1)) << c.what << ": the window closes at once";
            } else {
                ASSERT_TRUE(testing::framesUntilExported(frames, *editor)) << c.what;
                EXPECT_EQ(editor->status, c.status) << c.what;
                EXPECT_EQ(editor->statusKind, 2u) << c.what;
            }
        }
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        EXPECT_EQ(folderContents(folder), before) << c.what << ": no temporary, the earlier file whole";
    }
}

}  // namespace
}  // namespace tarn
