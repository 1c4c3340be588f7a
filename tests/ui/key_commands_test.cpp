// Key commands over simulated frames: exact chords, once per press, consumption, and silence while typing.
#include "ui/key_commands.h"

#include "tests/ui/frame_input.h"
#include "ui/popup.h"
#include "ui/text_field.h"
#include "ui/transport_bar.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

namespace key = testing::scancode;
using testing::FrameInput;
using testing::pressing;
using Polled = std::optional<KeyCommand>;
constexpr Polled kNone = std::nullopt;

TEST(KeyCommands, EachChordNeedsItsExactModifiers) {
    FrameInput ctrlSuperS = pressing({key::s}, true), ctrlAltZ = pressing({key::z}, true);
    ctrlSuperS.super = ctrlAltZ.alt = true;
    // clang-format off
    const std::pair<FrameInput, Polled> cases[] = {
        {pressing({key::z}, true), KeyCommand::Undo}, {pressing({key::z}, true, true), KeyCommand::Redo},
        {pressing({key::c}, true), KeyCommand::Copy}, {pressing({key::v}, true), KeyCommand::Paste},
        {pressing({key::s}, true), KeyCommand::Save}, {pressing({key::o}, true), KeyCommand::Open},
        {pressing({key::del}), KeyCommand::Delete},   {pressing({key::s, key::z}, true), KeyCommand::Undo},
        {ctrlAltZ, kNone}, {pressing({key::del}, false, true), kNone}, {pressing({key::del}, true), kNone},
        {pressing({key::z}), kNone}, {ctrlSuperS, kNone}};
    // clang-format on
    int row = 0;
    for (const auto& [input, expected] : cases) {
        UiContext ui;
        Polled polled;
        for (const FrameInput& in : {FrameInput{}, input})
            testing::runFrame(ui, in, [&](ImDrawList*) { polled = pollKeyCommand(); });
        EXPECT_EQ(polled, expected) << "row " << row++;
    }
}

TEST(KeyCommands, ReportedOncePerPressAndHiddenOnlyInTheFrameItIsConsumed) {
    UiContext ui;
    const FrameInput s = pressing({key::s}, true);
    std::vector<Polled> polls;
    const std::vector<FrameInput> frames = {
        s, s, s, s, s, s, pressing({}, true), s, pressing({key::o}), pressing({key::o}, true)};
    for (size_t i = 0; i < frames.size(); ++i) {
        testing::runFrame(ui, frames[i], [&](ImDrawList*) {
            if (i == 0) consumeKeyCommand(KeyCommand::Undo);  // another command consumed: Save stays
            polls.push_back(pollKeyCommand());
            if (i == 7) {
                polls.push_back(pollKeyCommand());  // not consumed: still there
                consumeKeyCommand(KeyCommand::Save);
                polls.push_back(pollKeyCommand());
            }
        });
    }
    // Ctrl pressed after O is already held is no press of the chord.
    EXPECT_EQ(polls, (std::vector<Polled>{KeyCommand::Save, kNone, kNone, kNone, kNone, kNone, kNone, KeyCommand::Save,
                                          KeyCommand::Save, kNone, kNone, kNone}));
}

TEST(KeyCommands, KeysAndSpaceAreSilentWhileTypingOrWithAPopupOpen) {
    UiContext ui;
    std::string text = "Bass";
    float tempoValue = 0.5f;
    FloatParam tempo(&tempoValue, FloatParamSpec{}, FloatParamHooks{});
    TransportOptions transport;
    transport.spaceTogglesPlay = true;
    const FrameInput keys = pressing({key::z, key::space}, true);
    FrameInput typing = keys;
    typing.mouse = ImVec2(100, 560);
    // Click into a field, press in it, click elsewhere, press, open a popup, press with it open.
    const std::vector<FrameInput> frames = {testing::pointerAt(100, 560), testing::pointerAt(100, 560, true), typing,
                                            testing::pointerAt(400, 400, true), FrameInput{}, keys, FrameInput{}, keys};
    std::vector<std::pair<Polled, bool>> heard;
    for (size_t i = 0; i < frames.size(); ++i) {
        testing::runFrame(ui, frames[i], [&](ImDrawList*) {
            const Polled polled = pollKeyCommand();
            heard.emplace_back(polled,
                               transportBar("t", Rect{0, 0, 200, 36}, TransportState{}, tempo, transport).playToggled);
            textField("name", Rect{50, 550, 200, 24}, text, "");
            if (i == 5) openPopup("menu");
            if (ImGui::BeginPopup("menu")) ImGui::EndPopup();
        });
    }
    std::vector<std::pair<Polled, bool>> expected(frames.size(), {kNone, false});
    expected[5] = {KeyCommand::Undo, true};
    EXPECT_EQ(heard, expected);
}

}  // namespace
}  // namespace tarn::ui
