// The JSON writers: compact text for sessions, two-space indented text for package documents.
#pragma once

#include "documents/json/value.h"

#include <string>
#include <string_view>

namespace tarn::json {

// Compact JSON without any whitespace. Cannot fail on any value. Both writers recurse along
// the value's nesting, as deep as the reader allows (256 levels) for any parsed document.
std::string write(const Value& value);

// Two-space indented JSON ending in one line feed.
std::string writeIndented(const Value& value);

// A Number's text: its stored text while that still stands for its value, "null" for
// infinity and NaN, else the shortest text that reads back as the same double.
std::string writeNumber(const Value& value);

// A String's text: quotes, backslash, tab, line feed and carriage return escaped by letter,
// other bytes below 32 as \u00xx, everything else (slash and bytes of 128 and above) as is.
std::string writeString(std::string_view text);

}  // namespace tarn::json
