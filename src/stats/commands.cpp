#include "stats/commands.h"

#include "stats/criteriatexts.h"
#include "stats/errors.h"

namespace stats {

namespace {

// Validation first; a refused study computes nothing.
bool validated(const StudyTexts &study, CommandOutcome &outcome)
{
    outcome.validation = ValidateStudy(study);
    return !outcome.validation.failed;
}

// Validation, then the analysis of variance into the shared records; false
// when the study is refused (incomplete, or its slope is zero). `study` is
// what was read.
bool anovaComputed(const StudyTexts &texts, SharedResults &shared, char sep, CommandOutcome &outcome,
                   LinearityStudy &study)
{
    if (!validated(texts, outcome))
        return false;
    study = ReadStudy(texts, sep);
    ComputeAnovaResiduals(study, shared.anova, shared.slopeIsZero, shared.residuals);
    outcome.zeroSlope = shared.slopeIsZero;
    return !outcome.zeroSlope;
}

} // namespace

CommandOutcome RunInference(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (!validated(texts, outcome))
        return outcome;
    ComputeRegression(ReadStudy(texts, sep), shared.regression, shared.slopeIsZero);
    outcome.zeroSlope = shared.slopeIsZero;
    if (!outcome.zeroSlope)
        outcome.lines = InferenceLines(shared.regression, sep);
    return outcome;
}

CommandOutcome RunAnova(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    LinearityStudy study;
    if (anovaComputed(texts, shared, sep, outcome, study)) {
        outcome.grid = AnovaGridCells(shared.anova, sep);
        outcome.lines = AnovaConclusionLines(shared.anova);
    }
    return outcome;
}

CommandOutcome RunResiduals(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    LinearityStudy study;
    if (anovaComputed(texts, shared, sep, outcome, study))
        outcome.columns = ResidualColumns(shared.residuals, texts.dataRowCount() - 1, sep);
    return outcome;
}

// Without a slope the significance of the regression is unknown: the
// systematic error and the report refuse rather than decide from another
// study's record.
CommandOutcome RunSystematicError(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    LinearityStudy study;
    if (anovaComputed(texts, shared, sep, outcome, study)) {
        ComputeRecovery(study, shared.recovery);
        outcome.lines = SystematicErrorLines(shared.anova, shared.recovery, sep);
    }
    return outcome;
}

CommandOutcome RunResults(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    shared.recoveryRefusal.clear();
    LinearityStudy study;
    if (anovaComputed(texts, shared, sep, outcome, study)) {
        ComputeRegression(study, shared.regression, shared.slopeIsZero);
        try {
            ComputeRecovery(study, shared.recovery);
        } catch (const FloatingPointError &e) {
            shared.recoveryRefusal = e.what();
        }
        if (shared.recoveryRefusal.empty())
            outcome.lines =
                ReportLines(texts, shared.regression, shared.anova, shared.residuals, shared.recovery, sep);
    }
    return outcome;
}

// The report shows the recovery: where it cannot be evaluated, the report is
// refused with the reason.
CommandOutcome RunReport(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome = RunResults(texts, shared, sep);
    if (!shared.recoveryRefusal.empty())
        throw FloatingPointError(shared.recoveryRefusal);
    return outcome;
}

CommandOutcome RunCriteria(const StudyTexts &texts, SharedResults &shared, char sep, const CriteriaOptions &options)
{
    CommandOutcome outcome;
    if (!validated(texts, outcome))
        return outcome;
    const LinearityStudy study = ReadStudy(texts, sep);
    ComputeAnova(study, shared.anova, shared.slopeIsZero);
    outcome.zeroSlope = shared.slopeIsZero;
    if (!outcome.zeroSlope) {
        ComputeRegression(study, shared.regression, shared.slopeIsZero);
        shared.criteria = ComputeCriteria(study, shared.anova, options);
        outcome.lines = CriteriaLines(shared.criteria, study.units, sep);
    }
    return outcome;
}

CommandOutcome RunRegressionGraph(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (!validated(texts, outcome))
        return outcome;
    const LinearityStudy study = ReadStudy(texts, sep);
    ComputeRegression(study, shared.regression, shared.slopeIsZero);
    outcome.zeroSlope = shared.slopeIsZero;
    if (outcome.zeroSlope)
        return outcome;
    const RegressionResult &r = shared.regression;
    const Rational slope = r.slope.rational(), intercept = r.intercept.rational();
    for (const Observation &o : study.observations) {
        outcome.graph.x.push_back(o.x);
        outcome.graph.observed.push_back(o.y);
        outcome.graph.line.push_back(NearestDouble(slope * o.exactX + intercept));
    }
    outcome.lines = RegressionLegendLines(r, sep);
    return outcome;
}

CommandOutcome RunResidualGraph(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (!validated(texts, outcome))
        return outcome;
    const LinearityStudy study = ReadStudy(texts, sep);
    ComputeRegression(study, shared.regression, shared.slopeIsZero);
    if (shared.slopeIsZero) {
        outcome.zeroSlope = true;
        return outcome;
    }
    ComputeAnovaResiduals(study, shared.anova, shared.slopeIsZero, shared.residuals);
    outcome.zeroSlope = shared.slopeIsZero;
    if (outcome.zeroSlope)
        return outcome;
    for (size_t i = 0; i < study.observations.size(); ++i) {
        outcome.graph.x.push_back(study.observations[i].x);
        outcome.graph.observed.push_back(shared.residuals[i].studentized.toDouble());
        outcome.graph.line.push_back(0.0);
    }
    return outcome;
}

} // namespace stats
