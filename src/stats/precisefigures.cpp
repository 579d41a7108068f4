#include "stats/precisefigures.h"

#include "stats/errors.h"
#include "stats/fdistribution.h"

#include <boost/math/distributions/students_t.hpp>

#include <map>
#include <mutex>
#include <tuple>

namespace stats {

Fifty FiftyOf(const Rational &q)
{
    Fifty v;
    mpfr_set_q(MpfrOf(v), q.get_mpq_t(), MPFR_RNDN);
    return v;
}

Rational RationalOf(const Fifty &v)
{
    Rational q;
    mpfr_get_q(q.get_mpq_t(), MpfrOf(v));
    return q;
}

Real RealOf(const Fifty &v) { return Real(RationalOf(v)); }

Real ApproximationOf(const Fifty &v)
{
    if (isnan(v))
        throw FloatingPointError(kInvalidOperation);
    if (isinf(v))
        throw FloatingPointError(kResultTooLarge);
    return Real::Approximation(RationalOf(v));
}

const Fifty &Pi()
{
    static const Fifty v = [] {
        Fifty p;
        mpfr_const_pi(MpfrOf(p), MPFR_RNDN);
        return p;
    }();
    return v;
}

namespace {

// (which distribution, the tail, df1, df2) -> quantile; shared by threads.
using QuantileKey = std::tuple<int, Rational, int, int>;

template <class Compute>
Fifty remembered(const QuantileKey &key, Compute compute)
{
    static std::mutex guard;
    static std::map<QuantileKey, Fifty> known;
    {
        std::lock_guard lock(guard);
        if (const auto found = known.find(key); found != known.end())
            return found->second;
    }
    const Fifty value = compute();
    std::lock_guard lock(guard);
    known.emplace(key, value);
    return value;
}

} // namespace

Fifty FUpperQuantile(const Rational &tail, int df1, int df2)
{
    return remembered({0, tail, df1, df2}, [&] { return FUpperQuantilePrecise(tail, df1, df2); });
}

// t² is F(1, df), whose upper tail holds both tails of t.
Fifty TUpperQuantile(const Rational &tail, int df)
{
    if (df < 1 || sgn(tail) <= 0 || tail >= 1)
        throw FloatingPointError(kInvalidOperation);
    if (tail == Rational(1, 2))
        return Fifty(0);
    if (tail > Rational(1, 2))
        return -TUpperQuantile(1 - tail, df);
    return sqrt(FUpperQuantile(2 * tail, 1, df));
}

Fifty StudentTQuantile(const Rational &p, int df)
{
    if (df < 1 || sgn(p) <= 0 || p >= 1)
        throw FloatingPointError(kInvalidOperation);
    return TUpperQuantile(Rational(1 - p), df);
}

namespace {

// I_x(a, b) by its power series, all of whose terms are positive (for
// x ≤ ½ it converges at least as fast as a geometric series of ratio ½):
// x^a·(1 − x)^b / (a·B(a, b)) · Σ_n (a + b)_n / (a + 1)_n · x^n.
Fifty betaRatioSeries(const Fifty &x, const Fifty &a, const Fifty &b)
{
    static const Fifty enough = Fifty(1) / Fifty("1e52");
    Fifty sum = 1, term = 1;
    for (int n = 0; n < 1000000; ++n) {
        term *= (a + b + n) / (a + 1 + n) * x;
        sum += term;
        if (term <= sum * enough)
            break;
    }
    return exp(a * log(x) + b * log1p(-x) - log(a) - lgamma(a) - lgamma(b) + lgamma(a + b)) * sum;
}

// P(t(ν) ≥ q): with x = ν/(ν + q²), P(|t| ≥ |q|) = I_x(ν/2, ½) = 1 − I_{1−x}(½, ν/2),
// the series taken on whichever argument is the smaller. The upper tail
// itself, so that a small one keeps its digits.
Fifty studentUpperTail(const Fifty &q, const Fifty &nu)
{
    const Fifty square = q * q, x = nu / (nu + square), y = square / (nu + square);
    const Fifty half = Fifty(1) / 2;
    const Fifty beyond = x <= y ? Fifty(betaRatioSeries(x, nu / 2, half) / 2)
                                : Fifty((1 - betaRatioSeries(y, half, nu / 2)) / 2); // P(t ≥ |q|)
    return q >= 0 ? beyond : Fifty(1 - beyond);
}

} // namespace

// Halley's method from Boost.Math's double quantile: each step triples the
// digits, so two reach fifty. The density and its slope have closed forms.
Fifty StudentTQuantile(const Rational &p, const Rational &df)
{
    if (sgn(df) <= 0 || sgn(p) <= 0 || p >= 1)
        throw FloatingPointError(kInvalidOperation);
    if (df.get_den() == 1 && df.get_num().fits_sint_p())
        return StudentTQuantile(p, static_cast<int>(df.get_num().get_si()));
    static const Fifty close = Fifty(1) / Fifty("1e48");
    const Fifty nu = FiftyOf(df), tail = FiftyOf(Rational(1 - p));
    // Γ((ν + 1)/2) / (√(νπ)·Γ(ν/2)): the density at 0.
    const Fifty atZero = exp(lgamma((nu + 1) / 2) - lgamma(nu / 2)) / sqrt(nu * Pi());
    Fifty q = boost::math::quantile(boost::math::students_t_distribution<double>(NearestDouble(df)), NearestDouble(p));
    for (int i = 0; i < 20; ++i) {
        const Fifty density = atZero * pow(1 + q * q / nu, -(nu + 1) / 2);
        const Fifty newton = (tail - studentUpperTail(q, nu)) / density; // P(t ≤ q) − p
        // The density's slope over the density: −(ν + 1)·q / (ν + q²).
        const Fifty step = newton / (1 + newton * (nu + 1) * q / (2 * (nu + q * q)));
        q -= step;
        if (abs(step) <= close * (1 + abs(q)))
            break;
    }
    return q;
}

Fifty GrubbsCritical(int replicates)
{
    if (replicates < 3)
        throw FloatingPointError(kInvalidOperation);
    return remembered({2, Rational(), replicates, 0}, [&] {
        const Fifty q = TUpperQuantile(Rational(1, 40 * replicates), replicates - 2), n = replicates;
        return Fifty((n - 1) / sqrt(n) * sqrt(q * q / (n - 2 + q * q)));
    });
}

// The closed forms of the upper tail for whole degrees of freedom, with h = x/2:
// df = 2m:     e^−h · Σ_{i<m} h^i / i!
// df = 2m + 1: erfc(√h) + e^−h · Σ_{i=1..m} h^(i−½) / Γ(i + ½)
// Every term is positive: nothing cancels. (The general incomplete gamma
// function takes some fifty times longer for the same digits.)
Fifty ChiSquareUpperTail(const Fifty &x, int df)
{
    if (df < 1)
        throw FloatingPointError(kInvalidOperation);
    if (x <= 0)
        return Fifty(1);
    const Fifty h = x / 2;
    Fifty sum = 0, term;
    if (df % 2 == 0) {
        term = 1;
        for (int i = 0; i < df / 2; ++i) {
            sum += term;
            term *= h / (i + 1);
        }
        return exp(-h) * sum;
    }
    const Fifty root = sqrt(h);
    term = 2 * root / sqrt(Pi()); // h^½ / Γ(3/2)
    for (int i = 1; i <= df / 2; ++i) {
        sum += term;
        term *= h / (Fifty(2 * i + 1) / 2);
    }
    return erfc(root) + exp(-h) * sum;
}

} // namespace stats
