// The header bar over simulated frames, with a model like the editor's: keys, file dialogs through the
// UI context's queue, the discard confirmation, menus, the status line, layout and clicks.
#include "ui/header_bar.h"

#include "tests/ui/frame_input.h"
#include "tests/ui/widget_frames.h"
#include "ui/key_commands.h"
#include "ui/popup.h"
#include "ui/text.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

namespace key = testing::scancode;
using testing::FrameInput;
using testing::pointerAt;
using testing::pressing;

// An editor-like header at (0, 0, 900, 80): a kind-1 "Patch" document, four application commands,
// four pages, a reserved area and a transport with rewind, position and Space.
struct HeaderRig {
    UiContext ui;
    testing::CountingWindow window;
    bool windowed = true;
    float bpm = 0.5f;
    FloatParam tempo{&bpm, FloatParamSpec{}, FloatParamHooks{}};
    const std::string_view pages[4] = {"Arc", "Motion", "Spectrum", "Pattern"};
    const std::vector<NamedList> session{{"tarnlode session", {"json"}}};
    const MenuCommand commands[4] = {
        {0, MenuItem("Open session...", 4, false, true, ""), 1, session, true},
        {3, MenuItem("Save session...", 3, false, true, ""), 2, session, false},
        {3, MenuItem("Export MIDI...", 1, false, true, ""), 2, {{"MIDI file", {"mid"}}}, false},
        {3, MenuItem("Export WAV...", 2, false, true, ""), 2, {{"WAV audio", {"wav"}}}, false}};
    HeaderModel model;
    Rect rect{0, 0, 900, 80};
    ImVec2 display{1000, 700};

    HeaderRig() {
        model.appName = "tarnlode";
        model.version = "0.1.3";
        model.document = HeaderDocument{1, "Patch", "Acid Line", "", false, true, true, true, true, {}, ""};
        model.status.text = "Ready";
        model.pages = pages;
        TransportOptions options;
        options.showRewind = options.showPosition = options.spaceTogglesPlay = true;
        model.transport = HeaderTransport{TransportState{}, &tempo, options};
        model.reserveArea = true;
        model.commands = commands;
        model.uiScale = 1.0f;
    }
    // A file document: kind 0, with a path and a json filter.
    void fileDocument(std::string_view path, std::string_view name = "song") {
        model.document = HeaderDocument{0, "Song", name, path, false, false, false, true, false, session, "/home"};
    }
    // One frame; `after` runs in it after the header.
    HeaderResult frame(const FrameInput& in, const std::function<void(ImDrawList*)>& after = {}) {
        HeaderResult result;
        FrameInfo info;
        info.windowControls = windowed ? &window : nullptr;
        const auto body = [&](ImDrawList* list) {
            result = header(info, rect, model);
            if (after) after(list);
        };
        testing::runFrame(ui, in, body, display);
        return result;
    }
    std::vector<HeaderResult> frames(const std::vector<FrameInput>& inputs) {
        std::vector<HeaderResult> out;
        for (const FrameInput& in : inputs) out.push_back(frame(in));
        return out;
    }
    std::optional<FileDialogRequest> pending() {
        ContextScope scope(ui);
        return ui.pendingDialog;
    }
    // The host's side: takes the request and answers it.
    void answer(int32_t status, std::vector<std::string> paths) {
        ContextScope scope(ui);
        const std::optional<FileDialogRequest> request = takePendingFileDialog();
        ASSERT_TRUE(request.has_value());
        deliverFileDialogResult(request->requester, FileDialogResult{status, std::move(paths)});
    }
    // Whether the popup named last in `path` (the IDs the header pushes before it) is open.
    bool popupOpen(std::initializer_list<const char*> path) {
        bool open = false;
        frame(FrameInput{}, [&](ImDrawList*) {
            for (auto id = path.begin(); id + 1 != path.end(); ++id) ImGui::PushID(*id);
            open = ImGui::IsPopupOpen(*(path.end() - 1));
            for (size_t i = 1; i < path.size(); ++i) ImGui::PopID();
        });
        return open;
    }
    // Opens the menu and clicks the item labelled so, found by hovering down the open popup as far as
    // the window reaches, and scrolling the popup a notch further with the wheel after each pass.
    void chooseFromMenu(const char* label) {
        frames(testing::clickAt(40, 18));
        ContextScope scope(ui);
        ASSERT_FALSE(GImGui->OpenPopupStack.empty());
        const ImGuiWindow* popup = GImGui->OpenPopupStack.back().Window;
        const ImGuiID item = ImHashStr(label, 0, popup->ID);
        const ImVec2 at = popup->Pos;
        for (int notch = 0; notch < 20; ++notch) {
            for (float y = at.y; y < std::min(at.y + popup->Size.y, display.y); y += 3) {
                frame(pointerAt(at.x + 30, y));
                if (GImGui->HoveredId != item) continue;
                frames({pointerAt(at.x + 30, y, true), pointerAt(at.x + 30, y)});
                return;
            }
            FrameInput wheel = pointerAt(at.x + 30, at.y + 20);
            wheel.wheel = -1.0f;
            frame(wheel);
        }
        FAIL() << label << " not in the menu";
    }
};

