// Construction, member lookup and the accessors of the JSON value.
#include "documents/json/value.h"

#include "documents/json/number.h"

#include <utility>

namespace tarn::json {

Value::Value(double value) : kind(Kind::Number), number(value) {}

Value::Value(std::string value) : kind(Kind::String), text(std::move(value)) {}

Value::Value(const char* value) : kind(Kind::String), text(value ? value : "") {}

Value& Value::operator=(Value&& other) noexcept {
    if (this == &other) return *this;
    kind = other.kind;
    flag = other.flag;
    number = other.number;
    numberText = std::move(other.numberText);
    text = std::move(other.text);
    items = std::move(other.items);
    members = std::move(other.members);
    return *this;
}

Value Value::object() {
    Value value;
    value.kind = Kind::Object;
    return value;
}

Value Value::array() {
    Value value;
    value.kind = Kind::Array;
    return value;
}

const Value* Value::find(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (const Member& member : members)
        if (member.key == key) return &member.value;
    return nullptr;
}

Value* Value::find(std::string_view key) {
    return const_cast<Value*>(std::as_const(*this).find(key));
}

Value& Value::set(std::string_view key, Value value) {
    kind = Kind::Object;
    for (Member& member : members) {
        if (member.key == key) {
            member.value = std::move(value);
            return member.value;
        }
    }
    members.push_back(Member{std::string(key), std::move(value)});
    return members.back().value;
}

Value& Value::append(std::string key, Value value) {
    kind = Kind::Object;
    members.push_back(Member{std::move(key), std::move(value)});
    return members.back().value;
}

Value& Value::push(Value item) {
    kind = Kind::Array;
    items.push_back(std::move(item));
    return items.back();
}

Value fromFloat(float value) {
    Value result(static_cast<double>(value));
    result.numberText = shortestFloatText(value);
    return result;
}

Value fromBool(bool value) {
    Value result;
    result.kind = Kind::Bool;
    result.flag = value;
    return result;
}

double numberOr(const Value& object, std::string_view key, double fallback) {
    const Value* member = object.find(key);
    return member && member->kind == Kind::Number ? member->number : fallback;
}

float floatOr(const Value& object, std::string_view key, float fallback) {
    const Value* member = object.find(key);
    return member && member->kind == Kind::Number ? static_cast<float>(member->number) : fallback;
}

std::string stringOr(const Value& object, std::string_view key, const std::string& fallback) {
    const Value* member = object.find(key);
    return member && member->kind == Kind::String ? member->text : fallback;
}

}  // namespace tarn::json
