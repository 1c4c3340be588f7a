// Writing an offscreen image to a PNG file.
#pragma once

#include "ui/host/image.h"

#include <string>

namespace tarn::ui {

// Throws std::runtime_error when the image is malformed (before any file is touched) or
// when any byte of the file could not be written; a partial file is removed.
void savePng(const Image& image, const std::string& path);

}  // namespace tarn::ui
