// Putting carried-along members back into written objects and restoring the number texts as read.
#include "documents/kept_members.h"

#include "documents/json/key_table.h"
#include "documents/json/member_index.h"

#include <cmath>
#include <optional>

namespace tarn {
namespace {

bool isExactFloat(double number) {
    if (!std::isfinite(number)) return std::isinf(number);
    const auto narrowed = static_cast<float>(number);
    return std::isfinite(narrowed) && static_cast<double>(narrowed) == number;
}

bool sameNumber(double written, double read) {
    if (written == read) return true;
    // A float parameter written from its float keeps the text it was read with ("0.6").
    // Values beyond the float range would narrow with undefined behaviour, so they are
    // compared only as doubles.
    if (!isExactFloat(written) || std::isnan(read)) return false;
    constexpr double floatMax = 3.4028234663852886e38;
    if (std::isfinite(read) && std::fabs(read) > floatMax) return false;
    return static_cast<float>(read) == static_cast<float>(written);
}

// Below this many members a plain scan beats building an index.
constexpr std::size_t kIndexedMembers = 32;

}  // namespace

void keepNumberSpelling(json::Value& written, const json::Value& asRead) {
    if (written.kind == json::Kind::Number && asRead.kind == json::Kind::Number) {
        if (sameNumber(written.number, asRead.number)) {
            written.number = asRead.number;
            written.numberText = asRead.numberText;
        }
        return;
    }
    if (written.kind == json::Kind::Array && asRead.kind == json::Kind::Array) {
        if (written.items.empty() || written.items.size() != asRead.items.size()) return;
        for (std::size_t i = 0; i < written.items.size(); ++i) keepNumberSpelling(written.items[i], asRead.items[i]);
        return;
    }
    if (written.kind != json::Kind::Object || asRead.kind != json::Kind::Object) return;
    // Written objects usually hold their members in the order read, so the member at the same
    // position is tried first; the index keeps the other cases linear.
    std::optional<json::MemberIndex> index;
    for (std::size_t i = 0; i < written.members.size(); ++i) {
        json::Member& member = written.members[i];
        const json::Value* read = nullptr;
        if (i < asRead.members.size() && asRead.members[i].key == member.key) {
            read = &asRead.members[i].value;
        } else if (asRead.members.size() < kIndexedMembers) {
            read = asRead.find(member.key);
        } else {
            if (!index) index.emplace(asRead);
            read = index->find(member.key);
        }
        if (read) keepNumberSpelling(member.value, *read);
    }
}

void mergeKept(json::Value& target, const json::Value& kept, const json::Value& asRead) {
    if (kept.kind == json::Kind::Object && !kept.members.empty()) {
        target.kind = json::Kind::Object;
        json::KeyTable table;
        table.reserve(target.members.size() + kept.members.size());
        for (std::size_t i = 0; i < target.members.size(); ++i) table.insert(target.members, i);
        for (const json::Member& member : kept.members) {
            const std::size_t at = table.find(target.members, member.key);
            if (at != json::KeyTable::npos) {
                target.members[at].value = member.value;
            } else {
                target.members.push_back(member);
                table.insert(target.members, target.members.size() - 1);
            }
        }
    }
    keepNumberSpelling(target, asRead);
}

}  // namespace tarn
