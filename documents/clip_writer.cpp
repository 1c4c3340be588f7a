// The clip writer: fixed member order, kept-as-written entries, carried-along members and number spellings.
#include "documents/clip_writer.h"

#include "documents/clip_reader.h"
#include "documents/document_header.h"
#include "documents/kept_members.h"

#include <string>
#include <unordered_set>

namespace tarn {
namespace {

using json::Kind;
using json::Value;

bool isObjectWithMembers(const Value& value) {
    return value.kind == Kind::Object && !value.members.empty();
}

template <typename Record, typename WriteOne>
Value writeList(const std::vector<Record>& records, WriteOne writeOne) {
    Value array = Value::array();
    array.items.reserve(records.size());
    for (const Record& record : records) array.push(record.keptAsWritten ? record.asRead : writeOne(record));
    return array;
}

Value writeTempo(const TempoChange& change) {
    Value object = Value::object();
    object.set("at", change.at);
    object.set("bpm", change.bpm);
    mergeKept(object, change.kept, change.asRead);
    return object;
}

Value writeMeter(const MeterChange& change) {
    Value object = Value::object();
    object.set("at", change.at);
    object.set("num", change.num);
    object.set("den", change.den);
    mergeKept(object, change.kept, change.asRead);
    return object;
}

Value writeSwing(const SwingSetting& setting) {
    Value object = Value::object();
    object.set("bar", setting.bar);
    object.set("grid", setting.grid);
    if (!setting.voice.empty()) object.set("voice", setting.voice);
    object.set("amount", setting.amount);
    mergeKept(object, setting.kept, setting.asRead);
    return object;
}

Value writeLanePoint(const LanePoint& point) {
    Value object = Value::object();
    object.set("at", point.at);
    object.set("v", point.v);
    if (!point.curve.empty()) object.set("curve", point.curve);
    mergeKept(object, point.kept, point.asRead);
    return object;
}

Value writeLane(const ClipLane& lane) {
    Value object = Value::object();
    if (!lane.id.empty()) object.set("id", lane.id);
    object.set("target", lane.target);
    if (!lane.voice.empty()) object.set("voice", lane.voice);
    if (!lane.instance.empty()) object.set("instance", lane.instance);
    object.set("points", writeList(lane.points, writeLanePoint));
    mergeKept(object, lane.kept, lane.asRead);
    return object;
}

// Declared ids first, then each used one whose id text is not declared under any major.
std::vector<ExtensionId> extensionsToWrite(const Clip& clip) {
    std::vector<ExtensionId> list = clip.extensions;
    std::unordered_set<std::string> present;
    for (const ExtensionId& id : list) present.insert(id.id);
    for (ExtensionId& used : clipExtensionsUsed(clip))
        if (present.insert(used.id).second) list.push_back(std::move(used));
    return list;
}

}  // namespace

Value writeTempoMap(const std::vector<TempoChange>& tempo) {
    return writeList(tempo, writeTempo);
}

Value writeMeterMap(const std::vector<MeterChange>& meter) {
    return writeList(meter, writeMeter);
}

Value writeSwingList(const std::vector<SwingSetting>& swing) {
    return writeList(swing, writeSwing);
}

Value writeLanes(const std::vector<ClipLane>& lanes) {
    return writeList(lanes, writeLane);
}

Value writeExpression(const Expression& expression) {
    if (expression.keptAsWritten) return expression.asRead;
    Value result;
    if (expression.kind == 1) {
        result = Value::array();
        result.items.reserve(expression.points.size());
        for (const ExpressionPoint& point : expression.points) {
            Value pair = Value::array();
            pair.push(point.beatsFromNoteStart);
            pair.push(point.value);
            result.push(std::move(pair));
        }
    } else {
        result = Value(expression.number);
    }
    keepNumberSpelling(result, expression.asRead);
    return result;
}

Value writeNoteRandom(const NoteRandom& random) {
    Value object = Value::object();
    if (random.vel != 0) object.set("vel", random.vel);
    if (random.nudge != 0) object.set("nudge", random.nudge);
    if (random.pan) object.set("pan", *random.pan);
    if (!random.params.empty()) object.set("params", writeMemberTable(random.params));
    mergeKept(object, random.kept, random.asRead);
    return object;
}

Value writeNote(const ClipNote& note) {
    if (note.keptAsWritten) return note.asRead;
    Value object = Value::object();
    object.set("at", note.at);
    if (note.nudge != 0) object.set("nudge", note.nudge);
    if (!note.voice.empty()) object.set("voice", note.voice);
    if (note.len) object.set("len", *note.len);
    if (note.pitch) object.set("pitch", *note.pitch);
    if (note.tune) object.set("tune", *note.tune);
    object.set("vel", note.vel);
    if (note.rel) object.set("rel", *note.rel);
    if (!note.sound.empty()) object.set("sound", note.sound);
    if (!note.set.empty()) object.set("set", writeMemberTable(note.set));
    if (!note.add.empty()) object.set("add", writeMemberTable(note.add));
    if (!note.expr.empty()) {
        std::vector<json::Member> expressions;
        expressions.reserve(note.expr.size());
        for (const NamedValues& entry : note.expr) expressions.push_back({entry.name, writeExpression(entry.value)});
        object.set("expr", writeMemberTable(expressions));
    }
    if (note.rand) object.set("rand", writeNoteRandom(*note.rand));
    if (note.slide) object.set("slide", json::fromBool(true));
    if (isObjectWithMembers(note.ext)) object.set("ext", note.ext);
    mergeKept(object, note.kept, note.asRead);
    return object;
}

Value writeClip(const Clip& clip) {
    Value object = Value::object();
    object.set("kind", "clip");
    object.set("spec", specVersionText(currentSpecVersion()));
    if (!clip.id.empty()) object.set("id", clip.id);
    if (!clip.plugin.empty()) object.set("plugin", clip.plugin);
    if (clip.formatVersion) object.set("formatVersion", *clip.formatVersion);
    if (clip.seed) object.set("seed", seedToHex(*clip.seed));
    const std::vector<ExtensionId> extensions = extensionsToWrite(clip);
    if (!extensions.empty() || !clip.keptExtensions.empty())
        object.set("extensions", writeExtensions(extensions, clip.keptExtensions));
    object.set("length", clip.length);
    object.set("grid", clip.grid);
    if (!clip.tempo.empty()) object.set("tempo", writeTempoMap(clip.tempo));
    if (!clip.meter.empty()) object.set("meter", writeMeterMap(clip.meter));
    if (!clip.swing.empty()) object.set("swing", writeSwingList(clip.swing));
    if (!clip.voices.empty()) object.set("voices", writeMemberTable(clip.voices));
    if (!clip.sounds.empty()) object.set("sounds", writeMemberTable(clip.sounds));
    object.set("notes", writeList(clip.notes, writeNote));
    if (!clip.lanes.empty()) object.set("lanes", writeLanes(clip.lanes));
    if (clip.source.kind != Kind::Null) object.set("source", clip.source);
    if (isObjectWithMembers(clip.ext)) object.set("ext", clip.ext);
    mergeKept(object, clip.kept, clip.asRead);
    return object;
}

}  // namespace tarn
