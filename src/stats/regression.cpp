#include "stats/regression.h"

#include "stats/degenerate.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"
#include "stats/studentttable.h"

namespace stats {

void ComputeRegression(const LinearityStudy &study, RegressionResult &r, bool &slopeIsZero)
{
    slopeIsZero = false;
    const ExactLine &line = FitLine(study);
    const Rational &b = line.slope, &a = line.intercept;
    r.slope = b;
    r.intercept = a;
    if (line.zeroSlope()) {
        slopeIsZero = true;
        return;
    }

    const int df = study.n() - 2;
    const Rational mse = line.sse / df;
    degenerate::RequireResidualVariation(line.sse);
    const Rational t = DecimalOf(StudentTTable::value(df)); // the tabulated decimal

    // s_b² = MSE / Sxx; the limits b ± t·s_b; the slope's t against 1.
    const Rational slopeVariance = mse / line.sxx;
    r.slopeUpperLimit = Real::Surd(b, t, slopeVariance);
    r.slopeLowerLimit = Real::Surd(b, -t, slopeVariance);
    r.slopeT = Real::Surd(0, b - 1, 1 / slopeVariance);

    // s_a² = MSE·(x̄²/Sxx + 1/n); the intercept's t against 0.
    const Rational interceptVariance = mse * (line.meanX * line.meanX / line.sxx + 1 / line.n);
    r.interceptUpperLimit = Real::Surd(a, t, interceptVariance);
    r.interceptLowerLimit = Real::Surd(a, -t, interceptVariance);
    r.interceptT = Real::Surd(0, a, 1 / interceptVariance);

    r.sdRegression = Real::Sqrt(mse);
    if (sgn(line.sumY) == 0)
        throw FloatingPointError("La suma de las cantidades recuperadas es cero: "
                                 "no se puede calcular el coeficiente de variación.");
    r.coefficientOfVariation = Real::Surd(0, 100 * line.n / line.sumY, mse);
    r.criticalT = t;
    r.rSquared = Rational(b * line.sxy / line.syy);
}

} // namespace stats
