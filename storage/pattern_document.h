// The bass pattern as a JSON document: the "pattern" member of a session file.
#pragma once

#include "documents/issue.h"
#include "documents/json/value.h"
#include "engine/pattern.h"

namespace tarn {

// Members in order: "genre", "style", "seed", "rootNote", "scale", "swing", "bars".
json::Value writePattern(const Pattern& pattern);

// Reads a pattern document into `pattern`, which holds the starting values: absent or
// unusable settings keep them. The bars and kick masks are always replaced by what "bars"
// holds (none when it is not a non-empty array). Issues point below "/pattern".
void readPattern(const json::Value& value, Pattern& pattern, IssueList& issues);

}  // namespace tarn
