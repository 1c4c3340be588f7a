// Packages against Info-ZIP and Python: ours pass `unzip -t` and zipfile, and one assembled with `zip` and `sha256sum` reads back verified.
#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/sha256.h"
#include "tests/documents/document_test_support.h"
#include "tests/documents/scratch_folder_test.h"
#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tarn {
namespace {

using namespace tarn::testing;
namespace fs = std::filesystem;

class PackageInterop : public ScratchFolderTest {
protected:
};

TEST_F(PackageInterop, WrittenPackagePassesUnzipAndPython) {
    Package package;
    package.documentName = "instance.json";
    package.document = parseOrFail(R"({"kind": "instance", "spec": "1.0", "plugin": "com.tarnwerks.bass",
        "params": {"drive": 0.5}, "state": {"curve": [0, 0.25, 0.5, 0.75, 1, 0.75, 0.5, 0.25, 0]}})");
    const Bytes wave = randomBytes(6000, 11);
    const Bytes skin = wordyBytes(20000, 12);  // compressible, stored all the same
    for (const Bytes* data : {&skin, &wave})
        package.assets.push_back(zip::Entry{sha256Hex(data->data(), data->size()), *data, false});
    package.files.push_back(entry("notes/readme.txt", "a file beside the assets", true));
    IssueList issues;
    const auto bytes = writePackage(package, issues);
    ASSERT_TRUE(bytes);
    writeFile("preset.tarn", *bytes);

    const auto [unzipStatus, unzipOutput] = run("unzip -t preset.tarn");
    EXPECT_EQ(unzipStatus, 0) << unzipOutput;
    EXPECT_NE(unzipOutput.find("No errors detected"), std::string::npos) << unzipOutput;

    // Python lists the entries in order with their method, checks every asset against its
    // name, and parses the document.
    const auto [pyStatus, pyOutput] = run(
        "/usr/bin/python3 -c \"import zipfile,hashlib,json\n"
        "z = zipfile.ZipFile('preset.tarn')\n"
        "assert z.testzip() is None\n"
        "for i in z.infolist():\n"
        "    data = z.read(i)\n"
        "    ok = i.filename.startswith('assets/') and hashlib.sha256(data).hexdigest() == i.filename[7:]\n"
        "    print(i.filename, i.compress_type, 'verified' if ok else '-')\n"
        "print(json.loads(z.read('instance.json'))['params']['drive'])\"");
    ASSERT_EQ(pyStatus, 0) << pyOutput;
    std::string expected = "instance.json 8 -\n";
    std::vector<std::string> assetNames{package.assets[0].name, package.assets[1].name};
    std::sort(assetNames.begin(), assetNames.end());
    for (const std::string& name : assetNames) expected += "assets/" + name + " 0 verified\n";
    expected += "notes/readme.txt 0 -\n0.5\n";
    EXPECT_EQ(pyOutput, expected);
}

TEST_F(PackageInterop, PackageAssembledByZipReadsWithVerifiedAssets) {
    const Bytes wave = randomBytes(5000, 21);
    const Bytes text = wordyBytes(30000, 22);
    writeFile("in/instance.json", bytesOf("{\n  \"kind\": \"instance\",\n  \"plugin\": \"p\"\n}\n"));
    writeFile("in/wave.bin", wave);
    writeFile("in/text.bin", text);
    // Each asset is renamed to its sha256sum, then `zip` packs the folder (its folder
    // entries, which the reader skips, included), deflating what shrinks.
    const auto [status, output] = run(
        "cd in && mkdir assets && for f in wave.bin text.bin; do mv $f assets/$(sha256sum $f | cut -d' ' -f1); done"
        " && zip -q -r -9 ../made.zip instance.json assets && cd .. && unzip -Z1 made.zip");
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find("assets/\n"), std::string::npos) << output;

    IssueList issues;
    const auto package = readPackage(readFile(path("made.zip")), "instance.json", issues, PackageLimits{});
    ASSERT_TRUE(package);
    EXPECT_TRUE(issues.empty()) << issueLines(issues)[0];
    EXPECT_EQ(json::write(package->document), R"({"kind":"instance","plugin":"p"})");
    EXPECT_TRUE(package->files.empty());
    ASSERT_EQ(package->assets.size(), 2u);
    for (const zip::Entry& asset : package->assets) {
        EXPECT_EQ(asset.name, sha256Hex(asset.data.data(), asset.data.size()));
        EXPECT_TRUE(asset.data == wave || asset.data == text);
    }
    EXPECT_NE(package->assets[0].data, package->assets[1].data);
}

TEST_F(PackageInterop, AssetDamagedInsideAZipMadeArchiveIsLeftOut) {
    // The asset is named for other bytes than it holds: zip's own checksum is right, so only
    // the name gives the damage away.
    const Bytes wave = randomBytes(800, 31);
    writeFile("in/instance.json", bytesOf(R"({"kind": "instance"})"));
    writeFile("in/assets/" + sha256Hex(wave.data(), wave.size()), randomBytes(800, 32));
    const auto [status, output] = run("cd in && zip -q -r -D ../made.zip instance.json assets");
    ASSERT_EQ(status, 0) << output;
    IssueList issues;
    const auto package = readPackage(readFile(path("made.zip")), "instance.json", issues, PackageLimits{});
    ASSERT_TRUE(package);
    EXPECT_TRUE(package->assets.empty());
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].id, "asset-corrupt");
    EXPECT_EQ(issues[0].severity, Severity::Warning);
}

}  // namespace
}  // namespace tarn
