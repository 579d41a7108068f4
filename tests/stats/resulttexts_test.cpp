// The result texts beyond the worked studies' texts compared whole
// (tests/golden): what a command keeps from the study before, the typed
// texts as typed, and the refusals of every command.
#include "stats/commands.h"
#include "support/studies.h"

#include <gtest/gtest.h>

using namespace testing_studies;
using stats::Lines;

TEST(ResultTexts, BelongToTheStudyNotToWhatRanBefore)
{
    // The records still hold a recovery with best and worst case; a study
    // without dependence shows none of it.
    stats::SharedResults shared;
    ASSERT_EQ(stats::RunSystematicError(biasedStudy(), shared, '.').lines.size(), 11u);
    const stats::StudyData noDependence =
        makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"}, {"1.0", "2.0", "2.0", "1.0", "1.5", "1.6"});
    const Lines lines = stats::RunSystematicError(noDependence, shared, '.').lines;
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2], "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = NP");
    EXPECT_EQ(lines[9], "NP = NO PROCEDE");
    const stats::CommandOutcome anova = stats::RunAnova(
        makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1.01", "1.99", "3.02"}), shared, '.');
    EXPECT_EQ(anova.grid[5], (std::array<std::string, 6>{}));
    EXPECT_EQ(anova.lines.size(), 1u);

    // The data section shows the texts as typed.
    stats::StudyData typed = anovaStudy();
    typed.dataGrid[1][1] = "1.00";
    typed.dataGrid[1][2] = "1.50";
    EXPECT_EQ(stats::RunReport(typed, shared, '.').lines[20], "          1           1.00            1.50");
}

TEST(ResultCommands, RefuseAZeroSlopeAndAnIncompleteStudy)
{
    const stats::StudyData flat = makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"});
    stats::StudyData incomplete = anovaStudy();
    incomplete.levelsText = "";
    stats::SharedResults shared;
    for (auto run : {stats::RunInference, stats::RunAnova, stats::RunResiduals, stats::RunSystematicError,
                     stats::RunReport, stats::RunRegressionGraph, stats::RunResidualGraph}) {
        stats::CommandOutcome o = run(flat, shared, '.');
        EXPECT_TRUE(o.zeroSlope);
        EXPECT_EQ(o.refusalMessage(), "La pendiente es cero, imposible realizar cálculos.");
        EXPECT_TRUE(o.lines.empty() && o.graph.x.empty());
        o = run(incomplete, shared, '.');
        EXPECT_TRUE(o.validation.failed);
        EXPECT_EQ(o.refusalMessage(), "Falta capturar el número de niveles");
        EXPECT_TRUE(o.graph.x.empty());
    }
}
