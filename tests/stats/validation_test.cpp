#include "stats/errors.h"
#include "stats/study.h"
#include "support/studies.h"

#include <gtest/gtest.h>

using stats::StudyControl;
using testing_studies::inferenceStudy;
using testing_studies::makeStudy;

namespace {

void expectFailure(const stats::StudyData &study, const std::string &message, int page, StudyControl focus)
{
    const stats::ValidationFailure f = stats::ValidateStudy(study);
    EXPECT_TRUE(f.failed);
    EXPECT_EQ(f.message, message);
    EXPECT_EQ(f.page, page);
    EXPECT_EQ(f.focus, focus);
}

} // namespace

TEST(ValidateStudy, PassesACompleteStudy)
{
    EXPECT_FALSE(stats::ValidateStudy(inferenceStudy()).failed);
}

TEST(ValidateStudy, RunsItsChecksInOrderWithTheirMessagesPagesAndFocus)
{
    stats::StudyData s = inferenceStudy();
    s.levelsText = "";
    s.replicateGrid[2][1] = "";
    s.dataGrid[1][1] = "";
    expectFailure(s, "Falta capturar el número de niveles", 1, StudyControl::eniveles);

    for (const char *levels : {"6", "2", "0", "-4"}) {
        s = inferenceStudy();
        s.levelsText = levels;
        expectFailure(s, "Datos fuera de rango, 3-5 Niveles", 1, StudyControl::eniveles);
    }

    s = inferenceStudy();
    s.replicateGrid[3][1] = "";
    s.replicateGrid[2][1] = "";
    expectFailure(s, "Falta la replicación en el nivel 2", 1, StudyControl::stgniveles);

    // Four levels typed while the grid still has three, all filled.
    s = inferenceStudy();
    s.levelsText = "4";
    expectFailure(s, "El número de celdas de captura para las replicaciones, no coincide con el número de niveles.",
                  1, StudyControl::eniveles);

    // Three times three replicates against ten observation rows.
    s = inferenceStudy();
    s.dataGrid.push_back({"", "1", "1"});
    expectFailure(s, "El número de celdas de captura para los datos, no coincide con el número de replicas por nivel.",
                  1, StudyControl::stgniveles);

    // Every x is examined before any y.
    s = inferenceStudy();
    s.dataGrid[2][2] = "";
    s.dataGrid[5][1] = "";
    expectFailure(s, "Falta el dato 5 de la cantidad adicionada", 2, StudyControl::stgdatos);
    s.dataGrid[5][1] = "100";
    expectFailure(s, "Falta el dato 2 de la cantidad recuperada", 2, StudyControl::stgdatos);

    // A blank is not an empty cell.
    s.dataGrid[2][2] = " ";
    EXPECT_FALSE(stats::ValidateStudy(s).failed);
}

TEST(ValidateStudy, RefusesALevelWithoutReplicatesRightAfterTheEmptyCells)
{
    for (const char *count : {"0", "-1"}) {
        stats::StudyData s = makeStudy({"3", count, "3"}, {"1", "1", "1", "3", "3", "3"}, {"1", "1", "1", "3", "3", "3"});
        expectFailure(s, "Datos fuera de rango, mínimo 1 Réplica", 1, StudyControl::stgniveles);
        s.levelsText = "4"; // before the level count is compared with the grid
        expectFailure(s, "Datos fuera de rango, mínimo 1 Réplica", 1, StudyControl::stgniveles);
    }
}

TEST(ValidateStudy, ReportsCountsThatAreNotWholeNumbersAsConversionErrors)
{
    stats::StudyData levels = inferenceStudy(), replicates = inferenceStudy();
    levels.levelsText = "x";
    replicates.replicateGrid[1][1] = "2.5";
    for (const auto &[study, what] : {std::pair(levels, "'x'"), std::pair(replicates, "'2.5'")}) {
        try {
            stats::ValidateStudy(study);
            ADD_FAILURE() << what;
        } catch (const stats::ConversionError &e) {
            EXPECT_EQ(std::string(e.what()), std::string(what) + " is not a valid integer value");
        }
    }
}

TEST(ReadStudy, AssignsObservationsToLevelsInGridOrder)
{
    const stats::LinearityStudy s = stats::ReadStudy(inferenceStudy(), '.');
    ASSERT_EQ(s.n(), 9);
    const int levels[] = {1, 1, 1, 2, 2, 2, 3, 3, 3};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(s.observations[static_cast<size_t>(i)].level, levels[i]);
    EXPECT_DOUBLE_EQ(s.observations[3].x, 100.0);
    EXPECT_DOUBLE_EQ(s.observations[3].y, 99.2);

    std::vector<std::string> x(10, "1"), y(10, "1");
    const stats::LinearityStudy uneven = stats::ReadStudy(makeStudy({"2", "5", "3"}, x, y), '.');
    EXPECT_EQ(uneven.observations[6].level, 2); // observation 7
    EXPECT_EQ(uneven.observations[7].level, 3); // observation 8
}

TEST(ReadStudy, NamesTheFirstBadCellRowByRow)
{
    stats::StudyData s = inferenceStudy();
    s.dataGrid[3][2] = "80,1.0";
    s.dataGrid[4][1] = "abc";
    try {
        stats::ReadStudy(s, '.');
        FAIL();
    } catch (const stats::ConversionError &e) {
        EXPECT_STREQ(e.what(), "'80,1.0' is not a valid floating point value");
    }
}
