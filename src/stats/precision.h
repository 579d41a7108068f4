#pragma once
// Lost digits. The results are computed from running sums in the order the
// formulas are written: those are the digits users and stored reports rely
// on. When the amounts are very large against their spread the running sums
// cancel and the figures turn to noise (x = 1e15 + {1, 2, 3} gives a slope of
// -1.29 and r^2 = 4.01). These checks compute the same quantities again from
// sums centred on the means and refuse a result whose printed figure differs
// from its stable value by more than half a unit of its last printed digit;
// a study whose printed figures are right is never refused. A figure within
// the rounding noise of zero (an intercept that is exactly 0) prints as 0.
#include "stats/anova.h"
#include "stats/recovery.h"
#include "stats/regression.h"

#include <vector>

namespace stats {

// Each sets to zero the figures of the record that are within the rounding
// noise of their computation (and the probabilities that follow from them),
// then throws FloatingPointError with a Spanish message naming the cause
// (amounts very large against their spread, or a fit exact to the last digit)
// when a figure printed from the record would not be the stable value
// rounded to its printed digits.
void CheckRegressionFigures(const LinearityStudy &study, RegressionResult &result);
void CheckAnovaFigures(const LinearityStudy &study, AnovaResult &result, std::vector<ResidualRow> &residuals);
void CheckRecoveryFigures(const LinearityStudy &study, RecoveryResult &result);

// For a computation that met a fault (a negative or zero sum of squares, a
// division by zero): throws the lost-digits message when the running sums
// the formulas use are off their centred values, so the fault is the
// cancellation's and not the data's. Returns when they are right.
void RefuseLostDigits(const LinearityStudy &study);

// The same quantities from centred sums (two passes over the data, extended
// precision); for the checks above and for the tests.
RegressionResult StableRegression(const LinearityStudy &study);
void StableAnova(const LinearityStudy &study, AnovaResult &result, std::vector<ResidualRow> &residuals);
RecoveryResult StableRecovery(const LinearityStudy &study);

// True when `shown`, printed in the general format with `digits` significant
// digits, would be a wrong figure for `stable`: the printed digits are more
// than half a unit of their last digit away from `stable` (a stable value on
// a rounding edge may print either way). Values within `noise` of zero both
// count as zero.
bool FigureIsWrong(double shown, double stable, int digits, double noise);

} // namespace stats
