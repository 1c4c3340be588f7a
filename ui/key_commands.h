// Application-wide keyboard commands, read in one place so that one widget can claim each per frame.
#pragma once

#include "ui/ui_context.h"

#include <cstdint>
#include <optional>

namespace tarn::ui {

enum class KeyCommand : uint32_t { Undo = 0, Redo = 1, Copy = 2, Paste = 3, Save = 4, Open = 5, Delete = 6 };

// The command acted on last, in the state store under "KCMD"; it only counts in its own frame.
struct ConsumedKeyCommand {
    int32_t frame = -1;  // Dear ImGui frame count
    uint32_t command = 0;
};

inline constexpr uint32_t keyCommandTag = stateTag("KCMD");

// Keys may act as commands: no text field takes input and no popup is open.
bool keyCommandsAllowed();

// The command whose chord was pressed this frame (Ctrl+Z, Ctrl+Shift+Z, Ctrl+C, Ctrl+V, Ctrl+S,
// Ctrl+O, Delete; the first pressed one in that order), unless it was consumed this frame.
std::optional<KeyCommand> pollKeyCommand();
// Marks the command as acted on for the rest of this frame.
void consumeKeyCommand(KeyCommand command);

}  // namespace tarn::ui
