// Key commands: the chord table walked in order, and the per-frame consumption record.
#include "ui/key_commands.h"

#include "ui/imgui_compat.h"
#include "ui/popup.h"

#include <imgui.h>

#include <utility>

namespace tarn::ui {
namespace {

constexpr std::pair<compat::Chord, KeyCommand> kTable[] = {
    {compat::Chord::CtrlZ, KeyCommand::Undo},    {compat::Chord::CtrlShiftZ, KeyCommand::Redo},
    {compat::Chord::CtrlC, KeyCommand::Copy},    {compat::Chord::CtrlV, KeyCommand::Paste},
    {compat::Chord::CtrlS, KeyCommand::Save},    {compat::Chord::CtrlO, KeyCommand::Open},
    {compat::Chord::Delete, KeyCommand::Delete},
};

}  // namespace

bool keyCommandsAllowed() { return !ImGui::GetIO().WantTextInput && !anyPopupOpen(); }

std::optional<KeyCommand> pollKeyCommand() {
    if (!keyCommandsAllowed()) return std::nullopt;
    for (const auto& [chord, command] : kTable) {
        if (!compat::isChordPressed(chord)) continue;
        // Only the first pressed chord counts, even when it was consumed.
        const ConsumedKeyCommand& consumed = *contextState<ConsumedKeyCommand>(keyCommandTag);
        if (consumed.frame == ImGui::GetFrameCount() && consumed.command == static_cast<uint32_t>(command)) {
            return std::nullopt;
        }
        return command;
    }
    return std::nullopt;
}

void consumeKeyCommand(KeyCommand command) {
    *contextState<ConsumedKeyCommand>(keyCommandTag) = {ImGui::GetFrameCount(), static_cast<uint32_t>(command)};
}

}  // namespace tarn::ui
