// Our archives against Info-ZIP's unzip and Python's zipfile, and theirs read by us.
#include "documents/sha256.h"
#include "documents/zip/zip.h"
#include "tests/documents/scratch_folder_test.h"
#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace tarn {
namespace {

using namespace tarn::testing;
namespace fs = std::filesystem;

class ZipInterop : public ScratchFolderTest {
protected:
    std::map<std::string, Bytes> readOurs(const std::string& archive) const {
        IssueList issues;
        const auto entries = zip::read(readFile(path(archive)), issues, PackageLimits{});
        EXPECT_TRUE(entries.has_value());
        EXPECT_TRUE(issues.empty()) << (issues.empty() ? "" : issues[0].message);
        std::map<std::string, Bytes> byName;
        if (entries)
            for (const auto& e : *entries) byName[e.name] = e.data;
        return byName;
    }
};

const std::vector<zip::Entry> kSample = {
    entry("instance.json", "{\n  \"kind\": \"instance\",\n  \"seed\": 42\n}\n", true),
    zip::Entry{"assets/ab12", randomBytes(5000, 1), false},
    zip::Entry{"assets/text", wordyBytes(70000, 2), true},
    entry("empty", "", true),
    entry("deep/er/name \xC3\xA4.txt", "utf-8 name", true),
};

TEST_F(ZipInterop, OurArchivesPassUnzipAndPython) {
    writeFile("ours.zip", archiveOf(kSample));
    const auto [unzipStatus, unzipOutput] = run("unzip -t ours.zip");
    EXPECT_EQ(unzipStatus, 0) << unzipOutput;
    EXPECT_NE(unzipOutput.find("No errors detected"), std::string::npos) << unzipOutput;

    const auto [pyStatus, pyOutput] = run(
        "/usr/bin/python3 -c \"import zipfile,sys,hashlib\n"
        "z = zipfile.ZipFile('ours.zip')\n"
        "assert z.testzip() is None\n"
        "for i in z.infolist(): print(i.filename, i.compress_type, i.file_size, hashlib.sha256(z.read(i)).hexdigest())\"");
    ASSERT_EQ(pyStatus, 0) << pyOutput;
    for (const auto& e : kSample) {
        const std::string hex = sha256Hex(e.data.data(), e.data.size());
        EXPECT_NE(pyOutput.find(e.name + " "), std::string::npos) << e.name;
        EXPECT_NE(pyOutput.find(std::to_string(e.data.size()) + " " + hex), std::string::npos) << e.name << pyOutput;
    }
}

TEST_F(ZipInterop, ReadsArchivesMadeByZip) {
    const Bytes text = wordyBytes(40000, 3);
    const Bytes binary = randomBytes(3000, 4);
    writeFile("in/notes.txt", text);
    writeFile("in/sub/data.bin", binary);
    writeFile("in/sub/empty.txt", {});
    for (const char* level : {"-0", "-9"}) {
        const std::string archive = std::string("made") + level + ".zip";
        const auto [status, output] = run(std::string("zip -q -r ") + level + " " + archive + " in");
        ASSERT_EQ(status, 0) << output;
        const auto [commentStatus, commentOutput] = run("echo 'an archive comment' | zip -q -z " + archive);
        ASSERT_EQ(commentStatus, 0) << commentOutput;
        const auto entries = readOurs(archive);
        ASSERT_EQ(entries.size(), 3u) << archive; // the folders are skipped
        EXPECT_EQ(entries.at("in/notes.txt"), text);
        EXPECT_EQ(entries.at("in/sub/data.bin"), binary);
        EXPECT_TRUE(entries.at("in/sub/empty.txt").empty());
    }
}

TEST_F(ZipInterop, ReadsPythonsStreamedArchiveWithDataDescriptors) {
    // Written to a pipe, zipfile cannot seek back: sizes and CRCs follow the data in
    // descriptors (flag bit 3), and the local headers hold zeros.
    const auto [status, output] = run(
        "/usr/bin/python3 -c \"import zipfile,sys\n"
        "with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    z.writestr('a.txt', 'alpha ' * 1000)\n"
        "    z.writestr(zipfile.ZipInfo('b/stored.bin'), bytes(range(256)) * 4, zipfile.ZIP_STORED)\n"
        "    z.writestr('c.txt', '')\n"
        "\" | cat > streamed.zip");
    ASSERT_EQ(status, 0) << output;
    const Bytes bytes = readFile(path("streamed.zip"));
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_TRUE(get16(bytes, 6) & 0x0008) << "expected a data descriptor";
    const auto entries = readOurs("streamed.zip");
    ASSERT_EQ(entries.size(), 3u);
    std::string alpha;
    for (int i = 0; i < 1000; ++i) alpha += "alpha ";
    EXPECT_EQ(entries.at("a.txt"), bytesOf(alpha));
    Bytes ramp;
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 256; ++i) ramp.push_back(std::uint8_t(i));
    EXPECT_EQ(entries.at("b/stored.bin"), ramp);
    EXPECT_TRUE(entries.at("c.txt").empty());
}

} // namespace
} // namespace tarn
