#pragma once
// What each result command runs, in its order: validation, the computations
// into the caller's shared records, the zero-slope refusal, then the lines of
// its window. The windows and the headless commands both call these, so what
// one prints is what the other shows.
#include "stats/criteria.h"
#include "stats/resulttexts.h"

namespace stats {

// The frame's shared result records; the commands overwrite them.
struct SharedResults {
    RegressionResult regression;
    AnovaResult anova;
    std::vector<ResidualRow> residuals;
    RecoveryResult recovery;
    CriteriaResult criteria;
    bool slopeIsZero = false; // set by both the regression and the analysis of variance
    // Why the recovery could not be evaluated (an amount added of 0, all
    // percentages equal), for the outputs that carry every result but it.
    std::string recoveryRefusal;
};

inline constexpr const char *kZeroSlopeMessage = "La pendiente es cero, imposible realizar cálculos.";

// What a graph draws, one entry per observation row of the data grid, in
// grid order: the amount added, the observed value (amount recovered or
// studentized residual) and the value of the line through them (fitted
// amount, or zero).
struct GraphPoints {
    std::vector<double> x, observed, line;
};

// The outcome of a command: refused by the validation (show the message, turn
// to the page, focus the control), refused for a zero slope, or shown.
struct CommandOutcome {
    ValidationFailure validation;
    bool zeroSlope = false;
    bool refused() const { return validation.failed || zeroSlope; }
    std::string refusalMessage() const { return validation.failed ? validation.message : kZeroSlopeMessage; }

    Lines lines;                  // text box lines (inference, systematic error, report, ANOVA verdicts)
    AnovaGrid grid;               // analysis of variance only
    std::array<Lines, 4> columns; // residual analysis only
    GraphPoints graph;            // the two graphs only (lines: the regression graph's legend)
};

// Each throws ConversionError or FloatingPointError when the study's data
// makes a computation fail; the records keep what was stored before.
CommandOutcome RunInference(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
CommandOutcome RunAnova(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
CommandOutcome RunResiduals(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
CommandOutcome RunSystematicError(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
CommandOutcome RunReport(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
// What the report computes, where a recovery that cannot be evaluated stops
// only itself: its reason goes to `shared.recoveryRefusal` and the outcome
// has no lines. The JSON carries every other result.
CommandOutcome RunResults(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
// The acceptance criteria, after the regression and the analysis of
// variance have passed their own checks.
CommandOutcome RunCriteria(const StudyTexts &study, SharedResults &shared, char decimalSeparator,
                           const CriteriaOptions &options);
// The graphs refuse a zero slope too: a legend or residuals left from
// another study would be wrong.
CommandOutcome RunRegressionGraph(const StudyTexts &study, SharedResults &shared, char decimalSeparator);
CommandOutcome RunResidualGraph(const StudyTexts &study, SharedResults &shared, char decimalSeparator);

} // namespace stats
