// Slugs and file-name checks: what a preset name turns into and which names cannot name a file.
#include "storage/preset_names.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(PresetSlug, ReplacesReservedBytesAndLowersCapitalsOnly) {
    EXPECT_EQ(presetSlug("Deep  Sub!"), "deep--sub!");
    EXPECT_EQ(presetSlug("A/B"), "a-b");
    EXPECT_EQ(presetSlug("<>:\"/\\|?* "), "----------");
    EXPECT_EQ(presetSlug(std::string("a\x01\x1f\x7f" "b", 5)), "a--\x7f" "b");
    EXPECT_EQ(presetSlug(std::string("x\0y", 3)), "x-y");
    // UTF-8 sequences and non-ASCII capitals pass through unchanged.
    EXPECT_EQ(presetSlug("Ärger Ω"), "Ärger-Ω");
    EXPECT_EQ(presetSlug(""), "");
    EXPECT_EQ(presetSlug(".."), "..");
}

TEST(CanNameFile, RefusesEmptyDotsAndReservedBytes) {
    EXPECT_TRUE(canNameFile("deep-sub"));
    EXPECT_TRUE(canNameFile("..."));
    EXPECT_TRUE(canNameFile("ärger"));
    EXPECT_FALSE(canNameFile(""));
    EXPECT_FALSE(canNameFile("."));
    EXPECT_FALSE(canNameFile(".."));
    for (const char c : std::string("/\\:*?\"<>|\x7f\x01\t")) {
        EXPECT_FALSE(canNameFile(std::string("a") + c + "b")) << int(c);
    }
    EXPECT_FALSE(canNameFile(std::string("a\0b", 3)));
}

TEST(CheckFileNamePart, AddsOneErrorNamingTheText) {
    IssueList issues;
    EXPECT_FALSE(checkFileNamePart(issues, "/id", "preset id", "fine"));
    EXPECT_TRUE(issues.empty());
    EXPECT_TRUE(checkFileNamePart(issues, "", "bank", "."));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].severity, Severity::Error);
    EXPECT_EQ(issues[0].id, "preset-unsaveable");
    EXPECT_EQ(issues[0].pointer, "");
    EXPECT_EQ(issues[0].message, "The bank \".\" cannot name a file");
}

}  // namespace
}  // namespace tarn
