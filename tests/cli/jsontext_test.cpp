// The JSON the program writes is byte for byte what Qt's writer made of the
// same values, and a limits file is read as Qt's reader read it: the same
// documents taken, the same ones refused, at the same character. Qt is here
// only to be compared with.
#include "cli/json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::string qtText(const QJsonObject &object) { return QJsonDocument(object).toJson().toStdString(); }

std::string qtNumber(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

// Awkward numbers, then as many random ones of every magnitude.
std::vector<double> numbers()
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> all = {0.0, -0.0, 1, -1, 0.1, 0.5, 1.5, 100, 1e4, 1e5, 1e6, 123456, 1234567, 1e15, 1e16, 1e17,
                               8e15, 9.0072e15, 9.1e15, 9007199254740992.0, 9007199254740994.0, -9007199254740992.0,
                               9223372036854775807.0, 1e18, 1e19, 1e21, 1e22, 1e100, 1e300, 1e-4, 1e-5, 0.0001234,
                               -2.5e-7, 1e-100, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 123.456,
                               1000000.5, 0.30000000000000004, std::numeric_limits<double>::quiet_NaN(), inf, -inf};
    std::mt19937_64 random(20260527);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        const double scaled = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 140) - 100);
        const double whole = std::round(std::uniform_real_distribution<double>(-1e17, 1e17)(random));
        const double decimal = std::pow(10.0, static_cast<int>(random() % 60) - 30) * static_cast<double>(random() % 1000);
        all.insert(all.end(), {any, scaled, -scaled, whole, decimal, std::nextafter(decimal, inf)});
    }
    return all;
}

// Texts a study, a file name or a message may hold.
std::vector<std::string> texts()
{
    std::vector<std::string> all = {"", "abc", "Método: 1,5 mg/mL", "«Pérez»", "\"quoted\" \\ back/slash",
                                    "\b\f\n\r\t", std::string("nul\0inside", 10), "\x01\x1f\x7f",
                                    "\xEF\xBB\xBF" "after a mark", "x\xEF\xBB\xBFy", "\xF0\x9F\x98\x80 emoji",
                                    "\xEF\xBF\xBE\xEF\xBF\xBF", "Latin-1 \xE9", "\xC3", "\xE2\x82", "\xE2\x82 x",
                                    "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF\xFE", "\xE2\x80\xA8"};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            bytes += static_cast<char>(random() % 256);
        all.push_back(random() % 4 ? bytes : "\xEF\xBB\xBF" + bytes);
    }
    return all;
}

} // namespace

TEST(JsonText, NumbersAreWrittenAsQtWroteThem)
{
    for (const double value : numbers()) {
        EXPECT_EQ(cli::JsonText({{"n", value}}), qtText({{"n", value}})) << value;
        EXPECT_EQ(cli::ShortestNumberText(value), qtNumber(value)) << value;
    }
    for (const long long whole : {0LL, -7LL, 1LL << 53, (1LL << 60) + 1, std::numeric_limits<long long>::min()})
        EXPECT_EQ(cli::JsonText({{"n", whole}}), qtText({{"n", qint64(whole)}})) << whole;
}

TEST(JsonText, TextsAreWrittenAsQtWroteThem)
{
    for (const std::string &text : texts()) {
        EXPECT_EQ(cli::JsonText({{"s", text}}), qtText({{"s", QString::fromStdString(text)}})) << text;
        // What a reader of the object gets back, as a QString gave it.
        EXPECT_EQ(cli::Json(text).toString(), QString::fromStdString(text).toStdString()) << text;
    }
}

