// Fuzz target for clip documents: parse, read, write and write again give the same text, and every issue is complete.
#include "documents/clip_reader.h"
#include "documents/clip_writer.h"
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

[[noreturn]] void fail(const char* what, const std::string& detail) { tarn::fuzzing::fail("clip_fuzz", what, detail); }

void checkIssues(const tarn::IssueList& issues) { tarn::fuzzing::checkIssues("clip_fuzz", issues); }

// Reads a clip from text and writes it back; none when the text is no clip document.
std::optional<std::string> roundTrip(std::string_view text, bool mustRead) {
    tarn::json::Value value;
    std::string error;
    if (!tarn::json::parse(text, value, error)) {
        if (mustRead) fail("written clip does not parse", error);
        return std::nullopt;
    }
    tarn::IssueList issues;
    const std::optional<tarn::Clip> clip = tarn::readClip(value, issues);
    checkIssues(issues);
    if (!clip) {
        if (mustRead) fail("written clip does not read", std::string(text));
        if (issues.empty() || issues.back().severity != tarn::Severity::Error) fail("no clip without an Error", "");
        return std::nullopt;
    }
    return tarn::json::write(tarn::writeClip(*clip));
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
