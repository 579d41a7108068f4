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
#include <map>
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
        makeStudy({"2", "2", "2"}, {"1000000000000001", "1000000000000001", "1000000000000002",
                                    "1000000000000002", "1000000000000003", "1000000000000003"},
                  {"1.02", "0.97", "2.10", "2.02", "2.95", "3.05"}),
        shifted(anovaStudy(), 1e12),
        shifted(inferenceStudy(), 1e9),
    };
    for (const stats::StudyData &study : studies) {
        for (const auto &[name, command] : kCommands) {
            const std::string said = run(command, study);
            EXPECT_EQ(said.rfind(std::string("error: ") + kLostDigits, 0), 0u) << name << ": " << said;
            EXPECT_NE(said.find("Reescale los datos"), std::string::npos) << name;
        }
    }
}

// Level means exactly on the line leave a lack of fit that is zero but for
// the rounding: a sound study, shown by every command with F = 0, P = 1.
TEST(LostDigits, LevelMeansExactlyOnTheLineAreShown)
{
    std::vector<std::string> x, y;
    for (int level = 0; level < 5; ++level)
        for (const char *offset : {".6", ".2", ".1", ".3", ".5"}) {
            x.push_back(std::to_string(60 + 20 * level));
            y.push_back(std::to_string(59 + 20 * level) + offset);
        }
    const stats::StudyData study = makeStudy({"5", "5", "5", "5", "5"}, x, y);
    for (const auto &[name, command] : kCommands)
        EXPECT_EQ(run(command, study), "shown") << name;
    stats::SharedResults shared;
    stats::RunAnova(study, shared, '.');
    EXPECT_EQ(shared.anova.fLackOfFit, 0.0);
    EXPECT_EQ(shared.anova.pLackOfFit, 1.0);
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

// Every figure the windows print for a lack of fit a millionth of the error
// (levels 900 (4), 1200 (3), 1300 (5)), against exact arithmetic: computed with
// Python's fractions.Fraction from the doubles the study reads, the square
// roots with decimal at 60 digits, by the textbook formulas (b = Sxy/Sxx,
// SS(pure error) = sum (y - level mean)^2, SS(lack of fit) = sum (level mean -
// fitted y)^2). Each printed figure is within half a unit of its last digit.
TEST(LostDigits, PrintedFiguresAreTheExactValuesRounded)
{
    const std::map<std::string, long double> exact = {
        {"slope", 9.96544018058690800866E-1L}, {"slopeUpperLimit", 1.01572336380082493382E+0L},
        {"slopeLowerLimit", 9.77364672316556667911E-1L}, {"slopeT", -4.01487801876092470673E-1L},
        {"intercept", 3.83724604966134894121E+0L}, {"interceptUpperLimit", 2.59905665731029426138E+1L},
        {"interceptLowerLimit", -1.83160744737802447314E+1L}, {"interceptT", 3.85936181178956550370E-1L},
        {"sdRegression", 5.23010429825780158988E+0L}, {"coefficientOfVariation", 4.58154799937903730641E-1L},
        {"rSquared", 9.99254442173588112093E-1L}, {"regression.ss", 3.66619409256960161555E+5L},
        {"regression.f", 1.34027758380950048952E+4L}, {"error.ss", 2.73539909706547312106E+2L},
        {"error.ms", 2.73539909706547312106E+1L}, {"lackOfFit.ss", 4.09706546277783227340E-4L},
        {"lackOfFit.ms", 4.09706546277783227340E-4L}, {"lackOfFit.f", 1.34801698347040741948E-5L},
        {"pureError.ss", 2.73539500000001034323E+2L}, {"pureError.ms", 3.03932777777778927025E+1L}};
    const stats::LinearityStudy study = stats::ReadStudy(
        makeStudy({"4", "3", "5"},
                  {"900", "900", "900", "900", "1200", "1200", "1200", "1300", "1300", "1300", "1300", "1300"},
                  {"902.5", "898.0", "906.1", "896.3", "1194.9", "1202.9", "1201.3", "1304.5", "1304.3", "1298.2",
                   "1301.4", "1288.3"}),
        '.');
    stats::RegressionResult r;
    stats::AnovaResult a;
    std::vector<stats::ResidualRow> rows;
    bool zero = false;
    stats::ComputeCheckedRegression(study, r, zero);
    stats::ComputeCheckedAnova(study, a, zero, rows);
    size_t judged = 0;
    auto expectRounded = [&](const std::string &key, double shown, int digits) {
        const auto it = exact.find(key);
        if (it == exact.end())
            return;
        ++judged;
        const std::string printed = stats::FormatGeneral(shown, digits, '.');
        const long double value = std::stold(printed);
        const long double unit = std::pow(10.0L, std::floor(std::log10(std::fabs(value))) + 1 - digits);
        EXPECT_LE(std::fabs(value - it->second), unit / 2 * (1 + 1e-9L))
            << key << " printed " << printed << ", exactly " << (double)it->second;
    };
    for (const stats::RegressionField &f : stats::RegressionFields())
        expectRounded(f.key, r.*f.member, f.digits);
    for (const stats::AnovaField &f : stats::AnovaFields())
        expectRounded(std::string(stats::AnovaSources()[f.source].key) + "." + stats::AnovaColumns()[f.column].key,
                      a.*f.member, 6);
    EXPECT_EQ(judged, exact.size());
    EXPECT_EQ(stats::FormatGeneral(a.msLackOfFit, 6, '.'), "0.000409707");
}
