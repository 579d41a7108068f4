#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/numberformat.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

using stats::FormatGeneral;

TEST(GeneralNumberFormat, WritesSixSignificantDigitsAsTheResultsShowThem)
{
    struct Case {
        double value;
        const char *text;
    } cases[] = {
        {1.0066667, "1.00667"},     {-0.5444444, "-0.544444"}, {0.00012345, "0.00012345"},
        {0.000012345, "1.2345E-5"}, {1234567, "1.23457E6"},    {100, "100"},
        {999999.7, "1E6"},          {0.0, "0"},                {4, "4"},
        {123456, "123456"},         {1234564, "1.23456E6"},    {0.001, "0.001"},
        {0.0009999999, "0.001"},    {-2.14933e-3, "-0.00214933"}, {1e-5, "1E-5"},
        {2.5e10, "2.5E10"},         {-1e21, "-1E21"},          {99.99996, "100"},
        {0.1, "0.1"},               {3.816, "3.816"},          {1096.9912, "1096.99"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatGeneral(c.value, 6, '.'), c.text) << c.value;
}

TEST(GeneralNumberFormat, RoundsHalfUpAndHonoursPrecisionAndSeparator)
{
    EXPECT_EQ(FormatGeneral(0.99840357142, 8, '.'), "0.99840357");
    EXPECT_EQ(FormatGeneral(1.0066667, 6, ','), "1,00667");
    EXPECT_EQ(FormatGeneral(1.2345e-5, 6, ','), "1,2345E-5");
    EXPECT_EQ(FormatGeneral(1234565, 6, '.'), "1.23457E6"); // an exact tie rounds up
    EXPECT_EQ(FormatGeneral(0.5, 1, '.'), "0.5");
    EXPECT_EQ(FormatGeneral(12345678, 8, '.'), "12345678");
    EXPECT_EQ(FormatGeneral(123456789, 8, '.'), "1.2345679E8");
}

// Halves of the last digit, as data typed with two decimals produce them:
// the exact value decides, never the double that stands for it.
TEST(GeneralNumberFormat, AnExactHalfRoundsAwayFromZeroAndANearHalfByItsExactSide)
{
    auto exact = [](const char *text) { return stats::Real(stats::StrToRational(text, '.')); };
    const struct {
        stats::Real value;
        int digits;
        const char *text;
    } cases[] = {
        {exact("33.90685"), 6, "33.9069"},           // its double is 33.906849999…
        {exact("-0.0002649495"), 6, "-0.00026495"},
        {exact("100.425"), 5, "100.43"},
        {exact("0.000123455"), 5, "0.00012346"},
        {exact("2.5"), 1, "3"},
        {exact("-2.5"), 1, "-3"},
        {exact("999999.5"), 6, "1E6"},
        {exact("33.906849999999999999999999"), 6, "33.9068"}, // not a half: below it
        {exact("33.906850000000000000000001"), 6, "33.9069"},
        {exact("0"), 6, "0"},
        {stats::Real::Sqrt(stats::StrToRational("0.0225", '.')), 1, "0.2"}, // √0.0225 is exactly 0.15
        {stats::Real::Surd(stats::StrToRational("1.25", '.'), -1, stats::StrToRational("0.0625", '.')), 1, "1"},
        {stats::Real::Sqrt(2), 6, "1.41421"},
        // A hair (10⁻²⁸) either side of 0.15: the digits alone cannot tell.
        {stats::Real::Sqrt(stats::StrToRational("0.0225000000000000000000000000001", '.')), 1, "0.2"},
        {stats::Real::Sqrt(stats::StrToRational("0.0224999999999999999999999999999", '.')), 1, "0.1"},
        {stats::Real::Surd(1, -1, stats::StrToRational("1.0000000000000000000002", '.')), 3, "-1E-22"},
        // 1 − √(1 + 10⁻⁸⁰): the terms agree to 80 digits, beyond any fixed precision.
        {stats::Real::Surd(1, -1, stats::Rational(1) + stats::StrToRational("1e-80", '.')), 6, "-5E-81"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatGeneral(c.value, c.digits, '.'), c.text) << c.text;
    // The same difference with fifteen digits and as its double: from the
    // fifty-digit approximation, which must not cancel either.
    const stats::Real tiny = stats::Real::Surd(1, -1, stats::Rational(1) + stats::StrToRational("1e-80", '.'));
    EXPECT_EQ(FormatGeneral(tiny, 15, '.'), "-5E-81");
    EXPECT_EQ(tiny.toDouble(), -5e-81);
    // A double is the decimal it names: a limit typed as 2.000005 shows as 2.00001.
    EXPECT_EQ(FormatGeneral(2.000005, 6, '.'), "2.00001");
    EXPECT_EQ(FormatGeneral(0.145, 2, '.'), "0.15");
}

// A fraction kept as it was built (3·k / 2·k, a negative denominator, a
// numerator of 200 digits) shows, stores and compares as its value in
// lowest terms: a common factor or a sign in the wrong place changes no
// digit, and a half is still a half.
TEST(GeneralNumberFormat, AFractionNotInLowestTermsIsItsValue)
{
    const mpz_class k("12345678901234567890123456789"), huge = mpz_class(10) * k * k * k * k * k * k * k;
    auto fraction = [&k](long numerator, long denominator) {
        return stats::Real::Fraction(numerator * k * k, denominator * k * k);
    };
    EXPECT_EQ(FormatGeneral(fraction(3, 2), 1, '.'), "2");
    EXPECT_EQ(FormatGeneral(fraction(-3, 2), 1, '.'), "-2");
    EXPECT_EQ(FormatGeneral(fraction(3, -2), 1, '.'), "-2");
    EXPECT_EQ(FormatGeneral(fraction(20085, 200), 5, '.'), "100.43"); // 100.425, a half
    EXPECT_EQ(FormatGeneral(fraction(1, 3), 6, '.'), "0.333333");
    EXPECT_EQ(fraction(1, 3).toDouble(), 1.0 / 3);
    EXPECT_EQ(fraction(-7, 10).toDouble(), -0.7);
    EXPECT_EQ(fraction(3, -2).rational(), stats::Rational(-3, 2));
    EXPECT_EQ(mpz_class(fraction(6, 4).rational().get_den()), 2); // reduced when read as a rational
    EXPECT_EQ(fraction(3, 2).compare(stats::Rational(3, 2)), 0);
    EXPECT_LT(fraction(3, 2).compare(stats::Rational(301, 200)), 0);
    EXPECT_EQ(fraction(3, 2).plus(stats::Rational(1, 2)).rational(), 2);
    EXPECT_EQ(fraction(3, 2).times(stats::Rational(-2, 3)).rational(), -1);
    EXPECT_EQ(fraction(5, 4).approximation(), stats::Rational(5, 4));
    EXPECT_TRUE(fraction(5, 4).isRational());
    EXPECT_EQ(stats::Real::Fraction(0, -5).sign(), 0);
    EXPECT_EQ(stats::Real::Fraction(huge * 7, huge * 2).toDouble(), 3.5);
    EXPECT_EQ(FormatGeneral(stats::Real::Fraction(huge * 7, huge * 2), 6, '.'), "3.5");
    EXPECT_THROW(stats::Real::Fraction(1, 0), stats::FloatingPointError);
    EXPECT_THROW(stats::Real::Fraction(huge * huge * huge * huge, 3), stats::FloatingPointError); // beyond a double
}

TEST(TextConversion, AcceptsWholeNumbersAndRefusesAnythingElseWithTheTextQuoted)
{
    EXPECT_EQ(stats::StrToInt("3"), 3);
    EXPECT_EQ(stats::StrToInt(" 05 "), 5);
    EXPECT_EQ(stats::StrToInt("-7"), -7);
    EXPECT_EQ(stats::StrToInt("+2147483647"), 2147483647);
    EXPECT_EQ(stats::StrToInt("-2147483648"), -2147483647 - 1);
    for (const char *bad : {"", " ", "2.5", "x", "3a", "2147483648", "--1", "1 2", "0x10", "$10"}) {
        try {
            stats::StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const stats::ConversionError &e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(TextConversion, ReadsDecimalNumbersWithOnePointOrComma)
{
    EXPECT_DOUBLE_EQ(stats::StrToFloat("1.50", '.'), 1.5);
    EXPECT_DOUBLE_EQ(stats::StrToFloat("1,50", ','), 1.5);
    EXPECT_DOUBLE_EQ(stats::StrToFloat(" -.5 ", '.'), -0.5);
    EXPECT_DOUBLE_EQ(stats::StrToFloat("2.", '.'), 2.0);
    EXPECT_DOUBLE_EQ(stats::StrToFloat("1E3", '.'), 1000.0);
    EXPECT_DOUBLE_EQ(stats::StrToFloat("1.5e-2", '.'), 0.015);
    EXPECT_DOUBLE_EQ(stats::StrToFloat("+7", '.'), 7.0);
    EXPECT_EQ(stats::StrToFloat("0.1", '.'), 0.1);
    EXPECT_EQ(stats::StrToFloat("1e-400", '.'), 0.0);
    // A study typed where the other separator is used reads the same.
    EXPECT_EQ(stats::StrToFloat("80,1", '.'), 80.1);
    EXPECT_EQ(stats::StrToFloat("-1.5E2", ','), -150.0);
    EXPECT_EQ(stats::StrToRational("8.00E+01", '.'), stats::Rational(80)); // as a spreadsheet writes it
    EXPECT_EQ(stats::StrToFloat(",5", '.'), 0.5);
    for (const char *bad : {"", ".", ",", "e5", "1e", "1e+", "1.2.3", "1,2,3", "1.000,5", "1,000.5", "1,,5", "1,5e2,",
                            "inf", "nan", "1e400", "1 000", "0x1p3", "abc", "12-"}) {
        try {
            stats::StrToFloat(bad, '.');
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const stats::ConversionError &e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid floating point value");
        }
    }
}

TEST(GeneralErrorReport, AddsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(stats::ErrorReportText("Floating point overflow"), "Floating point overflow.");
    EXPECT_EQ(stats::ErrorReportText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
    EXPECT_EQ(stats::ErrorReportText("ya termina."), "ya termina.");
    EXPECT_EQ(stats::ErrorReportText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(stats::ErrorReportText("entre comillas'"), "entre comillas'");
    EXPECT_EQ(stats::ErrorReportText("acción"), "acción.");
    EXPECT_EQ(stats::ErrorReportText(""), "");
}

// A message quotes at most 40 characters of a value (a 1 MB cell once put
// 10 MB into a message box).
TEST(Conversions, ErrorsQuoteAtMostFortyCharactersOfTheValue)
{
    auto messageOf = [](auto convert) {
        try {
            convert();
        } catch (const stats::ConversionError &e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf([] { stats::StrToFloat(std::string(1 << 20, 'x'), '.'); }),
              "'" + std::string(40, 'x') + "…' is not a valid floating point value");
    std::string enes;
    for (int i = 0; i < 41; ++i)
        enes += "ñ";
    EXPECT_EQ(messageOf([&] { stats::StrToInt(enes); }),
              "'" + enes.substr(0, 80) + "…' is not a valid integer value");
    EXPECT_EQ(messageOf([&] { stats::StrToInt(enes.substr(0, 80)); }),
              "'" + enes.substr(0, 80) + "' is not a valid integer value");
    // Control characters (an escape sequence from a file) are shown as a
    // replacement character, never passed on.
    EXPECT_EQ(messageOf([] { stats::StrToFloat("1\x1b[31m\t", '.'); }),
              "'1\uFFFD[31m\uFFFD' is not a valid floating point value");
}

// A figure is stored and exported as the double nearest to its exact value,
// rounded once: ties to the even one, and below the normal range of doubles
// with the fewer bits they keep there. Each case is k·v / k, so that neither
// part fits a double and the quotient is rounded by the program.
TEST(NearestDouble, RoundsAQuotientOnceToTheNearestATieToEven)
{
    const mpz_class two53 = mpz_class(1) << 53, k = 3;
    const double maximum = DBL_MAX, smallest = std::numeric_limits<double>::denorm_min();
    const mpz_class maximumWhole = ((mpz_class(1) << 53) - 1) << 971;
    struct Case {
        mpz_class numerator, denominator;
        double nearest;
    };
    for (const Case &c : std::vector<Case>{
             {k * (two53 + 1), k, 9007199254740992.0},       // a tie, to the even below
             {k * (two53 + 3), k, 9007199254740996.0},       // a tie, to the even above
             {k * (two53 + 1) + 1, k, 9007199254740994.0},   // a third past the tie
             {-k * (two53 + 1), k, -9007199254740992.0},
             {mpz_class("1" + std::string(400, '0')) + 1, 3 * mpz_class("1" + std::string(399, '0')), 10.0 / 3.0},
             {(mpz_class(1) << 59) + 1, mpz_class(1) << 1134, smallest}, // just past half the smallest
             {mpz_class(1) << 60, mpz_class(1) << 1135, 0.0},            // exactly half the smallest
             // 2^-1061 keeps 14 bits: past half of its last one by 2^-1130
             {k * ((mpz_class(1) << 69) + (mpz_class(1) << 55) + 1), k << 1130, std::ldexp(8193.0, -1074)},
             {k * maximumWhole, k, maximum},
             {k * (maximumWhole + (mpz_class(1) << 970)) - 1, k, maximum}, // a third short of overflow
         })
        EXPECT_EQ(stats::NearestQuotient(c.numerator, c.denominator), c.nearest)
            << c.numerator.get_str() << " / " << c.denominator.get_str();
    // Half a unit past the largest double rounds up to 2^1024: too large.
    EXPECT_THROW(stats::NearestQuotient(k * (maximumWhole + (mpz_class(1) << 970)), k), stats::FloatingPointError);
    EXPECT_THROW(stats::NearestQuotient(mpz_class(1) << 1100, mpz_class(1) << 50), stats::FloatingPointError);
}
