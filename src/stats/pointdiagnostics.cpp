// How much each observation weighs on the straight line, and which replicate
// of a level lies suspiciously far from the others.
#include "stats/precisefigures.h"
#include "stats/weighting.h"
#include "stats/wholestudy.h"

namespace stats {

// On the whole numbers, with c = nX − ΣX, S = nΣX² − (ΣX)², T = nΣXY − ΣXΣY:
// the residual is E/(nS·dy) with E = S(nY − ΣY) − T·c, the leverage is
// (S + c²)/(nS), and with U = ΣE² the squared studentized residual is
// A/B = E²(n − 2)·nS / (U·(nS − S − c²)). Every figure is one quotient.
std::vector<PointDiagnostic> PointDiagnostics(const WholeStudy &whole)
{
    const long n = whole.n();
    mpz_class sumX, sumY, sumX2, sumXY;
    for (size_t i = 0; i < whole.x.size(); ++i) {
        sumX += whole.x[i];
        sumY += whole.y[i];
        mpz_addmul(sumX2.get_mpz_t(), whole.x[i].get_mpz_t(), whole.x[i].get_mpz_t());
        mpz_addmul(sumXY.get_mpz_t(), whole.x[i].get_mpz_t(), whole.y[i].get_mpz_t());
    }
    const mpz_class s = n * sumX2 - sumX * sumX, t = n * sumXY - sumX * sumY, ns = n * s;
    std::vector<mpz_class> c(whole.x.size()), e(whole.x.size());
    mpz_class u;
    for (size_t i = 0; i < whole.x.size(); ++i) {
        c[i] = n * whole.x[i] - sumX;
        e[i] = s * (n * whole.y[i] - sumY) - t * c[i];
        mpz_addmul(u.get_mpz_t(), e[i].get_mpz_t(), e[i].get_mpz_t());
    }
    const Rational influence = RationalOf(FUpperQuantile(Rational(1, 2), 2, static_cast<int>(n) - 2)); // the median of F(2, n − 2)
    std::vector<PointDiagnostic> rows(whole.x.size());
    mpz_class spread, leverage, a, b;
    for (size_t i = 0; i < rows.size(); ++i) {
        PointDiagnostic &d = rows[i];
        d.observation = static_cast<int>(i + 1);
        d.level = whole.study.observations[i].level;
        leverage = s + c[i] * c[i];
        spread = ns - leverage; // nS·(1 − h)
        if (sgn(spread) <= 0)
            continue; // a leverage of 1: the line passes through this point whatever it is
        a = e[i] * e[i] * (n - 2) * ns;
        b = u * spread;
        const Rational r2 = Quotient(a, b);
        d.leverage = Real(Quotient(leverage, ns));
        d.studentized = Real::Surd(0, sgn(e[i]), r2);
        if (cmp((n - 2) * b, a) > 0)
            d.deletedStudentized = Real::Surd(0, sgn(e[i]), Quotient(a * (n - 3), (n - 2) * b - a));
        // r²·h / (2(1 − h)) = A·(S + c²) / (2B·(nS − S − c²))
        const Rational cook = Quotient(a * leverage, 2 * b * spread);
        d.influential = cook > influence;
        d.cooksDistance = Real(cook);
    }
    return rows;
}

std::vector<PointDiagnostic> PointDiagnostics(const LinearityStudy &study) { return PointDiagnostics(WholeStudy(study)); }

std::vector<GrubbsTest> GrubbsTests(const WholeStudy &whole)
{
    std::vector<GrubbsTest> tests;
    for (const LevelSpread &l : whole.levels) {
        const int r = l.replicates();
        if (r < 3)
            continue;
        GrubbsTest &t = tests.emplace_back();
        t.level = l.level;
        // |y − ȳ| = |rY − ΣY| / (r·dy): the farthest by its whole numerator.
        mpz_class farthest = -1, off;
        for (int i : l.rows) {
            off = r * whole.y[static_cast<size_t>(i)] - l.sumY;
            mpz_abs(off.get_mpz_t(), off.get_mpz_t());
            if (off > farthest) {
                farthest = off;
                t.observation = i + 1;
            }
        }
        const Fifty critical = GrubbsCritical(r);
        t.critical = RealOf(critical);
        if (sgn(l.squares) == 0)
            continue;
        // g² = (off / (r·dy))² / (squares / (r(r − 1)·dy²)) = off²·(r − 1) / (r·squares)
        t.g = Real::Surd(0, 1, Quotient(farthest * farthest * (r - 1), r * l.squares));
        t.outlier = t.g->compare(RationalOf(critical)) > 0;
    }
    return tests;
}

std::vector<GrubbsTest> GrubbsTests(const LinearityStudy &study) { return GrubbsTests(WholeStudy(study)); }

} // namespace stats
