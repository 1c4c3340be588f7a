// The pill-shaped bar panel and its flat icon buttons, shared by the page tabs and the transport bar.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>

namespace tarn::ui {

struct BarButton {
    bool clicked = false;  // released over the button without a drag
    bool hovered = false;
    bool held = false;
};

// A pill filled RGB (32, 44, 25) with a 1 px outline in the accent colour.
void barPanel(ImDrawList* list, const Rect& r);
// The bars' accent, 0xAARRGGBB: RGBA (90, 138, 26, 140).
uint32_t barAccent();
// The row a bar of `width` takes in r: at r's left, vertically centred, at most 32 px high.
Rect barRow(const Rect& r, float width);
// The inset of a bar's content, 3 px.
float barPadding();
// A flat button: a pill behind it while active, hovered or held. The caller draws its content in
// barIconColour.
BarButton barIconButton(const char* id, const Rect& r, bool active, const char* tooltip);
// 0xAARRGGBB: the accent while active, light while hovered, else muted.
uint32_t barIconColour(const BarButton& button, bool active);

// Cuts cells from the left of a row, up to its right end: none passes that end or has a negative size.
struct CellCutter {
    float x;
    float right;
    float y;
    float h;
    // A cell `w` wide (or what is left), then `gap` before the next.
    Rect take(float w, float gap = 0.0f);
};

// Confines drawing and clicks to r for its scope, so a piece of a bar never reaches into its neighbours
// however narrow it is given. The soft edge of an outline on r's border (up to 1 px x scale outside)
// is kept: pieces stand 8 px x scale apart.
class RectClip {
public:
    explicit RectClip(const Rect& r);
    ~RectClip();
    RectClip(const RectClip&) = delete;
    RectClip& operator=(const RectClip&) = delete;
};

// A square of `side` pixels (at least 0) centred in r, its corner on whole pixels.
Rect centredSquare(const Rect& r, float side);

}  // namespace tarn::ui
