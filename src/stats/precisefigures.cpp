#include "stats/precisefigures.h"

#include "stats/errors.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <map>
#include <mutex>
#include <tuple>

namespace stats {

Fifty FiftyOf(const Rational &q)
{
    Fifty v;
    mpfr_set_q(v.backend().data(), q.get_mpq_t(), MPFR_RNDN);
    return v;
}

Rational RationalOf(const Fifty &v)
{
    Rational q;
    mpfr_get_q(q.get_mpq_t(), v.backend().data());
    return q;
}

Real RealOf(const Fifty &v) { return Real(RationalOf(v)); }

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
    return remembered({0, tail, df1, df2}, [&] {
        const boost::math::fisher_f_distribution<Fifty> f(df1, df2);
        return Fifty(boost::math::quantile(boost::math::complement(f, FiftyOf(tail))));
    });
}

Fifty TUpperQuantile(const Rational &tail, int df)
{
    return remembered({1, tail, df, 0}, [&] {
        const boost::math::students_t_distribution<Fifty> t(df);
        return Fifty(boost::math::quantile(boost::math::complement(t, FiftyOf(tail))));
    });
}

Fifty StudentTQuantile(const Rational &p, int df)
{
    if (df < 1 || sgn(p) <= 0 || p >= 1)
        throw FloatingPointError(kInvalidOperation);
    return TUpperQuantile(Rational(1 - p), df);
}

Fifty ChiSquareUpperTail(const Fifty &x, int df)
{
    return boost::math::gamma_q(Fifty(df) / 2, x / 2);
}

} // namespace stats
