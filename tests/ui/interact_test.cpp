// Hotspot interaction over simulated frames: press, drag threshold, axis lock, clicks, modifiers, wheel.
#include "ui/interact.h"

#include "tests/ui/frame_input.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

Hotspot pointAt(float x, float y, int32_t axis = DragAxis::free) {
    Hotspot h;
    h.kind = HotspotKind::point;
    h.point = ImVec2(x, y);
    h.grabRadius = 6.0f;
    h.dragAxis = axis;
    return h;
}

// Runs one frame per input and returns the hotspot's result of each. Idle frames come first, so
// that the window exists to be hovered and an earlier run's clicks are too old to pair with these.
std::vector<Interaction> run(UiContext& ui, const Hotspot& h, const std::vector<FrameInput>& inputs) {
    FrameInput idle;
    idle.mouse = inputs.front().mouse;
    for (int i = 0; i < 30; ++i) runFrame(ui, idle, [&](ImDrawList*) { interact("h", h); });
    std::vector<Interaction> out;
    for (const FrameInput& in : inputs) runFrame(ui, in, [&](ImDrawList*) { out.push_back(interact("h", h)); });
    return out;
}

FrameInput at(float x, float y, bool left = false) {
    FrameInput in;
    in.mouse = ImVec2(x, y);
    in.left = left;
    return in;
}

