#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A JSON value whose strings are UTF-16 code units, so that any store string
// (unpaired surrogates included) survives writing and parsing unchanged.
namespace json {

class Value;
struct Member;
using Array = std::vector<Value>;
// Members in the order written or parsed; keys are unique.
using Object = std::vector<Member>;

class Value {
public:
    enum class Type { null, boolean, number, string, array, object };

    Value() = default;
    static Value boolean(bool b);
    static Value number(int64_t n);
    static Value unsignedNumber(uint64_t n);
    // text must be a JSON number literal; it is kept exactly as given.
    static Value numberLiteral(std::string text);
    static Value string(std::u16string s);
    static Value array(Array items);
    static Value object(Object members);

    Type type() const { return static_cast<Type>(data_.index()); }
    bool asBool() const { return std::get<bool>(data_); }
    const std::string& numberText() const { return std::get<Number>(data_).text; }
    // The number when written as an integer (no fraction, no exponent)
    // within int64; empty otherwise or when not a number.
    std::optional<int64_t> asInteger() const;
    const std::u16string& asString() const { return std::get<std::u16string>(data_); }
    const Array& asArray() const { return std::get<Array>(data_); }
    const Object& asObject() const { return std::get<Object>(data_); }
    // The member with that key of an object, or null.
    const Value* find(std::u16string_view key) const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    struct Number {
        std::string text;
        friend bool operator==(const Number&, const Number&) = default;
    };
    std::variant<std::monostate, bool, Number, std::u16string, Array, Object> data_;
};

struct Member {
    std::u16string key;
    Value value;
    friend bool operator==(const Member&, const Member&) = default;
};

// Malformed input; what() describes the problem and ends with the byte
// offset (from 0) where it was found.
class ParseError : public std::runtime_error {
public:
    ParseError(const std::string& problem, size_t offset);
    size_t offset() const { return offset_; }

private:
    size_t offset_;
};

struct ParseLimits {
    size_t maxDepth = 64;           // nested arrays and objects
    size_t maxValues = 8'000'000;   // bounds memory at a few hundred bytes a value
};

// Parses one UTF-8 JSON text (RFC 8259): strict grammar, valid UTF-8 only,
// no duplicate keys, nothing but white space after the value.
Value parse(std::string_view text, const ParseLimits& limits = {});

// Compact JSON with no white space. Strings: '"' and '\' escaped, control
// characters as \b \f \n \r \t or \u00xx, unpaired surrogates as \uxxxx,
// everything else raw UTF-8.
std::string write(const Value& value);
void appendString(std::string& out, std::u16string_view s);

} // namespace json
