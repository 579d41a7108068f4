#pragma once
#include <string>

namespace stats {

// The predicted amount recovered for a typed amount added, from the
// coefficients as the prediction window shows them (six significant digits),
// so that it agrees with what a user computes by hand from the equation.
// Returns y = intercept + slope * x in the general format with 6 digits.
// Throws ConversionError for a text that is not a number.
std::string PredictFromDisplayed(const std::string &slopeText, const std::string &interceptText,
                                 const std::string &xText, char decimalSeparator);

} // namespace stats
