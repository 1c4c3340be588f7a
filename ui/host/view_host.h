// Binds an SDL window to everything one view needs to be drawn: GL context, UI context, backends.
#pragma once

#include "ui/file_dialog.h"
#include "ui/host/mouse_button_queue.h"
#include "ui/view.h"

#include <cstdint>
#include <functional>
#include <memory>

struct SDL_Window;
union SDL_Event;

namespace tarn::ui {

class UiContext;
class ImGuiRenderer;
class LayoutKeys;

// How a frame ended: drawn and presented; refused (no context, or asked for inside a frame);
// or drawn while the window cannot be seen, which tells the loop to idle.
enum class FrameResult { presented, refused, occluded };

// Runs a file dialog modally and returns its answer. The native dialog is given by the window.
using DialogRunner = std::function<FileDialogResult(const FileDialogRequest&)>;

class ViewHost {
public:
    ViewHost();
    ~ViewHost();
    ViewHost(const ViewHost&) = delete;
    ViewHost& operator=(const ViewHost&) = delete;

    // Creates the GL context for the window (made with SDL_WINDOW_OPENGL), the UI context and
    // Dear ImGui's SDL2 and OpenGL3 backends, and the light hook. False, with everything
    // undone, when any of it fails.
    bool attach(SDL_Window* window, float displayScale);
    // Tears all of it down; safe to call twice.
    void detach();

    FrameResult frame(View& view, WindowControls* controls, bool framed, bool vsync);
    // Runs the dialog the last frame queued, if any, and delivers its answer to the UI context.
    void runPendingDialog();
    FrameResult frameAndDialogs(View& view, WindowControls* controls, bool framed, bool vsync);
    // Feeds an event to the platform backend with this host's context current; true when the
    // UI wants it (a key while text is edited, the mouse over a window). A letter key reaches the
    // backend as the letter the keyboard layout types with it; a mouse button's press or release
    // waits in order for a frame that has not yet seen a change of that button.
    bool handleEvent(const SDL_Event& event);

    UiContext* ui() { return ui_.get(); }
    DialogRunner dialogRunner;

    // Seconds since the first frame and the last frame's step; both 0 on the first frame.
    double time() const { return time_; }
    float dt() const { return dt_; }

private:
    SDL_Window* window_ = nullptr;
    void* glContext_ = nullptr;
    std::unique_ptr<UiContext> ui_;
    std::unique_ptr<ImGuiRenderer> renderer_;
    bool platformStarted_ = false;
    bool clockStarted_ = false;
    std::int64_t lastTickNs_ = 0;
    double time_ = 0.0;
    float dt_ = 0.0f;
    bool inFrame_ = false;
    // A dialog still open on the stack holds a copy: it must not touch a host that went away.
    std::shared_ptr<bool> alive_;
    std::unique_ptr<LayoutKeys> layoutKeys_;
    // The buttons' presses and releases the frames have yet to see. A press the window discards (while
    // a dialog runs) never gets here, and its release changes nothing.
    MouseButtonQueue mouseButtons_;
};

}  // namespace tarn::ui
