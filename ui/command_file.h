// An application menu command together with the file chosen in its dialog.
#pragma once

#include <cstdint>
#include <string>

namespace tarn::ui {

struct CommandFile {
    std::uint32_t command = 0;  // the application's command id
    std::string path;           // UTF-8
};

}  // namespace tarn::ui
