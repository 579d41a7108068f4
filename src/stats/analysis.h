#pragma once
// Everything a study yields, computed once: the validation, the straight
// line with its inference, the analysis of variance with the residuals, the
// recovery, the acceptance criteria and the quadratic model. Every output (a window, a headless
// command, a printed page, a graph, the JSON, a batch run) is rendered from
// one analysis and never computes on its own.
#include "stats/anova.h"
#include "stats/criteria.h"
#include "stats/quadratic.h"
#include "stats/recovery.h"
#include "stats/regression.h"
#include "stats/samples.h"
#include "stats/study.h"
#include "stats/weighting.h"

#include <exception>
#include <optional>
#include <vector>

namespace stats {

// A computation that may not be possible for the study: its figures, a zero
// slope, or the error that stopped it, kept to be raised by the output that
// shows it (another output of the same study may still be shown).
template <class T>
struct Computed {
    std::optional<T> value;
    bool zeroSlope = false;
    std::exception_ptr error;
};

struct AnovaAndResiduals {
    AnovaResult anova;
    std::vector<ResidualRow> residuals; // one row per observation
};

struct AnalysisOptions {
    char decimalSeparator = '.';
    CriteriaOptions criteria = {}; // T and the limits the criteria are judged against
    WeightingOptions weighting = {}; // the weight the analyst chose, if any
    // The unknown samples to read off the line, when there are any, and
    // the confidence of their intervals.
    std::optional<std::vector<Sample>> samples = std::nullopt;
    Rational confidence = DefaultConfidence();
    // The samples typed in a window that could not be read, for the page
    // that prints every one typed.
    std::vector<UnreadSample> unreadSamples = {};
};

struct StudyAnalysis {
    StudyData texts; // the study as typed, kept for the outputs that quote it
    char decimalSeparator = '.';
    // What stopped the validation or the reading of the numbers (a count or
    // a number that cannot be read): every output but the general
    // information meets it first.
    std::exception_ptr error;
    ValidationFailure validation; // a refused study has nothing below
    LinearityStudy study;
    Computed<RegressionResult> regression;
    Computed<AnovaAndResiduals> anova;
    // Computed only after the analysis of variance: an output that shows the
    // recovery or the criteria first meets the refusal of the variance.
    Computed<RecoveryResult> recovery;
    Computed<CriteriaResult> criteria; // also after the regression
    // The quadratic model beside the line; a study that cannot have it says
    // why in the result rather than refusing the output.
    Computed<QuadraticResult> quadratic;
    // The variance, the weights and the diagnostics: beside the analysis of
    // variance, whose refusals it does not share.
    Computed<WeightingResult> weighting;
    // After the regression only: a zero slope or an error there is theirs too.
    Computed<DetectionResult> detection;
    Computed<SamplesResult> samples; // only when samples were given
    std::vector<UnreadSample> unreadSamples; // as given
};

// The texts of `texts` as plain data, shapes included: what an analysis
// keeps of a study typed in the editor.
StudyData SnapshotOf(const StudyTexts &texts);

// Validates, reads and computes the study; whatever stops a step is kept
// for the outputs that show it, never thrown.
StudyAnalysis Analyze(const StudyTexts &texts, const AnalysisOptions &options);

} // namespace stats
