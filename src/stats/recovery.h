#pragma once
#include "stats/anova.h"
#include "stats/study.h"

namespace stats {

// Constant systematic error from the percentage recovered, R = 100 y / x.
struct RecoveryResult {
    double meanRecovery = 0.0;
    double sdRecovery = 0.0;
    double upperLimit = 0.0;
    double lowerLimit = 0.0;
    double tCalculated = 0.0; // signed, against 100 %
    double rsdRecovery = 0.0;
    double tTable = 0.0;      // Student t for n - 1 degrees of freedom
};

// Fills `result` field by field. Throws FloatingPointError on a fault or
// degenerate data (an amount added of zero, equal percentages, a mean of 0).
void ComputeRecovery(const LinearityStudy &study, RecoveryResult &result);

// The evaluation is reported only when the regression is significant.
bool RecoveryApplies(const AnovaResult &anova);
bool SystematicErrorPresent(const RecoveryResult &recovery);

// Bias in percentage points at the ends of the confidence interval nearer
// to (best) and farther from (worst) 100 %; none when the mean is exactly 100.
struct BestWorstCase {
    bool exists = false;
    double best = 0.0;
    double worst = 0.0;
};
BestWorstCase BestAndWorstCase(const RecoveryResult &recovery);

} // namespace stats
