// Fonts on Dear ImGui 1.86: baked faces, glyph coverage, text in every script, pushes at any size,
// failed construction.
#include "ui/fonts.h"

#include "tests/ui/drawn_text.h"
#include "tests/ui/ui_test_frames.h"
#include "tests/ui/widget_frames.h"
#include "ui/document_bar.h"
#include "ui/embedded.h"
#include "ui/list_browser.h"
#include "ui/popup.h"
#include "ui/status_line.h"
#include "ui/text_field.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

std::vector<float> faceSizes(const UiContext& ui, int family) {
    std::vector<float> sizes;
    for (const compat::BakedFace& face : ui.compat.faces) {
        if (face.family == family) sizes.push_back(face.pixelSize);
    }
    return sizes;
}

TEST(Fonts, EveryFaceHasTheCharactersTheInterfaceDraws) {
    UiContext ui;
    ASSERT_EQ(ui.compat.faces.size(), 9u);
    for (const compat::BakedFace& face : ui.compat.faces) {
        for (ImWchar c : {ImWchar(0x2026), ImWchar(0x2212), ImWchar(0x2192), ImWchar(0x00E9), ImWchar(0x0142),
                          ImWchar(0x00D7), ImWchar('A'), ImWchar(0xFFFD)}) {
            EXPECT_NE(face.font->FindGlyphNoFallback(c), nullptr)
                << face.font->GetDebugName() << " at " << face.pixelSize << " lacks U+" << std::hex << c;
        }
    }
    EXPECT_STREQ(ui.fonts[0]->GetDebugName(), "Inter Regular");
    EXPECT_STREQ(ui.fonts[1]->GetDebugName(), "Inter Medium");
    EXPECT_STREQ(ui.fonts[2]->GetDebugName(), "Inter Bold");
    EXPECT_STREQ(ui.fonts[3]->GetDebugName(), "JetBrains Mono");
    EXPECT_STREQ(ui.fonts[4]->GetDebugName(), "JetBrains Mono Bold");
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, RoleSizesAreBakedAtTheDisplayScale) {
    UiContext ui;
    EXPECT_EQ(faceSizes(ui, 0), (std::vector<float>{12, 10, 11, 22}));
    EXPECT_EQ(faceSizes(ui, 2), (std::vector<float>{14}));
    EXPECT_EQ(faceSizes(ui, 4), (std::vector<float>{12, 20}));
    setDisplayScale(ui, 1.5f);
    EXPECT_EQ(faceSizes(ui, 0), (std::vector<float>{18, 15, 16.5f, 33}));
    EXPECT_EQ(faceSizes(ui, 4), (std::vector<float>{18, 30}));
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, EveryRoleSizeHasItsOwnFaceAtCommonScales) {
    struct RoleFont {
        int family;
        float size;
    };
    const RoleFont roles[] = {{0, 10}, {0, 11}, {0, 12}, {2, 14}, {0, 22}, {3, 12}, {4, 12}, {4, 20}};
    UiContext ui;
    for (float displayScale : {1.0f, 1.5f, 2.0f}) {
        setDisplayScale(ui, displayScale);
        testing::TestFrame frame(ui);
        for (const RoleFont& role : roles) {
            const float px = role.size * displayScale;
            ImFont* face = compat::faceFor(ui.fonts[role.family], px);
            EXPECT_EQ(face->FontSize, px) << "family " << role.family << " at " << px << " px would be scaled";
            EXPECT_STREQ(face->GetDebugName(), ui.fonts[role.family]->GetDebugName());
        }
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, PushSetsTheExactSizeFromTheNearestLargerFace) {
    UiContext ui;
    setDisplayScale(ui, 1.5f);
    {
        testing::TestFrame frame(ui);
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 18.0f);
        compat::pushFont(ui.fonts[0], 11.0f);
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 16.5f);
        EXPECT_FLOAT_EQ(ImGui::GetFont()->FontSize, 16.5f) << "a face baked at that size";
        compat::pushFont(ui.fonts[0], 14.0f);  // 21 px: served by the 33 px face, scaled down
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 21.0f);
        EXPECT_FLOAT_EQ(ImGui::GetFont()->FontSize, 33.0f);
        ImGui::BeginChild("inner", ImVec2(100, 100));
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 21.0f) << "the size holds in a child window";
        ImGui::EndChild();
        compat::popFont();
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 16.5f);
        compat::popFont();
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 18.0f);
    }
    EXPECT_FALSE(ui.compat.atlasDirty);
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, ASizeLargerThanEveryFaceIsBakedForTheNextFrame) {
    UiContext ui;
    const uint64_t generation = ui.atlasGeneration();
    {
        testing::TestFrame frame(ui);
        compat::pushFont(ui.fonts[3], 30.0f);
        EXPECT_FLOAT_EQ(ImGui::GetFontSize(), 30.0f);
        EXPECT_FLOAT_EQ(ImGui::GetFont()->FontSize, 12.0f) << "scaled up for this frame only";
        compat::popFont();
    }
    EXPECT_TRUE(ui.compat.atlasDirty);
    {
        testing::TestFrame frame(ui);  // refreshes the atlas first
        EXPECT_GT(ui.atlasGeneration(), generation);
        compat::pushFont(ui.fonts[3], 30.0f);
        EXPECT_FLOAT_EQ(ImGui::GetFont()->FontSize, 30.0f);
        EXPECT_STREQ(ImGui::GetFont()->GetDebugName(), "JetBrains Mono");
        compat::popFont();
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, FacesBakedOnDemandAreFewAndBounded) {
    UiContext ui;
    const size_t baked = ui.compat.faces.size();
    for (int round = 0; round < 3; ++round) {
        testing::TestFrame frame(ui);
        for (float px : {30.0f, 40.0f, 50.0f, 60.0f, 70.0f, 80.0f, 400.0f}) compat::faceFor(ui.fonts[0], px + round);
    }
    EXPECT_EQ(ui.compat.faces.size(), baked + 4);
    for (const compat::BakedFace& face : ui.compat.faces) EXPECT_LE(face.pixelSize, 128.0f);
    ImGui::SetCurrentContext(nullptr);
}

TEST(Fonts, TextMeasuresLinearlyAtAnySize) {
    UiContext ui;
    testing::TestFrame frame(ui);
    const char* text = "Bass line";
    const float w10 = compat::calcTextSize(ui.fonts[0], 10.0f, text).x;
    const float w20 = compat::calcTextSize(ui.fonts[0], 20.0f, text).x;
    EXPECT_GT(w10, 10.0f);
    EXPECT_NEAR(w20, 2.0f * w10, 0.05f * w10);
    EXPECT_EQ(compat::faceFor(ui.fonts[0], 11.0f)->FontSize, 11.0f);
    EXPECT_EQ(compat::faceFor(ui.fonts[0], 10.5f)->FontSize, 11.0f);
    EXPECT_EQ(compat::faceFor(ui.fonts[4], 13.0f)->FontSize, 20.0f);
}

// Where a user meets a name: the preset browser, the header's document bar, the status line and the
// save popup's name field. Each draws `name`, after its prefix, in the test window.
struct Surface {
    const char* what;
    std::u32string prefix;  // as drawn
    std::function<void(const std::string& name, bool firstFrame)> draw;
};

const Surface surfaces[] = {
    {"browser", U"",
     [](const std::string& name, bool firstFrame) {
         static const std::vector<std::string> categories{"Sub", "Sub"};
         const std::vector<std::string> names{"Deep Sub", name};
         if (firstFrame) openPopup("presets");
         browser("presets", Rect{20, 20, 100, 24}, names, categories, 0, BrowserStyle{});
     }},
    {"document bar", U"",
     [](const std::string& name, bool) {
         documentBar("doc", Rect{10, 10, 760, 24}, DocumentBarInput{name, true, true, true, "Open..."});
     }},
    {"status line", U"Loaded",
     [](const std::string& name, bool) {
         const std::string message = "Loaded " + name;
         statusLine("status", Rect{10, 10, 760, 20}, StatusLine{message, "", 0, {}, {}, 0, 0});
     }},
    {"name field", U"",
     [](const std::string& name, bool) {
         std::string text = name;
         textField("name", Rect{10, 10, 760, 48}, text, "Name");
     }},
};

TEST(ScriptText, NamesAreDrawnInTheGlyphsOfTheFontsThatHoldThem) {
    struct Case {
        std::string name;
        std::u32string drawn;  // blanks aside
    };
    const Case cases[] = {
        {"Глубокий бас Ωμέγα", U"ГлубокийбасΩμέγα"},
        {"Trầm sâu Ủ", U"TrầmsâuỦ"},
        // Neither font holds the ideograph; 1.86 decodes no character past U+FFFF (the emoji).
        {"Bass 中 \xF0\x9F\x98\x80 end", U"Bass\uFFFD\uFFFDend"},
        // Private-use characters mean something only by agreement: none is drawn from a font, nor is what
        // the name field holds in place of a character past U+FFFF.
        {"Pua \uE000\uE001 \xF0\x9F\x8E\xB8 end", U"Pua\uFFFD\uFFFD\uFFFDend"},
    };
    for (float displayScale : {1.0f, 2.0f}) {
        UiContext ui;
        setDisplayScale(ui, displayScale);
        for (const Surface& surface : surfaces) {
            for (const Case& c : cases) {
                const std::u32string drawn = surface.prefix + c.drawn;
                // The first frame asks for the characters; the atlas takes them in before the next.
                for (int frame = 0; frame < 3; ++frame)
                    testing::widgetFrame(ui, {}, [&](ImDrawList*) { surface.draw(c.name, frame == 0); });
                bool found = false;
                for (const testing::DrawnText& text : testing::drawnTexts(ui)) found = found || text.text == drawn;
                EXPECT_TRUE(found) << surface.what << " at " << displayScale << " does not draw " << c.name;
            }
        }
    }
}

TEST(ScriptText, AddedCharactersKeepTheAtlasBounded) {
    // Text in every character the 16-bit decoder knows, in every family: the atlas grows by its bound
    // and no further, and stays within the 8192 rows every GL driver takes; a name in Cyrillic and
    // Greek is baked whole at every scale.
    std::string everything;
    for (unsigned int c = 0xA0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        char bytes[5] = {};
        const ImWchar wide[2] = {static_cast<ImWchar>(c), 0};
        ImTextStrToUtf8(bytes, sizeof(bytes), wide, nullptr);
        everything += bytes;
    }
    const std::string name = "Глубокий бас Ωμέγα";
    struct Case {
        float displayScale;
        std::string text;
        bool allBaked;  // every character of the text is in every family's face
    };
    const Case cases[] = {
        {1.0f, "Deep Sub", true},  {1.0f, name, true},        {2.0f, name, true},        {4.0f, name, true},
        {1.0f, everything, false}, {2.0f, everything, false}, {4.0f, everything, false},
    };
    for (const Case& c : cases) {
        UiContext ui;
        setDisplayScale(ui, c.displayScale);
        int rowsBefore = 0;
        {
            const ContextScope scope(ui);
            rowsBefore = ImGui::GetIO().Fonts->TexHeight;
        }
        for (int frame = 0; frame < 3; ++frame) {
            testing::TestFrame f(ui);
            for (ImFont* font : ui.fonts.byIndex) compat::calcTextSize(font, 12.0f * c.displayScale, c.text.c_str());
        }
        const ContextScope scope(ui);
        const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
        EXPECT_EQ(atlas->TexWidth, compat::atlasWidth);
        EXPECT_LE(atlas->TexHeight, rowsBefore + static_cast<int>(compat::maxAddedTexels / compat::atlasWidth))
            << "at scale " << c.displayScale;
        EXPECT_LE(atlas->TexHeight, 8192) << "at scale " << c.displayScale;
        for (ImFont* font : c.allBaked ? ui.fonts.byIndex : decltype(ui.fonts.byIndex){}) {
            if (font == nullptr) continue;
            const ImFont* face = compat::faceFor(font, 12.0f * c.displayScale);
            for (const char32_t ch : testing::drawnForm(c.text))
                EXPECT_NE(face->FindGlyphNoFallback(static_cast<ImWchar>(ch)), nullptr)
                    << face->GetDebugName() << " at scale " << c.displayScale << " lacks U+" << std::hex
                    << static_cast<unsigned>(ch);
        }
    }
}

std::vector<uint8_t> corrupt(std::span<const uint8_t> data) {
    std::vector<uint8_t> bytes(data.begin(), data.begin() + 64);
    for (size_t i = 0; i < bytes.size(); i += 3) bytes[i] = 0xEE;
    return bytes;
}

TEST(UiContextFailure, UndecodableSkinLeavesThePreviousContextCurrent) {
    const std::vector<uint8_t> badPng = corrupt(embeddedSkinPng());
    UiResources resources = embeddedResources();
    resources.skinPng = badPng;
    {
        UiContext previous;
        ASSERT_EQ(ImGui::GetCurrentContext(), previous.imgui);
        try {
            UiContext broken(resources);
            ADD_FAILURE() << "built from a corrupt skin";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "tarn-ui: embedded tarn-skin.png failed to decode");
        }
        EXPECT_EQ(ImGui::GetCurrentContext(), previous.imgui);
        ImGui::SetCurrentContext(nullptr);
    }
    EXPECT_THROW(UiContext broken(resources), std::runtime_error);
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr) << "with none current before, none is left";
}

TEST(UiContextFailure, FontThatDoesNotLoadIsNamed) {
    const std::vector<uint8_t> badFont = corrupt(embeddedFont(2));
    UiResources resources = embeddedResources();
    resources.fonts[2] = badFont;
    try {
        UiContext broken(resources);
        ADD_FAILURE() << "built from a corrupt font";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "tarn-ui: embedded font failed to load: Inter Bold");
    }
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
    resources.fonts[2] = {};
    EXPECT_THROW(UiContext empty(resources), std::runtime_error);
}

TEST(Fonts, EmbeddedFilesAreTheNamedFamilies) {
    for (int i = 0; i < fontCount; ++i) {
        const auto data = embeddedFont(i);
        ASSERT_GT(data.size(), 100000u) << embeddedFontName(i);
    }
    // Inter ships as OpenType with CFF outlines, JetBrains Mono as TrueType.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(embeddedFont(0).data()), 4), "OTTO");
    EXPECT_EQ(embeddedFont(3)[0], 0x00);
    EXPECT_EQ(embeddedFont(3)[1], 0x01);
    EXPECT_TRUE(embeddedFont(5).empty());
}

}  // namespace
}  // namespace tarn::ui
