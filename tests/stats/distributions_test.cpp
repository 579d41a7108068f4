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

// Quantiles of t whose degrees of freedom are a fraction (the accuracy
// profile's Satterthwaite ν), to 48 digits: from mpmath (70 digits) solving
// 1 − I_{ν/(ν+t²)}(ν/2, ½)/2 = p.
TEST(Distributions, TQuantilesOfFractionalDegreesOfFreedomHaveFiftyDigits)
{
    const struct {
        const char *p;
        Rational df;
        const char *expected;
    } cases[] = {
        {"95/100", Rational(32, 3), "1.8010342782400496362853736494267863930699190746666"},
        {"975/1000", Rational(7, 2), "2.9400886379827297938454611609055192905815857121963"},
        {"9995/10000", Rational(123, 7), "3.9395784778765765645676336255205702552586091175573"},
        {"6/10", Rational(5, 3), "0.29591342460006872074524970667890253613958881983851"},
        {"1/10", Rational(9, 2), "-1.5008853175085575276373693799905447768375428288969"},
    };
    for (const auto &c : cases) {
        Rational p(c.p);
        p.canonicalize();
        const Fifty expected(c.expected), got = stats::StudentTQuantile(p, c.df);
        EXPECT_LE(abs(got - expected), abs(expected) * Fifty("1e-48")) << c.p << " " << c.df.get_str();
    }
    // A whole ν is the tabulated quantile.
    EXPECT_EQ(stats::StudentTQuantile(Rational(95, 100), Rational(12)), stats::StudentTQuantile(Rational(95, 100), 12));
}
