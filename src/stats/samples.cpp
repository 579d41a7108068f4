#include "stats/samples.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"
#include "stats/levels.h"
#include "stats/numberformat.h"
#include "stats/precisefigures.h"

#include <algorithm>

namespace stats {

namespace {

bool confidenceInRange(const Rational &c) { return c > Rational(1, 2) && c < 1; }

// What every sample of a study shares.
struct Shared {
    const ExactLine &line;
    Rational sx0Squared; // s² / b²
    Rational lineTerm;   // 1/n
    Rational b2sxx;      // b² Sxx
    Fifty t, ts, g, sxx, meanX;
    Fifty rest, widthFactor; // 1 − g, (t s/|b|)/(1 − g)
};

SampleResult evaluated(const Sample &sample, const Shared &c, const DetectionResult &detection,
                       const Rational &lowest, const Rational &highest)
{
    SampleResult r;
    r.name = sample.name;
    r.m = static_cast<int>(sample.responses.size());
    if (r.m < 1 || r.m > kMaxSampleResponses)
        throw ConversionError("La muestra '" + QuotedValue(sample.name) + "' debe tener de 1 a 20 respuestas.");
    Rational sum;
    for (const Rational &y : sample.responses)
        sum += y;
    r.responses = sample.responses;
    const Rational mean = sum / r.m;
    r.meanResponse = Real(mean);
    const Rational x = (mean - c.line.intercept) / c.line.slope;
    r.x = Real(x);
    const Rational off = mean - c.line.meanY;
    const Rational spread = Rational(1, r.m) + c.lineTerm; // 1/m + 1/n
    const Rational variance = c.sx0Squared * (spread + off * off / c.b2sxx);
    r.se = Real::Sqrt(variance);

    const Fifty fx = FiftyOf(x);
    const Fifty half = sqrt(FiftyOf(variance)) * c.t; // t·se
    r.lower = ApproximationOf(fx - half);
    r.upper = ApproximationOf(fx + half);
    // The x where |ȳ₀ − a − b x| = t s √(1/m + 1/n + (x − x̄)²/Sxx):
    // x̄ + u/(1 − g) ∓ (t s/|b|)/(1 − g) · √((1 − g)(1/m + 1/n) + u²/Sxx), u = x̂ − x̄.
    if (c.g < 1) {
        const Fifty u = fx - c.meanX;
        const Fifty width = sqrt(FiftyOf(spread) * c.rest + u * u / c.sxx) * c.widthFactor;
        const Fifty centre = u / c.rest + c.meanX;
        r.fiellerLower = ApproximationOf(centre - width);
        r.fiellerUpper = ApproximationOf(centre + width);
    }
    r.inRange = x >= lowest && x <= highest;
    r.belowQuantification = detection.quantificationLimit.compare(x) > 0;
    return r;
}

} // namespace

SamplesResult EvaluateSamples(const LinearityStudy &study, const DetectionResult &detection,
                              std::span<const Sample> samples, const Rational &confidence)
{
    if (!confidenceInRange(confidence))
        throw ConversionError(kConfidenceOutOfRange);
    const ExactLine &line = FitLine(study);
    if (line.zeroSlope())
        throw FloatingPointError(kDivisionByZero);
    const int f = study.n() - 2;
    const Rational b2 = line.slope * line.slope;
    Shared c{line, ProcedureVariance(line), 1 / line.n, b2 * line.sxx, {}, {}, {}, {}, {}, {}, {}};
    c.t = StudentTQuantile((1 + confidence) / 2, f);
    c.ts = c.t * sqrt(FiftyOf(c.sx0Squared)); // t s / |b|
    c.g = c.ts * c.ts / FiftyOf(line.sxx);
    c.sxx = FiftyOf(line.sxx);
    c.meanX = FiftyOf(line.meanX);
    c.rest = 1 - c.g;
    c.widthFactor = c.ts / c.rest;

    SamplesResult r;
    r.confidence = confidence;
    r.t = ApproximationOf(c.t);
    r.g = ApproximationOf(c.g);
    const StudyLevels levels = Levels(study);
    r.lowestLevel = Real(levels.lowestX);
    r.highestLevel = Real(levels.highestX);
    r.samples.reserve(samples.size());
    for (const Sample &sample : samples)
        r.samples.push_back(evaluated(sample, c, detection, levels.lowestX, levels.highestX));
    return r;
}

Rational ParseConfidence(const std::string &text)
{
    Rational c;
    if (!TryStrToRational(text, '.', c) && !TryStrToRational(text, ',', c))
        throw ConversionError("'" + QuotedValue(text) + "' is not a valid floating point value");
    if (!confidenceInRange(c))
        throw ConversionError(kConfidenceOutOfRange);
    return c;
}

std::string ConfidenceOutOfRange(char decimalSeparator)
{
    return LocalDecimal(kConfidenceOutOfRange, decimalSeparator);
}

} // namespace stats
