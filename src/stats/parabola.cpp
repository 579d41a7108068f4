#include "stats/parabola.h"

#include "stats/leastsquares.h"

namespace stats {

namespace {

// Whether the amounts take at least three distinct values, without sorting
// or counting them all.
bool threeDistinct(const LinearityStudy &study)
{
    const std::vector<Observation> &o = study.observations;
    size_t second = 1;
    while (second < o.size() && o[second].exactX == o[0].exactX)
        ++second;
    for (size_t i = second + 1; i < o.size(); ++i)
        if (o[i].exactX != o[0].exactX && o[i].exactX != o[second].exactX)
            return true;
    return false;
}

} // namespace

std::optional<OrthogonalParabola> FitParabola(const LinearityStudy &study)
{
    OrthogonalParabola f;
    f.dfError = study.n() - 3;
    if (f.dfError < 1 || !threeDistinct(study))
        return std::nullopt;
    const ExactLine &line = FitLine(study);
    Rational su3;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX, u2 = u * u;
        f.suu += u2;
        su3 += u2 * u;
    }
    f.alpha = su3 / f.suu;
    f.beta = f.suu / line.n;
    Rational syq;
    for (const Observation &o : study.observations) {
        const Rational u = o.exactX - line.meanX;
        const Rational q = u * u - f.alpha * u - f.beta;
        f.sqq += q * q;
        syq += (o.exactY - line.meanY) * q;
    }
    f.a0 = line.meanY;
    f.a1 = line.slope;
    f.sse = line.sse;
    if (sgn(f.sqq) != 0) {
        f.a2 = syq / f.sqq;
        f.sse -= syq * f.a2;
    }
    return f;
}

std::optional<MandelTest> Mandel(const ExactLine &line, const OrthogonalParabola &parabola)
{
    if (sgn(parabola.sse) <= 0)
        return std::nullopt;
    const Rational f = (line.sse - parabola.sse) / (parabola.sse / parabola.dfError);
    return MandelTest{Real(f), Real::FUpperTail(f, 1, parabola.dfError)};
}

} // namespace stats
