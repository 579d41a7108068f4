// Lost digits: amounts very large against their spread make the running sums
// cancel; every command refuses such a study instead of printing noise, and
// never refuses a study whose printed figures are right.
#include "stats/commands.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/precision.h"
#include "stats/resultfields.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>

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

// Every printed figure is judged: one a hundredth off its stable value
// refuses the result. Only the t table's values are not, nor the
// probabilities, which are computed again from their F (a degree of freedom
// off shows in them).
TEST(LostDigits, EveryPrintedFigureOffItsValueIsRefused)
{
    const stats::LinearityStudy study = stats::ReadStudy(anovaStudy(), '.');
    stats::SharedResults r;
    stats::ComputeCheckedRegression(study, r.regression, r.slopeIsZero);
    stats::ComputeCheckedAnova(study, r.anova, r.slopeIsZero, r.residuals);
    stats::ComputeCheckedRecovery(study, r.recovery);
    auto expectRefused = [](const auto &fields, const auto &record, auto check) {
        for (const auto &f : fields) {
            auto wrong = record;
            wrong.*f.member += 0.01 * std::fabs(wrong.*f.member) + 1e-3;
            std::string said = "shown";
            try {
                check(wrong);
            } catch (const stats::FloatingPointError &e) {
                said = e.what();
            }
            const bool fromTable = std::set<std::string>{"criticalT", "tTable", "p"}.count(f.key) > 0;
            EXPECT_EQ(said.rfind(kLostDigits, 0) == 0, !fromTable) << f.key << ": " << said;
        }
    };
    expectRefused(stats::RegressionFields(), r.regression, [&](auto w) { stats::CheckRegressionFigures(study, w); });
    expectRefused(stats::RecoveryFields(), r.recovery, [&](auto w) { stats::CheckRecoveryFigures(study, w); });
    std::vector<stats::ResultField<stats::AnovaResult>> anovaFields;
    for (const stats::AnovaField &f : stats::AnovaFields())
        anovaFields.push_back({stats::AnovaColumns()[f.column].key, f.member, 6, f.noise, "", "", "", ""});
    expectRefused(anovaFields, r.anova, [&](auto w) { stats::CheckAnovaFigures(study, w, r.residuals); });
    expectRefused(stats::ResidualFields(), r.residuals[2], [&](auto w) {
        std::vector<stats::ResidualRow> rows = r.residuals;
        rows[2] = w;
        stats::AnovaResult anova = r.anova;
        stats::CheckAnovaFigures(study, anova, rows);
    });
}

