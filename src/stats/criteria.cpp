#include "stats/criteria.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace stats {

namespace {

// Whether the amounts take at least three distinct values (a parabola needs
// them), without sorting or counting them all.
bool threeDistinct(const LinearityStudy &study)
{
    const std::vector<Observation> &o = study.observations;
    size_t second = 1;
    while (second < o.size() && o[second].exactX == o[0].exactX)
        ++second;
    for (size_t i = second + 1; i < o.size(); ++i)
        if (o[i].exactX != o[0].exactX && o[i].exactX != o[second].exactX)
            return true;
    return false;
}

Figure ratio(const Rational &numerator, const Rational &denominator)
{
    if (sgn(denominator) == 0)
        return std::nullopt;
    return Real(Rational(numerator / denominator));
}

// Mandel's test: the parabola's extra sum of squares against the line's.
// The quadratic term is made orthogonal to 1 and x (centred x, then x²
// with its projections removed), so SSE2 = SSE1 - (Σ y q)² / Σ q².
void mandel(const LinearityStudy &study, const ExactLine &line, CriteriaResult &r)
{
    const int df = study.n() - 3;
    if (df < 1 || !threeDistinct(study))
        return;
    Rational su2, su3;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX;
        su2 += u * u;
        su3 += u * u * u;
    }
    const Rational alpha = su3 / su2, beta = su2 / line.n; // q = u² - alpha u - beta
    Rational sqq, syq;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX;
        const Rational q = u * u - alpha * u - beta;
        sqq += q * q;
        syq += (o.exactY - line.meanY) * q;
    }
    const Rational extra = syq * syq / sqq;
    const Rational sse2 = line.sse - extra;
    if (sgn(sse2) <= 0) // a parabola through every point: nothing to test against
        return;
    const Rational f = extra / (sse2 / df);
    r.mandelF = Real(f);
    r.mandelP = Real::FUpperTail(f, 1, df);
}

// The figures each criterion judges.
std::vector<Figure> levelCount(const CriteriaResult &r, const AnovaResult &) { return {Real(r.levels)}; }
std::vector<Figure> range(const CriteriaResult &r, const AnovaResult &) { return {r.rangeLowPercent, r.rangeHighPercent}; }
std::vector<Figure> correlation(const CriteriaResult &r, const AnovaResult &) { return {r.r}; }
std::vector<Figure> intercept(const CriteriaResult &r, const AnovaResult &) { return {r.interceptPercent}; }
// The largest bias among the levels that can be judged (a level at an amount
// of 0 has no relative error).
std::vector<Figure> largestLevelBias(const CriteriaResult &r, const AnovaResult &)
{
    Figure largest;
    for (const LevelBias &b : r.levelBias)
        if (b.meanRelativeError && (!largest || b.meanRelativeError->abs().compare(largest->rational()) > 0))
            largest = b.meanRelativeError->abs();
    return {largest};
}
std::vector<Figure> responseFactorRsd(const CriteriaResult &r, const AnovaResult &) { return {r.responseFactorRsd}; }
std::vector<Figure> lackOfFit(const CriteriaResult &, const AnovaResult &anova)
{
    return {HasPureError(anova) ? Figure(anova.pLackOfFit) : std::nullopt};
}
std::vector<Figure> mandelP(const CriteriaResult &r, const AnovaResult &) { return {r.mandelP}; }

using enum Direction;
using L = AcceptanceLimits;
constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr LimitBounds kProbability = {.low = 0, .high = 1, .rule = "un número de 0 a 1"};
constexpr LimitBounds kPositive = {.low = 0, .high = kUnbounded, .aboveLow = true, .rule = "un número mayor que 0"};

