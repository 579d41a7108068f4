// The quadratic model against figures computed outside the program
// (quadratic_figures.py beside this file: exact fractions, 50-digit mpmath):
// NIST Pontius with its certified values, the DIN 38402-51 worked curve, and
// studies of our own that bend, turn back, or cannot have the model.
#include "stats/leastsquares.h"
#include "stats/outcomes.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

using namespace testing_studies;

namespace {

using stats::ChoiceReason;
using stats::ModelChoice;
using stats::QuadraticResult;

// A study of any number of levels, observations in level order: level j
// holds the pairs whose amount is the j-th distinct one.
stats::LinearityStudy studyOf(const std::vector<std::pair<std::string, std::string>> &xy)
{
    stats::LinearityStudy study;
    std::vector<std::string> amounts;
    for (const auto &[x, y] : xy)
        if (std::find(amounts.begin(), amounts.end(), x) == amounts.end())
            amounts.push_back(x);
    for (size_t level = 0; level < amounts.size(); ++level) {
        int count = 0;
        for (const auto &[x, y] : xy)
            if (x == amounts[level]) {
                stats::Observation o;
                o.exactX = stats::StrToRational(x, '.');
                o.exactY = stats::StrToRational(y, '.');
                o.x = o.exactX.get_d();
                o.y = o.exactY.get_d();
                o.level = static_cast<int>(level) + 1;
                study.observations.push_back(o);
                ++count;
            }
        study.replicates.push_back(count);
    }
    return study;
}

stats::LinearityStudy pontius()
{
    std::ifstream in(TEST_DATA_DIR "/nist-pontius.txt");
    std::vector<std::pair<std::string, std::string>> xy;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string y, x;
        fields >> y >> x;
        xy.emplace_back(x, y);
    }
    EXPECT_EQ(xy.size(), 40u);
    return studyOf(xy);
}

stats::LinearityStudy dinCurve()
{
    const char *y[] = {"0.202", "0.399", "0.588", "0.796", "0.997", "1.174", "1.377", "1.534", "1.622", "1.654"};
    std::vector<std::pair<std::string, std::string>> xy;
    for (int i = 0; i < 10; ++i)
        xy.emplace_back(std::to_string(2 * (i + 1)), y[i]);
    return studyOf(xy);
}

// Five levels of three whose response flattens towards the top.
stats::StudyData curvedStudy()
{
    return makeStudy({"3", "3", "3", "3", "3"},
                     {"2", "2", "2", "4", "4", "4", "6", "6", "6", "8", "8", "8", "10", "10", "10"},
                     {"0.21", "0.20", "0.22", "0.40", "0.41", "0.39", "0.57", "0.58", "0.58", "0.72", "0.73", "0.71",
                      "0.84", "0.85", "0.86"});
}

// Agreeing significant digits, as the installation verification counts them.
double digits(double obtained, double reference)
{
    if (obtained == reference)
        return 15;
    return -std::log10(std::fabs(obtained - reference) / std::fabs(reference));
}

double value(const stats::Real &r) { return r.toDouble(); }
double value(const stats::Figure &f) { return f ? f->toDouble() : std::nan(""); }

struct Expected {
    const char *name;
    double (*get)(const QuadraticResult &);
    double reference;
};

#define FIGURE(field) [](const QuadraticResult &q) { return value(q.field); }

void expectFigures(const QuadraticResult &q, std::initializer_list<Expected> expected, double minDigits)
{
    ASSERT_EQ(q.notFitted, nullptr);
    for (const Expected &e : expected)
        EXPECT_GE(digits(e.get(q), e.reference), minDigits) << e.name << ": " << e.get(q) << " against " << e.reference;
}

} // namespace

