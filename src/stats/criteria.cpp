#include "stats/criteria.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/detection.h"
#include "stats/leastsquares.h"
#include "stats/levels.h"
#include "stats/parabola.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace stats {

namespace {

Figure ratio(const Rational &numerator, const Rational &denominator)
{
    if (sgn(denominator) == 0)
        return std::nullopt;
    return Real(Rational(numerator / denominator));
}

// The figures each criterion judges.
std::vector<Figure> levelCount(const CriteriaResult &r, const AnovaResult &) { return {Real(r.levels)}; }
std::vector<Figure> range(const CriteriaResult &r, const AnovaResult &) { return {r.rangeLowPercent, r.rangeHighPercent}; }
std::vector<Figure> correlation(const CriteriaResult &r, const AnovaResult &) { return {r.r}; }
std::vector<Figure> intercept(const CriteriaResult &r, const AnovaResult &) { return {r.interceptPercent}; }
// The largest bias among the levels that can be judged (a level at an amount
// of 0 has no relative error).
std::vector<Figure> largestLevelBias(const CriteriaResult &r, const AnovaResult &) { return {LargestLevelBias(r.levelBias)}; }
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
    const StudyLevels levels = Levels(study);
    Rational sumLevels;
    for (const Level &l : levels.levels)
        sumLevels += l.x;
    r.targetGiven = options.target.has_value();
    const Rational t = options.target ? *options.target : Rational(sumLevels / levels.count());
    r.target = Real(t);
    r.levels = levels.count();
    r.rangeLowPercent = ratio(100 * levels.lowestX, t);
    r.rangeHighPercent = ratio(100 * levels.highestX, t);
    const Rational r2 = line.sxy * line.sxy / (line.sxx * line.syy);
    r.rSquared = Real(r2);
    r.r = Real::Surd(0, sgn(b), r2);
    r.interceptPercent = ratio(100 * a, a + b * t);
    const IchLimits ich = IchLimitsOf(ProcedureVariance(line));
    r.lod = ich.lod;
    r.loq = ich.loq;

    // Back-calculation, relative errors, level biases and response factors.
    bool everyXNonZero = true;
    Rational sumFactor;
    r.backCalculated.reserve(study.observations.size());
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
            back.relativeError = Real(std::move(relative));
            factor = o.exactY / o.exactX;
            sumFactor += factor;
            factors.push_back(std::move(factor));
        } else {
            everyXNonZero = false;
        }
        r.backCalculated.push_back(std::move(back));
    }
    r.levelBias = LevelBiases(levels, r.backCalculated);
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
    if (const std::optional<OrthogonalParabola> parabola = FitParabola(study))
        if (const std::optional<MandelTest> mandel = Mandel(line, *parabola)) {
            r.mandelF = mandel->f;
            r.mandelP = mandel->p;
        }
    judge(r, anova);
    return r;
}

Figure RelativeStandardError(std::span<const BackCalculation> rows)
{
    if (rows.size() < 3)
        return std::nullopt;
    Rational sum, relative;
    for (const BackCalculation &b : rows) {
        if (b.x.sign() == 0 || !b.xBack)
            return std::nullopt;
        const Rational &x = b.x.rational();
        relative = b.xBack->plus(-x).times(100 / x).approximation(); // exact where x̂ is rational
        sum += relative * relative;
    }
    return Real::Sqrt(sum / static_cast<long>(rows.size() - 2));
}

std::vector<LevelBias> LevelBiases(const StudyLevels &levels, std::span<const BackCalculation> rows)
{
    std::vector<LevelBias> biases;
    biases.reserve(levels.levels.size());
    for (const Level &l : levels.levels) {
        Rational sum;
        bool assessed = true, exact = true;
        for (int i : l.rows) {
            const Figure &relative = rows[static_cast<size_t>(i)].relativeError;
            if (!relative) {
                assessed = false;
                break;
            }
            exact = exact && relative->isRational();
            sum += relative->approximation();
        }
        Figure mean;
        if (assessed) {
            sum /= l.replicates();
            mean = exact ? Real(std::move(sum)) : Real::Approximation(sum);
        }
        biases.push_back({l.level, Real(l.x), std::move(mean)});
    }
    return biases;
}

Figure LargestLevelBias(std::span<const LevelBias> biases)
{
    Figure largest;
    for (const LevelBias &b : biases)
        if (b.meanRelativeError && (!largest || b.meanRelativeError->abs().compare(largest->approximation()) > 0))
            largest = b.meanRelativeError->abs();
    return largest;
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
