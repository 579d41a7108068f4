#include "stats/anova.h"

#include "stats/degenerate.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"
#include "stats/levels.h"

#include <string>
#include <utility>

namespace stats {

namespace {

// The analysis of variance, and the residual table when `residuals` is given;
// without it the leverages are still checked, so both refuse the same studies.
void computeAnova(const LinearityStudy &study, AnovaResult &r, bool &slopeIsZero, std::vector<ResidualRow> *residuals)
{
    slopeIsZero = false;
    const int n = study.n();
    const ExactLine &line = FitLine(study);
    const Rational &b = line.slope, &a = line.intercept;
    if (line.zeroSlope()) {
        slopeIsZero = true;
        return;
    }
    const StudyLevels levels = Levels(study);
    const int dPureError = levels.pureErrorDf;

    r.dfPureError = dPureError;
    r.dfError = n - 2;
    r.ssError = line.sse;
    const Rational msError = line.sse / (n - 2);
    r.msError = msError;
    degenerate::RequireResidualVariation(line.sse);

    // Residuals, studentized by s_y/x·√(1 − leverage), leverage 1/n + (x − x̄)²/Sxx.
    // The working values are reused from row to row: no temporaries.
    std::vector<ResidualRow> rows(residuals ? study.observations.size() : 0);
    const Rational notMean = 1 - 1 / line.n;
    Rational predicted, residual, centred, spread;
    for (size_t j = 0; j < study.observations.size(); ++j) {
        const Observation &o = study.observations[j];
        predicted = b * o.exactX;
        predicted += a;
        residual = o.exactY - predicted;
        centred = o.exactX - line.meanX;
        spread = centred * centred;
        spread /= line.sxx;
        spread = notMean - spread;
        spread *= msError;
        if (sgn(spread) <= 0) // leverage 1: the line passes through this point whatever it is
            throw FloatingPointError("La observación " + std::to_string(j + 1) +
                                     " determina por sí sola la recta (apalancamiento 1): "
                                     "no se puede calcular su residuo estudentizado.");
        if (!residuals)
            continue;
        mpq_inv(spread.get_mpq_t(), spread.get_mpq_t());
        rows[j].observation = static_cast<int>(j + 1);
        rows[j].studentized = Real::Surd(0, residual, spread);
        rows[j].predictedY = Real(std::move(predicted));
        rows[j].residual = Real(std::move(residual));
    }
    if (residuals)
        *residuals = std::move(rows);

    const Rational ssRegression = b * line.sxy;
    r.ssRegression = ssRegression;
    r.msRegression = ssRegression;
    const Rational fRegression = ssRegression / msError;
    r.fRegression = fRegression;
    r.pRegression = Real::FUpperTail(fRegression, 1, n - 2);

    if (dPureError != 0) {
        const Rational &ssPureError = levels.pureErrorSquares;
        const Rational msPureError = ssPureError / dPureError;
        const int dLackOfFit = n - 2 - dPureError;
        const Rational ssLackOfFit = line.sse - ssPureError;
        const Rational msLackOfFit = ssLackOfFit / dLackOfFit;
        r.ssPureError = ssPureError;
        r.msPureError = msPureError;
        r.dfLackOfFit = dLackOfFit;
        r.ssLackOfFit = ssLackOfFit;
        r.msLackOfFit = msLackOfFit;
        degenerate::RequirePureError(ssPureError);
        const Rational fLackOfFit = msLackOfFit / msPureError;
        r.fLackOfFit = fLackOfFit;
        r.pLackOfFit = Real::FUpperTail(fLackOfFit, dLackOfFit, dPureError);
    }
}

} // namespace

void ComputeAnovaResiduals(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero,
                           std::vector<ResidualRow> &residuals)
{
    computeAnova(study, result, slopeIsZero, &residuals);
}

void ComputeAnova(const LinearityStudy &study, AnovaResult &result, bool &slopeIsZero)
{
    computeAnova(study, result, slopeIsZero, nullptr);
}

bool HasPureError(const AnovaResult &anova) { return anova.dfPureError.sign() != 0; }

// Probabilities are compared with their limits exactly: a P on 0.05 is 0.05.
Significance RegressionSignificance(const AnovaResult &anova)
{
    if (anova.pRegression.compare(Rational(1, 100)) <= 0)
        return Significance::HighlySignificant;
    if (anova.pRegression.compare(Rational(1, 20)) <= 0)
        return Significance::Significant;
    return Significance::NoDependence;
}

Fit LinearFit(const AnovaResult &anova)
{
    if (!HasPureError(anova) || RegressionSignificance(anova) == Significance::NoDependence)
        return Fit::NotAssessed;
    return anova.pLackOfFit.compare(Rational(1, 20)) > 0 ? Fit::Adequate : Fit::Inadequate;
}

std::vector<std::string> AnovaConclusionLines(const AnovaResult &anova)
{
    std::vector<std::string> lines;
    switch (RegressionSignificance(anova)) {
    case Significance::NoDependence:
        lines.push_back("NO HAY DEPENDENCIA ENTRE LAS VARIABLES");
        break;
    case Significance::Significant:
        lines.push_back("EXISTE RELACIÓN SIGNIFICATIVA ENTRE CANTIDAD ADICIONADA Y CANTIDAD RECUPERADA");
        break;
    case Significance::HighlySignificant:
        lines.push_back("EXISTE RELACIÓN ALTAMENTE SIGNIFICATIVA ENTRE CANTIDAD ADICIONADA Y CANTIDAD RECUPERADA");
        break;
    }
    switch (LinearFit(anova)) {
    case Fit::Adequate:
        lines.push_back("EL MODELO LINEAL REPRESENTA DE MANERA CORRECTA LA RELACIÓN ENTRE CANTIDAD ADICIONADA Y "
                        "CANTIDAD RECUPERADA");
        break;
    case Fit::Inadequate:
        lines.push_back("EL MODELO LINEAL NO REPRESENTA DE MANERA CORRECTA LA RELACIÓN ENTRE CANTIDAD ADICIONADA "
                        "Y CANTIDAD RECUPERADA");
        break;
    case Fit::NotAssessed:
        break;
    }
    return lines;
}

} // namespace stats
