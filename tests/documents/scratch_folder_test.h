// A test fixture with a scratch folder of its own per test, for running outside tools on files.
#pragma once

#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace tarn::testing {

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("tarn_scratch_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    void writeFile(const std::string& name, const Bytes& bytes) const {
        std::filesystem::create_directories((dir_ / name).parent_path());
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    // Runs a shell command inside the folder; its exit status and output.
    std::pair<int, std::string> run(const std::string& command) const {
        FILE* pipe = ::popen(("cd '" + dir_.string() + "' && " + command + " 2>&1").c_str(), "r");
        std::string output;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        const int status = ::pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    }

    std::filesystem::path dir_;
};

}  // namespace tarn::testing
