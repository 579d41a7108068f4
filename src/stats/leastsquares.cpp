#include "stats/leastsquares.h"

#include "stats/degenerate.h"
#include "stats/wholestudy.h"

#include <vector>

namespace stats {

namespace {

ExactLine fit(const LinearityStudy &study)
{
    ExactLine line;
    // The amounts over one common denominator each: whole numbers X with x = X / Dx.
    struct Scaled {
        std::vector<mpz_class> whole;
        mpz_class denominator;
    } x, y;
    x.whole = WholeAmounts(study, x.denominator);
    y.whole = WholeResponses(study, y.denominator);
    // n·Sxx·Dx² = nΣX² − (ΣX)², and likewise: integers throughout.
    mpz_class sumX, sumY, sumX2, sumY2, sumXY;
    for (size_t i = 0; i < x.whole.size(); ++i) {
        sumX += x.whole[i];
        sumY += y.whole[i];
        mpz_addmul(sumX2.get_mpz_t(), x.whole[i].get_mpz_t(), x.whole[i].get_mpz_t());
        mpz_addmul(sumY2.get_mpz_t(), y.whole[i].get_mpz_t(), y.whole[i].get_mpz_t());
        mpz_addmul(sumXY.get_mpz_t(), x.whole[i].get_mpz_t(), y.whole[i].get_mpz_t());
    }
    const mpz_class n = study.n();
    line.n = n;
    line.sumX = Rational(sumX, x.denominator);
    line.sumY = Rational(sumY, y.denominator);
    line.sumX.canonicalize();
    line.sumY.canonicalize();
    auto centred = [&n](const mpz_class &products, const mpz_class &a, const mpz_class &b, const mpz_class &scale) {
        Rational r(n * products - a * b, n * scale);
        r.canonicalize();
        return r;
    };
    line.sxx = centred(sumX2, sumX, sumX, x.denominator * x.denominator);
    degenerate::RequireDistinctX(line.sxx);
    line.sxy = centred(sumXY, sumX, sumY, x.denominator * y.denominator);
    line.syy = centred(sumY2, sumY, sumY, y.denominator * y.denominator);
    line.meanX = line.sumX / line.n;
    line.meanY = line.sumY / line.n;
    line.slope = line.sxy / line.sxx;
    line.intercept = line.meanY - line.slope * line.meanX;
    line.sse = line.syy - line.slope * line.sxy;
    return line;
}

} // namespace

const ExactLine &FitLine(const LinearityStudy &study)
{
    if (!study.fittedLine)
        study.fittedLine = std::make_shared<const ExactLine>(fit(study));
    return *study.fittedLine;
}

} // namespace stats
