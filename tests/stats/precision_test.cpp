// Lost digits: amounts very large against their spread make the running sums
// cancel; every command refuses such a study instead of printing noise, and
// never refuses a study whose printed figures are right.
#include "stats/commands.h"
#include "stats/errors.h"
#include "stats/precision.h"
#include "stats/studyfile.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace testing_studies;

namespace {

using Command = stats::CommandOutcome (*)(const stats::StudyTexts &, stats::SharedResults &, char);
const std::pair<const char *, Command> kCommands[] = {{"inference", stats::RunInference},
                                                      {"anova", stats::RunAnova},
                                                      {"residuals", stats::RunResiduals},
                                                      {"systematic error", stats::RunSystematicError},
                                                      {"report", stats::RunReport},
                                                      {"regression graph", stats::RunRegressionGraph},
                                                      {"residual graph", stats::RunResidualGraph}};

// What a command says: its lines, or the message of its error.
std::string run(Command command, const stats::StudyData &study)
{
    try {
        stats::SharedResults shared;
        const stats::CommandOutcome o = command(study, shared, '.');
        return o.refused() ? "refused: " + o.refusalMessage() : "shown";
    } catch (const std::exception &e) {
        return std::string("error: ") + e.what();
    }
}

std::string number(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The study with `offset` added to every amount added and recovered.
stats::StudyData shifted(const stats::StudyData &study, double offset)
{
    stats::StudyData s = study;
    for (size_t row = 1; row < s.dataGrid.size(); ++row)
        for (int column : {1, 2})
            s.dataGrid[row][column] = number(std::stod(s.dataGrid[row][column]) + offset);
    return s;
}

stats::StudyData fileStudy(const char *name)
{
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return stats::StudyFromFile(stats::ParseStudyFile(bytes.str()));
}

const char *const kLostDigits = "Las cantidades son muy grandes frente a su dispersión";

} // namespace

TEST(LostDigits, HugeAmountsAgainstTheirSpreadAreRefusedByEveryCommand)
{
    const stats::StudyData studies[] = {
        makeStudy({"1", "1", "1"}, {"1000000000000001", "1000000000000002", "1000000000000003"},
                  {"1.02", "2.10", "2.95"}),
        makeStudy({"2", "2", "2"}, {"1e15+1", "1e15+1", "1e15+2", "1e15+2", "1e15+3", "1e15+3"},
                  {"1.02", "0.97", "2.10", "2.02", "2.95", "3.05"}),
        shifted(anovaStudy(), 1e12),
        shifted(inferenceStudy(), 1e9),
    };
    for (stats::StudyData study : studies) {
        for (auto &row : study.dataGrid) // "1e15+1" written out
            for (std::string &cell : row)
                if (const size_t plus = cell.find("e15+"); plus != std::string::npos)
                    cell = number(1e15 + std::stod(cell.substr(plus + 4)));
        for (const auto &[name, command] : kCommands) {
            const std::string said = run(command, study);
            EXPECT_EQ(said.rfind(std::string("error: ") + kLostDigits, 0), 0u) << name << ": " << said;
            EXPECT_NE(said.find("Reescale los datos"), std::string::npos) << name;
        }
    }
}

TEST(LostDigits, WorkedStudiesAndTheNistDataAreNeverRefused)
{
    const std::pair<const char *, stats::StudyData> studies[] = {
        {"inference", inferenceStudy()},
        {"anova", anovaStudy()},
        {"biased", biasedStudy()},
        {"worked-anova.w04", fileStudy("worked-anova.w04")},
    };
    for (const auto &[study, data] : studies)
        for (const auto &[name, command] : kCommands)
            EXPECT_EQ(run(command, data), "shown") << study << " " << name;

    stats::StudyData comma = fileStudy("worked-inference-comma.w04");
    stats::SharedResults shared;
    EXPECT_NO_THROW(stats::RunInference(comma, shared, ','));

    const stats::LinearityStudy nist = stats::ReadStudy(norrisStudy(), '.');
    stats::RegressionResult r;
    bool zero = false;
    EXPECT_NO_THROW(stats::ComputeCheckedRegression(nist, r, zero));
    stats::AnovaResult anova;
    std::vector<stats::ResidualRow> residuals;
    EXPECT_NO_THROW(stats::ComputeCheckedAnova(nist, anova, zero, residuals));
    stats::RecoveryResult recovery;
    EXPECT_NO_THROW(stats::ComputeCheckedRecovery(nist, recovery));
}

// Moving the same study further and further from zero: while its figures
// are right it is shown, and every figure it shows is within a unit of the
// last printed digit of the stable value.
TEST(LostDigits, AShownResultPrintsTheStableFigures)
{
    auto withinALastDigit = [](double shown, double stable, int digits) {
        const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(stable))) + 1 - digits);
        return std::fabs(shown - stable) <= unit;
    };
    int firstRefused = 0;
    for (int power = 0; power <= 15; ++power) {
        const stats::StudyData study = shifted(inferenceStudy(), std::pow(10.0, power));
        stats::SharedResults shared;
        try {
            stats::RunInference(study, shared, '.');
            const stats::RegressionResult &r = shared.regression;
            const stats::RegressionResult s = stats::StableRegression(stats::ReadStudy(study, '.'));
            const std::pair<double, double> figures[] = {
                {r.slope, s.slope}, {r.slopeUpperLimit, s.slopeUpperLimit}, {r.slopeLowerLimit, s.slopeLowerLimit},
                {r.slopeT, s.slopeT}, {r.intercept, s.intercept}, {r.interceptUpperLimit, s.interceptUpperLimit},
                {r.interceptLowerLimit, s.interceptLowerLimit}, {r.interceptT, s.interceptT},
                {r.sdRegression, s.sdRegression}, {r.coefficientOfVariation, s.coefficientOfVariation}};
            for (const auto &[shown, stable] : figures)
                EXPECT_TRUE(withinALastDigit(shown, stable, 6)) << "10^" << power << ": " << shown << " " << stable;
            EXPECT_TRUE(withinALastDigit(r.rSquared, s.rSquared, 8)) << "10^" << power;
        } catch (const stats::FloatingPointError &e) {
            EXPECT_EQ(std::string(e.what()).rfind(kLostDigits, 0), 0u) << e.what();
            if (!firstRefused)
                firstRefused = power;
        }
    }
    EXPECT_GT(firstRefused, 3); // amounts of thousands with this spread are fine
    EXPECT_LE(firstRefused, 9);
}

