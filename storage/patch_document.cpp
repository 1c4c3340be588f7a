// Mapping the sound to and from an "instance" document.
#include "storage/patch_document.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/package_limits.h"
#include "storage/document_numbers.h"

namespace tarn {
namespace {

constexpr const char* kPluginName = "tarnlode";
constexpr const char* kDocumentName = "instance.json";

void setParam(std::vector<json::Member>& params, const char* key, json::Value value) {
    for (json::Member& member : params) {
        if (member.key == key) {
            member.value = std::move(value);
            return;
        }
    }
    params.push_back(json::Member{key, std::move(value)});
}

const json::Value* findParam(const std::vector<json::Member>& params, const char* key) {
    for (const json::Member& member : params) {
        if (member.key == key) return &member.value;
    }
    return nullptr;
}

// A number that is not a finite float leaves the default: the voice never sees NaN or
// infinity, and neither is written back.
float readParam(const PatchParam& row, const json::Value* value, float fallback) {
    if (!value || value->kind != json::Kind::Number) return fallback;
    const std::optional<float> number = finiteFloat(value->number);
    if (!number) return fallback;
    float result = *number;
    if (row.stepped) result = std::round(result);  // halves away from zero
    return std::clamp(result, row.min, row.max);
}

bool isObject(const json::Value& value) { return value.kind == json::Kind::Object; }

// A base document read from a file carries its unusable members along, and the instance writer
// puts them back over what it wrote. For the members this mapping sets itself that would undo
// the write (a "params" array would replace the sound's parameters), so ours take their place.
void dropKeptMembersWeWrite(InstanceDocument& document, bool seedGiven, bool metaGiven) {
    if (!isObject(document.kept)) return;
    std::erase_if(document.kept.members, [seedGiven, metaGiven](const json::Member& member) {
        return member.key == "plugin" || member.key == "formatVersion" || member.key == "params" ||
               member.key == "state" || (metaGiven && member.key == "meta") || (seedGiven && member.key == "seed");
    });
}

}  // namespace

std::string motionCurveKey(int lane) {
    if (lane == 0) return "motion";
    return std::string("motion") + motionTargetName(lane);
}

json::Value writeCurve(const float* points) {
    json::Value out = json::Value::array();
    out.items.reserve(kCurvePoints);
    for (int i = 0; i < kCurvePoints; ++i)
        out.push(json::fromFloat(points[i]));
    return out;
}

void readCurve(const json::Value* member, float* points, const std::string& pointer, IssueList& issues) {
    if (!member) return;
    if (member->kind != json::Kind::Array || member->items.size() != static_cast<std::size_t>(kCurvePoints)) {
        addWarning(issues, "curve-length", pointer, "A curve is 64 numbers; left at its default");
        return;
    }
    for (int i = 0; i < kCurvePoints; ++i) {
        // Any point that is not a finite number lies on the centre line.
        points[i] = finiteFloatMember(&member->items[static_cast<std::size_t>(i)]).value_or(0.0f);
    }
}

PresetMeta readPresetMeta(const InstanceDocument& document) {
    if (!isObject(document.meta)) return {};
    return PresetMeta{json::stringOr(document.meta, "name", std::string()),
                      json::stringOr(document.meta, "category", std::string())};
}

std::string& patchToInstance(const InstanceDocument& base, std::string& out, const Patch& patch,
                             std::optional<std::uint64_t> seed, const PresetMeta* meta) {
    InstanceDocument document = base;
    document.plugin = kPluginName;
    document.formatVersion = 1;
    if (seed) document.seed = seed;
    dropKeptMembersWeWrite(document, seed.has_value(), meta != nullptr);

    if (meta) {
        if (!isObject(document.meta)) document.meta = json::Value::object();
        document.meta.set("name", json::Value(meta->name));
        document.meta.set("category", json::Value(meta->category));
    }

    for (const PatchParam& row : patchParams)
        setParam(document.params, row.key, json::fromFloat(patch.*row.field));

    if (!isObject(document.state)) document.state = json::Value::object();
    for (int lane = 0; lane < kMotionLanes; ++lane)
        document.state.set(motionCurveKey(lane), writeCurve(patch.curves.curve(lane)));

    json::Value arcs = json::Value::object();
    for (int lane = 0; lane < kArcLanes; ++lane)
        arcs.append(arcTargetName(lane), writeCurve(patch.curves.curve(kFirstArcCurve + lane)));
    document.state.set("arcs", std::move(arcs));

    out = json::write(writeInstance(document));
    return out;
}

void patchFromInstance(InstanceDocument& document, std::optional<Patch>& patch, std::span<const std::uint8_t> bytes,
                       IssueList& issues) {
    patch.reset();  // a caller's engaged optional must not read as success after a failure
    const PackageLimits limits{10000, 0x40000000, 0x80000000};
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::optional<Package> package = readPackage(data, kDocumentName, issues, limits);
    if (!package) return;
    std::optional<InstanceDocument> read = readInstance(package->document, issues);
    if (!read) return;

    // An empty plugin passes: the instance reader has already reported it missing.
    if (!read->plugin.empty() && read->plugin != kPluginName) {
        addError(issues, "wrong-plugin", "/plugin", "An instance of " + read->plugin + ", not tarnlode");
        return;
    }

    Patch result;
    for (const PatchParam& row : patchParams)
        result.*row.field = readParam(row, findParam(read->params, row.key), result.*row.field);

    if (isObject(read->state)) {
        for (int lane = 0; lane < kMotionLanes; ++lane) {
            const std::string key = motionCurveKey(lane);
            readCurve(read->state.find(key), result.curves.curve(lane), "/state/" + key, issues);
        }
        if (const json::Value* arcs = read->state.find("arcs"); arcs && isObject(*arcs)) {
            for (int lane = 0; lane < kArcLanes; ++lane) {
                const std::string name = arcTargetName(lane);
                readCurve(arcs->find(name), result.curves.curve(kFirstArcCurve + lane), "/state/arcs/" + name,
                          issues);
            }
        }
    }

    document = std::move(*read);
    patch = result;
}

}  // namespace tarn
