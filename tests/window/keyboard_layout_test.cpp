// The program's shortcuts under other keyboard layouts: the keys marked S and A, pressed with Ctrl on
// a private X server with the layout set, save and select all as they say.
#include "tests/window/window_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarn::ui::window_tests {
namespace {

namespace fs = std::filesystem;

// The program in a process of its own, its presets in `appData`, without a sound device. Ended (as the
// system's close does) on destruction.
class Program {
public:
    explicit Program(const std::string& appData) {
        pid_ = fork();
        if (pid_ != 0) return;
        setenv("APPDATA", appData.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "nonexistent", 1);
        const std::string program = std::string(TARN_BINARY_DIR) + "/app/tarnlode";
        execl(program.c_str(), "tarnlode", static_cast<char*>(nullptr));
        _exit(127);
    }
    ~Program() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

private:
    pid_t pid_ = -1;
};

// The saved preset called `name` anywhere below `folder`: its inode and change time, to tell a new
// write of the same file from the old one.
struct Written {
    ino_t inode = 0;
    std::int64_t changedNs = 0;
    bool operator==(const Written&) const = default;
};
std::optional<Written> preset(const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->path().filename() != name + ".json") continue;
        struct stat st {};
        if (stat(it->path().c_str(), &st) != 0) continue;
        return Written{st.st_ino, static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
    }
    return std::nullopt;
}

std::vector<std::string> presetNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->path().extension() == ".json") names.push_back(it->path().stem().string());
    }
    return names;
}

// Until `met` or `seconds` run out; `met` once more at the end.
template <class Met>
bool eventuallyWithin(double seconds, Met met) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!met() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return met();
}
template <class Met>
bool eventually(Met met) {
    return eventuallyWithin(kPatience, met);
}

TEST(KeyboardLayouts, CtrlWithTheKeysMarkedSAndASavesAndSelectsAllInTheSaveDialog) {
    // xdotool presses the key that types each letter under the layout set: on AZERTY the key marked A
    // sits where a US keyboard has Q, on QWERTZ the key marked Z where it has Y.
    for (const char* layout : {"us", "fr", "de"}) {
        const Xvfb server(Desktop::windowManager);
        ASSERT_EQ(run(std::string("setxkbmap ") + layout), 0) << layout;
        const fs::path appData = fs::path(server.folder) / "appdata";
        const Program program(appData.string());
        const std::string window = windowWithTitle("tarnlode");
        ASSERT_FALSE(window.empty()) << layout;
        ASSERT_EQ(run("xdotool windowfocus --sync " + window), 0) << layout;

        // Ctrl+S on the factory sound asks for a name; what is typed first goes there, and Ctrl+A
        // selects it all, so that "deep" replaces it.
        run("xdotool key ctrl+s");
        run("xdotool type --delay 30 draft");
        run("xdotool key ctrl+a");
        run("xdotool type --delay 30 deep");
        run("xdotool key Return");
        EXPECT_TRUE(eventually([&] { return preset(appData, "deep").has_value(); }))
            << layout << ": saved " << ::testing::PrintToString(presetNames(appData));
        const std::optional<Written> first = preset(appData, "deep");
        if (!first) continue;
        EXPECT_EQ(presetNames(appData), std::vector<std::string>{"deep"}) << layout;

        // Now a preset of the user's: Ctrl+S saves over it at once. The name field keeps the keyboard
        // for a frame after the dialog closed, and shortcuts wait while it has it: a press that quick
        // is pressed again.
        EXPECT_TRUE(eventually([&] {
            run("xdotool key ctrl+s");
            return eventuallyWithin(1.0, [&] { return preset(appData, "deep") != first; });
        })) << layout
            << ": not saved again";
    }
}

}  // namespace
}  // namespace tarn::ui::window_tests
