// Key events renamed by the keyboard layout, so that a letter's shortcut follows the key marked with it.
#pragma once

#include <SDL.h>

#include <array>

namespace tarn::ui {

// The key state a key's events set (Dear ImGui's SDL2 backend keeps key states by SDL scancode, so the
// slots are scancodes). A key that types a letter a..z under the layout takes that letter's slot
// wherever it sits: on AZERTY the key marked A sets A. A key that types no letter keeps its own place,
// unless its place is a letter's slot that another key types under this layout (AZERTY's comma sits
// where a US keyboard has M, while M is typed elsewhere): then it takes a spare slot past SDL's
// scancodes, so that it never reads as that letter.
// `place`: the key's scancode; `typed`: its key code under the layout; `placeLetterTypedAt`: for a key
// on a letter's place, where the layout types that letter (SDL_SCANCODE_UNKNOWN where it does not).
int keySlot(SDL_Scancode place, SDL_Keycode typed, SDL_Scancode placeLetterTypedAt);

// Asks the layout where it types a key code.
using LayoutLookup = SDL_Scancode (*)(SDL_Keycode);

// Renames key events to their slots as they reach the backend. A key keeps the slot of its press until
// it is released, whatever the layout or the modifiers do in between: a slot pressed is always let go.
class LayoutKeys {
public:
    explicit LayoutKeys(LayoutLookup lookup = SDL_GetScancodeFromKey) : lookup_(lookup) { pressed_.fill(-1); }
    // The event as the backend should see it; events other than key presses and releases unchanged.
    SDL_Event rename(const SDL_Event& event);

private:
    LayoutLookup lookup_;
    std::array<short, SDL_NUM_SCANCODES> pressed_;  // the slot each held key took; -1 when up
};

}  // namespace tarn::ui
