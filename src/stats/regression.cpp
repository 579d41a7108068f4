#include "stats/regression.h"

#include "stats/checked.h"
#include "stats/degenerate.h"
#include "stats/leastsquares.h"
#include "stats/studentttable.h"

namespace stats {

using namespace checked;
using L = long double;

void ComputeRegression(const LinearityStudy &study, RegressionResult &r, bool &slopeIsZero)
{
    slopeIsZero = false;
    const int n = study.n();
    const LineSums sums = SumsOf(study);
    const double sx = sums.x, sx2 = sums.x2, sy = sums.y, sy2 = sums.y2, sxy = sums.xy;
    const FittedLine line = FitLine(study, sums);
    const double b = line.slope, a = line.intercept;
    r.slope = b;
    r.intercept = a;
    if (b == 0.0) {
        slopeIsZero = true;
        return;
    }

    const double sse = store(L(sy2) - L(b) * sxy - L(a) * sy);
    const double sst = store(L(sy2) - div(L(sy) * sy, L(n)));
    const double ssr = store(L(b) * sxy + L(a) * sy - div(L(sy) * sy, L(n)));
    const int df = n - 2;
    const double mse = store(div(L(sse), L(df)));
    degenerate::RequireResidualVariation(sse);
    const double syx = store(sqrt(L(mse)));
    const double sxx = store(L(sx2) - div(L(sx) * sx, L(n)));
    const double sb = store(div(L(syx), sqrt(L(sxx))));
    const double t = StudentTTable::value(df);

    r.slopeUpperLimit = store(L(b) + L(t) * sb);
    r.slopeLowerLimit = store(L(b) - L(t) * sb);
    r.slopeT = store(div(L(b) - 1.0L, L(sb)));

    const double q = store(div(div(div(L(sx) * sx, L(n)), L(n)), L(sxx)) + div(1.0L, L(n)));
    const double sa = store(sqrt(L(q)) * syx);
    r.interceptUpperLimit = store(L(a) + L(t) * sa);
    r.interceptLowerLimit = store(L(a) - L(t) * sa);
    r.interceptT = store(div(L(a), L(sa)));

    r.sdRegression = store(sqrt(L(mse)));
    if (sy == 0.0)
        throw FloatingPointError("La suma de las cantidades recuperadas es cero: "
                                 "no se puede calcular el coeficiente de variación.");
    r.coefficientOfVariation = store(div(L(syx) * 100.0L * L(n), L(sy)));
    r.criticalT = t;
    r.rSquared = store(div(L(ssr), L(sst)));
}

} // namespace stats
