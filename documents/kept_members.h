// Writing back what a reader carried along: unused members and the number spellings as read.
#pragma once

#include "documents/json/value.h"

namespace tarn {

// `target` is an object a document writer just built, `kept` the members its reader did not
// use, `asRead` the record as read (Null when it was built in memory). Each kept member
// replaces the written member of the same key in place, or is appended; then number
// spellings are restored from `asRead`.
void mergeKept(json::Value& target, const json::Value& kept, const json::Value& asRead);

// Walks both trees in step (arrays of the same non-zero length item by item, objects member
// by member under the same key) and gives each written Number the value and text read at the
// same place, when both are the same double, or the same float for a written number that is
// exactly a float. Numbers that changed keep their written form.
void keepNumberSpelling(json::Value& written, const json::Value& asRead);

}  // namespace tarn
