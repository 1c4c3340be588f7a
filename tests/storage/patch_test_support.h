// Bit-exact comparison of sounds for the storage tests.
#pragma once

#include <cstring>
#include <string>

#include "engine/patch.h"

namespace tarn::test {

// Every scalar and curve point compared by its bits, so -0 against 0 and NaNs count too.
inline bool samePatchBits(const Patch& a, const Patch& b) {
    static_assert(sizeof(Patch) == sizeof(float) * (kPatchParamCount + kCurveCount * kCurvePoints),
                  "a Patch is floats only, without padding");
    return std::memcmp(&a, &b, sizeof(Patch)) == 0;
}

// The first difference, for a readable failure message; empty when the bits agree.
inline std::string firstPatchDifference(const Patch& a, const Patch& b) {
    for (const PatchParam& row : patchParams) {
        if (std::memcmp(&(a.*row.field), &(b.*row.field), sizeof(float)) != 0)
            return std::string(row.key) + ": " + std::to_string(a.*row.field) + " vs " +
                   std::to_string(b.*row.field);
    }
    for (int c = 0; c < kCurveCount; ++c) {
        for (int i = 0; i < kCurvePoints; ++i) {
            if (std::memcmp(&a.curves.points[c][i], &b.curves.points[c][i], sizeof(float)) != 0)
                return "curve " + std::to_string(c) + " point " + std::to_string(i) + ": " +
                       std::to_string(a.curves.points[c][i]) + " vs " + std::to_string(b.curves.points[c][i]);
        }
    }
    return {};
}

}  // namespace tarn::test
