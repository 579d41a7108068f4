#pragma once
// What each result command shows of a study's analysis, in its order:
// the validation, then the refusals of the computations it shows (a zero
// slope, or the error that stopped one, raised), then the lines of its
// window. The windows, the headless commands, the pages and the batch all
// render these, so what one prints is what the other shows.
#include "stats/analysis.h"
#include "stats/criteriatexts.h"
#include "stats/document.h"
#include "stats/profiletexts.h"
#include "stats/quadratictexts.h"
#include "stats/resulttexts.h"
#include "stats/weightingtexts.h"
#include "stats/samplestexts.h"

namespace stats {

inline constexpr const char *kZeroSlopeMessage = "La pendiente es cero, imposible realizar cálculos.";

// What a graph draws, one entry per observation row of the data grid, in
// grid order: the amount added, the observed value (amount recovered or
// studentized residual) and the value of the line through them (fitted
// amount, or zero).
// A further curve of a graph (the accuracy profile draws only these): its
// points as markers, or joined by a line, and its key in the legend.
struct GraphCurve {
    enum class Look { Markers, Solid, Dashed, Dotted };
    std::vector<double> x = {}, y = {};
    Look look = Look::Solid;
    bool highlighted = false; // drawn in the colour that marks a limit
    std::string legend = {};  // its key; empty: none
};

struct GraphPoints {
    std::vector<double> x, observed, line;
    // The quadratic model's curve from the lowest amount to the highest, for
    // the regression graph that shows it beside the line; empty where the
    // study cannot have the model.
    std::vector<double> curveX = {}, curveY = {};
    std::string curveLegend = {}; // the curve's equation, for its legend entry
    std::vector<GraphCurve> curves = {};
};

// The outcome of a command: refused by the validation (show the message, turn
// to the page, focus the control), refused for a zero slope, or shown.
struct CommandOutcome {
    ValidationFailure validation;
    bool zeroSlope = false;
    bool refused() const { return validation.failed || zeroSlope; }
    std::string refusalMessage() const { return validation.failed ? validation.message : kZeroSlopeMessage; }

    Lines lines;                  // text box lines (inference, systematic error, report, ANOVA verdicts)
    Document document;            // the evaluations beyond the line: what `lines` reads, for the page too
    AnovaGrid grid;               // analysis of variance only
    std::array<Lines, 4> columns; // residual analysis only
    GraphPoints graph;            // the two graphs only (lines: the regression graph's legend)
};

// The first refusal an output meets: the validation's (what stopped the
// validation or the reading of the numbers is raised).
inline bool Validated(const StudyAnalysis &analysis, CommandOutcome &outcome)
{
    if (analysis.error)
        std::rethrow_exception(analysis.error);
    outcome.validation = analysis.validation;
    return !analysis.validation.failed;
}

// A part the output shows: its figures, or null when the slope is zero (the
// outcome says so); the error that stopped it is raised.
template <class T>
const T *Require(const Computed<T> &part, CommandOutcome &outcome)
{
    if (part.error)
        std::rethrow_exception(part.error);
    outcome.zeroSlope = part.zeroSlope;
    return part.value ? &*part.value : nullptr;
}

// Each raises ConversionError or FloatingPointError where the study's data
// made a computation it shows fail.
CommandOutcome InferenceOutcome(const StudyAnalysis &analysis);
CommandOutcome AnovaOutcome(const StudyAnalysis &analysis);
CommandOutcome ResidualsOutcome(const StudyAnalysis &analysis);
// Without a slope the significance of the regression is unknown: the
// systematic error and the report refuse rather than decide.
CommandOutcome SystematicErrorOutcome(const StudyAnalysis &analysis);
// The report shows the recovery: where it cannot be evaluated, the report is
// refused with the reason.
CommandOutcome ReportOutcome(const StudyAnalysis &analysis);
// The acceptance criteria, after the analysis of variance and the
// regression have passed their own checks.
CommandOutcome CriteriaOutcome(const StudyAnalysis &analysis);
// The graphs refuse a zero slope too.
CommandOutcome RegressionGraphOutcome(const StudyAnalysis &analysis);
CommandOutcome ResidualGraphOutcome(const StudyAnalysis &analysis);

// The variance homogeneity, the weights and the diagnostics: refused for
// an incomplete study or a zero slope, as the others.
CommandOutcome WeightingOutcome(const StudyAnalysis &analysis);

// Why the recovery could not be evaluated (an amount added of 0, all
// percentages equal), for the outputs that carry every result but it;
// empty when it was. Another error is raised.
std::string RecoveryRefusal(const StudyAnalysis &analysis);

// The quadratic model beside the line: refused only by the validation; a
// study that cannot have the model gets the one line that says why.
CommandOutcome QuadraticOutcome(const StudyAnalysis &analysis);
// The method's standard deviation and limits, and the unknown samples when
// the analysis was given any: refused as the regression is.
CommandOutcome SamplesOutcome(const StudyAnalysis &analysis);
// The accuracy profile of every series of the study: refused only by a
// study that cannot be read; a study without the design for it gets the
// line that says why.
CommandOutcome ProfileOutcome(const StudyAnalysis &analysis);
// The profile graph of the model the options show (the chosen one, else the
// first): each back-calculated result's relative error, the relative bias,
// the tolerance limits, the acceptance limits and the ends of the validated
// range; its legend lines name the model and the settings. Refused, with
// the reason, where the study has no profile.
CommandOutcome ProfileGraphOutcome(const StudyAnalysis &analysis);

} // namespace stats
