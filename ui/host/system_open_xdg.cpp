// Opening a path or address with the desktop's default handler through xdg-open.
#include "ui/host/system_open_xdg.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>

extern char** environ;

namespace tarn::ui {
namespace {

// Without a desktop, xdg-open runs the handler in the foreground, so it may not end soon; the
// UI thread waits only this long for its verdict.
constexpr auto kVerdictWait = std::chrono::seconds(1);

// The exit status, or -1 when it is unknown (the child was reaped by someone else).
int waitForExit(pid_t pid) {
    int status = 0;
    pid_t done = 0;
    do {
        done = waitpid(pid, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

}  // namespace

bool xdgOpen(const std::string& pathOrAddress) {
    std::string argument = pathOrAddress;
    if (!argument.empty() && argument.front() == '-') argument.insert(0, "./");
    char program[] = "xdg-open";
    char* argv[] = {program, argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;

    std::promise<int> exitStatus;
    std::future<int> verdict = exitStatus.get_future();
    std::thread reaper([pid, promise = std::move(exitStatus)]() mutable { promise.set_value(waitForExit(pid)); });
    if (verdict.wait_for(kVerdictWait) != std::future_status::ready) {
        reaper.detach();
        return true;
    }
    reaper.join();
    const int status = verdict.get();
    return status == 0 || status == -1;
}

}  // namespace tarn::ui
