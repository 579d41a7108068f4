// The variance homogeneity, the weights and the diagnostics against figures
// computed outside the program (weighting_figures.py beside this file: exact
// fractions, mpmath at 50 digits) and against NIST's gear data.
#include "stats/analysis.h"
#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/precisefigures.h"
#include "stats/samples.h"
#include "stats/weighting.h"
#include "stats/weightingtexts.h"
#include "support/studies.h"

#include <boost/math/special_functions/gamma.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <sstream>

using namespace testing_studies;

namespace {

// A study of any number of levels: consecutive equal amounts make a level,
// or the levels have the replicates given.
stats::LinearityStudy studyOf(const std::vector<std::string> &x, const std::vector<std::string> &y,
                              const std::vector<int> &replicates = {})
{
    stats::LinearityStudy s;
    for (size_t i = 0; i < x.size(); ++i) {
        const bool newLevel = replicates.empty() ? i == 0 || x[i] != x[i - 1]
                                                 : s.k() == 0 || s.replicates.back() == replicates[s.replicates.size() - 1];
        if (newLevel)
            s.replicates.push_back(0);
        ++s.replicates.back();
        stats::Observation o;
        o.exactX = stats::StrToRational(x[i], '.');
        o.exactY = stats::StrToRational(y[i], '.');
        o.x = o.exactX.get_d();
        o.y = o.exactY.get_d();
        o.level = s.k();
        s.observations.push_back(o);
    }
    return s;
}

std::vector<std::string> repeated(const std::vector<std::string> &amounts, int r)
{
    std::vector<std::string> x;
    for (const std::string &a : amounts)
        x.insert(x.end(), static_cast<size_t>(r), a);
    return x;
}

// Five levels of three replicates whose spread grows with the amount.
stats::LinearityStudy growingStudy()
{
    return studyOf(repeated({"1", "5", "10", "50", "100"}, 3),
                   {"1.02", "0.99", "1.01", "5.10", "4.93", "5.04", "10.21", "9.85", "10.08", "51.3", "48.6", "50.9",
                    "103.8", "96.9", "101.2"});
}

// A blank level and a level of one replicate: only the unweighted line.
stats::LinearityStudy blankStudy()
{
    return studyOf({"0", "0", "0", "20", "20", "20", "40", "40", "40", "60", "60", "60", "80"},
                   {"0.3", "-0.2", "0.1", "20.4", "19.8", "20.1", "40.2", "39.7", "40.5", "59.9", "60.4", "60.0",
                    "80.2"});
}

#define EXPECT_FIGURE(figure, expected) EXPECT_NEAR((figure).toDouble() / (expected), 1.0, 1e-10) << #figure

TEST(VarianceHomogeneity, GrowingSpreadIsHeteroscedasticByEveryTest)
{
    const stats::Homogeneity h = stats::AssessHomogeneity(growingStudy());
    ASSERT_TRUE(h.endsF && h.cochran && h.bartlett && h.levene && h.brownForsythe);
    EXPECT_EQ(h.endsF->lowLevel, 1);
    EXPECT_EQ(h.endsF->highLevel, 5);
    EXPECT_EQ(h.endsF->df1, 2);
    EXPECT_EQ(h.endsF->df2, 2);
    EXPECT_FIGURE(h.endsF->f, 52042.8571429);
    EXPECT_FIGURE(h.endsF->p, 1.92145635412e-5);
    EXPECT_FIGURE(h.cochran->c, 0.848735051616);
    EXPECT_FIGURE(h.cochran->critical, 0.683772233983);
    EXPECT_EQ(h.cochran->level, 5);
    EXPECT_FIGURE(h.bartlett->statistic, 31.1266848338);
    EXPECT_FIGURE(h.bartlett->p, 2.88452460984e-6);
    EXPECT_EQ(h.bartlett->df, 4);
    EXPECT_FIGURE(h.levene->f, 5.45430744871);
    EXPECT_FIGURE(h.levene->p, 0.0135814837955);
    EXPECT_FIGURE(h.brownForsythe->f, 2.30667370893);
    EXPECT_FIGURE(h.brownForsythe->p, 0.129385428034);
    EXPECT_EQ(h.levene->df1, 4);
    EXPECT_EQ(h.levene->df2, 10);
    EXPECT_EQ(h.verdict, stats::VarianceVerdict::Heteroscedastic);
}

// Equal spreads typed with different amounts and decimals: every test sees
// equal variances exactly, Bartlett's statistic is 0 (not a rounding's
// remainder) and its probability 1.
TEST(VarianceHomogeneity, EqualSpreadsAreExactlyEqual)
{
    const stats::LinearityStudy study =
        studyOf(repeated({"2.5", "50", "97.25"}, 4),
                {"2.4", "2.6", "2.55", "2.45", "49.9", "50.1", "50.05", "49.95", "97.15", "97.35", "97.3", "97.2"});
    const stats::Homogeneity h = stats::AssessHomogeneity(study);
    ASSERT_TRUE(h.endsF && h.bartlett && h.cochran);
    EXPECT_EQ(h.endsF->f.compare(1), 0);
    EXPECT_EQ(h.endsF->p.compare(stats::Rational(1, 2)), 0);
    EXPECT_EQ(h.bartlett->statistic.sign(), 0);
    EXPECT_EQ(h.bartlett->p.compare(1), 0);
    EXPECT_EQ(h.cochran->c.compare(stats::Rational(1, 3)), 0);
    EXPECT_EQ(h.verdict, stats::VarianceVerdict::Homoscedastic);
    // Ties go to the first: the first level of the largest variance, the
    // first of two replicates equally far from the mean, and no weighting
    // before 1/s², which here weighs every observation alike.
    EXPECT_EQ(h.cochran->level, 1);
    const std::vector<stats::GrubbsTest> g = stats::GrubbsTests(study);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].observation, 1);
    const std::vector<stats::WeightCandidate> c = stats::RankWeights(study);
    EXPECT_EQ(c.front().sumAbsRelativeError->compare(c.back().sumAbsRelativeError->rational()), 0);
    EXPECT_LT(c.front().rank, c.back().rank);
}

