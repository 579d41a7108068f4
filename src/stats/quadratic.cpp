#include "stats/quadratic.h"

#include "stats/leastsquares.h"

#include <algorithm>
#include <string_view>

namespace stats {

namespace {

// The observations of each level: their count, amount sum and response
// sums, for the level amounts and the pure error.
struct LevelSums {
    int count = 0;
    Rational sumX, sumY, sumY2;
};

// The highest level number an observation carries.
size_t levelCount(const LinearityStudy &study)
{
    int levels = study.k();
    for (const Observation &o : study.observations)
        levels = std::max(levels, o.level);
    return static_cast<size_t>(levels);
}

std::vector<LevelSums> levelSums(const LinearityStudy &study)
{
    std::vector<LevelSums> sums(levelCount(study));
    for (const Observation &o : study.observations) {
        LevelSums &s = sums[static_cast<size_t>(o.level - 1)];
        ++s.count;
        s.sumX += o.exactX;
        s.sumY += o.exactY;
        s.sumY2 += o.exactY * o.exactY;
    }
    std::erase_if(sums, [](const LevelSums &s) { return s.count == 0; });
    return sums;
}

// The fit on centred amounts u = x − x̄ in the basis 1, u, q = u² − α·u − β,
// whose columns are orthogonal: each coefficient is a ratio of sums and the
// curvature's share of the line's residual sum of squares is (Σ y·q)²/Σ q².
struct OrthogonalFit {
    Rational alpha, beta, suu, sqq, a0, a1, a2, sse;
};

OrthogonalFit orthogonalFit(const LinearityStudy &study, const ExactLine &line)
{
    OrthogonalFit f;
    Rational su3;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX, u2 = u * u;
        f.suu += u2;
        su3 += u2 * u;
    }
    f.alpha = su3 / f.suu;
    f.beta = f.suu / line.n;
    Rational syq;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX;
        const Rational q = u * u - f.alpha * u - f.beta;
        f.sqq += q * q;
        syq += (o.exactY - line.meanY) * q;
    }
    f.a0 = line.meanY;
    f.a1 = line.slope;
    if (sgn(f.sqq) != 0) {
        f.a2 = syq / f.sqq;
        f.sse = line.sse - syq * f.a2;
    }
    return f;
}

void fillAnova(QuadraticResult &r, const ExactLine &line, const Rational &sse, int n, int dfError,
               const std::vector<LevelSums> &levels)
{
    QuadraticAnova &a = r.anova;
    const Rational ssRegression = line.syy - sse, msError = sse / dfError;
    a.ssRegression = Real(ssRegression);
    a.msRegression = Real(Rational(ssRegression / 2));
    const Rational f = ssRegression / 2 / msError;
    a.fRegression = Real(f);
    a.pRegression = Real::FUpperTail(f, 2, dfError);
    a.dfError = Real(dfError);
    a.ssError = Real(sse);
    a.msError = Real(msError);

    const int k = static_cast<int>(levels.size()), dfPure = n - k;
    Rational ssPure;
    for (const LevelSums &s : levels)
        ssPure += s.sumY2 - s.sumY * s.sumY / s.count;
    if (dfPure < 1 || sgn(ssPure) == 0)
        return; // no replicates, or identical ones: no pure error to judge by
    const Rational msPure = ssPure / dfPure;
    if (k - 2 >= 1) {
        const Rational lineF = (line.sse - ssPure) / (k - 2) / msPure;
        r.lineLackOfFitP = Real::FUpperTail(lineF, k - 2, dfPure);
    }
    if (k < 4)
        return;
    const Rational ssLack = sse - ssPure, msLack = ssLack / (k - 3), lackF = msLack / msPure;
    a.lackOfFitAssessed = true;
    a.dfLackOfFit = Real(k - 3);
    a.ssLackOfFit = Real(ssLack);
    a.msLackOfFit = Real(msLack);
    a.fLackOfFit = Real(lackF);
    a.pLackOfFit = Real::FUpperTail(lackF, k - 3, dfPure);
    a.dfPureError = Real(dfPure);
    a.ssPureError = Real(ssPure);
    a.msPureError = Real(msPure);
}

