#include "stats/criteria.h"

#include "stats/conversions.h"
#include "stats/centredsums.h"
#include "stats/errors.h"

#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace stats {

namespace {

using L = long double;

// A figure within this share of its computation's scale is rounding, not data.
constexpr L kNoise = 1e-15L;

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
    while (second < o.size() && o[second].x == o[0].x)
        ++second;
    for (size_t i = second + 1; i < o.size(); ++i)
        if (o[i].x != o[0].x && o[i].x != o[second].x)
            return true;
    return false;
}

Figure ratio(L numerator, L denominator)
{
    if (denominator == 0)
        return std::nullopt;
    const double v = static_cast<double>(numerator / denominator);
    return std::isfinite(v) ? Figure(v) : std::nullopt;
}

// Mandel's test: the parabola's extra sum of squares against the line's.
// The quadratic term is made orthogonal to 1 and x (centred x, then x²
// with its projections removed), so SSE2 = SSE1 - (Σ y q)² / Σ q².
void mandel(const LinearityStudy &study, const CentredSums &c, L sse1, CriteriaResult &r)
{
    const int df = study.n() - 3;
    if (df < 1 || !threeDistinct(study))
        return;
    L su2 = 0, su3 = 0;
    for (const Observation &o : study.observations) {
        const L u = o.x - c.meanX;
        su2 += u * u;
        su3 += u * u * u;
    }
    const L alpha = su3 / su2, beta = su2 / c.n; // q = u² - alpha u - beta
    L sqq = 0, syq = 0;
    for (const Observation &o : study.observations) {
        const L u = o.x - c.meanX;
        const L q = u * u - alpha * u - beta;
        sqq += q * q;
        syq += (o.y - c.meanY) * q;
    }
    if (sqq <= 0)
        return;
    L extra = syq * syq / sqq;
    if (extra <= kNoise * c.syy) // a curvature that is only the rounding of the sums
        extra = 0;
    const L sse2 = std::max(sse1 - extra, L(0));
    // A parabola through every point leaves only the rounding of the sums.
    if (sse2 <= kNoise * c.syy)
        return;
    const double f = static_cast<double>(extra / (sse2 / df));
    if (!std::isfinite(f))
        return;
    r.mandelF = f;
    r.mandelP = boost::math::cdf(boost::math::complement(boost::math::fisher_f_distribution<double>(1.0, df), f));
}

CheckResult atLeast(const Figure &value, double limit)
{
    return !value ? CheckResult::NotAssessed : *value >= limit ? CheckResult::Pass : CheckResult::Fail;
}

CheckResult atMost(const Figure &value, double limit)
{
    return !value ? CheckResult::NotAssessed : *value <= limit ? CheckResult::Pass : CheckResult::Fail;
}

void judge(CriteriaResult &r, const AnovaResult &anova)
{
    const AcceptanceLimits &m = r.limits;
    auto add = [&r](const char *name, std::vector<Figure> value, std::vector<double> limit, CheckResult result) {
        r.checks.push_back({name, checkLabel(name), std::move(value), std::move(limit), result});
    };
    add("levels", {double(r.levels)}, {m.minLevels}, atLeast(double(r.levels), m.minLevels));
    CheckResult range = CheckResult::NotAssessed;
    if (r.rangeLowPercent && r.rangeHighPercent)
        range = *r.rangeLowPercent <= m.rangeLowPercent && *r.rangeHighPercent >= m.rangeHighPercent
                    ? CheckResult::Pass
                    : CheckResult::Fail;
    add("range", {r.rangeLowPercent, r.rangeHighPercent}, {m.rangeLowPercent, m.rangeHighPercent}, range);
    add("r", {r.r}, {m.minR}, atLeast(r.r, m.minR));
    const Figure interceptSize =
        r.interceptPercent ? Figure(std::fabs(*r.interceptPercent)) : std::nullopt;
    add("interceptPercent", {r.interceptPercent}, {m.maxInterceptPercent},
        atMost(interceptSize, m.maxInterceptPercent));
    // The largest bias among the levels that can be judged (a level at an
    // amount of 0 has no relative error).
    Figure largest;
    for (const LevelBias &b : r.levelBias)
        if (b.meanRelativeError && (!largest || std::fabs(*b.meanRelativeError) > *largest))
            largest = std::fabs(*b.meanRelativeError);
    add("levelBias", {largest}, {m.maxLevelBias}, atMost(largest, m.maxLevelBias));
    add("responseFactorRsd", {r.responseFactorRsd}, {m.maxResponseFactorRsd},
        atMost(r.responseFactorRsd, m.maxResponseFactorRsd));
    const Figure lackOfFitP = anova.dfPureError > 0 ? Figure(anova.pLackOfFit) : std::nullopt;
    add("lackOfFit", {lackOfFitP}, {m.minLackOfFitP}, atLeast(lackOfFitP, m.minLackOfFitP));
    add("mandel", {r.mandelP}, {m.minMandelP}, atLeast(r.mandelP, m.minMandelP));
    r.passes = std::none_of(r.checks.begin(), r.checks.end(),
                            [](const CriteriaCheck &c) { return c.result == CheckResult::Fail; });
}

} // namespace

std::span<const LimitField> LimitFields() { return kLimitFields; }

