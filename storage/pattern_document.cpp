// Writing and reading the bass pattern as a JSON document.
#include "storage/pattern_document.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "documents/json/number.h"
#include "engine/generator_tables.h"
#include "storage/document_numbers.h"

namespace tarn {
namespace {

// The name tables are indexed by the pattern's genre and scale; an index outside them would
// read past the table, so the writer clamps it (the reader only ever produces 0-5).
int tableIndex(std::int32_t index, int count) { return std::clamp(index, 0, count - 1); }

// Our own decision: whole numbers keep their plain decimal digits. The shortest rule alone would
// write a seed of 4000000000 as 4e9, which reads back the same here but is a float to other
// JSON readers and a puzzle to anyone editing the file by hand.
json::Value wholeNumber(std::int64_t number) {
    json::Value value(number);
    value.numberText = std::to_string(number);
    return value;
}

json::Value writeNote(const PatternNote& note) {
    json::Value out = json::Value::object();
    out.append("step", wholeNumber(note.step));
    out.append("degree", wholeNumber(note.degree));
    out.append("gate", json::fromFloat(note.gate));
    out.append("accent", json::fromFloat(note.accent));
    out.append("slide", json::fromBool(note.slide != 0));
    out.append("anchor", json::fromBool(note.anchor != 0));
    out.append("nudge", json::fromFloat(note.nudge));
    return out;
}

void readFloat(const json::Value& object, const char* key, float& target) {
    if (const auto value = finiteFloatMember(object.find(key))) target = *value;
}

void readInt(const json::Value& object, const char* key, std::int32_t& target) {
    const json::Value* member = object.find(key);
    if (member && member->kind == json::Kind::Number) target = json::toInt32(member->number);
}

bool isTrue(const json::Value* member) { return member && member->kind == json::Kind::Bool && member->flag; }

// Index of the name that matches exactly, or -1.
template <typename NameOf>
int findName(const std::string& text, int count, NameOf nameOf) {
    for (int i = 0; i < count; ++i) {
        if (text == nameOf(i)) return i;
    }
    return -1;
}

// The step of a note item; -1 (outside every bar) when it is missing, not a number or NaN.
std::int32_t readStep(const json::Value& note) {
    const json::Value* step = note.find("step");
    if (!step || step->kind != json::Kind::Number || std::isnan(step->number)) return -1;
    return json::toInt32(step->number);  // saturates, so a huge step still falls outside
}

PatternNote readNote(const json::Value& item, std::int32_t step) {
    PatternNote note;
    note.step = step;
    note.degree = 0;
    note.gate = 1.0f;
    note.accent = 0.5f;
    note.nudge = 0.0f;
    readInt(item, "degree", note.degree);
    readFloat(item, "gate", note.gate);
    readFloat(item, "accent", note.accent);
    note.slide = isTrue(item.find("slide")) ? 1 : 0;
    note.anchor = isTrue(item.find("anchor")) ? 1 : 0;
    readFloat(item, "nudge", note.nudge);
    return note;
}

}  // namespace

json::Value writePattern(const Pattern& pattern) {
    json::Value out = json::Value::object();
    out.append("genre", json::Value(genreName(tableIndex(pattern.genre, kGenreCount))));

    json::Value style = json::Value::object();
    style.append("preset", wholeNumber(pattern.preset));
    style.append("energy", json::fromFloat(pattern.energy));
    style.append("groove", json::fromFloat(pattern.groove));
    style.append("lock", json::fromFloat(pattern.lock));
    out.append("style", std::move(style));

    out.append("seed", wholeNumber(pattern.seed));
    out.append("rootNote", wholeNumber(pattern.rootNote));
    out.append("scale", json::Value(scales[static_cast<std::size_t>(tableIndex(pattern.scale, kScaleCount))].name));
    out.append("swing", json::fromFloat(pattern.swing));

    json::Value bars = json::Value::array();
    for (std::size_t b = 0; b < pattern.bars.size(); ++b) {
        json::Value bar = json::Value::object();
        json::Value notes = json::Value::array();
        for (const PatternNote& note : pattern.bars[b])
            notes.push(writeNote(note));
        bar.append("notes", std::move(notes));
        const std::uint16_t kick = b < pattern.kicks.size() ? pattern.kicks[b] : 0;
        bar.append("kick", wholeNumber(kick));
        bars.push(std::move(bar));
    }
    out.append("bars", std::move(bars));
    return out;
}

void readPattern(const json::Value& value, Pattern& pattern, IssueList& issues) {
    const int genre =
        findName(json::stringOr(value, "genre", std::string()), kGenreCount, [](int i) { return genreName(i); });
    if (genre >= 0)
        pattern.genre = genre;
    else
        addWarning(issues, "unknown-genre", "/pattern/genre", "Not a genre this build knows; left at its default");

    if (const json::Value* style = value.find("style"); style && style->kind == json::Kind::Object) {
        readInt(*style, "preset", pattern.preset);
        readFloat(*style, "energy", pattern.energy);
        readFloat(*style, "groove", pattern.groove);
        readFloat(*style, "lock", pattern.lock);
    }

    if (const json::Value* seed = value.find("seed"); seed && seed->kind == json::Kind::Number)
        pattern.seed = seedFromNumber(seed->number);
    readInt(value, "rootNote", pattern.rootNote);

    const int scale = findName(json::stringOr(value, "scale", std::string()), kScaleCount,
                               [](int i) { return scales[static_cast<std::size_t>(i)].name; });
    if (scale >= 0)
        pattern.scale = scale;
    else
        addWarning(issues, "unknown-scale", "/pattern/scale", "Not a scale this build knows; left at its default");

    readFloat(value, "swing", pattern.swing);

    pattern.bars.clear();
    pattern.kicks.clear();
    const json::Value* bars = value.find("bars");
    if (!bars || bars->kind != json::Kind::Array) return;

    pattern.bars.reserve(bars->items.size());
    pattern.kicks.reserve(bars->items.size());
    for (std::size_t i = 0; i < bars->items.size(); ++i) {
        const json::Value& item = bars->items[i];
        std::vector<PatternNote> bar;
        if (const json::Value* notes = item.find("notes"); notes && notes->kind == json::Kind::Array) {
            for (std::size_t j = 0; j < notes->items.size(); ++j) {
                const json::Value& note = notes->items[j];
                const std::int32_t step = readStep(note);
                // Compared as unsigned, so negative steps fall outside too.
                if (static_cast<std::uint32_t>(step) >= static_cast<std::uint32_t>(kStepsPerBar)) {
                    addWarning(issues, "note-outside-bar",
                               "/pattern/bars/" + std::to_string(i) + "/notes/" + std::to_string(j),
                               "A note outside its bar's 16 steps; left out");
                    continue;
                }
                bar.push_back(readNote(note, step));
            }
        }
        pattern.bars.push_back(std::move(bar));

        std::int32_t kick = 0;
        readInt(item, "kick", kick);
        pattern.kicks.push_back(static_cast<std::uint16_t>(static_cast<std::uint32_t>(kick) & 0xFFFFu));
    }
}

}  // namespace tarn
