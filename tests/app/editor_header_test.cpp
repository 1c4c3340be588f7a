// The editor's header at every UI size and in windows 320 to 1400 px wide, narrower than the window's
// least size as a tiling window manager or a bare X server gives it: its pieces whole and apart, every
// text whole or cut with an ellipsis and never shrunk, and whatever is drawn reaching, under the
// pointer, the control that drew it.
#include "app/editor.h"
#include "tests/app/editor_frames.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

// Something the header drew inside a clip rectangle of its own: what it drew, and where it may draw.
struct Piece {
    ui::Rect clip;
    ui::Rect drawn;
};

// What the user sees and may click: a text, or an icon (a cluster of shapes in a text or icon colour).
struct Mark {
    std::u32string text;  // empty for an icon
    ImVec2 centre;
    int piece = -1;
    ui::Rect box;
};

bool inside(const ui::Rect& a, const ui::Rect& b, float slack) {
    return a.x >= b.x - slack && a.y >= b.y - slack && a.x + a.w <= b.x + b.w + slack && a.y + a.h <= b.y + b.h + slack;
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    const float w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
    const float h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
    return w > 0.5f && h > 0.5f;
}

// The i-th vertex of a command, in index order.
const ImDrawVert& vertex(const ImDrawList* list, const ImDrawCmd& cmd, unsigned int i) {
    return list->VtxBuffer[static_cast<int>(cmd.VtxOffset + list->IdxBuffer[static_cast<int>(cmd.IdxOffset + i)])];
}

// Boxes (min x, min y, max x, max y) merged while any two are less than `near` apart.
std::vector<ImVec4> mergeNear(std::vector<ImVec4> boxes, float near) {
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < boxes.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < boxes.size() && !merged; ++j) {
                const ImVec4 a = boxes[i], b = boxes[j];
                if (a.x - b.z > near || b.x - a.z > near || a.y - b.w > near || b.y - a.w > near) continue;
                boxes[i] = ImVec4(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.z, b.z), std::max(a.w, b.w));
                boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(j));
                merged = true;
            }
        }
    }
    return boxes;
}

ImU32 packed(uint32_t argb) { return (argb & 0xFF00FF00u) | ((argb & 0x00FF0000u) >> 16) | ((argb & 0xFFu) << 16); }

// The header's pieces and its icons in the last frame: every draw command whose clip rectangle lies in
// the header band, with the bounds of what it drew visibly (the transparent edges of anti-aliased
// shapes left out).
struct HeaderPicture {
    std::vector<Piece> pieces;
    std::vector<Mark> icons;
};

HeaderPicture readHeader(const EditorFrames& frames, const ui::Rect& band, float s) {
    const ui::ContextScope scope(frames.ui);
    // Icons are drawn as shapes, text as glyphs: a vertex at a glyph's texture corner is a glyph's.
    std::set<std::pair<float, float>> glyphCorners;
    for (const ImFont* font : ImGui::GetIO().Fonts->Fonts)
        for (const ImFontGlyph& g : font->Glyphs)
            for (const auto& corner : {std::pair{g.U0, g.V0}, {g.U1, g.V0}, {g.U0, g.V1}, {g.U1, g.V1}})
                glyphCorners.insert(corner);
    const std::set<ImU32> iconColours = {packed(0xFFF0EED8), packed(0xFF8A8870), packed(0xFF8DC63F)};
    HeaderPicture out;
    const ImDrawData* data = ImGui::GetDrawData();
    for (int l = 0; data != nullptr && l < data->CmdListsCount; ++l) {
        const ImDrawList* list = data->CmdLists[l];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            const ui::Rect clip{cmd.ClipRect.x, cmd.ClipRect.y, cmd.ClipRect.z - cmd.ClipRect.x,
                                cmd.ClipRect.w - cmd.ClipRect.y};
            if (cmd.UserCallback != nullptr || cmd.ElemCount == 0 || !inside(clip, band, 0.5f + s)) continue;
            ImVec4 box(FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX);
            std::vector<ImVec4> triangles;  // the boxes of the icon-coloured triangles
            for (unsigned int i = 0; i < cmd.ElemCount; ++i) {
                const ImDrawVert& v = vertex(list, cmd, i);
                if ((v.col >> IM_COL32_A_SHIFT) == 0) continue;
                box = ImVec4(std::min(box.x, v.pos.x), std::min(box.y, v.pos.y), std::max(box.z, v.pos.x),
                             std::max(box.w, v.pos.y));
            }
            for (unsigned int i = 0; i + 2 < cmd.ElemCount; i += 3) {
                ImVec4 t(FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX);
                bool icon = true, glyph = true, opaque = false;
                for (unsigned int k = i; k < i + 3; ++k) {
                    const ImDrawVert& v = vertex(list, cmd, k);
                    // A shape's anti-aliased edge has its colour with no alpha.
                    icon = icon && iconColours.count(v.col | (0xFFu << IM_COL32_A_SHIFT)) != 0;
                    glyph = glyph && glyphCorners.count({v.uv.x, v.uv.y}) != 0;
                    opaque = opaque || (v.col >> IM_COL32_A_SHIFT) == 0xFF;
                    t = ImVec4(std::min(t.x, v.pos.x), std::min(t.y, v.pos.y), std::max(t.z, v.pos.x),
                               std::max(t.w, v.pos.y));
                }
                if (icon && !glyph && opaque) triangles.push_back(t);
            }
            if (box.x > box.z) continue;
            const int piece = static_cast<int>(out.pieces.size());
            out.pieces.push_back({clip, ui::Rect{box.x, box.y, box.z - box.x, box.w - box.y}});
            // Shapes less than 6 px apart belong to one icon (the menu icon's three lines among them).
            for (const ImVec4& t : mergeNear(triangles, 6.0f * s))
                out.icons.push_back({{}, ImVec2((t.x + t.z) * 0.5f, (t.y + t.w) * 0.5f), piece, {}});
        }
    }
    return out;
}

