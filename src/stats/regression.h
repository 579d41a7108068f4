#pragma once
#include "stats/study.h"

namespace stats {

// The least-squares line y = slope * x + intercept with its 95 % inference,
// every figure exact (real.h).
struct RegressionResult {
    Real slope;                 // "PENDIENTE"
    Real intercept;             // "ORDENADA AL ORIGEN"
    Real slopeUpperLimit;
    Real slopeLowerLimit;
    Real slopeT;                // (b - 1) / s_b, against the ideal slope 1
    Real interceptUpperLimit;
    Real interceptLowerLimit;
    Real interceptT;            // a / s_a, against 0
    Real sdRegression;          // s_y/x
    Real coefficientOfVariation;// per cent of the mean amount recovered
    Real criticalT;             // Student t for n - 2 degrees of freedom
    Real rSquared;
};

// Fills `result` field by field. A slope of exactly zero sets `slopeIsZero`
// and stops after the intercept, leaving the other fields as they were.
// Throws FloatingPointError for degenerate data (all x equal, a perfect fit,
// a sum of amounts recovered of zero) or a figure beyond a double's range;
// fields stored before keep their new values.
void ComputeRegression(const LinearityStudy &study, RegressionResult &result, bool &slopeIsZero);

} // namespace stats
