#pragma once
// What the validated line says of the method itself: its standard deviation
// in amounts (s_x0 = s/|b|) and its relative one (V_x0), and the limits of
// DIN 32645 by the calibration-line method beside the LOD and LOQ of ICH.
#include "stats/criteria.h"
#include "stats/study.h"

namespace stats {

// The terms of DIN 32645 the limits are stated with.
struct DetectionTerms {
    Rational alpha{1, 100}; // error probability
    int k = 3;              // the quantification limit's relative uncertainty is 1/k
    int m = 1;              // measurements per sample
};

struct DetectionResult {
    DetectionTerms terms;
    int degreesOfFreedom = 0; // f = n − 2
    Real sx0;                 // s/|b|, in amounts
    Figure vx0;               // 100 s_x0 / x̄, in per cent; empty when x̄ is 0
    Real tOneSided;           // t(1 − α; f)
    Real tTwoSided;           // t(1 − α/2; f)
    Real criticalValue;       // x_NG
    Real detectionLimit;      // x_EG = 2 x_NG
    Real quantificationLimit; // x_BG in one step, k x_NG inside the root
    // x_BG with itself inside the root: empty when the formula has no
    // positive fixed point (a line too flat for its scatter).
    Figure quantificationLimitIterated;
    Real ichLod, ichLoq;      // 3.3 s/|b|, 10 s/|b|
};

struct ExactLine;

// s_x0² = s² / b², s² = SSE / (n − 2): the variance of the procedure, in amounts.
Rational ProcedureVariance(const ExactLine &line);

// The ICH limits from s_x0²: 3.3 s/|b| and 10 s/|b|.
struct IchLimits {
    Real lod, loq;
};
IchLimits IchLimitsOf(const Rational &procedureVariance);

// Throws FloatingPointError for a slope of zero or all x equal.
DetectionResult ComputeDetection(const LinearityStudy &study, const DetectionTerms &terms = {});

} // namespace stats
