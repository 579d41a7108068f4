#pragma once
// A study's levels as every evaluation sees them: the observations each
// level holds (by the level the replicate counts give them, not by their
// amount: two levels may share an amount, and the amounts of one level may
// differ), its amount, and the mean and variance of its responses, exact.
#include "stats/study.h"

#include <vector>

namespace stats {

struct Level {
    int level = 0;           // 1..k
    std::vector<int> rows;   // its observations, 0-based, in grid order
    Rational x;              // the level amount: the mean x of its observations
    Rational mean, variance; // of its y; the variance (n − 1 denominator) only with 2 replicates or more
    // Over the study's whole responses Y = y·dy (StudyLevels::dy): ΣY, and
    // r·ΣY² − (ΣY)², so that the variance is squares / (r·(r − 1)·dy²).
    mpz_class sumY, squares;
    int replicates() const { return static_cast<int>(rows.size()); }
};

struct StudyLevels {
    mpz_class dy;              // the responses' common denominator (WholeResponses)
    std::vector<Level> levels; // the levels that hold observations, in level order
    Rational lowestX, highestX; // the amounts of the lowest and the highest level
    // The pure error: Σ (r − 1)·s² over the levels, and its degrees of freedom Σ (r − 1).
    Rational pureErrorSquares;
    int pureErrorDf = 0;
    int count() const { return static_cast<int>(levels.size()); }
};

StudyLevels Levels(const LinearityStudy &study);
// The same from the study's whole numbers x = X/dx, y = Y/dy (wholestudy.h).
StudyLevels Levels(const LinearityStudy &study, const std::vector<mpz_class> &x, const mpz_class &dx,
                   const std::vector<mpz_class> &y, const mpz_class &dy);

} // namespace stats
