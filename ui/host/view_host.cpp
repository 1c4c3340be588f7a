// Binds an SDL window to everything one view needs to be drawn: GL context, UI context, backends.
#include "ui/host/view_host.h"

#include "ui/host/additive_blend.h"
#include "ui/host/clear_color.h"
#include "ui/host/imgui_renderer.h"
#include "ui/host/layout_keys.h"
#include "ui/host/root_window.h"
#include "ui/imgui_compat.h"
#include "ui/ui_context.h"

#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <algorithm>
#include <dlfcn.h>
#include <chrono>
#include <cstdio>
#include <utility>

namespace tarn::ui {
namespace {

struct FrameGuard {
    bool& flag;
    explicit FrameGuard(bool& f) : flag(f) { flag = true; }
    ~FrameGuard() { flag = false; }
};

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ViewHost::ViewHost() : alive_(std::make_shared<bool>(true)), layoutKeys_(std::make_unique<LayoutKeys>()) {}

ViewHost::~ViewHost() {
    *alive_ = false;
    detach();
}

bool ViewHost::attach(SDL_Window* window, float displayScale) {
    // SDL loads and unloads the GL library with each video session; pinning both GL entry
    // libraries keeps the drivers they load mapped for the process's life, which makes a
    // second window cheaper and keeps leak reports at exit attributable.
    static void* const pinnedGl = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    static void* const pinnedEgl = dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    (void)pinnedGl;
    (void)pinnedEgl;
    detach();
    window_ = window;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    glContext_ = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!glContext_) {
        if (window) std::fprintf(stderr, "tarn-ui: SDL_GL_CreateContext failed: %s\n", SDL_GetError());
        detach();
        return false;
    }
    try {
        ui_ = std::make_unique<UiContext>();
        ContextScope scope(*ui_);
        if (!ImGui_ImplSDL2_InitForOpenGL(window, glContext_)) {
            detach();
            return false;
        }
        platformStarted_ = true;
        renderer_ = std::make_unique<ImGuiRenderer>();
        setDisplayScale(*ui_, displayScale);
        ui_->lightHook = additiveBlendHook();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        detach();
        return false;
    }
    return true;
}

void ViewHost::detach() {
    if (ui_) {
        ContextScope scope(*ui_);
        if (glContext_) SDL_GL_MakeCurrent(window_, glContext_);
        renderer_.reset();
        if (platformStarted_) ImGui_ImplSDL2_Shutdown();
        platformStarted_ = false;
    }
    ui_.reset();
    if (glContext_) SDL_GL_DeleteContext(glContext_);
    glContext_ = nullptr;
    window_ = nullptr;
    clockStarted_ = false;
    time_ = 0.0;
    dt_ = 0.0f;
}

FrameResult ViewHost::frame(View& view, WindowControls* controls, bool framed, bool vsync) {
    if (!ui_ || !renderer_ || inFrame_) return FrameResult::refused;
    FrameGuard guard(inFrame_);
    ContextScope scope(*ui_);
    SDL_GL_MakeCurrent(window_, glContext_);

    const std::int64_t now = steadyNs();
    if (clockStarted_) {
        dt_ = static_cast<float>(static_cast<double>(now - lastTickNs_) / 1e9);
        time_ += static_cast<double>(dt_);
    }
    clockStarted_ = true;
    lastTickNs_ = now;

    renderer_->beforeFrame(*ui_);
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    // The backend reads the pointer from SDL's global state, which SDL refreshes on XInput raw
    // motion only; a pointer moved through XTEST (remote desktops, input tools) sends none. The
    // window's own pointer position is current whenever the pointer is over the window.
    if (SDL_GetMouseFocus() == window_) {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        io.MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    }
    // Dear ImGui refuses a zero step; the view still sees the host's own delta.
    if (!(io.DeltaTime > 0.0f)) io.DeltaTime = 1e-6f;
    // The buttons come from the queue, not from SDL's state as the backend reads them.
    const MouseButtonQueue::Frame buttons = mouseButtons_.nextFrame();
    for (int button = 0; button < MouseButtonQueue::kButtons; ++button) {
        compat::setMouseButton(button, buttons.down[button], buttons.pressGap[button]);
    }
    ImGui::NewFrame();

    FrameInfo info;
    info.time = time_;
    info.dt = dt_;
    info.window = Rect{0.0f, 0.0f, std::max(io.DisplaySize.x, 0.0f), std::max(io.DisplaySize.y, 0.0f)};
    info.displayScale = ui_->displayScale;
    info.windowControls = controls;
    drawRoot(view, info, framed);
    ImGui::Render();

    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClearColor(kClearColor[0], kClearColor[1], kClearColor[2], kClearColor[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    renderer_->render(ImGui::GetDrawData());
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    SDL_GL_SwapWindow(window_);
    const std::uint32_t flags = SDL_GetWindowFlags(window_);
    return (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) ? FrameResult::occluded : FrameResult::presented;
}

void ViewHost::runPendingDialog() {
    if (!ui_) return;
    std::optional<FileDialogRequest> request;
    {
        ContextScope scope(*ui_);
        request = takePendingFileDialog();
    }
    if (!request) return;
    const std::shared_ptr<bool> alive = alive_;
    FileDialogResult result;
    result.status = FileDialogResult::failed;
    if (dialogRunner) result = dialogRunner(*request);
    if (!*alive || !ui_) return;  // the host went away while the dialog was open: the answer is dropped
    ContextScope scope(*ui_);
    deliverFileDialogResult(request->requester, std::move(result));
}

FrameResult ViewHost::frameAndDialogs(View& view, WindowControls* controls, bool framed, bool vsync) {
    const FrameResult result = frame(view, controls, framed, vsync);
    // Frames drawn while a dialog runs (from the dialog's own loop) only draw.
    if (!inFrame_ && ui_ && !ui_->dialogRunning) runPendingDialog();
    return result;
}

bool ViewHost::handleEvent(const SDL_Event& event) {
    if (!ui_) return false;
    ContextScope scope(*ui_);
    // The backend keeps key states by the key's place; shortcuts are letters, wherever the layout puts them.
    const SDL_Event renamed = layoutKeys_->rename(event);
    // The backend would add typed text as 1.86 reads it, 16 bits a character.
    if (event.type == SDL_TEXTINPUT) {
        compat::addTypedText(event.text.text);
    } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        const int button = event.button.button == SDL_BUTTON_LEFT     ? 0
                           : event.button.button == SDL_BUTTON_RIGHT  ? 1
                           : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                      : -1;
        mouseButtons_.push(button, event.type == SDL_MOUSEBUTTONDOWN, event.button.timestamp);
    } else {
        ImGui_ImplSDL2_ProcessEvent(&renamed);
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        // By the time an event is handled SDL's own state may be past it: a chord typed quickly
        // has let go of Ctrl before its S is handled.
        const Uint16 mod = event.key.keysym.mod;
        compat::setKeyModifiers({(mod & KMOD_CTRL) != 0, (mod & KMOD_SHIFT) != 0, (mod & KMOD_ALT) != 0,
                                 (mod & KMOD_GUI) != 0});
    }
    const ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
            return io.WantCaptureKeyboard;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
        case SDL_MOUSEMOTION:
            return io.WantCaptureMouse;
        default:
            return false;
    }
}

}  // namespace tarn::ui
