// Reading the program's flags: the argument that follows a flag.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The argument after the first argument equal to `flag`, or empty. A flag in the last position
// has no value and is never found; an empty value ends the search as well.
std::string flagValue(int argc, const char* const* argv, std::string_view flag);

}  // namespace tarn
