// Proves the audio callback allocates nothing, also while fresh patches, phrases and seeks arrive.
#include "engine/live_player.h"

#include "engine/demo_line.h"
#include "engine/starting_sound.h"
#include "tests/engine/player_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace {

// Counting is armed per thread and only around the calls under test, so the replacement
// below is a plain malloc/free pair for everything else in this test binary.
thread_local bool countingArmed = false;
std::atomic<long> armedAllocations{0};

void* allocate(std::size_t size) {
    if (countingArmed) {
        armedAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* allocateNoThrow(std::size_t size) noexcept {
    if (countingArmed) {
        armedAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}

struct Armed {
    Armed() { countingArmed = true; }
    ~Armed() { countingArmed = false; }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace tarn {
namespace {

TEST(LivePlayerRealTime, TheCountingHookSeesAnAllocation) {
    const long before = armedAllocations.load();
    {
        Armed armed;
        int* volatile p = new int(3);
        delete p;
    }
    EXPECT_EQ(armedAllocations.load() - before, 1);
}

TEST(LivePlayerRealTime, ProcessNeverAllocates) {
    auto player = std::make_unique<LivePlayer>();
    player->prepare(AudioConfig{44100.0f, 127.0f, 64});

    std::vector<NoteEvent> dense;
    for (int i = 0; i < 128; ++i) {
        dense.push_back({i * 0.125, 0.1, 28 + i % 24, 0.5f + 0.003f * static_cast<float>(i)});
    }
    const std::vector<PlayEvent> denseEvents = testing::sortedEvents(dense, player->config());
    const std::vector<PlayEvent> demoEvents = testing::sortedEvents({demoLine.begin(), demoLine.end()}, player->config());
    const std::vector<PlayEvent> noEvents;
    Patch patch = startingSound();
    std::vector<float> out(2 * 1024);

    const long before = armedAllocations.load();
    for (int callback = 0; callback < 4000; ++callback) {
        // The UI side's work happens between callbacks, unarmed.
        if (callback % 3 == 0) {
            patch.tone = 0.2f + 0.0001f * static_cast<float>(callback);
            player->publishPatch(patch);
        }
        if (callback % 250 == 0) {
            // In turn a dense line, the demo line and a cleared (empty) one.
            const std::vector<PlayEvent>* lines[] = {&denseEvents, &demoEvents, &noEvents};
            const std::vector<PlayEvent>& line = *lines[callback / 250 % 3];
            player->publishEvents(line.data(), line.size(), 44100 * 8);
        }
        if (callback % 333 == 0) {
            player->requestSeek(0.25 * callback);
        }
        player->setPlaying(callback % 97 != 0);
        const int frames = 1 + (callback * 37) % 1024;  // odd sizes straddle blocks and wraps
        Armed armed;
        player->process(out.data(), frames);
    }
    EXPECT_EQ(armedAllocations.load() - before, 0);
}

}  // namespace
}  // namespace tarn
