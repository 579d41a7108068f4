#pragma once
// Unknown samples read off the validated line: the amount of each with its
// confidence interval (ISO 8466-1), the interval by inversion of the line
// (Fieller), and whether the amount lies within the levels studied and
// above the quantification limit.
#include "stats/detection.h"
#include "stats/samplesfile.h"

#include <span>
#include <string>
#include <vector>

namespace stats {

// A sample typed that could not be read, and why: the printed page lists it
// in its place among the samples that were.
struct UnreadSample {
    size_t before = 0; // how many samples that were read come before it
    std::string name;
    std::string reason;
};

struct SampleResult {
    std::string name;
    std::vector<Rational> responses; // as typed
    int m = 0;
    Real meanResponse;     // ȳ₀
    Real x;                // (ȳ₀ − a) / b
    Real se;               // s_x̂
    Real lower, upper;     // x ∓ t·se
    Figure fiellerLower, fiellerUpper; // empty: the inversion interval is unbounded
    bool inRange = false;             // from the lowest to the highest level amount
    bool belowQuantification = false; // x < the one-step quantification limit
};

struct SamplesResult {
    Rational confidence;
    Real t;                 // t((1 + C)/2; n − 2)
    Real g;                 // t² s² / (b² Sxx): the inversion interval is bounded below 1
    Real lowestLevel, highestLevel;
    std::vector<SampleResult> samples;
};

inline Rational DefaultConfidence() { return Rational(19, 20); } // 0.95

// Each sample evaluated on the study's line at confidence `confidence`
// (0.5 < C < 1). Throws FloatingPointError for a slope of zero or all x
// equal, ConversionError for a confidence out of range or a sample with no
// response or too many.
SamplesResult EvaluateSamples(const LinearityStudy &study, const DetectionResult &detection,
                              std::span<const Sample> samples, const Rational &confidence);

// A confidence as typed, with a point or a comma: a number above 0.5 and
// below 1, or ConversionError with kConfidenceOutOfRange.
Rational ParseConfidence(const std::string &text);
inline constexpr const char *kConfidenceOutOfRange = "La confianza debe ser un número mayor que 0.5 y menor que 1.";
// The same with the user's separator, as a window says it.
std::string ConfidenceOutOfRange(char decimalSeparator);

} // namespace stats