// x̂ with c0 + c1·x̂ + c2·x̂² = y on the side `side` (+1 above the vertex, −1
// below): vertex + side·√(c1² − 4·c2·(c0 − y)) / (2·|c2|); the line's root
// when c2 = 0.
Figure backCalculated(const Rational &y, const Rational &c0, const Rational &c1, const Rational &c2,
                      const Rational &vertex, int side)
{
    if (sgn(c2) == 0)
        return sgn(c1) == 0 ? Figure() : Figure(Real(Rational((y - c0) / c1)));
    const Rational discriminant = c1 * c1 - 4 * c2 * (c0 - y);
    if (sgn(discriminant) < 0)
        return std::nullopt;
    return Real::Surd(vertex, Rational(side) / (2 * abs(c2)), discriminant);
}

void backCalculate(QuadraticResult &r, const LinearityStudy &study, const Rational &c0, const Rational &c1,
                   const Rational &c2, const Rational &vertex, int side, size_t levels)
{
    struct Bias {
        Rational x, sum;
        int count = 0;
        bool assessed = true;
    };
    std::vector<Bias> bias(levels);
    Rational squares;
    bool everyRow = study.n() >= 3;
    r.backCalculated.reserve(study.observations.size());
    for (int i = 0; i < study.n(); ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        QuadraticBackCalculation row{i + 1, o.level, Real(o.exactX),
                                     backCalculated(o.exactY, c0, c1, c2, vertex, side), std::nullopt};
        Bias &b = bias[static_cast<size_t>(o.level - 1)];
        b.x += o.exactX;
        ++b.count;
        if (row.xBack && sgn(o.exactX) != 0) {
            row.relativeError = row.xBack->plus(-o.exactX).times(100 / o.exactX);
            const Rational relative = row.relativeError->approximation();
            b.sum += relative;
            squares += relative * relative;
        } else {
            b.assessed = everyRow = false;
        }
        r.backCalculated.push_back(std::move(row));
    }
    for (size_t j = 0; j < levels; ++j) {
        if (bias[j].count == 0)
            continue;
        const Figure mean = bias[j].assessed ? Figure(Real::Approximation(bias[j].sum / bias[j].count)) : Figure();
        r.levelBias.push_back({static_cast<int>(j) + 1, Real(Rational(bias[j].x / bias[j].count)), mean});
        if (mean && (!r.largestLevelBias || mean->abs().compare(r.largestLevelBias->approximation()) > 0))
            r.largestLevelBias = mean->abs();
    }
    // 100 √(Σ((x̂ − x)/x)² / (n − 2)), the relative errors being in per cent.
    if (everyRow)
        r.relativeStandardError = Real::Sqrt(squares / (study.n() - 2));
}

void choose(QuadraticResult &r, const AcceptanceLimits &limits)
{
    r.model = ModelChoice::Linear;
    if (!r.mandelP || r.mandelP->compare(DecimalOf(limits.minMandelP)) >= 0)
        r.reason = ChoiceReason::MandelNotSignificant;
    else if (!r.monotonic)
        r.reason = ChoiceReason::QuadraticNotMonotonic;
    else if (r.anova.lackOfFitAssessed && r.anova.pLackOfFit.compare(DecimalOf(limits.minLackOfFitP)) < 0)
        r.reason = ChoiceReason::QuadraticLackOfFit;
    else {
        r.model = ModelChoice::Quadratic;
        r.reason = ChoiceReason::QuadraticBetter;
    }
}

bool threeDistinctAmounts(const LinearityStudy &study)
{
    std::vector<const Rational *> distinct;
    for (const Observation &o : study.observations) {
        if (std::none_of(distinct.begin(), distinct.end(), [&](const Rational *x) { return *x == o.exactX; }))
            distinct.push_back(&o.exactX);
        if (distinct.size() >= 3)
            return true;
    }
    return false;
}

} // namespace