TEST(LostDigits, AFigureIsWrongOnlyWhenItsPrintedDigitsAreWrong)
{
    struct Case {
        double shown, stable;
        int digits;
        double noise;
        bool wrong;
    };
    const Case cases[] = {
        {-1.29, 1.0, 6, 0, true},
        {4.01, 1.0, 8, 1e-11, true},
        {1.00667, 1.00667, 6, 0, false},
        {1.0000049, 1.0000051, 6, 0, false},  // across a rounding edge, within half a unit
        {1.00001, 1.00002, 6, 0, true},       // one unit in the last printed digit
        {123456.2, 123456.8, 6, 0, true},     // more than half a unit of the units digit
        {123456.4, 123456.6, 6, 0, false},    // printed differently, yet within half a unit
        {0.999999995, 0.999999996, 8, 0, false},
        {0.99999, 0.99998, 8, 0, true},       // r^2 printed with eight digits
        {3.5e-14, -1.1e-15, 6, 1e-11, false}, // rounding noise around zero is zero
        {3.5e-3, 1e-15, 6, 1e-11, true},      // but not a figure far above the noise
        {0.0, 2e-3, 6, 1e-11, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stats::FigureIsWrong(c.shown, c.stable, c.digits, c.noise), c.wrong)
            << c.shown << " vs " << c.stable;
}