TEST(QuadraticModel, PontiusCertifiedValuesAndBothLacksOfFit)
{
    const stats::LinearityStudy study = pontius();
    const QuadraticResult q = stats::ComputeQuadratic(study, {});
    // The certified values, 15 digits, and the lack of fit of both models
    // (20 levels of two) from the reference script.
    expectFigures(q,
                  {{"c0", FIGURE(c0), 0.673565789473684E-03},
                   {"c1", FIGURE(c1), 0.732059160401003E-06},
                   {"c2", FIGURE(c2), -0.316081871345029E-14},
                   {"c0Se", FIGURE(c0Se), 0.107938612033077E-03},
                   {"c1Se", FIGURE(c1Se), 0.157817399981659E-09},
                   {"c2Se", FIGURE(c2Se), 0.486652849992036E-16},
                   {"sdRegression", FIGURE(sdRegression), 0.205177424076185E-03},
                   {"rSquared", FIGURE(rSquared), 0.999999900178537},
                   {"regression ss", FIGURE(anova.ssRegression), 15.6040343244198},
                   {"regression ms", FIGURE(anova.msRegression), 7.80201716220991},
                   {"regression f", FIGURE(anova.fRegression), 0.185330865995752E+09},
                   {"error ss", FIGURE(anova.ssError), 0.155761768796992E-05},
                   {"error ms", FIGURE(anova.msError), 0.420977753505385E-07},
                   {"lack of fit f", FIGURE(anova.fLackOfFit), 0.810723900309602},
                   {"lack of fit p", FIGURE(anova.pLackOfFit), 0.666172944808458},
                   {"line's lack of fit p", FIGURE(lineLackOfFitP), 5.50371738178495e-19},
                   {"E(low)", FIGURE(sensitivityLow), 7.31110914786967e-7},
                   {"E(mean)", FIGURE(sensitivityMean), 7.22102581453634e-7},
                   {"E(high)", FIGURE(sensitivityHigh), 7.13094248120301e-7},
                   {"vertex", FIGURE(vertex), 115802142.857143},
                   {"sx0", FIGURE(sx0), 284.138887390695},
                   {"vx0", FIGURE(vx0), 0.0180405642787743},
                   {"RSE", FIGURE(relativeStandardError), 0.0544363245261799},
                   {"largest level bias", FIGURE(largestLevelBias), 0.0624698899657833}},
                  13);
    EXPECT_EQ(value(q.anova.dfError), 37);
    EXPECT_EQ(value(q.anova.dfLackOfFit), 17);
    EXPECT_EQ(value(q.anova.dfPureError), 20);
    // The straight line's lack of fit on 18/20 df, as published.
    const stats::Rational ssPure = q.anova.ssPureError.rational();
    const stats::Rational lineF = (stats::FitLine(study).sse - ssPure) / 18 / (ssPure / 20);
    EXPECT_NEAR(lineF.get_d(), 214.7469, 5e-5);
    EXPECT_TRUE(q.monotonic);
    EXPECT_EQ(q.model, ModelChoice::Quadratic);
    EXPECT_EQ(q.reason, ChoiceReason::QuadraticBetter);
}

TEST(QuadraticModel, DinWorkedCurveAsPublished)
{
    const QuadraticResult q = stats::ComputeQuadratic(dinCurve(), {});
    expectFigures(q,
                  {{"c0", FIGURE(c0), -0.08725},
                   {"c1", FIGURE(c1), 0.130423106060606},
                   {"c2", FIGURE(c2), -0.00203314393939394},
                   {"c0Se", FIGURE(c0Se), 0.0476925253399783},
                   {"sdRegression", FIGURE(sdRegression), 0.0405496302180736},
                   {"rSquared", FIGURE(rSquared), 0.995339684622566},
                   {"regression f", FIGURE(anova.fRegression), 747.522134027088},
                   {"E(low)", FIGURE(sensitivityLow), 0.12229053030303},
                   {"E(11)", FIGURE(sensitivityMean), 0.0856939393939394},
                   {"E(high)", FIGURE(sensitivityHigh), 0.0490973484848485},
                   {"vertex", FIGURE(vertex), 32.0742431299488},
                   {"sx0", FIGURE(sx0), 0.473191342408299},
                   {"vx0", FIGURE(vx0), 4.30173947643909},
                   {"RSE", FIGURE(relativeStandardError), 6.59023740132147},
                   {"largest level bias", FIGURE(largestLevelBias), 15.013292918356}},
                  13);
    // One observation a level: no pure error, no lack of fit of either model.
    EXPECT_FALSE(stats::HasPureError(q.anova));
    EXPECT_FALSE(q.lineLackOfFitP);
    // Every back-calculated amount is the root below the vertex, near its amount.
    for (const stats::BackCalculation &b : q.backCalculated) {
        EXPECT_LT(value(b.xBack), value(q.vertex)) << "observation " << b.observation;
        EXPECT_NEAR(value(b.xBack), value(b.x), 1.5) << "observation " << b.observation;
    }
    EXPECT_EQ(q.model, ModelChoice::Quadratic);
}

