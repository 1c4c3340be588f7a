// Draws the skin background, nine-slice shadows, gradient fills and the light glow into draw lists.
#include "ui/theme_draw.h"

#include "ui/imgui_compat.h"
#include "ui/theme.h"
#include "ui/theme_images.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn::ui {

namespace {

constexpr uint32_t windowFill = 0xFF0E1208;
constexpr float skinTilePx = 76.0f;

uint8_t alphaByte(float a) { return static_cast<uint8_t>(std::clamp(a, 0.0f, 1.0f) * 255.0f + 0.5f); }

}  // namespace

void drawBackground(ImDrawList* list, const Rect& r) {
    list->AddRectFilled(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(windowFill));
    if (!(r.w > 0.0f && r.h > 0.0f)) return;
    // At least one pixel a tile, so the loop always ends.
    const float t = std::max(1.0f, skinTilePx * scale());
    ImVec2 uv0;
    ImVec2 uv1;
    skinUv(uv0, uv1);
    list->PushClipRect(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), true);
    // Tiles stay aligned to r's top-left, but only those inside the clip rectangle are drawn: a huge r
    // costs no more than the visible area.
    const ImVec2 clipMin = list->GetClipRectMin();
    const ImVec2 clipMax = list->GetClipRectMax();
    const auto firstCol = static_cast<long>(std::max(0.0f, std::floor((clipMin.x - r.x) / t)));
    const auto firstRow = static_cast<long>(std::max(0.0f, std::floor((clipMin.y - r.y) / t)));
    const auto endCol = static_cast<long>(std::ceil((std::min(clipMax.x, r.x + r.w) - r.x) / t));
    const auto endRow = static_cast<long>(std::ceil((std::min(clipMax.y, r.y + r.h) - r.y) / t));
    const ImTextureID texture = compat::atlasTexture();
    for (long col = firstCol; col < endCol; ++col) {
        const float x = r.x + static_cast<float>(col) * t;
        for (long row = firstRow; row < endRow; ++row) {
            const float y = r.y + static_cast<float>(row) * t;
            list->AddImage(texture, ImVec2(x, y), ImVec2(x + t, y + t), uv0, uv1, IM_COL32_WHITE);
        }
    }
    list->PopClipRect();
}

void drawPanelShadow(ImDrawList* list, const Rect& r, float opacity, float offsetY) {
    const float s = scale();
    const float left = r.x - 12.0f * s;
    const float top = r.y - 12.0f * s + offsetY * s;
    const float width = std::max(r.w + 24.0f * s, 0.0f);
    const float height = std::max(r.h + 24.0f * s, 0.0f);
    const float c = std::min(std::min(width, height) * 0.5f, 20.0f * s);

    ImVec2 uv0;
    ImVec2 uv1;
    if (!compat::customRectUv(UiContext::current().themeImages.shadow, uv0, uv1)) return;
    constexpr float cut = 20.0f / 44.0f;  // the mask's corners are 20 of its 44 pixels
    const float xs[4] = {left, left + c, left + width - c, left + width};
    const float ys[4] = {top, top + c, top + height - c, top + height};
    const float us[4] = {uv0.x, uv0.x + (uv1.x - uv0.x) * cut, uv1.x - (uv1.x - uv0.x) * cut, uv1.x};
    const float vs[4] = {uv0.y, uv0.y + (uv1.y - uv0.y) * cut, uv1.y - (uv1.y - uv0.y) * cut, uv1.y};
    const ImU32 tint = IM_COL32(255, 255, 255, alphaByte(opacity));
    const ImTextureID texture = compat::atlasTexture();
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (!(xs[col + 1] - xs[col] > 0.0f) || !(ys[row + 1] - ys[row] > 0.0f)) continue;
            list->AddImage(texture, ImVec2(xs[col], ys[row]), ImVec2(xs[col + 1], ys[row + 1]),
                           ImVec2(us[col], vs[row]), ImVec2(us[col + 1], vs[row + 1]), tint);
        }
    }
}

