#include "stats/analysis.h"

namespace stats {

namespace {

// Runs `compute` into a part; whatever stops it is kept for its output.
template <class T, class Compute>
Computed<T> computed(Compute compute)
{
    Computed<T> part;
    try {
        T value{};
        compute(value, part.zeroSlope);
        if (!part.zeroSlope)
            part.value = std::move(value);
    } catch (...) {
        part.error = std::current_exception();
    }
    return part;
}

template <class T>
bool available(const Computed<T> &part)
{
    return part.value.has_value();
}

// A part computed only where `prior` was: otherwise it meets the same
// zero slope or error.
template <class T, class U, class Compute>
Computed<T> following(const Computed<U> &prior, Compute compute)
{
    if (available(prior))
        return computed<T>([&](T &value, bool &) { compute(value); });
    Computed<T> part;
    part.zeroSlope = prior.zeroSlope;
    part.error = prior.error;
    return part;
}

} // namespace

StudyData SnapshotOf(const StudyTexts &texts)
{
    StudyData data;
    data.methodText = texts.method();
    data.analystText = texts.analyst();
    data.dateText = texts.date();
    data.unitsText = texts.units();
    data.levelsText = texts.levelCount();
    data.replicateGrid.resize(static_cast<size_t>(std::max(texts.replicateColumnCount(), 0)));
    for (size_t c = 0; c < data.replicateGrid.size(); ++c)
        for (int row = 0; row < 2; ++row)
            data.replicateGrid[c].push_back(texts.replicateCell(static_cast<int>(c), row));
    data.dataGrid.resize(static_cast<size_t>(std::max(texts.dataRowCount(), 0)));
    for (size_t row = 0; row < data.dataGrid.size(); ++row)
        for (int c = 0; c < 3; ++c)
            data.dataGrid[row].push_back(texts.dataCell(c, static_cast<int>(row)));
    return data;
}

StudyAnalysis Analyze(const StudyTexts &texts, const AnalysisOptions &options)
{
    StudyAnalysis a;
    a.texts = SnapshotOf(texts);
    a.decimalSeparator = options.decimalSeparator;
    a.unreadSamples = options.unreadSamples;
    try {
        a.validation = ValidateStudy(a.texts);
        if (a.validation.failed)
            return a;
        a.study = ReadStudy(a.texts, options.decimalSeparator);
    } catch (...) {
        a.error = std::current_exception();
        return a;
    }
    const LinearityStudy &study = a.study;
    a.regression = computed<RegressionResult>(
        [&](RegressionResult &r, bool &zeroSlope) { ComputeRegression(study, r, zeroSlope); });
    a.anova = computed<AnovaAndResiduals>([&](AnovaAndResiduals &r, bool &zeroSlope) {
        ComputeAnovaResiduals(study, r.anova, zeroSlope, r.residuals);
    });
    a.quadratic = computed<QuadraticResult>(
        [&](QuadraticResult &r, bool &) { r = ComputeQuadratic(study, options.criteria.limits); });
    a.weighting = computed<WeightingResult>([&](WeightingResult &r, bool &zeroSlope) {
        r = ComputeWeighting(study, options.weighting, zeroSlope);
    });
    a.detection = following<DetectionResult>(a.regression, [&](DetectionResult &r) { r = ComputeDetection(study); });
    if (options.samples)
        a.samples = following<SamplesResult>(a.detection, [&](SamplesResult &r) {
            r = EvaluateSamples(study, *a.detection.value, *options.samples, options.confidence);
        });
    if (!available(a.anova))
        return a;
    const AnovaResult &anova = a.anova.value->anova;
    a.recovery = computed<RecoveryResult>([&](RecoveryResult &r, bool &) { ComputeRecovery(study, r); });
    if (available(a.regression))
        a.criteria = computed<CriteriaResult>(
            [&](CriteriaResult &r, bool &) { r = ComputeCriteria(study, anova, options.criteria); });
    if (available(a.criteria) && available(a.quadratic))
        CompareWithLine(*a.quadratic.value, *a.criteria.value);
    return a;
}

} // namespace stats