// The guidelines' criteria: ICH asks for at least five levels, USP <1857> an
// r of 0.995 for category I.
constexpr Criterion kCriteria[] = {
    {.name = "levels", .label = "Número de niveles", .figures = levelCount,
     .limits = {{.key = "minLevels", .member = &L::minLevels, .label = "Número mínimo de niveles",
                 .direction = AtLeast, .byDefault = 5,
                 .bounds = {.low = 1, .high = 25, .whole = true, .rule = "un número entero de 1 a 25"}}}},
    {.name = "range", .label = "Intervalo (% de T)", .figures = range,
     .limits = {{.key = "rangeLowPercent", .member = &L::rangeLowPercent,
                 .label = "Nivel más bajo, como máximo (% de T)", .direction = AtMost, .byDefault = 80,
                 .bounds = {.low = 0, .high = 100, .rule = "un porcentaje de 0 a 100"}},
                {.key = "rangeHighPercent", .member = &L::rangeHighPercent,
                 .label = "Nivel más alto, como mínimo (% de T)", .direction = AtLeast, .byDefault = 120,
                 .bounds = {.low = 100, .high = kUnbounded, .rule = "un porcentaje de 100 o más"}}}},
    {.name = "r", .label = "Coeficiente de correlación r", .figures = correlation,
     .limits = {{.key = "minR", .member = &L::minR, .label = "Coeficiente de correlación r mínimo",
                 .direction = AtLeast, .byDefault = 0.995, .bounds = kProbability}}},
    {.name = "interceptPercent", .label = "Ordenada al origen (%)", .figures = intercept,
     .limits = {{.key = "maxInterceptPercent", .member = &L::maxInterceptPercent,
                 .label = "Ordenada al origen máxima (% de la respuesta al 100 %)", .direction = Within,
                 .byDefault = 2.0, .bounds = kPositive}}},
    {.name = "levelBias", .label = "Sesgo máximo de un nivel (%)", .figures = largestLevelBias,
     .limits = {{.key = "maxLevelBias", .member = &L::maxLevelBias, .label = "Sesgo máximo de un nivel (%)",
                 .direction = AtMost, .byDefault = 2.0, .bounds = kPositive}}},
    {.name = "responseFactorRsd", .label = "CV de los factores de respuesta (%)", .figures = responseFactorRsd,
     .limits = {{.key = "maxResponseFactorRsd", .member = &L::maxResponseFactorRsd,
                 .label = "CV máximo de los factores de respuesta (%)", .direction = AtMost, .byDefault = 2.0,
                 .bounds = kPositive}}},
    {.name = "lackOfFit", .label = "Falta de ajuste, P", .figures = lackOfFit,
     .limits = {{.key = "minLackOfFitP", .member = &L::minLackOfFitP, .label = "P mínima de la falta de ajuste",
                 .direction = AtLeast, .byDefault = 0.05, .bounds = kProbability}}},
    {.name = "mandel", .label = "Prueba de Mandel, P", .figures = mandelP,
     .limits = {{.key = "minMandelP", .member = &L::minMandelP, .label = "P mínima de la prueba de Mandel",
                 .direction = AtLeast, .byDefault = 0.01, .bounds = kProbability}}},
};

// Every judgement compares the exact figure with the limit's decimal: a
// value on its limit is on it.
bool meets(const Real &value, double limit, Direction direction)
{
    switch (direction) {
    case AtLeast: return value.compare(DecimalOf(limit)) >= 0;
    case AtMost: return value.compare(DecimalOf(limit)) <= 0;
    case Within: break;
    }
    return value.abs().compare(DecimalOf(limit)) <= 0;
}

// A criterion passes when each of its figures meets its limit, and is not
// assessed when any figure is missing.
CriteriaCheck judged(const Criterion &c, const CriteriaResult &r, const AnovaResult &anova)
{
    CriteriaCheck check{&c, c.name, c.label, c.figures(r, anova), {}, CheckResult::Pass};
    for (size_t i = 0; i < c.limitCount(); ++i) {
        const double limit = r.limits.*c.limits[i].member;
        check.limit.push_back(limit);
        const Figure &value = check.value.at(i);
        if (!value)
            check.result = CheckResult::NotAssessed;
        else if (check.result == CheckResult::Pass && !meets(*value, limit, c.limits[i].direction))
            check.result = CheckResult::Fail;
    }
    return check;
}

void judge(CriteriaResult &r, const AnovaResult &anova)
{
    for (const Criterion &c : kCriteria)
        r.checks.push_back(judged(c, r, anova));
    r.passes = std::none_of(r.checks.begin(), r.checks.end(),
                            [](const CriteriaCheck &c) { return c.result == CheckResult::Fail; });
}

std::vector<LimitField> flatLimits()
{
    std::vector<LimitField> fields;
    for (const Criterion &c : kCriteria)
        fields.insert(fields.end(), c.limits, c.limits + c.limitCount());
    return fields;
}

} // namespace

AcceptanceLimits::AcceptanceLimits()
{
    for (const Criterion &c : kCriteria)
        for (size_t i = 0; i < c.limitCount(); ++i)
            this->*c.limits[i].member = c.limits[i].byDefault;
}

std::span<const Criterion> AcceptanceCriteria() { return kCriteria; }

std::span<const LimitField> LimitFields()
{
    static const std::vector<LimitField> fields = flatLimits();
    return fields;
}

