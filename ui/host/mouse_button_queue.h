// Hands the mouse buttons' presses and releases to the frames one at a time, however long a frame takes.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>

namespace tarn::ui {

// Dear ImGui 1.86 reads the mouse buttons once a frame: a press and its release between two frames
// would at best be one press latched for a frame, and two clicks in one slow frame would be one. The
// changes are queued as they come and handed over in order, one change of each button a frame; once a
// change waits, every later one waits behind it. A press keeps its event's time, so that the gap to
// the press before it, which makes a double click, is the events' and not that of the frames.
class MouseButtonQueue {
public:
    static constexpr int kButtons = 3;  // left, right and middle, as Dear ImGui numbers them

    struct Frame {
        std::array<bool, kButtons> down{};
        // For a button that goes down in this frame: seconds since its previous press went down.
        std::array<std::optional<double>, kButtons> pressGap{};
    };

    // A button went down or up at `ms` (the event's time). A change that changes nothing, such as the
    // release of a press the window never took, is dropped.
    void push(int button, bool down, std::uint32_t ms) {
        if (button < 0 || button >= kButtons || queued_[button] == down) return;
        queued_[button] = down;
        waiting_.push_back(Change{button, down, ms});
    }

    // The buttons for the frame about to start, with the changes now due taken.
    Frame nextFrame() {
        Frame frame;
        std::array<bool, kButtons> changed{};
        while (!waiting_.empty() && !changed[waiting_.front().button]) {
            const Change c = waiting_.front();
            waiting_.pop_front();
            changed[c.button] = true;
            down_[c.button] = c.down;
            if (!c.down) continue;
            // Unsigned: right across the wrap of the millisecond counter.
            const std::optional<std::uint32_t>& last = lastPressMs_[c.button];
            frame.pressGap[c.button] =
                last ? static_cast<std::uint32_t>(c.ms - *last) / 1000.0 : std::numeric_limits<double>::infinity();
            lastPressMs_[c.button] = c.ms;
        }
        frame.down = down_;
        return frame;
    }

private:
    struct Change {
        int button;
        bool down;
        std::uint32_t ms;
    };
    std::array<bool, kButtons> queued_{};  // after every change received
    std::array<bool, kButtons> down_{};    // as handed over
    std::array<std::optional<std::uint32_t>, kButtons> lastPressMs_{};
    std::deque<Change> waiting_;
};

}  // namespace tarn::ui
