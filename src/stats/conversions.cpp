#include "stats/conversions.h"

#include "stats/errors.h"

#include <cfloat>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace stats {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Studies travel between laboratories that write 1.5 and 1,5: a single point
// or comma reads as the decimal separator whatever the locale's, since no
// number is written with a thousands separator here.
bool isDecimalSeparator(char c, char localeSeparator)
{
    return c == localeSeparator || c == '.' || c == ',';
}

std::string_view trimmed(const std::string &text)
{
    std::string_view s(text);
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

bool TryStrToInt(const std::string &text, int &value)
{
    std::string_view s = trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    long long magnitude = 0;
    for (char c : s) {
        if (!isDigit(c))
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL)
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

namespace {

// A number as typed: sign, its digits with the decimal point `fractionDigits`
// digits from their end, and the exponent that follows an E.
struct TypedNumber {
    bool negative = false;
    std::string digits;
    long long fractionDigits = 0;
    long long exponent = 0;
};

bool scanNumber(const std::string &text, char decimalSeparator, TypedNumber &number)
{
    std::string_view s = trimmed(text);
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.negative = s[i++] == '-';
    for (; i < s.size() && isDigit(s[i]); ++i)
        number.digits += s[i];
    if (i < s.size() && isDecimalSeparator(s[i], decimalSeparator))
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++number.fractionDigits)
            number.digits += s[i];
    if (number.digits.empty())
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negativeExponent = s[i++] == '-';
        size_t exponentDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i, ++exponentDigits)
            number.exponent = std::min(number.exponent * 10 + (s[i] - '0'), 1'000'000'000LL); // saturates
        if (exponentDigits == 0)
            return false;
        if (negativeExponent)
            number.exponent = -number.exponent;
    }
    return i == s.size();
}

} // namespace

bool TryStrToFloat(const std::string &text, char decimalSeparator, double &value)
{
    TypedNumber number;
    if (!scanNumber(text, decimalSeparator, number))
        return false;
    std::string normal = number.digits; // digits, point and exponent as from_chars reads them
    normal.insert(normal.size() - static_cast<size_t>(number.fractionDigits), ".");
    normal += "e" + std::to_string(number.exponent);

    // Read in extended precision, then held as a double, as the variable is.
    long double extended = 0.0L;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), extended);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for even an extended value: it is zero for our purposes.
        if (number.exponent >= 0)
            return false;
        extended = 0.0L;
    } else if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) {
        return false;
    }
    if (std::fabs(extended) > static_cast<long double>(DBL_MAX))
        return false;
    const double d = static_cast<double>(extended);
    value = number.negative ? -d : d;
    return true;
}

bool TryStrToNumber(const std::string &text, char decimalSeparator, Rational &exact, double &nearest)
{
    TypedNumber number;
    if (!scanNumber(text, decimalSeparator, number))
        return false;
    const long long shift = number.exponent - number.fractionDigits;
    const size_t significant = number.digits.size() - std::min(number.digits.find_first_not_of('0'), number.digits.size());
    // Beyond the range of a double: refused, as the double conversion refuses it.
    if (significant > 0 && static_cast<long long>(significant) + shift >= 308) {
        double probe = 0;
        if (!TryStrToFloat(text, decimalSeparator, probe))
            return false;
    }
    mpz_class digits(number.digits, 10);
    if (digits == 0 || static_cast<long long>(significant) + shift < -400) {
        exact = 0; // zero, or too small for any double: zero as the double reads it
        nearest = 0;
        return true;
    }
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, static_cast<unsigned long>(shift < 0 ? -shift : shift));
    exact = shift >= 0 ? Rational(digits * power) : Rational(digits, power);
    exact.canonicalize();
    if (number.negative)
        exact = -exact;
    nearest = NearestDouble(exact);
    return true;
}

bool TryStrToRational(const std::string &text, char decimalSeparator, Rational &value)
{
    double nearest = 0;
    return TryStrToNumber(text, decimalSeparator, value, nearest);
}

std::string QuotedValue(const std::string &text)
{
    constexpr int kShown = 40;
    int characters = 0;
    std::string quoted;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // A UTF-8 character starts at every byte that is not a continuation.
        if ((byte & 0xC0) != 0x80 && characters++ == kShown)
            return quoted + "…";
        // A control character is never passed on to a terminal or a message
        // box (an escape sequence in a file would act on the terminal).
        quoted += byte < 0x20 || byte == 0x7F ? std::string("\uFFFD") : std::string(1, text[i]);
    }
    return quoted;
}

std::string ShownText(const std::string &text)
{
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c0 = (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c0 || c1) {
            shown += "\uFFFD";
            i += c1 ? 1 : 0;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

int StrToInt(const std::string &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw ConversionError("'" + QuotedValue(text) + "' is not a valid integer value");
    return value;
}

Rational StrToRational(const std::string &text, char decimalSeparator)
{
    Rational value;
    if (!TryStrToRational(text, decimalSeparator, value))
        throw ConversionError("'" + QuotedValue(text) + "' is not a valid floating point value");
    return value;
}

void StrToNumber(const std::string &text, char decimalSeparator, Rational &exact, double &nearest)
{
    if (!TryStrToNumber(text, decimalSeparator, exact, nearest))
        throw ConversionError("'" + QuotedValue(text) + "' is not a valid floating point value");
}

double StrToFloat(const std::string &text, char decimalSeparator)
{
    double value = 0.0;
    if (!TryStrToFloat(text, decimalSeparator, value))
        throw ConversionError("'" + QuotedValue(text) + "' is not a valid floating point value");
    return value;
}

} // namespace stats