QuadraticResult ComputeQuadratic(const LinearityStudy &study, const AcceptanceLimits &limits)
{
    QuadraticResult r;
    r.limits = limits;
    const int n = study.n();
    if (n < 4 || !threeDistinctAmounts(study)) {
        r.notFitted = kQuadraticTooFewAmounts;
        return r;
    }
    const ExactLine &line = FitLine(study);
    const OrthogonalFit f = orthogonalFit(study, line);
    if (sgn(f.sse) <= 0) {
        r.notFitted = kQuadraticExactFit;
        return r;
    }
    // Back to powers of x: u = x − x̄.
    const Rational &m = line.meanX;
    const Rational shift1 = f.alpha + 2 * m, shift0 = m * m + f.alpha * m - f.beta;
    const Rational c2 = f.a2, c1 = f.a1 - f.a2 * shift1, c0 = f.a0 - f.a1 * m + f.a2 * shift0;
    r.c0 = Real(c0);
    r.c1 = Real(c1);
    r.c2 = Real(c2);
    // The basis is orthogonal: the variances are s²/n, s²/Suu and s²/Sqq,
    // carried through the same change of basis.
    const int dfError = n - 3; // three coefficients
    const Rational s2 = f.sse / dfError;
    r.c2Se = Real::Sqrt(s2 / f.sqq);
    r.c1Se = Real::Sqrt(s2 * (1 / f.suu + shift1 * shift1 / f.sqq));
    r.c0Se = Real::Sqrt(s2 * (1 / line.n + m * m / f.suu + shift0 * shift0 / f.sqq));
    r.sdRegression = Real::Sqrt(s2);
    r.rSquared = Real(Rational(1 - f.sse / line.syy));

    const std::vector<LevelSums> levels = levelSums(study);
    fillAnova(r, line, f.sse, n, dfError, levels);
    const Rational mandelF = (line.sse - f.sse) / s2;
    r.mandelF = Real(mandelF);
    r.mandelP = Real::FUpperTail(mandelF, 1, dfError);

    Rational lowest, highest;
    for (size_t j = 0; j < levels.size(); ++j) {
        const Rational x = levels[j].sumX / levels[j].count;
        lowest = j == 0 ? x : std::min(lowest, x);
        highest = j == 0 ? x : std::max(highest, x);
    }
    auto sensitivity = [&](const Rational &x) { return Rational(c1 + 2 * c2 * x); };
    const Rational eLow = sensitivity(lowest), eHigh = sensitivity(highest), eMean = sensitivity(m);
    r.lowestLevel = Real(lowest);
    r.highestLevel = Real(highest);
    r.meanX = Real(m);
    r.sensitivityLow = Real(eLow);
    r.sensitivityHigh = Real(eHigh);
    r.sensitivityMean = Real(eMean);
    Rational vertex;
    if (sgn(c2) != 0) {
        vertex = -c1 / (2 * c2);
        r.vertex = Real(vertex);
    }
    const bool vertexOutside = !r.vertex || vertex < lowest || vertex > highest;
    r.monotonic = sgn(eLow) != 0 && sgn(eLow) == sgn(eHigh) && vertexOutside;
    if (sgn(eMean) != 0) {
        r.sx0 = Real::Surd(0, 1 / abs(eMean), s2);
        if (sgn(m) != 0)
            r.vx0 = Real::Surd(0, 100 / abs(eMean) / m, s2);
    }
    // The studied side of the vertex: where the mean amount lies (the
    // highest level when the mean is on it).
    const int side = sgn(m - vertex) != 0 ? sgn(m - vertex) : sgn(highest - vertex) != 0 ? sgn(highest - vertex) : 1;
    backCalculate(r, study, c0, c1, c2, vertex, side, levelCount(study));
    choose(r, limits);
    return r;
}

void CompareWithLine(QuadraticResult &quadratic, const CriteriaResult &line)
{
    quadratic.lineRelativeStandardError = line.relativeStandardError;
    for (const CriteriaCheck &check : line.checks)
        if (std::string_view(check.name) == "levelBias")
            quadratic.lineLargestLevelBias = check.value.at(0);
}

const char *ModelKey(ModelChoice model) { return model == ModelChoice::Quadratic ? "quadratic" : "linear"; }

const char *ChoiceReasonKey(ChoiceReason reason)
{
    switch (reason) {
    case ChoiceReason::MandelNotSignificant: return "mandel_not_significant";
    case ChoiceReason::QuadraticBetter: return "quadratic_better";
    case ChoiceReason::QuadraticNotMonotonic: return "quadratic_not_monotonic";
    case ChoiceReason::QuadraticLackOfFit: break;
    }
    return "quadratic_lack_of_fit";
}

} // namespace stats
