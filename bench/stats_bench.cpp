// One full analysis of a 25-observation study, its acceptance criteria, and
// one read + validate + report of a study file, as the headless --report
// command does them.
#include "stats/commands.h"
#include "stats/studyfile.h"

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
    stats::SharedResults shared;
    for (auto _ : state) {
        stats::ComputeRegression(study, shared.regression, shared.slopeIsZero);
        stats::ComputeAnovaResiduals(study, shared.anova, shared.slopeIsZero, shared.residuals);
        stats::ComputeRecovery(study, shared.recovery);
        benchmark::DoNotOptimize(shared);
    }
}
BENCHMARK(BM_FullAnalysis25);

// The acceptance criteria of the same study, its analysis of variance
// already computed (as the criteria window finds it).
void BM_Criteria25(benchmark::State &state)
{
    const stats::LinearityStudy study = stats::ReadStudy(study25(), '.');
    stats::SharedResults shared;
    stats::ComputeAnovaResiduals(study, shared.anova, shared.slopeIsZero, shared.residuals);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::ComputeCriteria(study, shared.anova, {}));
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
        stats::SharedResults shared;
        benchmark::DoNotOptimize(stats::RunReport(study, shared, '.'));
    }
}
BENCHMARK(BM_ReadValidateReport);

// Everything a study yields from its texts: the report (regression, analysis
// of variance, residuals, recovery) and the acceptance criteria, each as its
// command runs it.
void BM_WholeEvaluation25(benchmark::State &state)
{
    const stats::StudyData texts = study25();
    for (auto _ : state) {
        stats::SharedResults shared;
        benchmark::DoNotOptimize(stats::RunReport(texts, shared, '.'));
        benchmark::DoNotOptimize(stats::RunCriteria(texts, shared, '.', {}));
    }
}
BENCHMARK(BM_WholeEvaluation25);

} // namespace

BENCHMARK_MAIN();
