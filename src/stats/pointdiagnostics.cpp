// How much each observation weighs on the straight line, and which replicate
// of a level lies suspiciously far from the others.
#include "stats/leastsquares.h"
#include "stats/levelspread.h"
#include "stats/precisefigures.h"
#include "stats/weighting.h"

namespace stats {

std::vector<PointDiagnostic> PointDiagnostics(const LinearityStudy &study)
{
    const ExactLine &line = FitLine(study);
    const int n = study.n();
    const Rational mse = line.sse / (n - 2);
    const Rational influence = RationalOf(FUpperQuantile(Rational(1, 2), 2, n - 2)); // the median of F(2, n − 2)
    std::vector<PointDiagnostic> rows;
    rows.reserve(study.observations.size());
    for (int i = 0; i < n; ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        PointDiagnostic &d = rows.emplace_back();
        d.observation = i + 1;
        d.level = o.level;
        const Rational centred = o.exactX - line.meanX;
        const Rational h = 1 / line.n + centred * centred / line.sxx;
        if (h >= 1)
            continue; // the line passes through this point whatever it is
        const Rational residual = o.exactY - line.intercept - line.slope * o.exactX;
        const Rational spread = mse * (1 - h);
        const Rational r2 = residual * residual / spread; // the squared studentized residual
        d.leverage = Real(h);
        d.studentized = Real::Surd(0, residual, 1 / spread);
        if (n - 2 > r2)
            d.deletedStudentized = Real::Surd(0, sgn(residual), r2 * (n - 3) / (n - 2 - r2));
        const Rational cook = r2 * h / (2 * (1 - h));
        d.cooksDistance = Real(cook);
        d.influential = cook > influence;
    }
    return rows;
}

std::vector<GrubbsTest> GrubbsTests(const LinearityStudy &study)
{
    std::vector<GrubbsTest> tests;
    for (const LevelSpread &l : LevelSpreads(study)) {
        const int r = l.replicates();
        if (r < 3)
            continue;
        GrubbsTest &t = tests.emplace_back();
        t.level = l.level;
        Rational farthest = -1;
        for (int i : l.rows) {
            const Rational off = abs(study.observations[static_cast<size_t>(i)].exactY - l.mean);
            if (off > farthest) {
                farthest = off;
                t.observation = i + 1;
            }
        }
        // ((N − 1)/√N)·√(t²/(N − 2 + t²)), t the upper α/(2N) quantile of t(N − 2).
        const Fifty q = TUpperQuantile(Rational(1, 40 * r), r - 2);
        const Fifty critical = (r - 1) / sqrt(Fifty(r)) * sqrt(q * q / (r - 2 + q * q));
        t.critical = RealOf(critical);
        if (sgn(l.variance) == 0)
            continue;
        t.g = Real::Surd(0, farthest, 1 / l.variance);
        t.outlier = t.g->compare(RationalOf(critical)) > 0;
    }
    return tests;
}

} // namespace stats
