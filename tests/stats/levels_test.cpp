// A study's levels are its replicate counts' groups, not its distinct
// amounts: two levels may share an amount, one level's amounts may differ,
// and a level of one replicate adds nothing to the pure error. Every
// analysis that reads levels must see the same ones.
#include "stats/anova.h"
#include "stats/detection.h"
#include "stats/levels.h"
#include "stats/quadratic.h"
#include "stats/samples.h"
#include "support/studies.h"

#include <gtest/gtest.h>

using namespace testing_studies;

namespace {

stats::Rational exact(const std::string &text) { return stats::StrToRational(text, '.'); }
stats::Rational exact(const stats::Real &v) { return v.rational(); }

struct ExpectedLevel {
    std::vector<int> rows;
    std::string x, mean, variance;
};

struct LevelCase {
    const char *name;
    stats::StudyData study;
    std::vector<ExpectedLevel> levels;
    std::string pureSquares, lowest, highest;
    int pureDf;
};

std::vector<LevelCase> levelCases()
{
    return {
        // Levels 1 and 2 share the amount 1 with different means; level 4's
        // amounts differ (2.9 and 3.1); level 3 has one replicate.
        {"shared amount",
         makeStudy({"2", "3", "1", "2"}, {"1", "1", "1", "1", "1", "2", "2.9", "3.1"},
                   {"1.0", "1.2", "1.3", "1.5", "1.7", "2.1", "3.0", "3.4"}),
         {{{0, 1}, "1", "1.1", "0.02"},
          {{2, 3, 4}, "1", "1.5", "0.04"},
          {{5}, "2", "2.1", "0"},
          {{6, 7}, "3", "3.2", "0.08"}},
         "0.18", "1", "3", 4},
        // The lowest and the highest amounts are neither the first level nor the last.
        {"amounts out of order",
         makeStudy({"1", "2", "1"}, {"3", "1", "1", "2"}, {"3.1", "0.9", "1.1", "2.0"}),
         {{{0}, "3", "3.1", "0"}, {{1, 2}, "1", "1", "0.02"}, {{3}, "2", "2", "0"}},
         "0.02", "1", "3", 1},
    };
}

TEST(StudyLevels, AreTheReplicateGroups)
{
    for (const LevelCase &c : levelCases()) {
        SCOPED_TRACE(c.name);
        const stats::StudyLevels v = stats::Levels(stats::ReadStudy(c.study, '.'));
        ASSERT_EQ(v.levels.size(), c.levels.size());
        for (size_t j = 0; j < c.levels.size(); ++j) {
            const stats::Level &l = v.levels[j];
            EXPECT_EQ(l.level, static_cast<int>(j) + 1);
            EXPECT_EQ(l.rows, c.levels[j].rows) << "level " << j + 1;
            EXPECT_EQ(l.x, exact(c.levels[j].x)) << "level " << j + 1;
            EXPECT_EQ(l.mean, exact(c.levels[j].mean)) << "level " << j + 1;
            EXPECT_EQ(l.variance, exact(c.levels[j].variance)) << "level " << j + 1;
        }
        EXPECT_EQ(v.pureErrorSquares, exact(c.pureSquares));
        EXPECT_EQ(v.pureErrorDf, c.pureDf);
        EXPECT_EQ(v.lowestX, exact(c.lowest));
        EXPECT_EQ(v.highestX, exact(c.highest));
    }
}

// The analysis of variance, the quadratic model, the criteria and the
// samples take their pure error, level amounts and ends from those groups.
TEST(StudyLevels, AreTheSameInEveryAnalysis)
{
    for (const LevelCase &c : levelCases()) {
        SCOPED_TRACE(c.name);
        const stats::LinearityStudy study = stats::ReadStudy(c.study, '.');
        stats::AnovaResult anova;
        bool zeroSlope = false;
        stats::ComputeAnova(study, anova, zeroSlope);
        ASSERT_FALSE(zeroSlope);
        EXPECT_EQ(exact(anova.ssPureError), exact(c.pureSquares));
        EXPECT_EQ(exact(anova.dfPureError), c.pureDf);

        const stats::QuadraticResult q = stats::ComputeQuadratic(study, {});
        ASSERT_EQ(q.notFitted, nullptr);
        EXPECT_EQ(exact(q.lowestLevel), exact(c.lowest));
        EXPECT_EQ(exact(q.highestLevel), exact(c.highest));
        // Its lack of fit needs four levels: the levels counted, not the amounts.
        EXPECT_EQ(stats::HasPureError(q.anova), c.levels.size() >= 4);
        if (stats::HasPureError(q.anova)) {
            EXPECT_EQ(exact(q.anova.ssPureError), exact(c.pureSquares));
            EXPECT_EQ(exact(q.anova.dfLackOfFit), static_cast<int>(c.levels.size()) - 3);
        }
        ASSERT_EQ(q.levelBias.size(), c.levels.size());

        const stats::CriteriaResult criteria = stats::ComputeCriteria(study, anova, {});
        EXPECT_EQ(criteria.levels, static_cast<int>(c.levels.size()));
        ASSERT_EQ(criteria.levelBias.size(), c.levels.size());
        for (size_t j = 0; j < c.levels.size(); ++j) {
            EXPECT_EQ(exact(criteria.levelBias[j].x), exact(c.levels[j].x)) << "level " << j + 1;
            EXPECT_EQ(exact(q.levelBias[j].x), exact(c.levels[j].x)) << "level " << j + 1;
        }

        const stats::SamplesResult samples =
            stats::EvaluateSamples(study, stats::ComputeDetection(study), {}, stats::DefaultConfidence());
        EXPECT_EQ(exact(samples.lowestLevel), exact(c.lowest));
        EXPECT_EQ(exact(samples.highestLevel), exact(c.highest));
    }
}

} // namespace
