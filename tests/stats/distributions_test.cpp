// The tails and quantiles of F and t, and Grubbs' critical values, against
// figures computed outside the program: R's pf, qf and qt over a grid of
// degrees of freedom of both parities (distribution_figures.R beside this
// file), to R's own accuracy; and mpmath's incomplete beta function at 70
// digits (distribution_digits.py) where the closed forms subtract, the tails
// are far out or a general method lost digits, to 45 digits.
#include "stats/fdistribution.h"
#include "stats/precisefigures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using stats::Fifty;
using stats::Rational;

Fifty computed(const std::string &what, int df1, int df2, const std::string &argument)
{
    if (what == "grubbs")
        return stats::GrubbsCritical(df1);
    Rational a(argument);
    a.canonicalize();
    if (what == "ftail")
        return stats::FUpperTailPrecise(a, df1, df2);
    if (what == "fquantile")
        return stats::FUpperQuantile(a, df1, df2);
    if (what == "tquantile")
        return stats::TUpperQuantile(a, df1);
    ADD_FAILURE() << "unknown figure " << what;
    return Fifty(0);
}

struct Source {
    const char *file;
    const char *relativeError;
    // R works far out in the tails through logarithms, and its relative
    // error grows with the depth: about 2.5e-16 per unit of |ln p| there,
    // 2e-14 at most elsewhere.
    bool growsWithDepth;
    size_t atLeast; // lines, so that a file that cannot be read fails
};

} // namespace

TEST(Distributions, TailsAndQuantilesAgreeWithFiguresComputedElsewhere)
{
    for (const Source &source : {Source{"distribution_figures.txt", "1e-15", true, 6000},
                                 Source{"distribution_digits.txt", "1e-45", false, 40}}) {
        std::ifstream in(std::string(TEST_DATA_DIR "/../stats/") + source.file);
        const Fifty tolerance(source.relativeError);
        size_t lines = 0;
        for (std::string line; std::getline(in, line); ++lines) {
            std::istringstream fields(line);
            std::string what, argument, expectedText;
            int df1 = 0, df2 = 0;
            fields >> what >> df1 >> df2 >> argument >> expectedText;
            const Fifty expected(expectedText), got = computed(what, df1, df2, argument);
            Fifty allowed = abs(expected) * tolerance;
            if (source.growsWithDepth && expected != 0)
                allowed *= std::max(Fifty(25), Fifty(abs(log(abs(expected)))));
            EXPECT_LE(abs(got - expected), allowed)
                << source.file << ": " << line << "\n  got " << got.str(50, std::ios_base::scientific);
        }
        EXPECT_GE(lines, source.atLeast) << source.file;
    }
}
