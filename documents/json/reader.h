// The JSON reader: strict structure, standard-library numbers, one short message for the first error.
#pragma once

#include "documents/json/value.h"

#include <string>
#include <string_view>

namespace tarn::json {

// Arrays and objects may nest this deep; one more level is refused.
inline constexpr int kMaxDepth = 256;

// Reads one JSON document from bytes (UTF-8 expected, not validated). On success fills
// `out` and returns true. On failure returns false with a one-line English message in
// `error` (no line or column) and leaves `out` holding a partly built tree to discard.
// Never throws for bad input; exhausted memory surfaces as std::bad_alloc.
bool parse(std::string_view text, Value& out, std::string& error);

// The text between double quotes, with bytes below 0x20 and 0x7F spelled \u00xx so that a
// message quoting input stays on one line and carries no terminal control sequences.
std::string quoteForMessage(std::string_view text);

}  // namespace tarn::json
