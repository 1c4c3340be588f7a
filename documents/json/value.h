// The one in-memory JSON value: numbers keep the text they were read from, objects keep member order.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::json {

enum class Kind : std::uint32_t { Null = 0, Bool = 1, Number = 2, String = 3, Array = 4, Object = 5 };

struct Member;

// Only the fields of `kind` carry meaning; the others stay empty, zero or false. An Object
// never holds two members with the same key (the reader refuses duplicates, `set` replaces).
struct Value {
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0.0;
    // The exact characters a Number was read from; empty for numbers built from a double,
    // the shortest text of the float for numbers built with fromFloat.
    std::string numberText;
    std::string text;  // UTF-8 bytes of a String
    std::vector<Value> items;
    std::vector<Member> members;  // insertion order

    Value() = default;
    Value(double value);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Value(T value);
    Value(std::string value);
    Value(const char* value);
    // Bools are built with fromBool and floats with fromFloat: an implicit conversion would
    // turn true into the number 1 and 0.6f into its seventeen-digit double.
    Value(bool) = delete;
    Value(float) = delete;

    Value(const Value&) = default;
    Value(Value&&) noexcept = default;
    Value& operator=(const Value&) = default;
    Value& operator=(Value&& other) noexcept;
    ~Value() = default;

    static Value object();
    static Value array();

    // The member with exactly this key, or none; none for a value that is not an Object.
    // A linear scan: for many lookups in one large object build a MemberIndex instead.
    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);

    // Makes this an Object (other fields untouched). An existing member keeps its place and
    // takes the new value; otherwise the member is appended. Returns the stored value.
    Value& set(std::string_view key, Value value);

    // Appends a member without looking for an existing one: for writers copying keys that are
    // already known to be distinct (the members of another object), where `set` would make
    // building a large object quadratic. Makes this an Object. Returns the stored value.
    Value& append(std::string key, Value value);

    // Appends an item, making this an Array. Returns the stored item.
    Value& push(Value item);
};

struct Member {
    std::string key;
    Value value;
};

// Defined once Member is complete: a delegating constructor needs the destructor.
template <std::integral T>
    requires(!std::same_as<T, bool>)
Value::Value(T value) : Value(static_cast<double>(value)) {}

static_assert(std::is_nothrow_move_constructible_v<Value>);
static_assert(std::is_nothrow_move_assignable_v<Value>);

// A Number whose text is the shortest that reads back as the same float ("0.6", "-0");
// no text for infinity and NaN.
Value fromFloat(float value);
Value fromBool(bool value);

// Accessors: a value that is not an Object has no members; a member of another kind gives
// the default.
double numberOr(const Value& object, std::string_view key, double fallback);
float floatOr(const Value& object, std::string_view key, float fallback);
std::string stringOr(const Value& object, std::string_view key, const std::string& fallback);

}  // namespace tarn::json