// The header's controls by the id each answers to under the pointer.
std::map<ImGuiID, std::string> controlIds() {
    std::map<ImGuiID, std::string> ids;
    ImGui::PushID("tarn.header");
    ids[ImGui::GetID("status")] = "status";
    for (const char* caption : {"min", "max", "close"})
        ids[ImGui::GetID(("##tarn.caption." + std::string(caption)).c_str())] = caption;
    ImGui::PushID("menu");
    ids[ImGui::GetID("button")] = "menu";
    ImGui::PopID();
    ImGui::PushID("preset");
    for (const char* button : {"name", "previous", "next", "save"}) ids[ImGui::GetID(button)] = button;
    ImGui::PopID();
    ImGui::PushID("pages");
    for (int k = 0; k < 4; ++k) {
        ImGui::PushID(k);
        ids[ImGui::GetID("page")] = "page " + std::to_string(k);
        ImGui::PopID();
    }
    ImGui::PopID();
    ImGui::PushID("transport");
    for (const char* button : {"rewind", "play"}) ids[ImGui::GetID(button)] = button;
    ImGui::PushID("tempo");
    ids[ImGui::GetID("drag")] = "tempo";
    ImGui::PopID();
    ImGui::PopID();
    ImGui::PopID();
    ImGui::PushID("notes");
    for (int k = 0; k < 2; ++k) {
        ImGui::PushID(k);
        ids[ImGui::GetID("segment")] = "line " + std::to_string(k);
        ImGui::PopID();
    }
    ImGui::PopID();
    return ids;
}

// What a text in the header may read, whole or cut: the controls it belongs to (empty: none).
struct KnownText {
    std::string text;
    std::set<std::string> controls;
};

// Whether a run reads the text whole, or a start of it (one character at least) and the ellipsis.
bool wholeOrCut(const std::u32string& run, const std::u32string& text) {
    if (run == text) return true;
    return run.size() >= 2 && run.back() == U'\u2026' && text.compare(0, run.size() - 1, run, 0, run.size() - 1) == 0 &&
           run.size() - 1 < text.size();
}

std::string utf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        char buffer[8] = {};
        ImTextCharToUtf8(buffer, static_cast<unsigned int>(c));
        out += buffer;
    }
    return out;
}

// The editor at every UI size, in windows from 1400 px down to 320 px wide in 40 px steps: check(frames,
// editor, the header's band, the texts it may show, what to call a failure) after each first frame.
struct HeaderSweep {
    float scale = 1.0f;
    Editor& editor;
    EditorFrames& frames;
    std::map<ImGuiID, std::string> controls;  // by id
    std::vector<KnownText> texts;

    // The text a run reads whole or cut, if any.
    const KnownText* known(const std::u32string& run) const {
        for (const KnownText& k : texts)
            if (wholeOrCut(run, EditorFrames::runText(k.text))) return &k;
        return nullptr;
    }
};

