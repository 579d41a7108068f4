// Weighted least squares with each candidate weight: on whole numbers for the
// weights that are rational, with fifty digits for the roots.
#include "stats/precisefigures.h"
#include "stats/studentttable.h"
#include "stats/weighting.h"
#include "stats/wholestudy.h"

#include <algorithm>

namespace stats {

namespace {

bool rootWeight(Weight w) { return w == Weight::InverseRootX || w == Weight::InverseRootY; }

// Why `weight` cannot weigh this study; empty when it can. (dx, dy > 0: a
// whole number has the sign of its amount.)
std::string undefinedBecause(const WholeStudy &whole, Weight weight)
{
    auto anyNotPositive = [](const std::vector<mpz_class> &v) {
        return std::any_of(v.begin(), v.end(), [](const mpz_class &z) { return sgn(z) <= 0; });
    };
    switch (weight) {
    case Weight::None:
        return {};
    case Weight::InverseRootX:
    case Weight::InverseX:
    case Weight::InverseX2:
        return anyNotPositive(whole.x) ? "una cantidad adicionada es cero o negativa" : "";
    case Weight::InverseRootY:
    case Weight::InverseY:
    case Weight::InverseY2:
        return anyNotPositive(whole.y) ? "una cantidad recuperada es cero o negativa" : "";
    case Weight::InverseVariance:
        for (const Level &l : whole.levels) {
            if (l.replicates() < 2)
                return "el nivel " + std::to_string(l.level) + " tiene menos de 2 réplicas";
            if (sgn(l.squares) == 0)
                return "las réplicas del nivel " + std::to_string(l.level) + " son iguales (s = 0)";
        }
        return {};
    }
    return {};
}

std::vector<mpz_class> squares(std::vector<mpz_class> v)
{
    for (mpz_class &z : v)
        mpz_mul(z.get_mpz_t(), z.get_mpz_t(), z.get_mpz_t());
    return v;
}

// (L/v)^power for a common multiple L of the (positive) v: proportional to 1/v^power.
std::vector<mpz_class> inverses(const std::vector<mpz_class> &v, unsigned long power)
{
    mpz_class l = 1;
    for (const mpz_class &z : v)
        mpz_lcm(l.get_mpz_t(), l.get_mpz_t(), z.get_mpz_t());
    std::vector<mpz_class> w(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        mpz_divexact(w[i].get_mpz_t(), l.get_mpz_t(), v[i].get_mpz_t());
    return power == 1 ? w : squares(std::move(w));
}

// Whole numbers proportional to a rational weight. (Scaling the weights
// changes no line.)
std::vector<mpz_class> wholeWeights(const WholeStudy &whole, Weight weight)
{
    switch (weight) {
    case Weight::InverseX: // every X > 0 here: the shares are L/X
        return whole.shareX;
    case Weight::InverseX2:
        return squares(whole.shareX);
    case Weight::InverseY:
        return inverses(whole.y, 1);
    case Weight::InverseY2:
        return inverses(whole.y, 2);
    case Weight::InverseVariance: {
        // 1/s² = r(r − 1)·dy² / squares for each observation of the level.
        std::vector<mpz_class> spread;
        for (const Level &l : whole.levels)
            spread.push_back(l.squares);
        const std::vector<mpz_class> level = inverses(spread, 1);
        std::vector<mpz_class> w(whole.x.size());
        for (size_t j = 0; j < whole.levels.size(); ++j) {
            const Level &l = whole.levels[j];
            for (int i : l.rows)
                w[static_cast<size_t>(i)] = level[j] * l.replicates() * (l.replicates() - 1);
        }
        return w;
    }
    default:
        return std::vector<mpz_class>(whole.x.size(), mpz_class(1));
    }
}

// One weighted fit on whole numbers, with the sums S0 = ΣW, S1 = ΣWX,
// S2 = ΣWX², T0 = ΣWY, T1 = ΣWXY: Δ = S0·S2 − S1², N = S0·T1 − S1·T0 and
// A = T0·Δ − N·S1 give the slope N·dx/(Δ·dy), the intercept A/(S0·Δ·dy)
// and each residual E/(S0·Δ·dy), E = Y·S0·Δ − A − N·S0·X. Each
// back-calculated amount is (Y·S0·Δ − A)/(S0·N·dx) and its relative error
// E/(S0·N·X). The weights are positive, so S0 > 0 and Δ ≥ 0.
struct WholeFit {
    mpz_class s0, s1, s2, t0, t1, delta, n, a, s0delta, ns0;
    std::vector<mpz_class> e; // the residuals' E, for the chosen line only
};

// The sums by runs of equal X (ΣW and ΣWY of a run times its X), then the
// line; nothing where the weighted slope is zero or every X is the same.
std::optional<WholeFit> fitWhole(const WholeStudy &whole, const std::vector<mpz_class> &w)
{
    WholeFit f;
    mpz_class runW, runWY, term;
    for (const WholeStudy::Run &run : whole.runs) {
        runW = 0, runWY = 0;
        for (size_t i = run.first; i < run.first + run.count; ++i) {
            runW += w[i];
            mpz_addmul(runWY.get_mpz_t(), w[i].get_mpz_t(), whole.y[i].get_mpz_t());
        }
        const mpz_class &x = whole.x[run.first];
        f.s0 += runW;
        f.t0 += runWY;
        mpz_mul(term.get_mpz_t(), runW.get_mpz_t(), x.get_mpz_t());
        f.s1 += term;
        mpz_addmul(f.s2.get_mpz_t(), term.get_mpz_t(), x.get_mpz_t());
        mpz_addmul(f.t1.get_mpz_t(), runWY.get_mpz_t(), x.get_mpz_t());
    }
    f.delta = f.s0 * f.s2 - f.s1 * f.s1;
    f.n = f.s0 * f.t1 - f.s1 * f.t0;
    if (sgn(f.n) == 0 || sgn(f.delta) == 0)
        return std::nullopt;
    f.a = f.t0 * f.delta - f.n * f.s1;
    f.s0delta = f.s0 * f.delta;
    f.ns0 = f.n * f.s0;
    return f;
}

void residuals(const WholeStudy &whole, WholeFit &f)
{
    f.e.resize(whole.x.size());
    for (size_t i = 0; i < f.e.size(); ++i) {
        f.e[i] = whole.y[i] * f.s0delta - f.a;
        mpz_submul(f.e[i].get_mpz_t(), f.ns0.get_mpz_t(), whole.x[i].get_mpz_t());
    }
}

// A candidate's sum of absolute relative errors, as numerator / denominator
// (denominator > 0): the sums are compared without reducing them.
struct Key {
    mpz_class numerator, denominator = 1;
    bool operator<(const Key &other) const
    {
        return cmp(numerator * other.denominator, other.numerator * denominator) < 0;
    }
};

// Σ |100·E/(S0·N·X)| over X ≠ 0, over the common multiple L of those X.
// Within a run, E = Y·S0·Δ − C with C = A + N·S0·X, and S0·Δ > 0: E > 0
// exactly where Y exceeds τ = ⌊C/(S0·Δ)⌋. So Σ|E| = S0·Δ·P − C·m, with P
// the run's Y summed with the sign of their E and m the signs summed: one
// comparison of small numbers per row instead of three long products.
Key sumAbsRelativeError(const WholeStudy &whole, const WholeFit &f)
{
    Key key;
    mpz_class c, threshold, p, sum;
    for (const WholeStudy::Run &run : whole.runs) {
        const mpz_class &x = whole.x[run.first];
        if (sgn(x) == 0)
            continue;
        mpz_mul(c.get_mpz_t(), f.ns0.get_mpz_t(), x.get_mpz_t());
        c += f.a;
        mpz_fdiv_q(threshold.get_mpz_t(), c.get_mpz_t(), f.s0delta.get_mpz_t());
        p = 0;
        long m = 0;
        for (size_t i = run.first; i < run.first + run.count; ++i) {
            if (whole.y[i] > threshold)
                p += whole.y[i], ++m;
            else
                p -= whole.y[i], --m;
        }
        mpz_mul(sum.get_mpz_t(), f.s0delta.get_mpz_t(), p.get_mpz_t());
        sum -= m * c;
        if (sgn(x) < 0) // L/X < 0: the relative error is over |x|
            mpz_neg(sum.get_mpz_t(), sum.get_mpz_t());
        mpz_addmul(key.numerator.get_mpz_t(), sum.get_mpz_t(), whole.shareX[run.first].get_mpz_t());
    }
    key.numerator *= 100;
    key.denominator = whole.multipleX * f.ns0;
    mpz_abs(key.denominator.get_mpz_t(), key.denominator.get_mpz_t());
    return key;
}

void exactCandidate(const WholeStudy &whole, WeightCandidate &c, Key &key)
{
    const std::optional<WholeFit> f = fitWhole(whole, wholeWeights(whole, c.weight));
    if (!f) {
        c.undefinedBecause = "la pendiente ponderada es cero";
        return;
    }
    key = sumAbsRelativeError(whole, *f);
    c.slope = Real::Fraction(f->n * whole.dx, f->delta * whole.dy);
    c.intercept = Real::Fraction(f->a, f->s0delta * whole.dy);
    c.sumAbsRelativeError = Real::Fraction(key.numerator, key.denominator);
}

// The relative errors of each level averaged: 100·Σ(E/X)/(S0·N·r), over a
// common multiple of the level's amounts; none where an amount is zero.
template <class Add>
void levelBias(const WholeStudy &whole, WeightedLine &r, Add meanRelativeError)
{
    for (const Level &level : whole.levels) {
        const bool assessed = std::none_of(level.rows.begin(), level.rows.end(), [&whole](int i) {
                                  return sgn(whole.x[static_cast<size_t>(i)]) == 0;
                              });
        r.levelBias.push_back({level.level, Real(level.x), assessed ? Figure(meanRelativeError(level)) : std::nullopt});
    }
}

void limits(WeightedLine &r, const Rational &slope, const Rational &intercept, const Rational &slopeVariance,
            const Rational &interceptVariance, const Rational &t)
{
    r.slope = slope;
    r.intercept = intercept;
    r.slopeSe = Real::Sqrt(slopeVariance);
    r.interceptSe = Real::Sqrt(interceptVariance);
    r.slopeUpperLimit = Real::Surd(slope, t, slopeVariance);
    r.slopeLowerLimit = Real::Surd(slope, -t, slopeVariance);
    r.interceptUpperLimit = Real::Surd(intercept, t, interceptVariance);
    r.interceptLowerLimit = Real::Surd(intercept, -t, interceptVariance);
    r.criticalT = t;
}

WeightedLine exactLine(const WholeStudy &whole, const std::vector<mpz_class> &w, const WholeFit &f)
{
    WeightedLine r;
    const long n = whole.n();
    const Rational t = DecimalOf(StudentTTable::value(static_cast<int>(n) - 2));
    // Q = ΣW·E²; with the weights normalised to a mean of 1 (w = W·n/S0):
    // mse = n·Q / (S0·(S0·Δ·dy)²·(n − 2)), var b = Q·dx² / (S0·Δ³·dy²·(n − 2)),
    // var a = Q·S2 / ((S0·Δ·dy)²·(n − 2)·Δ).
    mpz_class q, we;
    for (size_t i = 0; i < w.size(); ++i) {
        we = w[i] * f.e[i];
        mpz_addmul(q.get_mpz_t(), we.get_mpz_t(), f.e[i].get_mpz_t());
    }
    const mpz_class scale = f.s0delta * whole.dy, scale2 = scale * scale * (n - 2);
    r.sdRegression = Real::Sqrt(Quotient(n * q, f.s0 * scale2));
    limits(r, Quotient(f.n * whole.dx, f.delta * whole.dy), Quotient(f.a, scale),
           Quotient(q * whole.dx * whole.dx, f.s0 * f.delta * f.delta * f.delta * whole.dy * whole.dy * (n - 2)),
           Quotient(q * f.s2, scale2 * f.delta), t);
    const mpz_class backDenominator = f.ns0 * whole.dx;
    mpz_class back;
    for (size_t i = 0; i < w.size(); ++i) {
        const Observation &o = whole.study.observations[i];
        back = whole.y[i] * f.s0delta - f.a;
        BackCalculation row{static_cast<int>(i + 1), o.level, Real(o.exactX), Real::Fraction(back, backDenominator),
                            std::nullopt};
        if (sgn(whole.x[i]) != 0)
            row.relativeError = Real::Fraction(100 * f.e[i], f.ns0 * whole.x[i]);
        r.backCalculated.push_back(std::move(row));
    }
    levelBias(whole, r, [&](const Level &level) {
        mpz_class l = 1, sum, share;
        for (int i : level.rows)
            mpz_lcm(l.get_mpz_t(), l.get_mpz_t(), whole.x[static_cast<size_t>(i)].get_mpz_t());
        for (int i : level.rows) {
            mpz_divexact(share.get_mpz_t(), l.get_mpz_t(), whole.x[static_cast<size_t>(i)].get_mpz_t());
            mpz_addmul(sum.get_mpz_t(), f.e[static_cast<size_t>(i)].get_mpz_t(), share.get_mpz_t());
        }
        return Real::Fraction(100 * sum, f.ns0 * level.replicates() * l);
    });
    return r;
}

// --- the roots of weights, with fifty digits --------------------------------

// A root weight's line on the whole numbers, with fifty digits and no
// temporaries: w = 1/√V (V = X or Y; the scale of a weight changes no line),
// summed by runs of equal X as the whole weights are, and centred on the
// weighted means: Sxx = Σ W·d² and Sxy = Σ d·(WY − W·ȳ) over the runs, with
// W and WY a run's sums and d its X − x̄. The slope and intercept are in
// whole units.
struct RootFit {
    std::vector<Fifty> w; // each row's weight
    Fifty sumW, meanX, meanY, sxx, slope, intercept;
};

std::optional<RootFit> fitRoots(const WholeStudy &whole, Weight weight)
{
    const size_t n = whole.x.size();
    const std::vector<mpz_class> &x = whole.x, &y = whole.y;
    const std::vector<mpz_class> &v = weight == Weight::InverseRootX ? x : y;
    RootFit f;
    f.w.resize(n);
    std::vector<Fifty> runW(whole.runs.size()), runWY(whole.runs.size());
    Fifty s1, t0, sxy, d, term;
    for (size_t k = 0; k < whole.runs.size(); ++k) {
        const WholeStudy::Run &run = whole.runs[k];
        for (size_t i = run.first; i < run.first + run.count; ++i) {
            if (i > 0 && v[i] == v[i - 1]) {
                mpfr_set(MpfrOf(f.w[i]), MpfrOf(f.w[i - 1]), MPFR_RNDN);
            } else {
                mpfr_set_z(MpfrOf(term), v[i].get_mpz_t(), MPFR_RNDN);
                mpfr_rec_sqrt(MpfrOf(f.w[i]), MpfrOf(term), MPFR_RNDN);
            }
            mpfr_add(MpfrOf(runW[k]), MpfrOf(runW[k]), MpfrOf(f.w[i]), MPFR_RNDN);
            mpfr_mul_z(MpfrOf(term), MpfrOf(f.w[i]), y[i].get_mpz_t(), MPFR_RNDN);
            mpfr_add(MpfrOf(runWY[k]), MpfrOf(runWY[k]), MpfrOf(term), MPFR_RNDN);
        }
        mpfr_add(MpfrOf(f.sumW), MpfrOf(f.sumW), MpfrOf(runW[k]), MPFR_RNDN);
        mpfr_mul_z(MpfrOf(term), MpfrOf(runW[k]), x[run.first].get_mpz_t(), MPFR_RNDN);
        mpfr_add(MpfrOf(s1), MpfrOf(s1), MpfrOf(term), MPFR_RNDN);
        mpfr_add(MpfrOf(t0), MpfrOf(t0), MpfrOf(runWY[k]), MPFR_RNDN);
    }
    mpfr_div(MpfrOf(f.meanX), MpfrOf(s1), MpfrOf(f.sumW), MPFR_RNDN);
    mpfr_div(MpfrOf(f.meanY), MpfrOf(t0), MpfrOf(f.sumW), MPFR_RNDN);
    for (size_t k = 0; k < whole.runs.size(); ++k) {
        mpfr_z_sub(MpfrOf(d), x[whole.runs[k].first].get_mpz_t(), MpfrOf(f.meanX), MPFR_RNDN);
        mpfr_mul(MpfrOf(term), MpfrOf(runW[k]), MpfrOf(d), MPFR_RNDN);
        mpfr_mul(MpfrOf(term), MpfrOf(term), MpfrOf(d), MPFR_RNDN);
        mpfr_add(MpfrOf(f.sxx), MpfrOf(f.sxx), MpfrOf(term), MPFR_RNDN);
        mpfr_mul(MpfrOf(term), MpfrOf(runW[k]), MpfrOf(f.meanY), MPFR_RNDN);
        mpfr_sub(MpfrOf(term), MpfrOf(runWY[k]), MpfrOf(term), MPFR_RNDN);
        mpfr_mul(MpfrOf(term), MpfrOf(term), MpfrOf(d), MPFR_RNDN);
        mpfr_add(MpfrOf(sxy), MpfrOf(sxy), MpfrOf(term), MPFR_RNDN);
    }
    if (mpfr_zero_p(MpfrOf(sxy)) || mpfr_zero_p(MpfrOf(f.sxx)))
        return std::nullopt;
    mpfr_div(MpfrOf(f.slope), MpfrOf(sxy), MpfrOf(f.sxx), MPFR_RNDN);
    mpfr_mul(MpfrOf(d), MpfrOf(f.slope), MpfrOf(f.meanX), MPFR_RNDN);
    mpfr_sub(MpfrOf(f.intercept), MpfrOf(f.meanY), MpfrOf(d), MPFR_RNDN);
    return f;
}

// The slope b·dx/dy and the intercept a/dy in the study's units.
Fifty studySlope(const WholeStudy &whole, const RootFit &f) { return f.slope * FiftyOf(Rational(whole.dx, whole.dy)); }
Fifty studyIntercept(const WholeStudy &whole, const RootFit &f) { return f.intercept / FiftyOf(whole.dy); }

// Σ|100·(Y − c)/(b·X)| over X ≠ 0, c = a + b·X the fitted Y of a run: by runs
// as for the whole weights, Σ|Y − c| = P − m·c with P the run's Y summed with
// the sign of Y − c and m the signs summed.
Fifty sumAbsRelativeError(const WholeStudy &whole, const RootFit &f)
{
    Fifty sum, c, runSum;
    mpz_class p;
    for (const WholeStudy::Run &run : whole.runs) {
        const mpz_class &x = whole.x[run.first];
        if (sgn(x) == 0)
            continue;
        mpfr_mul_z(MpfrOf(c), MpfrOf(f.slope), x.get_mpz_t(), MPFR_RNDN);
        mpfr_add(MpfrOf(c), MpfrOf(c), MpfrOf(f.intercept), MPFR_RNDN);
        p = 0;
        long m = 0;
        for (size_t i = run.first; i < run.first + run.count; ++i) {
            if (mpfr_cmp_z(MpfrOf(c), whole.y[i].get_mpz_t()) < 0)
                p += whole.y[i], ++m;
            else
                p -= whole.y[i], --m;
        }
        mpfr_mul_si(MpfrOf(runSum), MpfrOf(c), m, MPFR_RNDN);
        mpfr_z_sub(MpfrOf(runSum), p.get_mpz_t(), MpfrOf(runSum), MPFR_RNDN);
        mpfr_div_z(MpfrOf(runSum), MpfrOf(runSum), x.get_mpz_t(), MPFR_RNDN);
        mpfr_abs(MpfrOf(runSum), MpfrOf(runSum), MPFR_RNDN); // X may be negative
        mpfr_add(MpfrOf(sum), MpfrOf(sum), MpfrOf(runSum), MPFR_RNDN);
    }
    mpfr_div(MpfrOf(sum), MpfrOf(sum), MpfrOf(f.slope), MPFR_RNDN);
    mpfr_abs(MpfrOf(sum), MpfrOf(sum), MPFR_RNDN);
    mpfr_mul_ui(MpfrOf(sum), MpfrOf(sum), 100, MPFR_RNDN);
    return sum;
}

void rootCandidate(const WholeStudy &whole, WeightCandidate &c, Key &key)
{
    const std::optional<RootFit> f = fitRoots(whole, c.weight);
    if (!f) {
        c.undefinedBecause = "la pendiente ponderada es cero";
        return;
    }
    const Rational exactSum = RationalOf(sumAbsRelativeError(whole, *f));
    c.slope = RealOf(studySlope(whole, *f));
    c.intercept = RealOf(studyIntercept(whole, *f));
    c.sumAbsRelativeError = exactSum;
    key.numerator = exactSum.get_num();
    key.denominator = exactSum.get_den();
}

// The line with the weights normalised to a mean of 1 (Σw' = n, Sxx' = Sxx·n/Σw),
// in the study's units: residuals over dy, Sxx over dx².
WeightedLine rootLine(const WholeStudy &whole, const RootFit &f)
{
    WeightedLine r;
    const int n = whole.n();
    const Rational t = DecimalOf(StudentTTable::value(n - 2));
    const Fifty scale = n / f.sumW, dx = FiftyOf(whole.dx), dy = FiftyOf(whole.dy);
    Fifty sse, e;
    for (size_t i = 0; i < f.w.size(); ++i) {
        e = (FiftyOf(Rational(whole.y[i])) - f.intercept - f.slope * FiftyOf(Rational(whole.x[i]))) / dy;
        sse += f.w[i] * e * e;
    }
    const Fifty mse = scale * sse / (n - 2), sxx = scale * f.sxx / (dx * dx), meanX = f.meanX / dx;
    const Fifty slopeVariance = mse / sxx, interceptVariance = mse * (Fifty(1) / n + meanX * meanX / sxx);
    const Fifty slopeRoot = sqrt(slopeVariance), interceptRoot = sqrt(interceptVariance), tt = FiftyOf(t);
    const Fifty slope = studySlope(whole, f), intercept = studyIntercept(whole, f);
    r.slope = RealOf(slope);
    r.intercept = RealOf(intercept);
    r.sdRegression = RealOf(sqrt(mse));
    r.slopeSe = RealOf(slopeRoot);
    r.interceptSe = RealOf(interceptRoot);
    r.slopeUpperLimit = RealOf(slope + tt * slopeRoot);
    r.slopeLowerLimit = RealOf(slope - tt * slopeRoot);
    r.interceptUpperLimit = RealOf(intercept + tt * interceptRoot);
    r.interceptLowerLimit = RealOf(intercept - tt * interceptRoot);
    r.criticalT = t;
    // each row's relative error 100·((Y − a)/(b·X) − 1), 0 where X is 0
    std::vector<Fifty> relative(f.w.size());
    for (size_t i = 0; i < f.w.size(); ++i) {
        const Observation &o = whole.study.observations[i];
        const Fifty wholeBack = (FiftyOf(Rational(whole.y[i])) - f.intercept) / f.slope;
        BackCalculation row{static_cast<int>(i + 1), o.level, Real(o.exactX), RealOf(Fifty(wholeBack / dx)), std::nullopt};
        if (sgn(whole.x[i]) != 0) {
            relative[i] = (wholeBack / FiftyOf(Rational(whole.x[i])) - 1) * 100;
            row.relativeError = RealOf(relative[i]);
        }
        r.backCalculated.push_back(std::move(row));
    }
    levelBias(whole, r, [&](const Level &level) {
        Fifty sum;
        for (int i : level.rows)
            sum += relative[static_cast<size_t>(i)];
        return RealOf(Fifty(sum / level.replicates()));
    });
    return r;
}

} // namespace

std::vector<WeightCandidate> RankWeights(const WholeStudy &whole)
{
    std::vector<WeightCandidate> candidates;
    std::vector<Key> keys(Weights().size());
    for (Weight weight : Weights()) {
        WeightCandidate &c = candidates.emplace_back();
        c.weight = weight;
        c.undefinedBecause = undefinedBecause(whole, weight);
        if (!c.undefinedBecause.empty())
            continue;
        Key &key = keys[candidates.size() - 1];
        if (rootWeight(weight))
            rootCandidate(whole, c, key);
        else
            exactCandidate(whole, c, key);
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

std::vector<WeightCandidate> RankWeights(const LinearityStudy &study) { return RankWeights(WholeStudy(study)); }

std::optional<WeightedLine> FitWeightedLine(const WholeStudy &whole, Weight weight)
{
    if (!undefinedBecause(whole, weight).empty())
        return std::nullopt;
    if (rootWeight(weight)) {
        const std::optional<RootFit> f = fitRoots(whole, weight);
        return f ? std::optional(rootLine(whole, *f)) : std::nullopt;
    }
    const std::vector<mpz_class> w = wholeWeights(whole, weight);
    std::optional<WholeFit> f = fitWhole(whole, w);
    if (!f)
        return std::nullopt;
    residuals(whole, *f);
    return exactLine(whole, w, *f);
}

std::optional<WeightedLine> FitWeightedLine(const LinearityStudy &study, Weight weight)
{
    return FitWeightedLine(WholeStudy(study), weight);
}

} // namespace stats
