#pragma once
#include "stats/study.h"

#include <string>
#include <vector>

namespace stats {

// Analysis of variance of the straight-line fit, with lack of fit and pure
// error. Degrees of freedom are held as doubles too.
struct AnovaResult {
    double dfRegression = 1.0; // a straight line: always one
    double ssRegression = 0.0;
    double msRegression = 0.0;
    double fRegression = 0.0;
    double pRegression = 0.0;
    double dfError = 0.0;
    double ssError = 0.0;
    double msError = 0.0;
    double dfLackOfFit = 0.0;
    double ssLackOfFit = 0.0;
    double msLackOfFit = 0.0;
    double fLackOfFit = 0.0;
    double pLackOfFit = 0.0;
    double dfPureError = 0.0;
    double ssPureError = 0.0;
    double msPureError = 0.0;
};

struct ResidualRow {
    int observation = 0;     // 1..n
    double predictedY = 0.0; // "Pronóstico para Y"
    double residual = 0.0;   // "Residuales"
    double studentized = 0.0;// "Residuos Estudentizados"
};

// Fills the record and the residual table (one row per observation). A slope
// of exactly zero sets `slopeIsZero` and writes nothing. Without replicates
// (dfPureError 0) the lack-of-fit and pure-error fields keep what they held.
// Throws FloatingPointError on a fault or degenerate data.
void ComputeAnovaResiduals(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero,
                           std::vector<ResidualRow> &residuals);

// Upper-tail probability of F with (df1, df2) degrees of freedom, by the
// normal approximation; at most 0.5 for F >= 1, at least 0.5 for 0 < F < 1.
double FTailProbability(double f, double df1, double df2);

enum class Significance { NoDependence, Significant, HighlySignificant };
enum class Fit { Adequate, Inadequate, NotAssessed };

Significance RegressionSignificance(const AnovaResult &anova);
Fit LinearFit(const AnovaResult &anova);
// One or two verdict lines, in order.
std::vector<std::string> AnovaConclusionLines(const AnovaResult &anova);

} // namespace stats
