#include "stats/leastsquares.h"

#include "stats/degenerate.h"

namespace stats {

ExactLine FitLine(const LinearityStudy &study)
{
    ExactLine line;
    Rational sumX2, sumY2, sumXY;
    for (const Observation &o : study.observations) {
        line.sumX += o.exactX;
        line.sumY += o.exactY;
        sumX2 += o.exactX * o.exactX;
        sumY2 += o.exactY * o.exactY;
        sumXY += o.exactX * o.exactY;
    }
    line.n = study.n();
    line.sxx = sumX2 - line.sumX * line.sumX / line.n;
    degenerate::RequireDistinctX(line.sxx);
    line.sxy = sumXY - line.sumX * line.sumY / line.n;
    line.syy = sumY2 - line.sumY * line.sumY / line.n;
    line.meanX = line.sumX / line.n;
    line.meanY = line.sumY / line.n;
    line.slope = line.sxy / line.sxx;
    line.intercept = line.meanY - line.slope * line.meanX;
    line.sse = line.syy - line.slope * line.sxy;
    return line;
}

} // namespace stats
