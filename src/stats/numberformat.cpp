#include "stats/numberformat.h"

#include <cmath>

namespace stats {

namespace {

// The digits already rounded, laid out in fixed or scientific notation.
std::string layout(RoundedDigits rounded, int digits, char decimalSeparator)
{
    if (rounded.zero)
        return "0";
    std::string &kept = rounded.digits;
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    const int exponent = rounded.exponent; // value = 0.d1d2... x 10^exponent
    std::string text = rounded.negative ? "-" : "";
    const int length = static_cast<int>(kept.size());
    if (exponent >= -3 && exponent <= digits) {
        if (exponent <= 0) {
            text += '0';
            text += decimalSeparator;
            text.append(static_cast<size_t>(-exponent), '0');
            text += kept;
        } else if (length <= exponent) {
            text += kept;
            text.append(static_cast<size_t>(exponent - length), '0');
        } else {
            text += kept.substr(0, static_cast<size_t>(exponent));
            text += decimalSeparator;
            text += kept.substr(static_cast<size_t>(exponent));
        }
    } else {
        text += kept[0];
        if (length > 1) {
            text += decimalSeparator;
            text += kept.substr(1);
        }
        text += 'E';
        text += std::to_string(exponent - 1);
    }
    return text;
}

int clamped(int digits) { return digits < 1 ? 1 : digits > 30 ? 30 : digits; }

} // namespace

std::string FormatGeneral(const Real &value, int digits, char decimalSeparator)
{
    digits = clamped(digits);
    return layout(value.rounded(digits), digits, decimalSeparator);
}

std::string FormatGeneral(double value, int digits, char decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    digits = clamped(digits);
    return layout(RoundRational(DecimalOf(value), digits, value), digits, decimalSeparator);
}

std::string LocalDecimal(std::string decimal, char decimalSeparator)
{
    // Only a point between digits: a sentence's own full stop stays.
    auto digit = [&](size_t i) { return i < decimal.size() && decimal[i] >= '0' && decimal[i] <= '9'; };
    for (size_t i = 1; i + 1 < decimal.size(); ++i)
        if (decimal[i] == '.' && digit(i - 1) && digit(i + 1))
            decimal[i] = decimalSeparator;
    return decimal;
}

} // namespace stats
