// Reading a clip document from JSON: every unusable member or entry is kept as written and reported.
#pragma once

#include "documents/clip.h"
#include "documents/issue.h"
#include "documents/json/value.h"
#include "documents/member_table.h"
#include "documents/small_formats.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// The clip, or none when its document header is unusable (the header's Error says why).
// Pointers of the issues are relative to the clip's own root.
std::optional<Clip> readClip(const json::Value& node, IssueList& issues);

// The grid step in beats of a text "numerator/denominator" (each a decimal integer of at
// least 1, nothing else): "1/16" gives 0.25. None for anything unreadable.
std::optional<double> parseGrid(std::string_view text);

// The extensions that the usable content of a clip needs, each once, with major 1, in the
// order voices, per-note-params, note-random, slide.
std::vector<ExtensionId> clipExtensionsUsed(const Clip& clip);

// Element readers: each takes the JSON value, its pointer and the issue list. The list
// readers take the array and return one record per entry, usable or kept as written.
std::vector<TempoChange> readTempoMap(const json::Value& array, std::string_view pointer, IssueList& issues);
std::vector<MeterChange> readMeterMap(const json::Value& array, std::string_view pointer, IssueList& issues);
std::vector<SwingSetting> readSwingList(const json::Value& array, std::string_view pointer, IssueList& issues);
std::vector<ClipLane> readLanes(const json::Value& array, std::string_view pointer, IssueList& issues);
ClipNote readNote(const json::Value& node, std::string_view pointer, IssueList& issues);
Expression readExpression(const json::Value& node, std::string_view pointer, IssueList& issues);
NoteRandom readNoteRandom(const json::Value& node, std::string_view pointer, IssueList& issues);

// Replaces the expression of the entry named `name`, or appends a new entry.
void setNamedValue(std::vector<NamedValues>& list, std::string_view name, Expression expression);

}  // namespace tarn
