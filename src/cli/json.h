#pragma once
// JSON as the program writes it (--json, a batch's outputs, the limits the
// windows keep) and reads it (a limits file): a value that is null, a
// boolean, a number, a string, an array or an object. The text is the one
// the program has always written, byte for byte: four spaces a level, an
// object's keys in order, numbers in their shortest exact form, strings in
// UTF-8 with only what JSON requires escaped.
#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace cli {

class Json;
using JsonArray = std::vector<Json>;

// An object: one member per key, kept in the order of the keys' bytes.
class JsonObject {
public:
    using Member = std::pair<std::string, Json>;
    JsonObject() = default;
    // A later member with the same key replaces an earlier one.
    JsonObject(std::initializer_list<Member> members);

    // The member `key`, made null when there is none.
    Json &operator[](std::string_view key);
    // The member `key`, or null when there is none.
    const Json &value(std::string_view key) const;
    bool contains(std::string_view key) const;
    const std::vector<Member> &members() const { return members_; }

private:
    std::vector<Member> members_;
};

// A number exactly as a document wrote it, for a reader that must not round
// it through a double (a study's figures).
struct JsonNumberLiteral {
    std::string text;
    bool operator==(const JsonNumberLiteral &) const = default;
};

class Json {
public:
    enum class Type { Null, Bool, Integer, Double, String, Array, Object, NumberLiteral };

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : value_(value) {}
    template <std::integral Integer>
        requires(!std::same_as<Integer, bool>)
    Json(Integer value) : value_(static_cast<long long>(value))
    {
    }
    Json(double value) : value_(value) {}
    // Text that is not UTF-8 is kept as the program has always kept it: each
    // byte that starts no character becomes U+FFFD, and a byte order mark at
    // the start goes.
    Json(const char *text);
    Json(std::string text);
    Json(JsonArray array) : value_(std::move(array)) {}
    Json(JsonObject object) : value_(std::move(object)) {}
    Json(JsonNumberLiteral number) : value_(std::move(number)) {}
    template <class T>
    Json(const T *) = delete; // no pointer passes for a boolean

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isBool() const { return type() == Type::Bool; }
    bool isNumber() const
    {
        return type() == Type::Integer || type() == Type::Double || type() == Type::NumberLiteral;
    }
    bool isString() const { return type() == Type::String; }
    bool isArray() const { return type() == Type::Array; }
    bool isObject() const { return type() == Type::Object; }

    // The value, or false, 0, an empty string, array or object when it is
    // not of that kind.
    bool toBool() const;
    long long toInteger() const;
    double toDouble() const;
    const std::string &toString() const;
    const JsonArray &toArray() const;
    const JsonObject &toObject() const;
    // A number read with its literal kept: its text; null otherwise.
    const std::string *numberLiteral() const;

private:
    std::variant<std::monostate, bool, long long, double, std::string, JsonArray, JsonObject, JsonNumberLiteral> value_;
};

// The document as the program writes it: indented by four spaces, each value
// on its line, ending in a line end. A number that is not finite is null; a
// whole number up to 2^53 is written with all its digits.
std::string JsonText(const JsonObject &document);
// A value on one line: {"x": "1.5", "y": 2}.
std::string CompactJson(const Json &value);

// A number in its shortest form that reads back exactly, as resumen.csv
// holds it: "0.1", "1500", "1e+06", "2.5e-07"; "nan", "inf", "-inf".
std::string ShortestNumberText(double value);

// Why a text is not a JSON document, and where: `offset` is how far the
// reader got, in bytes.
struct JsonReadError {
    enum class Kind {
        None,
        UnterminatedObject,
        MissingNameSeparator,
        UnterminatedArray,
        MissingValueSeparator,
        IllegalValue,
        TerminationByNumber,
        IllegalNumber,
        IllegalEscapeSequence,
        IllegalUtf8String,
        UnterminatedString,
        MissingObject,
        DeepNesting,
        GarbageAtEnd,
    };
    Kind kind = Kind::None;
    std::size_t offset = 0;
};

// Reads an object or an array (RFC 8259, and what the program has always
// let through besides: a leading byte order mark, numbers such as ".5" and
// "5.", any character after a backslash). An object with a key twice keeps
// the later value. False, with the error, for a text that is not one.
// With `keepNumberLiterals`, each number is read as its literal text
// (JsonNumberLiteral), never through a double.
bool ReadJson(std::string_view text, Json &document, JsonReadError &error, bool keepNumberLiterals = false);

} // namespace cli
