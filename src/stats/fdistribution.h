#pragma once
// The upper tail of the F distribution, P(F ≥ f) with (df1, df2) degrees of
// freedom, and its quantiles. In double precision through Boost.Math; with
// 50 significant digits through the closed forms that whole degrees of
// freedom allow.
#include "stats/precisefigures.h"

namespace stats {

// In double precision, at the double nearest to f.
double FUpperTailDouble(const Rational &f, int df1, int df2);

// With 50 significant digits, at f exactly; 1 for f ≤ 0. For the few
// probabilities whose double sits on a limit or on a printed half, and for
// the quantiles.
Fifty FUpperTailPrecise(const Rational &f, int df1, int df2);

// The f with P(F(df1, df2) ≥ f) = tail, 0 < tail < 1, with 50 significant
// digits (FloatingPointError outside those bounds).
Fifty FUpperQuantilePrecise(const Rational &tail, int df1, int df2);

} // namespace stats
