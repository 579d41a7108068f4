#pragma once
#include "stats/anova.h"
#include "stats/study.h"

namespace stats {

// Constant systematic error from the percentage recovered, R = 100 y / x.
struct RecoveryResult {
    Real meanRecovery;
    Real sdRecovery;
    Real upperLimit;
    Real lowerLimit;
    Real tCalculated; // signed, against 100 %
    Real rsdRecovery;
    Real tTable;      // Student t for n - 1 degrees of freedom
};

// Fills `result` field by field, every figure exact. Throws
// FloatingPointError for degenerate data (an amount added of zero, equal
// percentages, a mean of 0).
void ComputeRecovery(const LinearityStudy &study, RecoveryResult &result);

// The evaluation is reported only when the regression is significant.
bool RecoveryApplies(const AnovaResult &anova);
bool SystematicErrorPresent(const RecoveryResult &recovery);

// Bias in percentage points at the ends of the confidence interval nearer
// to (best) and farther from (worst) 100 %; none when the mean is exactly 100.
struct BestWorstCase {
    bool exists = false;
    Real best;
    Real worst;
};
BestWorstCase BestAndWorstCase(const RecoveryResult &recovery);

} // namespace stats
