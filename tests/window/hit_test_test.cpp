// What a press on the borderless window means: a resize border, the drag band or the view.
#include "ui/host/hit_test.h"

#include <gtest/gtest.h>

namespace tarn::ui {
namespace {

TEST(HitTest, BordersComeBeforeTheCaptionBandWhichYieldsToTheView) {
    // 1350 x 1425 at scale 1.5: borders of 9 pixels, a caption band of 54.
    using enum WindowHit;
    struct Case {
        int x, y;
        bool restored, uiWantsPointer;
        WindowHit hit;
    };
    const Case cases[] = {
        {0, 0, true, false, topLeft},      {1349, 0, true, false, topRight},   {0, 1424, true, false, bottomLeft},
        {1349, 1424, true, false, bottomRight}, {8, 700, true, false, left}, {9, 700, true, false, client},
        {1341, 700, true, false, right},   {700, 8, true, true, top},          {700, 1416, true, false, bottom},
        {700, 9, true, false, caption},    {700, 53, true, false, caption},    {700, 54, true, false, client},
        {700, 30, true, true, client},     {0, 0, false, false, caption},      {1349, 1424, false, false, client},
    };
    for (const Case& c : cases) {
        const HitTestInput in{c.x, c.y, 1350, 1425, 1.5f, 36.0f, c.restored, c.uiWantsPointer};
        EXPECT_EQ(classifyHit(in), c.hit) << c.x << "," << c.y << (c.restored ? " restored" : " maximised");
    }
}

}  // namespace
}  // namespace tarn::ui
