#pragma once
// The observations of a study level by level, with each level's amount, mean
// and sample variance, exactly.
#include "stats/study.h"

#include <vector>

namespace stats {

struct LevelSpread {
    int level = 0;             // 1..k
    Rational x;                // the level amount: the mean x of its observations
    Rational mean, variance;   // of its y; the variance (n − 1 denominator) only with 2 replicates or more
    std::vector<int> rows;     // its observations, 0-based, in grid order
    int replicates() const { return static_cast<int>(rows.size()); }
};

std::vector<LevelSpread> LevelSpreads(const LinearityStudy &study);

} // namespace stats
