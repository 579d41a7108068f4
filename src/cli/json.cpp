#include "cli/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <utility>

namespace cli {

namespace {

// ---- Text --------------------------------------------------------------

// The length of the UTF-8 character at `at`, or 0 when none starts there
// (a stray or missing continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF).
std::size_t characterLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    char32_t c = 0, least = 0;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if (lead < 0xF0)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if (lead < 0xF5)
        length = 4, c = lead & 0x07, least = 0x10000;
    else
        return 0;
    if (text.size() - at < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    return length;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool startsWithMark(std::string_view text)
{
    return text.size() >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF';
}
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// `text` as a string of characters: what starts no character becomes
// U+FFFD, byte by byte, and a byte order mark at the start goes.
std::string cleanText(std::string text)
{
    std::size_t start = startsWithMark(text) ? kByteOrderMark.size() : 0;
    std::size_t at = start;
    while (at < text.size()) {
        const std::size_t length = characterLength(text, at);
        if (length == 0)
            break;
        at += length;
    }
    if (start == 0 && at == text.size())
        return text;
    std::string clean = text.substr(start, at - start);
    while (at < text.size()) {
        const std::size_t length = characterLength(text, at);
        if (length == 0) {
            clean += kReplacement;
            ++at;
        } else {
            clean.append(text, at, length);
            at += length;
        }
    }
    return clean;
}

// The character of the `length` bytes at `at`, a well-formed one.
char32_t characterAt(const char *at, std::size_t length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(at[i]); };
    if (length == 1)
        return byte(0);
    char32_t c = byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (byte(i) & 0x3F);
    return c;
}

void appendCharacter(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ---- Writing -----------------------------------------------------------

void writeString(std::string &out, const std::string &text)
{
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && c != '"' && c != '\\') {
            out += c;
            continue;
        }
        out += '\\';
        switch (c) {
        case '"':
        case '\\':
            out += c;
            break;
        case '\b':
            out += 'b';
            break;
        case '\f':
            out += 'f';
            break;
        case '\n':
            out += 'n';
            break;
        case '\r':
            out += 'r';
            break;
        case '\t':
            out += 't';
            break;
        default:
            out += "u00";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    out += '"';
}

void writeWhole(std::string &out, long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void writeNumber(std::string &out, double value)
{
    constexpr double kExactWhole = 9007199254740992.0; // 2^53
    if (!std::isfinite(value))
        out += "null";
    else if (std::fabs(value) <= kExactWhole && value == std::trunc(value))
        writeWhole(out, static_cast<long long>(value));
    else
        out += ShortestNumberText(value);
}

void writeValue(std::string &out, const Json &value, int level);

void indent(std::string &out, int level) { out.append(static_cast<std::size_t>(4 * level), ' '); }

void writeArray(std::string &out, const JsonArray &array, int level)
{
    out += "[\n";
    for (std::size_t i = 0; i < array.size(); ++i) {
        indent(out, level + 1);
        writeValue(out, array[i], level + 1);
        out += i + 1 < array.size() ? ",\n" : "\n";
    }
    indent(out, level);
    out += ']';
}

void writeObject(std::string &out, const JsonObject &object, int level)
{
    out += "{\n";
    const auto &members = object.members();
    for (std::size_t i = 0; i < members.size(); ++i) {
        indent(out, level + 1);
        writeString(out, members[i].first);
        out += ": ";
        writeValue(out, members[i].second, level + 1);
        out += i + 1 < members.size() ? ",\n" : "\n";
    }
    indent(out, level);
    out += '}';
}

void writeValue(std::string &out, const Json &value, int level)
{
    switch (value.type()) {
    case Json::Type::Null:
        out += "null";
        break;
    case Json::Type::Bool:
        out += value.toBool() ? "true" : "false";
        break;
    case Json::Type::Integer:
        writeWhole(out, value.toInteger());
        break;
    case Json::Type::Double:
        writeNumber(out, value.toDouble());
        break;
    case Json::Type::String:
        writeString(out, value.toString());
        break;
    case Json::Type::Array:
        writeArray(out, value.toArray(), level);
        break;
    case Json::Type::Object:
        writeObject(out, value.toObject(), level);
        break;
    case Json::Type::NumberLiteral:
        out += *value.numberLiteral();
        break;
    }
}

void writeCompact(std::string &out, const Json &value)
{
    if (value.isArray()) {
        out += '[';
        const char *separator = "";
        for (const Json &item : value.toArray()) {
            out += std::exchange(separator, ", ");
            writeCompact(out, item);
        }
        out += ']';
    } else if (value.isObject()) {
        out += '{';
        const char *separator = "";
        for (const auto &[key, item] : value.toObject().members()) {
            out += std::exchange(separator, ", ");
            writeString(out, key);
            out += ": ";
            writeCompact(out, item);
        }
        out += '}';
    } else {
        writeValue(out, value, 0);
    }
}

// ---- Reading -----------------------------------------------------------

// A number's text, as far as the reader took it, as a double: false for
// one that is not a number, that overflows, or that is not zero and yet
// too small for a double to be other than zero.
bool numberValue(std::string_view text, double &value)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (text.empty() || text == "-" || !c)
        return false;
    const std::string copy(text);
    char *end = nullptr;
    value = strtod_l(copy.c_str(), &end, c);
    if (end != copy.c_str() + copy.size() || std::isinf(value))
        return false;
    if (value == 0) {
        const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
        if (mantissa.find_first_of("123456789") != std::string_view::npos)
            return false;
        value = 0; // and never -0
    }
    return true;
}

class Reader {
public:
    explicit Reader(std::string_view text, bool keepNumberLiterals)
        : head_(text.data()), at_(text.data()), end_(text.data() + text.size()), literals_(keepNumberLiterals)
    {
    }

    bool read(Json &document, JsonReadError &error)
    {
        if (end_ - at_ > 3 && startsWithMark(std::string_view(at_, 3)))
            at_ += 3;
        const char token = nextToken();
        bool read = false;
        if (token == '[') {
            JsonArray array;
            read = readArray(array);
            document = std::move(array);
        } else if (token == '{') {
            JsonObject object;
            read = readObject(object);
            document = std::move(object);
        } else {
            kind_ = Kind::IllegalValue;
        }
        if (read) {
            eatSpace();
            if (at_ < end_)
                kind_ = Kind::GarbageAtEnd;
        }
        error.kind = read && kind_ == Kind::None ? Kind::None : kind_;
        error.offset = error.kind == Kind::None ? 0 : static_cast<std::size_t>(at_ - head_);
        if (error.kind != Kind::None)
            document = Json();
        return error.kind == Kind::None;
    }

private:
    using Kind = JsonReadError::Kind;
    static constexpr int kDeepest = 1024;

    bool fail(Kind kind)
    {
        kind_ = kind;
        return false;
    }

    bool eatSpace()
    {
        while (at_ < end_ && (*at_ == ' ' || *at_ == '\t' || *at_ == '\n' || *at_ == '\r'))
            ++at_;
        return at_ < end_;
    }

    // The next structural character, taken; 0 (with the character taken
    // all the same) for any other, or at the end.
    char nextToken()
    {
        if (!eatSpace())
            return 0;
        const char token = *at_++;
        return std::string_view("[{:,]}\"").find(token) != std::string_view::npos ? token : 0;
    }

    bool readObject(JsonObject &object)
    {
        if (++depth_ > kDeepest)
            return fail(Kind::DeepNesting);
        char token = nextToken();
        while (token == '"') {
            if (!readMember(object))
                return false;
            token = nextToken();
            if (token != ',')
                break;
            token = nextToken();
            if (token == '}')
                return fail(Kind::MissingObject);
        }
        if (token != '}')
            return fail(Kind::UnterminatedObject);
        --depth_;
        return true;
    }

    bool readMember(JsonObject &object)
    {
        std::string key;
        bool escaped = false;
        if (!readString(key, &escaped))
            return false;
        // A key is text as any other: a byte order mark at its start goes,
        // unless an escape wrote it.
        if (!escaped && startsWithMark(key))
            key.erase(0, kByteOrderMark.size());
        if (nextToken() != ':')
            return fail(Kind::MissingNameSeparator);
        if (!eatSpace())
            return fail(Kind::UnterminatedObject);
        Json value;
        if (!readValue(value))
            return false;
        object[key] = std::move(value);
        return true;
    }

    bool readArray(JsonArray &array)
    {
        if (++depth_ > kDeepest)
            return fail(Kind::DeepNesting);
        if (!eatSpace())
            return fail(Kind::UnterminatedArray);
        if (*at_ == ']') {
            nextToken();
        } else {
            while (true) {
                if (!eatSpace())
                    return fail(Kind::UnterminatedArray);
                if (!readValue(array.emplace_back()))
                    return false;
                const char token = nextToken();
                if (token == ']')
                    break;
                if (token != ',')
                    return fail(eatSpace() ? Kind::MissingValueSeparator : Kind::UnterminatedArray);
            }
        }
        --depth_;
        return true;
    }

    // The rest of a word that begins with its first letter, already taken.
    bool readWord(std::string_view rest, Json value, Json &into)
    {
        if (end_ - at_ < static_cast<std::ptrdiff_t>(rest.size()) + 1)
            return fail(Kind::IllegalValue);
        for (const char c : rest)
            if (*at_++ != c)
                return fail(Kind::IllegalValue);
        into = std::move(value);
        return true;
    }

    bool readValue(Json &value)
    {
        switch (*at_++) {
        case 'n':
            return readWord("ull", nullptr, value);
        case 't':
            return readWord("rue", true, value);
        case 'f':
            return readWord("alse", false, value);
        case '"': {
            std::string text;
            if (!readString(text))
                return false;
            value = std::move(text);
            return true;
        }
        case '[': {
            JsonArray array;
            if (!readArray(array))
                return false;
            value = std::move(array);
            return true;
        }
        case '{': {
            JsonObject object;
            if (!readObject(object))
                return false;
            value = std::move(object);
            return true;
        }
        case ',':
            return fail(Kind::IllegalValue);
        case '}':
        case ']':
            return fail(Kind::MissingObject);
        default:
            --at_;
            return readNumber(value);
        }
    }

    bool digit() const { return at_ < end_ && *at_ >= '0' && *at_ <= '9'; }

    bool readNumber(Json &value)
    {
        const char *start = at_;
        if (at_ < end_ && *at_ == '-')
            ++at_;
        if (at_ < end_ && *at_ == '0')
            ++at_;
        else
            while (digit())
                ++at_;
        if (at_ < end_ && *at_ == '.') {
            ++at_;
            while (digit())
                ++at_;
        }
        if (at_ < end_ && (*at_ == 'e' || *at_ == 'E')) {
            ++at_;
            if (at_ < end_ && (*at_ == '-' || *at_ == '+'))
                ++at_;
            while (digit())
                ++at_;
        }
        if (at_ >= end_)
            return fail(Kind::TerminationByNumber);
        double number = 0;
        const std::string_view literal(start, static_cast<std::size_t>(at_ - start));
        if (!numberValue(literal, number))
            return fail(Kind::IllegalNumber);
        if (literals_)
            value = JsonNumberLiteral{std::string(literal)};
        else
            value = number;
        return true;
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // After a backslash (at_ on it): the character it stands for, a UTF-16
    // unit for \u.
    bool readEscape(char32_t &unit)
    {
        if (++at_ >= end_)
            return false;
        const auto escaped = static_cast<unsigned char>(*at_++);
        switch (escaped) {
        case 'b':
            unit = 0x8;
            return true;
        case 'f':
            unit = 0xC;
            return true;
        case 'n':
            unit = 0xA;
            return true;
        case 'r':
            unit = 0xD;
            return true;
        case 't':
            unit = 0x9;
            return true;
        case 'u':
            unit = 0;
            if (at_ > end_ - 4)
                return false;
            for (int i = 0; i < 4; ++i, ++at_) {
                const int d = hexDigit(*at_);
                if (d < 0)
                    return false;
                unit = (unit << 4) | static_cast<char32_t>(d);
            }
            return true;
        default:
            // Any other character stands for itself ("\/", "\"", "\\", "\a").
            unit = escaped;
            return true;
        }
    }

    // A string, its opening quote taken: its characters as UTF-8, where a
    // lone surrogate of a \u escape becomes "?".
    bool readString(std::string &text, bool *escaped = nullptr)
    {
        const char *start = at_;
        while (at_ < end_ && *at_ != '"' && *at_ != '\\') {
            const std::size_t length = characterLength(std::string_view(at_, static_cast<std::size_t>(end_ - at_)), 0);
            if (length == 0)
                return fail(Kind::IllegalUtf8String);
            at_ += length;
        }
        const bool escapes = at_ < end_ && *at_ == '\\';
        if (++at_ >= end_)
            return fail(Kind::UnterminatedString);
        if (escapes) {
            if (escaped)
                *escaped = true;
            at_ = start;
            return readEscapedString(text);
        }
        text.assign(start, static_cast<std::size_t>(at_ - start - 1));
        return true;
    }

    bool readEscapedString(std::string &text)
    {
        std::vector<char32_t> units;
        while (at_ < end_ && *at_ != '"') {
            if (*at_ == '\\') {
                char32_t unit = 0;
                if (!readEscape(unit))
                    return fail(Kind::IllegalEscapeSequence);
                units.push_back(unit);
                continue;
            }
            const std::size_t length = characterLength(std::string_view(at_, static_cast<std::size_t>(end_ - at_)), 0);
            if (length == 0)
                return fail(Kind::IllegalUtf8String);
            const char32_t c = characterAt(at_, length);
            at_ += length;
            if (c >= 0x10000) {
                units.push_back(0xD800 + ((c - 0x10000) >> 10));
                units.push_back(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                units.push_back(c);
            }
        }
        if (++at_ >= end_)
            return fail(Kind::UnterminatedString);
        // UTF-16 units to characters: a surrogate without its pair is "?".
        text.clear();
        for (std::size_t i = 0; i < units.size(); ++i) {
            const char32_t u = units[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                appendCharacter(text, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
                ++i;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                text += '?';
            } else {
                appendCharacter(text, u);
            }
        }
        return true;
    }

    const char *head_, *at_, *end_;
    bool literals_;
    int depth_ = 0;
    Kind kind_ = Kind::None;
};

} // namespace

// ---- Values ------------------------------------------------------------

JsonObject::JsonObject(std::initializer_list<Member> members)
{
    members_.reserve(members.size());
    for (const Member &member : members)
        (*this)[member.first] = member.second;
}

Json &JsonObject::operator[](std::string_view key)
{
    const auto at = std::lower_bound(members_.begin(), members_.end(), key,
                                     [](const Member &m, std::string_view k) { return m.first < k; });
    if (at != members_.end() && at->first == key)
        return at->second;
    return members_.insert(at, Member(std::string(key), Json()))->second;
}

const Json &JsonObject::value(std::string_view key) const
{
    static const Json null;
    const auto at = std::lower_bound(members_.begin(), members_.end(), key,
                                     [](const Member &m, std::string_view k) { return m.first < k; });
    return at != members_.end() && at->first == key ? at->second : null;
}

bool JsonObject::contains(std::string_view key) const
{
    const auto at = std::lower_bound(members_.begin(), members_.end(), key,
                                     [](const Member &m, std::string_view k) { return m.first < k; });
    return at != members_.end() && at->first == key;
}

Json::Json(const char *text) : Json(std::string(text)) {}

Json::Json(std::string text) : value_(cleanText(std::move(text))) {}

bool Json::toBool() const { return isBool() && std::get<bool>(value_); }

long long Json::toInteger() const
{
    if (const auto *whole = std::get_if<long long>(&value_))
        return *whole;
    return static_cast<long long>(toDouble());
}

double Json::toDouble() const
{
    if (const auto *whole = std::get_if<long long>(&value_))
        return static_cast<double>(*whole);
    if (const auto *number = std::get_if<double>(&value_))
        return *number;
    double read = 0;
    if (const auto *literal = std::get_if<JsonNumberLiteral>(&value_))
        numberValue(literal->text, read);
    return read;
}

const std::string *Json::numberLiteral() const
{
    const auto *literal = std::get_if<JsonNumberLiteral>(&value_);
    return literal ? &literal->text : nullptr;
}

const std::string &Json::toString() const
{
    static const std::string none;
    const auto *text = std::get_if<std::string>(&value_);
    return text ? *text : none;
}

const JsonArray &Json::toArray() const
{
    static const JsonArray none;
    const auto *array = std::get_if<JsonArray>(&value_);
    return array ? *array : none;
}

const JsonObject &Json::toObject() const
{
    static const JsonObject none;
    const auto *object = std::get_if<JsonObject>(&value_);
    return object ? *object : none;
}

std::string JsonText(const JsonObject &document)
{
    std::string text;
    writeObject(text, document, 0);
    return text + '\n';
}

std::string ShortestNumberText(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    if (value == 0)
        return "0";
    // The shortest digits that read back as `value`, and where the point goes.
    char buffer[32];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const bool negative = scientific[0] == '-';
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0)))
        if (c != '.')
            digits += c;
    int exponent = 0;
    std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1), end, exponent);
    const int point = exponent + 1; // digits before the point
    const int count = static_cast<int>(digits.size());

    // Whichever form is shorter, the decimal one when they tie: an exponent
    // takes "e", its sign and two digits at least; a point is written only
    // between digits.
    int bias = 4;
    if (count > 1 && count <= point)
        ++bias;
    else if (count == 1 && point <= 0)
        --bias;
    const bool decimal = point <= 0 ? 1 - point <= bias : point <= count || point <= count + bias;

    std::string text = negative ? "-" : "";
    if (decimal) {
        if (point <= 0)
            text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
        else if (point < count)
            text += digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
        else
            text += digits + std::string(static_cast<std::size_t>(point - count), '0');
        return text;
    }
    text += digits[0];
    if (count > 1)
        text += "." + digits.substr(1);
    const int magnitude = std::abs(exponent);
    text += exponent < 0 ? "e-" : "e+";
    if (magnitude < 10)
        text += '0';
    return text + std::to_string(magnitude);
}

bool ReadJson(std::string_view text, Json &document, JsonReadError &error, bool keepNumberLiterals)
{
    return Reader(text, keepNumberLiterals).read(document, error);
}

std::string CompactJson(const Json &value)
{
    std::string out;
    writeCompact(out, value);
    return out;
}

} // namespace cli
