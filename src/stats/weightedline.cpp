// Weighted least squares with each candidate weight: exact for the weights
// that are rational, with fifty digits for the roots.
#include "stats/levelspread.h"
#include "stats/precisefigures.h"
#include "stats/studentttable.h"
#include "stats/weighting.h"

#include <algorithm>
#include <numeric>

namespace stats {

namespace {

bool rootWeight(Weight w) { return w == Weight::InverseRootX || w == Weight::InverseRootY; }

// Why `weight` cannot weigh this study; empty when it can.
std::string undefinedBecause(const LinearityStudy &study, const std::vector<LevelSpread> &levels, Weight weight)
{
    auto anyNotPositive = [&](Rational Observation::*member) {
        return std::any_of(study.observations.begin(), study.observations.end(),
                           [member](const Observation &o) { return sgn(o.*member) <= 0; });
    };
    switch (weight) {
    case Weight::None:
        return {};
    case Weight::InverseRootX:
    case Weight::InverseX:
    case Weight::InverseX2:
        return anyNotPositive(&Observation::exactX) ? "una cantidad adicionada es cero o negativa" : "";
    case Weight::InverseRootY:
    case Weight::InverseY:
    case Weight::InverseY2:
        return anyNotPositive(&Observation::exactY) ? "una cantidad recuperada es cero o negativa" : "";
    case Weight::InverseVariance:
        for (const LevelSpread &l : levels) {
            if (l.replicates() < 2)
                return "el nivel " + std::to_string(l.level) + " tiene menos de 2 réplicas";
            if (sgn(l.variance) == 0)
                return "las réplicas del nivel " + std::to_string(l.level) + " son iguales (s = 0)";
        }
        return {};
    }
    return {};
}

Rational rationalWeight(Weight weight, const Observation &o, const LevelSpread &level)
{
    switch (weight) {
    case Weight::InverseX:
        return 1 / o.exactX;
    case Weight::InverseX2:
        return 1 / (o.exactX * o.exactX);
    case Weight::InverseY:
        return 1 / o.exactY;
    case Weight::InverseY2:
        return 1 / (o.exactY * o.exactY);
    case Weight::InverseVariance:
        return 1 / level.variance;
    default:
        return 1;
    }
}

// The study's numbers and weights in the arithmetic of a candidate.
template <class T>
struct Weighed {
    std::vector<T> x, y, w;
};

Weighed<Rational> exactly(const LinearityStudy &study, const std::vector<LevelSpread> &levels, Weight weight)
{
    Weighed<Rational> v;
    for (const Observation &o : study.observations) {
        v.x.push_back(o.exactX);
        v.y.push_back(o.exactY);
        v.w.push_back(rationalWeight(weight, o, levels[static_cast<size_t>(o.level - 1)]));
    }
    return v;
}

Weighed<Fifty> withRoots(const LinearityStudy &study, Weight weight)
{
    Weighed<Fifty> v;
    for (const Observation &o : study.observations) {
        v.x.push_back(FiftyOf(o.exactX));
        v.y.push_back(FiftyOf(o.exactY));
        v.w.push_back(1 / sqrt(weight == Weight::InverseRootX ? v.x.back() : v.y.back()));
    }
    return v;
}

Real figure(const Rational &q) { return Real(q); }
Real figure(const Fifty &v) { return RealOf(v); }
// a + t·√variance
Real plusRoot(const Rational &a, const Rational &t, const Rational &variance) { return Real::Surd(a, t, variance); }
Real plusRoot(const Fifty &a, const Rational &t, const Fifty &variance)
{
    return RealOf(a + FiftyOf(t) * sqrt(variance));
}
bool isZero(const Rational &q) { return sgn(q) == 0; }
bool isZero(const Fifty &v) { return v == 0; }

template <class T>
struct Line {
    T n, sumW, meanX, meanY, sxx, slope, intercept;
};

// The weighted line; empty when its slope is zero.
template <class T>
std::optional<Line<T>> fit(const Weighed<T> &v)
{
    Line<T> l;
    l.n = static_cast<int>(v.x.size());
    for (size_t i = 0; i < v.x.size(); ++i) {
        l.sumW += v.w[i];
        l.meanX += v.w[i] * v.x[i];
        l.meanY += v.w[i] * v.y[i];
    }
    l.meanX /= l.sumW;
    l.meanY /= l.sumW;
    T sxy, dx;
    for (size_t i = 0; i < v.x.size(); ++i) {
        dx = v.x[i] - l.meanX;
        l.sxx += v.w[i] * dx * dx;
        sxy += v.w[i] * dx * (v.y[i] - l.meanY);
    }
    if (isZero(sxy) || isZero(l.sxx))
        return std::nullopt;
    l.slope = sxy / l.sxx;
    l.intercept = l.meanY - l.slope * l.meanX;
    return l;
}

// Σ over x ≠ 0 of |100·(x̂ − x)/x|, x̂ = (y − a)/b.
template <class T>
T sumAbsRelativeError(const Weighed<T> &v, const Line<T> &l)
{
    T sum, e;
    for (size_t i = 0; i < v.x.size(); ++i) {
        if (isZero(v.x[i]))
            continue;
        e = ((v.y[i] - l.intercept) / l.slope - v.x[i]) / v.x[i];
        sum += abs(e);
    }
    return 100 * sum;
}

template <class T>
void candidate(const Weighed<T> &v, WeightCandidate &c, Rational &key)
{
    const std::optional<Line<T>> l = fit(v);
    if (!l) {
        c.undefinedBecause = "la pendiente ponderada es cero";
        return;
    }
    const T sum = sumAbsRelativeError(v, *l);
    c.slope = figure(l->slope);
    c.intercept = figure(l->intercept);
    c.sumAbsRelativeError = figure(sum);
    if constexpr (std::is_same_v<T, Rational>)
        key = sum;
    else
        key = RationalOf(sum);
}

// The sums of a rational weight over whole numbers: x = X/Dx, y = Y/Dy and
// w = W/Dw with integer X, Y and W, so that no sum needs a common divisor
// found; one division at the end. (Scaling the weights changes no line.)
struct WholeNumbers {
    std::vector<mpz_class> x, y;
    mpz_class dx = 1, dy = 1;
};

std::vector<mpz_class> wholeOver(const std::vector<Rational> &values, mpz_class &denominator)
{
    denominator = 1;
    for (const Rational &v : values)
        mpz_lcm(denominator.get_mpz_t(), denominator.get_mpz_t(), v.get_den_mpz_t());
    std::vector<mpz_class> whole(values.size());
    mpz_class factor;
    for (size_t i = 0; i < values.size(); ++i) {
        mpz_divexact(factor.get_mpz_t(), denominator.get_mpz_t(), values[i].get_den_mpz_t());
        whole[i] = values[i].get_num() * factor;
    }
    return whole;
}

void exactCandidate(const Weighed<Rational> &v, const WholeNumbers &xy, WeightCandidate &c, Rational &key)
{
    mpz_class dw;
    const std::vector<mpz_class> w = wholeOver(v.w, dw);
    mpz_class s0, s1, s2, t0, t1, wx;
    for (size_t i = 0; i < w.size(); ++i) {
        s0 += w[i];
        wx = w[i] * xy.x[i];
        s1 += wx;
        mpz_addmul(s2.get_mpz_t(), wx.get_mpz_t(), xy.x[i].get_mpz_t());
        t0 += w[i] * xy.y[i];
        mpz_addmul(t1.get_mpz_t(), wx.get_mpz_t(), xy.y[i].get_mpz_t());
    }
    // In the units of X and Y: slope N/Δ, intercept A/(S0·Δ).
    const mpz_class delta = s0 * s2 - s1 * s1, n = s0 * t1 - s1 * t0, a = t0 * delta - n * s1;
    if (sgn(n) == 0 || sgn(delta) == 0) {
        c.undefinedBecause = "la pendiente ponderada es cero";
        return;
    }
    // Each relative error is E/(S0·N·X), E = Y·S0·Δ − A − N·S0·X: the sum of
    // |E|/|X| over a common multiple L of the amounts.
    mpz_class l = 1;
    for (const mpz_class &x : xy.x)
        if (sgn(x) != 0)
            mpz_lcm(l.get_mpz_t(), l.get_mpz_t(), x.get_mpz_t());
    const mpz_class s0delta = s0 * delta, ns0 = n * s0;
    mpz_class sum, e, share;
    for (size_t i = 0; i < xy.x.size(); ++i) {
        if (sgn(xy.x[i]) == 0)
            continue;
        e = xy.y[i] * s0delta - a - ns0 * xy.x[i];
        mpz_divexact(share.get_mpz_t(), l.get_mpz_t(), xy.x[i].get_mpz_t());
        e *= share;
        sum += abs(e);
    }
    Rational slope(n * xy.dx, delta * xy.dy), intercept(a, s0delta * xy.dy);
    key = Rational(100 * sum, abs(l * ns0));
    slope.canonicalize();
    intercept.canonicalize();
    key.canonicalize();
    c.slope = Real(std::move(slope));
    c.intercept = Real(std::move(intercept));
    c.sumAbsRelativeError = Real(key);
}

template <class T>
WeightedLine weightedLine(const LinearityStudy &study, const Weighed<T> &v, const Line<T> &l)
{
    WeightedLine r;
    const int n = study.n();
    const Rational t = DecimalOf(StudentTTable::value(n - 2));
    // Weights normalised to a mean of 1: Σw' = n, Sxx' = Sxx·n/Σw.
    const T scale = l.n / l.sumW;
    T sse, e;
    for (size_t i = 0; i < v.x.size(); ++i) {
        e = v.y[i] - l.intercept - l.slope * v.x[i];
        sse += v.w[i] * e * e;
    }
    const T mse = scale * sse / (n - 2), sxx = scale * l.sxx;
    const T slopeVariance = mse / sxx, interceptVariance = mse * (1 / l.n + l.meanX * l.meanX / sxx);
    r.slope = figure(l.slope);
    r.intercept = figure(l.intercept);
    r.sdRegression = plusRoot(T(0), 1, mse);
    r.slopeSe = plusRoot(T(0), 1, slopeVariance);
    r.interceptSe = plusRoot(T(0), 1, interceptVariance);
    r.slopeUpperLimit = plusRoot(l.slope, t, slopeVariance);
    r.slopeLowerLimit = plusRoot(l.slope, -t, slopeVariance);
    r.interceptUpperLimit = plusRoot(l.intercept, t, interceptVariance);
    r.interceptLowerLimit = plusRoot(l.intercept, -t, interceptVariance);
    r.criticalT = t;

    std::vector<T> biasSum(static_cast<size_t>(study.k()));
    std::vector<bool> assessed(biasSum.size(), true);
    for (size_t i = 0; i < v.x.size(); ++i) {
        const Observation &o = study.observations[i];
        const T back = (v.y[i] - l.intercept) / l.slope;
        BackCalculation row{static_cast<int>(i + 1), o.level, Real(o.exactX), figure(back), std::nullopt};
        if (!isZero(v.x[i])) {
            const T relative = 100 * (back - v.x[i]) / v.x[i];
            biasSum[static_cast<size_t>(o.level - 1)] += relative;
            row.relativeError = figure(relative);
        } else {
            assessed[static_cast<size_t>(o.level - 1)] = false;
        }
        r.backCalculated.push_back(std::move(row));
    }
    for (const LevelSpread &level : LevelSpreads(study)) {
        const size_t j = static_cast<size_t>(level.level - 1);
        r.levelBias.push_back({level.level, Real(level.x),
                               assessed[j] && level.replicates() > 0
                                   ? Figure(figure(T(biasSum[j] / level.replicates())))
                                   : std::nullopt});
    }
    return r;
}

} // namespace

std::vector<WeightCandidate> RankWeights(const LinearityStudy &study)
{
    const std::vector<LevelSpread> levels = LevelSpreads(study);
    WholeNumbers xy;
    {
        std::vector<Rational> x, y;
        for (const Observation &o : study.observations) {
            x.push_back(o.exactX);
            y.push_back(o.exactY);
        }
        xy.x = wholeOver(x, xy.dx);
        xy.y = wholeOver(y, xy.dy);
    }
    std::vector<WeightCandidate> candidates;
    std::vector<Rational> keys(Weights().size());
    for (Weight weight : Weights()) {
        WeightCandidate &c = candidates.emplace_back();
        c.weight = weight;
        c.undefinedBecause = undefinedBecause(study, levels, weight);
        if (!c.undefinedBecause.empty())
            continue;
        Rational &key = keys[candidates.size() - 1];
        if (rootWeight(weight))
            candidate(withRoots(study, weight), c, key);
        else
            exactCandidate(exactly(study, levels, weight), xy, c, key);
    }
    std::vector<size_t> order;
    for (size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i].sumAbsRelativeError)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    for (size_t place = 0; place < order.size(); ++place)
        candidates[order[place]].rank = static_cast<int>(place + 1);
    return candidates;
}

std::optional<WeightedLine> FitWeightedLine(const LinearityStudy &study, Weight weight)
{
    const std::vector<LevelSpread> levels = LevelSpreads(study);
    if (!undefinedBecause(study, levels, weight).empty())
        return std::nullopt;
    if (rootWeight(weight)) {
        const Weighed<Fifty> v = withRoots(study, weight);
        const auto l = fit(v);
        return l ? std::optional(weightedLine(study, v, *l)) : std::nullopt;
    }
    const Weighed<Rational> v = exactly(study, levels, weight);
    const auto l = fit(v);
    return l ? std::optional(weightedLine(study, v, *l)) : std::nullopt;
}

} // namespace stats
