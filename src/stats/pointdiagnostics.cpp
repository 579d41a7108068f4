// How much each observation weighs on the straight line, and which replicate
// of a level lies suspiciously far from the others.
#include "stats/precisefigures.h"
#include "stats/weighting.h"
#include "stats/wholestudy.h"

namespace stats {

// On the whole numbers, with c = nX − ΣX, S = nΣX² − (ΣX)², T = nΣXY − ΣXΣY:
// the residual is E/(nS·dy) with E = S(nY − ΣY) − T·c, the leverage is
// h = (S + c²)/(nS), and with U = ΣE² and P = nS − S − c² (nS·(1 − h)):
// studentized  r = E·√(K/P),  K = (n − 2)·nS/U
// deleted      r·√((n − 3)/(n − 2 − r²)) = E·√((n − 3)·nS / (U·P − E²·nS))
// Cook         r²·h/(2(1 − h)) = K·E²·(S + c²) / (2P²)
// Each root's radicand is a small constant over one whole number: cheap to
// reduce; the leverage and Cook's distance are only shown, and stay fractions.
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
    const Rational k = Quotient((n - 2) * ns, u), deletedK = Quotient((n - 3) * ns, 1);
    // Cook's distance above the median of F(2, n − 2), compared as integers.
    const Rational influence = RationalOf(FUpperQuantile(Rational(1, 2), 2, static_cast<int>(n) - 2));
    std::vector<PointDiagnostic> rows(whole.x.size());
    mpz_class leverage, p, e2, cookNumerator, cookDenominator, deleted, left, right;
    for (size_t i = 0; i < rows.size(); ++i) {
        PointDiagnostic &d = rows[i];
        d.observation = static_cast<int>(i + 1);
        d.level = whole.study.observations[i].level;
        mpz_mul(leverage.get_mpz_t(), c[i].get_mpz_t(), c[i].get_mpz_t());
        leverage += s;
        mpz_sub(p.get_mpz_t(), ns.get_mpz_t(), leverage.get_mpz_t());
        if (sgn(p) <= 0)
            continue; // a leverage of 1: the line passes through this point whatever it is
        d.leverage = Real::Fraction(leverage, ns);
        d.studentized = Real::Surd(0, Rational(e[i]), Rational(k / p));
        mpz_mul(e2.get_mpz_t(), e[i].get_mpz_t(), e[i].get_mpz_t());
        mpz_mul(deleted.get_mpz_t(), u.get_mpz_t(), p.get_mpz_t());
        mpz_submul(deleted.get_mpz_t(), e2.get_mpz_t(), ns.get_mpz_t()); // (n − 2 − r²)·U·P/(n − 2)
        if (sgn(deleted) > 0)
            d.deletedStudentized = Real::Surd(0, Rational(e[i]), Rational(deletedK / deleted));
        mpz_mul(cookNumerator.get_mpz_t(), e2.get_mpz_t(), leverage.get_mpz_t());
        cookNumerator *= k.get_num();
        mpz_mul(cookDenominator.get_mpz_t(), p.get_mpz_t(), p.get_mpz_t());
        cookDenominator *= 2 * k.get_den();
        d.influential = cmp(cookNumerator * influence.get_den(), cookDenominator * influence.get_num()) > 0;
        d.cooksDistance = Real::Fraction(cookNumerator, cookDenominator);
    }
    return rows;
}

std::vector<PointDiagnostic> PointDiagnostics(const LinearityStudy &study) { return PointDiagnostics(WholeStudy(study)); }

std::vector<GrubbsTest> GrubbsTests(const WholeStudy &whole)
{
    std::vector<GrubbsTest> tests;
    for (const Level &l : whole.levels) {
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
