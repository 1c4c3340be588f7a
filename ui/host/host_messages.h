// The window host's messages that name a graphics or platform API: the one place where the
// OpenGL, EGL and SDL names stand in for the Direct3D and Win32 ones of the original texts.
#pragma once

namespace tarn::ui::host_messages {

inline constexpr const char* kNoOffscreenDevice = "tarn-ui: no OpenGL 3.3 device for offscreen rendering";
inline constexpr const char* kNoWindowDevice = "tarn-ui: no OpenGL 3.3 device";
inline constexpr const char* kRendererFailed = "tarn-ui: ImGui's OpenGL3 renderer failed to start";
inline constexpr const char* kNoRenderTarget = "tarn-ui: could not create the offscreen render target";
inline constexpr const char* kNoReadBack = "tarn-ui: could not read the offscreen image back";

}  // namespace tarn::ui::host_messages