TEST(HeaderBar, KeysActOnlyWhenTheyApplyAndWithAWindow) {
    // with window controls, can undo, keys: the action, the path to save to, and whether the command
    // is still there for a poll after the header
    using Case = std::tuple<bool, bool, FrameInput, std::optional<HeaderAction>, std::optional<std::string>, bool>;
    // clang-format off
    const Case cases[] = {
        {true, true, pressing({key::s}, true), std::nullopt, "/music/song.json", false},
        {true, true, pressing({key::z}, true), HeaderAction::Undo, std::nullopt, false},
        {true, false, pressing({key::z}, true), std::nullopt, std::nullopt, true},
        {true, true, pressing({key::z}, true, true), std::nullopt, std::nullopt, true},  // nothing to redo
        {true, true, pressing({key::c}, true), std::nullopt, std::nullopt, true},
        {false, true, pressing({key::s}, true), std::nullopt, std::nullopt, true},
        {false, true, pressing({key::z}, true), std::nullopt, std::nullopt, true}};
    // clang-format on
    for (const auto& [windowed, canUndo, keys, action, saveAsPath, leftForLater] : cases) {
        HeaderRig rig;
        rig.windowed = windowed;
        rig.fileDocument("/music/song.json");
        rig.model.undoRedo = HeaderUndoRedo{canUndo, false, "", ""};
        rig.frame(FrameInput{});
        bool left = false;
        const HeaderResult r = rig.frame(keys, [&](ImDrawList*) { left = pollKeyCommand().has_value(); });
        EXPECT_EQ(std::tie(r.action, r.saveAsPath, left), std::tie(action, saveAsPath, leftForLater))
            << windowed << canUndo;
        EXPECT_FALSE(rig.pending().has_value()) << "no dialog";
    }
}

TEST(HeaderBar, OpenDialogRoundTripThroughTheQueue) {
    HeaderRig rig;
    rig.fileDocument("/music/song.json");
    rig.frame(FrameInput{});
    // Chosen, then cancelled, failed and chosen without a path: only the first gives a path, in the
    // frame after the answer only, and the queue takes the next request each time.
    // clang-format off
    const std::pair<int32_t, std::vector<std::string>> answers[] = {{FileDialogResult::chosen, {"/music/b.json"}},
        {FileDialogResult::cancelled, {}}, {FileDialogResult::failed, {}}, {FileDialogResult::chosen, {}}};
    // clang-format on
    std::vector<std::optional<std::string>> opened;
    for (const auto& [status, paths] : answers) {
        rig.frame(pressing({key::o}, true));
        const std::optional<FileDialogRequest> request = rig.pending();
        ASSERT_TRUE(request.has_value());
        const FileDialogOptions& o = request->options;
        EXPECT_EQ(std::tie(o.kind, o.title, o.defaultFolder, o.multiSelect),
                  std::make_tuple(FileDialogKind::Open, "Open", "/music", false));
        EXPECT_EQ(o.filters.at(0).extensions, std::vector<std::string>{"json"});
        rig.answer(status, paths);
        for (const HeaderResult& r : rig.frames({FrameInput{}, FrameInput{}})) opened.push_back(r.openPath);
    }
    EXPECT_EQ(opened, (std::vector<std::optional<std::string>>{"/music/b.json", {}, {}, {}, {}, {}, {}, {}}));
}

