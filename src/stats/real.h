#pragma once
// Exact figures. The study's numbers are decimals as the analyst typed them:
// they are carried as rationals, so every sum, slope, residual, sum of
// squares, ratio and mean is exact. What needs a square root is a + b·√c with
// rational a, b and c, and a probability of F is the upper tail of the
// distribution at an exact F. A figure is rounded once, where it leaves the
// computation: to the nearest double when it is stored or exported, to the
// digits it is shown with (a half away from zero) when it is printed, and it
// is compared with a limit exactly.
#include <gmpxx.h>

#include <memory>
#include <string>

namespace stats {

using Rational = mpq_class;

// A value rounded to a number of significant digits: ±0.d1d2…dn × 10^exponent,
// with d1 not zero; or zero.
struct RoundedDigits {
    bool zero = true;
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

class Real {
public:
    Real() = default; // exactly 0
    Real(const Rational &q);
    Real(Rational &&q);
    Real(int whole) : Real(Rational(whole)) {}
    Real(double) = delete; // a double is not exact: say which decimal (DecimalOf) or rational is meant

    // a + b·√c; c < 0 is an invalid operation (FloatingPointError).
    static Real Surd(Rational a, Rational b, Rational c);
    static Real Sqrt(const Rational &c) { return Surd(0, 1, c); }
    // P(F ≥ f) for F with (df1, df2) degrees of freedom; 1 for f ≤ 0.
    static Real FUpperTail(const Rational &f, int df1, int df2);
    // A figure no rational or surd can hold (a quantile, a mean or a root of
    // roots, a fixed point), as computed with 50 or more digits; it is
    // rounded once, where it leaves, like the others. The rational is the
    // binary number that carries those digits (ApproximationOf takes them
    // from a Fifty).
    static Real Approximation(const Rational &value);
    // numerator / denominator, as it stands: reduced to lowest terms only if
    // it is ever used as a rational. A figure that is only shown or stored
    // (most are) needs no common divisor found. A zero denominator is
    // FloatingPointError.
    static Real Fraction(const mpz_class &numerator, const mpz_class &denominator);

    // The nearest double. Every constructor refuses a value beyond the range
    // of a double with FloatingPointError (kResultTooLarge): no figure is
    // ever an infinity.
    double toDouble() const;
    bool isRational() const;
    const Rational &rational() const; // the exact value of a rational figure
    int sign() const;
    // The exact sign of (this − q); a probability is decided with 50 digits
    // where its double is not enough, and counts as equal when those agree.
    int compare(const Rational &q) const;
    Real abs() const { return sign() < 0 ? -*this : *this; }
    Real operator-() const;
    Real plus(const Rational &q) const;
    Real times(const Rational &q) const;

    RoundedDigits rounded(int digits) const;
    // The value to 50 digits as a rational: the value itself where it is
    // rational, for sums of figures that no closed form holds.
    Rational approximation() const;

    struct Exact;

private:
    explicit Real(std::shared_ptr<const Exact> exact);
    std::shared_ptr<const Exact> exact_; // null: zero
};

// The decimal a double names: the shortest decimal that reads back as the
// same double. A limit typed as 0.995 and held as a double is 0.995 here.
Rational DecimalOf(double value);

// A rational rounded to `digits` significant digits, a half away from zero.
// Only its numerator and denominator are read: they need not be in lowest terms.
// `nearest`, when given, is its nearest double (it saves the search for the
// exponent).
RoundedDigits RoundRational(const Rational &q, int digits, double nearest = 0.0);

// The nearest double to a rational; FloatingPointError beyond the range of a double.
double NearestDouble(const Rational &q);
// The same for a quotient of whole numbers, in lowest terms or not.
double NearestQuotient(const mpz_class &numerator, const mpz_class &denominator);

// MPFR keeps constants (π, log 2, …) per thread and never frees them by
// itself: a worker thread calls this before it ends.
void ReleaseThreadConstants();

} // namespace stats
