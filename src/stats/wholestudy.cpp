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

WholeStudy::WholeStudy(const LinearityStudy &s) : study(s), x(WholeAmounts(s, dx)), y(WholeResponses(s, dy))
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
    levels.resize(static_cast<size_t>(study.k()));
    std::vector<mpz_class> sumX(levels.size()), sumY2(levels.size());
    for (size_t j = 0; j < levels.size(); ++j)
        levels[j].level = static_cast<int>(j + 1);
    for (int i = 0; i < n(); ++i) {
        const size_t j = static_cast<size_t>(study.observations[static_cast<size_t>(i)].level - 1);
        const mpz_class &yi = y[static_cast<size_t>(i)];
        levels[j].rows.push_back(i);
        sumX[j] += x[static_cast<size_t>(i)];
        levels[j].sumY += yi;
        mpz_addmul(sumY2[j].get_mpz_t(), yi.get_mpz_t(), yi.get_mpz_t());
    }
    for (size_t j = 0; j < levels.size(); ++j) {
        LevelSpread &l = levels[j];
        const long r = l.replicates();
        if (r == 0)
            continue;
        l.x = Quotient(sumX[j], r * dx);
        l.mean = Quotient(l.sumY, r * dy);
        if (r < 2)
            continue;
        l.squares = r * sumY2[j] - l.sumY * l.sumY;
        l.variance = Quotient(l.squares, r * (r - 1) * dy * dy);
    }
}

} // namespace stats