template <class Check>
void sweepHeader(Check&& check) {
    const AppEnvironment env;
    ui::testing::CountingWindow window;
    for (const float s : {1.0f, 1.25f, 1.5f, 2.0f}) {
        Editor editor(1);
        EditorFrames frames(ImVec2(1400.0f, 700.0f));
        frames.controls = &window;
        ui::setDisplayScale(frames.ui, s);
        HeaderSweep sweep{s, editor, frames, {}, {}};
        frames.frameWith({}, [&](const ui::FrameInfo& info) {
            editor.draw(info);
            sweep.controls = controlIds();
        });
        sweep.texts = {{"TARNLODE", {"menu"}},
                       {"Patch", {""}},
                       {editor.presets.entries.at(editor.presetIndex).name, {"name"}},
                       {"No audio", {"status", ""}},
                       {editor.status, {"status", ""}},
                       {"Arc", {"page 0"}},
                       {"Motion", {"page 1"}},
                       {"Spectrum", {"page 2"}},
                       {"Pattern", {"page 3", "line 1"}},
                       {"Demo line", {"line 0"}},
                       {"BPM", {"tempo"}},
                       {"120", {"tempo"}},
                       {"1.1.1", {""}}};
        for (float width = 1400.0f; width >= 320.0f; width -= 40.0f) {
            frames.display = ImVec2(width, 700.0f);
            frames.frame(editor);
            // The header: the content area's top rows, down to the gap above the canvas (the window's border
            // is 25 px).
            const ui::Rect band{25.0f * s, 25.0f * s, std::max(width - 50.0f * s, 0.0f),
                                editor.canvasRect.y - 35.0f * s};
            check(sweep, band,
                  std::to_string(static_cast<int>(s * 100)) + " % at " + std::to_string(static_cast<int>(width)) +
                      " px: ");
        }
    }
}

// The text runs drawn in the band, each with the piece whose clip rectangle holds it (-1: none).
std::vector<Mark> textMarks(const EditorFrames& frames, const HeaderPicture& picture, const ui::Rect& band) {
    std::vector<Mark> marks;
    for (const EditorFrames::TextRun& run : frames.textRuns()) {
        const ImVec2 c = EditorFrames::centre(run.box);
        if (!inside(ui::Rect{c.x, c.y, 0.0f, 0.0f}, band, 0.0f)) continue;
        Mark mark{run.text, c, -1, run.box};
        for (std::size_t i = 0; i < picture.pieces.size(); ++i)
            if (inside(run.box, picture.pieces[i].clip, 1.0f)) mark.piece = static_cast<int>(i);
        marks.push_back(mark);
    }
    return marks;
}

TEST(EditorHeader, PiecesStayWholeAndApartAndTheirTextsWholeOrCutNeverShrunk) {
    std::map<std::pair<float, std::u32string>, float> heightAtWidest;
    sweepHeader([&](const HeaderSweep& sweep, const ui::Rect& band, const std::string& where) {
        const float s = sweep.scale;
        const HeaderPicture picture = readHeader(sweep.frames, band, s);
        for (std::size_t i = 0; i < picture.pieces.size(); ++i) {
            const Piece& p = picture.pieces[i];
            EXPECT_TRUE(inside(p.drawn, p.clip, 0.5f))
                << where << "a piece cut at its edge: drawn from x " << p.drawn.x << " to " << p.drawn.x + p.drawn.w
                << ", its rectangle from " << p.clip.x << " to " << p.clip.x + p.clip.w;
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(overlap(p.drawn, picture.pieces[j].drawn))
                    << where << "pieces overlap at x " << p.drawn.x << " and " << picture.pieces[j].drawn.x;
        }
        for (const Mark& mark : textMarks(sweep.frames, picture, band)) {
            EXPECT_GE(mark.piece, 0) << where << utf8(mark.text) << " drawn outside every piece";
            EXPECT_NE(sweep.known(mark.text), nullptr)
                << where << utf8(mark.text) << " is neither whole nor cut with an ellipsis";
            const auto [height, first] = heightAtWidest.emplace(std::pair{s, mark.text}, mark.box.h);
            EXPECT_NEAR(mark.box.h, height->second, 0.5f) << where << utf8(mark.text) << " drawn smaller";
        }
    });
}

