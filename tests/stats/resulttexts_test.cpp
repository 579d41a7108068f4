// The result texts beyond the worked studies' texts compared whole
// (tests/golden): what a command keeps from the study before, the typed
// texts as typed, and the refusals of every command.
#include "stats/outcomes.h"
#include "support/studies.h"

#include <gtest/gtest.h>

using namespace testing_studies;
using stats::Lines;

stats::StudyAnalysis analyzed(const stats::StudyData &study) { return stats::Analyze(study, {}); }

TEST(ResultTexts, ShowWhatTheStudyHasAndNothingElse)
{
    // A study with bias shows its best and worst case; one without
    // dependence shows none of it.
    ASSERT_EQ(stats::SystematicErrorOutcome(analyzed(biasedStudy())).lines.size(), 11u);
    const stats::StudyData noDependence =
        makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"}, {"1.0", "2.0", "2.0", "1.0", "1.5", "1.6"});
    const Lines lines = stats::SystematicErrorOutcome(analyzed(noDependence)).lines;
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2], "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = NP");
    EXPECT_EQ(lines[9], "NP = NO PROCEDE");
    const stats::CommandOutcome anova =
        stats::AnovaOutcome(analyzed(makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1.01", "1.99", "3.02"})));
    EXPECT_EQ(anova.grid[5], (std::array<std::string, 6>{}));
    EXPECT_EQ(anova.lines.size(), 1u);

    // The data section shows the texts as typed.
    stats::StudyData typed = anovaStudy();
    typed.dataGrid[1][1] = "1.00";
    typed.dataGrid[1][2] = "1.50";
    EXPECT_EQ(stats::ReportOutcome(analyzed(typed)).lines[20], "          1           1.00            1.50");
}

TEST(ResultCommands, RefuseAZeroSlopeAndAnIncompleteStudy)
{
    const stats::StudyData flat = makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"});
    stats::StudyData incomplete = anovaStudy();
    incomplete.levelsText = "";
    for (auto run : {stats::InferenceOutcome, stats::AnovaOutcome, stats::ResidualsOutcome,
                     stats::SystematicErrorOutcome, stats::ReportOutcome, stats::CriteriaOutcome,
                     stats::RegressionGraphOutcome, stats::ResidualGraphOutcome}) {
        stats::CommandOutcome o = run(analyzed(flat));
        EXPECT_TRUE(o.zeroSlope);
        EXPECT_EQ(o.refusalMessage(), "La pendiente es cero, imposible realizar cálculos.");
        EXPECT_TRUE(o.lines.empty() && o.graph.x.empty());
        o = run(analyzed(incomplete));
        EXPECT_TRUE(o.validation.failed);
        EXPECT_EQ(o.refusalMessage(), "Falta capturar el número de niveles");
        EXPECT_TRUE(o.graph.x.empty());
    }
}
