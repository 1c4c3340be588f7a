// The plot scope: a framed area with two axes, its pointer input, grid and marks in data units.
#pragma once

#include "ui/plot_axis.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarn::ui {

struct PlotStyle {
    std::string_view title;  // empty: none
    bool framed = true;
    float padding = 0.0f;  // logical pixels between the frame and the inner area
};

struct PlotInput {
    bool hovered = false;
    bool clicked = false;
    bool doubleClicked = false;
    bool rightClicked = false;
    bool held = false;
    bool pressed = false;   // edge: held now and not the frame before
    bool released = false;  // edge
    ImVec2 mousePixels{0.0f, 0.0f};
    ImVec2 mouseData{0.0f, 0.0f};  // x axis value, y axis value
};

// Lives for one plot's drawing: the constructor frames and clips, the destructor ends the item.
class Plot {
public:
    Plot(const char* id, const Rect& r, const PlotAxis& x, const PlotAxis& y, const PlotStyle& style);
    ~Plot();
    Plot(const Plot&) = delete;
    Plot& operator=(const Plot&) = delete;

    PlotInput interact();
    void grid(const std::vector<PlotTick>& xTicks, const std::vector<PlotTick>& yTicks);

    void polyline(std::span<const float> xs, std::span<const float> ys, uint32_t colour, float thickness);
    // Sample i at data x x0 + i x dx; every sample becomes a point.
    void curve(std::span<const float> ys, float x0, float dx, uint32_t colour, float thickness);
    void fillUnder(std::span<const float> xs, std::span<const float> ys, float baseline, uint32_t colour);
    void hLine(float y, uint32_t colour, float thickness);
    void vLine(float x, uint32_t colour, float thickness);
    void band(float x0, float x1, uint32_t colour);
    void playhead(float x);

    const Rect& outer() const { return outer_; }
    const Rect& inner() const { return inner_; }
    const PlotAxis& xAxis() const { return x_; }
    const PlotAxis& yAxis() const { return y_; }
    ImDrawList* drawList() const { return list_; }
    ImVec2 toPixels(float x, float y) const { return ImVec2(x_.pixelOf(x), y_.pixelOf(y)); }

private:
    const char* id_;
    Rect outer_;
    Rect inner_;
    Rect title_;  // where the title was drawn; empty for none
    PlotAxis x_;
    PlotAxis y_;
    ImDrawList* list_;
    bool interacted_ = false;
    std::vector<ImVec2> scratch_;
};

}  // namespace tarn::ui
