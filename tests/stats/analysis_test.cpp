// One analysis serves every output, and a window that changes one option
// keeps the parts the option does not reach: what it then shows must be
// what a fresh analysis with that option shows.
#include "stats/outcomes.h"
#include "stats/studyfile.h"

#include <gtest/gtest.h>

namespace {

stats::StudyData worked(const char *name)
{
    return stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(std::string(TEST_DATA_DIR "/") + name)));
}

// Every text a result window of the study shows with these options.
std::vector<stats::Lines> shown(const stats::StudyAnalysis &a)
{
    std::vector<stats::Lines> texts;
    for (auto outcome : {stats::InferenceOutcome, stats::ReportOutcome, stats::CriteriaOutcome,
                         stats::QuadraticOutcome, stats::WeightingOutcome, stats::SamplesOutcome})
        texts.push_back(outcome(a).lines);
    return texts;
}

} // namespace

// Each option changed after every part was computed: T, the limits, the
// weight, the samples, their confidence, and the decimal separator (which
// reads the study anew: "80,5" is no number under a point).
TEST(Analysis, AnotherOptionShowsWhatAFreshAnalysisShows)
{
    stats::AcceptanceLimits strict;
    strict.minLackOfFitP = 0.9;
    strict.minMandelP = 0.9;
    const std::vector<stats::Sample> lot = {{"M-1", {stats::Rational(99)}}, {"M-2", {stats::Rational(121)}}};
    const stats::AnalysisOptions base = {.criteria = {}, .samples = lot};
    const stats::AnalysisOptions changed[] = {
        {.criteria = {.target = stats::Rational(110), .limits = {}}, .samples = lot},
        {.criteria = {.target = {}, .limits = strict}, .samples = lot},
        {.weighting = {stats::Weight::InverseX2}, .samples = lot},
        {.samples = std::vector<stats::Sample>{{"M-3", {stats::Rational(80)}}}},
        {.samples = lot, .confidence = stats::Rational(99, 100)},
        {.decimalSeparator = ',', .samples = lot},
    };
    for (const char *study : {"worked-40obs.w04", "worked-lackoffit.w04", "worked-inference-comma.w04"}) {
        const stats::StudyData data = worked(study);
        const stats::StudyAnalysis first = stats::Analyze(data, base);
        const std::vector<stats::Lines> before = shown(first); // every part computed
        for (size_t i = 0; i < std::size(changed); ++i) {
            const stats::StudyAnalysis fresh = stats::Analyze(data, changed[i]);
            EXPECT_EQ(shown(stats::Reanalysed(first, changed[i])), shown(fresh)) << study << " option " << i;
        }
        EXPECT_EQ(shown(stats::Reanalysed(first, base)), before) << study;
    }
}
