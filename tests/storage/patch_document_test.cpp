// The sound as an instance document: what is written where, what reads back, and what a bad member leaves.
#include "storage/patch_document.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/sha256.h"
#include "storage/factory_presets.h"
#include "tests/storage/patch_test_support.h"

namespace tarn {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

struct ReadResult {
    InstanceDocument document;
    std::optional<Patch> patch;
    IssueList issues;
};

ReadResult readBytes(const std::vector<std::uint8_t>& bytes) {
    ReadResult result;
    patchFromInstance(result.document, result.patch, bytes, result.issues);
    return result;
}

ReadResult readText(const std::string& text) { return readBytes(bytesOf(text)); }

// A tarnlode instance document with the given "params" and "state" members (JSON text).
std::string instanceWith(const std::string& params, const std::string& state = "") {
    std::string text = R"({"kind":"instance","spec":"1.0","plugin":"tarnlode","params":)" + params;
    if (!state.empty()) text += R"(,"state":)" + state;
    return text + "}";
}

std::string numbers(int count, const std::string& item = "0.5") {
    std::string text = "[";
    for (int i = 0; i < count; ++i) text += (i ? "," : "") + item;
    return text + "]";
}

json::Value parsed(const std::string& text) {
    json::Value value;
    std::string error;
    EXPECT_TRUE(json::parse(text, value, error)) << error;
    return value;
}

std::vector<std::string> keysOf(const json::Value& object) {
    std::vector<std::string> keys;
    for (const json::Member& member : object.members) keys.push_back(member.key);
    return keys;
}

std::string written(const Patch& patch, const InstanceDocument& base = InstanceDocument(),
                    std::optional<std::uint64_t> seed = std::nullopt, const PresetMeta* meta = nullptr) {
    std::string out = "left over";
    const std::string& result = patchToInstance(base, out, patch, seed, meta);
    EXPECT_EQ(&result, &out) << "the text is returned as well as written";
    return out;
}

Patch roundTrip(const Patch& patch) {
    const ReadResult read = readText(written(patch));
    EXPECT_TRUE(read.issues.empty()) << read.issues.front().id;
    return read.patch.value_or(Patch());
}

TEST(PatchDocumentRead, EmptyParamsAndNoStateGiveTheDefaultSound) {
    const ReadResult read = readText(instanceWith("{}"));
    ASSERT_TRUE(read.patch);
    EXPECT_TRUE(read.issues.empty());
    EXPECT_TRUE(test::samePatchBits(*read.patch, Patch())) << test::firstPatchDifference(*read.patch, Patch());
    EXPECT_EQ(read.document.plugin, "tarnlode");
}

TEST(PatchDocumentRead, SteppedValuesRoundAndEveryValueIsClamped) {
    const ReadResult read =
        readText(instanceWith(R"({"arcBars":7.5,"legato":0.4,"weight":-3,"tone":1.5,"punchTime":0,"glide":0.45})"));
    ASSERT_TRUE(read.patch);
    EXPECT_EQ(read.patch->arcBars, 8.0f);
    EXPECT_EQ(read.patch->legato, 0.0f);
    EXPECT_EQ(read.patch->weight, 0.0f);
    EXPECT_EQ(read.patch->tone, 1.0f);
    EXPECT_EQ(read.patch->punchTime, 0.01f);
    EXPECT_EQ(read.patch->glide, 0.4f);

    const ReadResult more = readText(instanceWith(R"({"arcBars":40,"legato":0.5,"motionRate":0})"));
    EXPECT_EQ(more.patch->arcBars, 16.0f);
    EXPECT_EQ(more.patch->legato, 1.0f) << "halves round away from zero";
    EXPECT_EQ(more.patch->motionRate, 0.25f);
    EXPECT_EQ(readText(instanceWith(R"({"arcBars":-0.5})")).patch->arcBars, 1.0f);
    EXPECT_TRUE(more.issues.empty());
}

TEST(PatchDocumentRead, ParamsThatAreNotNumbersLeaveTheDefault) {
    const ReadResult choice = readText(instanceWith(R"({"drive":"hard","tone":null})"));
    ASSERT_TRUE(choice.patch);
    EXPECT_EQ(choice.patch->drive, 0.65f);
    EXPECT_EQ(choice.patch->tone, 0.5f);
    // A choice id is a valid params value; null is not, and the instance reader says so.
    ASSERT_EQ(choice.issues.size(), 1u);
    EXPECT_EQ(choice.issues[0].pointer, "/params/tone");
}

TEST(PatchDocumentRead, UnknownParamsStayInTheDocumentInTheirOrder) {
    const ReadResult read = readText(instanceWith(R"({"zeta":1,"tone":0.25,"alpha":"x"})"));
    ASSERT_TRUE(read.patch);
    EXPECT_EQ(read.patch->tone, 0.25f);
    ASSERT_EQ(read.document.params.size(), 3u);
    EXPECT_EQ(read.document.params[0].key, "zeta");
    EXPECT_EQ(read.document.params[2].key, "alpha");
}

TEST(PatchDocumentRead, CurvesOfTheWrongShapeStayAtTheirDefaultWithAWarning) {
    const ReadResult read = readText(
        instanceWith("{}", R"({"motion":[0,1],"motionDrive":)" + numbers(64, "0.25") + R"(,"motionLevel":3,)" +
                               R"("arcs":{"Shape":)" + numbers(65) + R"(,"Spread":)" + numbers(64, "-0.5") + "}}"));
    ASSERT_TRUE(read.patch);
    const Patch defaults;
    for (int i = 0; i < kCurvePoints; ++i) {
        EXPECT_EQ(read.patch->curves.points[0][i], defaults.curves.points[0][i]);
        EXPECT_EQ(read.patch->curves.points[1][i], 0.25f);
        EXPECT_EQ(read.patch->curves.points[2][i], defaults.curves.points[2][i]);
        EXPECT_EQ(read.patch->curves.points[3][i], 0.0f);
        EXPECT_EQ(read.patch->curves.points[7][i], -0.5f);
    }
    ASSERT_EQ(read.issues.size(), 3u);
    const char* pointers[] = {"/state/motion", "/state/motionLevel", "/state/arcs/Shape"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(read.issues[k].id, "curve-length");
        EXPECT_EQ(read.issues[k].severity, Severity::Warning);
        EXPECT_EQ(read.issues[k].pointer, pointers[k]);
        EXPECT_EQ(read.issues[k].message, "A curve is 64 numbers; left at its default");
    }
}

TEST(PatchDocumentRead, CurveItemsThatAreNotNumbersReadAsZero) {
    std::string curve = "[\"up\"";
    for (int i = 1; i < kCurvePoints; ++i) curve += ",0.75";
    curve += "]";
    const ReadResult read = readText(instanceWith("{}", R"({"arcs":{"Tone":)" + curve + "}}"));
    ASSERT_TRUE(read.patch);
    EXPECT_EQ(read.patch->curves.points[4][0], 0.0f);
    EXPECT_EQ(read.patch->curves.points[4][1], 0.75f);
    EXPECT_TRUE(read.issues.empty());
}

TEST(PatchDocumentRead, ArcsOrStateOfAnotherKindAreIgnoredQuietly) {
    for (const char* state : {R"({"arcs":5})", R"({"arcs":[1,2]})", R"([1,2,3])", R"("motion")"}) {
        const ReadResult read = readText(instanceWith("{}", state));
        ASSERT_TRUE(read.patch) << state;
        EXPECT_TRUE(test::samePatchBits(*read.patch, Patch())) << state;
        EXPECT_TRUE(read.issues.empty()) << state;
    }
}

TEST(PatchDocumentRead, AnotherPluginGivesNoPatchAndLeavesTheDocument) {
    ReadResult result;
    result.document.id = "untouched";
    patchFromInstance(result.document, result.patch,
                      bytesOf(R"({"kind":"instance","spec":"1.0","plugin":"other","params":{}})"), result.issues);
    EXPECT_FALSE(result.patch);
    EXPECT_EQ(result.document.id, "untouched");
    ASSERT_EQ(result.issues.size(), 1u);
    EXPECT_EQ(result.issues[0].severity, Severity::Error);
    EXPECT_EQ(result.issues[0].id, "wrong-plugin");
    EXPECT_EQ(result.issues[0].pointer, "/plugin");
    EXPECT_EQ(result.issues[0].message, "An instance of other, not tarnlode");

    const ReadResult cased = readText(R"({"kind":"instance","plugin":"Tarnlode"})");
    EXPECT_FALSE(cased.patch) << "the plugin name is compared exactly";
}

TEST(PatchDocumentRead, AMissingPluginStillGivesAPatch) {
    const ReadResult read = readText(R"({"kind":"instance","spec":"1.0","params":{"weight":0.2}})");
    ASSERT_TRUE(read.patch);
    EXPECT_EQ(read.patch->weight, 0.2f);
    ASSERT_EQ(read.issues.size(), 1u);
    EXPECT_EQ(read.issues[0].id, "instance-without-plugin");
}

TEST(PatchDocumentRead, UnreadableBytesGiveNoPatch) {
    struct Case {
        std::string bytes;
        const char* id;
    };
    const Case cases[] = {
        {"", "package-unreadable"},
        {"[1,2]", "package-unreadable"},
        {"{\"kind\":", "document-unreadable"},
        {R"({"kind":"clip","spec":"1.0"})", "wrong-kind"},
        {R"({"kind":"instance","plugin":"tarnlode","params":{"weight":1e400}})", "document-unreadable"},
    };
    for (const Case& c : cases) {
        ReadResult result;
        result.document.id = "untouched";
        result.patch = Patch();
        patchFromInstance(result.document, result.patch, bytesOf(c.bytes), result.issues);
        EXPECT_FALSE(result.patch) << c.bytes;
        EXPECT_EQ(result.document.id, "untouched");
        ASSERT_FALSE(result.issues.empty()) << c.bytes;
        EXPECT_EQ(result.issues.back().id, c.id) << c.bytes;
        EXPECT_EQ(result.issues.back().severity, Severity::Error);
    }
}

TEST(PatchDocumentRead, AByteOrderMarkAndBlanksBeforeTheDocumentAreAccepted) {
    const ReadResult read = readText("\xEF\xBB\xBF \n\t" + instanceWith(R"({"shape":0.9})"));
    ASSERT_TRUE(read.patch);
    EXPECT_EQ(read.patch->shape, 0.9f);
}

TEST(PatchDocumentRead, AZipPackageReadsLikeItsDocument) {
    Patch patch;
    patch.drive = 0.125f;
    patch.curves.points[6][10] = 0.5f;
    Package package;
    package.documentName = "instance.json";
    package.document = parsed(written(patch));
    const std::string asset = "sample bytes";
    zip::Entry entry;
    entry.name = sha256Hex(reinterpret_cast<const std::uint8_t*>(asset.data()), asset.size());
    entry.data.assign(asset.begin(), asset.end());
    package.assets.push_back(entry);
    IssueList writeIssues;
    const auto bytes = writePackage(package, writeIssues);
    ASSERT_TRUE(bytes);
    ASSERT_TRUE(zip::looksLikeZip(*bytes));

    const ReadResult read = readBytes(*bytes);
    ASSERT_TRUE(read.patch);
    EXPECT_TRUE(read.issues.empty());
    EXPECT_TRUE(test::samePatchBits(*read.patch, patch)) << test::firstPatchDifference(*read.patch, patch);
}

TEST(PatchDocumentRead, ExtremeNumbersNeverReachTheSound) {
    std::string curve = "[1e308,-1e308,-nan,-inf,3.4e38,-3.4028235e38";
    for (int i = 6; i < kCurvePoints; ++i) curve += ",1e-320";
    curve += "]";
    const ReadResult read = readText(instanceWith(
        R"({"weight":1e308,"drive":-1e308,"tone":-nan,"punch":-inf,"shape":3.4e38,"glide":-3.4e38,"arcBars":1e30,)"
        R"("legato":-1e-320})",
        R"({"motion":)" + curve + "}"));
    ASSERT_TRUE(read.patch);
    const Patch defaults;
    EXPECT_EQ(read.patch->weight, defaults.weight) << "infinite as a float: the default, not the maximum";
    EXPECT_EQ(read.patch->drive, defaults.drive);
    EXPECT_EQ(read.patch->tone, defaults.tone);
    EXPECT_EQ(read.patch->punch, defaults.punch);
    EXPECT_EQ(read.patch->shape, 1.0f) << "a finite float is clamped";
    EXPECT_EQ(read.patch->glide, 0.0f);
    EXPECT_EQ(read.patch->arcBars, 16.0f);
    EXPECT_EQ(read.patch->legato, 0.0f);
    const float* motion = read.patch->curves.points[0];
    EXPECT_EQ(motion[0], 0.0f);
    EXPECT_EQ(motion[1], 0.0f);
    EXPECT_EQ(motion[2], 0.0f);
    EXPECT_EQ(motion[3], 0.0f);
    EXPECT_EQ(motion[4], 3.4e38f) << "curve points are not clamped";
    EXPECT_EQ(motion[5], -std::numeric_limits<float>::max());
    EXPECT_EQ(motion[6], 0.0f);
    for (const PatchParam& row : patchParams) EXPECT_TRUE(std::isfinite((*read.patch).*row.field)) << row.key;

    // Written back, the sound holds only finite numbers: no "null", "inf" or "nan" text.
    const std::string text = written(*read.patch);
    EXPECT_EQ(text.find("null"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_TRUE(test::samePatchBits(roundTrip(*read.patch), *read.patch));
}

TEST(PatchDocumentWrite, TheDocumentHoldsThePluginParamsAndCurves) {
    Patch patch;
    patch.tone = 0.6f;
    patch.curves.points[2][63] = 0.3f;
    const json::Value doc = parsed(written(patch));
    EXPECT_EQ(json::stringOr(doc, "kind", ""), "instance");
    EXPECT_EQ(json::stringOr(doc, "plugin", ""), "tarnlode");
    EXPECT_EQ(json::numberOr(doc, "formatVersion", 0), 1.0);
    EXPECT_EQ(doc.find("seed"), nullptr);
    EXPECT_EQ(doc.find("meta"), nullptr);

    const json::Value* params = doc.find("params");
    ASSERT_NE(params, nullptr);
    std::vector<std::string> rowKeys;
    for (const PatchParam& row : patchParams) rowKeys.push_back(row.key);
    EXPECT_EQ(keysOf(*params), rowKeys);
    EXPECT_EQ(params->find("tone")->numberText, "0.6");

    const json::Value* state = doc.find("state");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(keysOf(*state), (std::vector<std::string>{"motion", "motionDrive", "motionLevel", "arcs"}));
    EXPECT_EQ(keysOf(*state->find("arcs")), (std::vector<std::string>{"Shape", "Tone", "Drive", "Motion", "Spread"}));
    EXPECT_EQ(state->find("motionLevel")->items.size(), 64u);
    EXPECT_EQ(state->find("motionLevel")->items[63].numberText, "0.3");
    EXPECT_EQ(state->find("motion")->items[0].numberText, "-1");
}

TEST(PatchDocumentWrite, UnknownParamsStayFirstAndKnownOnesUpdateInPlace) {
    InstanceDocument base;
    base.params.push_back(json::Member{"custom", json::Value(3)});
    base.params.push_back(json::Member{"tone", json::Value(0.1)});
    Patch patch;
    patch.tone = 0.75f;
    const json::Value doc = parsed(written(patch, base));
    const std::vector<std::string> keys = keysOf(*doc.find("params"));
    ASSERT_EQ(keys.size(), 24u);
    EXPECT_EQ(keys[0], "custom");
    EXPECT_EQ(keys[1], "tone");
    std::vector<std::string> rest;
    for (const PatchParam& row : patchParams) {
        if (std::string(row.key) != "tone") rest.push_back(row.key);
    }
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 2, keys.end()), rest);
    EXPECT_EQ(json::numberOr(*doc.find("params"), "custom", 0), 3.0);
    EXPECT_EQ(json::numberOr(*doc.find("params"), "tone", 0), 0.75);
}

TEST(PatchDocumentWrite, ArcsAreReplacedWholeAndOtherStateStays) {
    InstanceDocument base;
    base.state = parsed(R"({"arcs":{"Wobble":[1],"Shape":[2]},"custom":true,"motionDrive":[9]})");
    const json::Value doc = parsed(written(Patch(), base));
    const json::Value* state = doc.find("state");
    EXPECT_EQ(keysOf(*state), (std::vector<std::string>{"arcs", "custom", "motionDrive", "motion", "motionLevel"}));
    EXPECT_EQ(keysOf(*state->find("arcs")), (std::vector<std::string>{"Shape", "Tone", "Drive", "Motion", "Spread"}));
    EXPECT_EQ(state->find("motionDrive")->items.size(), 64u);

    InstanceDocument notObject;
    notObject.state = json::Value("opaque");
    EXPECT_EQ(keysOf(*parsed(written(Patch(), notObject)).find("state")),
              (std::vector<std::string>{"motion", "motionDrive", "motionLevel", "arcs"}));
}

TEST(PatchDocumentWrite, MetaTakesNameThenCategoryOnlyWhenGiven) {
    InstanceDocument base;
    base.meta = parsed(R"({"author":"someone","category":"Old"})");
    const PresetMeta meta{"Fat", "Sub"};
    const json::Value withMeta = parsed(written(Patch(), base, std::nullopt, &meta));
    EXPECT_EQ(keysOf(*withMeta.find("meta")), (std::vector<std::string>{"author", "category", "name"}));
    EXPECT_EQ(json::stringOr(*withMeta.find("meta"), "category", ""), "Sub");
    EXPECT_EQ(json::stringOr(*withMeta.find("meta"), "name", ""), "Fat");

    const json::Value without = parsed(written(Patch(), base));
    EXPECT_EQ(json::stringOr(*without.find("meta"), "category", ""), "Old");
    EXPECT_EQ(without.find("meta")->find("name"), nullptr);

    InstanceDocument stringMeta;
    stringMeta.meta = json::Value("notes");
    const json::Value replaced = parsed(written(Patch(), stringMeta, std::nullopt, &meta));
    EXPECT_EQ(keysOf(*replaced.find("meta")), (std::vector<std::string>{"name", "category"}));
}

TEST(PatchDocumentWrite, PluginAndFormatAreOursAndTheSeedIsReplacedOnlyWhenGiven) {
    InstanceDocument base;
    base.plugin = "other";
    base.formatVersion = 7;
    base.seed = 5;
    const json::Value kept = parsed(written(Patch(), base));
    EXPECT_EQ(json::stringOr(kept, "plugin", ""), "tarnlode");
    EXPECT_EQ(json::numberOr(kept, "formatVersion", 0), 1.0);
    EXPECT_EQ(json::stringOr(kept, "seed", ""), "0000000000000005");
    const json::Value replaced = parsed(written(Patch(), base, 0xABCDEFull));
    EXPECT_EQ(json::stringOr(replaced, "seed", ""), "0000000000abcdef");
}

TEST(PatchDocumentRoundTrip, EveryFactorySoundComesBackBitForBit) {
    for (const FactoryPreset& preset : factoryPresets()) {
        const Patch back = roundTrip(preset.patch);
        EXPECT_TRUE(test::samePatchBits(back, preset.patch))
            << preset.name << ": " << test::firstPatchDifference(back, preset.patch);
    }
}

TEST(PatchDocumentRoundTrip, WobbleRateIsWrittenAsItsShortestText) {
    const auto& list = factoryPresets();
    const json::Value doc = parsed(written(list.at(16).patch));
    ASSERT_EQ(list.at(16).name, "Wobble");
    EXPECT_EQ(doc.find("params")->find("motionRate")->numberText, "0.33333334");
}

// Any value within each parameter's range (whole for stepped ones) and any finite curve point.
Patch randomPatch(std::mt19937& random) {
    Patch patch;
    for (const PatchParam& row : patchParams) {
        std::uniform_real_distribution<float> within(row.min, row.max);
        float value = within(random);
        if (row.stepped) value = std::round(value);
        if (random() % 16 == 0) value = random() % 2 ? row.min : row.max;
        patch.*row.field = value;
    }
    for (auto& curve : patch.curves.points) {
        for (float& point : curve) {
            float value;
            do {
                value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
            } while (!std::isfinite(value));
            point = random() % 2 ? value : std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        }
    }
    return patch;
}

TEST(PatchDocumentRoundTrip, RandomSoundsComeBackBitForBit) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const Patch patch = randomPatch(random);
        const Patch back = roundTrip(patch);
        ASSERT_TRUE(test::samePatchBits(back, patch)) << test::firstPatchDifference(back, patch);
    }
}

