// A session file written by the program, read by Python's json module as an independent reader.
#include "storage/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "storage/factory_presets.h"

namespace tarn {
namespace {

std::string runReader(const std::string& path) {
    const std::string command =
        "/usr/bin/python3 '" TARN_SOURCE_DIR "/tests/storage/read_session.py' '" + path + "' 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "could not start python3";
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != 0) output += "exit status " + std::to_string(status);
    return output;
}

TEST(SessionInterop, PythonsJsonReadsAWrittenSession) {
    Session session;
    session.patch = factoryPresets().at(16).patch;  // "Wobble": a rate of 1/3
    session.name = "Wobble \"live\" \xC3\xA9";
    session.category = "Growl";
    session.pattern = Pattern(2, 35, 5);
    session.pattern.genre = 5;
    session.pattern.seed = 4000000000u;
    session.pattern.bars[0].push_back(PatternNote{15, -12, 0.6f, 1.0f, 1, 0, -0.45f});
    session.pattern.kicks[0] = 0x8001;
    session.noteSource = 0;

    const std::filesystem::path path =
        std::filesystem::path(TARN_BINARY_DIR) / ("session_interop_" + std::to_string(::getpid()) + ".json");
    {
        std::ofstream out(path, std::ios::binary);
        out << writeSession(session);
    }
    const std::string output = runReader(path.string());
    std::filesystem::remove(path);

    EXPECT_EQ(output,
              "lines 1\n"
              "keys tarnlodeSession,patch,pattern,notes\n"
              "version 1\n"
              "kind instance plugin tarnlode formatVersion 1\n"
              "meta Wobble \"live\" \xC3\xA9 / Growl\n"
              "params 23 motionRate 0.33333334 arcBars 8\n"
              "state motion,motionDrive,motionLevel,arcs arcs Shape,Tone,Drive,Motion,Spread\n"
              "curve points [64]\n"
              "pattern genre,style,seed,rootNote,scale,swing,bars\n"
              "genre Dubstep scale Chromatic seed 4000000000 root 35\n"
              "bars 2 kick 32769\n"
              "note step,degree,gate,accent,slide,anchor,nudge\n"
              "values 15 -12 0.6 True False -0.45\n"
              "notes demo\n");
}

}  // namespace
}  // namespace tarn
