#include "stats/centredsums.h"

#include <algorithm>
#include <cmath>

namespace stats {

CentredSums CentreStudy(const LinearityStudy &study)
{
    using L = long double;
    CentredSums c;
    c.n = study.n();
    for (const Observation &o : study.observations) {
        c.meanX += o.x;
        c.meanY += o.y;
        c.maxX = std::max(c.maxX, std::fabs(L(o.x)));
        c.maxY = std::max(c.maxY, std::fabs(L(o.y)));
    }
    c.meanX /= c.n;
    c.meanY /= c.n;
    // A second pass corrects the means for the rounding of the first.
    L cx = 0, cy = 0;
    for (const Observation &o : study.observations) {
        cx += o.x - c.meanX;
        cy += o.y - c.meanY;
    }
    c.meanX += cx / c.n;
    c.meanY += cy / c.n;
    for (const Observation &o : study.observations) {
        const L dx = o.x - c.meanX, dy = o.y - c.meanY;
        c.sxx += dx * dx;
        c.sxy += dx * dy;
        c.syy += dy * dy;
    }
    return c;
}

} // namespace stats