// Bartlett's probability comes from closed forms of the χ² tail for whole
// degrees of freedom; the general incomplete gamma function is the referee,
// even and odd, far into the tail and near zero, to 45 digits.
TEST(VarianceHomogeneity, ChiSquareTailAgreesWithTheIncompleteGamma)
{
    for (int df = 1; df <= 9; ++df)
        for (const char *x : {"0.001", "0.5", "1", "3.3", "9.49", "31.1266848338", "250"}) {
            const stats::Fifty v(x), expected = boost::math::gamma_q(stats::Fifty(df) / 2, v / 2);
            const stats::Fifty got = stats::ChiSquareUpperTail(v, df);
            EXPECT_LT(abs(got - expected), expected * stats::Fifty("1e-45")) << "df " << df << " x " << x;
        }
    EXPECT_EQ(stats::ChiSquareUpperTail(stats::Fifty(0), 3), 1);
}

TEST(VarianceHomogeneity, LevelsOfOneReplicateStayOutAndUnequalReplicatesHaveNoCochran)
{
    const stats::Homogeneity h = stats::AssessHomogeneity(blankStudy());
    ASSERT_TRUE(h.endsF && h.bartlett && h.levene && h.brownForsythe);
    EXPECT_FALSE(h.cochran);
    EXPECT_EQ(h.endsF->highLevel, 4);
    EXPECT_FIGURE(h.endsF->f, 1.10526315789);
    EXPECT_FIGURE(h.endsF->p, 0.475);
    EXPECT_FIGURE(h.bartlett->statistic, 0.484245085144);
    EXPECT_FIGURE(h.bartlett->p, 0.922338811247);
    EXPECT_FIGURE(h.levene->f, 0.309711286089);
    EXPECT_FIGURE(h.levene->p, 0.817995894224);
    EXPECT_FIGURE(h.brownForsythe->f, 0.166666666667);
    EXPECT_FIGURE(h.brownForsythe->p, 0.915877270128);
    EXPECT_EQ(h.levene->df2, 8);
    EXPECT_EQ(h.verdict, stats::VarianceVerdict::Homoscedastic);

    // Without two levels of two replicates nothing is assessed; equal
    // replicates at an end leave the F of the ends undefined.
    const stats::Homogeneity none = stats::AssessHomogeneity(studyOf({"1", "2", "3", "3"}, {"1", "2", "3", "3.1"}));
    EXPECT_FALSE(none.endsF || none.cochran || none.bartlett || none.levene || none.brownForsythe);
    EXPECT_EQ(none.verdict, stats::VarianceVerdict::NotAssessed);
    const stats::Homogeneity flat =
        stats::AssessHomogeneity(studyOf({"1", "1", "2", "2", "3", "3"}, {"1", "1", "2", "2.2", "3", "3.4"}));
    EXPECT_FALSE(flat.endsF);
    EXPECT_FALSE(flat.bartlett);
    EXPECT_EQ(flat.verdict, stats::VarianceVerdict::NotAssessed);
}

// NIST/SEMATECH's gear diameters, ten batches of ten: Brown–Forsythe
// W = 1.705910 with 9 and 90 degrees of freedom, P = 0.0991.
TEST(VarianceHomogeneity, NistGearDataBrownForsythe)
{
    const char *batches[] = {"1.006 0.996 0.998 1.000 0.992 0.993 1.002 0.999 0.994 1.000",
                             "0.998 1.006 1.000 1.002 0.997 0.998 0.996 1.000 1.006 0.988",
                             "0.991 0.987 0.997 0.999 0.995 0.994 1.000 0.999 0.996 0.996",
                             "1.005 1.002 0.994 1.000 0.995 0.994 0.998 0.996 1.002 0.996",
                             "0.998 0.998 0.982 0.990 1.002 0.984 0.996 0.993 0.980 0.996",
                             "1.009 1.013 1.009 0.997 0.988 1.002 0.995 0.998 0.981 0.996",
                             "0.990 1.004 0.996 1.001 0.998 1.000 1.018 1.010 0.996 1.002",
                             "0.998 1.000 1.006 1.000 1.002 0.996 0.998 0.996 1.002 1.006",
                             "1.002 0.998 0.996 0.995 0.996 1.004 1.004 0.998 0.999 0.991",
                             "0.991 0.995 0.984 0.994 0.997 0.997 0.991 0.998 1.004 0.997"};
    std::vector<std::string> x, y;
    for (int b = 0; b < 10; ++b) {
        std::istringstream values(batches[b]);
        for (std::string v; values >> v;) {
            x.push_back(std::to_string(b + 1));
            y.push_back(v);
        }
    }
    const stats::Homogeneity h = stats::AssessHomogeneity(studyOf(x, y));
    ASSERT_TRUE(h.brownForsythe && h.levene);
    EXPECT_NEAR(h.brownForsythe->f.toDouble(), 1.705910, 1e-5);
    EXPECT_EQ(h.brownForsythe->df1, 9);
    EXPECT_EQ(h.brownForsythe->df2, 90);
    EXPECT_NEAR(h.brownForsythe->p.toDouble(), 0.0991, 5e-5);
    // The mean as centre is another test, and says another thing.
    EXPECT_NEAR(h.levene->f.toDouble(), 2.15945985647, 1e-9);
}

