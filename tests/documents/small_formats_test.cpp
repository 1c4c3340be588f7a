// Pointers, seeds, asset references, extension ids and spec versions, at their edges.
#include "documents/json_pointer.h"
#include "documents/small_formats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tarn {
namespace {

TEST(JsonPointer, EscapesTildeBeforeSlashAndKeepsOtherBytes) {
    EXPECT_EQ(escapePointerToken("a/b"), "a~1b");
    EXPECT_EQ(escapePointerToken("a~b"), "a~0b");
    // "~1" in a key must not be read back as a slash: its tilde is escaped too.
    EXPECT_EQ(escapePointerToken("~1/"), "~01~1");
    EXPECT_EQ(escapePointerToken("\xc3\xa9 x"), "\xc3\xa9 x");
    EXPECT_EQ(pointerJoin("", "expr"), "/expr");
    EXPECT_EQ(pointerJoin("/notes/3/expr", "a/b"), "/notes/3/expr/a~1b");
    EXPECT_EQ(pointerJoin("", ""), "/");
    EXPECT_EQ(indexPointer("/extensions", 2), "/extensions/2");
    EXPECT_EQ(indexPointer("", 0), "/0");
}

TEST(Seeds, WrittenAsSixteenLowerCaseDigitsAndReadInEitherCase) {
    EXPECT_EQ(seedToHex(42), "000000000000002a");
    EXPECT_EQ(seedToHex(0), "0000000000000000");
    EXPECT_EQ(seedToHex(UINT64_MAX), "ffffffffffffffff");
    EXPECT_EQ(seedToHex(0xABCDEF0123456789ull), "abcdef0123456789");
    EXPECT_EQ(parseSeed("000000000000002A"), 42u);
    EXPECT_EQ(parseSeed("000000000000002a"), 42u);
    EXPECT_EQ(parseSeed("FFFFFFFFFFFFFFFF"), UINT64_MAX);
    EXPECT_EQ(parseSeed("aBcDeF0123456789"), 0xABCDEF0123456789ull);
    for (const char* bad : {"00000000000002a", "0000000000000002a", "", "0x0000000000002a", "+00000000000002a",
                            "-00000000000002a", " 00000000000002a", "000000000000002g"})
        EXPECT_FALSE(parseSeed(bad)) << bad;
}

TEST(AssetRefs, FactoryNamesAndLowerCaseHashesOnly) {
    const auto factory = parseAssetRef("factory:Deep Sub");
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->kind, AssetKind::Factory);
    EXPECT_EQ(factory->name, "Deep Sub");
    EXPECT_EQ(assetRefText(*factory), "factory:Deep Sub");

    const std::string hash(64, 'a');
    const auto asset = parseAssetRef("asset:" + hash);
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->kind, AssetKind::Asset);
    EXPECT_EQ(asset->name, hash);
    EXPECT_EQ(assetRefText(*asset), "asset:" + hash);
    EXPECT_TRUE(parseAssetRef("asset:0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"));

    for (const std::string& bad : {std::string("factory:"), "asset:" + std::string(64, 'A'), "asset:" + std::string(63, 'a'),
                                  "asset:" + std::string(65, 'a'), "asset:" + std::string(63, 'a') + "g",
                                  std::string("Factory:x"), std::string("x"), std::string(""), "asset:" + hash + " "})
        EXPECT_FALSE(parseAssetRef(bad)) << bad;
}

TEST(ExtensionIds, SplitAtLastSlashWithAMajorOfAtLeastOne) {
    const auto slide = parseExtensionId("com.tarnwerks.slide/1");
    ASSERT_TRUE(slide);
    EXPECT_EQ(slide->id, "com.tarnwerks.slide");
    EXPECT_EQ(slide->major, 1);
    EXPECT_EQ(extensionIdText(*slide), "com.tarnwerks.slide/1");

    const auto nested = parseExtensionId("a/b/2");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->id, "a/b");
    EXPECT_EQ(nested->major, 2);

    const auto largest = parseExtensionId("x/2147483647");
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->major, 2147483647);
    EXPECT_EQ(extensionIdText(*largest), "x/2147483647");

    for (const char* bad : {"com.tarnwerks.slide", "com.tarnwerks.slide/", "/1", "x/0", "x/-1", "x/1.0", "x/1.5",
                            "x/+1", "x/ 1", "x/1 ", "x/2147483648", "x/-2147483649", "x/99999999999999999999",
                            "x/1e3", "x/0x1"})
        EXPECT_FALSE(parseExtensionId(bad)) << bad;
}

TEST(SpecVersions, MajorPointMinorWithNothingElse) {
    EXPECT_EQ(specVersionText(currentSpecVersion()), "1.0");
    struct Case {
        const char* text;
        int major;
        int minor;
    };
    for (const Case& good : {Case{"1.0", 1, 0}, Case{"1.9", 1, 9}, Case{"2.0", 2, 0}, Case{"0.7", 0, 7},
                             Case{"10.25", 10, 25}, Case{"01.02", 1, 2}}) {
        const auto version = parseSpecVersion(good.text);
        ASSERT_TRUE(version) << good.text;
        EXPECT_EQ(version->major, good.major) << good.text;
        EXPECT_EQ(version->minor, good.minor) << good.text;
    }
    for (const char* bad : {"2", "1.2.3", "-0.5", "1.-0", "-1.0", "1.", ".1", "1.0 ", " 1.0", "v1.0", "1,0", "+1.0",
                            "", "1.0a", "4294967296.0"})
        EXPECT_FALSE(parseSpecVersion(bad)) << bad;
}

TEST(DecimalInt32, WholeTextWithinRange) {
    EXPECT_EQ(parseDecimalInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseDecimalInt32("2147483647"), INT32_MAX);
    EXPECT_EQ(parseDecimalInt32("-0"), 0);
    for (const char* bad : {"", "-", "+1", "2147483648", "-2147483649", "1 ", "1.0", "1e2"})
        EXPECT_FALSE(parseDecimalInt32(bad)) << bad;
}

}  // namespace
}  // namespace tarn
