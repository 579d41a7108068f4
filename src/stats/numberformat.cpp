#include "stats/numberformat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace stats {

std::string FormatGeneral(double value, int digits, char decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0.0)
        return "0";
    if (digits < 1)
        digits = 1;
    if (digits > 18)
        digits = 18;

    // Eighteen significant digits first, then rounded half up to `digits`,
    // the way an extended value is turned into decimal text.
    // std::to_chars gives the digits printf("%.17e") gives, much faster.
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
    *written.ptr = '\0';
    std::string mantissa;
    mantissa.reserve(20);
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa += *p;
    int exponent = std::atoi(p + 1) + 1; // value = 0.d1d2... x 10^exponent

    std::string kept = mantissa.substr(0, static_cast<size_t>(digits));
    if (mantissa[static_cast<size_t>(digits)] >= '5') {
        int i = digits - 1;
        while (i >= 0 && kept[static_cast<size_t>(i)] == '9')
            kept[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        } else {
            ++kept[static_cast<size_t>(i)];
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();

    std::string text = value < 0 ? "-" : "";
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

} // namespace stats
