// The colour every frame is cleared to before the UI draws: RGB (14, 18, 8), opaque.
#pragma once

namespace tarn::ui {

inline constexpr float kClearColor[4] = {14.0f / 255.0f, 18.0f / 255.0f, 8.0f / 255.0f, 1.0f};

}  // namespace tarn::ui