CriteriaResult ComputeCriteria(const LinearityStudy &study, const AnovaResult &anova, const CriteriaOptions &options)
{
    const Figure &target = options.target;
    CriteriaResult r;
    r.limits = options.limits;
    const CentredSums c = CentreStudy(study);
    if (c.sxx == 0 || c.sxy == 0)
        throw FloatingPointError(kDivisionByZero);
    const L b = c.sxy / c.sxx, a = c.meanY - b * c.meanX;
    L sse = 0;
    for (const Observation &o : study.observations) {
        const L e = (o.y - c.meanY) - b * (o.x - c.meanX);
        sse += e * e;
    }
    const L s = std::sqrt(sse / (c.n - 2));

    // Level amounts, in level order. Per level: the sum and count of its amounts, its amount, the sum of
    // its relative errors and whether every one of them exists.
    struct Level {
        L sum = 0, count = 0, x = 0, biasSum = 0, biasNoise = 0;
        bool assessed = true;
    };
    std::vector<Level> levels(study.k());
    for (const Observation &o : study.observations) {
        levels[o.level - 1].sum += o.x;
        ++levels[o.level - 1].count;
    }
    L sumLevels = 0, lowest = 0, highest = 0;
    for (int j = 0; j < study.k(); ++j) {
        const L x = levels[j].x = levels[j].sum / levels[j].count;
        sumLevels += x;
        lowest = j == 0 ? x : std::min(lowest, x);
        highest = j == 0 ? x : std::max(highest, x);
    }
    r.targetGiven = target.has_value();
    const L t = target ? *target : sumLevels / study.k();
    r.target = static_cast<double>(t);
    r.levels = study.k();
    r.rangeLowPercent = ratio(100 * lowest, t);
    r.rangeHighPercent = ratio(100 * highest, t);
    const L r2 = c.sxy * c.sxy / (c.sxx * c.syy);
    r.rSquared = static_cast<double>(r2);
    r.r = static_cast<double>(std::copysign(std::sqrt(r2), b));
    // Figures within the rounding of their own computation are zero: an
    // intercept of exactly 0, a point exactly on the line.
    const bool interceptIsNoise = std::fabs(a) <= kNoise * (std::fabs(c.meanY) + std::fabs(b * c.meanX));
    r.interceptPercent = ratio(interceptIsNoise ? 0 : 100 * a, a + b * t);
    r.lod = static_cast<double>(3.3L * s / std::fabs(b));
    r.loq = static_cast<double>(10 * s / std::fabs(b));

    // Back-calculation, relative errors, level biases and response factors.
    bool everyXNonZero = true;
    L sumFactor = 0;
    r.backCalculated.reserve(study.observations.size());
    r.levelBias.reserve(study.replicates.size());
    r.checks.reserve(std::size(kCheckLabels));
    for (int i = 0; i < study.n(); ++i) {
        const Observation &o = study.observations[i];
        BackCalculation back{i + 1, o.level, o.x, static_cast<double>((o.y - a) / b), std::nullopt};
        if (o.x != 0) {
            const L noise = kNoise * (std::fabs(L(o.y)) + std::fabs(a)) / std::fabs(b);
            const L off = (o.y - a) / b - o.x;
            const L relative = std::fabs(off) <= noise ? 0 : off / o.x;
            back.relativeError = static_cast<double>(100 * relative);
            levels[o.level - 1].biasSum += 100 * relative;
            levels[o.level - 1].biasNoise = std::max(levels[o.level - 1].biasNoise, 100 * noise / std::fabs(L(o.x)));
            sumFactor += L(o.y) / o.x;
        } else {
            everyXNonZero = false;
            levels[o.level - 1].assessed = false;
        }
        r.backCalculated.push_back(back);
    }
    for (int j = 0; j < study.k(); ++j) {
        const L bias = levels[j].biasSum / levels[j].count;
        r.levelBias.push_back(
            {j + 1, static_cast<double>(levels[j].x),
             levels[j].assessed ? Figure(std::fabs(bias) <= levels[j].biasNoise ? 0.0 : static_cast<double>(bias))
                                : std::nullopt});
    }
    r.relativeStandardError = RelativeStandardError(r.backCalculated);
    if (everyXNonZero) {
        const L mean = sumFactor / c.n;
        L squares = 0;
        for (const Observation &o : study.observations)
            squares += (L(o.y) / o.x - mean) * (L(o.y) / o.x - mean);
        const L sd = std::sqrt(squares / (c.n - 1));
        r.responseFactorMean = static_cast<double>(mean);
        r.responseFactorSd = static_cast<double>(sd);
        r.responseFactorRsd = ratio(100 * sd, std::fabs(mean));
    }
    mandel(study, c, sse, r);
    judge(r, anova);
    return r;
}

Figure RelativeStandardError(std::span<const BackCalculation> rows)
{
    if (rows.size() < 3)
        return std::nullopt;
    L sum = 0;
    for (const BackCalculation &b : rows) {
        if (b.x == 0)
            return std::nullopt;
        const L relative = (L(b.xBack) - b.x) / b.x;
        sum += relative * relative;
    }
    const double rse = static_cast<double>(100 * std::sqrt(sum / L(rows.size() - 2)));
    return std::isfinite(rse) ? Figure(rse) : std::nullopt;
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

double ParseTarget(const std::string &text, char decimalSeparator)
{
    const double t = StrToFloat(text, decimalSeparator);
    if (!(t > 0) || !std::isfinite(t))
        throw ConversionError(kTargetNotPositive);
    return t;
}

} // namespace stats
