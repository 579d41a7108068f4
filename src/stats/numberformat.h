#pragma once
#include "stats/real.h"

#include <string>

namespace stats {

// The general number format with `digits` significant digits: fixed notation
// for decimal exponents from -3 to `digits`, scientific ("1.23457E6",
// "1.2345E-5") otherwise, trailing zeros removed, `decimalSeparator` from the
// user's locale. A half is rounded away from zero, as a calculator shows it:
// 33.90685 gives 33.9069.
std::string FormatGeneral(const Real &value, int digits, char decimalSeparator);
// A double is the decimal it names (DecimalOf): a limit typed as 2.000005
// shows as 2.00001.
std::string FormatGeneral(double value, int digits, char decimalSeparator);

// A text of our own with fixed decimals in it ("P < 0.01") with the user's
// separator in them.
std::string LocalDecimal(std::string decimal, char decimalSeparator);

} // namespace stats