// The verdict is the F of the ends at 1 %: a P between 1 % and 5 % is a
// constant variance, and only a P below 1 % asks for a weighting. Three
// replicates at each end: F(2, 2), whose upper tail is exactly 1/(1 + F)
// (mpmath's regularized incomplete beta agrees to 30 digits). The deviations
// of the spread end, in tenths, are (a, b, −a − b) with a² + ab + b² = F,
// against (−1, 0, 1) at the other end.
TEST(VarianceHomogeneity, TheVerdictJudgesTheEndsAtOnePercent)
{
    const struct {
        std::array<int, 3> tenths;
        int f;
        bool heteroscedastic;
    } cases[] = {
        {{4, 1, -5}, 21, false},   // P = 1/22 = 0.0454545
        {{6, 0, -6}, 36, false},   // P = 1/37 = 0.0270270
        {{8, 3, -11}, 97, false},  // P = 1/98 = 0.0102041
        {{10, 0, -10}, 100, true}, // P = 1/101 = 0.00990099
        {{7, 7, -14}, 147, true},  // P = 1/148 = 0.00675676
    };
    // A level of three responses about `centre`, `tenths` of a unit from it.
    auto level = [](int centre, const std::array<int, 3> &tenths) {
        std::vector<std::string> y;
        for (int d : tenths) {
            const int v = 10 * centre + d;
            y.push_back(std::to_string(v / 10) + "." + std::to_string(v % 10));
        }
        return y;
    };
    for (const auto &c : cases)
        for (bool spreadHigh : {true, false}) {
            SCOPED_TRACE(testing::Message() << "F = " << c.f << (spreadHigh ? ", highest level" : ", lowest level"));
            std::vector<std::string> y = level(10, spreadHigh ? std::array{-1, 0, 1} : c.tenths);
            for (const std::vector<std::string> &more : {level(30, {-2, 1, 0}), level(50, spreadHigh ? c.tenths : std::array{-1, 0, 1})})
                y.insert(y.end(), more.begin(), more.end());
            const stats::Homogeneity h = stats::AssessHomogeneity(studyOf(repeated({"10", "30", "50"}, 3), y));
            ASSERT_TRUE(h.endsF);
            EXPECT_EQ(h.endsF->f.compare(c.f), 0);
            EXPECT_FIGURE(h.endsF->p, 1.0 / (1 + c.f));
            EXPECT_EQ(h.verdict, c.heteroscedastic ? stats::VarianceVerdict::Heteroscedastic
                                                   : stats::VarianceVerdict::Homoscedastic);
        }
}

struct WeightedFigures {
    const char *id;
    double slope, intercept, sd, slopeSe, interceptSe, sumAbsRelativeError, slopeUpperLimit;
    int rank;
};

// Each candidate's line, its sum and rank, and the same line fitted alone;
// the candidates not expected are undefined for the study.
void expectCandidates(const stats::LinearityStudy &study, std::span<const WeightedFigures> expected)
{
    const std::vector<stats::WeightCandidate> candidates = stats::RankWeights(study);
    ASSERT_EQ(candidates.size(), 8u);
    size_t next = 0;
    for (const stats::WeightCandidate &c : candidates) {
        SCOPED_TRACE(stats::WeightId(c.weight));
        if (next == expected.size() || std::string_view(stats::WeightId(c.weight)) != expected[next].id) {
            EXPECT_FALSE(c.slope || c.sumAbsRelativeError || c.rank);
            continue;
        }
        const WeightedFigures &e = expected[next++];
        ASSERT_TRUE(c.slope && c.intercept && c.sumAbsRelativeError);
        EXPECT_FIGURE(*c.slope, e.slope);
        EXPECT_FIGURE(*c.intercept, e.intercept);
        EXPECT_FIGURE(*c.sumAbsRelativeError, e.sumAbsRelativeError);
        EXPECT_EQ(c.rank, e.rank);
        const std::optional<stats::WeightedLine> line = stats::FitWeightedLine(study, c.weight);
        ASSERT_TRUE(line);
        EXPECT_FIGURE(line->slope, e.slope);
        EXPECT_FIGURE(line->sdRegression, e.sd);
        EXPECT_FIGURE(line->slopeSe, e.slopeSe);
        EXPECT_FIGURE(line->interceptSe, e.interceptSe);
        EXPECT_FIGURE(line->slopeUpperLimit, e.slopeUpperLimit);
        EXPECT_NEAR(line->slopeUpperLimit.toDouble() + line->slopeLowerLimit.toDouble(), 2 * line->slope.toDouble(),
                    1e-14);
        ASSERT_EQ(line->backCalculated.size(), study.observations.size());
        ASSERT_EQ(line->levelBias.size(), static_cast<size_t>(study.k()));
    }
}

