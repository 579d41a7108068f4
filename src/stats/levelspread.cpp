#include "stats/levelspread.h"

namespace stats {

std::vector<LevelSpread> LevelSpreads(const LinearityStudy &study)
{
    std::vector<LevelSpread> levels(static_cast<size_t>(study.k()));
    for (size_t j = 0; j < levels.size(); ++j)
        levels[j].level = static_cast<int>(j + 1);
    for (int i = 0; i < study.n(); ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        LevelSpread &l = levels[static_cast<size_t>(o.level - 1)];
        l.rows.push_back(i);
        l.x += o.exactX;
        l.mean += o.exactY;
    }
    for (LevelSpread &l : levels) {
        if (l.rows.empty())
            continue;
        l.x /= l.replicates();
        l.mean /= l.replicates();
        if (l.replicates() < 2)
            continue;
        Rational off;
        for (int i : l.rows) {
            off = study.observations[static_cast<size_t>(i)].exactY - l.mean;
            l.variance += off * off;
        }
        l.variance /= l.replicates() - 1;
    }
    return levels;
}

} // namespace stats
