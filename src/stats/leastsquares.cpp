#include "stats/leastsquares.h"

#include "stats/checked.h"
#include "stats/degenerate.h"

namespace stats {

using namespace checked;
using L = long double;

LineSums SumsOf(const LinearityStudy &study)
{
    LineSums s;
    for (const Observation &o : study.observations) {
        s.x = store(L(s.x) + L(o.x));
        s.x2 = store(L(s.x2) + L(o.x) * L(o.x));
        s.y = store(L(s.y) + L(o.y));
        s.y2 = store(L(s.y2) + L(o.y) * L(o.y));
        s.xy = store(L(s.xy) + L(o.x) * L(o.y));
    }
    return s;
}

FittedLine FitLine(const LinearityStudy &study, const LineSums &s)
{
    degenerate::RequireDistinctX(study);
    const L n = study.n();
    FittedLine line;
    line.slope = store(div(n * s.xy - L(s.x) * s.y, n * s.x2 - L(s.x) * s.x));
    if (degenerate::AllYEqual(study))
        line.slope = 0.0; // any other value is rounding: a constant y has no slope
    line.intercept = store(div(L(s.y) - L(line.slope) * s.x, n));
    return line;
}

} // namespace stats