TEST(WeightedLines, EveryCandidateOfTheGrowingStudy)
{
    const WeightedFigures expected[] = {
        {"none", 1.00630113753, -0.0138644328255, 1.4837662096, 0.0101560189124, 0.51035384521, 26.4268813841,
         1.02824220079, 8},
        {"1/x^0.5", 1.00611922566, -0.00534200946171, 0.765964071755, 0.00835774517008, 0.220648213846,
         25.3954737956, 1.02417529832, 5},
        {"1/x", 1.0059282528, -0.00148465965199, 0.312665662761, 0.00767365091376, 0.085729494339, 24.9852146645,
         1.02250640823, 1},
        {"1/x^2", 1.00519837716, 0.00125923374287, 0.0463211819626, 0.00673156306544, 0.0146859786559,
         25.0033564563, 1.019741246, 2},
        {"1/y^0.5", 1.00573460884, -0.00419064260042, 0.76776535318, 0.00837744067612, 0.221175588788,
         25.4441388625, 1.02383323168, 7},
        {"1/y", 1.00520980644, -0.000258878954524, 0.3142282542, 0.00770934452483, 0.0861630537963, 25.1982496772,
         1.02186507435, 4},
        {"1/y^2", 1.00419302962, 0.00208006060658, 0.0467600911834, 0.00678399730383, 0.0148208515139,
         25.4202492687, 1.0188491774, 6},
        {"1/s^2", 1.00474587552, 0.00183823009355, 0.029410640707, 0.00634810690905, 0.0107057788194,
         25.1631564286, 1.01846032569, 3},
    };
    expectCandidates(growingStudy(), expected);
}

// The DIN 32645 calibration data (ten levels of one measurement): the
// published ranking of the weights by the sum of |relative error| (as a
// fraction there, per cent here). 1/s^2 needs replicates and is not ranked.
// Every weighted line of two studies against R's lm(weights = ) with the
// weights normalised to a mean of 1 (weighting_figures.R beside this file):
// an independent fit (by QR, in doubles) agrees to 10 significant digits.
TEST(WeightedLines, AgreeWithR)
{
    struct RFigures {
        const char *id;
        double slope, intercept, sd, slopeSe, interceptSe;
    };
    const RFigures growing[] = {
        {"none", 1.0063011375349, -0.0138644328254598, 1.48376620959881, 0.0101560189123962, 0.510353845209503},
        {"1/x^0.5", 1.00611922565607, -0.00534200946171056, 0.76596407175466, 0.00835774517008057, 0.220648213845805},
        {"1/x", 1.00592825280076, -0.00148465965198981, 0.312665662761368, 0.00767365091376315, 0.0857294943389562},
        {"1/x^2", 1.00519837715773, 0.00125923374287216, 0.0463211819625549, 0.00673156306544321, 0.0146859786559009},
        {"1/y^0.5", 1.00573460883937, -0.0041906426004221, 0.767765353180101, 0.00837744067611569, 0.22117558878791},
        {"1/y", 1.00520980644063, -0.000258878954525771, 0.314228254200231, 0.00770934452482639, 0.0861630537963236},
        {"1/y^2", 1.00419302962475, 0.00208006060658212, 0.046760091183391, 0.00678399730382544, 0.0148208515138909},
        {"1/s^2", 1.00474587552163, 0.00183823009355009, 0.0294106407070019, 0.00634810690904549, 0.010705778819448},
    };
    const RFigures assay[] = {
        {"none", 1.00286666666667, -0.093999999999998, 0.150825931253418, 0.00550738432028138, 0.278109275700698},
        {"1/x^0.5", 1.0028695645278, -0.0941456411990275, 0.148835466527382, 0.00543404549912404, 0.271678560962066},
        {"1/x", 1.00287284552846, -0.09430894308942, 0.146836867926255, 0.00537850118272627, 0.266183242544928},
        {"1/x^2", 1.00288262729092, -0.0947881090886187, 0.142873220467054, 0.00532099056683639, 0.257973453954306},
        {"1/y^0.5", 1.00286322543799, -0.0940192271752889, 0.148826413424598, 0.00543370214235858, 0.271656119141108},
        {"1/y", 1.00286030662004, -0.0940630265058309, 0.146819114149676, 0.00537788990837669, 0.266142453197005},
        {"1/y^2", 1.00285819424548, -0.0943277788207673, 0.14284143507465, 0.00532012713966178, 0.257910737987847},
        {"1/s^2", 1.00238028447286, -0.0762952922478546, 0.138574668713233, 0.00553711412322857, 0.266193707250208},
    };
    const stats::LinearityStudy assayStudy =
        studyOf(repeated({"40", "45", "50", "55", "60"}, 3),
                {"39.87", "40.12", "40.05", "45.21", "44.93", "45.06", "50.14", "49.88", "49.97", "55.32", "54.91",
                 "55.08", "60.25", "59.84", "60.11"});
    auto tenDigits = [](const stats::Real &ours, double r) {
        return std::fabs(ours.toDouble() - r) <= 1e-10 * std::fabs(r);
    };
    for (const auto &[study, figures] : {std::pair{growingStudy(), std::span<const RFigures>(growing)},
                                         std::pair{assayStudy, std::span<const RFigures>(assay)}})
        for (const RFigures &r : figures) {
            SCOPED_TRACE(r.id);
            const std::optional<stats::WeightedLine> line = stats::FitWeightedLine(study, *stats::WeightNamed(r.id));
            ASSERT_TRUE(line);
            EXPECT_PRED2(tenDigits, line->slope, r.slope);
            EXPECT_PRED2(tenDigits, line->intercept, r.intercept);
            EXPECT_PRED2(tenDigits, line->sdRegression, r.sd);
            EXPECT_PRED2(tenDigits, line->slopeSe, r.slopeSe);
            EXPECT_PRED2(tenDigits, line->interceptSe, r.interceptSe);
        }
}

