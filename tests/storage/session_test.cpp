// Session files: round trips, the written form, and every way a file can fail to open or open with warnings.
#include "storage/session.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>

#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "engine/pattern_generator.h"
#include "storage/factory_presets.h"
#include "tests/storage/patch_test_support.h"
#include "tests/storage/pattern_test_support.h"

namespace tarn {
namespace {

json::Value parsed(const std::string& text) {
    json::Value value;
    std::string error;
    EXPECT_TRUE(json::parse(text, value, error)) << error;
    return value;
}

const char* kSound = R"({"kind":"instance","spec":"1.0","plugin":"tarnlode","params":{}})";

std::string sessionWith(const std::string& members) {
    return std::string(R"({"tarnlodeSession":1,"patch":)") + kSound + (members.empty() ? "" : ",") + members + "}";
}

void expectSameSession(const Session& a, const Session& b) {
    EXPECT_TRUE(test::samePatchBits(a.patch, b.patch)) << test::firstPatchDifference(a.patch, b.patch);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.category, b.category);
    EXPECT_EQ(test::firstPatternDifference(a.pattern, b.pattern), "");
    EXPECT_EQ(a.noteSource, b.noteSource);
}

void expectOnlyIssue(const IssueList& issues, Severity severity, const char* id, const char* pointer,
                     const std::string& message) {
    ASSERT_EQ(issues.size(), 1u) << (issues.empty() ? "none" : issues[0].id);
    EXPECT_EQ(issues[0].severity, severity);
    EXPECT_EQ(issues[0].id, id);
    EXPECT_EQ(issues[0].pointer, pointer);
    EXPECT_EQ(issues[0].message, message);
}

TEST(SessionDefaults, APatternWithoutBarsAndThePatternPlaying) {
    const Session session;
    EXPECT_TRUE(test::samePatchBits(session.patch, Patch()));
    EXPECT_TRUE(session.pattern.bars.empty());
    EXPECT_TRUE(session.pattern.kicks.empty());
    EXPECT_EQ(session.pattern.rootNote, 36);
    EXPECT_EQ(session.pattern.scale, 0);
    EXPECT_EQ(session.pattern.energy, 0.5f);
    EXPECT_EQ(session.noteSource, 1);
    EXPECT_TRUE(session.name.empty());
}

TEST(SessionWrite, OneCompactLineWithTheMembersInOrder) {
    Session session;
    session.pattern = Pattern(1, 36, 0);
    const std::string text = writeSession(session);
    EXPECT_EQ(text.find_first_of(" \n\r\t"), std::string::npos);
    EXPECT_TRUE(text.starts_with(R"({"tarnlodeSession":1,"patch":{"kind":"instance","spec":"1.0","plugin":"tarnlode",)"))
        << text.substr(0, 120);
    EXPECT_TRUE(text.ends_with(R"("bars":[{"notes":[],"kick":0}]},"notes":"pattern"})")) << text;
    const json::Value doc = parsed(text);
    std::vector<std::string> keys;
    for (const json::Member& member : doc.members) keys.push_back(member.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"tarnlodeSession", "patch", "pattern", "notes"}));
    EXPECT_EQ(doc.find("patch")->find("seed"), nullptr);

    session.noteSource = 0;
    EXPECT_TRUE(writeSession(session).ends_with(R"(,"notes":"demo"})"));
}

TEST(SessionWrite, PresetNameGoesIntoTheSoundsMetaOnlyWhenSet) {
    Session session;
    const json::Value unnamed = parsed(writeSession(session));
    EXPECT_EQ(unnamed.find("patch")->find("meta"), nullptr);

    session.name = "Deep Sub";
    session.category = "Sub";
    const json::Value named = parsed(writeSession(session));
    const json::Value* meta = named.find("patch")->find("meta");
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(json::stringOr(*meta, "name", ""), "Deep Sub");
    EXPECT_EQ(json::stringOr(*meta, "category", ""), "Sub");
}

TEST(SessionRoundTrip, GeneratedSessionComesBackWithoutIssues) {
    Session session;
    session.patch = factoryPresets().at(8).patch;
    session.name = "Rising Tension";
    session.category = "Reese";
    Pattern settings(4, 38, 3);
    settings.genre = 4;
    settings.seed = 42;
    session.pattern = generatePattern(settings);
    session.noteSource = 0;

    IssueList issues;
    const auto back = readSession(writeSession(session), issues);
    ASSERT_TRUE(back);
    EXPECT_TRUE(issues.empty());
    expectSameSession(*back, session);
}

