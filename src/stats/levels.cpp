#include "stats/levels.h"

#include "stats/wholestudy.h"

#include <algorithm>

namespace stats {

StudyLevels Levels(const LinearityStudy &study)
{
    mpz_class dx, dy;
    const std::vector<mpz_class> x = WholeAmounts(study, dx), y = WholeResponses(study, dy);
    return Levels(study, x, dx, y, dy);
}

StudyLevels Levels(const LinearityStudy &study, const std::vector<mpz_class> &x, const mpz_class &dx,
                   const std::vector<mpz_class> &y, const mpz_class &dy)
{
    StudyLevels v;
    v.dy = dy;
    // A level number beyond the replicate counts still gets its own level.
    int k = study.k();
    for (const Observation &o : study.observations)
        k = std::max(k, o.level);
    std::vector<Level> all(static_cast<size_t>(k));
    std::vector<mpz_class> sumX(all.size()), sumY2(all.size());
    for (size_t i = 0; i < study.observations.size(); ++i) {
        const size_t j = static_cast<size_t>(study.observations[i].level - 1);
        all[j].rows.push_back(static_cast<int>(i));
        sumX[j] += x[i];
        all[j].sumY += y[i];
        mpz_addmul(sumY2[j].get_mpz_t(), y[i].get_mpz_t(), y[i].get_mpz_t());
    }
    mpz_class multiple = 1; // of the replicate counts
    for (size_t j = 0; j < all.size(); ++j) {
        Level &l = all[j];
        l.level = static_cast<int>(j + 1);
        const long r = l.replicates();
        if (r == 0)
            continue;
        l.x = Quotient(sumX[j], r * dx);
        l.mean = Quotient(l.sumY, r * dy);
        if (r >= 2) {
            l.squares = r * sumY2[j] - l.sumY * l.sumY;
            l.variance = Quotient(l.squares, r * (r - 1) * dy * dy);
        }
        if (v.levels.empty() || l.x < v.lowestX)
            v.lowestX = l.x;
        if (v.levels.empty() || l.x > v.highestX)
            v.highestX = l.x;
        v.pureErrorDf += static_cast<int>(r - 1);
        mpz_lcm_ui(multiple.get_mpz_t(), multiple.get_mpz_t(), static_cast<unsigned long>(r));
        v.levels.push_back(std::move(l));
    }
    // Σ (r − 1)·s² = Σ squares / r over dy², on the common multiple of the r.
    mpz_class pure;
    for (const Level &l : v.levels)
        pure += l.squares * (multiple / l.replicates());
    v.pureErrorSquares = Quotient(pure, multiple * dy * dy);
    return v;
}

} // namespace stats
