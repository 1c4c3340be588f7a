// The transport bar over simulated frames: sizes, the position read-out, play by click and Space, tempo.
#include "ui/transport_bar.h"

#include "tests/ui/drawn_text.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::pointerAt;

TEST(TransportBar, NaturalSizeOfTheFramedAndTheLooseBar) {
    UiContext ui;
    float value = 0.5f;
    FloatParam swing(&value, FloatParamSpec{}, FloatParamHooks{});
    // framed, every button or play only, tempo mode, swing and position shown: size in logical px
    const std::tuple<bool, bool, int, bool, ImVec2> cases[] = {
        {true, false, 2, false, {6 + 36, 32}},
        {true, true, 0, true, {6 + 4 * 36 + 2 * (92 + 16) + 104 + 16, 32}},
        {false, false, 2, false, {32, 36}},
        {false, true, 1, true, {4 * 32 + 3 * 4 + 92 + 16 + 92 + 8 + 104 + 8, 36}}};
    testing::runFrame(ui, FrameInput{}, [&](ImDrawList*) {
        for (const auto& [framed, all, tempoMode, fields, size] : cases) {
            Param* const swingShown = fields ? &swing : nullptr;
            const TransportOptions o{all, all, all, fields, tempoMode, nullptr, swingShown, false, framed, 0};
            const ImVec2 natural = transportBarSize(o);
            EXPECT_EQ(std::make_pair(natural.x, natural.y), std::make_pair(size.x, size.y))
                << framed << all << tempoMode << fields;
        }
    });
}

// The fields the bar shows are named, framed (the caption before the value) or loose (above it).
TEST(TransportBar, EachFieldShownIsCaptioned) {
    // framed, tempo mode, swing shown: the texts drawn
    // clang-format off
    const std::tuple<bool, int, bool, std::vector<const char*>> cases[] = {
        {true,  0, false, {"BPM", "120", "1.1.1"}}, {false, 0, false, {"BPM", "120", "1.1.1"}},
        {true,  1, true,  {"BPM", "120", "SWING", "50", "1.1.1"}}, {false, 1, true, {"BPM", "120", "SWING", "50", "1.1.1"}},
        {true,  2, true,  {"SWING", "50"}}};
    // clang-format on
    for (const auto& [framed, tempoMode, swingShown, texts] : cases) {
        UiContext ui;
        float tempoValue = 120.0f, swingValue = 50.0f;
        FloatParamSpec settings;
        settings.max = 200.0f;
        settings.decimals = 0;
        FloatParam tempo(&tempoValue, FloatParamSpec(settings), FloatParamHooks{});
        FloatParam swing(&swingValue, FloatParamSpec(settings), FloatParamHooks{});
        const TransportOptions o{true, false, false, true, tempoMode, nullptr, swingShown ? &swing : nullptr, false, framed, 0};
        testing::runFrame(ui, FrameInput{}, [&](ImDrawList*) {
            transportBar("t", Rect{20, 20, 700, framed ? 32.0f : 36.0f}, TransportState{}, tempo, o);
        });
        for (const char* text : texts) EXPECT_TRUE(testing::findDrawnText(ui, text)) << framed << tempoMode << ": " << text;
        EXPECT_EQ(testing::findDrawnText(ui, "BPM").has_value(), tempoMode != 2) << framed << tempoMode;
    }
}

TEST(TransportBar, PositionReadsBarBeatAndSixteenth) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    // position, beats per bar, beat unit, text
    // clang-format off
    const std::tuple<double, int, int, const char*> cases[] = {
        {0.0, 4, 4, "1.1.1"}, {5.25, 4, 4, "2.2.2"}, {-3.0, 4, 4, "1.1.1"}, {3.999999, 4, 4, "1.4.4"},
        {3.0, 6, 8, "2.1.1"}, {3.75, 6, 8, "2.2.2"}, {4.0, 4, 0, "1.2.1"},  {4.0, 4, 1, "1.2.1"}, {4.5, 1, 4, "5.1.3"},
        {std::nan(""), 4, 4, "1.1.1"}, {inf, 4, 4, "1.1.1"}, {-inf, 4, 4, "1.1.1"}, {1e300, 4, 4, "250000000001.1.1"},
        {1e300, 4, std::numeric_limits<int>::max(), "1000000000000001.1.1"}};
    // clang-format on
    for (const auto& [position, beats, unit, text] : cases) {
        EXPECT_EQ(transportPositionText(TransportState{false, false, false, position, beats, unit}), text)
            << position << " in " << beats << "/" << unit;
    }
}

// A loose or framed bar at (20, 20), as high as its natural size, with rewind and Space on, and the
// tempo field (0 to 1) as asked.
std::vector<TransportResult> barFrames(bool framed, int tempoMode, float& tempoValue,
                                       const std::vector<FrameInput>& inputs, std::string* tooltip = nullptr) {
    UiContext ui;
    FloatParam tempo(&tempoValue, FloatParamSpec{}, FloatParamHooks{});
    const TransportOptions o{true, false, false, false, tempoMode, "Fixed at 120.", nullptr, true, framed, 0};
    std::vector<TransportResult> out;
    for (const FrameInput& in : inputs) {
        testing::runFrame(ui, in, [&](ImDrawList*) {
            const auto draw = [&] {
                out.push_back(transportBar("t", Rect{20, 20, 600, framed ? 32.0f : 36.0f}, TransportState{}, tempo, o));
            };
            tooltip != nullptr ? void(*tooltip = testing::loggedText(draw)) : draw();
        });
    }
    return out;
}

TEST(TransportBar, PlayTogglesOncePerClickOrSpacePress) {
    for (const bool framed : {true, false}) {
        // Play is the second button: its cell starts 3 + 36 px in (framed) or 32 + 4 px in (loose).
        std::vector<FrameInput> inputs = testing::clickAt(framed ? 20 + 3 + 36 + 18 : 20 + 36 + 16, 38);
        const FrameInput space = testing::pressing({testing::scancode::space});
        inputs.insert(inputs.end(), {FrameInput{}, space, space, FrameInput{}, space});
        float tempo = 0.5f;
        std::vector<std::pair<bool, bool>> flags;
        for (const TransportResult& r : barFrames(framed, 2, tempo, inputs))
            flags.emplace_back(r.playToggled, r.rewind);
        EXPECT_EQ(flags, (std::vector<std::pair<bool, bool>>{{false, false},
                                                             {false, false},
                                                             {true, false},
                                                             {false, false},
                                                             {true, false},
                                                             {false, false},
                                                             {false, false},
                                                             {true, false}}))
            << framed;
    }
}

TEST(TransportBar, ReadOnlyTempoShowsItsTooltipButTakesNoDrag) {
    for (const int mode : {0, 1}) {
        // Loose: the tempo field follows rewind, play and the 16 px gap: x from 104 to 196.
        float tempo = 0.5f;
        std::string tooltip;
        const auto hover = barFrames(false, mode, tempo, std::vector<FrameInput>(50, pointerAt(150, 38)), &tooltip);
        EXPECT_TRUE(hover.back().tempoHovered) << mode;
        EXPECT_NE(tooltip.find("Fixed at 120."), std::string::npos) << "past the tooltip delay, " << mode;
        const auto drag =
            barFrames(false, mode, tempo, {pointerAt(150, 38), pointerAt(150, 38, true), pointerAt(150, 20, true)});
        EXPECT_EQ(drag[2].tempoChanged, mode == 0) << mode;
        EXPECT_EQ(tempo != 0.5f, mode == 0) << mode;
    }
}

}  // namespace
}  // namespace tarn::ui
