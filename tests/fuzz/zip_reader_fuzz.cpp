// Fuzzes the zip reader under small limits: it must hold its own promises, and what it reads must write and read back.
#include "documents/zip/zip.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const tarn::PackageLimits limits{64, 1 << 16, 1 << 18};
    tarn::IssueList issues;
    const auto entries = tarn::zip::read(bytes, issues, limits);

    bool anyError = false;
    for (const auto& issue : issues) {
        if (issue.message.empty() || issue.id.empty()) std::abort();
        anyError = anyError || issue.severity == tarn::Severity::Error;
    }
    if (anyError == entries.has_value()) std::abort(); // none exactly when refused
    if (!entries) return 0;
    if (entries->size() > limits.maxEntries) std::abort();
    std::uint64_t total = 0;
    for (const auto& e : *entries) {
        if (!tarn::zip::isSafeName(e.name) || e.data.size() > limits.maxEntrySize) std::abort();
        total += e.data.size();
    }
    if (total > limits.maxTotalSize) std::abort();

    tarn::IssueList writeIssues;
    const auto written = tarn::zip::write(*entries, writeIssues);
    if (!written) std::abort();
    tarn::IssueList againIssues;
    const auto again = tarn::zip::read(*written, againIssues, limits);
    if (!again || !againIssues.empty() || again->size() != entries->size()) std::abort();
    for (std::size_t i = 0; i < again->size(); ++i)
        if ((*again)[i].name != (*entries)[i].name || (*again)[i].data != (*entries)[i].data) std::abort();
    return 0;
}
