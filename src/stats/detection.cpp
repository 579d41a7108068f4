#include "stats/detection.h"

#include "stats/errors.h"
#include "stats/leastsquares.h"
#include "stats/precisefigures.h"

namespace stats {

namespace {

Real approximation(const Fifty &v) { return ApproximationOf(v); }

// x = K √(A + (x − x̄)²/Sxx) squared is c2 x² + c1 x + c0 = 0 with
// c2 = 1 − K²/Sxx, c1 = 2 K² x̄/Sxx, c0 = −K² (A + x̄²/Sxx) < 0. Its root
// −2 c0 / (c1 + √(c1² − 4 c2 c0)) is the unique positive one when c2 > 0
// and the smaller (the one iteration from below reaches) otherwise; its
// form keeps its digits where c2 is small.
Figure positiveFixedPoint(const Fifty &K, const Fifty &A, const Fifty &meanX, const Fifty &sxx)
{
    const Fifty K2 = K * K;
    const Fifty c2 = 1 - K2 / sxx, c1 = 2 * K2 * meanX / sxx, c0 = -K2 * (A + meanX * meanX / sxx);
    const Fifty discriminant = c1 * c1 - 4 * c2 * c0;
    if (discriminant < 0)
        return std::nullopt;
    const Fifty denominator = c1 + sqrt(discriminant);
    if (denominator <= 0)
        return std::nullopt;
    return approximation(-2 * c0 / denominator);
}

} // namespace

Rational ProcedureVariance(const ExactLine &line) { return line.sse / (line.n - 2) / (line.slope * line.slope); }

IchLimits IchLimitsOf(const Rational &sx0Squared)
{
    return {Real::Surd(0, Rational(33, 10), sx0Squared), Real::Surd(0, 10, sx0Squared)};
}

DetectionResult ComputeDetection(const LinearityStudy &study, const DetectionTerms &terms)
{
    const ExactLine &line = FitLine(study);
    if (line.zeroSlope())
        throw FloatingPointError(kDivisionByZero);
    DetectionResult r;
    r.terms = terms;
    const int f = r.degreesOfFreedom = study.n() - 2;
    const Rational sx0Squared = ProcedureVariance(line);
    r.sx0 = Real::Sqrt(sx0Squared);
    if (sgn(line.meanX) != 0)
        r.vx0 = Real::Surd(0, 100 / abs(line.meanX), sx0Squared);
    const IchLimits ich = IchLimitsOf(sx0Squared);
    r.ichLod = ich.lod;
    r.ichLoq = ich.loq;

    const Fifty &t1 = StudentTQuantile(1 - terms.alpha, f);
    const Fifty &t2 = StudentTQuantile(1 - terms.alpha / 2, f);
    r.tOneSided = approximation(t1);
    r.tTwoSided = approximation(t2);
    const Rational a = Rational(1, terms.m) + 1 / line.n;
    const Fifty sx0 = sqrt(FiftyOf(sx0Squared)), meanX = FiftyOf(line.meanX), sxx = FiftyOf(line.sxx),
                A = FiftyOf(a);
    const Fifty ng = sx0 * t1 * sqrt(FiftyOf(a + line.meanX * line.meanX / line.sxx));
    r.criticalValue = approximation(ng);
    r.detectionLimit = approximation(2 * ng);
    const Fifty K = terms.k * sx0 * t2;
    const Fifty inside = terms.k * ng - meanX;
    r.quantificationLimit = approximation(K * sqrt(A + inside * inside / sxx));
    r.quantificationLimitIterated = positiveFixedPoint(K, A, meanX, sxx);
    return r;
}

} // namespace stats
