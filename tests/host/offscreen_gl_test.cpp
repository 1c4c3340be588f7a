// The headless GL context and PNG saving, without any UI on top.
#include "tests/storage/scratch_folder.h"
#include "ui/host/egl_offscreen.h"
#include "ui/host/png_save.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace tarn::ui {
namespace {

namespace fs = std::filesystem;

// A folder of this process's own, made for each test and removed after it.
using Scratch = tarn::testing::ScratchFolder;

std::string throwText(const auto& call) {
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

TEST(EglOffscreen, ClearsToTheHostColourAndReadsTopDown) {
    EglOffscreen target(7, 5);
    target.bindAndClear();
    const auto rgba = target.readRgba();
    ASSERT_EQ(rgba.size(), 7u * 5u * 4u);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        EXPECT_EQ(rgba[i + 0], 14);
        EXPECT_EQ(rgba[i + 1], 18);
        EXPECT_EQ(rgba[i + 2], 8);
        EXPECT_EQ(rgba[i + 3], 255);
    }
}

TEST(EglOffscreen, RefusesAnImpossibleSizeAndCanBeMadeAgainAfterwards) {
    EXPECT_EQ(throwText([] { EglOffscreen target(0, 10); }), "tarn-ui: could not create the offscreen render target");
    EXPECT_EQ(throwText([] { EglOffscreen target(1 << 20, 4); }),
              "tarn-ui: could not create the offscreen render target");
    EglOffscreen again(2, 2);
    again.bindAndClear();
    EXPECT_EQ(again.readRgba()[3], 255);
}

Image checkerImage(int width, int height) {
    Image image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 4))};
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = static_cast<std::uint8_t>(i * 7);
        image.rgba[i + 1] = static_cast<std::uint8_t>(i >> 3);
        image.rgba[i + 2] = 200;
        image.rgba[i + 3] = 255;
    }
    return image;
}

TEST(SavePng, WritesAFileThatDecodesToTheSamePixels) {
    const Scratch scratch;
    const fs::path path = scratch.path() / "checker.png";
    const Image image = checkerImage(33, 17);
    savePng(image, path.string());
    int width = 0, height = 0, channels = 0;
    unsigned char* decoded = stbi_load(path.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(width, 33);
    EXPECT_EQ(height, 17);
    EXPECT_TRUE(std::equal(image.rgba.begin(), image.rgba.end(), decoded));
    stbi_image_free(decoded);
}

TEST(SavePng, MalformedImagesAreRefusedBeforeTheFileIsTouched) {
    const Scratch scratch;
    const fs::path path = scratch.path() / "untouched.png";
    { std::ofstream(path) << "keep"; }
    Image wrongSize = checkerImage(4, 4);
    wrongSize.rgba.pop_back();
    const std::string expected = "tarn-ui: savePng got an empty or malformed image";
    EXPECT_EQ(throwText([&] { savePng(wrongSize, path.string()); }), expected);
    EXPECT_EQ(throwText([&] { savePng(Image{}, path.string()); }), expected);
    EXPECT_EQ(throwText([&] { savePng(Image{-1, 4, {}}, path.string()); }), expected);
    std::ifstream in(path);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "keep");
}

TEST(SavePng, AFailedWriteThrowsAndLeavesNoFile) {
    const Image image = checkerImage(64, 64);
    const Scratch scratch;
    const fs::path missing = scratch.path() / "no-such-folder" / "x.png";
    EXPECT_EQ(throwText([&] { savePng(image, missing.string()); }), "tarn-ui: could not write " + missing.string());
    EXPECT_FALSE(fs::exists(missing));
    // A full device of our own (never the system's /dev/full: the tests run as root).
    const fs::path full = scratch.path() / "full-device";
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        EXPECT_EQ(throwText([&] { savePng(image, full.string()); }), "tarn-ui: could not write " + full.string());
        EXPECT_TRUE(fs::is_character_file(full));
        fs::remove(full);
    }
}

}  // namespace
}  // namespace tarn::ui
