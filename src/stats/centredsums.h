#pragma once
// The means and centred sums of a study in long double, the means corrected
// by a second pass: the stable reference the shown figures are checked
// against, and the sums of the acceptance criteria.
#include "stats/study.h"

namespace stats {

struct CentredSums {
    long double n = 0, meanX = 0, meanY = 0, sxx = 0, sxy = 0, syy = 0;
    long double maxX = 0, maxY = 0; // the largest |x| and |y|: the scale of the rounding noise
};

CentredSums CentreStudy(const LinearityStudy &study);

} // namespace stats
