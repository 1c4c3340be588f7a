// Failing writes made on purpose, as a full disk and a read-only folder fail them, also when the tests
// run as root.
#pragma once

#include <csignal>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarn::testing {

// Lowers the largest file this process may write for the scope, so that a write runs out of
// room part-way through, as on a full disk (which, running as root, permissions cannot mimic).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

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

}  // namespace tarn::testing
