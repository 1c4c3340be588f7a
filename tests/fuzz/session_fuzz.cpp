// Fuzz target for session files: whatever opens writes back to a fixed point, with only finite values in the sound.
#include "storage/session.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "session_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tarn::IssueList issues;
    const auto session = tarn::readSession(text, issues);
    if (!session) {
        if (issues.empty()) fail("a refused session without an issue");
        return 0;
    }
    for (const tarn::PatchParam& row : tarn::patchParams) {
        const float value = session->patch.*row.field;
        if (!(value >= row.min && value <= row.max)) fail("a parameter outside its range");
    }
    for (const auto& curve : session->patch.curves.points) {
        for (float point : curve) {
            if (!std::isfinite(point)) fail("a curve point that is not finite");
        }
    }
    if (session->pattern.bars.empty() || session->pattern.bars.size() != session->pattern.kicks.size())
        fail("bars and kick masks out of step");

    const std::string written = tarn::writeSession(*session);
    tarn::IssueList again;
    const auto reread = tarn::readSession(written, again);
    if (!reread) fail("a written session does not open");
    if (tarn::writeSession(*reread) != written) fail("a written session does not write back the same");
    return 0;
}
