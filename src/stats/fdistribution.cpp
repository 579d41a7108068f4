#include "stats/fdistribution.h"

#include "stats/fiftywarmups.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/multiprecision/mpfr.hpp>

namespace stats {

double FUpperTailDouble(const Rational &f, int df1, int df2)
{
    return boost::math::cdf(boost::math::complement(boost::math::fisher_f_distribution<double>(df1, df2),
                                                    NearestDouble(f)));
}

void FUpperTailPrecise(const Rational &f, int df1, int df2, mpfr_ptr out)
{
    using Fifty = boost::multiprecision::mpfr_float_50;
    // P(F ≥ f) = I_x(df2/2, df1/2) with x = df2 / (df2 + df1·f), or its
    // complement I_{1−x}(df1/2, df2/2): whichever argument is smaller keeps
    // its digits.
    const Rational x = Rational(df2) / (Rational(df2) + Rational(df1) * f);
    const Rational y = 1 - x;
    auto toFifty = [](const Rational &q) {
        Fifty v;
        mpfr_set_q(v.backend().data(), q.get_mpq_t(), MPFR_RNDN);
        return v;
    };
    const Fifty a = Fifty(df2) / 2, b = Fifty(df1) / 2;
    const Fifty p = x <= y ? boost::math::ibeta(a, b, toFifty(x)) : boost::math::ibetac(b, a, toFifty(y));
    mpfr_set_prec(out, mpfr_get_prec(p.backend().data()));
    mpfr_set(out, p.backend().data(), MPFR_RNDN);
}

} // namespace stats
