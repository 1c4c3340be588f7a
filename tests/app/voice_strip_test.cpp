// The voice strip's graphs edited with the mouse: clamps, relative and mirrored drags, the switch, resets.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tarn {
namespace {

using namespace testing;

enum Graph { kPunch, kShape, kGlide, kSpread };
enum Kind { kDrag, kClick, kDoubleClick };
using Sets = std::vector<std::pair<float Patch::*, float>>;

// A gesture on one graph, at fractions of its plot (outside 0..1 beyond its edges), from the start
// values below: the punch point is at (0.5, 0.4) and the glide point at (0.3, 0.39).
struct Case {
    const char* name;
    Graph graph;
    Kind kind;
    float fromX, fromY, toX, toY;
    Sets sets;  // what the gesture leaves; every other value of the strip stays
};

// clang-format off
const Case kCases[] = {
    {"punch stops at 0.2 s and full depth", kPunch, kDrag, 0.5f, 0.4f, 1.5f, -0.5f,
     {{&Patch::punchTime, 0.2f}, {&Patch::punch, 1}}},
    {"punch stops at 0.01 s and no depth", kPunch, kDrag, 0.5f, 0.4f, -0.5f, 1.5f,
     {{&Patch::punchTime, 0.01f}, {&Patch::punch, 0}}},
    {"shape moves by the drag, not to the mouse", kShape, kDrag, 0.8f, 0.5f, 0.3f, 0.5f, {{&Patch::shape, 0.4f}}},
    {"dragging down plucks", kShape, kDrag, 0.3f, 0.2f, 0.3f, 0.45f, {{&Patch::pluck, 0.75f}}},
    {"the switch under the glide turns legato off", kGlide, kClick, 0.08f, 1.2f, 0, 0, {{&Patch::legato, 0}}},
    {"glide stops at 0.4 s", kGlide, kDrag, 0.3f, 0.39f, 1.5f, 0.0f, {{&Patch::glide, 0.4f}}},
    {"spread clicked left of centre", kSpread, kClick, 0.2f, 0.5f, 0, 0, {{&Patch::spread, 0.6f}}},
    {"spread clicked as far right", kSpread, kClick, 0.8f, 0.5f, 0, 0, {{&Patch::spread, 0.6f}}},
    {"resetting punch", kPunch, kDoubleClick, 0.1f, 0.9f, 0, 0, {{&Patch::punch, 0.35f}, {&Patch::punchTime, 0.05f}}},
    {"resetting shape", kShape, kDoubleClick, 0.5f, 0.5f, 0, 0, {{&Patch::shape, 0.35f}, {&Patch::pluck, 0}}},
    {"resetting glide", kGlide, kDoubleClick, 0.9f, 0.9f, 0, 0, {{&Patch::glide, 0.06f}}},
    {"resetting spread", kSpread, kDoubleClick, 0.95f, 0.5f, 0, 0, {{&Patch::spread, 0.7f}}},
};
// clang-format on

TEST(VoiceStrip, GesturesSetTheSoundAsTheGraphsShowIt) {
    // Every value of the strip away from the starting sound, so resets show.
    const Sets start = {{&Patch::punch, 0.6f}, {&Patch::punchTime, 0.15f}, {&Patch::shape, 0.9f}, {&Patch::pluck, 0.5f},
                        {&Patch::glide, 0.3f}, {&Patch::legato, 1},        {&Patch::spread, 0.1f}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        testing::EditorTab tab(0);
        for (const auto& [field, value] : start) tab.editor.patch.*field = value;
        tab.settle();
        tab.run();
        const auto plots = tab.boxes(0xB30D1108, tab.editor.voiceStripRect);
        ASSERT_EQ(plots.size(), 4u);
        const ImVec2 from = inside(plots[c.graph], c.fromX, c.fromY);
        const ImVec2 to = inside(plots[c.graph], c.toX, c.toY);
        tab.run(c.kind == kDrag ? drag(from, {to}) : c.kind == kClick ? click(from) : doubleClick(from));
        for (auto [field, value] : start) {
            for (const auto& [set, setTo] : c.sets) value = set == field ? setTo : value;
            EXPECT_NEAR(tab.editor.patch.*field, value, 0.016f) << "the mouse moves by whole pixels";
        }
        tab.expectHandedOn();
    }
}

}  // namespace
}  // namespace tarn
