#pragma once
// Figures that cannot be exact (a logarithm, a root of a weight, a quantile)
// carried with fifty significant digits, and rounded once where they leave:
// to the exact value of their approximation, held as any other figure.
#include "stats/real.h"

#include <boost/multiprecision/mpfr.hpp>

namespace stats {

using Fifty = boost::multiprecision::mpfr_float_50;

// MPFR's value inside a Fifty, for what Boost does not offer: an exact
// rational operand (one rounding instead of two), the digits of a value, or
// arithmetic in place where a loop must not allocate.
inline mpfr_ptr MpfrOf(Fifty &v) { return v.backend().data(); }
inline mpfr_srcptr MpfrOf(const Fifty &v) { return v.backend().data(); }

Fifty FiftyOf(const Rational &q);
Rational RationalOf(const Fifty &v); // exactly the approximation
Real RealOf(const Fifty &v);
// v as a Real::Approximation; not a number or an infinity: FloatingPointError.
Real ApproximationOf(const Fifty &v);
const Fifty &Pi();

// Quantiles of the upper tail, kept once computed: they depend on the degrees
// of freedom and the tail only, as a printed table would.
// The f with P(F(df1, df2) ≥ f) = tail.
Fifty FUpperQuantile(const Rational &tail, int df1, int df2);
// The t with P(t(df) ≥ t) = tail.
Fifty TUpperQuantile(const Rational &tail, int df);
// The t with P(t(df) ≤ t) = p, 0 < p < 1 (FloatingPointError otherwise).
Fifty StudentTQuantile(const Rational &p, int df);
// The same for degrees of freedom that need not be whole (a Satterthwaite
// approximation), df > 0.
Fifty StudentTQuantile(const Rational &p, const Rational &df);

// Grubbs' critical value for N replicates at two-sided α = 0.05:
// ((N − 1)/√N)·√(t²/(N − 2 + t²)), t the upper α/(2N) quantile of t(N − 2).
Fifty GrubbsCritical(int replicates);

// P(χ²(df) ≥ x).
Fifty ChiSquareUpperTail(const Fifty &x, int df);

} // namespace stats
