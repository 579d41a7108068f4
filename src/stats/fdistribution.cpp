#include "stats/fdistribution.h"

#include "stats/errors.h"

#include <boost/math/distributions/fisher_f.hpp>

#include <cmath>
#include <limits>

namespace stats {

double FUpperTailDouble(const Rational &f, int df1, int df2)
{
    return boost::math::cdf(boost::math::complement(boost::math::fisher_f_distribution<double>(df1, df2),
                                                    NearestDouble(f)));
}

namespace {

// With a = n/2, b = m/2 for (m, n) degrees of freedom and x = n/(n + m·f),
// y = 1 − x, the tail is the incomplete beta ratio I_x(a, b). For whole
// degrees of freedom it has closed forms: from b = 1 or b = ½ upwards by
//   I_x(a, b + 1) = I_x(a, b) + T(b),   T(b) = x^a·y^b / (b·B(a, b)),
//   T(b + 1) = T(b) · y·(a + b)/(b + 1),
// with I_x(a, 1) = x^a, T(1) = a·x^a·y, and I_x(a, ½) the chance that
// |t(n)| ≥ √(m·f), T(½) = 2·x^a·√y / B(a, ½). Every T is positive: only the
// last of those, I_x(a, ½), subtracts.

// Below this the subtracting forms of I_x(a, ½) would have lost three of
// their fifty digits; the positive series takes over.
const Fifty &cancelling()
{
    static const Fifty v = Fifty(1) / 1000;
    return v;
}

// B(n/2, ½) = Γ(n/2)·Γ(½)/Γ((n + 1)/2): 2 (n = 2) or π (n = 1), times
// j/(j + 1) for each step of 2 from there up to n.
Fifty halfBeta(int n)
{
    Rational r = 1;
    for (int j = 2 - n % 2; j < n; j += 2)
        r *= Rational(j, j + 1);
    return n % 2 == 0 ? 2 * FiftyOf(r) : Pi() * FiftyOf(r);
}

// x^(n/2)
Fifty halfPower(const Fifty &x, int n) { return n % 2 == 0 ? Fifty(pow(x, n / 2)) : Fifty(sqrt(Fifty(pow(x, n)))); }

// I_x(n/2, ½), the classical finite sums:
//   n even: 1 − √y · Σ_{k < n/2} (½)_k/k! · x^k
//   n odd:  (2/π)·(arctan √(x/y) − √(xy) · Σ_{k < (n − 1)/2} (2·4⋯2k)/(3·5⋯(2k + 1)) · x^k)
// Each subtracts a sum from a term of its size, so it keeps fewer digits the
// smaller the result.
Fifty halfFinite(const Fifty &x, const Fifty &y, int n)
{
    Fifty sum = 0, term = 1;
    if (n % 2 == 0) {
        for (int k = 0; k < n / 2; ++k) {
            sum += term;
            term *= x;
            term *= 2 * k + 1;
            term /= 2 * k + 2;
        }
        return 1 - sqrt(y) * sum;
    }
    for (int k = 0; k < n / 2; ++k) {
        sum += term;
        term *= x;
        term *= 2 * k + 2;
        term /= 2 * k + 3;
    }
    return 2 * (atan(sqrt(x / y)) - sqrt(x * y) * sum) / Pi();
}

// I_x(n/2, ½) as positive terms, x^a·√y/(a·B(a, ½)) · Σ_k (a + ½)_k/(a + 1)_k · x^k
// with a = n/2: the ratio of two terms is below x, so what is left after a
// term is less than term·x/y.
Fifty halfSeries(const Fifty &x, const Fifty &y, int n)
{
    static const Fifty enough = Fifty(1) / Fifty("1e52");
    Fifty sum = 1, term = 1;
    for (int k = 0; k < 1000000; ++k) {
        term *= x;
        term *= n + 1 + 2 * k;
        term /= n + 2 + 2 * k;
        sum += term;
        if (term * x <= sum * y * enough)
            break;
    }
    return 2 * halfPower(x, n) * sqrt(y) / (n * halfBeta(n)) * sum;
}

struct TailAndDensity {
    Fifty tail, density;
};

// P(F ≥ f) and the density of F at f > 0, from x and y = 1 − x.
TailAndDensity tailAt(const Fifty &x, const Fifty &y, const Fifty &f, int m, int n)
{
    const Fifty xa = halfPower(x, n);
    Fifty first, term; // I_x(a, b) and T(b) at the lowest b
    int twoB = 0;
    if (m % 2 == 0) {
        first = xa;
        term = xa * y * n / 2;
        twoB = 2;
    } else {
        first = halfFinite(x, y, n);
        term = 2 * xa * sqrt(y) / halfBeta(n);
        twoB = 1;
    }
    Fifty raised = 0;
    for (; twoB < m; twoB += 2) {
        raised += term;
        term *= y;
        term *= n + twoB;
        term /= twoB + 2;
    }
    TailAndDensity r;
    r.tail = first + raised;
    if (m % 2 != 0 && r.tail < cancelling())
        r.tail = halfSeries(x, y, n) + raised;
    r.density = term * m / 2 / f; // b·T(b)/f
    return r;
}

TailAndDensity tailAt(const Fifty &f, int m, int n)
{
    const Fifty mf = m * f, whole = n + mf;
    return tailAt(n / whole, mf / whole, f, m, n);
}

// Boost.Math's quantile in double precision, where Newton's method starts;
// NaN where it cannot give one.
double startingQuantile(const Rational &tail, int m, int n)
{
    try {
        return boost::math::quantile(
            boost::math::complement(boost::math::fisher_f_distribution<double>(m, n), NearestDouble(tail)));
    } catch (const std::exception &) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace

Fifty FUpperTailPrecise(const Rational &f, int df1, int df2)
{
    if (df1 < 1 || df2 < 1)
        throw FloatingPointError(kInvalidOperation);
    if (sgn(f) <= 0)
        return Fifty(1);
    // x and y exact, then once rounded: the small one keeps its digits.
    const Rational whole = df2 + df1 * f;
    return tailAt(FiftyOf(df2 / whole), FiftyOf(df1 * f / whole), FiftyOf(f), df1, df2).tail;
}

Fifty FUpperQuantilePrecise(const Rational &tail, int df1, int df2)
{
    if (df1 < 1 || df2 < 1 || sgn(tail) <= 0 || tail >= 1)
        throw FloatingPointError(kInvalidOperation);
    static const Fifty close = Fifty(1) / Fifty("1e45");
    const Fifty p = FiftyOf(tail);
    const double start = startingQuantile(tail, df1, df2);
    Fifty f = std::isfinite(start) && start > 0 ? Fifty(start) : Fifty(1);
    // Newton's method on P(F ≥ f) − p, kept within the bracket [low, high]
    // of what has been seen on either side (high 0 while none is above);
    // a step that leaves it halves the bracket, or doubles f, instead.
    Fifty low = 0, high = 0;
    for (int i = 0; i < 2000; ++i) {
        const TailAndDensity q = tailAt(f, df1, df2);
        if (q.tail == p)
            break;
        (q.tail > p ? low : high) = f;
        Fifty next = -1;
        if (q.density > 0)
            next = f + (q.tail - p) / q.density;
        if (!(next > low && (high == 0 || next < high)))
            next = high == 0 ? Fifty(2 * f) : Fifty((low + high) / 2);
        const bool converged = abs(next - f) <= next * close;
        f = next;
        if (converged)
            break;
    }
    return f;
}

} // namespace stats
