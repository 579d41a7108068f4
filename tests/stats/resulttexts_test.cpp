#include "stats/commands.h"
#include "stats/numberformat.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace testing_studies;
using stats::Lines;

namespace {

// Regression not significant (pRegression 0.92) although replicated.
stats::StudyData noDependenceStudy()
{
    return makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"}, {"1.0", "2.0", "2.0", "1.0", "1.5", "1.6"});
}

// Percentages 101, 99, 100, 100: a mean of exactly 100.
stats::StudyData exactRecoveryStudy()
{
    return makeStudy({"2", "1", "1"}, {"100", "100", "200", "300"}, {"101", "99", "200", "300"});
}

stats::StudyData oneReplicateStudy()
{
    return makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1.01", "1.99", "3.02"});
}

Lines readLines(const std::string &path)
{
    std::ifstream in(path);
    Lines lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(InferenceText, ShowsFourteenLinesAndTheBoxesEmptyLine)
{
    stats::SharedResults shared;
    const stats::CommandOutcome o = stats::RunInference(inferenceStudy(), shared, '.');
    ASSERT_FALSE(o.refused());
    const Lines expected = {"                INFERENCIA DE PENDIENTE Y ORDENADA AL ORIGEN",
                            " ",
                            "PENDIENTE =  1.00667",
                            "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = 1.04264",
                            "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = 0.97069",
                            "t cal = 0.438178",
                            "ORDENADA AL ORIGEN = -0.544444",
                            "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = 3.10083",
                            "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = -4.18972",
                            "t cal = -0.353167",
                            "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = 0.745356",
                            "COEFICIENTE DE VARIACIÓN = 0.744446",
                            "COEFICIENTE DE DETERMINACIÓN (r^2) = 0.99840357",
                            "",
                            ""};
    EXPECT_EQ(o.lines, expected);
    stats::StudyData comma = inferenceStudy();
    for (auto &row : comma.dataGrid)
        std::replace(row[2].begin(), row[2].end(), '.', ',');
    EXPECT_EQ(stats::RunInference(comma, shared, ',').lines[2], "PENDIENTE =  1,00667");
}

TEST(AnovaText, FillsTheGridAndTheConclusions)
{
    stats::SharedResults shared;
    stats::CommandOutcome o = stats::RunAnova(anovaStudy(), shared, '.');
    using Row = std::array<std::string, 6>;
    EXPECT_EQ(o.grid[0], (Row{"         FUENTE", "    GRADOS", "      SUMA", "     MEDIA", "", ""}));
    EXPECT_EQ(o.grid[1], (Row{"             DE", "        DE", "        DE", "        DE", "      fcal", "     Pfcal"}));
    EXPECT_EQ(o.grid[2], (Row{"      VARIACIÓN", "  LIBERTAD", " CUADRADOS", " CUADRADOS", "", ""}));
    EXPECT_EQ(o.grid[3], (Row{"REGRESIÓN", "1", "4.02003", "4.02003", "1096.99", "0.000265967"}));
    EXPECT_EQ(o.grid[4], (Row{"ERROR DE REGRESIÓN", "4", "0.0146583", "0.00366458", "", ""}));
    EXPECT_EQ(o.grid[5], (Row{"FALTA DE AJUSTE", "1", "0.00520833", "0.00520833", "1.65344", "0.289083"}));
    EXPECT_EQ(o.grid[6], (Row{"ERROR PURO", "3", "0.00945", "0.00315", "", ""}));
    EXPECT_EQ(o.lines.size(), 2u);

    o = stats::RunAnova(oneReplicateStudy(), shared, '.');
    EXPECT_EQ(o.grid[5], Row{});
    EXPECT_EQ(o.grid[6], Row{});
    EXPECT_EQ(o.lines.size(), 1u);

    o = stats::RunAnova(noDependenceStudy(), shared, '.');
    EXPECT_EQ(o.grid[5][0], "FALTA DE AJUSTE");
    EXPECT_EQ(o.lines, Lines{"NO HAY DEPENDENCIA ENTRE LAS VARIABLES"});
}

TEST(ResidualText, ReadsAsOneTableOfFourBoxes)
{
    stats::SharedResults shared;
    const stats::CommandOutcome o = stats::RunResiduals(anovaStudy(), shared, '.');
    EXPECT_EQ(o.columns[0], (Lines{"****", "Observación", "           1", "           2", "           3", "           4",
                                   "           5", "           6"}));
    EXPECT_EQ(o.columns[1],
              (Lines{"****", "Pronóstico para Y", "1.01583", "1.01583", "2.01833", "2.01833", "3.02083", "3.02083"}));
    EXPECT_EQ(o.columns[2], (Lines{"****", "Residuales", "0.00416667", "-0.0458333", "0.0816667", "0.00166667",
                                   "-0.0708333", "0.0291667"}));
    EXPECT_EQ(o.columns[3], (Lines{"Residuos", "Estudentizados", "0.0901194", "-0.991313", "1.47783", "0.0301597",
                                   "-1.53203", "0.630835"}));
}

TEST(SystematicErrorText, StatesTheVerdictWithBestAndWorstCaseOrNP)
{
    stats::SharedResults shared;
    Lines lines = stats::RunSystematicError(anovaStudy(), shared, '.').lines;
    EXPECT_EQ(lines, (Lines{"                EVALUACIÓN DEL ERROR SISTEMÁTICO CONSTANTE",
                            " ",
                            "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = 100.833",
                            "DESVIACIÓN ESTÁNDAR DEL PORCENTAJE RECUPERADO = 2.84214",
                            "DESVIACIÓN ESTÁNDAR RELATIVA = 2.81865",
                            "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = 103.816",
                            "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = 97.8507",
                            "PRUEBA t DE STUDENT = 0.718205",
                            "",
                            "EL MÉTODO CARECE DE ERROR SISTEMÁTICO.",
                            "QUE EN EL MEJOR DE LOS CASOS ES DE UN -2.14933 Y EN EL PEOR DE LOS CASOS ES DE UN 3.816"}));

    lines = stats::RunSystematicError(biasedStudy(), shared, '.').lines;
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[9], "EL MÉTODO PRESENTA ERROR SISTEMÁTICO,");
    EXPECT_EQ(lines[10], "QUE EN EL MEJOR DE LOS CASOS ES DE UN 3.70653 Y EN EL PEOR DE LOS CASOS ES DE UN 4.84902");

    lines = stats::RunSystematicError(exactRecoveryStudy(), shared, '.').lines;
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2], "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = 100");
    EXPECT_EQ(lines[9], "EL MÉTODO CARECE DE ERROR SISTEMÁTICO.");

    // The verdict belongs to the study itself, not to what ran before.
    lines = stats::RunSystematicError(noDependenceStudy(), shared, '.').lines;
    EXPECT_EQ(lines, (Lines{"                EVALUACIÓN DEL ERROR SISTEMÁTICO CONSTANTE", " ",
                            "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = NP",
                            "DESVIACIÓN ESTÁNDAR DEL PORCENTAJE RECUPERADO = NP", "DESVIACIÓN ESTÁNDAR RELATIVA = NP",
                            "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = NP",
                            "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = NP", "PRUEBA t DE STUDENT = NP", "",
                            "NP = NO PROCEDE"}));
}

