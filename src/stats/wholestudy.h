#pragma once
// A study's numbers as whole numbers, x = X/dx and y = Y/dy over one common
// denominator each (the typed decimals share a power of ten), and its levels.
// The sums of the weighting are then sums of integers: no common divisor is
// sought in them, and each figure is divided once, where it leaves.
#include "stats/levels.h"
#include "stats/study.h"

#include <vector>

namespace stats {

struct WholeStudy {
    explicit WholeStudy(const LinearityStudy &study);
    const LinearityStudy &study;
    mpz_class dx, dy; // before x and y, which set them
    std::vector<mpz_class> x, y;
    std::vector<Level> levels; // their whole sums are over this dy
    // A common multiple L of the amounts that are not zero, and L/X for each
    // (0 where X is 0): 1/x as whole numbers, and the shares of a sum over x.
    mpz_class multipleX;
    std::vector<mpz_class> shareX;
    // Rows one after another with the same level and the same X: a sum of
    // terms in X over a run's rows needs its X once.
    struct Run {
        size_t first = 0, count = 0;
    };
    std::vector<Run> runs;
    int n() const { return static_cast<int>(x.size()); }
};

// The least common denominator of the values and each value's numerator over it.
template <class Values, class Value>
std::vector<mpz_class> OverCommonDenominator(const Values &values, Value value, mpz_class &denominator)
{
    denominator = 1;
    for (const auto &v : values)
        mpz_lcm(denominator.get_mpz_t(), denominator.get_mpz_t(), value(v).get_den_mpz_t());
    std::vector<mpz_class> whole;
    whole.reserve(values.size());
    mpz_class factor;
    for (const auto &v : values) {
        const Rational &q = value(v);
        mpz_divexact(factor.get_mpz_t(), denominator.get_mpz_t(), q.get_den_mpz_t());
        whole.push_back(q.get_num() * factor);
    }
    return whole;
}

// The amounts added and recovered as whole numbers: x = X/dx, y = Y/dy.
std::vector<mpz_class> WholeAmounts(const LinearityStudy &study, mpz_class &dx);
std::vector<mpz_class> WholeResponses(const LinearityStudy &study, mpz_class &dy);

// A quotient of whole numbers in lowest terms.
Rational Quotient(const mpz_class &numerator, const mpz_class &denominator);

} // namespace stats
