#pragma once
// The sums of a study and the least-squares line through them, exact: the
// regression, the analysis of variance and the acceptance criteria all start
// from these.
#include "stats/study.h"

namespace stats {

struct ExactLine {
    Rational n, sumX, sumY, meanX, meanY;
    Rational sxx, sxy, syy; // Σ(x − x̄)², Σ(x − x̄)(y − ȳ), Σ(y − ȳ)²
    Rational slope;         // b = Sxy / Sxx: exactly 0 when Sxy is
    Rational intercept;     // a = ȳ − b·x̄
    Rational sse;           // Σ(y − a − b·x)² = Syy − b·Sxy
    bool zeroSlope() const { return sgn(slope) == 0; }
};

// Throws FloatingPointError when every amount added is the same. Fitted once
// per study, then kept with it.
const ExactLine &FitLine(const LinearityStudy &study);

} // namespace stats