TEST(SessionRoundTrip, RandomSoundsAndPatternsComeBackBitForBit) {
    std::mt19937 random(1206);
    for (int round = 0; round < 100; ++round) {
        Session session;
        for (const PatchParam& row : patchParams) {
            float value = std::uniform_real_distribution<float>(row.min, row.max)(random);
            if (row.stepped) value = std::round(value);
            session.patch.*row.field = value;
        }
        for (auto& curve : session.patch.curves.points) {
            for (float& point : curve) point = test::randomFiniteFloat(random);
        }
        session.pattern = test::randomPattern(random);
        session.noteSource = static_cast<std::int32_t>(random() % 2);
        if (random() % 2) {
            session.name = "Preset " + std::to_string(round);
            session.category = presetCategories[random() % presetCategories.size()];
        }
        IssueList issues;
        const auto back = readSession(writeSession(session), issues);
        ASSERT_TRUE(back);
        ASSERT_TRUE(issues.empty()) << issues[0].id;
        expectSameSession(*back, session);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(SessionRoundTrip, ADefaultSessionReadsBackWithFourEmptyBars) {
    IssueList issues;
    const auto back = readSession(writeSession(Session()), issues);
    ASSERT_TRUE(back);
    EXPECT_TRUE(issues.empty());
    ASSERT_EQ(back->pattern.bars.size(), 4u);
    EXPECT_EQ(back->pattern.kicks, (std::vector<std::uint16_t>{0, 0, 0, 0}));
    for (const auto& bar : back->pattern.bars) EXPECT_TRUE(bar.empty());
}

TEST(SessionRead, TextThatIsNotJsonIsNotASession) {
    IssueList issues;
    EXPECT_FALSE(readSession("{\"tarnlodeSession\":1,", issues));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].id, "not-json");
    EXPECT_EQ(issues[0].severity, Severity::Error);
    EXPECT_EQ(issues[0].pointer, "");
    EXPECT_TRUE(issues[0].message.starts_with("Not a readable session: ")) << issues[0].message;
    EXPECT_GT(issues[0].message.size(), std::string("Not a readable session: ").size()) << "the reader's reason follows";

    IssueList empty;
    EXPECT_FALSE(readSession("", empty));
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].id, "not-json");
    EXPECT_EQ(empty[0].message, "Not a readable session: empty document");
}

TEST(SessionRead, AByteOrderMarkAndBlankLinesBeforeTheDocumentAreAccepted) {
    IssueList issues;
    const auto session = readSession("\xEF\xBB\xBF\r\n  \n" + writeSession(Session()), issues);
    ASSERT_TRUE(session);
    EXPECT_TRUE(issues.empty());
}

TEST(SessionRead, DocumentsWithoutTheVersionMemberAreNotSessions) {
    for (const char* text : {"[1]", "\"tarnlodeSession\"", "{}", R"({"tarnlodesession":1,"patch":{}})"}) {
        IssueList issues;
        EXPECT_FALSE(readSession(text, issues)) << text;
        expectOnlyIssue(issues, Severity::Error, "not-a-session", "", "Not a tarnlode session");
    }
}

TEST(SessionRead, ANewerVersionIsRefusedAndAnythingUpToOneIsRead) {
    IssueList newer;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":2})", newer));
    expectOnlyIssue(newer, Severity::Error, "newer-session", "/tarnlodeSession",
                    "Saved by a newer tarnlode; this build cannot read it");

    IssueList fraction;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":1.5,"patch":{}})", fraction));
    EXPECT_EQ(fraction.at(0).id, "newer-session");

    IssueList huge;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":1e308})", huge));
    EXPECT_EQ(huge.at(0).id, "newer-session");

    // A version that is not a number counts as 0: read on, and here the sound is missing.
    IssueList text;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":"1"})", text));
    expectOnlyIssue(text, Severity::Error, "no-patch", "/patch", "The session has no sound");

    for (const char* version : {"0", "-3", "0.5", "-1e308", "-nan", "1"}) {
        IssueList issues;
        const std::string session = R"({"tarnlodeSession":)" + std::string(version) + R"(,"patch":)" + kSound +
                                    R"(,"pattern":{"genre":"House","scale":"Minor","bars":[{"notes":[]}]}})";
        EXPECT_TRUE(readSession(session, issues)) << version;
        EXPECT_TRUE(issues.empty()) << version;
    }
}

