// The computations where the worked studies' outputs (compared whole in
// tests/golden) do not reach: certified data, boundaries, degenerate data.
#include "stats/anova.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/recovery.h"
#include "stats/regression.h"
#include "stats/studentttable.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

using namespace testing_studies;

namespace {

std::string six(const stats::Real &v) { return stats::FormatGeneral(v, 6, '.'); }

stats::LinearityStudy read(const stats::StudyData &s) { return stats::ReadStudy(s, '.'); }

// Three levels of one observation each.
stats::StudyData oneEach(const std::vector<std::string> &x, const std::vector<std::string> &y)
{
    return makeStudy({"1", "1", "1"}, x, y);
}

template <typename F> std::string faultOf(F &&f)
{
    try {
        f();
    } catch (const stats::FloatingPointError &e) {
        return e.what();
    }
    return "no fault";
}

} // namespace

TEST(StudentTTable, HoldsTheTabulatedValuesAndTheirRuns)
{
    const std::pair<int, double> cases[] = {{1, 12.706},  {7, 2.3646},  {9, 2.2622},   {23, 2.0687},
                                            {24, 2.0639}, {25, 2.059},  {30, 2.0423},  {31, 2.0423},
                                            {49, 2.0141}, {59, 2.0086}, {70, 1.9945},  {199, 1.9733},
                                            {200, 1.9719}, {324, 1.9719}};
    for (auto [d, t] : cases)
        EXPECT_EQ(stats::StudentTTable::value(d), t) << d;
    EXPECT_THROW(stats::StudentTTable::value(0), stats::FloatingPointError);
    EXPECT_THROW(stats::StudentTTable::value(325), stats::FloatingPointError);
}

TEST(ComputeRegression, ZeroSlopeStopsAfterTheInterceptAndKeepsTheOtherFields)
{
    stats::RegressionResult r;
    r.slopeUpperLimit = 42;
    r.rSquared = decimal("0.5");
    bool zero = false;
    stats::ComputeRegression(read(oneEach({"1", "2", "3"}, {"5", "5", "5"})), r, zero);
    EXPECT_TRUE(zero);
    EXPECT_EQ(r.slope.sign(), 0);
    EXPECT_EQ(r.intercept.toDouble(), 5.0);
    EXPECT_EQ(r.slopeUpperLimit.toDouble(), 42);
    EXPECT_EQ(r.rSquared.toDouble(), 0.5);

    // Equal decimal recoveries: rounding must not invent a slope.
    stats::ComputeRegression(read(oneEach({"0.1", "0.7", "1.3"}, {"0.3", "0.3", "0.3"})), r, zero);
    EXPECT_TRUE(zero);
}

TEST(ComputeRegression, DegenerateDataIsRefusedWithItsCauseNeverAsInfinityOrNaN)
{
    const std::pair<stats::StudyData, std::string> cases[] = {
        {oneEach({"2", "2", "2"}, {"1", "2", "3"}),
         "Todas las cantidades adicionadas son iguales: no se puede ajustar una recta a los datos."},
        {oneEach({"1", "2", "3"}, {"1", "2", "3"}),
         "Los datos se ajustan exactamente a una recta (la suma de cuadrados del error es cero): no se pueden "
         "calcular las desviaciones estándar."},
        {oneEach({"1", "2", "3"}, {"-1", "0.5", "0.5"}),
         "La suma de las cantidades recuperadas es cero: no se puede calcular el coeficiente de variación."},
        {oneEach({"1", "2", "3"}, {"1e307", "1.7e308", "2e307"}), stats::kResultTooLarge}, // limits beyond a double
    };
    stats::RegressionResult r;
    bool zero = false;
    for (const auto &[study, cause] : cases)
        EXPECT_EQ(faultOf([&] { stats::ComputeRegression(read(study), r, zero); }), cause);
}

