#include "stats/commands.h"

#include "stats/checked.h"
#include "stats/criteriatexts.h"
#include "stats/errors.h"
#include "stats/precision.h"

namespace stats {

namespace {

// Validation first; a refused study computes nothing.
bool validated(const StudyTexts &study, CommandOutcome &outcome)
{
    outcome.validation = ValidateStudy(study);
    return !outcome.validation.failed;
}

// Validation, then the analysis of variance into the shared records; false
// when the study is refused (incomplete, or its slope is zero).
bool anovaComputed(const StudyTexts &texts, SharedResults &shared, char sep, CommandOutcome &outcome)
{
    if (!validated(texts, outcome))
        return false;
    ComputeCheckedAnova(ReadStudy(texts, sep), shared.anova, shared.slopeIsZero, shared.residuals);
    outcome.zeroSlope = shared.slopeIsZero;
    return !outcome.zeroSlope;
}

} // namespace

// A fault met by the running sums may be their cancellation: then the
// refusal names that cause rather than the fault.
void ComputeCheckedRegression(const LinearityStudy &study, RegressionResult &result, bool &slopeIsZero)
{
    try {
        ComputeRegression(study, result, slopeIsZero);
    } catch (const FloatingPointError &) {
        RefuseLostDigits(study);
        throw;
    }
    if (!slopeIsZero)
        CheckRegressionFigures(study, result);
}

void ComputeCheckedAnova(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero,
                         std::vector<ResidualRow> &residuals)
{
    try {
        ComputeAnovaResiduals(study, result, slopeIsZero, residuals);
    } catch (const FloatingPointError &) {
        RefuseLostDigits(study);
        throw;
    }
    if (!slopeIsZero)
        CheckAnovaFigures(study, result, residuals);
}

void ComputeCheckedRecovery(const LinearityStudy &study, RecoveryResult &result)
{
    try {
        ComputeRecovery(study, result);
    } catch (const FloatingPointError &) {
        RefuseLostDigits(study);
        throw;
    }
    CheckRecoveryFigures(study, result);
}

CommandOutcome RunInference(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (!validated(texts, outcome))
        return outcome;
    ComputeCheckedRegression(ReadStudy(texts, sep), shared.regression, shared.slopeIsZero);
    outcome.zeroSlope = shared.slopeIsZero;
    if (!outcome.zeroSlope)
        outcome.lines = InferenceLines(shared.regression, sep);
    return outcome;
}

CommandOutcome RunAnova(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome)) {
        outcome.grid = AnovaGridCells(shared.anova, sep);
        outcome.lines = AnovaConclusionLines(shared.anova);
    }
    return outcome;
}

CommandOutcome RunResiduals(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome))
        outcome.columns = ResidualColumns(shared.residuals, texts.dataRowCount() - 1, sep);
    return outcome;
}

// Without a slope the significance of the regression is unknown: the
// systematic error and the report refuse rather than decide from another
// study's record.
CommandOutcome RunSystematicError(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome)) {
        ComputeCheckedRecovery(ReadStudy(texts, sep), shared.recovery);
        outcome.lines = SystematicErrorLines(shared.anova, shared.recovery, sep);
    }
    return outcome;
}

CommandOutcome RunReport(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome)) {
        ComputeCheckedRegression(ReadStudy(texts, sep), shared.regression, shared.slopeIsZero);
        ComputeCheckedRecovery(ReadStudy(texts, sep), shared.recovery);
        outcome.lines =
            ReportLines(texts, shared.regression, shared.anova, shared.residuals, shared.recovery, sep);
    }
    return outcome;
}

CommandOutcome RunCriteria(const StudyTexts &texts, SharedResults &shared, char sep, const CriteriaOptions &options)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome)) {
        const LinearityStudy study = ReadStudy(texts, sep);
        ComputeCheckedRegression(study, shared.regression, shared.slopeIsZero);
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
    ComputeCheckedRegression(study, shared.regression, shared.slopeIsZero);
    outcome.zeroSlope = shared.slopeIsZero;
    if (outcome.zeroSlope)
        return outcome;
    const RegressionResult &r = shared.regression;
    for (const Observation &o : study.observations) {
        outcome.graph.x.push_back(o.x);
        outcome.graph.observed.push_back(o.y);
        outcome.graph.line.push_back(checked::store(static_cast<long double>(r.slope) * o.x + r.intercept));
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
    ComputeCheckedRegression(study, shared.regression, shared.slopeIsZero);
    if (shared.slopeIsZero) {
        outcome.zeroSlope = true;
        return outcome;
    }
    ComputeCheckedAnova(study, shared.anova, shared.slopeIsZero, shared.residuals);
    outcome.zeroSlope = shared.slopeIsZero;
    if (outcome.zeroSlope)
        return outcome;
    for (size_t i = 0; i < study.observations.size(); ++i) {
        outcome.graph.x.push_back(study.observations[i].x);
        outcome.graph.observed.push_back(shared.residuals[i].studentized);
        outcome.graph.line.push_back(0.0);
    }
    return outcome;
}

} // namespace stats
