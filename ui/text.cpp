// The text role table, letter-spaced measuring and drawing, and fitting text with an ellipsis.
#include "ui/text.h"

#include "ui/imgui_compat.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cfloat>
#include <string>

namespace tarn::ui {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

constexpr TextStyle kRoles[] = {
    {10.0f, 0, 0.0f, false}, {11.0f, 0, 0.0f, false}, {12.0f, 0, 0.0f, false},
    {14.0f, 2, 1.1f, true},  {22.0f, 0, 0.0f, false}, {12.0f, 3, 0.0f, false},
    {12.0f, 3, 0.0f, false}, {12.0f, 4, 0.0f, false}, {20.0f, 4, 0.0f, false},
};

// The role's text as shown: ASCII a-z in capitals when the role says so, other bytes unchanged.
std::string shownText(std::string_view text, const TextStyle& style) {
    std::string out(text);
    if (style.upperCase)
        for (char& c : out)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

FontAndSize roleFont(const TextStyle& style, float s) {
    return {UiContext::current().fonts[style.font], style.size * s};
}

float characterWidth(const FontAndSize& font, const char* begin, const char* end) {
    const float px = std::max(1.0f, font.size);
    return compat::calcTextSize(font.font, px, begin, end).x * (font.size / px);
}

// Longest prefix (on a character boundary) whose letter-spaced width stays within `limit`.
size_t prefixWithin(const FontAndSize& font, std::string_view text, float tracking, float limit) {
    size_t kept = 0;
    float width = 0.0f;
    size_t i = 0;
    while (i < text.size()) {
        const size_t n = characterLength(text.substr(i));
        const float w = characterWidth(font, text.data() + i, text.data() + i + n);
        const float next = (i == 0 ? w : width + tracking + w);
        if (next > limit) break;
        width = next;
        i += n;
        kept = i;
    }
    return kept;
}

}  // namespace

TextStyle textStyle(TextRole role) { return role < std::size(kRoles) ? kRoles[role] : kRoles[2]; }

FontScope::FontScope(TextRole role) {
    const TextStyle style = textStyle(role);
    const UiContext& ui = UiContext::current();
    compat::pushFont(ui.fonts[style.font], std::max(1.0f, scale() * style.size) / ui.displayScale);
}

FontScope::~FontScope() { compat::popFont(); }

size_t characterLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t n = 1;
    if ((lead & 0xE0u) == 0xC0u) n = 2;
    else if ((lead & 0xF0u) == 0xE0u) n = 3;
    else if ((lead & 0xF8u) == 0xF0u) n = 4;
    return std::min(n, text.size());
}

float measureRun(const FontAndSize& font, std::string_view text, float trackingPx) {
    if (text.empty()) return 0.0f;
    if (trackingPx == 0.0f) return characterWidth(font, text.data(), text.data() + text.size());
    float width = 0.0f;
    int characters = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t n = characterLength(text.substr(i));
        width += characterWidth(font, text.data() + i, text.data() + i + n);
        ++characters;
        i += n;
    }
    return width + trackingPx * static_cast<float>(characters - 1);
}

void drawRun(ImDrawList* list, const FontAndSize& font, ImVec2 pos, std::string_view text, float trackingPx,
             ImU32 colour) {
    if (text.empty() || font.size < 1.0f) return;
    if (trackingPx == 0.0f) {
        compat::addText(list, font.font, font.size, pos, colour, text.data(), text.data() + text.size());
        return;
    }
    float x = pos.x;
    for (size_t i = 0; i < text.size();) {
        const size_t n = characterLength(text.substr(i));
        const char* begin = text.data() + i;
        compat::addText(list, font.font, font.size, ImVec2(x, pos.y), colour, begin, begin + n);
        x += characterWidth(font, begin, begin + n) + trackingPx;
        i += n;
    }
}

ImVec2 measureText(std::string_view text, TextRole role) {
    const TextStyle style = textStyle(role);
    const float s = scale();
    const std::string shown = shownText(text, style);
    return ImVec2(measureRun(roleFont(style, s), shown, style.tracking * s), style.size * s);
}

FitResult fitText(std::string_view text, TextRole role, float maxWidth) {
    const TextStyle style = textStyle(role);
    const float s = scale();
    const std::string shown = shownText(text, style);
    const FontAndSize font = roleFont(style, s);
    const float tracking = style.tracking * s;
    if (measureRun(font, shown, tracking) <= maxWidth + 0.5f) return {text.size(), false};
    const float ellipsis = measureRun(font, kEllipsis, 0.0f);
    // Capitals change no byte lengths, so the prefix of the shown text is a prefix of the text.
    return {prefixWithin(font, shown, tracking, maxWidth - ellipsis - tracking), true};
}

void drawTextAt(ImDrawList* list, ImVec2 topLeft, std::string_view text, TextRole role, uint32_t colour) {
    const TextStyle style = textStyle(role);
    const float s = scale();
    drawRun(list, roleFont(style, s), topLeft, shownText(text, style), style.tracking * s, toImColor(colour));
}

void drawText(ImDrawList* list, const Rect& box, std::string_view text, TextRole role, uint32_t colour,
              int align) {
    const TextStyle style = textStyle(role);
    const float s = scale();
    const FontAndSize font = roleFont(style, s);
    const float tracking = style.tracking * s;
    const FitResult fit = fitText(text, role, box.w);
    std::string shown = shownText(text.substr(0, fit.keep), style);
    if (fit.ellipsis) shown += kEllipsis;
    const float w = measureRun(font, shown, tracking);
    float x = box.x;
    if (align == 1) x = box.x + (box.w - w) * 0.5f;
    else if (align == 2) x = box.x + box.w - w;
    const float y = box.y + (box.h - font.size) * 0.5f;
    drawRun(list, font, ImVec2(x, y), shown, tracking, toImColor(colour));
}

}  // namespace tarn::ui
