// The text Dear ImGui's own text calls put out while a piece of a frame runs, read from its log in memory.
#pragma once

#include <imgui.h>

#include <string>
#include <utility>

namespace tarn::ui::testing {

// The text that Dear ImGui's own text calls (tooltips, menu items, popups) put out while body() runs
// inside a frame; the toolkit's drawn text does not appear. Ending a top-level window such as a
// tooltip finishes the log and clears its buffer, handing the text to the clipboard first: the
// clipboard is borrowed for the call, so the text stays in memory and no file is shared with the
// other test processes running at the same time.
template <class Body>
std::string loggedText(Body&& body) {
    struct Borrowed {
        ImGuiIO& io = ImGui::GetIO();
        decltype(io.SetClipboardTextFn) set = io.SetClipboardTextFn;
        void* user = io.ClipboardUserData;
        std::string text;
        ~Borrowed() {
            io.SetClipboardTextFn = set;
            io.ClipboardUserData = user;
        }
    } clipboard;
    clipboard.io.ClipboardUserData = &clipboard.text;
    clipboard.io.SetClipboardTextFn = [](void* to, const char* text) { static_cast<std::string*>(to)->append(text); };
    ImGui::LogToClipboard(-1);
    std::forward<Body>(body)();
    ImGui::LogFinish();
    return std::move(clipboard.text);
}

}  // namespace tarn::ui::testing