TEST(JsonText, DocumentsAreLaidOutAsQtLaidThemOut)
{
    const cli::JsonObject ours{
        {"zeta", true},
        {"alpha", nullptr},
        {"empty", cli::JsonObject{}},
        {"none", cli::JsonArray{}},
        {"list", cli::JsonArray{1, 2.5, "x", false, cli::JsonArray{}, cli::JsonObject{{"b", 1}, {"a", cli::JsonArray{}}}}},
        {"nested", cli::JsonObject{{"k", cli::JsonObject{{"deep", cli::JsonArray{cli::JsonArray{3}}}}}}},
        {"alpha", "later"},
    };
    const QJsonObject theirs{
        {"zeta", true},
        {"alpha", QJsonValue::Null},
        {"empty", QJsonObject{}},
        {"none", QJsonArray{}},
        {"list", QJsonArray{1, 2.5, "x", false, QJsonArray{}, QJsonObject{{"b", 1}, {"a", QJsonArray{}}}}},
        {"nested", QJsonObject{{"k", QJsonObject{{"deep", QJsonArray{QJsonArray{3}}}}}}},
        {"alpha", "later"},
    };
    EXPECT_EQ(cli::JsonText(ours), qtText(theirs));
    EXPECT_EQ(cli::JsonText({}), qtText({}));
}

namespace {

// How Qt's reader took a text, and how ours did: the error and where, or
// what was read.
std::string describe(const QJsonValue &v)
{
    if (v.isObject()) {
        std::string s = "{";
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            s += it.key().toStdString() + ":" + describe(it.value()) + ",";
        return s + "}";
    }
    if (v.isArray()) {
        std::string s = "[";
        for (const QJsonValue &item : v.toArray())
            s += describe(item) + ",";
        return s + "]";
    }
    if (v.isDouble())
        return QByteArray::number(v.toDouble(), 'g', 17).toStdString();
    if (v.isString())
        return "\"" + v.toString().toStdString() + "\"";
    return v.isBool() ? (v.toBool() ? "true" : "false") : "null";
}

std::string describe(const cli::Json &v)
{
    if (v.isObject()) {
        std::string s = "{";
        for (const auto &[key, value] : v.toObject().members())
            s += key + ":" + describe(value) + ",";
        return s + "}";
    }
    if (v.isArray()) {
        std::string s = "[";
        for (const cli::Json &item : v.toArray())
            s += describe(item) + ",";
        return s + "]";
    }
    if (v.isNumber())
        return QByteArray::number(v.toDouble(), 'g', 17).toStdString();
    if (v.isString())
        return "\"" + v.toString() + "\"";
    return v.isBool() ? (v.toBool() ? "true" : "false") : "null";
}

std::string qtRead(const std::string &text)
{
    using E = QJsonParseError;
    static const std::map<int, cli::JsonReadError::Kind> kinds = {
        {E::NoError, cli::JsonReadError::Kind::None},
        {E::UnterminatedObject, cli::JsonReadError::Kind::UnterminatedObject},
        {E::MissingNameSeparator, cli::JsonReadError::Kind::MissingNameSeparator},
        {E::UnterminatedArray, cli::JsonReadError::Kind::UnterminatedArray},
        {E::MissingValueSeparator, cli::JsonReadError::Kind::MissingValueSeparator},
        {E::IllegalValue, cli::JsonReadError::Kind::IllegalValue},
        {E::TerminationByNumber, cli::JsonReadError::Kind::TerminationByNumber},
        {E::IllegalNumber, cli::JsonReadError::Kind::IllegalNumber},
        {E::IllegalEscapeSequence, cli::JsonReadError::Kind::IllegalEscapeSequence},
        {E::IllegalUTF8String, cli::JsonReadError::Kind::IllegalUtf8String},
        {E::UnterminatedString, cli::JsonReadError::Kind::UnterminatedString},
        {E::MissingObject, cli::JsonReadError::Kind::MissingObject},
        {E::DeepNesting, cli::JsonReadError::Kind::DeepNesting},
        {E::GarbageAtEnd, cli::JsonReadError::Kind::GarbageAtEnd},
    };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    return std::to_string(static_cast<int>(kinds.at(error.error))) + " at " + std::to_string(error.offset) + " " +
           (error.error ? "" : document.isObject() ? describe(document.object()) : describe(document.array()));
}

std::string ourRead(const std::string &text)
{
    cli::Json document;
    cli::JsonReadError error;
    const bool read = cli::ReadJson(text, document, error);
    return std::to_string(static_cast<int>(error.kind)) + " at " + std::to_string(error.offset) + " " +
           (read ? describe(document) : "");
}

} // namespace

