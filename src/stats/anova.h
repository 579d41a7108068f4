#pragma once
#include "stats/study.h"

#include <string>
#include <vector>

namespace stats {

// Analysis of variance of the straight-line fit, with lack of fit and pure
// error, every figure exact (real.h); the probabilities are the exact upper
// tails of F. Degrees of freedom are held as figures too.
struct AnovaResult {
    Real dfRegression = 1; // a straight line: always one
    Real ssRegression;
    Real msRegression;
    Real fRegression;
    Real pRegression;
    Real dfError;
    Real ssError;
    Real msError;
    Real dfLackOfFit;
    Real ssLackOfFit;
    Real msLackOfFit;
    Real fLackOfFit;
    Real pLackOfFit;
    Real dfPureError;
    Real ssPureError;
    Real msPureError;
};

struct ResidualRow {
    int observation = 0;     // 1..n
    Real predictedY; // "Pronóstico para Y"
    Real residual;   // "Residuales"
    Real studentized;// "Residuos Estudentizados"
};

// Fills the record and the residual table (one row per observation). A slope
// of exactly zero sets `slopeIsZero` and writes nothing. Without replicates
// (dfPureError 0) the lack-of-fit and pure-error fields keep what they held.
// Throws FloatingPointError for degenerate data (all x equal, a perfect fit,
// a leverage of 1, identical replicates in every level).
void ComputeAnovaResiduals(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero,
                           std::vector<ResidualRow> &residuals);

// The same without the residual table (the acceptance criteria need only the
// lack of fit); it refuses the same studies.
void ComputeAnova(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero);

// Whether the study has replicates: the lack-of-fit and pure-error rows hold figures.
bool HasPureError(const AnovaResult &anova);

enum class Significance { NoDependence, Significant, HighlySignificant };
enum class Fit { Adequate, Inadequate, NotAssessed };

Significance RegressionSignificance(const AnovaResult &anova);
Fit LinearFit(const AnovaResult &anova);
// One or two verdict lines, in order.
std::vector<std::string> AnovaConclusionLines(const AnovaResult &anova);

} // namespace stats
