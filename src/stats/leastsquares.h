#pragma once
// The running sums of a study and the least-squares line through them, as
// both the regression and the analysis of variance compute them.
#include "stats/study.h"

namespace stats {

struct LineSums {
    double x = 0, x2 = 0, y = 0, y2 = 0, xy = 0;
};

// Each sum rounded to double after each addition, in observation order.
LineSums SumsOf(const LinearityStudy &study);

struct FittedLine {
    double slope = 0;     // b = (n Sxy - Sx Sy) / (n Sx2 - Sx^2); exactly 0 for a constant y
    double intercept = 0; // a = (Sy - b Sx) / n
};

// Throws FloatingPointError when every amount added is the same.
FittedLine FitLine(const LinearityStudy &study, const LineSums &sums);

} // namespace stats