void fillGradientRoundRect(ImDrawList* list, const Rect& r, float radius, const GradientStop* stops, int count) {
    if (!(r.w > 0.0f && r.h > 0.0f) || count < 1 || stops == nullptr) return;
    const float top = r.y;
    const float bottom = r.y + r.h;
    const float left = r.x;
    const float right = r.x + r.w;
    radius = std::clamp(radius, 0.0f, std::min(r.w, r.h) * 0.5f);

    // Rows where the corner curve needs them, and one at every stop.
    const int n = std::max(4, static_cast<int>(radius / 1.5f));
    std::vector<float> rows;
    rows.reserve(static_cast<size_t>(2 * (n + 1) + count));
    for (int i = 0; i <= n; ++i) {
        rows.push_back(top + static_cast<float>(i) * radius / static_cast<float>(n));
        rows.push_back(bottom - static_cast<float>(i) * radius / static_cast<float>(n));
    }
    for (int k = 0; k < count; ++k) rows.push_back(top + std::clamp(stops[k].position, 0.0f, 1.0f) * r.h);
    std::sort(rows.begin(), rows.end());
    std::vector<float> kept;
    kept.reserve(rows.size());
    for (float y : rows) {
        if (kept.empty() || y - kept.back() >= 0.01f) kept.push_back(y);
    }
    if (kept.size() < 2) return;

    auto colourAt = [&](float t) {
        if (t <= stops[0].position) return stops[0].colour;
        for (int k = 1; k < count; ++k) {
            if (stops[k].position >= t) {
                const float span = stops[k].position - stops[k - 1].position;
                const float f = span == 0.0f ? 1.0f : (t - stops[k - 1].position) / span;
                return mixColor(stops[k - 1].colour, stops[k].colour, f);
            }
        }
        return stops[count - 1].colour;
    };

    const int rowCount = static_cast<int>(kept.size());
    list->PrimReserve(6 * (rowCount - 1), 2 * rowCount);
    const ImVec2 white = ImGui::GetFontTexUvWhitePixel();
    const auto base = static_cast<ImDrawIdx>(list->_VtxCurrentIdx);
    for (float y : kept) {
        const float e = std::min(y - top, bottom - y);
        const float inset =
            e < radius ? radius - std::sqrt(std::max(radius * radius - (radius - e) * (radius - e), 0.0f)) : 0.0f;
        const ImU32 colour = toImColor(colourAt((y - top) / r.h));
        list->PrimWriteVtx(ImVec2(left + inset, y), white, colour);
        list->PrimWriteVtx(ImVec2(right - inset, y), white, colour);
    }
    for (int i = 0; i + 1 < rowCount; ++i) {
        const auto a = static_cast<ImDrawIdx>(base + 2 * i);
        list->PrimWriteIdx(a);
        list->PrimWriteIdx(static_cast<ImDrawIdx>(a + 1));
        list->PrimWriteIdx(static_cast<ImDrawIdx>(a + 3));
        list->PrimWriteIdx(a);
        list->PrimWriteIdx(static_cast<ImDrawIdx>(a + 3));
        list->PrimWriteIdx(static_cast<ImDrawIdx>(a + 2));
    }
}

void drawLightGlow(ImDrawList* list, const Rect& r) {
    if (!(r.w > 0.0f && r.h > 0.0f)) return;
    const float s = scale();
    const float m = std::min(std::min(r.w, r.h) * 0.5f, 5.0f * s);
    const float x0 = r.x + m;
    const float y0 = r.y + m;
    const float W = std::max(r.w - 2.0f * m, 0.0f);
    const float H = std::max(r.h - 2.0f * m, 0.0f);
    const float d = std::min(std::min(W, H) * 0.45f, 40.0f * s);

    const ImDrawCallback hook = UiContext::current().lightHook;
    if (hook != nullptr) compat::addCallback(list, hook, nullptr);
    // Additive light is weaker than light blended over: the two give about the same warmth.
    const float k = hook != nullptr ? 0.2f : 0.24f;

    constexpr int rings = 29;
    list->PrimReserve((rings - 1) * 4 * 6, rings * 4);
    const ImVec2 white = ImGui::GetFontTexUvWhitePixel();
    const auto base = static_cast<ImDrawIdx>(list->_VtxCurrentIdx);
    for (int i = 0; i < rings; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(rings - 1);
        const float inset = t * d;
        const float alpha = (1.0f - t * t * (3.0f - 2.0f * t)) * k;
        const ImU32 colour = IM_COL32(0xD8, 0xA2, 0x51, alphaByte(alpha));
        const float rx = x0 + inset;
        const float ry = y0 + inset;
        const float rw = std::max(W - 2.0f * inset, 0.0f);
        const float rh = std::max(H - 2.0f * inset, 0.0f);
        list->PrimWriteVtx(ImVec2(rx, ry), white, colour);
        list->PrimWriteVtx(ImVec2(rx + rw, ry), white, colour);
        list->PrimWriteVtx(ImVec2(rx + rw, ry + rh), white, colour);
        list->PrimWriteVtx(ImVec2(rx, ry + rh), white, colour);
    }
    for (int i = 0; i + 1 < rings; ++i) {
        const int outer = base + 4 * i;
        const int inner = outer + 4;
        for (int side = 0; side < 4; ++side) {
            const int next = (side + 1) % 4;
            list->PrimWriteIdx(static_cast<ImDrawIdx>(outer + side));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(outer + next));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(inner + next));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(outer + side));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(inner + next));
            list->PrimWriteIdx(static_cast<ImDrawIdx>(inner + side));
        }
    }
    if (hook != nullptr) compat::addCallback(list, compat::resetRenderStateCallback(), nullptr);

    const ImU32 black = IM_COL32(0, 0, 0, 255);
    const float right = r.x + r.w;
    const float bottom = r.y + r.h;
    list->AddRectFilled(ImVec2(r.x, r.y), ImVec2(right, y0), black);
    list->AddRectFilled(ImVec2(r.x, y0 + H), ImVec2(right, bottom), black);
    list->AddRectFilled(ImVec2(r.x, y0), ImVec2(x0, y0 + H), black);
    list->AddRectFilled(ImVec2(x0 + W, y0), ImVec2(right, y0 + H), black);
}

}  // namespace tarn::ui
