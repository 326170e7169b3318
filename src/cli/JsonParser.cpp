#include "cli/Json.h"
#include "store/Utf.h"

#include <algorithm>
#include <numeric>

namespace json {

ParseError::ParseError(const std::string& problem, size_t offset)
    : std::runtime_error(problem + " at byte offset " + std::to_string(offset)), offset_(offset)
{
}

namespace {

std::string describe(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b > 0x20 && b < 0x7F)
        return std::string("'") + c + "'";
    static constexpr char HEX[] = "0123456789ABCDEF";
    return std::string("byte 0x") + HEX[b >> 4] + HEX[b & 0xF];
}

class Parser {
public:
    Parser(std::string_view text, const ParseLimits& limits) : text_(text), limits_(limits) {}

    Value parseDocument()
    {
        Value v = parseValue(0);
        skipSpace();
        if (pos_ < text_.size())
            fail("unexpected " + describe(text_[pos_]) + " after the value");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& problem) const { throw ParseError(problem, pos_); }
    [[noreturn]] void failAt(const std::string& problem, size_t offset) const { throw ParseError(problem, offset); }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++pos_;
    }

    void expect(char c, const char* what)
    {
        skipSpace();
        if (atEnd())
            fail(std::string("unexpected end of input, expected ") + what);
        if (peek() != c)
            fail(std::string("expected ") + what + ", found " + describe(peek()));
        ++pos_;
    }

    Value parseValue(size_t depth)
    {
        skipSpace();
        if (atEnd())
            fail("unexpected end of input, expected a value");
        if (++values_ > limits_.maxValues)
            fail("more than " + std::to_string(limits_.maxValues) + " values");
        const char c = peek();
        if (c == '{' || c == '[') {
            if (depth >= limits_.maxDepth)
                fail("arrays and objects nested deeper than " + std::to_string(limits_.maxDepth) + " levels");
            return c == '{' ? parseObject(depth + 1) : parseArray(depth + 1);
        }
        if (c == '"')
            return Value::string(parseString());
        if (c == '-' || (c >= '0' && c <= '9'))
            return parseNumber();
        if (literal("true"))
            return Value::boolean(true);
        if (literal("false"))
            return Value::boolean(false);
        if (literal("null"))
            return Value();
        fail("unexpected " + describe(c) + ", expected a value");
    }

    bool literal(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    Value parseArray(size_t depth)
    {
        ++pos_;
        Array items;
        skipSpace();
        if (!atEnd() && peek() == ']') {
            ++pos_;
            return Value::array(std::move(items));
        }
        for (;;) {
            items.push_back(parseValue(depth));
            skipSpace();
            if (!atEnd() && peek() == ']') {
                ++pos_;
                return Value::array(std::move(items));
            }
            expect(',', "',' or ']'");
        }
    }

    Value parseObject(size_t depth)
    {
        ++pos_;
        Object members;
        std::vector<size_t> keyOffsets;
        skipSpace();
        if (!atEnd() && peek() == '}') {
            ++pos_;
            return Value::object(std::move(members));
        }
        for (;;) {
            skipSpace();
            if (atEnd())
                fail("unexpected end of input, expected a string key");
            if (peek() != '"')
                fail("expected a string key, found " + describe(peek()));
            keyOffsets.push_back(pos_);
            std::u16string key = parseString();
            expect(':', "':'");
            Value value = parseValue(depth);
            members.push_back({std::move(key), std::move(value)});
            skipSpace();
            if (!atEnd() && peek() == '}') {
                ++pos_;
                break;
            }
            expect(',', "',' or '}'");
        }
        rejectDuplicateKeys(members, keyOffsets);
        return Value::object(std::move(members));
    }

    // Sorting indices keeps this n log n however many keys a hostile object has.
    void rejectDuplicateKeys(const Object& members, const std::vector<size_t>& keyOffsets) const
    {
        std::vector<size_t> order(members.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return members[a].key < members[b].key; });
        for (size_t i = 1; i < order.size(); ++i)
            if (members[order[i]].key == members[order[i - 1]].key) {
                std::string key;
                appendString(key, members[order[i]].key);
                failAt("duplicate key " + key, keyOffsets[order[i]]);
            }
    }

