#pragma once
// The quadratic model y = c0 + c1·x + c2·x², evaluated beside the straight
// line for a response that curves (ISO 8466-2, DIN 38402-51): its fit, its
// analysis of variance, its sensitivity, the back-calculated amounts and the
// choice between the two models. Sums, coefficients and sums of squares are
// exact; roots are surds; means of roots are carried to 50 digits.
#include "stats/criteria.h"
#include "stats/study.h"

#include <vector>

namespace stats {

enum class ModelChoice { Linear, Quadratic };
enum class ChoiceReason { MandelNotSignificant, QuadraticBetter, QuadraticNotMonotonic, QuadraticLackOfFit };

struct QuadraticResult {
    // Why the study cannot have the model (fewer than three distinct
    // amounts, fewer than four observations, a curve through every point);
    // null when it has it, and then nothing below is empty unless it says so.
    const char *notFitted = nullptr;
    Real c0, c1, c2;       // of x as typed
    Real c0Se, c1Se, c2Se; // from s²·(XᵀX)⁻¹
    Real sdRegression;     // s₂ = √(SSE₂ / (n − 3))
    Real rSquared;         // 1 − SSE₂ / Syy
    // Two degrees of freedom for the regression; the lack of fit and the pure
    // error (HasPureError) with replicates and at least four levels only.
    AnovaResult anova;
    Real lowestLevel, meanX, highestLevel;                 // the level amounts at the ends, x̄
    Real sensitivityLow, sensitivityMean, sensitivityHigh; // E(x) = c1 + 2·c2·x there
    Figure vertex;                                         // −c1 / (2·c2); empty when c2 = 0
    bool monotonic = false;                                // one sign of E over the levels
    Figure sx0, vx0;                                       // s₂/|E(x̄)|, 100·sx0/x̄
    std::vector<BackCalculation> backCalculated; // x̂ the root on the studied side of the vertex; empty where there is none
    std::vector<LevelBias> levelBias;
    Figure relativeStandardError; // as the criteria define it
    Figure largestLevelBias;      // the largest size of a level's bias

    // The straight line beside it, and the choice.
    Figure mandelF, mandelP;                     // the criteria's test of the curvature
    Figure lineLackOfFitP;                       // the straight line's, where assessed
    Figure lineRelativeStandardError, lineLargestLevelBias;
    ModelChoice model = ModelChoice::Linear;
    ChoiceReason reason = ChoiceReason::MandelNotSignificant;
    AcceptanceLimits limits; // the limits the choice was judged against
};

inline constexpr const char *kQuadraticTooFewAmounts =
    "El modelo cuadrático necesita al menos tres cantidades adicionadas distintas y cuatro observaciones.";
inline constexpr const char *kQuadraticExactFit =
    "El modelo cuadrático pasa exactamente por todas las observaciones: no queda error con que evaluarlo.";

// The model and the choice, judged against the criteria's limits of Mandel's
// P and of the lack of fit. Never throws for the study's shape: what keeps
// the model away is `notFitted`. Any number of levels.
QuadraticResult ComputeQuadratic(const LinearityStudy &study, const AcceptanceLimits &limits);

// The line's relative standard error and largest level bias, from its
// criteria, set beside the model's.
void CompareWithLine(QuadraticResult &quadratic, const CriteriaResult &line);

const char *ModelKey(ModelChoice model);         // linear, quadratic
const char *ChoiceReasonKey(ChoiceReason reason); // mandel_not_significant, ...

} // namespace stats
