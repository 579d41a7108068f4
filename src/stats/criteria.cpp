#include "stats/criteria.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace stats {

namespace {

constexpr LimitField kLimitFields[] = {
    {"minLevels", &AcceptanceLimits::minLevels, "Número mínimo de niveles"},
    {"rangeLowPercent", &AcceptanceLimits::rangeLowPercent, "Nivel más bajo, como máximo (% de T)"},
    {"rangeHighPercent", &AcceptanceLimits::rangeHighPercent, "Nivel más alto, como mínimo (% de T)"},
    {"minR", &AcceptanceLimits::minR, "Coeficiente de correlación r mínimo"},
    {"maxInterceptPercent", &AcceptanceLimits::maxInterceptPercent, "Ordenada al origen máxima (% de la respuesta al 100 %)"},
    {"maxLevelBias", &AcceptanceLimits::maxLevelBias, "Sesgo máximo de un nivel (%)"},
    {"maxResponseFactorRsd", &AcceptanceLimits::maxResponseFactorRsd, "CV máximo de los factores de respuesta (%)"},
    {"minLackOfFitP", &AcceptanceLimits::minLackOfFitP, "P mínima de la falta de ajuste"},
    {"minMandelP", &AcceptanceLimits::minMandelP, "P mínima de la prueba de Mandel"},
};

constexpr std::pair<std::string_view, const char *> kCheckLabels[] = {
    {"levels", "Número de niveles"},
    {"range", "Intervalo (% de T)"},
    {"r", "Coeficiente de correlación r"},
    {"interceptPercent", "Ordenada al origen (%)"},
    {"levelBias", "Sesgo máximo de un nivel (%)"},
    {"responseFactorRsd", "CV de los factores de respuesta (%)"},
    {"lackOfFit", "Falta de ajuste, P"},
    {"mandel", "Prueba de Mandel, P"},
};

const char *checkLabel(std::string_view name)
{
    for (const auto &[key, label] : kCheckLabels)
        if (key == name)
            return label;
    return name.data();
}

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

// Every judgement compares the exact figure with the limit's decimal: a
// value on its limit is on it.
CheckResult atLeast(const Figure &value, double limit)
{
    return !value ? CheckResult::NotAssessed
                  : value->compare(DecimalOf(limit)) >= 0 ? CheckResult::Pass : CheckResult::Fail;
}

CheckResult atMost(const Figure &value, double limit)
{
    return !value ? CheckResult::NotAssessed
                  : value->compare(DecimalOf(limit)) <= 0 ? CheckResult::Pass : CheckResult::Fail;
}

void judge(CriteriaResult &r, const AnovaResult &anova)
{
    const AcceptanceLimits &m = r.limits;
    auto add = [&r](const char *name, std::vector<Figure> value, std::vector<double> limit, CheckResult result) {
        r.checks.push_back({name, checkLabel(name), std::move(value), std::move(limit), result});
    };
    const Figure levels = Real(r.levels);
    add("levels", {levels}, {m.minLevels}, atLeast(levels, m.minLevels));
    CheckResult range = CheckResult::NotAssessed;
    if (r.rangeLowPercent && r.rangeHighPercent)
        range = atMost(r.rangeLowPercent, m.rangeLowPercent) == CheckResult::Pass &&
                        atLeast(r.rangeHighPercent, m.rangeHighPercent) == CheckResult::Pass
                    ? CheckResult::Pass
                    : CheckResult::Fail;
    add("range", {r.rangeLowPercent, r.rangeHighPercent}, {m.rangeLowPercent, m.rangeHighPercent}, range);
    add("r", {r.r}, {m.minR}, atLeast(r.r, m.minR));
    const Figure interceptSize = r.interceptPercent ? Figure(r.interceptPercent->abs()) : std::nullopt;
    add("interceptPercent", {r.interceptPercent}, {m.maxInterceptPercent},
        atMost(interceptSize, m.maxInterceptPercent));
    // The largest bias among the levels that can be judged (a level at an
    // amount of 0 has no relative error).
    Figure largest;
    for (const LevelBias &b : r.levelBias)
        if (b.meanRelativeError && (!largest || b.meanRelativeError->abs().compare(largest->rational()) > 0))
            largest = b.meanRelativeError->abs();
    add("levelBias", {largest}, {m.maxLevelBias}, atMost(largest, m.maxLevelBias));
    add("responseFactorRsd", {r.responseFactorRsd}, {m.maxResponseFactorRsd},
        atMost(r.responseFactorRsd, m.maxResponseFactorRsd));
    const Figure lackOfFitP = HasPureError(anova) ? Figure(anova.pLackOfFit) : std::nullopt;
    add("lackOfFit", {lackOfFitP}, {m.minLackOfFitP}, atLeast(lackOfFitP, m.minLackOfFitP));
    add("mandel", {r.mandelP}, {m.minMandelP}, atLeast(r.mandelP, m.minMandelP));
    r.passes = std::none_of(r.checks.begin(), r.checks.end(),
                            [](const CriteriaCheck &c) { return c.result == CheckResult::Fail; });
}

} // namespace

std::span<const LimitField> LimitFields() { return kLimitFields; }

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
    r.checks.reserve(std::size(kCheckLabels));
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
