// The sound as an "instance" document: parameters under "params", curves under "state", preset name under "meta".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "documents/instance.h"
#include "documents/issue.h"
#include "documents/json/value.h"
#include "engine/patch.h"

namespace tarn {

// A preset's name and category; empty strings mean none.
struct PresetMeta {
    std::string name;
    std::string category;
};

// Writes `patch` over a copy of `base` (plugin "tarnlode", format version 1) and serialises
// the document as compact JSON into `out`, which is also returned. `seed` replaces the base's
// seed when given; `meta`, when given, sets "name" and "category" in "meta". Entries of
// "params" and "state" that are not the sound's stay as they were, except that "arcs" is
// replaced whole.
std::string& patchToInstance(const InstanceDocument& base, std::string& out, const Patch& patch,
                             std::optional<std::uint64_t> seed, const PresetMeta* meta);

// Reads JSON text or a zip package holding "instance.json". On success engages `patch` and
// moves the document that was read into `document` (for its "meta" and carried members);
// otherwise leaves `patch` empty and `document` untouched. Problems are appended to `issues`.
void patchFromInstance(InstanceDocument& document, std::optional<Patch>& patch, std::span<const std::uint8_t> bytes,
                       IssueList& issues);

// Fills `points` (64 floats) from a 64-item array; an absent member changes nothing, any other
// shape leaves the curve as it was with a "curve-length" warning at `pointer`.
void readCurve(const json::Value* member, float* points, const std::string& pointer, IssueList& issues);

// The 64 points as an array of numbers with their shortest float text.
json::Value writeCurve(const float* points);

// The "state" key of motion lane 0, 1 or 2: "motion", "motionDrive", "motionLevel".
std::string motionCurveKey(int lane);

// "name" and "category" of the document's "meta", each empty unless it is a string.
PresetMeta readPresetMeta(const InstanceDocument& document);

}  // namespace tarn
