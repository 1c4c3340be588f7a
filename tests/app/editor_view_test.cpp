// What the editor shows and does on screen: the render strip and waveform, the header, and --shot.
#include "app/editor.h"
#include "storage/session.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"
#include "tests/app/background_wait.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

TEST(EditorView, RendersOnPressSaysWhenTheSoundOrLineChangedSinceAndScrubsOnTheWaveform) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    EXPECT_TRUE(frames.findText("Render to hear the phrase"));
    ASSERT_TRUE(frames.clickText(editor, "Render"));
    ASSERT_TRUE(testing::framesUntilRendered(frames, editor));
    EXPECT_TRUE(frames.findText("Re-render") && !frames.findText("Render to hear the phrase"));
    EXPECT_EQ(editor.waveformLeft.sampleCount,
              static_cast<std::uint64_t>(renderLengthFrames(editor.notes.data(), editor.notes.size(),
                                                            AudioConfig{48000.0f, editor.tempo, 64})));
    const float tone = editor.patch.tone;
    const std::pair<std::function<void()>, bool> edits[] = {{[&] { editor.patch.tone = 0.9f; }, true},
                                                            {[&] { editor.patch.tone = tone; }, false},
                                                            {[&] { editor.patch.curves.curve(4)[9] = 9; }, true},
                                                            {[&] { editor.patch.curves.curve(4)[9] = 0; }, false},
                                                            {[&] { editor.notes[3].velocity = 0.2f; }, true}};
    for (const auto& [edit, stale] : edits) {
        edit();
        frames.frame(editor);
        EXPECT_EQ(frames.findText("edited since this was rendered").has_value(), stale);
    }
    // Held on the waveform, the position follows the mouse in beats of the whole render, past the loop.
    const ui::Rect r = editor.waveformRect;
    const double beats = static_cast<double>(editor.waveformLeft.sampleCount) / 24000.0;
    frames.frame(editor, ui::testing::pointer(r.x + r.w * 0.99f, r.y + 9.0f));
    frames.frame(editor, ui::testing::pointer(r.x + r.w * 0.99f, r.y + 9.0f, true));
    EXPECT_NEAR(editor.position, beats * 0.99, beats / r.w);
    EXPECT_GT(editor.position, editor.loopBeats);
}

// The rendered phrase is numbered by bar along its waveform: each number stands at its own bar's
// line, every bar while they are at least 48 px apart, else every second bar.
TEST(EditorView, TheRenderedWaveformIsNumberedByBar) {
    const struct { float width; int every; } cases[] = {{900, 1}, {600, 1}, {480, 2}};
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        EditorFrames frames(ImVec2(c.width, 950));
        frames.frame(editor);
        ASSERT_TRUE(frames.clickText(editor, "Render"));
        ASSERT_TRUE(testing::framesUntilRendered(frames, editor));
        const ui::Rect r = editor.waveformRect;
        const double beats = static_cast<double>(editor.waveformLeft.sampleCount) / 24000.0;
        std::vector<std::string> shown, expected;
        for (int bar = 1; 4.0 * (bar - 1) <= beats; bar += c.every) expected.push_back(std::to_string(bar));
        for (const ui::testing::DrawnText& t : ui::testing::drawnTexts(frames.ui)) {
            if (t.box.x < r.x || t.box.x + t.box.w > r.x + r.w || t.box.y < r.y || t.box.y + t.box.h > r.y + r.h)
                continue;
            std::string text;
            for (const char32_t ch : t.text) text += ch < 128 ? static_cast<char>(ch) : '?';
            shown.push_back(text);
            if (text.find_first_not_of("0123456789") != std::string::npos) continue;
            const float line = r.x + r.w * static_cast<float>(4.0 * (std::stoi(text) - 1) / beats);
            // On its line, or pushed in from the plot's edge by its padding (the ink starts past the pen).
            EXPECT_LE(std::fabs(t.box.x + t.box.w / 2 - line), t.box.w / 2 + 6) << c.width << ": bar " << text;
        }
        EXPECT_EQ(shown, expected) << c.width << " px, " << r.w << " px of " << beats << " beats";
    }
}

TEST(EditorView, TheLineChoiceAndSaveSessionFromTheMenuThroughTheDialogQueue) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    for (const char* text : {"Demo", "Arc", "Spectrum", "TARNLODE", "BPM"}) EXPECT_TRUE(frames.findText(text));
    editor.presetIndex = editor.presets.entries.size();  // as a rescan may leave it: no name to show
    frames.frame(editor);
    EXPECT_TRUE(frames.findText("Untitled"));
    ASSERT_TRUE(frames.clickText(editor, "Pattern", 1));  // the first "Pattern" is the tab
    EXPECT_TRUE(editor.patternDrives && editor.loopBeats == 16.0 && editor.selectedTab == 0);
    ASSERT_TRUE(frames.clickText(editor, "Demo line"));
    EXPECT_TRUE(!editor.patternDrives && editor.loopBeats == 32.0);

    ASSERT_TRUE(frames.clickText(editor, "TARNLODE"));
    ASSERT_TRUE(frames.clickText(editor, "Save session..."));
    {
        const ui::ContextScope scope(frames.ui);
        const std::optional<ui::FileDialogRequest> request = ui::takePendingFileDialog();
        ASSERT_TRUE(request && request->options.kind == ui::FileDialogKind::Save);
        EXPECT_EQ(request->options.filters.at(0).extensions, std::vector<std::string>{"json"});
        ui::deliverFileDialogResult(request->requester, ui::FileDialogResult{0, {env.file("menu.json")}});
    }
    frames.frame(editor);
    IssueList issues;
    EXPECT_TRUE(editor.status == "Saved menu.json" && readSession(testing::readText(env.file("menu.json")), issues));
}