TEST(SessionRead, ASessionWithoutAUsableSoundDoesNotOpen) {
    for (const char* patch : {"", R"(,"patch":[])", R"(,"patch":"tarnlode")", R"(,"patch":null)"}) {
        IssueList issues;
        EXPECT_FALSE(readSession(std::string(R"({"tarnlodeSession":1)") + patch + "}", issues)) << patch;
        expectOnlyIssue(issues, Severity::Error, "no-patch", "/patch", "The session has no sound");
    }

    IssueList wrongPlugin;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":1,"patch":{"kind":"instance","spec":"1.0","plugin":"other"}})",
                             wrongPlugin));
    expectOnlyIssue(wrongPlugin, Severity::Error, "wrong-plugin", "/plugin", "An instance of other, not tarnlode");

    IssueList wrongKind;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":1,"patch":{"kind":"clip"}})", wrongKind));
    ASSERT_FALSE(wrongKind.empty());
    EXPECT_EQ(wrongKind.back().severity, Severity::Error);
}

TEST(SessionRead, SoundIssuesPointIntoTheSoundsOwnDocument) {
    IssueList issues;
    const auto session = readSession(
        R"({"tarnlodeSession":1,"patch":{"kind":"instance","spec":"1.0","plugin":"tarnlode","state":{"motion":[1]}},)"
        R"("pattern":{"genre":"House","scale":"Minor","bars":[{}]}})",
        issues);
    ASSERT_TRUE(session);
    expectOnlyIssue(issues, Severity::Warning, "curve-length", "/state/motion",
                    "A curve is 64 numbers; left at its default");
}

TEST(SessionRead, NoPatternOpensFourEmptyBars) {
    IssueList issues;
    const auto session = readSession(sessionWith(""), issues);
    ASSERT_TRUE(session);
    expectOnlyIssue(issues, Severity::Warning, "no-pattern", "/pattern",
                    "The session has no pattern; an empty one opens");
    EXPECT_EQ(session->pattern.bars.size(), 4u);
    EXPECT_EQ(session->pattern.kicks.size(), 4u);
    EXPECT_EQ(session->pattern.rootNote, 36);

    IssueList notObject;
    const auto arrayPattern = readSession(sessionWith(R"("pattern":[1,2])"), notObject);
    ASSERT_TRUE(arrayPattern);
    EXPECT_EQ(notObject.at(0).id, "no-pattern");
    EXPECT_EQ(arrayPattern->pattern.bars.size(), 4u);
}

TEST(SessionRead, APatternWithoutBarsKeepsOnlyItsRootAndScale) {
    for (const char* bars : {R"("bars":[])", R"("bars":{})", R"("bars":7)", R"("kick":1)"}) {
        IssueList issues;
        const auto session = readSession(
            sessionWith(std::string(R"("pattern":{"genre":"Acid","style":{"preset":3,"energy":0.9},"seed":5,)") +
                        R"("rootNote":40,"scale":"Dorian","swing":0.2,)" + bars + "}"),
            issues);
        ASSERT_TRUE(session) << bars;
        EXPECT_TRUE(issues.empty()) << bars;
        const Pattern& pattern = session->pattern;
        EXPECT_EQ(test::firstPatternDifference(pattern, Pattern(4, 40, 3)), "") << bars;
    }

    IssueList issues;
    const auto session = readSession(sessionWith(R"("pattern":{"bars":[]})"), issues);
    ASSERT_TRUE(session);
    EXPECT_EQ(test::firstPatternDifference(session->pattern, Pattern(4, 36, 0)), "");
    ASSERT_EQ(issues.size(), 2u);
    EXPECT_EQ(issues[0].id, "unknown-genre");
    EXPECT_EQ(issues[1].id, "unknown-scale");
}

TEST(SessionRead, OnlyLowerCaseDemoSelectsTheDemoLine) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {R"("notes":"demo")", 0}, {R"("notes":"Demo")", 1}, {R"("notes":"pattern")", 1},
        {R"("notes":0)", 1},      {R"("notes":"")", 1},     {R"("pattern":{"genre":"House"})", 1}};
    for (const auto& [member, source] : cases) {
        IssueList issues;
        const auto session = readSession(sessionWith(member), issues);
        ASSERT_TRUE(session) << member;
        EXPECT_EQ(session->noteSource, source) << member;
    }
}

TEST(SessionRead, PresetNameAndCategoryComeFromTheSoundsMeta) {
    IssueList issues;
    const auto session = readSession(
        R"({"tarnlodeSession":1,"patch":{"kind":"instance","spec":"1.0","plugin":"tarnlode",)"
        R"("meta":{"name":"Fat","category":"Sub","author":"me"}},"pattern":{"genre":"House","scale":"Minor","bars":[{}]}})",
        issues);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->name, "Fat");
    EXPECT_EQ(session->category, "Sub");
}

