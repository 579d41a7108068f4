#include "stats/prediction.h"

#include "stats/conversions.h"
#include "stats/numberformat.h"

namespace stats {

// The displayed slope and intercept are decimals, and so is x: the predicted
// y is exact, rounded once when it is shown.
std::string PredictFromDisplayed(const std::string &slopeText, const std::string &interceptText,
                                 const std::string &xText, char decimalSeparator)
{
    const Rational x = StrToRational(xText, decimalSeparator);
    const Rational slope = StrToRational(slopeText, decimalSeparator);
    const Rational intercept = StrToRational(interceptText, decimalSeparator);
    return FormatGeneral(Real(Rational(intercept + slope * x)), 6, decimalSeparator);
}

} // namespace stats