TEST(JsonText, TextsAreReadAsQtReadThem)
{
    std::vector<std::string> documents = {
        "", " ", "{", "}", "[", "]", "{}", "[]", " {} ", "{} x", "{\"minR\": 0.999}", "{\"a\":1,}", "{\"a\" 1}",
        "{\"a\":}", "{\"a\":", "{\"a\"", "{\"a", "{a:1}", "[1,]", "[1 2]", "[1,2", "[1", "[nul]", "[null]", "[nul",
        "[true]", "[tru]", "[false]", "[fals]", "[\"a\\u00e9\"]", "[\"\\ud83d\\ude00\"]", "[\"\\ud800\"]", "[\"\\x\"]",
        "[\"\\u12\"]", "[\"\\u12g4\"]", "[\"\\", "[\"\\u", "[\"a\"", "[\"\xC3\"]", "[\"\xC3\xA9\"]", "[\"\xED\xA0\x80\"]",
        "[\"\xC0\x80\"]", "[\"\xEF\xBB\xBFx\"]", "\xEF\xBB\xBF{}", "\xEF\xBB\xBF{", "\xEF\xBB\xBF", "{\"a\":1,\"a\":2}",
        "{\"b\":1,\"a\":2,\"c\":[1,{\"d\":null}]}", "[,]", "[:]", "{,}", "{\"a\":,}", "{\"a\":]}", "{\"a\":{]}",
        "{\"minMandelP\": NaN}", "{\"minR\" : -1e999}", "{\"minR\": 0.99", "{\"\xEF\xBB\xBFminR\": 1}",
        "{\"\\ufeffminR\": 1}", "[\"\\/\\b\\f\\n\\r\\t\\\"\\\\\"]", "[\"\x01\x1f\"]", "[\"\\\xC3\xA9\"]", "{\"a\":1}}",
        "[[[]]]", "\t[1]\r\n", "{\"a\":1 \"b\":2}", "{\"a\":1,\"b\"}", std::string("[\"a\0b\"]", 7),
        std::string(1024, '[') + std::string(1024, ']'), std::string(1025, '[') + std::string(1025, ']')};
    for (const char *number : {"1", "-", "-.", ".", ".5", "5.", "-.5", "1.e5", "1e", "1e+", "0e", "0e-400", "1e-400",
                               "4e-320", "1e400", "-0", "-0.0", "00", "01", "9223372036854775808", "1E5", "e5", "+1",
                               "0x10", "1.7976931348623159e308", "123456789012345678901234567890"})
        documents.push_back(std::string("[") + number + "]");
    // A limits file with a few characters taken out, put in or changed.
    const std::string limits = "{\"minR\": 0.999, \"maxInterceptPercent\": 1.5, \"x\": [1, -2.5e-3, "
                               "\"t\\u00e9\\n\", true, null, {\"k\": false}]}";
    const std::string alphabet = "{}[],:\"\\ u0123456789.eE-+ntrfalse\xC3\xA9\xEF\xBB\xBF\x80\xFF\t\n";
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        std::string text = limits;
        for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
            const size_t at = random() % (text.size() + 1);
            const char c = alphabet[random() % alphabet.size()];
            if (random() % 3 == 0 && at < text.size())
                text.erase(at, 1 + random() % 3);
            else if (random() % 2 == 0)
                text.insert(at, 1, c);
            else if (at < text.size())
                text[at] = c;
        }
        if (random() % 5 == 0)
            text.resize(random() % (text.size() + 1));
        documents.push_back(text);
    }
    for (const std::string &text : documents)
        EXPECT_EQ(ourRead(text), qtRead(text)) << text;
}
