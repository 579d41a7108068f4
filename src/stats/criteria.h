#pragma once
// Acceptance criteria of linearity as current guidelines state them (ICH
// Q2(R2), USP <1225>/<1857>, DIN 38402-51): the study is judged criterion by
// criterion against limits the laboratory fixes before the study. Every
// figure comes from sums centred on the means, in extended precision.
// A quantity that would divide by zero (an amount added of 0, most often)
// is not assessed: it is empty here, "NP" in the texts and null in the JSON.
#include "stats/anova.h"
#include "stats/study.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stats {

struct StudyLevels;

using Figure = std::optional<Real>; // empty: not assessed
using Target = std::optional<Rational>; // the amount at 100 % as typed; empty: the mean of the levels

// The limits judged against; each starts at its default (AcceptanceCriteria()).
struct AcceptanceLimits {
    AcceptanceLimits();
    double minLevels, rangeLowPercent, rangeHighPercent, minR, maxInterceptPercent, maxLevelBias,
        maxResponseFactorRsd, minLackOfFitP, minMandelP;
};

// What the analyst sets for a study's criteria: T (empty: the mean of the
// level amounts) and the limits.
struct CriteriaOptions {
    Target target;
    AcceptanceLimits limits;
};

// How a figure meets its limit.
enum class Direction {
    AtLeast, // "≥ L"
    AtMost,  // "≤ L"
    Within,  // its size at most the limit: "entre -L y L"
};

// What a limit must be to mean anything: from `low` to `high` (above `low`
// when `aboveLow`), a whole number when `whole`; `rule` says it in Spanish.
struct LimitBounds {
    double low = 0;
    double high = 0;
    bool aboveLow = false;
    bool whole = false;
    const char *rule = nullptr; // "un número entero de 1 a 25"
};

// One limit: its key (limits file, JSON, user settings), where it lives, its
// Spanish name, how the figure meets it, its default and its bounds.
struct LimitField {
    const char *key = nullptr;
    double AcceptanceLimits::*member = nullptr;
    const char *label = nullptr; // "Número mínimo de niveles"
    Direction direction = Direction::AtLeast;
    double byDefault = 0;
    LimitBounds bounds;
};

struct CriteriaResult;
// The figures a criterion judges, one per limit; an empty one is not assessed.
using CriterionFigures = std::vector<Figure> (*)(const CriteriaResult &, const AnovaResult &);

// One acceptance criterion: everything the judgement, the texts, the window,
// the printed page, the limits file and --help know of it. A criterion has
// one limit, or two (the range: lowest and highest level).
struct Criterion {
    const char *name = nullptr;  // its key in the JSON: levels, range, r, ...
    const char *label = nullptr; // its Spanish name: "Coeficiente de correlación r"
    CriterionFigures figures = nullptr;
    LimitField limits[2];        // the second's key is null for a single limit
    size_t limitCount() const { return limits[1].key ? 2 : 1; }
};

// The criteria, in the order they are judged and printed.
std::span<const Criterion> AcceptanceCriteria();
// Every limit of every criterion, in that order: the dialog, the file
// reader and writer, the limits texts and --help walk it.
std::span<const LimitField> LimitFields();

enum class CheckResult { Pass, Fail, NotAssessed };

struct CriteriaCheck {
    const Criterion *criterion; // what was judged
    const char *name;           // its key: levels, range, r, interceptPercent, ...
    const char *label;          // its Spanish name: "Coeficiente de correlación r"
    std::vector<Figure> value;  // one number, two for the range (lowest, highest)
    std::vector<double> limit;  // likewise
    CheckResult result = CheckResult::NotAssessed;
};

// An amount read back off a fitted model.
struct BackCalculation {
    int observation = 0; // 1..n
    int level = 0;
    Real x;               // amount added
    Figure xBack;         // read off the model: (y - a) / b on a line; empty where the model gives none
    Figure relativeError; // 100 (xBack - x) / x
};

struct LevelBias {
    int level = 0;
    Real x;                     // the level amount: the mean x of its observations
    Figure meanRelativeError;   // the mean of its observations' relative errors
};

struct CriteriaResult {
    // The figures (resultfields.h lists them); only those that divide by an
    // amount or a mean can be empty.
    Figure target;            // T, the amount at 100 %
    Figure rangeLowPercent, rangeHighPercent;
    Figure r, rSquared;
    Figure interceptPercent;  // 100 a / (a + b T)
    Figure lod, loq;          // 3.3 s/|b|, 10 s/|b|
    Figure relativeStandardError;
    Figure responseFactorMean, responseFactorSd, responseFactorRsd;
    Figure mandelF, mandelP;

    bool targetGiven = false; // set by the user rather than the mean of the level amounts
    Target userTarget() const { return targetGiven ? Target(target->rational()) : std::nullopt; }
    int levels = 0;
    std::vector<BackCalculation> backCalculated;
    std::vector<LevelBias> levelBias;
    std::vector<CriteriaCheck> checks; // in the order of AcceptanceCriteria()
    bool passes = false;               // no assessed check fails
    AcceptanceLimits limits;           // the limits judged against
};

// The criteria of a study whose regression and analysis of variance were
// computed: `anova` gives the lack-of-fit probability. Throws
// FloatingPointError for a slope of zero or all x equal.
CriteriaResult ComputeCriteria(const LinearityStudy &study, const AnovaResult &anova,
                               const CriteriaOptions &options);


// The relative standard error of back-calculated amounts, in per cent:
// 100 √(Σ((x̂ − x)/x)² / (n − 2)) over the n rows; empty when an amount is 0,
// an x̂ is missing or there are fewer than three rows.
Figure RelativeStandardError(std::span<const BackCalculation> rows);

// Each level's mean relative error over its rows (`rows` one per
// observation, in order); empty for a level where one is missing. Exact
// where every relative error is rational.
std::vector<LevelBias> LevelBiases(const StudyLevels &levels, std::span<const BackCalculation> rows);
// The largest size of a level's bias; empty when no level has one.
Figure LargestLevelBias(std::span<const LevelBias> biases);

// A check's result in the texts ("CUMPLE", "NO CUMPLE", "NO EVALUADO") and
// in the JSON.
const char *CheckResultText(CheckResult result);
const char *CheckResultKey(CheckResult result); // pass, fail, not_assessed

// A target typed by the user, exactly: a number greater than zero, or the
// Spanish reason it is not (ConversionError for a text that is not a number).
Rational ParseTarget(const std::string &text, char decimalSeparator);
inline constexpr const char *kTargetNotPositive =
    "La cantidad al 100 % debe ser un número mayor que cero.";

} // namespace stats
