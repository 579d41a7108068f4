#include "stats/studentttable.h"

#include "stats/errors.h"

#include <array>
#include <string>

namespace stats {

namespace {

struct Run {
    int first, last;
    double t;
};

constexpr std::array<double, 29> kSingles = {
    12.706, 4.3027, 3.1825, 2.7764, 2.5706, 2.4469, 2.3646, 2.306,  2.2622, 2.2281,
    2.201,  2.1788, 2.1604, 2.1448, 2.1315, 2.1199, 2.1098, 2.1009, 2.093,  2.086,
    2.0796, 2.0739, 2.0687, 2.0639, 2.059,  2.0555, 2.0518, 2.0484, 2.0452};

constexpr std::array<Run, 15> kRuns = {{
    {30, 34, 2.0423},   {35, 39, 2.0301},   {40, 44, 2.0211},   {45, 49, 2.0141},
    {50, 59, 2.0086},   {60, 69, 2.0003},   {70, 79, 1.9945},   {80, 89, 1.9901},
    {90, 99, 1.9867},   {100, 119, 1.984},  {120, 139, 1.9799}, {140, 159, 1.9771},
    {160, 179, 1.9749}, {180, 199, 1.9733}, {200, 324, 1.9719},
}};

} // namespace

double StudentTTable::value(int d)
{
    if (d >= 1 && d <= static_cast<int>(kSingles.size()))
        return kSingles[static_cast<size_t>(d - 1)];
    for (const Run &run : kRuns)
        if (d >= run.first && d <= run.last)
            return run.t;
    throw FloatingPointError("No hay valor de t de Student para " + std::to_string(d) +
                             " grados de libertad: el estudio necesita al menos 3 observaciones.");
}

} // namespace stats
