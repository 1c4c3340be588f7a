// The base folder rule: which variable wins, and when no user preset folder exists at all.
#include "storage/preset_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarn {
namespace {

namespace fs = std::filesystem;

TEST(PresetBaseFolder, FollowsAppDataThenXdgThenHome) {
    EXPECT_EQ(presetBaseFolder({"/data/app", "/xdg", "/home/u"}), fs::path("/data/app"));
    EXPECT_EQ(presetBaseFolder({std::nullopt, "/xdg", "/home/u"}), fs::path("/xdg"));
    EXPECT_EQ(presetBaseFolder({std::nullopt, std::nullopt, "/home/u"}), fs::path("/home/u/.config"));
    EXPECT_EQ(presetBaseFolder({std::nullopt, std::nullopt, std::nullopt}), fs::path());
}

TEST(PresetBaseFolder, EmptyOrRelativeValuesNeverNameTheWorkingFolder) {
    // An empty APPDATA counts as unset, for both folders.
    EXPECT_EQ(presetBaseFolder({"", "/xdg", "/home/u"}), fs::path("/xdg"));
    EXPECT_EQ(presetBaseFolder({"", std::nullopt, std::nullopt}), fs::path());
    EXPECT_TRUE(legacyPresetFolderUnder(presetBaseFolder({"", std::nullopt, std::nullopt})).empty());
    // Relative XDG_CONFIG_HOME and HOME are skipped.
    EXPECT_EQ(presetBaseFolder({std::nullopt, "config", "/home/u"}), fs::path("/home/u/.config"));
    EXPECT_EQ(presetBaseFolder({std::nullopt, "", "home"}), fs::path());
    EXPECT_EQ(presetBaseFolder({std::nullopt, std::nullopt, ""}), fs::path());
}

TEST(PresetBaseFolder, SubPathsStayAsNamed) {
    EXPECT_EQ(userPresetFolderUnder("/b"), fs::path("/b/Tarn/Presets"));
    EXPECT_EQ(legacyPresetFolderUnder("/b"), fs::path("/b/Tarnwerks/tarnlode/Presets"));
    EXPECT_TRUE(userPresetFolderUnder({}).empty());
    EXPECT_TRUE(legacyPresetFolderUnder({}).empty());
}

// Saves and restores one environment variable around a test.
class ScopedVariable {
public:
    explicit ScopedVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) saved_ = value;
    }
    ~ScopedVariable() {
        if (saved_) ::setenv(name_, saved_->c_str(), 1);
        else ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(PresetBaseFolder, ReadsTheProcessEnvironment) {
    ScopedVariable appData("APPDATA"), xdg("XDG_CONFIG_HOME"), home("HOME");
    ::setenv("APPDATA", "", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(userPresetFolder(), fs::path("/cfg/Tarn/Presets"));
    EXPECT_EQ(legacyPresetFolder(), fs::path("/cfg/Tarnwerks/tarnlode/Presets"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    EXPECT_TRUE(userPresetFolder().empty());
    EXPECT_TRUE(legacyPresetFolder().empty());
}

}  // namespace
}  // namespace tarn
