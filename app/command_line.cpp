// Reading the program's flags: the argument that follows a flag.
#include "app/command_line.h"

namespace tarn {

std::string flagValue(int argc, const char* const* argv, std::string_view flag) {
    if (argc <= 2) return {};
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == flag) return argv[i + 1];
    }
    return {};
}

}  // namespace tarn
