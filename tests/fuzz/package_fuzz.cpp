// Fuzz target for packages: reading never crashes, and a package read writes and reads back to the same document, assets and files.
#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/sha256.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "package_fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

// Small limits, so a declared size cannot make the fuzzer reserve gigabytes.
const tarn::PackageLimits kLimits{64, 1 << 16, 1 << 18};

std::optional<tarn::Package> read(const std::vector<std::uint8_t>& bytes, tarn::IssueList& issues,
                                  const tarn::PackageLimits& limits) {
    auto package = tarn::readPackage(bytes, "instance.json", issues, limits);
    bool anyError = false;
    for (const tarn::Issue& issue : issues) {
        if (issue.id.empty() || issue.message.empty()) fail("issue without id or message", issue.id);
        anyError = anyError || issue.severity == tarn::Severity::Error;
    }
    if (anyError == package.has_value()) fail("result and Errors disagree", issues.empty() ? "" : issues.back().id);
    return package;
}

bool sameEntries(const std::vector<tarn::zip::Entry>& a, const std::vector<tarn::zip::Entry>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].data != b[i].data) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    tarn::IssueList issues;
    const std::optional<tarn::Package> package = read(bytes, issues, kLimits);
    if (!package) return 0;
    for (const tarn::zip::Entry& asset : package->assets)
        if (!tarn::isSha256Name(asset.name) || tarn::sha256Hex(asset.data.data(), asset.data.size()) != asset.name)
            fail("asset does not match its name", asset.name);

    tarn::IssueList writeIssues;
    const auto written = tarn::writePackage(*package, writeIssues);
    if (!written || !writeIssues.empty()) fail("package read does not write", writeIssues.empty() ? "" : writeIssues[0].id);
    const bool plain = package->assets.empty() && package->files.empty() &&
                       package->document.kind == tarn::json::Kind::Object;
    if (tarn::zip::looksLikeZip(*written) == plain) fail("wrong form written", "");

    // The written sizes are real, not declared: indenting may grow the document past the
    // small limits, so it is read back under the callers' limits.
    tarn::IssueList againIssues;
    const std::optional<tarn::Package> again = read(*written, againIssues, tarn::PackageLimits{});
    if (!again || !againIssues.empty()) fail("written package does not read back", againIssues.empty() ? "" : againIssues[0].id);
    if (tarn::json::write(again->document) != tarn::json::write(package->document))
        fail("document differs", tarn::json::write(package->document));
    // Assets come back in name order; the read package holds them in archive order.
    std::vector<tarn::zip::Entry> sortedAssets = package->assets;
    std::stable_sort(sortedAssets.begin(), sortedAssets.end(),
                     [](const tarn::zip::Entry& a, const tarn::zip::Entry& b) { return a.name < b.name; });
    if (!sameEntries(again->assets, sortedAssets)) fail("assets differ", "");
    if (!sameEntries(again->files, package->files)) fail("files differ", "");
    return 0;
}
