#include "stats/tquantile.h"

#include "stats/errors.h"

#include <boost/math/distributions/students_t.hpp>

#include <map>
#include <utility>

namespace stats {

Fifty FiftyOf(const Rational &q)
{
    Fifty v;
    mpfr_set_q(v.backend().data(), q.get_mpq_t(), MPFR_RNDN);
    return v;
}

const Fifty &StudentTQuantile(const Rational &p, int df)
{
    if (df < 1 || sgn(p) <= 0 || p >= 1)
        throw FloatingPointError(kInvalidOperation);
    thread_local std::map<std::pair<int, Rational>, Fifty, std::less<>> known;
    const auto key = std::make_pair(df, p);
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    // Below a half the quantile is the negative of its mirror.
    const Rational upper = p > Rational(1, 2) ? p : Rational(1 - p);
    Fifty t = boost::math::quantile(boost::math::students_t_distribution<Fifty>(df), FiftyOf(upper));
    if (upper != p)
        t = -t;
    return known.emplace(key, std::move(t)).first->second;
}

} // namespace stats