    Value parseNumber()
    {
        const size_t start = pos_;
        auto digits = [&] {
            const size_t from = pos_;
            while (!atEnd() && peek() >= '0' && peek() <= '9')
                ++pos_;
            return pos_ > from;
        };
        if (peek() == '-')
            ++pos_;
        if (!atEnd() && peek() == '0')
            ++pos_;
        else if (!digits())
            fail("invalid number");
        if (!atEnd() && peek() == '.') {
            ++pos_;
            if (!digits())
                fail("invalid number: a digit must follow '.'");
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (!atEnd() && (peek() == '+' || peek() == '-'))
                ++pos_;
            if (!digits())
                fail("invalid number: a digit must follow the exponent mark");
        }
        return Value::numberLiteral(std::string(text_.substr(start, pos_ - start)));
    }

    std::u16string parseString()
    {
        ++pos_;
        std::u16string out;
        for (;;) {
            if (atEnd())
                fail("unexpected end of input inside a string");
            const auto b = static_cast<unsigned char>(peek());
            if (b == '"') {
                ++pos_;
                return out;
            }
            if (b == '\\') {
                parseEscape(out);
            } else if (b < 0x20) {
                fail("unescaped control character " + describe(peek()) + " in a string");
            } else if (b < 0x80) {
                out += static_cast<char16_t>(b);
                ++pos_;
            } else {
                parseUtf8(out);
            }
        }
    }

    void parseEscape(std::u16string& out)
    {
        ++pos_;
        if (atEnd())
            fail("unexpected end of input inside a string");
        const char c = peek();
        ++pos_;
        switch (c) {
        case '"': out += u'"'; return;
        case '\\': out += u'\\'; return;
        case '/': out += u'/'; return;
        case 'b': out += u'\b'; return;
        case 'f': out += u'\f'; return;
        case 'n': out += u'\n'; return;
        case 'r': out += u'\r'; return;
        case 't': out += u'\t'; return;
        case 'u': break;
        default:
            --pos_;
            fail("invalid escape \\" + std::string(1, c));
        }
        // \u gives exactly one code unit, so a lone surrogate stays one.
        char16_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            if (atEnd())
                fail("unexpected end of input in a \\u escape");
            const char h = peek();
            int digit = -1;
            if (h >= '0' && h <= '9')
                digit = h - '0';
            else if (h >= 'a' && h <= 'f')
                digit = h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                digit = h - 'A' + 10;
            if (digit < 0)
                fail("\\u must be followed by four hex digits");
            unit = static_cast<char16_t>((unit << 4) | digit);
            ++pos_;
        }
        out += unit;
    }

    // One strictly valid UTF-8 sequence: no overlong forms, no encoded
    // surrogates, nothing above U+10FFFF.
    void parseUtf8(std::u16string& out)
    {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(text_[pos_ + i]); };
        const unsigned char b0 = byte(0);
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        uint32_t cp = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            cp = b0 & 0x0F;
            if (b0 == 0xE0)
                lo = 0xA0;
            else if (b0 == 0xED)
                hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            cp = b0 & 0x07;
            if (b0 == 0xF0)
                lo = 0x90;
            else if (b0 == 0xF4)
                hi = 0x8F;
        } else {
            fail("invalid UTF-8 " + describe(peek()));
        }
        for (size_t i = 1; i < len; ++i) {
            if (pos_ + i >= text_.size())
                fail("unexpected end of input inside a UTF-8 sequence");
            const unsigned char b = byte(i);
            if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF))
                failAt("invalid UTF-8 " + describe(static_cast<char>(b)), pos_ + i);
            cp = (cp << 6) | (b & 0x3F);
        }
        pos_ += len;
        utf::appendUtf16(out, cp);
    }

    std::string_view text_;
    ParseLimits limits_;
    size_t pos_ = 0;
    size_t values_ = 0;
};

} // namespace

Value parse(std::string_view text, const ParseLimits& limits)
{
    return Parser(text, limits).parseDocument();
}

} // namespace json
