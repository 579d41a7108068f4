#pragma once
// The parabola beside the straight line, fitted on the centred amounts
// u = x − x̄ in the basis 1, u, q = u² − α·u − β, whose columns are
// orthogonal: each coefficient is a ratio of sums, and the curvature's share
// of the line's residual sum of squares is (Σ y·q)² / Σ q². Mandel's test
// weighs that share against what the parabola leaves. Every figure exact.
#include "stats/study.h"

#include <optional>

namespace stats {

struct ExactLine;

struct OrthogonalParabola {
    Rational alpha, beta;  // q = u² − α·u − β
    Rational suu, sqq;     // Σ u², Σ q²
    Rational a0, a1, a2;   // y = a0 + a1·u + a2·q
    Rational sse;          // what the parabola leaves: SSE of the line − (Σ y·q)² / Σ q²
    int dfError = 0;       // n − 3: three coefficients
};

// The parabola of a study with at least three distinct amounts and four
// observations; empty for any other.
std::optional<OrthogonalParabola> FitParabola(const LinearityStudy &study);

struct MandelTest {
    Real f, p; // F = (SSE₁ − SSE₂) / (SSE₂ / (n − 3)), P(F(1, n − 3) ≥ F)
};

// Mandel's test of the curvature; empty when the parabola passes through
// every point (nothing is left to test it against).
std::optional<MandelTest> Mandel(const ExactLine &line, const OrthogonalParabola &parabola);

} // namespace stats