TEST(HeaderBar, SaveAsProposesTheNameWithTheFirstFiltersExtension) {
    // name, with the json filter: proposed name
    // clang-format off
    const std::tuple<std::string_view, bool, const char*> cases[] = {
        {"song", true, "song.json"}, {"song.json", true, "song.json"}, {"", true, "Untitled.json"}, {"song", false, "song"}};
    // clang-format on
    for (const auto& [name, filtered, proposed] : cases) {
        HeaderRig rig;
        rig.fileDocument("", name);  // no path: Save is Save as
        if (!filtered) rig.model.document->filters.clear();
        rig.frames({FrameInput{}, pressing({key::s}, true)});
        const FileDialogOptions o = rig.pending().value().options;
        EXPECT_EQ(std::tie(o.kind, o.title, o.defaultName, o.defaultFolder),
                  std::make_tuple(FileDialogKind::Save, "Save as", proposed, "/home"));  // no path: the default folder
    }
}

TEST(HeaderBar, ACommandsFileComesBackWithItsOwnIdEvenAfterARefusedRequest) {
    HeaderRig rig;
    rig.chooseFromMenu("Export MIDI...");
    const FileDialogOptions o = rig.pending().value().options;
    EXPECT_EQ(std::tie(o.kind, o.title), std::make_tuple(FileDialogKind::Save, "Export MIDI..."));
    EXPECT_EQ(o.filters.at(0).extensions, std::vector<std::string>{"mid"});
    ContextScope scope(rig.ui);
    const ImGuiID running = takePendingFileDialog().value().requester;
    rig.chooseFromMenu("Export WAV...");  // refused: a dialog is running
    EXPECT_FALSE(rig.pending().has_value());
    deliverFileDialogResult(running, FileDialogResult{FileDialogResult::chosen, {"/music/line.mid"}});
    const std::optional<CommandFile> file = rig.frame(FrameInput{}).commandFile;
    EXPECT_EQ(std::make_pair(file.value().command, file.value().path),
              std::make_pair(1u, std::string("/music/line.mid")))
        << "Export MIDI, not WAV";
}

TEST(HeaderBar, DiscardingRequestsAskFirstOnAModifiedDocument) {
    // The document bar at x 4 + menu + 8 + label + 8; its next button sits 28 + 12 px left of its end.
    const auto nextButton = [](HeaderRig& rig) {
        const Rect d = rig.frame(FrameInput{}).documentArea;
        return pointerAt(d.x + d.w - 28 - 12, 18);
    };
    const FrameInput enter = pressing({key::enter}), escape = pressing({key::escape});
    // modified, then the frames after the click: the frame in which Next arrives, -1 for never
    const std::tuple<bool, std::vector<FrameInput>, int> cases[] = {
        {true, {FrameInput{}, enter, FrameInput{}, FrameInput{}}, 1},
        {true, {FrameInput{}, escape, FrameInput{}, enter, FrameInput{}}, -1},
        {false, {FrameInput{}}, -2},  // at once, in the click's frame
    };
    for (const auto& [modified, after, nextAt] : cases) {
        HeaderRig rig;
        rig.model.document->modified = modified;
        const FrameInput at = nextButton(rig);
        FrameInput press = at;
        press.left = true;
        const std::vector<HeaderResult> click = rig.frames({at, press, at});
        EXPECT_EQ(click[2].action.has_value(), nextAt == -2) << modified;
        std::vector<int> nexts;
        for (const HeaderResult& r : rig.frames(after)) nexts.push_back(r.action == HeaderAction::Next);
        std::vector<int> expected(after.size(), 0);
        if (nextAt >= 0) expected[static_cast<size_t>(nextAt)] = 1;
        EXPECT_EQ(nexts, expected) << modified;
    }
    // "Open session..." discards changes: asked for on a modified document even without confirmDiscard.
    for (const bool modified : {true, false}) {
        HeaderRig rig;
        rig.model.document->confirmDiscard = false;
        rig.model.document->modified = modified;
        rig.chooseFromMenu("Open session...");
        EXPECT_EQ(rig.pending().has_value(), !modified) << modified;
        EXPECT_EQ(rig.popupOpen({"tarn.header", "discard"}), modified) << modified;
    }
}