TEST(EditorHeader, WhatIsDrawnIsWhatThePointerReachesAndAWiderWindowShowsNoLess) {
    const std::set<std::string> iconControls = {"menu",   "name", "previous", "next", "save",
                                                "rewind", "play", "min",      "max",  "close"};
    std::map<float, std::set<std::string>> shownWider;
    sweepHeader([&](HeaderSweep& sweep, const ui::Rect& band, const std::string& where) {
        const HeaderPicture picture = readHeader(sweep.frames, band, sweep.scale);
        std::vector<Mark> marks = picture.icons;
        for (const Mark& mark : textMarks(sweep.frames, picture, band)) marks.push_back(mark);
        std::map<std::string, int> pieceOf;
        std::set<std::string> iconReached, shown;
        for (const Mark& mark : marks) {
            sweep.frames.frame(sweep.editor, ui::testing::pointer(mark.centre.x, mark.centre.y));
            ImGuiID hovered = 0;
            {
                const ui::ContextScope scope(sweep.frames.ui);
                hovered = GImGui->HoveredId;
            }
            const std::string control = hovered == 0                         ? ""
                                        : sweep.controls.count(hovered) != 0 ? sweep.controls[hovered]
                                                                             : "something else";
            if (mark.text.empty()) {
                EXPECT_EQ(iconControls.count(control), 1u)
                    << where << "the icon at x " << mark.centre.x << " reaches " << control;
                // The modified dot belongs to the name.
                EXPECT_TRUE(iconReached.insert(control).second || control == "name")
                    << where << "two icons reach " << control;
            } else if (const KnownText* text = sweep.known(mark.text)) {
                EXPECT_EQ(text->controls.count(control), 1u) << where << utf8(mark.text) << " reaches " << control;
            }
            if (control.empty()) continue;
            const auto [piece, first] = pieceOf.emplace(control, mark.piece);
            EXPECT_EQ(piece->second, mark.piece) << where << control << " is reached from two pieces";
            if (control == "status") continue;  // its tooltip comes and goes with the cut
            shown.insert(control);
            // Pressed there, the control holds the press (let go beside the window: nothing is clicked).
            sweep.frames.frame(sweep.editor, ui::testing::pointer(mark.centre.x, mark.centre.y, true));
            const ui::ContextScope scope(sweep.frames.ui);
            EXPECT_EQ(GImGui->ActiveId, hovered) << where << control << " does not take a press";
            sweep.frames.frame(sweep.editor, ui::testing::pointer(-1.0f, mark.centre.y, true));
            sweep.frames.frame(sweep.editor, ui::testing::pointer(-1.0f, mark.centre.y));
        }
        // From the least width the window allows on, every control of the header and the transport is there.
        if (band.w >= 430.0f * sweep.scale) {
            EXPECT_EQ(shown.size(), sweep.controls.size() - 1) << where << "controls left out";
        }
        const auto wider = shownWider.find(sweep.scale);
        for (const std::string& control : shown)
            EXPECT_TRUE(wider == shownWider.end() || wider->second.count(control) == 1)
                << where << control << " shown, but not in a wider window";
        shownWider[sweep.scale] = shown;
    });
}

// A long preset name, of letters or of emoji, is cut short with an ellipsis before the status line gives
// way: in a window of the program's own width a message beside it shows whole.
TEST(EditorHeader, ALongPresetNameIsCutShortAndTheStatusLineKeepsItsRoom) {
    const AppEnvironment env;
    ui::testing::CountingWindow window;
    std::string words, emoji;
    while (words.size() < 300) words += "zq7lll ";
    for (int i = 0; i < 62; ++i) emoji += "\xF0\x9F\x98\x80";
    const std::string status = "Could not write bass.json: the disk is full";
    for (const float s : {1.0f, 1.5f, 2.0f}) {
        for (const std::string& name : {words, emoji}) {
            Editor editor(1);
            editor.presets.entries.at(editor.presetIndex).name = name;
            editor.status = status;
            EditorFrames frames(ImVec2(900.0f * s, 512.0f * s));
            frames.controls = &window;
            ui::setDisplayScale(frames.ui, s);
            frames.frame(editor);
            frames.frame(editor);
            const std::u32string whole = EditorFrames::runText(name);
            bool cut = false;
            for (const EditorFrames::TextRun& run : frames.textRuns()) {
                const std::u32string start = run.text.substr(0, run.text.size() - 1);
                cut |= run.text.size() > 1 && run.text.back() == U'\u2026' &&
                       (whole.rfind(start, 0) == 0 || start.find_first_not_of(U'\uFFFD') == std::u32string::npos);
            }
            const std::string where = name.substr(0, 4) + " at " + std::to_string(s) + ": ";
            EXPECT_TRUE(cut) << where << "the name cut with an ellipsis";
            EXPECT_TRUE(frames.findText(status).has_value()) << where << "the status cut or left out";
        }
    }
}

}  // namespace
}  // namespace tarn
