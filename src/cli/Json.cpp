#include "cli/Json.h"

#include "store/Utf.h"

#include <charconv>

namespace json {

Value Value::boolean(bool b)
{
    Value v;
    v.data_ = b;
    return v;
}

Value Value::number(int64_t n)
{
    return numberLiteral(std::to_string(n));
}

Value Value::unsignedNumber(uint64_t n)
{
    return numberLiteral(std::to_string(n));
}

Value Value::numberLiteral(std::string text)
{
    Value v;
    v.data_ = Number{std::move(text)};
    return v;
}

Value Value::string(std::u16string s)
{
    Value v;
    v.data_ = std::move(s);
    return v;
}

Value Value::array(Array items)
{
    Value v;
    v.data_ = std::move(items);
    return v;
}

Value Value::object(Object members)
{
    Value v;
    v.data_ = std::move(members);
    return v;
}

std::optional<int64_t> Value::asInteger() const
{
    const auto* n = std::get_if<Number>(&data_);
    if (!n || n->text.find_first_of(".eE") != std::string::npos)
        return std::nullopt;
    int64_t result = 0;
    const char* end = n->text.data() + n->text.size();
    const auto [ptr, ec] = std::from_chars(n->text.data(), end, result);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return result;
}

const Value* Value::find(std::u16string_view key) const
{
    const auto* members = std::get_if<Object>(&data_);
    if (!members)
        return nullptr;
    for (const auto& m : *members)
        if (m.key == key)
            return &m.value;
    return nullptr;
}

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendEscapedUnit(std::string& out, char16_t c)
{
    static constexpr char HEX[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += HEX[(c >> shift) & 0xF];
}

void appendValue(std::string& out, const Value& v)
{
    switch (v.type()) {
    case Value::Type::null: out += "null"; return;
    case Value::Type::boolean: out += v.asBool() ? "true" : "false"; return;
    case Value::Type::number: out += v.numberText(); return;
    case Value::Type::string: appendString(out, v.asString()); return;
    case Value::Type::array: {
        out += '[';
        bool first = true;
        for (const auto& item : v.asArray()) {
            if (!first)
                out += ',';
            first = false;
            appendValue(out, item);
        }
        out += ']';
        return;
    }
    case Value::Type::object: {
        out += '{';
        bool first = true;
        for (const auto& m : v.asObject()) {
            if (!first)
                out += ',';
            first = false;
            appendString(out, m.key);
            out += ':';
            appendValue(out, m.value);
        }
        out += '}';
        return;
    }
    }
}

} // namespace

std::string write(const Value& value)
{
    std::string out;
    appendValue(out, value);
    return out;
}

void appendString(std::string& out, std::u16string_view s)
{
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        switch (c) {
        case u'"': out += "\\\""; continue;
        case u'\\': out += "\\\\"; continue;
        case u'\b': out += "\\b"; continue;
        case u'\f': out += "\\f"; continue;
        case u'\n': out += "\\n"; continue;
        case u'\r': out += "\\r"; continue;
        case u'\t': out += "\\t"; continue;
        default: break;
        }
        if (c < 0x20) {
            appendEscapedUnit(out, c);
        } else if (isHighSurrogate(c) && i + 1 < s.size() && isLowSurrogate(s[i + 1])) {
            utf::appendUtf8(out, 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            appendEscapedUnit(out, c);
        } else {
            utf::appendUtf8(out, c);
        }
    }
    out += '"';
}

} // namespace json
