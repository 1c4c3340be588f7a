// Lock-free single-writer, single-reader hand-over of a value: the newest published value wins.
#pragma once

#include <atomic>
#include <cstdint>

namespace tarn {

// Three slots rotate between the writer, the reader and the middle. The writer fills the slot it
// holds and swaps it into the middle; the reader swaps the middle out when it holds something
// fresh. Neither side ever waits, and a slot is only ever touched by the one side that holds it.
//
// Bits 0-1 of `middle` name the middle slot; bit 2 says the reader has not taken it yet.
template <typename T>
class TripleBuffer {
public:
    static constexpr std::int32_t kIndexMask = 3;
    static constexpr std::int32_t kFresh = 4;

    TripleBuffer() = default;
    TripleBuffer(const TripleBuffer&) = delete;
    TripleBuffer& operator=(const TripleBuffer&) = delete;

    // Writer side. The slot to fill before `publish`; it stays the writer's until then.
    T& writeSlot() { return slots_[writer_]; }

    void publish() {
        const std::int32_t old = middle_.exchange(writer_ | kFresh);
        writer_ = old & kIndexMask;
    }

    void publish(const T& value) {
        writeSlot() = value;
        publish();
    }

    // Reader side. A plain check first so that the common case (nothing new) costs one load.
    bool hasFresh() const { return (middle_.load(std::memory_order_relaxed) & kFresh) != 0; }

    // Takes the newest published slot when there is one; returns whether it did.
    bool take() {
        if (!hasFresh()) {
            return false;
        }
        const std::int32_t old = middle_.exchange(reader_);
        reader_ = old & kIndexMask;
        return true;
    }

    // The slot last taken (a default value before the first take). It stays valid and unchanged
    // until the reader's next successful `take`.
    const T& readSlot() const { return slots_[reader_]; }
    T& readSlot() { return slots_[reader_]; }

private:
    T slots_[3]{};
    std::atomic<std::int32_t> middle_{2};
    std::int32_t writer_ = 0;
    std::int32_t reader_ = 1;

    static_assert(std::atomic<std::int32_t>::is_always_lock_free);
};

}  // namespace tarn
