// The lock-free three-slot hand-over: newest value wins, slots never shared, no torn reads.
#include "engine/triple_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <set>
#include <thread>

namespace tarn {
namespace {

TEST(TripleBuffer, ReaderSeesNothingBeforeTheFirstPublish) {
    TripleBuffer<int> buffer;
    EXPECT_FALSE(buffer.hasFresh());
    EXPECT_FALSE(buffer.take());
    EXPECT_EQ(buffer.readSlot(), 0);
}

TEST(TripleBuffer, PublishingTwiceBeforeATakeGivesTheNewestAndReusesTheFirstSlot) {
    TripleBuffer<int> buffer;
    int* first = &buffer.writeSlot();
    buffer.publish(1);
    buffer.publish(2);
    // The first value was never taken, so its slot came straight back to the writer.
    EXPECT_EQ(&buffer.writeSlot(), first);
    ASSERT_TRUE(buffer.take());
    EXPECT_EQ(buffer.readSlot(), 2);
    // Nothing newer: the reader keeps what it has.
    EXPECT_FALSE(buffer.take());
    EXPECT_EQ(buffer.readSlot(), 2);
}

TEST(TripleBuffer, TakenValueStaysPutWhileTheWriterKeepsPublishing) {
    TripleBuffer<int> buffer;
    buffer.publish(7);
    ASSERT_TRUE(buffer.take());
    const int* held = &buffer.readSlot();
    for (int i = 0; i < 10; ++i) {
        buffer.publish(100 + i);
        EXPECT_NE(&buffer.writeSlot(), held);
        EXPECT_EQ(*held, 7);
    }
    ASSERT_TRUE(buffer.take());
    EXPECT_EQ(buffer.readSlot(), 109);
}

// Any order of publishes and takes keeps the writer's and the reader's slots apart, and every
// take yields the latest value published before it.
TEST(TripleBuffer, RandomInterleavingsNeverShareASlotAndAlwaysDeliverTheLatest) {
    TripleBuffer<int> buffer;
    std::mt19937 random(1234);
    int published = 0;
    int lastTaken = 0;
    bool pending = false;
    for (int step = 0; step < 20000; ++step) {
        if (random() % 2 == 0) {
            buffer.publish(++published);
            pending = true;
        } else {
            EXPECT_EQ(buffer.take(), pending);
            pending = false;
            if (published > 0) {
                lastTaken = published;
            }
            EXPECT_EQ(buffer.readSlot(), lastTaken);
        }
        ASSERT_NE(&buffer.writeSlot(), &buffer.readSlot());
    }
}

// A slot large enough that a torn copy would be caught: every word derives from the sequence
// number, and the checksum covers them all.
struct StressSlot {
    std::uint64_t sequence = 0;
    std::uint64_t words[30] = {};
    std::uint64_t checksum = 0;
};

std::uint64_t wordFor(std::uint64_t sequence, int index) {
    return (sequence * 0x9E3779B97F4A7C15ull) ^ (static_cast<std::uint64_t>(index) * 0xBF58476D1CE4E5B9ull);
}

std::uint64_t checksumOf(const StressSlot& slot) {
    std::uint64_t sum = slot.sequence * 31;
    for (std::uint64_t word : slot.words) {
        sum = (sum ^ word) * 0x100000001B3ull;
    }
    return sum;
}

TEST(TripleBufferThreads, MillionsOfHandOversArriveWholeAndInOrder) {
    constexpr std::uint64_t kPublishes = 2'000'000;
    TripleBuffer<StressSlot> buffer;
    std::atomic<bool> writerDone{false};

    std::thread writer([&] {
        for (std::uint64_t sequence = 1; sequence <= kPublishes; ++sequence) {
            StressSlot& slot = buffer.writeSlot();
            slot.sequence = sequence;
            for (int i = 0; i < 30; ++i) {
                slot.words[i] = wordFor(sequence, i);
            }
            slot.checksum = checksumOf(slot);
            buffer.publish();
        }
        writerDone.store(true, std::memory_order_release);
    });

    std::uint64_t takes = 0;
    std::uint64_t torn = 0;
    std::uint64_t outOfOrder = 0;
    std::uint64_t last = 0;
    for (;;) {
        // Read the flag before trying to take, so the final publish cannot slip past us.
        const bool done = writerDone.load(std::memory_order_acquire);
        if (buffer.take()) {
            ++takes;
            const StressSlot& slot = buffer.readSlot();
            bool whole = slot.checksum == checksumOf(slot);
            for (int i = 0; i < 30 && whole; ++i) {
                whole = slot.words[i] == wordFor(slot.sequence, i);
            }
            torn += whole ? 0 : 1;
            outOfOrder += slot.sequence > last ? 0 : 1;
            last = slot.sequence;
        } else if (done) {
            break;
        }
        if (takes > kPublishes) {
            break;  // more takes than publishes: the buffer hands out stale slots
        }
    }
    writer.join();

    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(outOfOrder, 0u);
    EXPECT_EQ(last, kPublishes) << "the reader must end on the newest value";
    EXPECT_GT(takes, 1u);
    EXPECT_LE(takes, kPublishes);
}

}  // namespace
}  // namespace tarn
