// One full analysis of a 25-observation study, and one read + validate +
// report of a study file, as the headless --report command does them.
#include "stats/commands.h"
#include "stats/studyfile.h"

#include <benchmark/benchmark.h>

namespace {

stats::StudyData study25()
{
    std::vector<std::string> replicates(5, "5"), x, y;
    const char *ys[] = {"79.5", "80.3", "80.1", "79.9", "80.6"};
    for (int level = 0; level < 5; ++level)
        for (int r = 0; r < 5; ++r) {
            x.push_back(std::to_string(60 + 20 * level));
            y.push_back(ys[r]);
        }
    for (int i = 0; i < 25; ++i) {
        const double value = 60 + 20 * (i / 5) + (i % 5) * 0.37 - 0.6 + (i % 3) * 0.21;
        y[static_cast<size_t>(i)] = std::to_string(value);
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

} // namespace

BENCHMARK_MAIN();
