// Holds back key changes that the next frame could not see as they happened.
#pragma once

#include <SDL.h>

#include <bitset>
#include <vector>

namespace tarn::ui {

// Dear ImGui 1.86 reads the key state and the modifiers once per frame, so a key pressed and
// released between two frames would never be seen, nor released and pressed again; and a chord
// typed quickly (Ctrl down, S down, S up, Ctrl up) would show S without Ctrl. A key's second change
// before the next frame, and a modifier's change after a key went down, wait until after that
// frame. Once one change waits, every later change and typed text waits behind it, so that frames
// see them in the order they came: text typed right after Ctrl+A is not read while Ctrl still
// looks held (a text field ignores characters typed with Ctrl). Auto-repeats pass.
class KeyTapLatch {
public:
    // Call for every event before it reaches the platform backend; true when the event is held
    // back (it must not reach the backend now).
    bool holdBack(const SDL_Event& event) {
        if (event.type == SDL_TEXTINPUT) {
            if (held_.empty()) return false;
            held_.push_back(event);
            return true;
        }
        const bool change = event.type == SDL_KEYUP || (event.type == SDL_KEYDOWN && event.key.repeat == 0);
        if (!change) return false;
        const int code = event.key.keysym.scancode;
        if (code < 0 || code >= SDL_NUM_SCANCODES) return false;
        const bool modifier = code >= SDL_SCANCODE_LCTRL && code <= SDL_SCANCODE_RGUI;
        if (!held_.empty() || changedSinceFrame_.test(static_cast<size_t>(code)) || (modifier && keyWentDown_)) {
            held_.push_back(event);
            return true;
        }
        changedSinceFrame_.set(static_cast<size_t>(code));
        keyWentDown_ = keyWentDown_ || (!modifier && event.type == SDL_KEYDOWN);
        return false;
    }
    // After a frame: the held changes now due, in order (they stop at the first that must wait again).
    std::vector<SDL_Event> afterFrame() {
        changedSinceFrame_.reset();
        keyWentDown_ = false;
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
    bool keyWentDown_ = false;  // a key other than a modifier went down since the frame
    std::vector<SDL_Event> held_;
};

}  // namespace tarn::ui
