// Writing a clip back to JSON: known fields in a fixed order, kept entries and members and number texts restored.
#pragma once

#include "documents/clip.h"
#include "documents/json/value.h"
#include "documents/member_table.h"

#include <vector>

namespace tarn {

// The clip as an Object. Absent and empty optional fields are left out; entries kept as
// written come back as read; members the reader did not use are put back in place.
json::Value writeClip(const Clip& clip);

// Element writers: the list writers give an Array, the others one value.
json::Value writeTempoMap(const std::vector<TempoChange>& tempo);
json::Value writeMeterMap(const std::vector<MeterChange>& meter);
json::Value writeSwingList(const std::vector<SwingSetting>& swing);
json::Value writeLanes(const std::vector<ClipLane>& lanes);
json::Value writeNote(const ClipNote& note);
json::Value writeExpression(const Expression& expression);
json::Value writeNoteRandom(const NoteRandom& random);

}  // namespace tarn
