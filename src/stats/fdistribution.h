#pragma once
// The upper tail of the F distribution, P(F ≥ f) with (df1, df2) degrees of
// freedom, through the regularized incomplete beta function (Boost.Math).
#include "stats/real.h"

#include <mpfr.h>

namespace stats {

// In double precision, at the double nearest to f.
double FUpperTailDouble(const Rational &f, int df1, int df2);

// With 50 significant digits, at f exactly; `out` is set with its own
// precision. For the few probabilities whose double sits on a limit or on a
// printed half.
void FUpperTailPrecise(const Rational &f, int df1, int df2, mpfr_ptr out);

} // namespace stats
