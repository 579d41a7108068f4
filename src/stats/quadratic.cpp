#include "stats/quadratic.h"

#include "stats/leastsquares.h"
#include "stats/levels.h"
#include "stats/parabola.h"

#include <string_view>

namespace stats {

namespace {

// Its lack of fit needs replicates and four levels or more; the straight
// line's, beside it, three.
void fillAnova(QuadraticResult &r, const ExactLine &line, const OrthogonalParabola &f, const StudyLevels &levels)
{
    AnovaResult &a = r.anova;
    const Rational ssRegression = line.syy - f.sse, msError = f.sse / f.dfError;
    a.dfRegression = 2;
    a.ssRegression = Real(ssRegression);
    a.msRegression = Real(Rational(ssRegression / 2));
    const Rational fRegression = ssRegression / 2 / msError;
    a.fRegression = Real(fRegression);
    a.pRegression = Real::FUpperTail(fRegression, 2, f.dfError);
    a.dfError = Real(f.dfError);
    a.ssError = Real(f.sse);
    a.msError = Real(msError);

    const int k = levels.count(), dfPure = levels.pureErrorDf;
    const Rational &ssPure = levels.pureErrorSquares;
    if (dfPure < 1 || sgn(ssPure) == 0)
        return; // no replicates, or identical ones: no pure error to judge by
    const Rational msPure = ssPure / dfPure;
    if (k - 2 >= 1) {
        const Rational lineF = (line.sse - ssPure) / (k - 2) / msPure;
        r.lineLackOfFitP = Real::FUpperTail(lineF, k - 2, dfPure);
    }
    if (k < 4)
        return;
    const Rational ssLack = f.sse - ssPure, msLack = ssLack / (k - 3), lackF = msLack / msPure;
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

void backCalculate(QuadraticResult &r, const LinearityStudy &study, const StudyLevels &levels, const Rational &c0,
                   const Rational &c1, const Rational &c2, const Rational &vertex, int side)
{
    r.backCalculated.reserve(study.observations.size());
    for (int i = 0; i < study.n(); ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        BackCalculation row{i + 1, o.level, Real(o.exactX), backCalculated(o.exactY, c0, c1, c2, vertex, side),
                            std::nullopt};
        if (row.xBack && sgn(o.exactX) != 0)
            row.relativeError = row.xBack->plus(-o.exactX).times(100 / o.exactX);
        r.backCalculated.push_back(std::move(row));
    }
    r.levelBias = LevelBiases(levels, r.backCalculated);
    r.largestLevelBias = LargestLevelBias(r.levelBias);
    r.relativeStandardError = RelativeStandardError(r.backCalculated);
}

void choose(QuadraticResult &r, const AcceptanceLimits &limits)
{
    r.model = ModelChoice::Linear;
    if (!r.mandelP || r.mandelP->compare(DecimalOf(limits.minMandelP)) >= 0)
        r.reason = ChoiceReason::MandelNotSignificant;
    else if (!r.monotonic)
        r.reason = ChoiceReason::QuadraticNotMonotonic;
    else if (HasPureError(r.anova) && r.anova.pLackOfFit.compare(DecimalOf(limits.minLackOfFitP)) < 0)
        r.reason = ChoiceReason::QuadraticLackOfFit;
    else {
        r.model = ModelChoice::Quadratic;
        r.reason = ChoiceReason::QuadraticBetter;
    }
}

} // namespace

QuadraticResult ComputeQuadratic(const LinearityStudy &study, const AcceptanceLimits &limits)
{
    QuadraticResult r;
    r.limits = limits;
    const std::optional<OrthogonalParabola> parabola = FitParabola(study);
    if (!parabola) {
        r.notFitted = kQuadraticTooFewAmounts;
        return r;
    }
    const OrthogonalParabola &f = *parabola;
    if (sgn(f.sse) <= 0) {
        r.notFitted = kQuadraticExactFit;
        return r;
    }
    const ExactLine &line = FitLine(study);
    const StudyLevels levels = Levels(study);
    // Back to powers of x: u = x − x̄.
    const Rational &m = line.meanX;
    const Rational shift1 = f.alpha + 2 * m, shift0 = m * m + f.alpha * m - f.beta;
    const Rational c2 = f.a2, c1 = f.a1 - f.a2 * shift1, c0 = f.a0 - f.a1 * m + f.a2 * shift0;
    r.c0 = Real(c0);
    r.c1 = Real(c1);
    r.c2 = Real(c2);
    // The basis is orthogonal: the variances are s²/n, s²/Suu and s²/Sqq,
    // carried through the same change of basis.
    const Rational s2 = f.sse / f.dfError;
    r.c2Se = Real::Sqrt(s2 / f.sqq);
    r.c1Se = Real::Sqrt(s2 * (1 / f.suu + shift1 * shift1 / f.sqq));
    r.c0Se = Real::Sqrt(s2 * (1 / line.n + m * m / f.suu + shift0 * shift0 / f.sqq));
    r.sdRegression = Real::Sqrt(s2);
    r.rSquared = Real(Rational(1 - f.sse / line.syy));

    fillAnova(r, line, f, levels);
    const MandelTest mandel = *Mandel(line, f);
    r.mandelF = mandel.f;
    r.mandelP = mandel.p;

    const Rational &lowest = levels.lowestX, &highest = levels.highestX;
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
    backCalculate(r, study, levels, c0, c1, c2, vertex, side);
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
