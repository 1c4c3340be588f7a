// The in-memory clip document: notes with expressions, tempo, meter and swing maps, name tables and lanes.
#pragma once

#include "documents/json/value.h"
#include "documents/small_formats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// Times are in beats (quarter notes). Every record that stands for a JSON object keeps the
// members its reader did not use (`kept`) and itself as read (`asRead`); an unusable list
// entry stays in its place with `keptAsWritten` set and is written back as read.

struct ExpressionPoint {
    double beatsFromNoteStart = 0.0;
    double value = 0.0;
};

// One per-note expression: a plain number (kind 0) or a curve of points (kind 1).
struct Expression {
    std::int32_t kind = 0;
    double number = 0.0;
    std::vector<ExpressionPoint> points;
    json::Value asRead;
    bool keptAsWritten = false;

    Expression() = default;
    // An expression kept as written.
    explicit Expression(const json::Value& read) : asRead(read), keptAsWritten(true) {}
};

struct NamedValues {
    std::string name;
    Expression value;
};

// A note's "rand" record.
struct NoteRandom {
    double vel = 0.0;
    double nudge = 0.0;
    std::optional<double> pan;
    std::vector<json::Member> params;  // parameter -> Number
    json::Value kept;
    json::Value asRead;
};

struct ClipNote {
    double at = 0.0;
    double nudge = 0.0;
    std::optional<double> len;
    double vel = 1.0;
    std::optional<double> rel;
    std::optional<double> pitch;  // a note without a voice needs it
    std::vector<NamedValues> expr;
    std::optional<NoteRandom> rand;
    std::string voice;  // non-empty makes the note a voiced note
    std::optional<double> tune;
    std::string sound;
    std::vector<json::Member> set;  // parameter -> value (Number) or choice id (String)
    std::vector<json::Member> add;  // parameter -> Number
    bool slide = false;
    json::Value ext;
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;

    ClipNote() = default;
    // A note kept as written.
    explicit ClipNote(const json::Value& read) : asRead(read), keptAsWritten(true) {}
};

struct TempoChange {
    double at = 0.0;
    double bpm = 120.0;
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;
};

struct MeterChange {
    double at = 0.0;
    std::int32_t num = 4;
    std::int32_t den = 4;
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;
};

struct SwingSetting {
    std::int32_t bar = 0;
    std::string grid = "1/16";
    double amount = 0.5;
    std::string voice;
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;
};

struct LanePoint {
    double at = 0.0;
    json::Value v;      // the point's value, any kind, as written
    std::string curve;  // "step", "linear", "smooth", empty, or any other text as written
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;
};

// One automation lane; `target` is never empty in a usable lane.
struct ClipLane {
    std::string id;
    std::string target;
    std::string voice;
    std::string instance;
    std::vector<LanePoint> points;
    json::Value kept;
    json::Value asRead;
    bool keptAsWritten = false;
};

struct Clip {
    SpecVersion spec;
    std::string id;
    std::string plugin;
    std::optional<std::int32_t> formatVersion;
    std::optional<std::uint64_t> seed;
    std::vector<ExtensionId> extensions;
    std::vector<json::Value> keptExtensions;
    double length = 4.0;                 // beats
    std::string grid = "1/16";           // a fraction of a whole note, as written
    std::vector<TempoChange> tempo;
    std::vector<MeterChange> meter;
    std::vector<SwingSetting> swing;
    std::vector<json::Member> voices;    // key -> name
    std::vector<json::Member> sounds;    // key -> name
    std::vector<ClipNote> notes;
    std::vector<ClipLane> lanes;
    json::Value source;
    json::Value ext;
    json::Value kept;
    json::Value asRead;
};

}  // namespace tarn
