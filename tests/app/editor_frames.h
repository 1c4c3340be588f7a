// Headless frames of the editor for the app tests: a UI context drawn as the window host draws it,
// pointer and key input per frame, finding a widget by the text it shows, and a private preset folder.
#pragma once

#include "tests/storage/scratch_folder.h"
#include "tests/ui/drawn_text.h"
#include "tests/ui/widget_frames.h"
#include "ui/host/root_window.h"
#include "ui/imgui_compat.h"
#include "ui/ui_context.h"
#include "ui/view.h"

#include <imgui.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarn::testing {

using ui::testing::WidgetInput;

// Points the preset folders at a fresh scratch folder and keeps SDL away from any real sound
// device for the scope's life (the editor scans the user folder while it is built).
class AppEnvironment {
public:
    explicit AppEnvironment(const char* audioDriver = "nonexistent") {
        setenv("APPDATA", folder.path().c_str(), 1);
        setenv("SDL_AUDIODRIVER", audioDriver, 1);
        setenv("SDL_DISKAUDIOFILE", (folder.path() / "audio.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    std::string file(const std::string& name) const { return (folder.path() / name).string(); }
    ScratchFolder folder;
};

class EditorFrames {
public:
    explicit EditorFrames(ImVec2 displayIn = ImVec2(900.0f, 950.0f)) : display(displayIn) {}

    // One frame as the window host draws it: the root window around body(frame record). Keys map
    // onto KeysDown by their own number, as in the widget tests.
    template <class Body>
    void frameWith(const WidgetInput& input, Body&& body, float dt = 1.0f / 60.0f) {
        struct BodyView : ui::View {
            Body& body;
            explicit BodyView(Body& b) : body(b) {}
            void draw(const ui::FrameInfo& info) override { body(info); }
        } view(body);
        {
            const ui::ContextScope scope(ui);
            ui.refreshAtlas();
            ImGuiIO& io = ImGui::GetIO();
            for (int k = 0; k < ImGuiKey_COUNT; ++k) io.KeyMap[k] = k;
            for (bool& down : io.KeysDown) down = false;
            for (ImGuiKey k : input.keys) io.KeysDown[k] = true;
            ui::compat::addTypedText(input.typed);  // as the window host hands on typed text
            io.MouseDown[0] = input.left;
            io.MouseDown[1] = right;
            io.KeyShift = input.shift;
            io.MouseWheel = input.wheel;
            io.MousePos = input.mouse;
            io.DisplaySize = display;
            io.DeltaTime = dt;
            io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
            ImGui::NewFrame();
            ui::FrameInfo info;
            info.time = time;
            info.dt = dt;
            info.window = ui::Rect{0.0f, 0.0f, display.x, display.y};
            info.displayScale = ui.displayScale;
            info.windowControls = controls;
            ui::drawRoot(view, info, true);
            ImGui::Render();
        }
        time += dt;
    }
    void frame(ui::View& view, const WidgetInput& input = {}, float dt = 1.0f / 60.0f) {
        frameWith(
            input, [&](const ui::FrameInfo& info) { view.draw(info); }, dt);
    }
    // Hovers, presses and releases the left button at p, then draws one more frame to show the outcome.
    void click(ui::View& view, ImVec2 p) {
        frame(view, ui::testing::pointer(p.x, p.y));
        frame(view, ui::testing::pointer(p.x, p.y, true));
        frame(view, ui::testing::pointer(p.x, p.y));
        frame(view, ui::testing::pointer(p.x, p.y));
    }

    // The texts the last frame drew, as drawnTexts reads them, and a text as such a run holds it.
    using TextRun = ui::testing::DrawnText;
    std::vector<TextRun> textRuns() const { return ui::testing::drawnTexts(ui); }
    static std::u32string runText(std::string_view text) { return ui::testing::drawnForm(text); }
    // The box of a text in the last frame that reads exactly `text`, as findDrawnText finds it.
    std::optional<ui::Rect> findText(std::string_view text, int occurrence = 0) const {
        return ui::testing::findDrawnText(ui, text, occurrence);
    }
    // Clicks the middle of a text found as findText finds it; false when there is none.
    bool clickText(ui::View& view, std::string_view text, int occurrence = 0) {
        const std::optional<ui::Rect> at = findText(text, occurrence);
        if (at) click(view, centre(*at));
        return at.has_value();
    }
    static ImVec2 centre(const ui::Rect& r) { return ImVec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f); }

    ui::UiContext ui;
    ImVec2 display;
    double time = 0.0;
    ui::WindowControls* controls = nullptr;
    bool right = false;  // the right mouse button, down in every frame while set

    std::vector<ui::testing::DrawnGlyph> drawnGlyphs() const { return ui::testing::drawnGlyphs(ui); }
};

// Asks `met` again every 2 ms until it holds or `seconds` pass, and says whether it held: the audio
// thread of a loaded machine runs late, so a test waits for what it needs, never for a fixed time.
template <class Met>
bool holdsWithin(Met&& met, double seconds = 30.0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!met()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace tarn::testing