TEST(WeightedLines, DinCalibrationDataRanking)
{
    const stats::LinearityStudy study =
        studyOf({"0.05", "0.10", "0.15", "0.20", "0.25", "0.30", "0.35", "0.40", "0.45", "0.50"},
                {"3060", "3522", "3707", "4280", "5058", "5510", "5703", "6205", "7156", "7178"});
    const struct {
        const char *id;
        double sum;
        int rank;
    } expected[] = {{"none", 0.7977949, 7},    {"1/x^0.5", 0.7463664, 3}, {"1/x", 0.6928994, 2},
                    {"1/x^2", 0.6109420, 1},   {"1/y^0.5", 0.7896535, 6}, {"1/y", 0.7795665, 5},
                    {"1/y^2", 0.7545672, 4}};
    const std::vector<stats::WeightCandidate> c = stats::RankWeights(study);
    ASSERT_EQ(c.size(), 8u);
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_STREQ(stats::WeightId(c[i].weight), expected[i].id);
        ASSERT_TRUE(c[i].sumAbsRelativeError);
        EXPECT_NEAR(c[i].sumAbsRelativeError->toDouble(), 100 * expected[i].sum, 100 * 5e-8);
        EXPECT_EQ(c[i].rank, expected[i].rank);
    }
    EXPECT_EQ(c[7].rank, 0);
    EXPECT_FALSE(c[7].sumAbsRelativeError);
}

TEST(WeightedLines, UnweightedLineIsTheInferenceLine)
{
    const stats::StudyData texts = inferenceStudy();
    const stats::StudyAnalysis a = stats::Analyze(texts, {});
    ASSERT_TRUE(a.weighting().value && a.regression().value);
    const stats::WeightingResult &w = *a.weighting().value;
    const stats::RegressionResult &r = *a.regression().value;
    ASSERT_TRUE(w.weighted);
    EXPECT_EQ(w.chosen, stats::Weight::None);
    for (auto [weighted, inference] :
         {std::pair{&w.weighted->slope, &r.slope}, {&w.weighted->intercept, &r.intercept},
          {&w.weighted->sdRegression, &r.sdRegression}, {&w.weighted->slopeUpperLimit, &r.slopeUpperLimit},
          {&w.weighted->slopeLowerLimit, &r.slopeLowerLimit},
          {&w.weighted->interceptUpperLimit, &r.interceptUpperLimit},
          {&w.weighted->interceptLowerLimit, &r.interceptLowerLimit}})
        EXPECT_EQ(weighted->rounded(15).digits, inference->rounded(15).digits);
}

TEST(WeightedLines, UndefinedWeightsSayWhyAndAreNotRanked)
{
    const std::vector<stats::WeightCandidate> c = stats::RankWeights(blankStudy());
    ASSERT_EQ(c.size(), 8u);
    EXPECT_EQ(c[0].rank, 1);
    EXPECT_FIGURE(*c[0].sumAbsRelativeError, 6.3551378817);
    for (size_t i = 1; i < c.size(); ++i) {
        SCOPED_TRACE(stats::WeightId(c[i].weight));
        EXPECT_EQ(c[i].rank, 0);
        EXPECT_FALSE(c[i].slope || c[i].sumAbsRelativeError);
        EXPECT_FALSE(c[i].undefinedBecause.empty());
    }
    EXPECT_EQ(c[1].undefinedBecause, "una cantidad adicionada es cero o negativa");
    EXPECT_EQ(c[4].undefinedBecause, "una cantidad recuperada es cero o negativa");
    EXPECT_EQ(c[7].undefinedBecause, "el nivel 5 tiene menos de 2 réplicas");
    EXPECT_FALSE(stats::FitWeightedLine(blankStudy(), stats::Weight::InverseX));
}

TEST(WeightedLines, ChoiceFollowsTheVerdictUnlessTheAnalystChose)
{
    bool zero = false;
    const stats::WeightingResult het = stats::ComputeWeighting(growingStudy(), {}, zero);
    EXPECT_EQ(het.chosen, stats::Weight::InverseX);
    EXPECT_EQ(het.rule, stats::WeightRule::SmallestRelativeError);
    const stats::WeightingResult hom = stats::ComputeWeighting(blankStudy(), {}, zero);
    EXPECT_EQ(hom.chosen, stats::Weight::None);
    EXPECT_EQ(hom.rule, stats::WeightRule::Homoscedastic);
    const stats::WeightingResult user = stats::ComputeWeighting(growingStudy(), {stats::Weight::InverseY2}, zero);
    EXPECT_EQ(user.chosen, stats::Weight::InverseY2);
    EXPECT_EQ(user.rule, stats::WeightRule::User);
    ASSERT_TRUE(user.weighted);
    EXPECT_FIGURE(user.weighted->slope, 1.00419302962);
    const stats::WeightingResult undefined = stats::ComputeWeighting(blankStudy(), {stats::Weight::InverseX}, zero);
    EXPECT_FALSE(undefined.weighted);

    for (const char *id : {"none", "1/x^0.5", "1/x", "1/x^2", "1/y^0.5", "1/y", "1/y^2", "1/s^2"})
        EXPECT_STREQ(stats::WeightId(*stats::WeightNamed(id)), id);
    EXPECT_FALSE(stats::WeightNamed("1/x^3"));
}

