#include "stats/anova.h"

#include "stats/checked.h"
#include "stats/degenerate.h"
#include "stats/leastsquares.h"

#include <string>
#include <utility>

namespace stats {

using namespace checked;
using L = long double;

namespace {

// The approximation for a statistic g >= 1 with m numerator and d denominator
// degrees of freedom. Powers go through e^(exponent * ln base), as written.
double upperTail(double g, double m, double d)
{
    const double u = store(div(2.0L / 9.0L, L(m)));
    const double v = store(div(2.0L / 9.0L, L(d)));
    double z = store(div(std::fabs(power(g, 0.333L) * (1.0L - v) - 1.0L + u),
                         sqrt(power(g, 0.666L) * v + u)));
    // z of exactly 0 (g = 1 with m = d) needs no correction; its logarithm
    // would be a fault.
    if (d < 4 && z != 0.0)
        z = store(L(z) * (1.0L + div(0.08L * power(z, 4.0L), power(d, 3.0L))));
    const L poly = (((0.019527L * z + 0.000344L) * z + 0.115194L) * z + 0.196854L) * z + 1.0L;
    return store(div(0.5L, power(poly, 4.0L)));
}

} // namespace

double FTailProbability(double f, double df1, double df2)
{
    if (f <= 0.0)
        return 1.0;
    if (f < 1.0)
        return store(1.0L - upperTail(store(div(1.0L, L(f))), df2, df1));
    return upperTail(f, df1, df2);
}

void ComputeAnovaResiduals(const LinearityStudy &study, AnovaResult &r, bool &slopeIsZero,
                           std::vector<ResidualRow> &residuals)
{
    slopeIsZero = false;
    const int n = study.n();
    int dPureError = 0;
    for (int rj : study.replicates)
        dPureError += rj - 1;

    const LineSums sums = SumsOf(study);
    const double sx = sums.x, sy = sums.y, sy2 = sums.y2, sxy = sums.xy;
    const FittedLine line = FitLine(study, sums);
    const double b = line.slope, a = line.intercept;
    const double meanX = store(div(L(sx), L(n)));
    const double reciprocalN = store(div(1.0L, L(n)));
    if (b == 0.0) {
        slopeIsZero = true;
        return;
    }

    // Level totals, by the membership rule: r1 rows of level 1, then r2 ...;
    // each observation keeps the mean of its level.
    double sLevels = 0;
    std::vector<double> levelMean(study.observations.size());
    size_t i = 0;
    for (int rj : study.replicates) {
        const size_t first = i;
        double total = 0;
        for (int c = 0; c < rj && i < study.observations.size(); ++c, ++i)
            total = store(L(total) + L(study.observations[i].y));
        sLevels = store(L(sLevels) + div(L(total) * total, L(rj)));
        const double mean = store(div(L(total), L(rj)));
        for (size_t j = first; j < i; ++j)
            levelMean[j] = mean;
    }

    std::vector<ResidualRow> rows(study.observations.size());
    std::vector<double> d(rows.size());
    double sd = 0;
    for (size_t j = 0; j < rows.size(); ++j) {
        const Observation &o = study.observations[j];
        rows[j].observation = static_cast<int>(j + 1);
        rows[j].predictedY = store(L(b) * o.x + L(a));
        rows[j].residual = store(L(o.y) - rows[j].predictedY);
        d[j] = store((L(o.x) - meanX) * (L(o.x) - meanX));
        sd = store(L(sd) + d[j]);
    }
    if (sd == 0.0)
        throw FloatingPointError(kDivisionByZero);

    r.dfPureError = dPureError;
    r.dfError = n - 2;
    r.ssError = store(L(sy2) - L(b) * sxy - L(a) * sy);
    r.msError = store(div(L(r.ssError), L(r.dfError)));
    degenerate::RequireResidualVariation(r.ssError);

    for (size_t j = 0; j < rows.size(); ++j) {
        const double h = store(L(d[j]) / L(sd)); // the share of observation j in the spread of x
        const L spread = (1.0L - (L(reciprocalN) + h)) * r.msError;
        if (spread <= 0.0L) // leverage 1: the line passes through this point whatever it is
            throw FloatingPointError("La observación " + std::to_string(j + 1) +
                                     " determina por sí sola la recta (apalancamiento 1): "
                                     "no se puede calcular su residuo estudentizado.");
        const double s = store(sqrt(spread));
        rows[j].studentized = store(div(L(rows[j].residual), L(s)));
    }
    residuals = std::move(rows);

    r.ssRegression = store(L(b) * sxy + L(a) * sy - div(L(sy) * sy, L(n)));
    r.msRegression = store(div(L(r.ssRegression), 1.0L));
    r.fRegression = store(div(L(r.msRegression), L(r.msError)));
    r.pRegression = FTailProbability(r.fRegression, 1.0, r.dfError);

    if (r.dfPureError != 0.0) {
        r.ssPureError = store(L(sy2) - sLevels);
        r.msPureError = store(div(L(r.ssPureError), L(r.dfPureError)));
        r.dfLackOfFit = store(L(r.dfError) - r.dfPureError);
        // The lack of fit is the spread of the level means about the line,
        // summed directly. Taken as the error sum less the pure error sum,
        // two nearly equal amounts, a lack of fit a millionth of the error
        // would lose six of its digits.
        double ssLackOfFit = 0;
        for (size_t j = 0; j < residuals.size(); ++j) {
            const L off = L(levelMean[j]) - L(residuals[j].predictedY);
            ssLackOfFit = store(L(ssLackOfFit) + off * off);
        }
        r.ssLackOfFit = ssLackOfFit;
        r.msLackOfFit = store(div(L(r.ssLackOfFit), L(r.dfLackOfFit)));
        if (r.msPureError == 0.0 || degenerate::IdenticalReplicates(study))
            throw FloatingPointError("Las réplicas de cada nivel son idénticas (el error puro es cero): "
                                     "no se puede evaluar la falta de ajuste.");
        r.fLackOfFit = store(div(L(r.msLackOfFit), L(r.msPureError)));
        r.pLackOfFit = FTailProbability(r.fLackOfFit, r.dfLackOfFit, r.dfPureError);
    }
}

Significance RegressionSignificance(const AnovaResult &anova)
{
    if (anova.pRegression <= 0.01)
        return Significance::HighlySignificant;
    if (anova.pRegression <= 0.05)
        return Significance::Significant;
    return Significance::NoDependence;
}

Fit LinearFit(const AnovaResult &anova)
{
    if (anova.dfPureError == 0.0 || RegressionSignificance(anova) == Significance::NoDependence)
        return Fit::NotAssessed;
    return anova.pLackOfFit > 0.05 ? Fit::Adequate : Fit::Inadequate;
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