// References: the regularized incomplete beta function to 40 digits
// (mpmath.betainc), P(F ≥ f) = I(df2/(df2 + df1·f); df2/2, df1/2).
TEST(FUpperTail, IsTheExactTailOfTheFDistribution)
{
    const struct {
        const char *f;
        int df1, df2;
        const char *p;
    } cases[] = {
        {"0.5", 1, 4, "0.518519"},    {"4", 2, 3, "0.142427"},          {"10", 1, 10, "0.0101196"},
        {"1096.99", 1, 4, "4.95577E-6"}, {"6.9938", 2, 4, "0.0494508"}, {"1", 3, 3, "0.5"},
        {"1e9", 2, 3, "5.80948E-14"}, {"1e-12", 2, 3, "1"},              {"0", 1, 4, "1"},
        {"-3", 2, 2, "1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(six(stats::Real::FUpperTail(stats::StrToRational(c.f, '.'), c.df1, c.df2)), c.p) << c.f;
}

// A probability moved or scaled (a percentage, a complement) is its fifty
// digits moved or scaled.
TEST(FUpperTail, MovedOrScaledIsItsFiftyDigitsMovedOrScaled)
{
    const stats::Real p = stats::Real::FUpperTail(4, 2, 3); // (3/11)^(3/2) = 0.14242717305…
    EXPECT_EQ(six(p.times(100)), "14.2427");
    EXPECT_EQ(six(-p), "-0.142427");
    EXPECT_EQ(six(p.plus(-1)), "-0.857573");
    EXPECT_EQ(p.plus(-1).approximation(), p.approximation() - 1);
    EXPECT_GT(p.times(100).compare(14), 0);
}

TEST(ComputeAnovaResiduals, WithoutReplicatesSkipsPureErrorAndStatesNoModel)
{
    stats::AnovaResult a;
    a.ssPureError = 7; // kept from an earlier study
    bool zero = false;
    std::vector<stats::ResidualRow> rows;
    stats::ComputeAnovaResiduals(read(oneEach({"1", "2", "3"}, {"1.1", "1.9", "3.05"})), a, zero, rows);
    EXPECT_EQ(a.dfPureError.sign(), 0);
    EXPECT_EQ(a.dfError.toDouble(), 1);
    EXPECT_EQ(a.ssPureError.toDouble(), 7);
    EXPECT_EQ(stats::LinearFit(a), stats::Fit::NotAssessed);
    EXPECT_EQ(stats::AnovaConclusionLines(a).size(), 1u);

    // The third point lies exactly on the line: its residual is 0, not the
    // rounding noise a computation in doubles leaves (4.44E-16).
    stats::ComputeAnovaResiduals(read(makeStudy({"1", "1", "1", "1", "1"}, {"1", "2", "3", "4", "5"},
                                                {"0.95", "2.34", "2.99", "3.52", "5.15"})),
                                 a, zero, rows);
    EXPECT_EQ(six(rows[2].residual), "0");
    EXPECT_EQ(six(rows[2].studentized), "0");
}

TEST(ComputeAnovaResiduals, ZeroSlopeWritesNothing)
{
    stats::AnovaResult a;
    a.ssError = 3;
    bool zero = false;
    std::vector<stats::ResidualRow> rows(2);
    stats::ComputeAnovaResiduals(read(oneEach({"1", "2", "3"}, {"5", "5", "5"})), a, zero, rows);
    EXPECT_TRUE(zero);
    EXPECT_EQ(a.ssError.toDouble(), 3);
    EXPECT_EQ(rows.size(), 2u);
}

TEST(ComputeAnovaResiduals, VerdictsFollowTheProbabilities)
{
    stats::AnovaResult a;
    a.dfPureError = 3;
    const struct {
        const char *pRegression, *pLackOfFit;
        stats::Significance s;
        stats::Fit fit;
    } cases[] = {
        {"0.01", "0.06", stats::Significance::HighlySignificant, stats::Fit::Adequate},
        {"0.01000000000000001", "0.05", stats::Significance::Significant, stats::Fit::Inadequate},
        {"0.05", "0.05000000000000001", stats::Significance::Significant, stats::Fit::Adequate},
        {"0.05000000000000001", "0.01", stats::Significance::NoDependence, stats::Fit::NotAssessed},
    };
    for (const auto &c : cases) {
        a.pRegression = decimal(c.pRegression);
        a.pLackOfFit = decimal(c.pLackOfFit);
        EXPECT_EQ(stats::RegressionSignificance(a), c.s) << c.pRegression;
        EXPECT_EQ(stats::LinearFit(a), c.fit) << c.pRegression;
    }
    a.pRegression = decimal("0.2");
    EXPECT_EQ(stats::AnovaConclusionLines(a), std::vector<std::string>{"NO HAY DEPENDENCIA ENTRE LAS VARIABLES"});
    a.pRegression = decimal("0.03");
    a.pLackOfFit = decimal("0.01");
    EXPECT_EQ(stats::AnovaConclusionLines(a)[0],
              "EXISTE RELACIÓN SIGNIFICATIVA ENTRE CANTIDAD ADICIONADA Y CANTIDAD RECUPERADA");
    EXPECT_EQ(stats::AnovaConclusionLines(a)[1], "EL MODELO LINEAL NO REPRESENTA DE MANERA CORRECTA LA RELACIÓN "
                                                 "ENTRE CANTIDAD ADICIONADA Y CANTIDAD RECUPERADA");
}

// Beyond the regression's own refusals: replicates that leave no pure error,
// an observation that alone fixes the line.
TEST(ComputeAnovaResiduals, RefusesDegenerateDataNamingTheCause)
{
    stats::AnovaResult a;
    bool zero = false;
    std::vector<stats::ResidualRow> rows;
    auto run = [&](const stats::StudyData &s) {
        return faultOf([&] { stats::ComputeAnovaResiduals(read(s), a, zero, rows); });
    };
    EXPECT_EQ(run(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"}, {"1", "1", "2.5", "2.5", "3", "3"})),
              "Las réplicas de cada nivel son idénticas (el error puro es cero): no se puede evaluar la falta de "
              "ajuste.");
    // The only observation at its amount added fixes the line through itself.
    EXPECT_EQ(run(makeStudy({"2", "1"}, {"1", "1", "2"}, {"1", "1.2", "2"})),
              "La observación 3 determina por sí sola la recta (apalancamiento 1): no se puede calcular su residuo "
              "estudentizado.");
}

TEST(ComputeRecovery, DecisionsAtTheirBoundaries)
{
    stats::RecoveryResult r;
    r.tTable = decimal("2.5706");
    r.tCalculated = decimal("-2.5706");
    EXPECT_TRUE(stats::SystematicErrorPresent(r));
    r.tCalculated = decimal("2.570599999999999999");
    EXPECT_FALSE(stats::SystematicErrorPresent(r));
    r.meanRecovery = 100;
    EXPECT_FALSE(stats::BestAndWorstCase(r).exists);
    stats::AnovaResult a;
    a.pRegression = decimal("0.05");
    EXPECT_TRUE(stats::RecoveryApplies(a));
    a.pRegression = decimal("0.05000000000000001");
    EXPECT_FALSE(stats::RecoveryApplies(a));
}

TEST(ComputeRecovery, RefusesDegenerateDataNamingTheCause)
{
    const std::pair<stats::StudyData, std::string> cases[] = {
        {oneEach({"1", "0", "3"}, {"1", "2", "3"}),
         "La cantidad adicionada del dato 2 es cero: no se puede calcular su porcentaje recuperado."},
        {oneEach({"1", "2", "3"}, {"1", "2", "3"}),
         "Todos los porcentajes recuperados son iguales (su desviación estándar es cero): no se puede evaluar "
         "el error sistemático constante."},
        {oneEach({"1", "2", "3"}, {"1", "-2", "0"}),
         "La media del porcentaje recuperado es cero: no se puede calcular la desviación estándar relativa."},
    };
    stats::RecoveryResult r;
    for (const auto &[study, cause] : cases)
        EXPECT_EQ(faultOf([&] { stats::ComputeRecovery(read(study), r); }), cause);
}
