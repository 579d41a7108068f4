#include "stats/wholestudy.h"

namespace stats {

Rational Quotient(const mpz_class &numerator, const mpz_class &denominator)
{
    Rational q(numerator, denominator);
    q.canonicalize();
    return q;
}

std::vector<mpz_class> WholeAmounts(const LinearityStudy &study, mpz_class &dx)
{
    return OverCommonDenominator(study.observations, [](const Observation &o) -> const Rational & { return o.exactX; }, dx);
}

std::vector<mpz_class> WholeResponses(const LinearityStudy &study, mpz_class &dy)
{
    return OverCommonDenominator(study.observations, [](const Observation &o) -> const Rational & { return o.exactY; }, dy);
}

WholeStudy::WholeStudy(const LinearityStudy &s)
    : study(s), x(WholeAmounts(s, dx)), y(WholeResponses(s, dy)), levels(Levels(s, x, dx, y, dy).levels)
{
    multipleX = 1;
    for (const mpz_class &v : x)
        if (sgn(v) != 0)
            mpz_lcm(multipleX.get_mpz_t(), multipleX.get_mpz_t(), v.get_mpz_t());
    shareX.resize(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        if (sgn(x[i]) != 0)
            mpz_divexact(shareX[i].get_mpz_t(), multipleX.get_mpz_t(), x[i].get_mpz_t());
    for (size_t i = 0; i < x.size(); ++i) {
        if (i == 0 || x[i] != x[i - 1] || study.observations[i].level != study.observations[i - 1].level)
            runs.push_back({i, 0});
        ++runs.back().count;
    }
}

} // namespace stats