TEST(Menus, TheEditorsListAndItsChecks) {
    HeaderRig rig;
    std::vector<std::tuple<MenuItemKind, std::string, int32_t, std::string>> items;
    MenuInput input{"tarnlode", "0.1.3", "", {}, "Patch", false, false, false, 1.0f, false, true, rig.commands, {}};
    for (const MenuItem& m : standardMenus(input)) items.emplace_back(m.kind, m.label, m.command, m.shortcut);
    using K = MenuItemKind;
    // clang-format off
    const std::vector<std::tuple<MenuItemKind, std::string, int32_t, std::string>> expected = {
        {K::Heading, "Patch", 0, ""}, {K::Action, "New", -1, ""}, {K::Action, "Open...", -2, "Ctrl+O"},
        {K::Action, "Save", -3, "Ctrl+S"}, {K::Action, "Save As...", -4, ""}, {K::Action, "Open session...", 4, ""},
        {K::Separator, "", 0, ""}, {K::Heading, "View", 0, ""}, {K::Submenu, "UI size", 0, ""},
        {K::Separator, "", 0, ""}, {K::Heading, "tarnlode", 0, ""}, {K::Action, "Save session...", 3, ""},
        {K::Action, "Export MIDI...", 1, ""}, {K::Action, "Export WAV...", 2, ""},
        {K::Separator, "", 0, ""}, {K::Heading, "Help", 0, ""}, {K::Action, "About tarnlode", -10, ""}};
    // clang-format on
    EXPECT_EQ(items, expected);
    // UI sizes checked within 0.01; no keyboard, no shortcut texts; no document, no first section.
    // clang-format off
    const std::pair<float, std::vector<bool>> sizes[] = {
        {1.249f, {false, true, false, false}}, {1.3f, {false, false, false, false}}, {2.0f, {false, false, false, true}}};
    // clang-format on
    for (const auto& [scale, checked] : sizes) {
        input.uiScale = scale;
        std::vector<bool> got;
        const std::vector<MenuItem> list = standardMenus(input);
        for (const MenuItem& size : list[8].children) got.push_back(size.checked);
        EXPECT_EQ(got, checked) << scale;
    }
    input.keyboard = false;
    for (const MenuItem& m : standardMenus(input)) EXPECT_EQ(m.shortcut, "") << m.label;
    input.documentLabel = "";
    input.hasUndoRedo = true;
    input.commands = {};
    EXPECT_EQ(standardMenus(input)[0].label, "Edit");
}

TEST(Menus, HelpOpensTheShortcutsAndAboutBoxes) {
    // Help ends the menu, 256 pixels tall from 38 down: in reach in windows shorter than that too.
    for (const float height : {700.0f, 260.0f, 200.0f}) {
        for (const char* item : {"Keyboard shortcuts", "About tarnlode"}) {
            HeaderRig rig;
            rig.display.y = height;
            rig.chooseFromMenu(item);
            EXPECT_EQ(rig.popupOpen({"tarn.header", "menu", "shortcuts"}), item[0] == 'K') << item << " " << height;
            EXPECT_EQ(rig.popupOpen({"tarn.header", "menu", "about"}), item[0] == 'A') << item << " " << height;
        }
    }
}

TEST(StatusLine, ColourByLevelCutWithATooltip) {
    UiContext ui;
    const std::string longText(200, 'x');
    // text, detail, level, override text, width: colour and tooltip
    // clang-format off
    const std::tuple<std::string_view, std::string_view, uint32_t, std::string_view, float, uint32_t, std::string> cases[] = {
        {"Saved", "", 0, "", 300, 0xFF8A8870, ""}, {"Careful", "", 1, "", 300, 0xFFD0A828, ""},
        {"Saved", "", 0, "No audio", 300, 0xFFD0A828, "No audio detail"}, {"Failed", "why", 2, "", 300, 0xFFC84830, "why"},
        {longText, "why", 2, "", 100, 0xFFC84830, longText + "\nwhy"}, {longText, "", 0, "", 100, 0xFF8A8870, longText}};
    // clang-format on
    for (const auto& [text, detail, level, instead, width, colour, tip] : cases) {
        const StatusLine status{text, detail, level, instead, "No audio detail", 1, 2};
        std::string logged;
        bool coloured = false;
        for (int f = 0; f < 50; ++f) {  // past the tooltip delay
            testing::runFrame(ui, pointerAt(10, 10), [&](ImDrawList* list) {
                logged = testing::loggedText([&] { statusLine("status", Rect{0, 0, width, 20}, status); });
                coloured = testing::hasVertexColour(list, colour);
            });
        }
        EXPECT_TRUE(coloured) << text.substr(0, 10) << instead;
        EXPECT_EQ(logged, tip + "\n") << text.substr(0, 10) << instead;  // the log ends with a line break
        testing::runFrame(ui, FrameInput{}, [&](ImDrawList*) {
            EXPECT_FLOAT_EQ(statusWidth(status), 4 + measureText(instead.empty() ? text : instead, 1).x);
        });
    }
    testing::runFrame(ui, FrameInput{}, [&](ImDrawList*) { EXPECT_EQ(statusWidth(StatusLine{}), 0); });
}

