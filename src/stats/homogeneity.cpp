// The tests of a constant variance along the line, over the levels with at
// least two replicates.
#include "stats/levelspread.h"
#include "stats/precisefigures.h"
#include "stats/weighting.h"

#include <algorithm>

namespace stats {

namespace {

std::optional<EndsFTest> endsF(const std::vector<const LevelSpread *> &levels)
{
    const auto [low, high] = std::minmax_element(
        levels.begin(), levels.end(), [](const LevelSpread *a, const LevelSpread *b) { return a->x < b->x; });
    const bool highLarger = (*high)->variance >= (*low)->variance;
    const LevelSpread &larger = highLarger ? **high : **low, &smaller = highLarger ? **low : **high;
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
std::optional<CochranTest> cochran(const std::vector<LevelSpread> &all)
{
    const int r = all.front().replicates(), k = static_cast<int>(all.size());
    if (r < 2 || std::any_of(all.begin(), all.end(), [r](const LevelSpread &l) { return l.replicates() != r; }))
        return std::nullopt;
    Rational sum;
    const LevelSpread *largest = &all.front();
    for (const LevelSpread &l : all) {
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

std::optional<BartlettTest> bartlett(const std::vector<const LevelSpread *> &levels)
{
    const int m = static_cast<int>(levels.size());
    int total = 0;
    Rational pooled, inverses;
    for (const LevelSpread *l : levels) {
        if (sgn(l->variance) == 0)
            return std::nullopt;
        total += l->replicates();
        pooled += (l->replicates() - 1) * l->variance;
        inverses += Rational(1, l->replicates() - 1);
    }
    const int df = total - m;
    pooled /= df;
    Fifty logs = df * log(FiftyOf(pooled));
    for (const LevelSpread *l : levels)
        logs -= (l->replicates() - 1) * log(FiftyOf(l->variance));
    const Rational correction = 1 + (inverses - Rational(1, df)) / (3 * (m - 1));
    const Fifty statistic = logs / FiftyOf(correction);
    BartlettTest t;
    t.statistic = RealOf(statistic);
    t.df = m - 1;
    t.p = RealOf(ChiSquareUpperTail(statistic, t.df));
    return t;
}

Rational median(std::vector<Rational> values)
{
    std::sort(values.begin(), values.end());
    const size_t h = values.size() / 2;
    return values.size() % 2 ? values[h] : Rational((values[h - 1] + values[h]) / 2);
}

// The one-way analysis of variance of |y − centre| on the levels.
std::optional<DeviationTest> deviations(const LinearityStudy &study, const std::vector<const LevelSpread *> &levels,
                                        bool fromMedian)
{
    std::vector<std::vector<Rational>> z(levels.size());
    Rational grand;
    int total = 0;
    for (size_t j = 0; j < levels.size(); ++j) {
        std::vector<Rational> y;
        for (int i : levels[j]->rows)
            y.push_back(study.observations[static_cast<size_t>(i)].exactY);
        const Rational centre = fromMedian ? median(y) : levels[j]->mean;
        for (const Rational &v : y) {
            z[j].push_back(abs(v - centre));
            grand += z[j].back();
        }
        total += static_cast<int>(y.size());
    }
    grand /= total;
    Rational between, within;
    for (const std::vector<Rational> &group : z) {
        Rational mean;
        for (const Rational &v : group)
            mean += v;
        mean /= static_cast<int>(group.size());
        between += static_cast<int>(group.size()) * (mean - grand) * (mean - grand);
        for (const Rational &v : group)
            within += (v - mean) * (v - mean);
    }
    if (sgn(within) == 0)
        return std::nullopt;
    DeviationTest t;
    t.df1 = static_cast<int>(levels.size()) - 1;
    t.df2 = total - static_cast<int>(levels.size());
    const Rational f = (between / t.df1) / (within / t.df2);
    t.f = f;
    t.p = Real::FUpperTail(f, t.df1, t.df2);
    return t;
}

} // namespace

Homogeneity AssessHomogeneity(const LinearityStudy &study)
{
    Homogeneity h;
    const std::vector<LevelSpread> all = LevelSpreads(study);
    std::vector<const LevelSpread *> replicated;
    for (const LevelSpread &l : all)
        if (l.replicates() >= 2)
            replicated.push_back(&l);
    if (replicated.size() < 2)
        return h;
    h.endsF = endsF(replicated);
    h.cochran = cochran(all);
    h.bartlett = bartlett(replicated);
    h.levene = deviations(study, replicated, false);
    h.brownForsythe = deviations(study, replicated, true);
    if (h.endsF)
        h.verdict = h.endsF->p.compare(Rational(1, 100)) < 0 ? VarianceVerdict::Heteroscedastic
                                                              : VarianceVerdict::Homoscedastic;
    return h;
}

} // namespace stats
