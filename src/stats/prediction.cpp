#include "stats/prediction.h"

#include "stats/checked.h"
#include "stats/conversions.h"
#include "stats/numberformat.h"

namespace stats {

std::string PredictFromDisplayed(const std::string &slopeText, const std::string &interceptText,
                                 const std::string &xText, char decimalSeparator)
{
    const double x = StrToFloat(xText, decimalSeparator);
    const double slope = StrToFloat(slopeText, decimalSeparator);
    const double intercept = StrToFloat(interceptText, decimalSeparator);
    const double y = checked::store(static_cast<long double>(intercept) +
                                    static_cast<long double>(slope) * x);
    return FormatGeneral(y, 6, decimalSeparator);
}

} // namespace stats