// Written by hand in an editor: indented, members reordered, members this program does not know.
const char* kHandEdited = R"(
{
  "notes": "demo",
  "comment": "my favourite",
  "pattern": {
    "bars": [ { "kick": 17, "notes": [ { "nudge": 0.1, "step": 4, "degree": 7, "accent": 1, "slide": true } ] } ],
    "scale": "Phrygian", "rootNote": 33, "genre": "DnB", "swing": 0.05,
    "style": { "lock": 0.5, "preset": 2 }, "tempo": 174
  },
  "tarnlodeSession": 1,
  "patch": {
    "state": { "notes": "drawn by hand", "arcs": { "Spread": [0, 1] } },
    "params": { "myKnob": 0.5, "drive": 0.9, "weight": 0.25 },
    "hints": { "colour": "red" },
    "plugin": "tarnlode", "spec": "1.0", "kind": "instance",
    "meta": { "author": "me", "name": "Hand", "category": "Growl" },
    "vendor": [1, 2, 3]
  }
}
)";

TEST(SessionHandEdited, ReadsWithTheSoundsExtrasCarriedAlong) {
    IssueList issues;
    const auto session = readSession(kHandEdited, issues);
    ASSERT_TRUE(session);
    expectOnlyIssue(issues, Severity::Warning, "curve-length", "/state/arcs/Spread",
                    "A curve is 64 numbers; left at its default");
    EXPECT_EQ(session->noteSource, 0);
    EXPECT_EQ(session->name, "Hand");
    EXPECT_EQ(session->category, "Growl");
    EXPECT_EQ(session->patch.drive, 0.9f);
    EXPECT_EQ(session->patch.weight, 0.25f);
    EXPECT_EQ(session->pattern.genre, 4);
    EXPECT_EQ(session->pattern.scale, 4);
    EXPECT_EQ(session->pattern.rootNote, 33);
    EXPECT_EQ(session->pattern.preset, 2);
    EXPECT_EQ(session->pattern.lock, 0.5f);
    ASSERT_EQ(session->pattern.bars.size(), 1u);
    ASSERT_EQ(session->pattern.bars[0].size(), 1u);
    EXPECT_EQ(session->pattern.bars[0][0].step, 4);
    EXPECT_EQ(session->pattern.bars[0][0].slide, 1);
    EXPECT_EQ(session->pattern.bars[0][0].gate, 1.0f);
    EXPECT_EQ(session->pattern.kicks[0], 17u);

    const InstanceDocument& sound = session->soundDocument;
    ASSERT_EQ(sound.params.size(), 3u);
    EXPECT_EQ(sound.params[0].key, "myKnob");
    EXPECT_EQ(json::stringOr(sound.hints, "colour", ""), "red");
    EXPECT_EQ(json::stringOr(sound.state, "notes", ""), "drawn by hand");
    EXPECT_EQ(json::stringOr(sound.meta, "author", ""), "me");
    ASSERT_NE(sound.kept.find("vendor"), nullptr);

    // Written back, the sound keeps what this program does not use.
    const json::Value again = parsed(writeSession(*session));
    const json::Value* patch = again.find("patch");
    EXPECT_EQ(json::numberOr(*patch->find("params"), "myKnob", 0), 0.5);
    EXPECT_EQ(json::stringOr(*patch->find("hints"), "colour", ""), "red");
    EXPECT_EQ(json::stringOr(*patch->find("state"), "notes", ""), "drawn by hand");
    EXPECT_EQ(json::stringOr(*patch->find("meta"), "author", ""), "me");
    ASSERT_NE(patch->find("vendor"), nullptr);
    EXPECT_EQ(patch->find("vendor")->items.size(), 3u);

    IssueList secondIssues;
    const auto second = readSession(json::write(again), secondIssues);
    ASSERT_TRUE(second);
    EXPECT_TRUE(secondIssues.empty());
    expectSameSession(*second, *session);
}

TEST(SessionHandEdited, AClearedPresetNameDoesNotComeBackFromTheCarriedDocument) {
    IssueList issues;
    auto session = readSession(kHandEdited, issues);
    ASSERT_TRUE(session);
    session->name.clear();
    session->category.clear();
    const json::Value written = parsed(writeSession(*session));
    const json::Value* meta = written.find("patch")->find("meta");
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(meta->find("name"), nullptr);
    EXPECT_EQ(meta->find("category"), nullptr);
    EXPECT_EQ(json::stringOr(*meta, "author", ""), "me");
}

}  // namespace
}  // namespace tarn
