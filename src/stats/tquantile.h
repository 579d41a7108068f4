#pragma once
// Quantiles of Student's t with fifty significant digits (Boost.Math over
// MPFR): the intervals of unknown samples and the detection limits are
// built on them and rounded once, where they are shown.
#include "stats/real.h"

#include <boost/multiprecision/mpfr.hpp>

namespace stats {

using Fifty = boost::multiprecision::mpfr_float_50;

// t with P(T ≤ t) = p for `df` degrees of freedom, 0 < p < 1. Kept once
// computed: a study asks for the same two or three again and again.
const Fifty &StudentTQuantile(const Rational &p, int df);

// A rational to fifty digits.
Fifty FiftyOf(const Rational &q);

} // namespace stats
