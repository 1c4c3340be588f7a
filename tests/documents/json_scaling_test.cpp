// One object of hundreds of thousands of members parses, is looked up and writes in linear time.
#include "documents/json/member_index.h"
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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

// Seconds for parse, a lookup of every key through the index plus a few plain finds, and a
// compact write; the best of five runs, so a busy machine disturbs it less.
double secondsFor(const std::string& text, std::size_t& checked) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        Value value;
        std::string error;
        EXPECT_TRUE(parse(text, value, error)) << error;
        const MemberIndex index(value);
        checked = 0;
        for (const Member& member : value.members) checked += index.find(member.key) == &member.value;
        for (const char* key : {"kind", "spec", "extensions", "params", "member0"}) checked += value.find(key) != nullptr;
        const std::string written = write(value);
        EXPECT_EQ(written.size(), text.size());
        const auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(stop - start).count());
    }
    return best;
}

TEST(JsonScaling, DoublingTheMemberCountAboutDoublesTheTime) {
    const std::string half = wideObject(100000);
    const std::string full = wideObject(200000);
    std::size_t checkedHalf = 0;
    std::size_t checkedFull = 0;
    const double halfSeconds = secondsFor(half, checkedHalf);
    const double fullSeconds = secondsFor(full, checkedFull);
    EXPECT_EQ(checkedHalf, 100001u);
    EXPECT_EQ(checkedFull, 200001u);
    // Linear work gives about 2x (a little more once the tree outgrows the caches); quadratic
    // work gives 4x and more. The bound is loose for a busy machine.
    RecordProperty("ratio", std::to_string(fullSeconds / halfSeconds));
    EXPECT_LT(fullSeconds, 3.5 * halfSeconds) << halfSeconds << " s for 100,000, " << fullSeconds << " s for 200,000";
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
