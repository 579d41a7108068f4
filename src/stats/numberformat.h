#pragma once
#include <string>

namespace stats {

// The general number format with `digits` significant digits: fixed notation
// for decimal exponents from -3 to `digits`, scientific ("1.23457E6",
// "1.2345E-5") otherwise, trailing zeros removed, `decimalSeparator` from the
// user's locale.
std::string FormatGeneral(double value, int digits, char decimalSeparator);

} // namespace stats