TEST(QuadraticModel, ReplicatedStudyThroughTheAnalysisBesideTheLine)
{
    const stats::StudyAnalysis a = stats::Analyze(curvedStudy(), {});
    ASSERT_TRUE(a.quadratic().value);
    const QuadraticResult &q = *a.quadratic().value;
    expectFigures(q,
                  {{"c0", FIGURE(c0), -0.00533333333333333},
                   {"c1Se", FIGURE(c1Se), 0.00416535126628952},
                   {"c2Se", FIGURE(c2Se), 0.000340553881689945},
                   {"error ms", FIGURE(anova.msError), 7.79365079365079e-5},
                   {"lack of fit f", FIGURE(anova.fLackOfFit), 0.395604395604396},
                   {"lack of fit p", FIGURE(anova.pLackOfFit), 0.683359950573345},
                   {"pure error ss", FIGURE(anova.ssPureError), 0.000866666666666666667},
                   {"line's lack of fit p", FIGURE(lineLackOfFitP), 0.000163176740376182},
                   {"sx0", FIGURE(sx0), 0.11035207005344},
                   {"RSE", FIGURE(relativeStandardError), 2.51290658339279},
                   {"largest level bias", FIGURE(largestLevelBias), 0.717329111212284}},
                  13);
    // Mandel's test and the line's figures are the criteria's own.
    const stats::CriteriaResult &line = *a.criteria().value;
    EXPECT_EQ(q.mandelF->rational(), line.mandelF->rational());
    EXPECT_EQ(value(q.lineRelativeStandardError), value(line.relativeStandardError));
    EXPECT_EQ(q.lineLackOfFitP->toDouble(), a.anova().value->anova.pLackOfFit.toDouble());
    EXPECT_EQ(value(q.anova.dfLackOfFit), 2);
    EXPECT_EQ(q.model, ModelChoice::Quadratic);
    EXPECT_EQ(q.reason, ChoiceReason::QuadraticBetter);
}

TEST(QuadraticModel, EachReasonKeepsTheLine)
{
    struct Case {
        const char *name;
        stats::StudyData study;
        stats::ChoiceReason reason;
    };
    stats::AcceptanceLimits strictLackOfFit;
    strictLackOfFit.minLackOfFitP = 0.9;
    const Case cases[] = {
        {"straight", inferenceStudy(), ChoiceReason::MandelNotSignificant},
        // The response rises and falls again inside the levels.
        {"turns back",
         makeStudy({"2", "2", "2", "2", "2"}, {"1", "1", "2", "2", "3", "3", "4", "4", "5", "5"},
                   {"1.00", "1.02", "3.01", "2.99", "4.00", "4.02", "3.00", "3.01", "1.01", "0.99"}),
         ChoiceReason::QuadraticNotMonotonic},
    };
    for (const Case &c : cases) {
        const stats::StudyAnalysis a = stats::Analyze(c.study, {});
        ASSERT_TRUE(a.quadratic().value) << c.name;
        EXPECT_EQ(a.quadratic().value->model, ModelChoice::Linear) << c.name;
        EXPECT_EQ(a.quadratic().value->reason, c.reason) << c.name;
    }
    // Three levels leave the quadratic no degree of freedom for its lack of fit.
    EXPECT_FALSE(stats::HasPureError(stats::Analyze(inferenceStudy(), {}).quadratic().value->anova));
    // The curved study's own lack of fit (P 0.68) fails a limit of 0.9.
    const stats::StudyAnalysis strict = stats::Analyze(curvedStudy(), {.criteria = {.target = {}, .limits = strictLackOfFit}});
    EXPECT_EQ(strict.quadratic().value->reason, ChoiceReason::QuadraticLackOfFit);
    EXPECT_EQ(strict.quadratic().value->model, ModelChoice::Linear);
}

TEST(QuadraticModel, StudiesThatCannotHaveTheModelSayWhy)
{
    // Two distinct amounts; three observations; a parabola through every point.
    EXPECT_STREQ(stats::ComputeQuadratic(studyOf({{"1", "1"}, {"1", "1.1"}, {"2", "2"}, {"2", "2.1"}}), {}).notFitted,
                 stats::kQuadraticTooFewAmounts);
    EXPECT_STREQ(stats::ComputeQuadratic(studyOf({{"1", "1"}, {"2", "2.5"}, {"3", "2.9"}}), {}).notFitted,
                 stats::kQuadraticTooFewAmounts);
    EXPECT_STREQ(stats::ComputeQuadratic(studyOf({{"1", "1"}, {"2", "4"}, {"3", "9"}, {"4", "16"}}), {}).notFitted,
                 stats::kQuadraticExactFit);
    // A flat response: the line's slope is zero, the model is still there.
    const stats::StudyAnalysis flat =
        stats::Analyze(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"}, {"1", "2", "1", "2", "1", "2"}), {});
    ASSERT_TRUE(flat.quadratic().value);
    EXPECT_EQ(flat.quadratic().value->notFitted, nullptr);
    EXPECT_FALSE(flat.quadratic().value->vertex); // c2 = 0
}