// Runs the program; its exit code and what it printed.
std::pair<int, std::string> run(const std::string& arguments) {
    FILE* pipe = ::popen((std::string(TARN_BINARY_DIR) + "/app/tarnlode " + arguments + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[256];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// The shot's file and its pixels. Written into a folder of this process's own and read back from
// there; a copy stays in the build folder to be looked at.
std::pair<std::string, std::vector<stbi_uc>> shot(const std::string& arguments, const std::string& name) {
    const testing::ScratchFolder scratch;
    const std::filesystem::path path = scratch.path() / name;
    EXPECT_EQ(run("--shot " + path.string() + " " + arguments).first, 0);
    const std::string file = testing::readText(path);
    const std::filesystem::path kept = std::filesystem::path(TARN_BINARY_DIR) / "shots";
    std::error_code ignored;
    std::filesystem::create_directories(kept, ignored);
    std::filesystem::copy_file(path, kept / name, std::filesystem::copy_options::overwrite_existing, ignored);
    int w = 0, h = 0, n = 0;
    stbi_uc* p = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(file.data()), static_cast<int>(file.size()), &w,
                                       &h, &n, 4);
    std::vector<stbi_uc> rgba(p, p + (p != nullptr && w == 900 && h == 950 ? 900 * 950 * 4 : 0));
    stbi_image_free(p);
    return {file, rgba};
}

TEST(EditorView, ShotsAreOpaqueRepeatableAndDifferOnlyInTheCanvasAndAnUnwritableOneFails) {
    const AppEnvironment env;
    Editor editor(1);
    editor.setupScreenshot({});
    EditorFrames frames;
    frames.frame(editor);
    const auto headerEnd = static_cast<std::ptrdiff_t>(editor.canvasRect.y - 10.0f) * 900 * 4;
    const auto canvasEnd = static_cast<std::ptrdiff_t>(editor.canvasRect.y + editor.canvasRect.h + 1.0f) * 900 * 4;

    const auto [file, arc] = shot("", "arc.png");
    ASSERT_EQ(arc.size(), 900u * 950u * 4u);
    for (std::size_t i = 3; i < arc.size(); i += 4) ASSERT_EQ(arc[i], 255);
    // Again, with a tab and a pattern word that match nothing: the same picture.
    EXPECT_EQ(shot("--tab Pattern --pattern Blank", "arc-again.png").first, file);
    // The header's text is drawn: bright glyph strokes on the dark bar where the name stands.
    const ui::Rect name = frames.findText("TARNLODE").value_or(ui::Rect{});
    std::vector<stbi_uc> greens;
    for (auto y = static_cast<std::size_t>(name.y); y < static_cast<std::size_t>(name.y + name.h); ++y)
        for (auto x = static_cast<std::size_t>(name.x); x < static_cast<std::size_t>(name.x + name.w); ++x)
            greens.push_back(arc[(y * 900 + x) * 4 + 1]);
    const auto [darkest, brightest] = std::minmax_element(greens.begin(), greens.end());
    EXPECT_TRUE(!greens.empty() && *brightest - *darkest > 100);
    const auto same = [&](const std::vector<stbi_uc>& other, std::ptrdiff_t from, std::ptrdiff_t to) {
        return other.size() == arc.size() && std::equal(arc.begin() + from, arc.begin() + to, other.begin() + from);
    };
    const auto end = static_cast<std::ptrdiff_t>(arc.size());
    for (const char* tab : {"motion", "spectrum", "pattern"}) {
        const auto other = shot(std::string("--tab ") + tab, std::string(tab) + ".png").second;
        EXPECT_TRUE(!same(other, headerEnd, canvasEnd) && same(other, canvasEnd, end)) << tab;
    }
    EXPECT_FALSE(same(shot("--pattern blank --tab pattern", "blank.png").second, canvasEnd, end));  // silent
    const auto [code, output] = run("--shot /nonexistent/x.png");
    EXPECT_EQ(code, 1);
    EXPECT_NE(output.find("editor: tarn-ui: could not write /nonexistent/x.png\n"), std::string::npos) << output;
}

}  // namespace
}  // namespace tarn
