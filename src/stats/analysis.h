#pragma once
// Everything a study yields, each computed at most once and only when an
// output needs it: the validation, the straight line with its inference, the
// analysis of variance with the residuals, the recovery, the acceptance
// criteria, the weighting, the detection limits and samples, and the
// quadratic model. Every output (a window, a headless command, a printed
// page, a graph, the JSON, a batch run) is rendered from one analysis and
// never computes on its own.
#include "stats/accuracyprofile.h"
#include "stats/anova.h"
#include "stats/criteria.h"
#include "stats/quadratic.h"
#include "stats/recovery.h"
#include "stats/regression.h"
#include "stats/samples.h"
#include "stats/study.h"
#include "stats/weighting.h"

#include <exception>
#include <memory>
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
    // The series of a .lin study whose calibration standards are evaluated
    // (1-based).
    int series = 1;
    // The whole study of several series, for the evaluations that take
    // every series (the accuracy profile); null for a .w04 study.
    std::shared_ptr<const SeriesStudy> wholeStudy = nullptr;
    ProfileOptions profile = {}; // β and λ
};

// A study's validation and reading, done at once, and its parts, each
// computed the first time an output asks for it (with the parts it depends
// on) and kept: a command computes only what it shows. The parts are kept in
// the analysis itself, so one analysis is used by one thread at a time; a
// copy carries what was computed so far.
class StudyAnalysis {
public:
    StudyData texts; // the study as typed, kept for the outputs that quote it
    char decimalSeparator = '.';
    // What stopped the validation or the reading of the numbers (a count or
    // a number that cannot be read): every output but the general
    // information meets it first.
    std::exception_ptr error;
    ValidationFailure validation; // a refused study has nothing below
    LinearityStudy study;
    AnalysisOptions options; // what the parts are computed with
    std::vector<UnreadSample> unreadSamples; // as given

    // Each part is empty (no figures, no zero slope, no error) where the
    // study was refused or could not be read.
    const Computed<RegressionResult> &regression() const;
    const Computed<AnovaAndResiduals> &anova() const;
    // Computed only after the analysis of variance: an output that shows the
    // recovery or the criteria first meets the refusal of the variance.
    const Computed<RecoveryResult> &recovery() const;
    const Computed<CriteriaResult> &criteria() const; // also after the regression
    // The quadratic model beside the line; a study that cannot have it says
    // why in the result rather than refusing the output. Compared with the
    // line's criteria where those can be computed.
    const Computed<QuadraticResult> &quadratic() const;
    // The variance, the weights and the diagnostics: beside the analysis of
    // variance, whose refusals it does not share.
    const Computed<WeightingResult> &weighting() const;
    // After the regression only: a zero slope or an error there is theirs too.
    const Computed<DetectionResult> &detection() const;
    // Only when samples were given; empty otherwise.
    const Computed<SamplesResult> &samples() const;
    bool samplesGiven() const { return options.samples.has_value(); }
    // The accuracy profile of the whole study and the comparison of its
    // series: computed from every series, whatever the evaluated series'
    // own validation says; a study of one series says why it has none.
    const Computed<ProfileResult> &profile() const;

private:
    friend StudyAnalysis Reanalysed(StudyAnalysis analysis, const AnalysisOptions &options);
    bool readable() const { return !error && !validation.failed; }
    mutable std::optional<Computed<RegressionResult>> regression_;
    mutable std::optional<Computed<AnovaAndResiduals>> anova_;
    mutable std::optional<Computed<RecoveryResult>> recovery_;
    mutable std::optional<Computed<CriteriaResult>> criteria_;
    mutable std::optional<Computed<QuadraticResult>> quadratic_;
    mutable std::optional<Computed<WeightingResult>> weighting_;
    mutable std::optional<Computed<DetectionResult>> detection_;
    mutable std::optional<Computed<SamplesResult>> samples_;
    mutable std::optional<Computed<ProfileResult>> profile_;
};

// The texts of `texts` as plain data, shapes included: what an analysis
// keeps of a study typed in the editor.
StudyData SnapshotOf(const StudyTexts &texts);

// Validates and reads the study; its parts are computed when asked for.
// Whatever stops a step is kept for the outputs that show it, never thrown.
StudyAnalysis Analyze(const StudyTexts &texts, const AnalysisOptions &options);

// The analysis of every series of `study` together (the accuracy profile),
// without any series' line: its texts are the study's, its options carry it.
StudyAnalysis WholeStudyAnalysis(const SeriesStudy &study, AnalysisOptions options);

// The same study with other options, for a window where the analyst
// changes one (T, the limits, a weight, the samples or their confidence):
// the parts no option reaches (the line, the analysis of variance, the
// recovery, the detection limits) are kept as computed; those that take an
// option are computed again when asked for. Another decimal separator reads
// the study anew.
StudyAnalysis Reanalysed(StudyAnalysis analysis, const AnalysisOptions &options);

} // namespace stats
