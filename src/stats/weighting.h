#pragma once
// Is the variance of the response constant along the line, which weight
// makes a weighted line honest, and which points are suspect. Every figure is
// exact where it is rational; what needs a logarithm, a root of a weight or a
// quantile is carried with fifty digits and rounded once, where it is shown.
// Nothing is ever removed from the study: an exclusion is the analyst's
// decision, made by editing the study.
#include "stats/criteria.h"
#include "stats/study.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stats {

// The candidate weights, in the order they are listed and their ties ranked.
enum class Weight { None, InverseRootX, InverseX, InverseX2, InverseRootY, InverseY, InverseY2, InverseVariance };

std::span<const Weight> Weights();
const char *WeightId(Weight weight); // "none", "1/x^0.5", ..., "1/s^2"
std::optional<Weight> WeightNamed(const std::string &id);
std::string WeightIdList(); // "none, 1/x^0.5, ..., 1/s^2"

enum class VarianceVerdict { Heteroscedastic, Homoscedastic, NotAssessed };
const char *VarianceVerdictKey(VarianceVerdict verdict); // heteroscedastic, homoscedastic, not_assessed

// The variance of the lowest and of the highest level compared.
struct EndsFTest {
    int lowLevel = 0, highLevel = 0;
    Real f; // larger variance / smaller
    int df1 = 0, df2 = 0;
    Real p; // P(F(df1, df2) ≥ f)
};

struct CochranTest {
    Real c;        // max s² / Σ s²
    Real critical; // at α = 0.05
    int level = 0; // the level with the largest variance
};

struct BartlettTest {
    Real statistic; // with its correction factor
    int df = 0;
    Real p; // χ² upper tail
};

// A one-way analysis of variance of the absolute deviations of each level
// from its centre: the mean (Levene) or the median (Brown–Forsythe).
struct DeviationTest {
    Real f;
    int df1 = 0, df2 = 0;
    Real p;
};

// Over the levels with at least two replicates; a test that cannot be
// computed for the study is empty.
struct Homogeneity {
    std::optional<EndsFTest> endsF;
    std::optional<CochranTest> cochran;
    std::optional<BartlettTest> bartlett;
    std::optional<DeviationTest> levene, brownForsythe;
    VarianceVerdict verdict = VarianceVerdict::NotAssessed;
};

// One weight tried on the study: its line and the sum of the absolute
// relative errors of the back-calculated amounts, or why it is undefined.
struct WeightCandidate {
    Weight weight = Weight::None;
    std::optional<Real> slope, intercept, sumAbsRelativeError; // in per cent
    int rank = 0;           // 1 = smallest sum; 0 for an undefined weight
    std::string undefinedBecause; // Spanish; empty when defined
};

enum class WeightRule { User, SmallestRelativeError, Homoscedastic, NotAssessed };
const char *WeightRuleKey(WeightRule rule); // user, smallest_relative_error, homoscedastic, not_assessed

// The line with the chosen weight, the weights normalised to a mean of 1.
struct WeightedLine {
    Real slope, intercept, sdRegression, slopeSe, interceptSe;
    Real slopeUpperLimit, slopeLowerLimit, interceptUpperLimit, interceptLowerLimit;
    Real criticalT; // the tabulated t at n − 2
    std::vector<BackCalculation> backCalculated;
    std::vector<LevelBias> levelBias;
};

// The straight line's view of one observation; empty figures for a leverage of 1.
struct PointDiagnostic {
    int observation = 0, level = 0;
    std::optional<Real> leverage, studentized, deletedStudentized, cooksDistance;
    bool influential = false; // Cook's distance above the median of F(2, n − 2)
};

struct GrubbsTest {
    int level = 0;
    std::optional<Real> g; // empty when the level's replicates are all equal
    int observation = 0;   // the suspect: farthest from the level's mean
    Real critical;         // two-sided α = 0.05
    bool outlier = false;
};

struct WeightingOptions {
    std::optional<Weight> weight; // the analyst's choice; empty: the rule decides
};

struct WeightingResult {
    Homogeneity homogeneity;
    std::vector<WeightCandidate> candidates; // in the order of Weights()
    Weight chosen = Weight::None;
    WeightRule rule = WeightRule::NotAssessed;
    std::optional<WeightedLine> weighted; // empty when the chosen weight is undefined
    std::vector<PointDiagnostic> diagnostics; // one per observation
    std::vector<GrubbsTest> grubbs;           // one per level of three replicates or more
    int amountsAtZero = 0; // observations at x = 0: no relative error, left out of every sum
};

struct WholeStudy; // wholestudy.h: the study on whole numbers, prepared once for all of these

// The tests of the variance; any number of levels.
Homogeneity AssessHomogeneity(const LinearityStudy &study);
Homogeneity AssessHomogeneity(const WholeStudy &study);
// Every candidate weight, ranked.
std::vector<WeightCandidate> RankWeights(const LinearityStudy &study);
std::vector<WeightCandidate> RankWeights(const WholeStudy &study);
// The line with `weight`; empty when the weight is undefined for the study.
std::optional<WeightedLine> FitWeightedLine(const LinearityStudy &study, Weight weight);
std::optional<WeightedLine> FitWeightedLine(const WholeStudy &study, Weight weight);
std::vector<PointDiagnostic> PointDiagnostics(const LinearityStudy &study);
std::vector<PointDiagnostic> PointDiagnostics(const WholeStudy &study);
std::vector<GrubbsTest> GrubbsTests(const LinearityStudy &study);
std::vector<GrubbsTest> GrubbsTests(const WholeStudy &study);

// All of it. A slope of exactly zero sets `slopeIsZero` and computes
// nothing; a perfect fit is refused with FloatingPointError.
WeightingResult ComputeWeighting(const LinearityStudy &study, const WeightingOptions &options, bool &slopeIsZero);

} // namespace stats