TEST(HotspotInteraction, DragStartsOnlyPastThreeScaledPixels) {
    UiContext ui;
    const auto r = run(ui, pointAt(100, 100),
                       {at(100, 100), at(100, 100, true), at(102, 101, true), at(103, 100, true),
                        at(104, 102, true), at(110, 105, true), at(110, 105)});
    EXPECT_TRUE(r[0].hovered);
    EXPECT_FALSE(r[0].held);
    EXPECT_TRUE(r[1].pressed);
    EXPECT_TRUE(r[1].held);
    EXPECT_FALSE(r[1].dragging);
    EXPECT_FALSE(r[2].dragging);
    EXPECT_FALSE(r[2].pressed);
    EXPECT_EQ(r[2].totalDelta.x, 2.0f);
    EXPECT_EQ(r[2].totalDelta.y, 1.0f);
    EXPECT_FALSE(r[3].dragging) << "exactly 3 px is not yet a drag";
    EXPECT_TRUE(r[4].dragging);
    EXPECT_EQ(r[4].stepDelta.x, 1.0f);
    EXPECT_EQ(r[4].stepDelta.y, 2.0f);
    EXPECT_EQ(r[5].totalDelta.x, 10.0f);
    EXPECT_EQ(r[5].totalDelta.y, 5.0f);
    EXPECT_EQ(r[5].stepDelta.x, 6.0f);
    EXPECT_EQ(r[5].pressPosition.x, 100.0f);
    EXPECT_TRUE(r[6].released);
    for (std::size_t i = 0; i < r.size(); ++i) EXPECT_EQ(r[i].released, i == 6) << "frame " << i;
    EXPECT_FALSE(r[6].clicked) << "a drag is not a click";
    EXPECT_TRUE(r[6].dragging);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, ThresholdFollowsTheUiScale) {
    UiContext ui;
    setDisplayScale(ui, 2.0f);
    const auto r = run(ui, pointAt(100, 100),
                       {at(100, 100), at(100, 100, true), at(105, 100, true), at(107, 100, true)});
    EXPECT_FALSE(r[2].dragging) << "5 px is under 3 x 2";
    EXPECT_TRUE(r[3].dragging);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, FirstMovementLocksTheAxis) {
    UiContext ui;
    const auto r = run(ui, pointAt(100, 100, DragAxis::firstMove),
                       {at(100, 100), at(100, 100, true), at(101, 2 + 100, true), at(110, 102, true),
                        at(112, 140, true), at(112, 140)});
    EXPECT_EQ(r[1].dragAxis, DragAxis::firstMove);
    EXPECT_EQ(r[2].totalDelta.x, 0.0f) << "undecided: no movement passes";
    EXPECT_EQ(r[2].totalDelta.y, 0.0f);
    EXPECT_EQ(r[3].dragAxis, DragAxis::x);
    EXPECT_EQ(r[3].totalDelta.x, 10.0f);
    EXPECT_EQ(r[3].totalDelta.y, 0.0f);
    EXPECT_EQ(r[4].dragAxis, DragAxis::x) << "locked for the rest of the drag";
    EXPECT_EQ(r[4].totalDelta.x, 12.0f);
    EXPECT_EQ(r[4].totalDelta.y, 0.0f);
    EXPECT_EQ(r[4].stepDelta.x, 2.0f);

    const auto v = run(ui, pointAt(100, 100, DragAxis::firstMove),
                       {at(100, 100), at(100, 100, true), at(102, 110, true), at(150, 120, true), at(150, 120)});
    EXPECT_EQ(v[2].dragAxis, DragAxis::y);
    EXPECT_EQ(v[3].totalDelta.x, 0.0f);
    EXPECT_EQ(v[3].totalDelta.y, 20.0f);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, FixedAxisZeroesTheOtherDirection) {
    UiContext ui;
    const auto r = run(ui, pointAt(100, 100, DragAxis::y), {at(100, 100), at(100, 100, true), at(130, 90, true)});
    EXPECT_TRUE(r[2].dragging);
    EXPECT_EQ(r[2].totalDelta.x, 0.0f);
    EXPECT_EQ(r[2].totalDelta.y, -10.0f);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, ClickWithoutMovementAndMissedPress) {
    UiContext ui;
    const auto r = run(ui, pointAt(100, 100), {at(100, 100), at(100, 100, true), at(101, 100, true), at(101, 100)});
    EXPECT_TRUE(r[3].released);
    EXPECT_TRUE(r[3].clicked);
    EXPECT_FALSE(r[3].held);
    // A press away from the hotspot never reaches it.
    const auto miss = run(ui, pointAt(100, 100), {at(200, 200), at(200, 200, true), at(100, 100, true), at(100, 100)});
    for (const Interaction& i : miss) {
        EXPECT_FALSE(i.pressed);
        EXPECT_FALSE(i.held);
        EXPECT_FALSE(i.clicked);
        EXPECT_FALSE(i.released);
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, DoubleClickIsSwallowedUntilReleaseWhereItMeansSomething) {
    UiContext ui;
    Hotspot resets = pointAt(100, 100);
    resets.doubleClicks = true;
    const auto r = run(ui, resets,
                       {at(100, 100), at(100, 100, true), at(100, 100), at(100, 100, true), at(120, 100, true),
                        at(120, 100), at(100, 100), at(100, 100)});
    EXPECT_TRUE(r[1].pressed);
    EXPECT_TRUE(r[2].clicked);
    EXPECT_TRUE(r[3].doubleClicked);
    EXPECT_FALSE(r[3].pressed);
    EXPECT_TRUE(r[3].held);
    EXPECT_FALSE(r[4].dragging) << "no drag from the second press";
    EXPECT_FALSE(r[4].doubleClicked);
    EXPECT_EQ(r[4].totalDelta.x, 0.0f);
    EXPECT_FALSE(r[5].released);
    EXPECT_FALSE(r[5].clicked);

    // After the release, a later press is an ordinary press again.
    const std::vector<FrameInput> later = {at(100, 100), at(100, 100, true)};
    const auto again = run(ui, resets, later);
    EXPECT_TRUE(again.back().pressed);
    EXPECT_FALSE(again.back().doubleClicked);

    // Where a double click means nothing, its second press is a press and its release a click.
    const auto plain =
        run(ui, pointAt(100, 100), {at(100, 100), at(100, 100, true), at(100, 100), at(100, 100, true), at(100, 100)});
    EXPECT_TRUE(plain[3].pressed && !plain[3].doubleClicked);
    EXPECT_TRUE(plain[4].clicked);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, ModifiersAreThoseOfThePress) {
    UiContext ui;
    FrameInput press = at(100, 100, true);
    press.shift = true;
    press.ctrl = true;
    FrameInput drag = at(110, 100, true);
    drag.alt = true;
    FrameInput up = at(110, 100);
    const auto r = run(ui, pointAt(100, 100), {at(100, 100), press, drag, up});
    EXPECT_TRUE(r[1].shift);
    EXPECT_TRUE(r[1].ctrl);
    EXPECT_FALSE(r[1].alt);
    EXPECT_TRUE(r[2].shift) << "modifiers are kept from the press";
    EXPECT_FALSE(r[2].alt);
    EXPECT_TRUE(r[3].released);
    EXPECT_TRUE(r[3].shift);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, WheelAndRightClickOnlyWhileHovered) {
    UiContext ui;
    FrameInput over = at(100, 100);
    over.wheel = 2.0f;
    FrameInput away = at(300, 300);
    away.wheel = 2.0f;
    FrameInput right = at(100, 100);
    right.right = true;
    const auto r = run(ui, pointAt(100, 100), {over, away, at(100, 100), right});
    EXPECT_EQ(r[0].mouseWheel, 2.0f);
    EXPECT_EQ(r[1].mouseWheel, 0.0f);
    EXPECT_FALSE(r[2].rightClicked);
    EXPECT_TRUE(r[3].rightClicked);
    EXPECT_FALSE(r[3].pressed);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotInteraction, HitAreasAndCursorsByKind) {
    UiContext ui;
    Hotspot bar;
    bar.kind = HotspotKind::verticalBar;
    bar.point = ImVec2(200, 0);
    bar.area = Rect{0, 50, 400, 100};
    bar.grabRadius = 4.0f;
    Hotspot rect;
    rect.kind = HotspotKind::rectangle;
    rect.area = Rect{500, 500, 50, 20};
    struct Probe {
        ImVec2 mouse;
        bool barHovered;
        bool rectHovered;
    };
    const Probe probes[] = {{{203, 100}, true, false}, {{205, 100}, false, false}, {{200, 160}, false, false},
                            {{200, 55}, true, false},  {{525, 510}, false, true},  {{551, 510}, false, false}};
    for (int i = 0; i < 2; ++i) runFrame(ui, FrameInput{}, [](ImDrawList*) {});
    for (const Probe& p : probes) {
        FrameInput in;
        in.mouse = p.mouse;
        runFrame(ui, in, [&](ImDrawList*) {
            EXPECT_EQ(interact("bar", bar).hovered, p.barHovered) << p.mouse.x << "," << p.mouse.y;
            EXPECT_EQ(interact("rect", rect).hovered, p.rectHovered) << p.mouse.x << "," << p.mouse.y;
            if (p.barHovered) {
                EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_ResizeEW);
            }
        });
    }
    Hotspot own = pointAt(100, 100);
    own.mouseCursor = ImGuiMouseCursor_TextInput;
    runFrame(ui, at(100, 100), [&](ImDrawList*) {
        interact("own", own);
        EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_TextInput);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(HotspotDrawing, PointGrowsWhenHoveredAndBarsThicken) {
    UiContext ui;
    const auto extent = [](ImDrawList* list, int from) {
        float minX = 1e9f;
        float maxX = -1e9f;
        for (int i = from; i < list->VtxBuffer.Size; ++i) {
            minX = std::min(minX, list->VtxBuffer[i].pos.x);
            maxX = std::max(maxX, list->VtxBuffer[i].pos.x);
        }
        return maxX - minX;
    };
    runFrame(ui, at(500, 500), [&](ImDrawList* list) {
        const Hotspot h = pointAt(100, 100);
        Interaction idle;
        const int start = list->VtxBuffer.Size;
        drawHotspot(list, h, idle, 0xFF8DC63F, 0xFFFFFFFF);
        const float idleWidth = extent(list, start);
        Interaction held;
        held.held = true;
        const int heldStart = list->VtxBuffer.Size;
        drawHotspot(list, h, held, 0xFF8DC63F, 0xFFFF0000);
        const float heldWidth = extent(list, heldStart);
        // Dark ring of radius r + 1 under the disc (anti-aliasing adds about a pixel).
        EXPECT_NEAR(idleWidth, 2 * 5.0f, 1.5f);
        EXPECT_NEAR(heldWidth, 2 * 6.5f, 1.5f);
        EXPECT_EQ(list->VtxBuffer[list->VtxBuffer.Size - 1].col & 0x00FFFFFFu, IM_COL32(255, 0, 0, 0))
            << "held colour, red, in Dear ImGui's byte order";
        const int rectStart = list->VtxBuffer.Size;
        Hotspot rect;
        rect.kind = HotspotKind::rectangle;
        drawHotspot(list, rect, held, 0xFF8DC63F, 0xFFFFFFFF);
        EXPECT_EQ(list->VtxBuffer.Size, rectStart);
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