TEST(HeaderBar, HeightAndLayoutFromWideToNarrow) {
    HeaderRig rig;
    rig.frame(FrameInput{}, [&](ImDrawList*) {
        EXPECT_FLOAT_EQ(headerHeight(rig.model), 80);
        HeaderModel plain = rig.model;
        plain.transport.reset();
        plain.reserveArea = false;
        EXPECT_FLOAT_EQ(headerHeight(plain), 80) << "two pages";
        plain.pages = std::span(rig.pages, 1);
        EXPECT_FLOAT_EQ(headerHeight(plain), 36);
        pushScale(2);
        EXPECT_FLOAT_EQ(headerHeight(rig.model), 160);
        popScale();
    });
    const float full = rig.frame(FrameInput{}).documentArea.w;
    const std::string longStatus(400, 'x');
    rig.model.status.text = longStatus;
    // width: the document bar's width (0: its full width, as the status, the label and the room beside the
    // status give way first)
    for (const auto& [width, document] : {std::pair{900.0f, 0.0f}, {420.0f, 0.0f}, {200.0f, -1.0f}}) {
        rig.rect.w = width;
        const HeaderResult r = rig.frame(FrameInput{});
        const Rect d = r.documentArea, a = r.area;
        if (document >= 0.0f) {
            EXPECT_FLOAT_EQ(d.w, document == 0.0f ? full : document) << width;
        }
        EXPECT_LE(d.x + d.w, width - 4 - 96) << width << ": nothing under the caption buttons";
        EXPECT_GE(d.w, 0) << width;
        EXPECT_GE(a.w, 0) << width;
        EXPECT_LE(a.x + a.w, width) << width;
    }
}

// What a result reports, in words.
std::vector<std::string> reported(const HeaderResult& r) {
    std::vector<std::string> out;
    if (r.action) out.push_back("action " + std::to_string(static_cast<uint32_t>(*r.action)));
    if (r.page) out.push_back("page " + std::to_string(*r.page));
    if (r.transport.playToggled) out.push_back("play");
    if (r.transport.rewind) out.push_back("rewind");
    if (r.menuOpened) out.push_back("menu");
    return out;
}

TEST(HeaderBar, ClicksThroughAnEditorLikeHeader) {
    HeaderRig probe;
    float arc = 0;
    const Rect d = probe.frame(FrameInput{}, [&](ImDrawList*) { arc = measureText("Arc", 2).x; }).documentArea;
    // The framed transport (rewind, play, tempo, position: 306 px) ends at 896 in the row at y 44.
    // clang-format off
    const std::tuple<float, float, std::vector<std::string>> cases[] = {
        {896 - 306 + 3 + 36 + 18, 62, {"play"}}, {896 - 306 + 3 + 18, 62, {"rewind"}},
        {4 + 3 + 28 + arc + 20, 62, {"page 1"}}, {4 + 10, 62, {}},  // the selected tab
        {d.x + 20, 18, {"action 7"}}, {d.x + d.w - 12, 18, {"action 1"}}, {20, 18, {"menu"}},  // name: Browse; save
        {d.x + d.w - 2 * 28 - 12, 18, {"action 5"}}, {d.x + d.w - 28 - 12, 18, {"action 6"}}};  // previous, next
    // clang-format on
    for (const auto& [x, y, expected] : cases) {
        HeaderRig rig;
        std::vector<std::string> all;
        std::vector<FrameInput> frames = testing::clickAt(x, y);
        frames.push_back(frames.back());
        for (const HeaderResult& r : rig.frames(frames))
            for (const std::string& what : reported(r)) all.push_back(what);
        EXPECT_EQ(all, expected) << x << ", " << y;
    }
}

}  // namespace
}  // namespace tarn::ui
