// Holds back a key's change of state until a frame has seen its previous one.
#pragma once

#include <SDL.h>

#include <bitset>
#include <vector>

namespace tarn::ui {

// Dear ImGui 1.86 reads the key state once per frame, so a key pressed and released between two
// frames would never be seen, nor released and pressed again. A key's second change before the
// next frame waits until after that frame; auto-repeats pass.
class KeyTapLatch {
public:
    // Call for every event before it reaches the platform backend; true when the event is held
    // back (it must not reach the backend now).
    bool holdBack(const SDL_Event& event) {
        const bool change = event.type == SDL_KEYUP || (event.type == SDL_KEYDOWN && event.key.repeat == 0);
        if (!change) return false;
        const int code = event.key.keysym.scancode;
        if (code < 0 || code >= SDL_NUM_SCANCODES) return false;
        if (changedSinceFrame_.test(static_cast<size_t>(code))) {
            held_.push_back(event);
            return true;
        }
        changedSinceFrame_.set(static_cast<size_t>(code));
        return false;
    }
    // After a frame: the held changes now due, in order (one per key; the rest wait again).
    std::vector<SDL_Event> afterFrame() {
        changedSinceFrame_.reset();
        std::vector<SDL_Event> waiting;
        waiting.swap(held_);
        std::vector<SDL_Event> due;
        for (const SDL_Event& event : waiting) {
            if (!holdBack(event)) due.push_back(event);
        }
        return due;
    }

private:
    std::bitset<SDL_NUM_SCANCODES> changedSinceFrame_;
    std::vector<SDL_Event> held_;
};

}  // namespace tarn::ui
