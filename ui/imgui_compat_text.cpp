// Text fields over 1.86's 16-bit characters: the text they are given, typed and pasted text, and the
// text they give back, with private-use stand-ins for the characters 1.86 cannot hold.
#include "ui/imgui_compat.h"

#include "ui/ui_context.h"

#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <utility>

namespace tarn::ui::compat {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Utf8Char {
    char32_t c;
    size_t length;  // bytes
};

// The character that `text` starts with. A byte that starts no valid sequence (a stray continuation
// byte, an overlong form, a surrogate, past U+10FFFF, cut short) reads as U+FFFD, one byte long.
Utf8Char readUtf8(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) return {kReplacement, 1};
    char32_t c = lead & (0x7Fu >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {kReplacement, 1};
        c = (c << 6) | (byte(i) & 0x3Fu);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {kReplacement, 1};
    return {c, length};
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool isPrivateUse(char32_t c) { return c >= privateUseFirst && c <= privateUseLast; }

void appendUtf8(std::string& out, char32_t c) {
    char bytes[5];
    out += ImTextCharToUtf8(bytes, static_cast<unsigned int>(c));
}

// What a text field holds for `c`: c itself when 1.86 holds it as it is, else its stand-in.
char16_t shownAs(StandIns& standIns, char32_t c) {
    if (c <= 0xFFFF && !isPrivateUse(c)) return static_cast<char16_t>(c);
    if (const auto known = standIns.standInFor.find(c); known != standIns.standInFor.end()) return known->second;
    if (standIns.held.size() > privateUseLast - privateUseFirst) return static_cast<char16_t>(kReplacement);
    const auto standIn = static_cast<char16_t>(privateUseFirst + standIns.held.size());
    standIns.held.push_back(c);
    standIns.standInFor.emplace(c, standIn);
    return standIn;
}

// Tab, line feed, vertical tab, form feed, carriage return and next line.
bool isBreak(char32_t c) { return c == '\t' || (c >= '\n' && c <= '\r') || c == 0x85; }

// Text as a text field is given it: valid UTF-8 of 16-bit characters, without control characters.
// Pasted text keeps its words apart, as one-line fields commonly do: each run of tabs and line breaks
// (other control characters left out between them) becomes one space.
std::string shown(StandIns& standIns, std::string_view text, bool pasted = false) {
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    while (!text.empty()) {
        const Utf8Char next = readUtf8(text);
        text.remove_prefix(next.length);
        pendingSpace = pendingSpace || (pasted && isBreak(next.c));
        if (isControl(next.c)) continue;
        if (std::exchange(pendingSpace, false)) out += ' ';
        appendUtf8(out, shownAs(standIns, next.c));
    }
    if (pendingSpace) out += ' ';
    return out;
}

// A text field's text with each stand-in back as the character it stands for.
std::string given(const StandIns& standIns, std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        Utf8Char next = readUtf8(text);
        text.remove_prefix(next.length);
        if (isPrivateUse(next.c) && next.c - privateUseFirst < standIns.held.size())
            next.c = standIns.held[next.c - privateUseFirst];
        if (!isControl(next.c)) appendUtf8(out, next.c);
    }
    return out;
}

// The character filter of a text field: each typed U+FFFD becomes the stand-in it was queued for.
int restoreTypedStandIn(ImGuiInputTextCallbackData* data) {
    StandIns& standIns = *static_cast<StandIns*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter && data->EventChar == kReplacement &&
        standIns.typedTaken < standIns.typed.size()) {
        data->EventChar = static_cast<ImWchar>(standIns.typed[standIns.typedTaken++]);
    }
    return 0;
}

const char* pasteWithStandIns(void* data) {
    StandIns& standIns = *static_cast<StandIns*>(data);
    // A field pastes after it has taken the frame's typing: a typed U+FFFD still waiting was never
    // this field's, and a pasted U+FFFD is itself.
    standIns.typedTaken = standIns.typed.size();
    const char* outer = standIns.outerGetClipboard ? standIns.outerGetClipboard(standIns.outerClipboardData) : nullptr;
    standIns.pasted = shown(standIns, outer != nullptr ? outer : "", true);
    return standIns.pasted.c_str();
}

void copyWithoutStandIns(void* data, const char* text) {
    const StandIns& standIns = *static_cast<const StandIns*>(data);
    if (standIns.outerSetClipboard)
        standIns.outerSetClipboard(standIns.outerClipboardData, given(standIns, text).c_str());
}

}  // namespace

bool inputText(const char* label, const char* hint, std::string& text) {
    ImGuiIO& io = ImGui::GetIO();
    StandIns& standIns = UiContext::current().compat.standIns;
    std::string field = shown(standIns, text);
    // The field copies and pastes through the stand-ins too; only while it runs, so that anything
    // else reads and writes the clipboard as it is.
    standIns.outerGetClipboard = io.GetClipboardTextFn;
    standIns.outerSetClipboard = io.SetClipboardTextFn;
    standIns.outerClipboardData = io.ClipboardUserData;
    io.GetClipboardTextFn = pasteWithStandIns;
    io.SetClipboardTextFn = copyWithoutStandIns;
    io.ClipboardUserData = &standIns;
    constexpr ImGuiInputTextFlags flags = ImGuiInputTextFlags_CallbackCharFilter;
    const bool changed = hint != nullptr
                             ? ImGui::InputTextWithHint(label, hint, &field, flags, restoreTypedStandIn, &standIns)
                             : ImGui::InputText(label, &field, flags, restoreTypedStandIn, &standIns);
    io.GetClipboardTextFn = standIns.outerGetClipboard;
    io.SetClipboardTextFn = standIns.outerSetClipboard;
    io.ClipboardUserData = standIns.outerClipboardData;
    if (changed) text = given(standIns, field);
    return changed;
}

void addTypedText(std::string_view utf8) {
    ImGuiIO& io = ImGui::GetIO();
    StandIns& standIns = UiContext::current().compat.standIns;
    while (!utf8.empty()) {
        const Utf8Char next = readUtf8(utf8);
        utf8.remove_prefix(next.length);
        if (isControl(next.c)) continue;
        const char16_t c = shownAs(standIns, next.c);
        if (isPrivateUse(c) || c == kReplacement) {
            standIns.typed.push_back(c);
            io.AddInputCharacter(kReplacement);
        } else {
            io.AddInputCharacter(c);
        }
    }
}

}  // namespace tarn::ui::compat
