#include "stats/commands.h"

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
    ComputeAnovaResiduals(ReadStudy(texts, sep), shared.anova, shared.slopeIsZero, shared.residuals);
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
        ComputeRecovery(ReadStudy(texts, sep), shared.recovery);
        outcome.lines = SystematicErrorLines(shared.anova, shared.recovery, sep);
    }
    return outcome;
}

CommandOutcome RunReport(const StudyTexts &texts, SharedResults &shared, char sep)
{
    CommandOutcome outcome;
    if (anovaComputed(texts, shared, sep, outcome)) {
        ComputeRegression(ReadStudy(texts, sep), shared.regression, shared.slopeIsZero);
        ComputeRecovery(ReadStudy(texts, sep), shared.recovery);
        outcome.lines =
            ReportLines(texts, shared.regression, shared.anova, shared.residuals, shared.recovery, sep);
    }
    return outcome;
}

} // namespace stats