// Moving the same study further and further from zero: while its figures
// are right it is shown, and every field of every result table is within
// half a unit of its last printed digit of the stable value.
TEST(LostDigits, AShownResultPrintsTheStableFigures)
{
    int power = 0;
    auto expectPrinted = [&power](double shown, double stable, int digits, const char *key) {
        const double printed = std::stod(stats::FormatGeneral(shown, digits, '.'));
        const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(printed))) + 1 - digits);
        EXPECT_LE(std::fabs(printed - stable), unit / 2 * (1 + 1e-9)) << "10^" << power << " " << key;
    };
    int firstRefused = 0;
    for (; power <= 15; ++power) {
        const stats::StudyData study = shifted(inferenceStudy(), std::pow(10.0, power));
        const stats::LinearityStudy read = stats::ReadStudy(study, '.');
        stats::SharedResults shown;
        try {
            stats::RunReport(study, shown, '.');
            const stats::RegressionResult regression = stats::StableRegression(read);
            for (const stats::RegressionField &f : stats::RegressionFields())
                expectPrinted(shown.regression.*f.member, regression.*f.member, f.digits, f.key);
            const stats::RecoveryResult recovery = stats::StableRecovery(read);
            for (const stats::RecoveryField &f : stats::RecoveryFields())
                expectPrinted(shown.recovery.*f.member, recovery.*f.member, f.digits, f.key);
            stats::AnovaResult anova;
            std::vector<stats::ResidualRow> rows;
            stats::StableAnova(read, anova, rows);
            for (const stats::AnovaField &f : stats::AnovaFields())
                expectPrinted(shown.anova.*f.member, anova.*f.member, 6, stats::AnovaSources()[f.source].key);
            for (size_t j = 0; j < rows.size(); ++j)
                for (const stats::ResidualField &f : stats::ResidualFields())
                    expectPrinted(shown.residuals[j].*f.member, rows[j].*f.member, f.digits, f.key);
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
        {1.0000049, 1.0000051, 6, 0, true},   // prints 1 for 1.00001
        {1.0000049, 1.000005, 6, 0, false},   // on the rounding edge either way is right
        {1.00001, 1.00002, 6, 0, true},       // one unit in the last printed digit
        {123456.2, 123456.8, 6, 0, true},     // more than half a unit of the units digit
        {123456.4, 123456.6, 6, 0, true},     // 123456 for 123457
        {0.0004097064, 0.000409706546, 6, 0, true}, // the lack of fit a millionth of the error
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

// Every figure the windows print, against exact arithmetic. The exact values
// were computed with Python's fractions.Fraction from the doubles each study
// reads (Fraction(float("902.5")), ...), the square roots with decimal at 60
// digits, by the textbook formulas: b = Sxy/Sxx, a = mean(y) - b mean(x),
// SS(error) = Syy - b Sxy, SS(pure error) = sum (y - level mean)^2,
// SS(lack of fit) = sum (level mean - fitted y)^2 (equal to their difference).
TEST(LostDigits, PrintedFiguresAreTheExactValuesRounded)
{
    struct Figure {
        const char *name;
        double shown;
        long double exact;
        int digits = 6;
    };
    auto figures = [](const stats::StudyData &data) {
        const stats::LinearityStudy study = stats::ReadStudy(data, '.');
        stats::RegressionResult r;
        stats::AnovaResult a;
        std::vector<stats::ResidualRow> rows;
        bool zero = false;
        stats::ComputeCheckedRegression(study, r, zero);
        stats::ComputeCheckedAnova(study, a, zero, rows);
        return std::pair(r, a);
    };
    // Within half a unit of the last printed digit; a value on a rounding
    // edge to within the doubles' own representation of the data may print
    // either way (the sum of squares of the regression of the second study
    // is 3.667225 for the decimals typed, 3.66722499999999971 for their
    // doubles).
    auto expectRounded = [](const char *study, const std::vector<Figure> &list) {
        for (const Figure &f : list) {
            const std::string printed = stats::FormatGeneral(f.shown, f.digits, '.');
            const long double value = std::stold(printed);
            const long double unit =
                value == 0 ? 0 : std::pow(10.0L, std::floor(std::log10(std::fabs(value))) + 1 - f.digits);
            EXPECT_LE(std::fabs(value - f.exact), unit / 2 * (1 + 1e-9L))
                << study << ": " << f.name << " printed " << printed << ", exactly " << (double)f.exact;
        }
    };

    // A lack of fit a millionth of the error: levels 900 (4), 1200 (3), 1300 (5).
    const auto [r, a] = figures(makeStudy({"4", "3", "5"},
                                          {"900", "900", "900", "900", "1200", "1200", "1200", "1300", "1300",
                                           "1300", "1300", "1300"},
                                          {"902.5", "898.0", "906.1", "896.3", "1194.9", "1202.9", "1201.3",
                                           "1304.5", "1304.3", "1298.2", "1301.4", "1288.3"}));
    expectRounded("small lack of fit",
                  {{"slope", r.slope, 9.96544018058690800866E-1L},
                   {"slope upper limit", r.slopeUpperLimit, 1.01572336380082493382E+0L},
                   {"slope lower limit", r.slopeLowerLimit, 9.77364672316556667911E-1L},
                   {"slope t", r.slopeT, -4.01487801876092470673E-1L},
                   {"intercept", r.intercept, 3.83724604966134894121E+0L},
                   {"intercept upper limit", r.interceptUpperLimit, 2.59905665731029426138E+1L},
                   {"intercept lower limit", r.interceptLowerLimit, -1.83160744737802447314E+1L},
                   {"intercept t", r.interceptT, 3.85936181178956550370E-1L},
                   {"sd regression", r.sdRegression, 5.23010429825780158988E+0L},
                   {"coefficient of variation", r.coefficientOfVariation, 4.58154799937903730641E-1L},
                   {"r squared", r.rSquared, 9.99254442173588112093E-1L, 8},
                   {"ss regression", a.ssRegression, 3.66619409256960161555E+5L},
                   {"f regression", a.fRegression, 1.34027758380950048952E+4L},
                   {"ss error", a.ssError, 2.73539909706547312106E+2L},
                   {"ms error", a.msError, 2.73539909706547312106E+1L},
                   {"ss lack of fit", a.ssLackOfFit, 4.09706546277783227340E-4L},
                   {"ms lack of fit", a.msLackOfFit, 4.09706546277783227340E-4L},
                   {"f lack of fit", a.fLackOfFit, 1.34801698347040741948E-5L},
                   {"ss pure error", a.ssPureError, 2.73539500000001034323E+2L},
                   {"ms pure error", a.msPureError, 3.03932777777778927025E+1L}});
    EXPECT_EQ(stats::FormatGeneral(a.msLackOfFit, 6, '.'), "0.000409707");

    // An intercept that is exactly 0 on the study's doubles, and so its t.
    const auto [r0, a0] = figures(biasedStudy());
    expectRounded("intercept 0",
                  {{"slope", r0.slope, 9.57499999999999962252E-1L},
                   {"slope upper limit", r0.slopeUpperLimit, 9.73403828949344220273E-1L},
                   {"slope lower limit", r0.slopeLowerLimit, 9.41596171050655704232E-1L},
                   {"slope t", r0.slopeT, -7.41940826802374096305E+0L},
                   {"intercept", r0.intercept, 0.0L},
                   {"intercept upper limit", r0.interceptUpperLimit, 3.43561971775108175708E-2L},
                   {"intercept lower limit", r0.interceptLowerLimit, -3.43561971775108175708E-2L},
                   {"intercept t", r0.interceptT, 0.0L},
                   {"sd regression", r0.sdRegression, 1.14564392373896101918E-2L},
                   {"coefficient of variation", r0.coefficientOfVariation, 5.98247479759248597571E-1L},
                   {"r squared", r0.rSquared, 9.99856860473042055491E-1L, 8},
                   {"ss regression", a0.ssRegression, 3.66722499999999971085E+0L},
                   {"f regression", a0.fRegression, 2.79407619047618529261E+4L},
                   {"ss error", a0.ssError, 5.25000000000000932587E-4L},
                   {"ms error", a0.msError, 1.31250000000000233147E-4L},
                   {"ss lack of fit", a0.ssLackOfFit, 7.50000000000001332268E-5L},
                   {"ms lack of fit", a0.msLackOfFit, 7.50000000000001332268E-5L},
                   {"f lack of fit", a0.fLackOfFit, 5.00000000000000000000E-1L},
                   {"ss pure error", a0.ssPureError, 4.50000000000000799361E-4L},
                   {"ms pure error", a0.msPureError, 1.50000000000000266454E-4L}});
}