TEST(PointDiagnostics, LeverageStudentizedCookAndGrubbs)
{
    struct Row {
        int index;
        double leverage, studentized, deleted, cook;
    };
    const struct {
        stats::LinearityStudy study;
        Row first, last;
        std::vector<double> grubbs;
        double critical;
    } cases[] = {
        {growingStudy(),
         {0, 0.115243342516, 0.0197493925276, 0.0189748872388, 2.5402092581e-5},
         {14, 0.275725717284, 0.462285626162, 0.447846004612, 0.0406785060844},
         {1.09108945118, 1.08254254224, 1.07880712259, 1.14377252718, 1.07134120746},
         1.15430485134},
        {blankStudy(),
         {0, 0.214814814815, 0.963574123014, 0.960146521416, 0.127008385027},
         {12, 0.333333333333, 0.204375899408, 0.195235804219, 0.0104423770647},
         {1.05962588565, 1.0, 1.0722219285, 1.13389341903},
         1.15430485134},
    };
    for (const auto &c : cases) {
        const std::vector<stats::PointDiagnostic> d = stats::PointDiagnostics(c.study);
        ASSERT_EQ(d.size(), c.study.observations.size());
        for (const Row &row : {c.first, c.last}) {
            const stats::PointDiagnostic &p = d[static_cast<size_t>(row.index)];
            EXPECT_EQ(p.observation, row.index + 1);
            ASSERT_TRUE(p.leverage && p.studentized && p.deletedStudentized && p.cooksDistance);
            EXPECT_FIGURE(*p.leverage, row.leverage);
            EXPECT_FIGURE(*p.studentized, row.studentized);
            EXPECT_FIGURE(*p.deletedStudentized, row.deleted);
            EXPECT_FIGURE(*p.cooksDistance, row.cook);
            EXPECT_FALSE(p.influential);
        }
        const std::vector<stats::GrubbsTest> g = stats::GrubbsTests(c.study);
        ASSERT_EQ(g.size(), c.grubbs.size());
        for (size_t j = 0; j < g.size(); ++j) {
            ASSERT_TRUE(g[j].g);
            EXPECT_FIGURE(*g[j].g, c.grubbs[j]);
            EXPECT_FIGURE(g[j].critical, c.critical);
            EXPECT_FALSE(g[j].outlier);
        }
    }
}

TEST(PointDiagnostics, FarReplicateIsAnOutlierAndAnInfluentialPoint)
{
    // Five replicates at 100 with one far off; the median of F(2, 8) is 0.757.
    const stats::LinearityStudy s = studyOf(repeated({"50", "100"}, 5),
                                            {"50.1", "49.9", "50.0", "50.2", "49.8", "100.1", "99.9", "100.0",
                                             "100.2", "104.0"});
    const std::vector<stats::GrubbsTest> g = stats::GrubbsTests(s);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_FALSE(g[0].outlier);
    EXPECT_TRUE(g[1].outlier);
    EXPECT_EQ(g[1].observation, 10);
    const std::vector<stats::PointDiagnostic> d = stats::PointDiagnostics(s);
    for (const stats::PointDiagnostic &p : d)
        EXPECT_EQ(p.influential, p.observation == 10) << p.observation;
    // A point that alone fixes the line: leverage 1, no figures.
    const std::vector<stats::PointDiagnostic> alone =
        stats::PointDiagnostics(studyOf({"1", "1", "1", "5"}, {"1.1", "0.9", "1.0", "5"}));
    EXPECT_FALSE(alone[3].leverage || alone[3].cooksDistance);
    EXPECT_TRUE(alone[0].leverage);
}

// Levels of 3, 5, 4, 2 and 4 replicates: the ends compare levels of
// different sizes, the pooled variance and the deviation tests weigh each
// level by its own count, 1/s² weighs each level by its own r(r − 1), and
// Grubbs needs the critical value of three different sizes in one run.
TEST(Weighting, UnequalReplicatesEverywhere)
{
    const stats::LinearityStudy study =
        studyOf({"10", "10", "10", "20", "20", "20", "20", "20", "30", "30", "30", "30", "40", "40", "50", "50", "50",
                 "50"},
                {"10.12", "9.91", "10.05", "20.31", "19.78", "20.06", "19.92", "20.18", "30.45", "29.62", "30.21",
                 "29.87", "40.66", "39.41", "50.92", "49.35", "50.27", "49.71"});
    const stats::Homogeneity h = stats::AssessHomogeneity(study);
    ASSERT_TRUE(h.endsF && h.bartlett && h.levene && h.brownForsythe);
    EXPECT_FALSE(h.cochran);
    EXPECT_EQ(h.endsF->df1, 3);
    EXPECT_EQ(h.endsF->df2, 2);
    EXPECT_FIGURE(h.endsF->f, 41.1158892128);
    EXPECT_FIGURE(h.endsF->p, 0.0238377093498);
    EXPECT_FIGURE(h.bartlett->statistic, 8.37792629184);
    EXPECT_FIGURE(h.bartlett->p, 0.0786750462708);
    EXPECT_FIGURE(h.levene->f, 5.64006550358);
    EXPECT_FIGURE(h.levene->p, 0.00739516221224);
    EXPECT_FIGURE(h.brownForsythe->f, 5.34590437139);
    EXPECT_FIGURE(h.brownForsythe->p, 0.0090570518135);
    EXPECT_EQ(h.levene->df2, 13);

    const WeightedFigures expected[] = {
        {"none", 1.00058505564, 0.0272178060413, 0.417780469467, 0.00706739009358, 0.230218115446, 17.5994251376,
         1.0155672159, 1},
        {"1/x^0.5", 1.00060582173, 0.0265414934293, 0.368040257584, 0.0063696077948, 0.185479734984, 17.6050477316,
         1.0141087533, 2},
        {"1/x", 1.00065535492, 0.025147882939, 0.316053996693, 0.00585553342966, 0.149475534042, 17.615166586,
         1.01306850024, 4},
        {"1/x^2", 1.00082797194, 0.0213276702475, 0.22126273686, 0.00535937502981, 0.10189666154, 17.6348893654,
         1.01218931106, 7},
        {"1/y^0.5", 1.00051175133, 0.027306641526, 0.367989603721, 0.00636840820987, 0.185471392088, 17.6140361057,
         1.01401213989, 3},
        {"1/y", 1.00047146438, 0.0265593257742, 0.316022293226, 0.00585357231103, 0.149474558398, 17.6340034328,
         1.01288045232, 6},
        {"1/y^2", 1.00048598596, 0.0235773773852, 0.221382919838, 0.00535761415445, 0.101930702851, 17.6755520767,
         1.01184359221, 8},
        {"1/s^2", 1.00102554134, 0.019065764256, 0.187208736842, 0.00537677484997, 0.0927324035098, 17.6258292521,
         1.01242376634, 5},
    };
    expectCandidates(study, expected);

    const std::vector<stats::PointDiagnostic> d = stats::PointDiagnostics(study);
    ASSERT_TRUE(d[0].cooksDistance && d[17].deletedStudentized);
    EXPECT_FIGURE(*d[0].leverage, 0.163751987281);
    EXPECT_FIGURE(*d[0].cooksDistance, 0.00506927486315);
    EXPECT_FIGURE(*d[17].studentized, -0.913857925574);
    EXPECT_FIGURE(*d[17].deletedStudentized, -0.908876881457);
    const std::vector<stats::GrubbsTest> g = stats::GrubbsTests(study);
    const struct {
        int level;
        double g, critical;
    } grubbs[] = {{1, 1.09108945118, 1.15430485134},
                  {2, 1.29306548505, 1.71503731234},
                  {3, 1.14013318207, 1.48125},
                  {5, 1.25067034551, 1.48125}};
    ASSERT_EQ(g.size(), std::size(grubbs));
    for (size_t j = 0; j < g.size(); ++j) {
        EXPECT_EQ(g[j].level, grubbs[j].level);
        ASSERT_TRUE(g[j].g);
        EXPECT_FIGURE(*g[j].g, grubbs[j].g);
        EXPECT_FIGURE(g[j].critical, grubbs[j].critical);
    }
}

