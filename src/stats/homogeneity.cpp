// The tests of a constant variance along the line, over the levels with at
// least two replicates.
#include "stats/precisefigures.h"
#include "stats/weighting.h"
#include "stats/wholestudy.h"

#include <algorithm>
#include <numeric>

namespace stats {

namespace {

std::optional<EndsFTest> endsF(const std::vector<const Level *> &levels)
{
    const auto [low, high] = std::minmax_element(
        levels.begin(), levels.end(), [](const Level *a, const Level *b) { return a->x < b->x; });
    const bool highLarger = (*high)->variance >= (*low)->variance;
    const Level &larger = highLarger ? **high : **low, &smaller = highLarger ? **low : **high;
    if (sgn(smaller.variance) == 0)
        return std::nullopt;
    EndsFTest t;
    t.lowLevel = (*low)->level;
    t.highLevel = (*high)->level;
    const Rational f = larger.variance / smaller.variance;
    t.f = f;
    t.df1 = larger.replicates() - 1;
    t.df2 = smaller.replicates() - 1;
    t.p = Real::FUpperTail(f, t.df1, t.df2);
    return t;
}

// Only when every level of the study has the same number of replicates, two or more.
std::optional<CochranTest> cochran(const std::vector<Level> &all)
{
    const int r = all.front().replicates(), k = static_cast<int>(all.size());
    if (r < 2 || std::any_of(all.begin(), all.end(), [r](const Level &l) { return l.replicates() != r; }))
        return std::nullopt;
    Rational sum;
    const Level *largest = &all.front();
    for (const Level &l : all) {
        sum += l.variance;
        if (l.variance > largest->variance)
            largest = &l;
    }
    if (sgn(sum) == 0)
        return std::nullopt;
    CochranTest t;
    t.c = Rational(largest->variance / sum);
    t.level = largest->level;
    const Fifty f = FUpperQuantile(Rational(1, 20) / k, r - 1, (k - 1) * (r - 1));
    t.critical = RealOf(1 / (1 + (k - 1) / f));
    return t;
}

// M = ln(pooled^df / Π s_j^(2(r_j − 1))) over C, taken as one logarithm of a
// ratio of whole numbers (the units of y cancel): log1p of its excess over
// 1, which is exact, so that nearly equal variances lose no digits.
std::optional<BartlettTest> bartlett(const std::vector<const Level *> &levels)
{
    const int m = static_cast<int>(levels.size());
    int df = 0;
    Rational inverses;
    // s_j² ∝ squares_j / (r_j(r_j − 1)) and pooled ∝ Σ squares_j / r_j / df.
    mpz_class lcm = 1;
    for (const Level *l : levels) {
        if (sgn(l->squares) == 0)
            return std::nullopt;
        df += l->replicates() - 1;
        inverses += Rational(1, l->replicates() - 1);
        mpz_lcm_ui(lcm.get_mpz_t(), lcm.get_mpz_t(), static_cast<unsigned long>(l->replicates()));
    }
    mpz_class pooled, numerator, denominator = 1, power;
    for (const Level *l : levels)
        pooled += l->squares * (lcm / l->replicates());
    // pooled ∝ P / (lcm·df): numerator P^df · Π (r_j(r_j − 1))^(r_j − 1),
    // denominator (lcm·df)^df · Π squares_j^(r_j − 1).
    mpz_pow_ui(numerator.get_mpz_t(), pooled.get_mpz_t(), static_cast<unsigned long>(df));
    for (const Level *l : levels) {
        const unsigned long r = static_cast<unsigned long>(l->replicates());
        mpz_ui_pow_ui(power.get_mpz_t(), r * (r - 1), r - 1);
        numerator *= power;
        mpz_pow_ui(power.get_mpz_t(), l->squares.get_mpz_t(), r - 1);
        denominator *= power;
    }
    mpz_class scale = lcm * df;
    mpz_pow_ui(power.get_mpz_t(), scale.get_mpz_t(), static_cast<unsigned long>(df));
    denominator *= power;
    const Rational excess = Quotient(numerator - denominator, denominator);
    const Rational correction = 1 + (inverses - Rational(1, df)) / (3 * (m - 1));
    const Fifty statistic = log1p(FiftyOf(excess)) / FiftyOf(correction);
    BartlettTest t;
    t.statistic = RealOf(statistic);
    t.df = m - 1;
    t.p = RealOf(ChiSquareUpperTail(statistic, t.df));
    return t;
}

// The one-way analysis of variance of |y − centre| on the levels, on whole
// numbers Z proportional to the deviations: F does not see the scale.
std::optional<DeviationTest> deviations(const WholeStudy &whole, const std::vector<const Level *> &levels,
                                        bool fromMedian)
{
    // Z = |r·Y − ΣY|·(L/r) from the mean, L the common multiple of the
    // replicates; |2Y − (Y_a + Y_b)| from the median of Y_a and Y_b.
    unsigned long multiple = 1;
    long total = 0;
    for (const Level *l : levels) {
        multiple = std::lcm(multiple, static_cast<unsigned long>(l->replicates()));
        total += l->replicates();
    }
    const unsigned long common = std::lcm(multiple, static_cast<unsigned long>(total));
    mpz_class grand, squares, groups, z, centre, term; // ΣZ, ΣZ², Σ_j (ΣZ_j)²·(common/r_j)
    std::vector<mpz_class> y;
    for (const Level *l : levels) {
        const long r = l->replicates();
        y.clear();
        for (int i : l->rows)
            y.push_back(whole.y[static_cast<size_t>(i)]);
        if (fromMedian) {
            std::sort(y.begin(), y.end());
            const size_t h = y.size() / 2;
            centre = y.size() % 2 ? mpz_class(2 * y[h]) : mpz_class(y[h - 1] + y[h]);
        }
        mpz_class sum;
        for (const mpz_class &v : y) {
            if (fromMedian)
                z = 2 * v - centre;
            else
                z = (r * v - l->sumY) * static_cast<long>(multiple / static_cast<unsigned long>(r));
            mpz_abs(z.get_mpz_t(), z.get_mpz_t());
            sum += z;
            mpz_addmul(squares.get_mpz_t(), z.get_mpz_t(), z.get_mpz_t());
        }
        grand += sum;
        term = sum * sum;
        mpz_addmul_ui(groups.get_mpz_t(), term.get_mpz_t(), common / static_cast<unsigned long>(r));
    }
    // In units of 1/common: between = Σ(ΣZ_j)²/r_j − (ΣZ)²/N, within = ΣZ² − Σ(ΣZ_j)²/r_j.
    const mpz_class between = groups - grand * grand * static_cast<long>(common / static_cast<unsigned long>(total));
    const mpz_class within = squares * static_cast<long>(common) - groups;
    if (sgn(within) == 0)
        return std::nullopt;
    DeviationTest t;
    t.df1 = static_cast<int>(levels.size()) - 1;
    t.df2 = static_cast<int>(total) - static_cast<int>(levels.size());
    const Rational f = Quotient(between * t.df2, within * t.df1);
    t.f = f;
    t.p = Real::FUpperTail(f, t.df1, t.df2);
    return t;
}

} // namespace

Homogeneity AssessHomogeneity(const WholeStudy &whole)
{
    Homogeneity h;
    std::vector<const Level *> replicated;
    for (const Level &l : whole.levels)
        if (l.replicates() >= 2)
            replicated.push_back(&l);
    if (replicated.size() < 2)
        return h;
    h.endsF = endsF(replicated);
    h.cochran = cochran(whole.levels);
    h.bartlett = bartlett(replicated);
    h.levene = deviations(whole, replicated, false);
    h.brownForsythe = deviations(whole, replicated, true);
    if (h.endsF)
        h.verdict = h.endsF->p.compare(Rational(1, 100)) < 0 ? VarianceVerdict::Heteroscedastic
                                                              : VarianceVerdict::Homoscedastic;
    return h;
}

Homogeneity AssessHomogeneity(const LinearityStudy &study) { return AssessHomogeneity(WholeStudy(study)); }

} // namespace stats
