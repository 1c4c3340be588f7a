// The program's --shot mode, run as a process: the picture it writes, and how it fails.
#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace tarn {
namespace {

using testing::AppEnvironment;

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output and error
};

ProgramRun runProgram(const std::string& arguments) {
    ProgramRun run;
    FILE* pipe = ::popen((std::string(TARN_BINARY_DIR) + "/app/tarnlode " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    std::string bytes;  // the file
};

Picture shot(const std::string& arguments, const std::string& name) {
    const std::string path = (std::filesystem::path(TARN_BINARY_DIR) / "shots" / name).string();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const ProgramRun run = runProgram("--shot " + path + " " + arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    Picture picture;
    picture.bytes = testing::readText(path);
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(picture.bytes.data()),
                                            static_cast<int>(picture.bytes.size()), &picture.width, &picture.height,
                                            &channels, 4);
    if (pixels != nullptr) picture.rgba.assign(pixels, pixels + picture.width * picture.height * 4);
    stbi_image_free(pixels);
    return picture;
}

TEST(EditorShot, WritesTheSameOpaquePictureEveryRunWithTabsDifferingOnlyInTheCanvas) {
    const AppEnvironment env;  // the program scans this preset folder
    Editor editor(1);
    editor.setupScreenshot({});
    testing::EditorFrames frames;
    frames.frame(editor);
    const auto belowCanvas = static_cast<std::size_t>(editor.canvasRect.y + editor.canvasRect.h + 1.0f) * 900 * 4;

    const Picture first = shot("", "default.png");
    ASSERT_EQ(first.width, 900);
    ASSERT_EQ(first.height, 950);
    for (std::size_t i = 3; i < first.rgba.size(); i += 4) ASSERT_EQ(first.rgba[i], 255);
    EXPECT_EQ(shot("--tab arc", "arc.png").bytes, first.bytes);
    for (const char* tab : {"motion", "spectrum", "pattern"}) {
        const Picture other = shot(std::string("--pattern blank --tab ") + tab, std::string(tab) + ".png");
        const Picture same = shot(std::string("--tab ") + tab, std::string(tab) + "-generated.png");
        ASSERT_EQ(same.rgba.size(), first.rgba.size());
        ASSERT_EQ(other.rgba.size(), first.rgba.size());
        const auto below = first.rgba.begin() + belowCanvas;
        EXPECT_TRUE(std::equal(below, first.rgba.end(), same.rgba.begin() + belowCanvas)) << tab;
        EXPECT_FALSE(std::equal(first.rgba.begin(), below, same.rgba.begin())) << tab << ": the canvas shows the tab";
        EXPECT_FALSE(std::equal(below, first.rgba.end(), other.rgba.begin() + belowCanvas))
            << tab << ": a blank pattern renders a silent waveform";
    }
}

TEST(EditorShot, AFileThatCannotBeWrittenEndsTheProgramWithItsMessage) {
    const AppEnvironment env;
    const ProgramRun run = runProgram("--shot /nonexistent/x.png");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("editor: tarn-ui: could not write /nonexistent/x.png\n"), std::string::npos)
        << run.output;
}

}  // namespace
}  // namespace tarn