// A falling line (a slope below zero is unusual, not wrong): every sum of
// relative errors is a size, positive, and the ranks are 1 to 8.
// Amounts below zero and at zero with positive responses: only the weights of
// y are defined, and each relative error is over |x| (none at x = 0).
TEST(WeightedLines, AmountsBelowZeroWeighByY)
{
    const WeightedFigures expected[] = {
        {"none", 1.00926666667, 30.1303333333, 0.425589003617, 0.0109886608223, 0.134583059855, 24.1412907061,
         1.03375050184, 1},
        {"1/y^0.5", 1.00877033663, 30.1311449897, 0.412347528579, 0.0106595641391, 0.123460597944, 24.1822550783,
         1.03252091148, 2},
        {"1/y", 1.00830283714, 30.1308699856, 0.40105015147, 0.0106010467258, 0.116421904107, 24.2466506541,
         1.03192302935, 3},
        {"1/y^2", 1.00744693826, 30.1273966522, 0.385748734013, 0.0113505058548, 0.114461851107, 24.4383986222,
         1.03273700036, 4},
        {"1/s^2", 1.00846012518, 30.1141209877, 0.355464288718, 0.0117440032746, 0.106865072919, 24.642484287,
         1.03462693888, 5},
    };
    expectCandidates(studyOf(repeated({"-10", "0", "10", "20"}, 3),
                             {"20.15", "19.62", "20.48", "30.11", "29.75", "30.36", "40.52", "39.81", "40.27",
                              "50.34", "49.66", "51.05"}),
                     expected);
}

// Responses below zero, two replicates a level. The third response, -5.17,
// lies half a unit of its last decimal above its fitted value, -5.175: the
// sign of its residual, and so its share of the sums, is decided on whole
// numbers rounded towards minus infinity. With two replicates a level the
// deviations from a level's centre are equal, and Levene's and
// Brown–Forsythe's F cannot be computed.
TEST(WeightedLines, ResponsesBelowZeroHalfAUnitFromTheirFit)
{
    const WeightedFigures expected[] = {
        {"none", -0.38, -4.415, 1.38423263941, 0.437732795207, 1.19878063047, 1211.18421053, 0.691088376593, 5},
        {"1/x^0.5", -0.392284762738, -4.38158117244, 1.43866262722, 0.456451313528, 1.12865808518, 1174.23610082,
         0.724605956334, 3},
        {"1/x", -0.416551724138, -4.32362068966, 1.48830989543, 0.498636154566, 1.09245707937, 1108.09188742,
         0.803561082469, 2},
        {"1/x^2", -0.491794871795, -4.17915384615, 1.56066852227, 0.675026755315, 1.13150192728, 937.333159541,
         1.15992809579, 1},
        {"1/s^2", -0.385940760844, -4.66858541254, 0.993105165771, 0.349950560432, 1.20436463471, 1204.01166919,
         0.470353265478, 4},
    };
    const stats::LinearityStudy study =
        studyOf(repeated({"1", "2", "3", "4"}, 2), {"-5.99", "-3.16", "-5.17", "-6.76", "-3.51", "-5.76", "-6.74", "-5.83"});
    expectCandidates(study, expected);
    const stats::Homogeneity h = stats::AssessHomogeneity(study);
    EXPECT_FALSE(h.levene || h.brownForsythe);
    ASSERT_TRUE(h.endsF && h.bartlett);
    EXPECT_FIGURE(h.endsF->p, 0.198060469403);
    EXPECT_FIGURE(h.bartlett->statistic, 0.853703586886);
}

