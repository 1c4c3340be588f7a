// Strokes and fills of the drawing kit, with strips written straight into the draw list's buffers.
#include "ui/draw.h"

#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cmath>

namespace tarn::ui {
namespace {

// Pairs of points per strip run. A run never needs more than 2 x this many vertices, so even with
// 16-bit indices every run fits after the draw list moves its vertex offset; long strips are cut
// into runs that share their boundary pair.
constexpr size_t kStripRun = 8192;
// Points per AddPolyline call, for the same reason (a thick anti-aliased line takes 4 vertices a
// point); consecutive pieces share a point so the line stays joined.
constexpr size_t kPolylineRun = 4096;
constexpr int kMaxDashPieces = 200000;

uint32_t withAlpha(uint32_t colour, float factor) {
    const float alpha = static_cast<float>(colour >> 24) * std::clamp(factor, 0.0f, 1.0f) + 0.5f;
    return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
}

// Writes a strip of `count` point pairs, pairAt(i) giving the two points of pair i.
template <typename PairAt>
void writeStrip(ImDrawList* list, size_t count, ImU32 colour, PairAt pairAt) {
    if (count < 2) return;
    const ImVec2 uv = list->_Data->TexUvWhitePixel;
    for (size_t start = 0; start + 1 < count; start += kStripRun - 1) {
        const size_t n = std::min(kStripRun, count - start);
        list->PrimReserve(static_cast<int>(6 * (n - 1)), static_cast<int>(2 * n));
        // Indices count from the list's current vertex index, which PrimReserve has just moved to
        // 0 when it started a new vertex offset; the vertex buffer's size would be wrong there.
        const unsigned int base = list->_VtxCurrentIdx;
        for (size_t i = 0; i < n; ++i) {
            const auto [a, b] = pairAt(start + i);
            list->PrimWriteVtx(a, uv, colour);
            list->PrimWriteVtx(b, uv, colour);
        }
        for (size_t i = 0; i + 1 < n; ++i) {
            const unsigned int v = base + static_cast<unsigned int>(2 * i);
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v + 1));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v + 3));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v + 3));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(v + 2));
        }
    }
}

void polylinePixels(ImDrawList* list, std::span<const ImVec2> points, ImU32 colour, float width) {
    for (size_t start = 0; start + 1 < points.size(); start += kPolylineRun - 1) {
        const size_t n = std::min(kPolylineRun, points.size() - start);
        list->AddPolyline(points.data() + start, static_cast<int>(n), colour, ImDrawFlags_None, width);
    }
}

}  // namespace

void fadeVertices(ImDrawList* list, int firstVertex, float factor) {
    const float f = std::clamp(factor, 0.0f, 1.0f);
    for (int i = std::max(firstVertex, 0); i < list->VtxBuffer.Size; ++i) {
        ImU32& col = list->VtxBuffer[i].col;
        const float alpha = static_cast<float>(col >> IM_COL32_A_SHIFT & 0xFFu) * f + 0.5f;
        col = (col & ~IM_COL32_A_MASK) | (static_cast<ImU32>(alpha) << IM_COL32_A_SHIFT);
    }
}

void drawPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float thickness) {
    if (points.size() < 2) return;
    polylinePixels(list, points, toImColor(colour), thickness * scale());
}

void drawDashedPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float thickness,
                        float dash, float gap) {
    if (points.size() < 2) return;
    const float s = scale();
    const double dashPx = std::max(0.5f, dash * s);
    const double gapPx = std::max(0.5f, gap * s);
    const float width = thickness * s;
    const ImU32 col = toImColor(colour);
    bool drawing = true;
    double toGo = dashPx;
    // A path thousands of screens long (from wild data) would otherwise take forever to walk.
    int piecesLeft = kMaxDashPieces;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const ImVec2 a = points[i];
        const ImVec2 b = points[i + 1];
        const double dx = static_cast<double>(b.x) - a.x;
        const double dy = static_cast<double>(b.y) - a.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        double position = 0.0;
        while (length - position >= 0.001) {
            if (--piecesLeft < 0) return;
            const double piece = std::min(length - position, toGo);
            if (drawing) {
                const double t0 = position / length;
                const double t1 = (position + piece) / length;
                list->AddLine(ImVec2(static_cast<float>(a.x + dx * t0), static_cast<float>(a.y + dy * t0)),
                              ImVec2(static_cast<float>(a.x + dx * t1), static_cast<float>(a.y + dy * t1)), col,
                              width);
            }
            position += piece;
            toGo -= piece;
            if (toGo <= 0.001) {
                drawing = !drawing;
                toGo = drawing ? dashPx : gapPx;
            }
        }
    }
}

void drawDashedLine(ImDrawList* list, ImVec2 a, ImVec2 b, uint32_t colour, float thickness, float dash,
                    float gap) {
    const ImVec2 points[] = {a, b};
    drawDashedPolyline(list, points, colour, thickness, dash, gap);
}

void drawGlowPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float glow,
                      float thickness) {
    if (points.size() < 2) return;
    const float s = scale();
    const float g = std::isnan(glow) ? 0.0f : std::clamp(glow, 0.0f, 1.0f);
    if (g > 0.01f) {
        polylinePixels(list, points, toImColor(withAlpha(colour, g * 0.08f)), 6.0f * thickness * s);
        polylinePixels(list, points, toImColor(withAlpha(colour, g * 0.18f)), 2.8f * thickness * s);
    }
    polylinePixels(list, points, toImColor(colour), thickness * s);
}

void fillUnderPolyline(ImDrawList* list, std::span<const ImVec2> points, float baselineY, uint32_t colour) {
    writeStrip(list, points.size(), toImColor(colour), [&](size_t i) {
        return std::pair{points[i], ImVec2(points[i].x, baselineY)};
    });
}

void fillBetween(ImDrawList* list, std::span<const ImVec2> upper, std::span<const ImVec2> lower,
                 uint32_t colour) {
    writeStrip(list, std::min(upper.size(), lower.size()), toImColor(colour),
               [&](size_t i) { return std::pair{upper[i], lower[i]}; });
}

void fillColumns(ImDrawList* list, float x0, float width, std::span<const float> a, std::span<const float> b,
                 uint32_t colour) {
    const ImU32 col = toImColor(colour);
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        float top = std::min(a[i], b[i]);
        float bottom = std::max(a[i], b[i]);
        if (bottom - top < 1.0f) {
            const float middle = (top + bottom) * 0.5f;
            top = middle - 0.5f;
            bottom = middle + 0.5f;
        }
        const float left = x0 + static_cast<float>(i) * width;
        list->AddRectFilled(ImVec2(left, top), ImVec2(left + width, bottom), col);
    }
}

void drawCircle(ImDrawList* list, ImVec2 centre, float radius, uint32_t colour, float thickness) {
    if (!(radius > 0.0f)) return;
    list->AddCircle(centre, radius, toImColor(colour), 0, thickness * scale());
}

void fillCircle(ImDrawList* list, ImVec2 centre, float radius, uint32_t colour) {
    if (!(radius > 0.0f)) return;
    list->AddCircleFilled(centre, radius, toImColor(colour), 0);
}

void fillRoundRect(ImDrawList* list, const Rect& rect, uint32_t colour, float radius) {
    list->AddRectFilled(ImVec2(rect.x, rect.y), ImVec2(rect.x + rect.w, rect.y + rect.h), toImColor(colour),
                        radius * scale());
}

void strokeRoundRect(ImDrawList* list, const Rect& rect, uint32_t colour, float radius, float thickness) {
    list->AddRect(ImVec2(rect.x, rect.y), ImVec2(rect.x + rect.w, rect.y + rect.h), toImColor(colour),
                  radius * scale(), ImDrawFlags_None, thickness * scale());
}

}  // namespace tarn::ui
