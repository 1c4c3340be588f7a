// Headless frames of the editor for the app tests: a UI context drawn as the window host draws it,
// pointer and key input per frame, finding a widget by the text it shows, and a private preset folder.
#pragma once

#include "tests/storage/scratch_folder.h"
#include "tests/ui/widget_frames.h"
#include "ui/host/root_window.h"
#include "ui/ui_context.h"
#include "ui/view.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
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

// One glyph the last frame drew, and where.
struct DrawnGlyph {
    unsigned int codepoint = 0;
    ImVec2 min, max;
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
            for (char c : input.typed) io.AddInputCharacter(static_cast<unsigned char>(c));
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

    // A text the last frame drew: a run of glyphs drawn one after another on one line, less than 8 px
    // apart (blanks are not drawn, so they are not in the run).
    struct TextRun {
        std::u32string text;
        ui::Rect box;
    };
    std::vector<TextRun> textRuns() const {
        std::vector<TextRun> runs;
        const std::vector<DrawnGlyph> g = drawnGlyphs();
        for (std::size_t first = 0, end = 0; first < g.size(); first = end) {
            std::u32string run(1, static_cast<char32_t>(g[first].codepoint));
            ImVec4 box(g[first].min.x, g[first].min.y, g[first].max.x, g[first].max.y);
            for (end = first + 1; end < g.size() && g[end].min.x >= g[end - 1].min.x &&
                                  g[end].min.x - g[end - 1].max.x < 8.0f * ui.displayScale &&
                                  g[end].min.y < g[end - 1].max.y && g[end].max.y > g[end - 1].min.y;
                 ++end) {
                run += static_cast<char32_t>(g[end].codepoint);
                box = ImVec4(box.x, std::min(box.y, g[end].min.y), g[end].max.x, std::max(box.w, g[end].max.y));
            }
            runs.push_back({run, ui::Rect{box.x, box.y, box.z - box.x, box.w - box.y}});
        }
        return runs;
    }
    // The text as a run holds it: its characters without the blanks.
    static std::u32string runText(std::string_view text) {
        std::u32string out;
        for (const char* p = text.data(); p < text.data() + text.size();) {
            unsigned int c = 0;
            p += ImTextCharFromUtf8(&c, p, text.data() + text.size());
            if (c != ' ') out += static_cast<char32_t>(c);
        }
        return out;
    }
    // The box of a text in the last frame that reads exactly `text`, the first one drawn or a later one.
    std::optional<ui::Rect> findText(std::string_view text, int occurrence = 0) const {
        const std::u32string wanted = runText(text);
        for (const TextRun& run : textRuns())
            if (run.text == wanted && occurrence-- == 0) return run.box;
        return std::nullopt;
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

    // The last frame's glyphs in drawing order: quads of four vertices whose texture corners are a
    // glyph's, in any baked face.
    std::vector<DrawnGlyph> drawnGlyphs() const {
        const ui::ContextScope scope(ui);
        using Corners = std::tuple<float, float, float, float>;
        std::map<Corners, unsigned int> byCorners;
        for (const ImFont* font : ImGui::GetIO().Fonts->Fonts)
            for (const ImFontGlyph& g : font->Glyphs)
                if (g.Visible) byCorners[{g.U0, g.V0, g.U1, g.V1}] = g.Codepoint;
        std::vector<DrawnGlyph> glyphs;
        const ImDrawData* data = ImGui::GetDrawData();
        for (int l = 0; data != nullptr && l < data->CmdListsCount; ++l) {
            const ImVector<ImDrawVert>& v = data->CmdLists[l]->VtxBuffer;
            for (int i = 0; i + 3 < v.Size; ++i) {
                const auto found = byCorners.find({v[i].uv.x, v[i].uv.y, v[i + 2].uv.x, v[i + 2].uv.y});
                if (found == byCorners.end() || v[i + 1].uv.x != v[i + 2].uv.x || v[i + 3].uv.x != v[i].uv.x) continue;
                glyphs.push_back({found->second, v[i].pos, v[i + 2].pos});
                i += 3;
            }
        }
        return glyphs;
    }
};

}  // namespace tarn::testing
