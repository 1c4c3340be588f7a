// Text roles: the role table, letter spacing, capitals, ellipsis fitting on character boundaries.
#include "ui/text.h"

#include "tests/ui/frame_input.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

const std::string kEllipsis = "\xE2\x80\xA6";

// Vertex positions drawn by `draw` into a fresh stretch of the list.
template <class Draw>
std::vector<ImVec2> positionsOf(ImDrawList* list, Draw&& draw) {
    const int start = list->VtxBuffer.Size;
    draw();
    std::vector<ImVec2> out;
    for (int i = start; i < list->VtxBuffer.Size; ++i) out.push_back(list->VtxBuffer[i].pos);
    return out;
}

void expectSamePositions(const std::vector<ImVec2>& a, const std::vector<ImVec2>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_FLOAT_EQ(a[i].x, b[i].x) << i;
        EXPECT_FLOAT_EQ(a[i].y, b[i].y) << i;
    }
}

TEST(TextRoles, TableAndUnknownRolesSetLikeRoleTwo) {
    EXPECT_EQ(textStyle(0).size, 10.0f);
    EXPECT_EQ(textStyle(3).font, 2);
    EXPECT_TRUE(textStyle(3).upperCase);
    EXPECT_FLOAT_EQ(textStyle(3).tracking, 1.1f);
    EXPECT_EQ(textStyle(8).size, 20.0f);
    EXPECT_EQ(textStyle(8).font, 4);
    for (TextRole role : {9u, 10u, 1000u, 0xFFFFFFFFu}) {
        const TextStyle style = textStyle(role);
        EXPECT_EQ(style.size, 12.0f);
        EXPECT_EQ(style.font, 0);
        EXPECT_EQ(style.tracking, 0.0f);
        EXPECT_FALSE(style.upperCase);
    }
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        EXPECT_EQ(measureText("Hello there", 9).x, measureText("Hello there", 2).x);
        EXPECT_EQ(measureText("Hello there", 9).y, 12.0f);
        const auto nine = positionsOf(list, [&] { drawTextAt(list, ImVec2(10, 10), "Hello", 9, 0xFFFFFFFF); });
        const auto two = positionsOf(list, [&] { drawTextAt(list, ImVec2(10, 10), "Hello", 2, 0xFFFFFFFF); });
        expectSamePositions(nine, two);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(TextRoles, CharacterLengthsFromTheLeadByte) {
    EXPECT_EQ(characterLength(""), 0u);
    EXPECT_EQ(characterLength("a"), 1u);
    EXPECT_EQ(characterLength("\xC3\xA9x"), 2u);
    EXPECT_EQ(characterLength("\xE2\x80\xA6"), 3u);
    EXPECT_EQ(characterLength("\xF0\x9F\x8E\xB8"), 4u);
    EXPECT_EQ(characterLength("\xE2\x80"), 2u) << "cut at the end of the text";
    EXPECT_EQ(characterLength("\x80\x80"), 1u) << "a stray continuation byte is one character";
    EXPECT_EQ(characterLength("\xFF"), 1u);
}

TEST(TextRoles, TitleRoleSetsCapitalsWithLetterSpacing) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        for (float factor : {1.0f, 2.0f}) {
            pushScale(factor);
            const float s = scale();
            const FontAndSize bold{UiContext::current().fonts[2], 14.0f * s};
            float letters = 0.0f;
            for (const char* c : {"B", "A", "S", "S"}) letters += measureRun(bold, c, 0.0f);
            EXPECT_NEAR(measureText("Bass", 3).x, letters + 3 * 1.1f * s, 1e-3f) << "no space after the last letter";
            EXPECT_EQ(measureText("Bass", 3).x, measureText("BASS", 3).x);
            EXPECT_EQ(measureText("Bass", 3).y, 14.0f * s);

            // Drawn letter by letter: each at the previous one's end plus 1.1 px x scale.
            const auto drawn = positionsOf(list, [&] { drawTextAt(list, ImVec2(20, 30), "Bass", 3, 0xFFFFFFFF); });
            const auto expected = positionsOf(list, [&] {
                float x = 20.0f;
                for (const char* c : {"B", "A", "S", "S"}) {
                    drawRun(list, bold, ImVec2(x, 30), c, 0.0f, 0xFFFFFFFF);
                    x += measureRun(bold, c, 0.0f) + 1.1f * s;
                }
            });
            expectSamePositions(drawn, expected);
            EXPECT_EQ(drawn.size(), 16u) << "four glyph quads";
            popScale();
        }
        // Only ASCII letters change case.
        EXPECT_EQ(measureText("\xC3\xA9t\xC3\xA9", 3).x, measureText("\xC3\xA9T\xC3\xA9", 3).x);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(TextFitting, WithinHalfAPixelIsDrawnWhole) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const std::string text = "Phrase arc";
        const float w = measureText(text, 2).x;
        FitResult fit = fitText(text, 2, w - 0.45f);
        EXPECT_EQ(fit.keep, text.size());
        EXPECT_FALSE(fit.ellipsis);
        fit = fitText(text, 2, w - 0.55f);
        EXPECT_TRUE(fit.ellipsis);
        EXPECT_LT(fit.keep, text.size());

        const auto whole = positionsOf(list, [&] { drawText(list, Rect{0, 0, w - 0.45f, 20}, text, 2, 0xFFFFFFFF, 0); });
        const auto plain = positionsOf(list, [&] { drawTextAt(list, ImVec2(0, 4), text, 2, 0xFFFFFFFF); });
        expectSamePositions(whole, plain);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(TextFitting, CutsOnCharacterBoundariesAndAddsAnEllipsis) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const std::string text = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x80\x94 na\xC3\xAFve \xE2\x86\x92 caf\xC3\xA9";
        for (TextRole role : {2u, 3u}) {
            const TextStyle style = textStyle(role);
            const FontAndSize font{UiContext::current().fonts[style.font], style.size * scale()};
            const float ellipsis = measureRun(font, kEllipsis, 0.0f);
            const float full = measureText(text, role).x;
            size_t previous = 0;
            for (float width = -5.0f; width < full - 0.51f; width += 0.75f) {
                const FitResult fit = fitText(text, role, width);
                ASSERT_TRUE(fit.ellipsis) << width;
                ASSERT_LE(fit.keep, text.size());
                if (fit.keep < text.size()) {
                    EXPECT_NE(static_cast<unsigned char>(text[fit.keep]) & 0xC0u, 0x80u)
                        << "cut inside a character at " << fit.keep;
                }
                EXPECT_GE(fit.keep, previous) << "a wider box never keeps less";
                previous = fit.keep;
                if (fit.keep > 0) {
                    const float kept = measureText(text.substr(0, fit.keep), role).x;
                    EXPECT_LE(kept, width - ellipsis - style.tracking * scale() + 1e-3f);
                }
            }
            EXPECT_EQ(fitText(text, role, 0.0f).keep, 0u);
        }

        // When nothing fits, only the ellipsis is drawn.
        const auto cut = positionsOf(list, [&] { drawText(list, Rect{50, 0, 2, 20}, text, 2, 0xFFFFFFFF, 0); });
        const auto dots = positionsOf(list, [&] { drawTextAt(list, ImVec2(50, 4), kEllipsis, 2, 0xFFFFFFFF); });
        EXPECT_EQ(cut.size(), 4u);
        expectSamePositions(cut, dots);
        // The ellipsis is a real glyph, not the fallback '?'.
        const auto fallback = positionsOf(list, [&] { drawTextAt(list, ImVec2(50, 4), "?", 2, 0xFFFFFFFF); });
        EXPECT_NE(dots[1].x - dots[0].x, fallback[1].x - fallback[0].x);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(TextFitting, AlignmentAndVerticalCentring) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const float w = measureText("Tone", 2).x;
        const Rect box{100, 40, 200, 30};
        const auto left = positionsOf(list, [&] { drawText(list, box, "Tone", 2, 0xFFFFFFFF, 0); });
        const auto centre = positionsOf(list, [&] { drawText(list, box, "Tone", 2, 0xFFFFFFFF, 1); });
        const auto right = positionsOf(list, [&] { drawText(list, box, "Tone", 2, 0xFFFFFFFF, 2); });
        expectSamePositions(left, positionsOf(list, [&] { drawTextAt(list, ImVec2(100, 49), "Tone", 2, 0xFFFFFFFF); }));
        expectSamePositions(centre, positionsOf(list, [&] {
                                drawTextAt(list, ImVec2(100 + (200 - w) * 0.5f, 49), "Tone", 2, 0xFFFFFFFF);
                            }));
        expectSamePositions(right, positionsOf(list, [&] {
                                drawTextAt(list, ImVec2(300 - w, 49), "Tone", 2, 0xFFFFFFFF);
                            }));
        // Colours arrive in Dear ImGui's byte order.
        const int start = list->VtxBuffer.Size;
        drawTextAt(list, ImVec2(0, 0), "x", 2, 0xFF102030);
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(0x10, 0x20, 0x30, 0xFF));
        // Empty text and sub-pixel sizes draw nothing.
        const int before = list->VtxBuffer.Size;
        drawTextAt(list, ImVec2(0, 0), "", 2, 0xFFFFFFFF);
        drawRun(list, FontAndSize{UiContext::current().fonts[0], 0.5f}, ImVec2(0, 0), "abc", 0.0f, 0xFFFFFFFF);
        EXPECT_EQ(list->VtxBuffer.Size, before);
        EXPECT_EQ(measureRun(FontAndSize{UiContext::current().fonts[0], 12.0f}, "", 3.0f), 0.0f);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(TextRoles, FontScopeSetsTheRoleSizeAtTheCurrentScale) {
    UiContext ui;
    setDisplayScale(ui, 1.5f);
    runFrame(ui, FrameInput{}, [&](ImDrawList*) {
        {
            const FontScope font(4);
            EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 22.0f * 1.5f);
        }
        pushScale(2.0f);
        {
            const FontScope font(0);
            EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 10.0f * 3.0f);
        }
        popScale();
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