TEST(PresetMetaRead, NameAndCategoryAreTakenOnlyAsStrings) {
    InstanceDocument document;
    EXPECT_EQ(readPresetMeta(document).name, "");
    document.meta = parsed(R"({"name":"Fat","category":3})");
    EXPECT_EQ(readPresetMeta(document).name, "Fat");
    EXPECT_EQ(readPresetMeta(document).category, "");
    document.meta = parsed(R"(["name","Fat"])");
    EXPECT_EQ(readPresetMeta(document).name, "");

    const PresetMeta meta{"Deep", "Sub"};
    const ReadResult read = readText(written(Patch(), InstanceDocument(), std::nullopt, &meta));
    const PresetMeta back = readPresetMeta(read.document);
    EXPECT_EQ(back.name, "Deep");
    EXPECT_EQ(back.category, "Sub");
}

TEST(MotionCurveKey, NamesTheThreeLanes) {
    EXPECT_EQ(motionCurveKey(0), "motion");
    EXPECT_EQ(motionCurveKey(1), "motionDrive");
    EXPECT_EQ(motionCurveKey(2), "motionLevel");
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

// A base document read from a file keeps its unusable members; those the mapping writes itself
// must not come back over the sound.
TEST(PatchDocumentWrite, CarriedMembersNeverReplaceTheSoundsOwn) {
    IssueList issues;
    const auto base = readInstance(
        parsed(R"({"kind":"instance","spec":"1.0","plugin":5,"formatVersion":"x","params":[1],"seed":"bad",)"
               R"("extra":{"kept":true}})"),
        issues);
    ASSERT_TRUE(base);
    Patch patch;
    patch.weight = 0.125f;
    const json::Value doc = parsed(written(patch, *base, 9));
    EXPECT_EQ(json::stringOr(doc, "plugin", ""), "tarnlode");
    EXPECT_EQ(json::numberOr(doc, "formatVersion", 0), 1.0);
    EXPECT_EQ(json::stringOr(doc, "seed", ""), "0000000000000009");
    ASSERT_EQ(doc.find("params")->kind, json::Kind::Object);
    EXPECT_EQ(json::numberOr(*doc.find("params"), "weight", 0), 0.125);
    ASSERT_NE(doc.find("extra"), nullptr) << "members the mapping does not write are still carried";

    const ReadResult back = readText(json::write(doc));
    ASSERT_TRUE(back.patch);
    EXPECT_TRUE(test::samePatchBits(*back.patch, patch));
}

}  // namespace
}  // namespace tarn
