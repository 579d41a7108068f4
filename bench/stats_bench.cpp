// One full analysis of a 25-observation study, its acceptance criteria, and
// one read + validate + report of a study file, as the headless --report
// command does them.
#include "stats/leastsquares.h"
#include "stats/conversions.h"
#include "stats/outcomes.h"
#include "stats/studyfile.h"
#include "stats/weighting.h"
#include "stats/wholestudy.h"

#include <benchmark/benchmark.h>

namespace {

// Five levels of five replicates around 100 % recovery.
stats::StudyData study25()
{
    const char *offsets[] = {"-0.6", "0.2", "0.1", "-0.3", "0.5"};
    std::vector<std::string> replicates(5, "5"), x, y;
    for (int level = 0; level < 5; ++level)
        for (const char *offset : offsets) {
            const int amount = 60 + 20 * level;
            x.push_back(std::to_string(amount));
            y.push_back(std::to_string(amount - 1) + "." + std::string(offset + (offset[0] == '-' ? 3 : 2)));
        }
    stats::StudyData s = stats::StudyData::Shaped(replicates, x, y);
    s.levelsText = "5";
    return s;
}

void BM_FullAnalysis25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    stats::RegressionResult regression;
    stats::AnovaAndResiduals anova;
    stats::RecoveryResult recovery;
    bool slopeIsZero = false;
    for (auto _ : state) {
        stats::ComputeRegression(study, regression, slopeIsZero);
        stats::ComputeAnovaResiduals(study, anova.anova, slopeIsZero, anova.residuals);
        stats::ComputeRecovery(study, recovery);
        benchmark::DoNotOptimize(recovery);
    }
}
BENCHMARK(BM_FullAnalysis25);

// The acceptance criteria of the same study, its analysis of variance
// already computed (as the criteria window finds it).
void BM_Criteria25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    stats::AnovaAndResiduals anova;
    bool slopeIsZero = false;
    stats::ComputeAnovaResiduals(study, anova.anova, slopeIsZero, anova.residuals);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::ComputeCriteria(study, anova.anova, {}));
}
BENCHMARK(BM_Criteria25);

void BM_ReadValidateReport(benchmark::State &state)
{
    stats::StudyFile file = stats::StudyFileFromTexts(study25());
    file.predictionX.assign(3, "");
    file.predictionY.assign(3, "");
    const std::string bytes = stats::SerializeStudyFile(file);
    for (auto _ : state) {
        const stats::StudyData study = stats::StudyFromFile(stats::ParseStudyFile(bytes));
        benchmark::DoNotOptimize(stats::ReportOutcome(stats::Analyze(study, {})));
    }
}
BENCHMARK(BM_ReadValidateReport);

// Everything a study yields from its texts, analysed once: the report
// (regression, analysis of variance, residuals, recovery) and the acceptance
// criteria rendered from it.
void BM_WholeEvaluation25(benchmark::State &state)
{
    const stats::StudyData texts = study25();
    for (auto _ : state) {
        const stats::StudyAnalysis analysis = stats::Analyze(texts, {});
        benchmark::DoNotOptimize(stats::ReportOutcome(analysis));
        benchmark::DoNotOptimize(stats::CriteriaOutcome(analysis));
    }
}
BENCHMARK(BM_WholeEvaluation25);

// The weighting evaluation of the same study from its numbers: the tests of
// the variance, the eight weights ranked, the chosen line and the
// diagnostics, the least-squares line fitted afresh each time.
void BM_Weighting25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    bool slopeIsZero = false;
    for (auto _ : state) {
        study.fittedLine.reset();
        benchmark::DoNotOptimize(stats::ComputeWeighting(study, {}, slopeIsZero));
    }
}
BENCHMARK(BM_Weighting25)->Unit(benchmark::kMicrosecond);

// Its parts, each from the study alone (each prepares the study's whole
// numbers, which the whole evaluation does once): where the time goes.
template <class Part>
void weightingPart(benchmark::State &state, Part part)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    stats::FitLine(study);
    for (auto _ : state)
        benchmark::DoNotOptimize(part(study));
}
BENCHMARK_CAPTURE(weightingPart, WholeNumbers, [](const auto &s) { return stats::WholeStudy(s); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(weightingPart, Homogeneity, [](const auto &s) { return stats::AssessHomogeneity(s); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(weightingPart, RankWeights, [](const auto &s) { return stats::RankWeights(s); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(weightingPart, UnweightedLine,
                  [](const auto &s) { return stats::FitWeightedLine(s, stats::Weight::None); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(weightingPart, PointDiagnostics, [](const auto &s) { return stats::PointDiagnostics(s); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(weightingPart, Grubbs, [](const auto &s) { return stats::GrubbsTests(s); })
    ->Unit(benchmark::kMicrosecond);

// The quadratic model of the same study beside its line, the line already
// fitted (as the analysis finds it): fit, analysis of variance, back-
// calculation with its roots, the choice.
void BM_Quadratic25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    stats::FitLine(study);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::ComputeQuadratic(study, {}));
}
BENCHMARK(BM_Quadratic25);

// Its text, as the window and --quadratic show it.
void BM_QuadraticText25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    const stats::QuadraticResult model = stats::ComputeQuadratic(study, {});
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::TextOf(stats::QuadraticDocument(model, '.')));
}
BENCHMARK(BM_QuadraticText25);
// 200 unknown samples of three responses each read off the line of the same
// study, its detection limits computed (as the samples window does on each
// edit, less the analysis of the study).
void BM_Samples200(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    const stats::DetectionResult detection = stats::ComputeDetection(study);
    std::vector<stats::Sample> samples;
    for (int i = 0; i < 200; ++i) {
        const std::string whole = std::to_string(60 + i / 2);
        samples.push_back({"M" + std::to_string(i),
                           {stats::StrToRational(whole + ".13", '.'), stats::StrToRational(whole + ".42", '.'),
                            stats::StrToRational(whole + ".07", '.')}});
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::EvaluateSamples(study, detection, samples, stats::DefaultConfidence()));
}
BENCHMARK(BM_Samples200)->Unit(benchmark::kMicrosecond);

} // namespace


BENCHMARK_MAIN();