TEST(ReportText, ReproducesTheWorkedStudyLineForLine)
{
    stats::StudyData study = anovaStudy();
    study.methodText = "Valoración de paracetamol";
    study.analystText = "Ana Pérez";
    study.dateText = "06/12/2026";
    study.unitsText = "mg";
    stats::SharedResults shared;
    const stats::CommandOutcome o = stats::RunReport(study, shared, '.');
    const Lines golden = readLines(TEST_DATA_DIR "/worked-anova.report.txt");
    ASSERT_EQ(golden.size(), 94u);
    EXPECT_EQ(o.lines, golden);
    // Spot checks of what the golden file must hold.
    EXPECT_EQ(golden[15], "1                     2");
    EXPECT_EQ(golden[20], "          1           1            1.02");
    EXPECT_EQ(golden[82], "EL MÉTODO CARECE DE ERROR SISTEMÁTICO.");
    EXPECT_EQ(golden[93], std::string(10, ' ') + "6" + std::string(23, ' ') + "3.02083" + std::string(24, ' ') +
                              "0.0291667" + std::string(24, ' ') + "0.630835");
}

TEST(ReportText, AdaptsItsSectionsToTheStudy)
{
    stats::SharedResults shared;
    // Without replicates: no lack-of-fit block, a single conclusion line.
    Lines lines = stats::RunReport(oneReplicateStudy(), shared, '.').lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "FUENTE DE VARIACIÓN : FALTA DE AJUSTE"), 0);
    auto at = std::find(lines.begin(), lines.end(), "MEDIA DE CUADRADOS = " + stats::FormatGeneral(shared.anova.msError, 6, '.'));
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), " ");
    EXPECT_EQ((at + 2)->rfind("EXISTE RELACIÓN", 0), 0u);
    EXPECT_EQ(*(at + 3), " ");

    // Not significant: ends with the NP lines, no residuals.
    lines = stats::RunReport(noDependenceStudy(), shared, '.').lines;
    EXPECT_EQ(lines.back(), "NP = NO PROCEDE");
    EXPECT_EQ(lines[lines.size() - 2], " ");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "NO HAY DEPENDENCIA ENTRE LAS VARIABLES"), 1);

    // Systematic error present: best and worst case on two lines.
    lines = stats::RunReport(biasedStudy(), shared, '.').lines;
    auto verdict = std::find(lines.begin(), lines.end(), "EL MÉTODO PRESENTA ERROR SISTEMÁTICO,");
    ASSERT_NE(verdict, lines.end());
    EXPECT_EQ(*(verdict + 1), "QUE EN EL MEJOR DE LOS CASOS ES DE UN 3.70653");
    EXPECT_EQ(*(verdict + 2), "Y EN EL PEOR DE LOS CASOS ES DE UN 4.84902");
    EXPECT_EQ(*(verdict + 3), " ");

    // The data section shows the texts as typed.
    stats::StudyData typed = anovaStudy();
    typed.dataGrid[1][1] = "1.00";
    typed.dataGrid[1][2] = "1.50";
    lines = stats::RunReport(typed, shared, '.').lines;
    EXPECT_EQ(lines[20], "          1           1.00            1.50");
}

