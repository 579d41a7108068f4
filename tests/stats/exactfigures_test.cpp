// Every printed figure of 155 studies against the same figures computed
// outside the program with exact fractions (exact_figures.py beside this
// file): the worked studies, those the exact-figures review found refused or misjudged,
// then studies drawn with one to three decimals, whose sums of squares and
// means land on halves of their last printed digit.
#include "stats/outcomes.h"
#include "stats/numberformat.h"
#include "stats/resultfields.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

using namespace testing_studies;

namespace {

struct ExpectedStudy {
    std::vector<std::string> replicates, x, y;
    std::vector<std::pair<std::string, std::string>> figures; // key, printed text
};

std::vector<std::string> words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::vector<ExpectedStudy> expectedStudies()
{
    std::ifstream in(TEST_DATA_DIR "/../stats/exact_figures.txt");
    std::vector<ExpectedStudy> studies;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        const std::string key = line.substr(0, tab), value = line.substr(tab + 1);
        if (key == "study")
            studies.push_back({words(value), {}, {}, {}});
        else if (key == "x")
            studies.back().x = words(value);
        else if (key == "y")
            studies.back().y = words(value);
        else
            studies.back().figures.emplace_back(key, value);
    }
    return studies;
}

// What the windows print for each key, from the records the report fills.
std::map<std::string, std::string> printed(const stats::StudyAnalysis &analysis)
{
    const stats::RegressionResult &regression = *analysis.regression().value;
    const stats::AnovaAndResiduals &r = *analysis.anova().value;
    std::map<std::string, std::string> out;
    for (const stats::RegressionField &f : stats::RegressionFields())
        out[std::string("regression/") + f.key] = stats::FormatGeneral(regression.*f.member, f.digits, '.');
    for (const stats::AnovaField &f : stats::AnovaFields())
        out[std::string("anova/") + stats::AnovaSources()[f.source].key + "/" + stats::AnovaColumns()[f.column].key] =
            stats::FormatGeneral(r.anova.*f.member, 6, '.');
    for (size_t i = 0; i < r.residuals.size(); ++i)
        for (const stats::ResidualField &f : stats::ResidualFields())
            out["residuals/" + std::to_string(i) + "/" + f.key] =
                stats::FormatGeneral(r.residuals[i].*f.member, f.digits, '.');
    if (analysis.recovery().value)
        for (const stats::RecoveryField &f : stats::RecoveryFields())
            out[std::string("recovery/") + f.key] =
                stats::FormatGeneral((*analysis.recovery().value).*f.member, f.digits, '.');
    return out;
}

} // namespace

TEST(ExactFigures, EveryPrintedFigureIsTheExactValueRoundedOnce)
{
    const std::vector<ExpectedStudy> studies = expectedStudies();
    ASSERT_EQ(studies.size(), 155u);
    int compared = 0;
    for (size_t s = 0; s < studies.size(); ++s) {
        const ExpectedStudy &e = studies[s];
        stats::StudyData texts = makeStudy(e.replicates, e.x, e.y);
        const stats::StudyAnalysis analysis = stats::Analyze(texts, {});
        ASSERT_TRUE(analysis.regression().value && analysis.anova().value) << "study " << s;
        const std::map<std::string, std::string> shown = printed(analysis);
        for (const auto &[key, text] : e.figures) {
            const auto it = shown.find(key);
            ASSERT_NE(it, shown.end()) << "study " << s << " " << key;
            EXPECT_EQ(it->second, text) << "study " << s << " " << key;
            ++compared;
        }
    }
    EXPECT_GT(compared, 9000);
}

// The review's examples, by what the analyst reads.
TEST(ExactFigures, TheReviewsStudiesAreComputedAndJudgedOnTheirExactValues)
{
    // A pure-error sum of squares of exactly 33.90685: computed, and printed 33.9069.
    const stats::StudyAnalysis a = stats::Analyze(makeStudy({"3", "2", "1", "2", "2"},
                                            {"800", "800", "800", "1200", "1200", "1300", "1400", "1400", "1500", "1500"},
                                            {"802.85", "797.87", "799.16", "1202.45", "1198.57", "1299.20", "1403.16",
                                             "1398.58", "1500.68", "1498.43"}),
                                  {});
    EXPECT_FALSE(stats::ReportOutcome(a).refused());
    EXPECT_EQ(stats::FormatGeneral(a.anova().value->anova.ssPureError, 6, '.'), "33.9069");

    // A lack of fit whose P is 0.0494508: significant, the linear model is not adequate.
    const stats::StudyAnalysis b =
        stats::Analyze(makeStudy({"2", "2", "2", "2"}, {"1", "1", "2", "2", "3", "3", "4", "4"},
                                 {"1.0574", "1.0174", "1.9826", "1.9426", "2.9826", "2.9426", "4.0574", "4.0174"}),
                       {});
    const stats::CommandOutcome lack = stats::AnovaOutcome(b);
    EXPECT_EQ(stats::FormatGeneral(b.anova().value->anova.pLackOfFit, 6, '.'), "0.0494508");
    EXPECT_EQ(stats::LinearFit(b.anova().value->anova), stats::Fit::Inadequate);
    EXPECT_EQ(lack.lines.back(), "EL MODELO LINEAL NO REPRESENTA DE MANERA CORRECTA LA RELACIÓN ENTRE CANTIDAD "
                                 "ADICIONADA Y CANTIDAD RECUPERADA");

    // Amounts near 1e9 with decimals: a slope of exactly 1, its t exactly 0.
    const stats::StudyAnalysis c = stats::Analyze(makeStudy({"2", "2", "2"},
                                               {"1000000000.25", "1000000000.25", "1000000001.5", "1000000001.5",
                                                "1000000002.75", "1000000002.75"},
                                               {"1000000000.31", "1000000000.2", "1000000001.52", "1000000001.44",
                                                "1000000002.8", "1000000002.71"}),
                                  {});
    EXPECT_FALSE(stats::InferenceOutcome(c).refused());
    EXPECT_EQ(stats::FormatGeneral(c.regression().value->slope, 6, '.'), "1");
    EXPECT_EQ(c.regression().value->slopeT.sign(), 0);
    EXPECT_EQ(stats::FormatGeneral(c.regression().value->rSquared, 8, '.'), "0.99774377");
}
