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

// The part kept in `slot`, made by `make` the first time it is asked for;
// an empty part where `possible` is false.
template <class T, class Make>
const Computed<T> &once(std::optional<Computed<T>> &slot, bool possible, Make make)
{
    if (!slot)
        slot = possible ? make() : Computed<T>{};
    return *slot;
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
    data.levelLimit = texts.mostLevels();
    data.levelFloor = texts.fewestLevels();
    if (const SeriesNote *note = texts.seriesNote())
        data.series = *note;
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
    a.options = options;
    a.unreadSamples = options.unreadSamples;
    try {
        a.validation = ValidateStudy(a.texts);
        if (a.validation.failed)
            return a;
        a.study = ReadStudy(a.texts, options.decimalSeparator);
    } catch (...) {
        a.error = std::current_exception();
    }
    return a;
}

StudyAnalysis WholeStudyAnalysis(const SeriesStudy &study, AnalysisOptions options)
{
    StudyAnalysis a;
    a.decimalSeparator = options.decimalSeparator;
    options.wholeStudy = std::make_shared<const SeriesStudy>(study);
    a.options = std::move(options);
    a.texts.methodText = study.method;
    a.texts.analystText = study.analyst;
    a.texts.dateText = study.date;
    a.texts.unitsText = study.units;
    if (!study.series.empty()) // what its pages say of the series: how many
        a.texts.series = SeriesNoteOf(study, 1);
    return a;
}

StudyAnalysis Reanalysed(StudyAnalysis analysis, const AnalysisOptions &options)
{
    if (options.decimalSeparator != analysis.decimalSeparator)
        return Analyze(analysis.texts, options);
    analysis.options = options;
    analysis.unreadSamples = options.unreadSamples;
    analysis.criteria_.reset();
    analysis.quadratic_.reset();
    analysis.weighting_.reset();
    analysis.samples_.reset();
    analysis.profile_.reset();
    return analysis;
}

const Computed<RegressionResult> &StudyAnalysis::regression() const
{
    return once(regression_, readable(), [&] {
        return computed<RegressionResult>(
            [&](RegressionResult &r, bool &zeroSlope) { ComputeRegression(study, r, zeroSlope); });
    });
}

const Computed<AnovaAndResiduals> &StudyAnalysis::anova() const
{
    return once(anova_, readable(), [&] {
        return computed<AnovaAndResiduals>([&](AnovaAndResiduals &r, bool &zeroSlope) {
            ComputeAnovaResiduals(study, r.anova, zeroSlope, r.residuals);
        });
    });
}

const Computed<RecoveryResult> &StudyAnalysis::recovery() const
{
    return once(recovery_, readable() && available(anova()),
                [&] { return computed<RecoveryResult>([&](RecoveryResult &r, bool &) { ComputeRecovery(study, r); }); });
}

const Computed<CriteriaResult> &StudyAnalysis::criteria() const
{
    return once(criteria_, readable() && available(anova()) && available(regression()), [&] {
        return computed<CriteriaResult>([&](CriteriaResult &r, bool &) {
            r = ComputeCriteria(study, anova().value->anova, options.criteria);
        });
    });
}

const Computed<QuadraticResult> &StudyAnalysis::quadratic() const
{
    return once(quadratic_, readable(), [&] {
        Computed<QuadraticResult> part = computed<QuadraticResult>(
            [&](QuadraticResult &r, bool &) { r = ComputeQuadratic(study, options.criteria.limits); });
        if (available(part) && available(criteria()))
            CompareWithLine(*part.value, *criteria().value);
        return part;
    });
}

const Computed<WeightingResult> &StudyAnalysis::weighting() const
{
    return once(weighting_, readable(), [&] {
        return computed<WeightingResult>([&](WeightingResult &r, bool &zeroSlope) {
            r = ComputeWeighting(study, options.weighting, zeroSlope);
        });
    });
}

const Computed<DetectionResult> &StudyAnalysis::detection() const
{
    return once(detection_, readable(), [&] {
        return following<DetectionResult>(regression(), [&](DetectionResult &r) { r = ComputeDetection(study); });
    });
}

const Computed<SamplesResult> &StudyAnalysis::samples() const
{
    return once(samples_, readable() && samplesGiven(), [&] {
        return following<SamplesResult>(detection(), [&](SamplesResult &r) {
            r = EvaluateSamples(study, *detection().value, *options.samples, options.confidence);
        });
    });
}

const Computed<ProfileResult> &StudyAnalysis::profile() const
{
    return once(profile_, true, [&] {
        return computed<ProfileResult>([&](ProfileResult &r, bool &) {
            r = options.wholeStudy ? ComputeAccuracyProfile(*options.wholeStudy, options.profile)
                                   : ComputeAccuracyProfile(SeriesStudy(), options.profile);
        });
    });
}

} // namespace stats
