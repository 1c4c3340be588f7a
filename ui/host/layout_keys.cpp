// Letter keys renamed by the letter they type, with releases matched to their presses.
#include "ui/host/layout_keys.h"

namespace tarn::ui {
namespace {

constexpr int kLetters = 26;
// SDL numbers its scancodes below 300; io.KeysDown and SDL's range both end at 512.
constexpr int kSpareSlots = SDL_NUM_SCANCODES - kLetters;

bool isLetterPlace(SDL_Scancode place) { return place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z; }

}  // namespace

int keySlot(SDL_Scancode place, SDL_Keycode typed, SDL_Scancode placeLetterTypedAt) {
    if (typed >= SDLK_a && typed <= SDLK_z) return SDL_SCANCODE_A + (typed - SDLK_a);
    if (!isLetterPlace(place)) return place;
    if (placeLetterTypedAt == SDL_SCANCODE_UNKNOWN || placeLetterTypedAt == place) return place;
    return kSpareSlots + (place - SDL_SCANCODE_A);
}

SDL_Event LayoutKeys::rename(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return event;
    const SDL_Scancode place = event.key.keysym.scancode;
    if (place < 0 || place >= SDL_NUM_SCANCODES) return event;
    short& held = pressed_[static_cast<size_t>(place)];
    int slot = held;
    if (slot < 0) {
        const SDL_Keycode placeLetter = isLetterPlace(place) ? SDLK_a + (place - SDL_SCANCODE_A) : SDLK_UNKNOWN;
        const SDL_Scancode typedAt = placeLetter != SDLK_UNKNOWN ? lookup_(placeLetter) : SDL_SCANCODE_UNKNOWN;
        slot = keySlot(place, event.key.keysym.sym, typedAt);
    }
    held = event.type == SDL_KEYDOWN ? static_cast<short>(slot) : short{-1};
    SDL_Event renamed = event;
    renamed.key.keysym.scancode = static_cast<SDL_Scancode>(slot);
    return renamed;
}

}  // namespace tarn::ui
