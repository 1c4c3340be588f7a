// Fuzz target for instance documents: read and written back once, a second round gives the same text; issues are complete.
#include "documents/instance.h"
#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) { tarn::fuzzing::fail("instance_fuzz", what, detail); }

void checkIssues(const tarn::IssueList& issues) { tarn::fuzzing::checkIssues("instance_fuzz", issues); }

// Reads an instance from text and writes it back; none when the text is no instance document.
std::optional<std::string> roundTrip(std::string_view text, bool mustRead) {
    tarn::json::Value value;
    std::string error;
    if (!tarn::json::parse(text, value, error)) {
        if (mustRead) fail("written instance does not parse", error);
        return std::nullopt;
    }
    tarn::IssueList issues;
    const std::optional<tarn::InstanceDocument> document = tarn::readInstance(value, issues);
    checkIssues(issues);
    if (!document) {
        if (mustRead) fail("written instance does not read", std::string(text));
        if (issues.empty() || issues.back().severity != tarn::Severity::Error) fail("no document without an Error", "");
        return std::nullopt;
    }
    // A copy writes exactly as the original: the record owns everything it holds.
    const tarn::InstanceDocument copy = *document;
    const std::string written = tarn::json::write(tarn::writeInstance(*document));
    if (tarn::json::write(tarn::writeInstance(copy)) != written) fail("copy writes differently", written);
    if (written.rfind(R"({"kind":"instance","spec":"1.0",)", 0) != 0) fail("head not written first", written);
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> first = roundTrip(text, false);
    if (!first) return 0;
    const std::optional<std::string> second = roundTrip(*first, true);
    if (*second != *first) fail("second round trip differs", *first + "\n" + *second);
    return 0;
}
