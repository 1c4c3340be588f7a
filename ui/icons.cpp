// The vector icons, each a few lines and filled shapes placed by fractions of its square.
#include "ui/icons.h"

#include "ui/ui_context.h"

#include <cmath>

namespace tarn::ui {
namespace {

constexpr float kLine = 1.6f;      // logical px
constexpr float kThinLine = 1.2f;  // the window-caption icons

ImVec2 centre(const Rect& r) { return ImVec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f); }

// A thin axis-aligned line lies on pixel centres, so it covers one pixel row or column instead of
// smearing over two at half strength. AddLine adds the half pixel itself, so its ends go on whole pixels.
float onPixel(float v) { return std::floor(v); }

void line(ImDrawList* list, ImVec2 a, ImVec2 b, ImU32 colour, float thickness) {
    list->AddLine(a, b, colour, thickness * scale());
}

void polyline(ImDrawList* list, std::initializer_list<ImVec2> points, ImU32 colour, float thickness) {
    list->AddPolyline(points.begin(), static_cast<int>(points.size()), colour, ImDrawFlags_None, thickness * scale());
}

void arc(ImDrawList* list, ImVec2 c, float radius, float from, float to, int segments, ImU32 colour) {
    list->PathArcTo(c, radius, from, to, segments);
    list->PathStroke(colour, ImDrawFlags_None, kLine * scale());
}

}  // namespace

void chevron(ImDrawList* list, const Rect& r, ImU32 colour, int direction) {
    const ImVec2 c = centre(r);
    const float dir = direction < 0 ? -1.0f : 1.0f;
    const float d = 0.22f * r.w;
    polyline(list,
             {ImVec2(c.x - 0.5f * dir * d, c.y - dir * d), ImVec2(c.x + 0.5f * dir * d, c.y),
              ImVec2(c.x - 0.5f * dir * d, c.y + dir * d)},
             colour, kLine);
}

void chevronRight(ImDrawList* list, const Rect& r, ImU32 colour) { chevron(list, r, colour, 1); }
void chevronLeft(ImDrawList* list, const Rect& r, ImU32 colour) { chevron(list, r, colour, -1); }

void closeIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    line(list, ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), colour, kThinLine);
    line(list, ImVec2(r.x + r.w, r.y), ImVec2(r.x, r.y + r.h), colour, kThinLine);
}

void loopedArrow(ImDrawList* list, const Rect& r, ImU32 colour, bool forward) {
    const ImVec2 c = centre(r);
    const float radius = 0.32f * r.w;
    const ImVec2 arcCentre(c.x, c.y + 0.35f * radius);
    constexpr float left = 3.2986722f;  // radians: the dome spans the top, from left to right
    constexpr float right = 6.126106f;
    arc(list, arcCentre, radius, forward ? left : right, forward ? right : left, 16, colour);
    const float s = 0.16f * r.w;
    const float x = forward ? c.x + radius : c.x - radius;
    const float y0 = arcCentre.y + 0.25f * radius;
    list->AddTriangleFilled(ImVec2(x - s, y0 - 0.6f * s), ImVec2(x + s, y0 - 0.6f * s), ImVec2(x, y0 + 0.7f * s),
                            colour);
}

void redoIcon(ImDrawList* list, const Rect& r, ImU32 colour) { loopedArrow(list, r, colour, true); }
void undoIcon(ImDrawList* list, const Rect& r, ImU32 colour) { loopedArrow(list, r, colour, false); }

void maximiseIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    // AddRect strokes half a pixel inside the corners, so whole-pixel corners give crisp edges.
    list->AddRect(ImVec2(std::round(r.x), std::round(r.y)), ImVec2(std::round(r.x + r.w), std::round(r.y + r.h)),
                  colour, 0.0f, ImDrawFlags_None, kThinLine * scale());
}

void menuIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    for (const float dy : {-0.2f * r.h, 0.0f, 0.2f * r.h}) {
        const float y = onPixel(c.y + dy);
        line(list, ImVec2(c.x - 0.34f * r.w, y), ImVec2(c.x + 0.34f * r.w, y), colour, kLine);
    }
}

void minimiseIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const float y = onPixel(r.y + r.h * 0.5f);
    line(list, ImVec2(r.x, y), ImVec2(r.x + r.w, y), colour, kThinLine);
}

void restoreIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const float step = 0.2f * r.w;
    const float thickness = kThinLine * scale();
    const ImVec2 min(std::round(r.x), std::round(r.y));
    const ImVec2 max(std::round(r.x + r.w), std::round(r.y + r.h));
    const float inset = std::round(step);
    list->AddRect(ImVec2(min.x, min.y + inset), ImVec2(max.x - inset, max.y), colour, 0.0f, ImDrawFlags_None,
                  thickness);
    // The back window's corner, on the same pixel centres as the outline. One polyline, not two
    // lines: two strokes that both stop at the corner pixel's centre leave that pixel unlit.
    const float top = min.y + 0.5f;
    const float side = max.x - 0.5f;
    const ImVec2 corner[] = {ImVec2(min.x + inset + 0.5f, top), ImVec2(side, top), ImVec2(side, max.y - inset + 0.5f)};
    list->AddPolyline(corner, 3, colour, ImDrawFlags_None, thickness);
}

void saveIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    const float radius = 0.3f * r.w;
    line(list, ImVec2(c.x, c.y - radius), ImVec2(c.x, c.y + 0.35f * radius), colour, kLine);
    list->AddTriangleFilled(ImVec2(c.x - 0.14f * r.w, c.y + 0.1f * radius),
                            ImVec2(c.x + 0.14f * r.w, c.y + 0.1f * radius), ImVec2(c.x, c.y + 0.55f * radius), colour);
    polyline(list,
             {ImVec2(c.x - radius, c.y + 0.3f * radius), ImVec2(c.x - radius, c.y + radius),
              ImVec2(c.x + radius, c.y + radius), ImVec2(c.x + radius, c.y + 0.3f * radius)},
             colour, kLine);
}

void playIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    const float d = 0.21f * r.w;
    list->AddTriangleFilled(ImVec2(c.x - 0.7f * d, c.y - d), ImVec2(c.x - 0.7f * d, c.y + d),
                            ImVec2(c.x + 1.05f * d, c.y), colour);
}

void stopIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    const float d = 0.2f * r.w;
    const float rounding = 1.0f * scale();
    list->AddRectFilled(ImVec2(c.x - 0.85f * d, c.y - d), ImVec2(c.x - 0.3f * d, c.y + d), colour, rounding);
    list->AddRectFilled(ImVec2(c.x + 0.3f * d, c.y - d), ImVec2(c.x + 0.85f * d, c.y + d), colour, rounding);
}

void rewindIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    const float d = 0.2f * r.w;
    list->AddRectFilled(ImVec2(c.x - 1.1f * d, c.y - d), ImVec2(c.x - 0.7f * d, c.y + d), colour, 1.0f * scale());
    list->AddTriangleFilled(ImVec2(c.x + d, c.y - d), ImVec2(c.x + d, c.y + d), ImVec2(c.x - 0.55f * d, c.y), colour);
}

void loopIcon(ImDrawList* list, const Rect& r, ImU32 colour) {
    const ImVec2 c = centre(r);
    const float radius = 0.19f * r.w;
    constexpr float start = -1.0995574f;  // radians, upper right: the arrowhead sits here
    constexpr float end = 4.55531f;
    arc(list, c, radius, start, end, 24, colour);
    const ImVec2 e(c.x + radius * std::cos(start), c.y + radius * std::sin(start));
    list->AddTriangleFilled(ImVec2(e.x - 0.6f * radius, e.y - 0.54f * radius),
                            ImVec2(e.x + 0.54f * radius, e.y - 0.06f * radius),
                            ImVec2(e.x - 0.12f * radius, e.y + 0.54f * radius), colour);
}

void recordDot(ImDrawList* list, const Rect& r, ImU32 colour) { list->AddCircleFilled(centre(r), 0.17f * r.w, colour); }

}  // namespace tarn::ui
