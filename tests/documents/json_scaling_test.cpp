// One object of hundreds of thousands of members parses, is looked up and writes in linear time.
#include "documents/json/member_index.h"
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>

namespace tarn::json {
namespace {

std::string wideObject(int members) {
    std::string text = "{";
    for (int i = 0; i < members; ++i) {
        if (i != 0) text += ',';
        text += "\"member";
        text += std::to_string(i);
        text += "\":";
        text += std::to_string(i);
        text += ".5";
    }
    text += '}';
    return text;
}

// Processor time of this thread: other processes on a busy machine do not count against it.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds for parse, a lookup of every key through the index plus a few plain finds, and a
// compact write.
double secondsFor(const std::string& text, std::size_t& checked) {
    const double start = threadSeconds();
    Value value;
    std::string error;
    EXPECT_TRUE(parse(text, value, error)) << error;
    const MemberIndex index(value);
    checked = 0;
    for (const Member& member : value.members) checked += index.find(member.key) == &member.value;
    for (const char* key : {"kind", "spec", "extensions", "params", "member0"}) checked += value.find(key) != nullptr;
    const std::string written = write(value);
    EXPECT_EQ(written.size(), text.size());
    return threadSeconds() - start;
}

TEST(JsonScaling, SixteenTimesTheMembersTakeAboutSixteenTimesTheTime) {
    const std::string sixteenth = wideObject(25000);
    const std::string full = wideObject(400000);
    std::size_t checkedSixteenth = 0;
    std::size_t checkedFull = 0;
    // The two sizes take turns and the best of each counts, so a slow spell of the machine
    // cannot fall on one size only.
    double sixteenthSeconds = 1e9;
    double fullSeconds = 1e9;
    for (int run = 0; run < 4; ++run) {
        sixteenthSeconds = std::min(sixteenthSeconds, secondsFor(sixteenth, checkedSixteenth));
        fullSeconds = std::min(fullSeconds, secondsFor(full, checkedFull));
    }
    EXPECT_EQ(checkedSixteenth, 25001u);
    EXPECT_EQ(checkedFull, 400001u);
    // Linear work gives about 16x, up to about 30x here because the larger tree outgrows the
    // caches, and more when other processes share them; quadratic work gives 256x. A sixteenfold
    // step leaves a wide margin on both sides of the bound, so a busy machine cannot cross it.
    RecordProperty("ratio", std::to_string(fullSeconds / sixteenthSeconds));
    EXPECT_LT(fullSeconds, 80.0 * sixteenthSeconds)
        << sixteenthSeconds << " s for 25,000, " << fullSeconds << " s for 400,000";
}

TEST(JsonScaling, DuplicateAtTheEndOfAWideObjectIsFound) {
    std::string text = wideObject(200000);
    text.back() = ',';
    text += "\"member199999\":1}";
    Value value;
    std::string error;
    EXPECT_FALSE(parse(text, value, error));
    EXPECT_EQ(error, "duplicate key \"member199999\"");
}

}  // namespace
}  // namespace tarn::json
