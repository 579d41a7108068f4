#pragma once
#include "stats/study.h"

namespace stats {

// The least-squares line y = slope * x + intercept with its 95 % inference.
struct RegressionResult {
    double slope = 0.0;                 // "PENDIENTE"
    double intercept = 0.0;             // "ORDENADA AL ORIGEN"
    double slopeUpperLimit = 0.0;
    double slopeLowerLimit = 0.0;
    double slopeT = 0.0;                // (b - 1) / s_b, against the ideal slope 1
    double interceptUpperLimit = 0.0;
    double interceptLowerLimit = 0.0;
    double interceptT = 0.0;            // a / s_a, against 0
    double sdRegression = 0.0;          // s_y/x
    double coefficientOfVariation = 0.0;// per cent of the mean amount recovered
    double criticalT = 0.0;             // Student t for n - 2 degrees of freedom
    double rSquared = 0.0;
};

// Fills `result` field by field. A slope of exactly zero sets `slopeIsZero`
// and stops after the intercept, leaving the other fields as they were.
// Throws FloatingPointError on a fault or degenerate data; fields stored
// before the fault keep their new values.
void ComputeRegression(const LinearityStudy &study, RegressionResult &result, bool &slopeIsZero);

} // namespace stats
