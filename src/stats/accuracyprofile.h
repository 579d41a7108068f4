#pragma once
// The accuracy profile of a study of several series: for each candidate
// calibration model, every validation standard back-calculated through its
// own series' fit; per validation level the trueness, the repeatability and
// intermediate precision (variance components of one-way analysis by series),
// the β-expectation tolerance interval of a future result and the
// uncertainty; the levels whose interval lies within ±λ and the validated
// range between them. Beside it, whether the series' calibration lines share
// a slope and an intercept.
//
// Sums, means, variances and the degrees of freedom are exact; square roots
// are surds; the t quantile and what is taken from it carry 50 digits. The
// quadratic's back-calculated amounts are roots, carried to 50 digits.
#include "stats/real.h"
#include "stats/seriesstudy.h"

#include <optional>
#include <string>
#include <vector>

namespace stats {

struct ProfileOptions {
    Rational beta = Rational(9, 10); // the expected proportion of future results within the interval
    Rational lambda = 15;            // the acceptance limits, ±λ %
    // The model a graph shows, by its place among the models computed;
    // none: the chosen one, else the first.
    std::optional<std::size_t> shown = std::nullopt;
};

// β and λ as typed, with a point or a comma: ConversionError with the
// reason otherwise. 0 < β < 1; 0 < λ ≤ 1000 (a percentage).
Rational ParseProfileBeta(const std::string &text);
Rational ParseProfileLambda(const std::string &text);

enum class ProfileModel { OnePoint, Line, Quadratic, Absolute };
enum class ProfileWeight { None, InverseX, InverseX2 };

const char *ProfileModelKey(ProfileModel model);    // one-point, line, quadratic, absolute
const char *ProfileWeightKey(ProfileWeight weight); // none, 1/x, 1/x^2
// "Un punto", "Recta 1/x", "Cuadrático 1/x²", "Absoluto (sin calibración)".
std::string ProfileModelName(ProfileModel model, ProfileWeight weight);

// One series' calibration: response = intercept + slope·x (+ quadratic·x²).
struct ProfileFit {
    Rational intercept, slope;
    std::optional<Rational> quadratic; // empty for a line
};

struct ProfileLevel {
    Rational x;    // the amount introduced
    int n = 0;     // points in each series
    Rational mean; // of every back-calculated amount
    Rational bias; // mean − x
    Real relativeBias, recovery; // %, over x
    Real sr, sB, sIP;            // repeatability, between series, intermediate precision
    Real cvr, cvIP;              // %, over x
    Real totalError;             // |relative bias| + CV_IP
    Real dof;                    // ν, not a whole number
    Real ktol;                   // the tolerance factor: t(ν, (1 + β)/2)·√(1 + 1/(p·n·B²))
    Real lower, upper;           // mean ∓ ktol·sIP
    Real relativeLower, relativeUpper; // 100·(limit − x)/x
    Real u, U, relativeU;        // the uncertainty of a result, expanded (k = 2), and over x
    bool accepted = false;       // both relative limits within [−λ, λ]
};

struct ProfileRange {
    Real lower, upper; // the LLOQ and the ULOQ
};

struct ModelProfile {
    ProfileModel model = ProfileModel::Line;
    ProfileWeight weight = ProfileWeight::None;
    std::vector<ProfileFit> fits;                    // per series
    std::vector<std::vector<std::vector<Rational>>> found; // [series][level][point], levels by amount
    std::vector<ProfileLevel> levels;                // by amount
    std::optional<ProfileRange> range;               // the longest stretch within ±λ; none when empty or a point
    bool valid = false;                              // every level accepted
};

// A model the study cannot have, and why.
struct OmittedModel {
    ProfileModel model;
    ProfileWeight weight;
    std::string reason;
};

struct AccuracyProfile {
    Rational beta, lambda;
    std::vector<int> series; // the series that take part (1-based): those with validation standards
    std::vector<ModelProfile> models;
    std::vector<OmittedModel> omitted;
    std::optional<std::size_t> chosen; // the widest range, the first on a tie; none without a range
};

struct FTest {
    Real f;
    int df1 = 0, df2 = 0;
    Real p;
};

// The series' calibration standards, one unweighted line each: equal slopes,
// then equal intercepts given a common slope.
struct SeriesComparison {
    int series = 0; // how many took part
    FTest equalSlopes, equalIntercepts;
};

struct ProfileResult {
    std::optional<AccuracyProfile> profile;
    std::string refusal; // why there is none, naming the level or the series
    std::optional<SeriesComparison> comparison; // none for one series, an absolute method, or no residual error
};

// Never throws for the study's shape: what keeps the profile away is
// `refusal`. Raises FloatingPointError only where a figure leaves the range
// of a double.
ProfileResult ComputeAccuracyProfile(const SeriesStudy &study, const ProfileOptions &options);

// Whether at least two series have validation standards: what the profile
// needs before anything else.
bool HasProfileDesign(const SeriesStudy &study);

} // namespace stats