// Amounts weighed one by one, so that they differ within each level: every
// row's own amount counts in each line, and the levels stay as typed.
TEST(WeightedLines, AmountsDifferingWithinALevel)
{
    const WeightedFigures expected[] = {
        {"none", 1.00868235433, -0.00577996159611, 0.0306612777441, 0.00250341645847, 0.0270581182409,
         2.75348041256, 1.01460193289, 8},
        {"1/x^0.5", 1.00821164302, -0.000863005928439, 0.0306423032259, 0.00252142193699, 0.0250772452055,
         2.69204025309, 1.01417379733, 6},
        {"1/x", 1.00778423852, 0.00320818183223, 0.0305098508343, 0.00263607783469, 0.0238662268683, 2.64199192239,
         1.01401750817, 3},
        {"1/x^2", 1.00702712654, 0.00940935040564, 0.0301123356015, 0.00321308142356, 0.0238790335522,
         2.61658576966, 1.01462477887, 1},
        {"1/y^0.5", 1.00821644348, -0.000955154697443, 0.0306423534302, 0.0025219020044, 0.0250829110102,
         2.69280413594, 1.01417973296, 7},
        {"1/y", 1.00779393984, 0.00302338758207, 0.0305182834949, 0.00263743232967, 0.0238821431925, 2.64405827131,
         1.01403041232, 4},
        {"1/y^2", 1.00704731091, 0.00903617322394, 0.0301607331442, 0.00321747386748, 0.0239245467922,
         2.62070172258, 1.01465534962, 2},
        {"1/s^2", 1.00751143021, 0.00318959722572, 0.0302409829499, 0.00276308179318, 0.0253746159523,
         2.67009201238, 1.01404501342, 5},
    };
    const stats::LinearityStudy study =
        studyOf({"4.98", "5.01", "5.03", "10.02", "9.97", "10.04", "15.01", "14.96", "15.05"},
                {"5.04", "5.02", "5.10", "10.11", "10.02", "10.09", "15.12", "15.08", "15.22"}, {3, 3, 3});
    ASSERT_EQ(study.k(), 3);
    expectCandidates(study, expected);
    const stats::Homogeneity h = stats::AssessHomogeneity(study);
    ASSERT_TRUE(h.levene && h.brownForsythe);
    EXPECT_FIGURE(h.levene->f, 0.801909307876);
    EXPECT_FIGURE(h.brownForsythe->p, 0.811144787129);
}

TEST(WeightedLines, FallingLineHasPositiveSums)
{
    const stats::LinearityStudy study =
        studyOf(repeated({"1", "2", "3", "4"}, 2), {"9.1", "8.8", "7.2", "6.9", "5.1", "4.8", "3.0", "3.3"});
    std::vector<int> ranks;
    for (const stats::WeightCandidate &c : stats::RankWeights(study)) {
        ASSERT_TRUE(c.sumAbsRelativeError) << stats::WeightId(c.weight);
        EXPECT_GT(c.sumAbsRelativeError->sign(), 0) << stats::WeightId(c.weight);
        EXPECT_LT(c.slope->sign(), 0);
        ranks.push_back(c.rank);
    }
    std::sort(ranks.begin(), ranks.end());
    EXPECT_EQ(ranks, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(Weighting, ZeroSlopeAndPerfectFitAreRefused)
{
    bool zero = false;
    stats::ComputeWeighting(studyOf({"1", "2", "3"}, {"5", "4", "5"}), {}, zero);
    EXPECT_TRUE(zero);
    EXPECT_THROW(stats::ComputeWeighting(studyOf({"1", "2", "3"}, {"1", "2", "3"}), {}, zero),
                 stats::FloatingPointError);
}

// The texts of our own with a figure in them (the levels of the tests)
// take the user's separator, as every figure beside them does.
TEST(Weighting, OwnTextsTakeTheUsersSeparator)
{
    bool zero = false;
    const stats::WeightingResult w = stats::ComputeWeighting(growingStudy(), {}, zero);
    std::string all;
    for (const std::string &line : stats::TextOf(stats::WeightingDocument(w, ',')))
        all += line + '\n';
    for (const char *comma : {"P < 0,01)", "C crítico (0,05) =", "G crítico (0,05)"})
        EXPECT_NE(all.find(comma), std::string::npos) << comma << "\n" << all;
    EXPECT_EQ(all.find("0.0"), std::string::npos) << all;
    EXPECT_EQ(stats::ConfidenceOutOfRange(','), "La confianza debe ser un número mayor que 0,5 y menor que 1.");
}

// A blank level has no relative error: the sums leave it out and say so,
// in the lines the window, the page and the command share.
TEST(WeightedLines, ObservationsAtZeroAreLeftOutOfTheSumsAndSaidSo)
{
    auto note = [](const stats::LinearityStudy &study) {
        bool zero = false;
        const stats::WeightingResult w = stats::ComputeWeighting(study, {}, zero);
        for (const std::string &line : stats::UndefinedWeightLines(w))
            if (line.starts_with("Σ|Error relativo| deja fuera"))
                return line;
        return std::string();
    };
    EXPECT_EQ(note(blankStudy()), "Σ|Error relativo| deja fuera 3 observaciones con cantidad adicionada cero: su "
                                  "error relativo no está definido.");
    EXPECT_EQ(note(studyOf({"0", "20", "20", "40", "40"}, {"0.3", "20.4", "19.8", "40.2", "39.7"})),
              "Σ|Error relativo| deja fuera 1 observación con cantidad adicionada cero: su error relativo no está "
              "definido.");
    EXPECT_EQ(note(growingStudy()), "");
}

} // namespace
