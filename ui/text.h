// Text roles (font, size, letter spacing, capitals) and measuring and drawing text in them.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarn::ui {

// 0 plot titles and axis labels, 1 compact buttons, 2 normal text, 3 card and dialog titles,
// 4 large numbers, 5-8 mono readouts. Any other number sets text like role 2.
using TextRole = uint32_t;

struct TextStyle {
    float size = 12.0f;     // logical pixels
    int32_t font = 0;       // index into the context's fonts
    float tracking = 0.0f;  // extra space after each character, logical pixels
    bool upperCase = false;
};

TextStyle textStyle(TextRole role);

// A font family and the pixel size to set it at: what the low-level routines take.
struct FontAndSize {
    ImFont* font = nullptr;
    float size = 0.0f;
};

struct FitResult {
    size_t keep = 0;        // bytes of the text to keep, ending on a character boundary
    bool ellipsis = false;  // "…" follows the kept text
};

// Pushes the role's font at its scaled size for the scope's life.
class FontScope {
public:
    explicit FontScope(TextRole role);
    ~FontScope();
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;
};

// Byte length of the UTF-8 character starting at text[0] (1 for a stray byte), cut at the end.
size_t characterLength(std::string_view text);

ImVec2 measureText(std::string_view text, TextRole role);
float measureRun(const FontAndSize& font, std::string_view text, float trackingPx);
// Colour in Dear ImGui's byte order.
void drawRun(ImDrawList* list, const FontAndSize& font, ImVec2 pos, std::string_view text, float trackingPx,
             ImU32 colour);
// Colours 0xAARRGGBB. align: 0 left, 1 centre, 2 right.
void drawTextAt(ImDrawList* list, ImVec2 topLeft, std::string_view text, TextRole role, uint32_t colour);
void drawText(ImDrawList* list, const Rect& box, std::string_view text, TextRole role, uint32_t colour,
              int align);
FitResult fitText(std::string_view text, TextRole role, float maxWidth);

}  // namespace tarn::ui