TEST(ResultCommands, RefuseAZeroSlopeAndAnIncompleteStudy)
{
    const stats::StudyData flat = makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"});
    stats::SharedResults shared;
    for (auto run : {stats::RunInference, stats::RunAnova, stats::RunResiduals, stats::RunSystematicError,
                     stats::RunReport}) {
        stats::CommandOutcome o = run(flat, shared, '.');
        EXPECT_TRUE(o.zeroSlope);
        EXPECT_EQ(o.refusalMessage(), "La pendiente es cero, imposible realizar cálculos.");
        EXPECT_TRUE(o.lines.empty());
        stats::StudyData incomplete = anovaStudy();
        incomplete.levelsText = "";
        o = run(incomplete, shared, '.');
        EXPECT_TRUE(o.validation.failed);
        EXPECT_EQ(o.refusalMessage(), "Falta capturar el número de niveles");
    }
}

TEST(GraphCommands, GiveTheWorkedStudysPointsAndLegend)
{
    stats::SharedResults shared;
    const stats::CommandOutcome regression = stats::RunRegressionGraph(inferenceStudy(), shared, '.');
    ASSERT_FALSE(regression.refused());
    EXPECT_EQ(regression.lines, (Lines{"Y = 1.00667(X) + (-0.544444)", "Sx/y = 0.745356", "CVx/y = 0.744",
                                       "(r^2) = 0.998404"}));
    ASSERT_EQ(regression.graph.x.size(), 9u);
    EXPECT_EQ(regression.graph.x[3], 100.0);
    EXPECT_EQ(regression.graph.observed[8], 121.0);
    EXPECT_NEAR(regression.graph.line[0], 1.0066666666666667 * 80 - 0.5444444444444444, 1e-12);
    // The legend follows the locale's separator.
    stats::StudyData comma = inferenceStudy();
    for (auto &row : comma.dataGrid)
        for (auto &cell : row)
            std::replace(cell.begin(), cell.end(), '.', ',');
    EXPECT_EQ(stats::RunRegressionGraph(comma, shared, ',').lines[0], "Y = 1,00667(X) + (-0,544444)");

    const stats::CommandOutcome residuals = stats::RunResidualGraph(anovaStudy(), shared, '.');
    ASSERT_FALSE(residuals.refused());
    EXPECT_TRUE(residuals.lines.empty());
    const std::vector<std::string> studentized = {"0.0901194", "-0.991313", "1.47783",
                                                  "0.0301597", "-1.53203",  "0.630835"};
    ASSERT_EQ(residuals.graph.observed.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(stats::FormatGeneral(residuals.graph.observed[i], 6, '.'), studentized[i]);
        EXPECT_EQ(residuals.graph.line[i], 0.0);
    }
    EXPECT_EQ(residuals.graph.x, (std::vector<double>{1, 1, 2, 2, 3, 3}));
}

TEST(GraphCommands, RefuseAZeroSlopeAndAnIncompleteStudy)
{
    const stats::StudyData flat = makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"});
    stats::SharedResults shared;
    for (auto run : {stats::RunRegressionGraph, stats::RunResidualGraph}) {
        stats::CommandOutcome o = run(flat, shared, '.');
        EXPECT_TRUE(o.zeroSlope);
        EXPECT_EQ(o.refusalMessage(), "La pendiente es cero, imposible realizar cálculos.");
        EXPECT_TRUE(o.graph.x.empty());
        stats::StudyData incomplete = anovaStudy();
        incomplete.levelsText = "";
        o = run(incomplete, shared, '.');
        EXPECT_TRUE(o.validation.failed);
        EXPECT_TRUE(o.graph.x.empty());
    }
}
