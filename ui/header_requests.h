// What the header bar's controls, menu choices and keys ask for: actions at once, requests that may
// first ask before discarding changes, file dialogs and their answers.
#pragma once

#include "ui/header_bar.h"

#include <cstdint>

namespace tarn::ui {

// Requests that may discard changes, as kept in HeaderState::pendingAction.
struct HeaderRequest {
    static constexpr uint32_t none = 0;
    static constexpr uint32_t newDocument = 1;
    static constexpr uint32_t open = 2;
    static constexpr uint32_t previous = 3;
    static constexpr uint32_t next = 4;
    static constexpr uint32_t command = 5;
};

// One header call's rules, over its model, its state and the result being filled. Every function
// runs inside the "tarn.header" ID scope, where the dialog requesters and the popup live.
struct HeaderRequests {
    const HeaderModel& model;
    HeaderState& state;
    HeaderResult& result;

    // Carried out at once, or kept while the "discard" confirmation asks.
    void request(uint32_t what, uint32_t command = 0);
    void openRule();
    void saveRule();
    void saveAsRule();
    void menuChoice(const MenuChoice& choice);
    // The keyboard commands that apply; those acted on are consumed for the frame.
    void keys();
    // At the end of every call: the confirmation, then the dialogs' answers.
    void finish();

private:
    void carryOut(uint32_t what, uint32_t command);
    void runCommand(uint32_t command);
};

}  // namespace tarn::ui