CriteriaResult ComputeCriteria(const LinearityStudy &study, const AnovaResult &anova, const CriteriaOptions &options)
{
    CriteriaResult r;
    r.limits = options.limits;
    const ExactLine &line = FitLine(study);
    if (line.zeroSlope())
        throw FloatingPointError(kDivisionByZero);
    const Rational &b = line.slope, &a = line.intercept;
    const Rational mse = line.sse / (study.n() - 2);

    // Level amounts, in level order. Per level: the sum and count of its
    // amounts, the sum of its relative errors and whether every one exists.
    struct Level {
        Rational sum, x, biasSum;
        int count = 0;
        bool assessed = true;
    };
    std::vector<Level> levels(study.k());
    for (const Observation &o : study.observations) {
        levels[o.level - 1].sum += o.exactX;
        ++levels[o.level - 1].count;
    }
    Rational sumLevels, lowest, highest;
    for (int j = 0; j < study.k(); ++j) {
        const Rational x = levels[j].x = levels[j].sum / levels[j].count;
        sumLevels += x;
        lowest = j == 0 ? x : std::min(lowest, x);
        highest = j == 0 ? x : std::max(highest, x);
    }
    r.targetGiven = options.target.has_value();
    const Rational t = options.target ? *options.target : Rational(sumLevels / study.k());
    r.target = Real(t);
    r.levels = study.k();
    r.rangeLowPercent = ratio(100 * lowest, t);
    r.rangeHighPercent = ratio(100 * highest, t);
    const Rational r2 = line.sxy * line.sxy / (line.sxx * line.syy);
    r.rSquared = Real(r2);
    r.r = Real::Surd(0, sgn(b), r2);
    r.interceptPercent = ratio(100 * a, a + b * t);
    r.lod = Real::Surd(0, Rational(33, 10) / abs(b), mse);
    r.loq = Real::Surd(0, 10 / abs(b), mse);

    // Back-calculation, relative errors, level biases and response factors.
    bool everyXNonZero = true;
    Rational sumFactor;
    r.backCalculated.reserve(study.observations.size());
    r.levelBias.reserve(study.replicates.size());
    r.checks.reserve(std::size(kCriteria));
    Rational xBack, relative, factor; // reused from row to row
    std::vector<Rational> factors;
    factors.reserve(study.observations.size());
    for (int i = 0; i < study.n(); ++i) {
        const Observation &o = study.observations[i];
        xBack = o.exactY - a;
        xBack /= b;
        BackCalculation back{i + 1, o.level, Real(o.exactX), Real(xBack), std::nullopt};
        if (sgn(o.exactX) != 0) {
            relative = xBack - o.exactX;
            relative /= o.exactX;
            relative *= 100;
            levels[o.level - 1].biasSum += relative;
            back.relativeError = Real(std::move(relative));
            factor = o.exactY / o.exactX;
            sumFactor += factor;
            factors.push_back(std::move(factor));
        } else {
            everyXNonZero = false;
            levels[o.level - 1].assessed = false;
        }
        r.backCalculated.push_back(std::move(back));
    }
    for (int j = 0; j < study.k(); ++j)
        r.levelBias.push_back({j + 1, Real(levels[j].x),
                               levels[j].assessed ? Figure(Real(Rational(levels[j].biasSum / levels[j].count)))
                                                  : std::nullopt});
    r.relativeStandardError = RelativeStandardError(r.backCalculated);
    if (everyXNonZero) {
        const Rational mean = sumFactor / line.n;
        Rational squares, off;
        for (const Rational &f : factors) {
            off = f - mean;
            squares += off * off;
        }
        const Rational variance = squares / (line.n - 1);
        r.responseFactorMean = Real(mean);
        r.responseFactorSd = Real::Sqrt(variance);
        if (sgn(mean) != 0)
            r.responseFactorRsd = Real::Surd(0, 100 / abs(mean), variance);
    }
    mandel(study, line, r);
    judge(r, anova);
    return r;
}

Figure RelativeStandardError(std::span<const BackCalculation> rows)
{
    if (rows.size() < 3)
        return std::nullopt;
    Rational sum;
    for (const BackCalculation &b : rows) {
        if (b.x.sign() == 0)
            return std::nullopt;
        const Rational x = b.x.rational();
        const Rational relative = (b.xBack.rational() - x) / x;
        sum += relative * relative;
    }
    return Real::Surd(0, 100, sum / static_cast<long>(rows.size() - 2));
}

const char *CheckResultText(CheckResult result)
{
    switch (result) {
    case CheckResult::Pass: return "CUMPLE";
    case CheckResult::Fail: return "NO CUMPLE";
    case CheckResult::NotAssessed: break;
    }
    return "NO EVALUADO";
}

const char *CheckResultKey(CheckResult result)
{
    switch (result) {
    case CheckResult::Pass: return "pass";
    case CheckResult::Fail: return "fail";
    case CheckResult::NotAssessed: break;
    }
    return "not_assessed";
}

Rational ParseTarget(const std::string &text, char decimalSeparator)
{
    const Rational t = StrToRational(text, decimalSeparator);
    if (sgn(t) <= 0)
        throw ConversionError(kTargetNotPositive);
    return t;
}

} // namespace stats
