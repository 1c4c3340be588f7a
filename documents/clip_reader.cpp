// The clip reader: header, maps, name tables, notes with expressions and random records, lanes, and extension use.
#include "documents/clip_reader.h"

#include "documents/document_header.h"
#include "documents/json/number.h"
#include "documents/json_pointer.h"
#include "documents/read_cursor.h"

#include <string>
#include <unordered_map>
#include <utility>

namespace tarn {
namespace {

using json::Kind;
using json::Value;

// "ext" and "source" are taken whatever their kind.
std::optional<Value> anyMember(ReadCursor& cursor, std::string_view key) {
    const Value* member = cursor.find(key);
    if (!member) return std::nullopt;
    cursor.markRead(key);
    return *member;
}

// Readers go on when memberOfKind found nothing; these give the value or the default.
double numberOr(ReadCursor& cursor, std::string_view key, double fallback) {
    return numberMember(cursor, key).value_or(fallback);
}

std::string stringOr(ReadCursor& cursor, std::string_view key) {
    return stringMember(cursor, key).value_or(std::string());
}

TempoChange readTempo(const Value& entry, const std::string& pointer, IssueList& issues) {
    if (entry.kind == Kind::Object) {
        ReadCursor cursor(entry, pointer, issues);
        const auto at = numberMember(cursor, "at");
        const auto bpm = numberMember(cursor, "bpm");
        if (at && bpm && *bpm > 0) return TempoChange{*at, *bpm, cursor.unreadMembers(), entry, false};
    }
    addWarning(issues, "bad-tempo", pointer, "Expected {at, bpm > 0}; kept as written, not used");
    TempoChange kept;
    kept.asRead = entry;
    kept.keptAsWritten = true;
    return kept;
}

MeterChange readMeter(const Value& entry, const std::string& pointer, IssueList& issues) {
    if (entry.kind == Kind::Object) {
        ReadCursor cursor(entry, pointer, issues);
        const auto at = numberMember(cursor, "at");
        const auto num = numberMember(cursor, "num");
        const auto den = numberMember(cursor, "den");
        // Saturating truncation: a numerator of 1e300 or infinity reads as the largest 32-bit
        // value instead of an undefined cast.
        if (at && num && den && *num >= 1 && *den >= 1)
            return MeterChange{*at, json::toInt32(*num), json::toInt32(*den), cursor.unreadMembers(), entry, false};
    }
    addWarning(issues, "bad-meter", pointer, "Expected {at, num, den}; kept as written, not used");
    MeterChange kept;
    kept.asRead = entry;
    kept.keptAsWritten = true;
    return kept;
}

SwingSetting readSwing(const Value& entry, const std::string& pointer, IssueList& issues) {
    if (entry.kind == Kind::Object) {
        ReadCursor cursor(entry, pointer, issues);
        const auto bar = numberMember(cursor, "bar");
        const auto amount = numberMember(cursor, "amount");
        const auto grid = stringMember(cursor, "grid");
        if (bar && amount && (!grid || parseGrid(*grid))) {
            SwingSetting setting;
            setting.bar = json::toInt32(*bar);
            setting.grid = grid ? *grid : "1/16";
            setting.amount = *amount;
            setting.voice = stringOr(cursor, "voice");
            setting.kept = cursor.unreadMembers();
            setting.asRead = entry;
            return setting;
        }
    }
    addWarning(issues, "bad-swing", pointer,
               "Expected {bar, grid, amount} with a readable grid; kept as written, not used");
    SwingSetting kept;
    kept.asRead = entry;
    kept.keptAsWritten = true;
    return kept;
}

LanePoint readLanePoint(const Value& entry, const std::string& pointer, IssueList& issues) {
    if (entry.kind == Kind::Object) {
        ReadCursor cursor(entry, pointer, issues);
        const auto at = numberMember(cursor, "at");
        const Value* v = cursor.find("v");
        if (at && v) {
            cursor.markRead("v");
            LanePoint point;
            point.at = *at;
            point.v = *v;
            point.curve = stringOr(cursor, "curve");
            if (!point.curve.empty() && point.curve != "step" && point.curve != "linear" && point.curve != "smooth")
                addWarning(issues, "unknown-curve", pointerJoin(pointer, "curve"), "Unknown curve, played as step; kept");
            point.kept = cursor.unreadMembers();
            point.asRead = entry;
            return point;
        }
    }
    addWarning(issues, "bad-lane-point", pointer, "Expected {at, v}; kept as written, not used");
    LanePoint kept;
    kept.asRead = entry;
    kept.keptAsWritten = true;
    return kept;
}

ClipLane readLane(const Value& entry, const std::string& pointer, IssueList& issues) {
    std::optional<ReadCursor> cursor;
    std::optional<std::string> target;
    if (entry.kind == Kind::Object) {
        cursor.emplace(entry, pointer, issues);
        target = stringMember(*cursor, "target");
    }
    if (!target || target->empty()) {
        addWarning(issues, "bad-lane", pointer, "A lane is an object with a `target`; kept as written, not played");
        ClipLane kept;
        kept.asRead = entry;
        kept.keptAsWritten = true;
        return kept;
    }
    ClipLane lane;
    lane.asRead = entry;
    lane.target = std::move(*target);
    lane.id = stringOr(*cursor, "id");
    lane.voice = stringOr(*cursor, "voice");
    lane.instance = stringOr(*cursor, "instance");
    if (const Value* points = arrayMember(*cursor, "points")) {
        const std::string pointsPointer = pointerJoin(pointer, "points");
        lane.points.reserve(points->items.size());
        for (std::size_t j = 0; j < points->items.size(); ++j)
            lane.points.push_back(readLanePoint(points->items[j], indexPointer(pointsPointer, j), issues));
    }
    lane.kept = cursor->unreadMembers();
    return lane;
}

template <typename Record, typename ReadOne>
std::vector<Record> readList(const Value& array, std::string_view pointer, IssueList& issues, ReadOne readOne) {
    std::vector<Record> records;
    records.reserve(array.items.size());
    for (std::size_t i = 0; i < array.items.size(); ++i)
        records.push_back(readOne(array.items[i], indexPointer(pointer, i), issues));
    return records;
}

}  // namespace

std::optional<double> parseGrid(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto numerator = parseDecimalInt32(text.substr(0, slash));
    const auto denominator = parseDecimalInt32(text.substr(slash + 1));
    if (!numerator || !denominator || *numerator < 1 || *denominator < 1) return std::nullopt;
    return static_cast<double>(*numerator) * 4.0 / static_cast<double>(*denominator);
}

void setNamedValue(std::vector<NamedValues>& list, std::string_view name, Expression expression) {
    for (NamedValues& entry : list) {
        if (entry.name == name) {
            entry.value = std::move(expression);
            return;
        }
    }
    list.push_back(NamedValues{std::string(name), std::move(expression)});
}

std::vector<TempoChange> readTempoMap(const Value& array, std::string_view pointer, IssueList& issues) {
    return readList<TempoChange>(array, pointer, issues, readTempo);
}

std::vector<MeterChange> readMeterMap(const Value& array, std::string_view pointer, IssueList& issues) {
    return readList<MeterChange>(array, pointer, issues, readMeter);
}

std::vector<SwingSetting> readSwingList(const Value& array, std::string_view pointer, IssueList& issues) {
    return readList<SwingSetting>(array, pointer, issues, readSwing);
}

std::vector<ClipLane> readLanes(const Value& array, std::string_view pointer, IssueList& issues) {
    return readList<ClipLane>(array, pointer, issues, readLane);
}

Expression readExpression(const Value& node, std::string_view pointer, IssueList& issues) {
    Expression expression;
    expression.asRead = node;
    if (node.kind == Kind::Number) {
        expression.number = node.number;
        return expression;
    }
    if (node.kind != Kind::Array) {
        addWarning(issues, "bad-expression", std::string(pointer),
                   "Expected a number or a curve; kept as written, not played");
        return Expression(node);
    }
    expression.kind = 1;
    expression.points.reserve(node.items.size());
    for (std::size_t j = 0; j < node.items.size(); ++j) {
        const Value& point = node.items[j];
        if (point.kind != Kind::Array || point.items.size() != 2 || point.items[0].kind != Kind::Number ||
            point.items[1].kind != Kind::Number) {
            addWarning(issues, "bad-expression", indexPointer(pointer, j),
                       "Expected [beatsFromNoteStart, value]; the expression is kept as written, not played");
            return Expression(node);
        }
        expression.points.push_back(ExpressionPoint{point.items[0].number, point.items[1].number});
    }
    return expression;
}

NoteRandom readNoteRandom(const Value& node, std::string_view pointer, IssueList& issues) {
    ReadCursor cursor(node, std::string(pointer), issues);
    NoteRandom random;
    random.asRead = node;
    random.vel = numberOr(cursor, "vel", 0.0);
    random.nudge = numberOr(cursor, "nudge", 0.0);
    random.pan = numberMember(cursor, "pan");
    if (const Value* params = objectMember(cursor, "params"))
        random.params = readMemberTable(*params, pointerJoin(pointer, "params"), issues, MemberRule::Numbers);
    random.kept = cursor.unreadMembers();
    return random;
}

ClipNote readNote(const Value& node, std::string_view pointer, IssueList& issues) {
    if (node.kind != Kind::Object) {
        addWarning(issues, "bad-note", std::string(pointer), "Expected a note object; kept as written, not played");
        return ClipNote(node);
    }
    ReadCursor cursor(node, std::string(pointer), issues);
    const auto at = numberMember(cursor, "at");
    if (!at) {
        addWarning(issues, "note-without-at", std::string(pointer), "A note needs `at`; kept as written, not played");
        return ClipNote(node);
    }
    ClipNote note;
    note.asRead = node;
    note.at = *at;
    note.nudge = numberOr(cursor, "nudge", 0.0);
    note.len = numberMember(cursor, "len");
    note.vel = numberOr(cursor, "vel", 1.0);
    note.rel = numberMember(cursor, "rel");
    note.pitch = numberMember(cursor, "pitch");
    if (const Value* expr = objectMember(cursor, "expr")) {
        const std::string exprPointer = pointerJoin(pointer, "expr");
        // setNamedValue scans the list; a hash of names keeps a note with very many
        // expressions linear.
        std::unordered_map<std::string_view, std::size_t> positions;
        note.expr.reserve(expr->members.size());
        for (const json::Member& member : expr->members) {
            Expression expression = readExpression(member.value, pointerJoin(exprPointer, member.key), issues);
            const auto [found, inserted] = positions.try_emplace(member.key, note.expr.size());
            if (inserted)
                note.expr.push_back(NamedValues{member.key, std::move(expression)});
            else
                note.expr[found->second].value = std::move(expression);
        }
    }
    if (const Value* random = objectMember(cursor, "rand"))
        note.rand = readNoteRandom(*random, pointerJoin(pointer, "rand"), issues);
    note.voice = stringOr(cursor, "voice");
    note.tune = numberMember(cursor, "tune");
    note.sound = stringOr(cursor, "sound");
    if (const Value* set = objectMember(cursor, "set"))
        note.set = readMemberTable(*set, pointerJoin(pointer, "set"), issues, MemberRule::Values);
    if (const Value* add = objectMember(cursor, "add"))
        note.add = readMemberTable(*add, pointerJoin(pointer, "add"), issues, MemberRule::Numbers);
    if (const Value* slide = memberOfKind(cursor, "slide", Kind::Bool, "true or false")) note.slide = slide->flag;
    if (auto ext = anyMember(cursor, "ext")) note.ext = std::move(*ext);
    note.kept = cursor.unreadMembers();

    if (!note.voice.empty()) {
        if (note.pitch)
            addWarning(issues, "voiced-note-with-pitch", std::string(pointer),
                       "A voiced note carries `voice`, never `pitch`; pitch ignored");
    } else {
        if (!note.pitch)
            addWarning(issues, "note-without-pitch", std::string(pointer), "An unvoiced note needs `pitch`; not played");
        if (note.tune)
            addWarning(issues, "tune-without-voice", std::string(pointer), "`tune` belongs to a voiced note; ignored");
    }
    return note;
}

std::vector<ExtensionId> clipExtensionsUsed(const Clip& clip) {
    bool voices = !clip.voices.empty() || !clip.sounds.empty();
    bool perNoteParams = false;
    bool noteRandom = false;
    bool slide = false;
    for (const SwingSetting& setting : clip.swing)
        if (!setting.keptAsWritten && !setting.voice.empty()) voices = true;
    for (const ClipLane& lane : clip.lanes)
        if (!lane.keptAsWritten && !lane.voice.empty()) voices = true;
    for (const ClipNote& note : clip.notes) {
        if (note.keptAsWritten) continue;
        if (!note.voice.empty() || note.tune || !note.sound.empty()) voices = true;
        if (!note.set.empty() || !note.add.empty()) perNoteParams = true;
        if (note.rand && (note.rand->pan || !note.rand->params.empty())) noteRandom = true;
        if (note.slide) slide = true;
    }
    std::vector<ExtensionId> used;
    if (voices) used.push_back(ExtensionId{"com.tarnwerks.voices", 1});
    if (perNoteParams) used.push_back(ExtensionId{"com.tarnwerks.per-note-params", 1});
    if (noteRandom) used.push_back(ExtensionId{"com.tarnwerks.note-random", 1});
    if (slide) used.push_back(ExtensionId{"com.tarnwerks.slide", 1});
    return used;
}

std::optional<Clip> readClip(const Value& node, IssueList& issues) {
    DocumentHeader header = readDocumentHeader(node, "clip", issues);
    if (!header.valid) return std::nullopt;
    ReadCursor cursor(node, "", issues);
    cursor.markRead("kind");
    cursor.markRead("spec");
    if (header.extensionsRead) cursor.markRead("extensions");

    Clip clip;
    clip.asRead = node;
    clip.spec = header.spec;
    clip.extensions = std::move(header.extensions);
    if (auto id = stringMember(cursor, "id")) clip.id = std::move(*id);
    if (auto plugin = stringMember(cursor, "plugin")) clip.plugin = std::move(*plugin);
    if (const auto formatVersion = numberMember(cursor, "formatVersion"))
        clip.formatVersion = json::toInt32(*formatVersion);

    if (const Value* seed = cursor.find("seed")) {
        const auto value = seed->kind == Kind::String ? parseSeed(seed->text) : std::nullopt;
        if (value) {
            clip.seed = value;
            cursor.markRead("seed");
        } else {
            addWarning(issues, "bad-seed", "/seed", "A seed is 16 hex digits; kept as written, not used");
        }
    }
    clip.length = numberOr(cursor, "length", 4.0);
    if (const Value* grid = cursor.find("grid")) {
        if (grid->kind == Kind::String && parseGrid(grid->text)) {
            clip.grid = grid->text;
            cursor.markRead("grid");
        } else {
            addWarning(issues, "bad-grid", "/grid", "Unreadable grid; kept as written");
        }
    }
    if (const Value* tempo = arrayMember(cursor, "tempo")) clip.tempo = readTempoMap(*tempo, "/tempo", issues);
    if (const Value* meter = arrayMember(cursor, "meter")) clip.meter = readMeterMap(*meter, "/meter", issues);
    if (const Value* swing = arrayMember(cursor, "swing")) clip.swing = readSwingList(*swing, "/swing", issues);
    if (const Value* voices = objectMember(cursor, "voices"))
        clip.voices = readMemberTable(*voices, "/voices", issues, MemberRule::Names);
    if (const Value* sounds = objectMember(cursor, "sounds"))
        clip.sounds = readMemberTable(*sounds, "/sounds", issues, MemberRule::Names);
    if (const Value* notes = arrayMember(cursor, "notes"))
        clip.notes = readList<ClipNote>(*notes, "/notes", issues, readNote);
    if (const Value* lanes = arrayMember(cursor, "lanes")) clip.lanes = readLanes(*lanes, "/lanes", issues);
    if (auto source = anyMember(cursor, "source")) clip.source = std::move(*source);
    if (auto ext = anyMember(cursor, "ext")) clip.ext = std::move(*ext);
    clip.kept = cursor.unreadMembers();
    clip.keptExtensions = std::move(header.keptExtensions);

    for (const ExtensionId& used : clipExtensionsUsed(clip)) {
        bool declared = false;
        for (const ExtensionId& id : clip.extensions) declared = declared || id.id == used.id;
        if (!declared)
            addNote(issues, "extension-undeclared", "/extensions",
                    "The clip uses " + extensionIdText(used) + " without declaring it; read as declared");
    }
    return clip;
}

}  // namespace tarn
