#include "stats/real.h"

#include "stats/errors.h"
#include "stats/fdistribution.h"
#include "stats/precisefigures.h"

#include <charconv>
#include <cmath>
#include <atomic>
#include <mutex>
#include <limits>
#include <optional>
#include <vector>
#include <stdexcept>
#include <string_view>

namespace stats {

struct Real::Exact {
    enum class Kind { Ratio, Fraction, Surd, Tail, Approximation } kind = Kind::Ratio;
    // the rational; the quotient of a fraction, as it was built (not in lowest
    // terms: only its numerator and denominator are read, never as a rational);
    // a of a + b·√c; the F of a probability P(F(df1, df2) ≥ a); the binary
    // approximation of a value known to 50 digits
    Rational a;
    // A fraction in lowest terms, reduced the first time it is needed as a rational.
    mutable std::once_flag reducing;
    mutable std::unique_ptr<Rational> reduced;
    struct Root {
        Rational b, c;
    };
    // b and c of a surd, apart: a rational allocates none of it, and the
    // figure stays small enough for the allocator's quickest lists.
    std::unique_ptr<const Root> root;
    int df1 = 0, df2 = 0;
    // The nearest double: at once for a probability, at its first use for
    // the others (most figures are only printed). NaN until known; two
    // threads that both compute it store the same value.
    mutable std::atomic<double> nearest{std::numeric_limits<double>::quiet_NaN()};
};
// With its shared count, within the allocator's quick lists (chunks of up to 128 bytes).
static_assert(sizeof(Real::Exact) <= 96);

namespace {

int sgn(const Rational &q) { return ::sgn(q); }

std::shared_ptr<Real::Exact> newExact() { return std::make_shared<Real::Exact>(); }

// The value of a rational, a fraction or an approximation as a rational in lowest terms.
const Rational &valueOf(const Real::Exact &e)
{
    if (e.kind != Real::Exact::Kind::Fraction)
        return e.a;
    std::call_once(e.reducing, [&e] {
        e.reduced = std::make_unique<Rational>(e.a);
        e.reduced->canonicalize();
    });
    return *e.reduced;
}

// 10^k, kept once computed for the exponents figures use.
const mpz_class &powerOfTenInteger(unsigned k)
{
    static const std::vector<mpz_class> table = [] {
        std::vector<mpz_class> t(700);
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i)
            t[i] = t[i - 1] * 10;
        return t;
    }();
    if (k < table.size())
        return table[k];
    thread_local mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, k);
    return power;
}

// log2 of |q|, to within one: the sizes of numerator and denominator.
long magnitudeBits(const Rational &q)
{
    if (sgn(q) == 0)
        return -100000;
    return static_cast<long>(mpz_sizeinbase(q.get_num_mpz_t(), 2)) -
           static_cast<long>(mpz_sizeinbase(q.get_den_mpz_t(), 2));
}

// a + b·√c with b ≠ 0, c > 0, to fifty digits, each exact rational taken
// in with one rounding. When a and b·√c have opposite signs the sum is
// taken as (a² − b²c) / (a − b·√c), whose terms do not cancel.
void approximateSurd(const Real::Exact &e, Fifty &out)
{
    thread_local Fifty root;
    const Rational &b = e.root->b, &c = e.root->c;
    const mpfr_ptr r = MpfrOf(root);
    mpfr_set_q(r, c.get_mpq_t(), MPFR_RNDN);
    mpfr_sqrt(r, r, MPFR_RNDN);
    mpfr_mul_q(r, r, b.get_mpq_t(), MPFR_RNDN); // b·√c
    if (sgn(e.a) == 0 || sgn(e.a) == sgn(b)) {
        mpfr_add_q(MpfrOf(out), r, e.a.get_mpq_t(), MPFR_RNDN);
        return;
    }
    const Rational numerator = e.a * e.a - b * b * c;
    mpfr_sub_q(r, r, e.a.get_mpq_t(), MPFR_RNDN); // b·√c − a
    mpfr_set_q(MpfrOf(out), numerator.get_mpq_t(), MPFR_RNDN);
    out /= -root;
}

double checkedDouble(const Fifty &v)
{
    const double d = v.convert_to<double>();
    if (!std::isfinite(d))
        throw FloatingPointError(kResultTooLarge);
    return d;
}

void increment(RoundedDigits &r)
{
    int i = static_cast<int>(r.digits.size()) - 1;
    while (i >= 0 && r.digits[static_cast<size_t>(i)] == '9')
        r.digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
        r.digits.insert(r.digits.begin(), '1');
        r.digits.pop_back();
        ++r.exponent;
    } else {
        ++r.digits[static_cast<size_t>(i)];
    }
}

// Decimal digits `all` (value = ±0.all × 10^exponent) rounded to `digits`,
// a half away from zero, when the digits that follow lie farther than
// `window` (a share of the last digit's unit) from a half; otherwise the
// digits truncated and `nearHalf` set.
RoundedDigits roundDigits(const std::string &all, int exponent, bool negative, int digits, double window,
                          bool &nearHalf)
{
    RoundedDigits r;
    r.zero = false;
    r.negative = negative;
    r.digits = all.substr(0, static_cast<size_t>(digits));
    r.exponent = exponent;
    double rest = 0; // the digits after the kept ones, in units of the last kept digit
    for (size_t i = all.size(); i-- > static_cast<size_t>(digits);)
        rest = (rest + (all[i] - '0')) / 10;
    nearHalf = std::fabs(rest - 0.5) < window;
    if (!nearHalf && rest > 0.5)
        increment(r);
    return r;
}

// v rounded as roundDigits does, from fourteen digits beyond the kept ones.
RoundedDigits roundApproximation(const Fifty &v, int digits, double window, bool &nearHalf)
{
    nearHalf = false;
    if (v.is_zero())
        return {};
    constexpr int kExtra = 14;
    mpfr_exp_t exponent = 0;
    char *text =
        mpfr_get_str(nullptr, &exponent, 10, static_cast<size_t>(digits + kExtra), MpfrOf(v), MPFR_RNDN);
    std::string s(text);
    mpfr_free_str(text);
    const bool negative = s.front() == '-';
    if (negative)
        s.erase(s.begin());
    return roundDigits(s, static_cast<int>(exponent), negative, digits, window, nearHalf);
}

// A figure rounded from a double close to it (within a few units of 10⁻¹⁵
// of its value), when its digits lie clearly away from a half: the common
// case, with no long division. Nothing when the double cannot tell.
std::optional<RoundedDigits> roundQuickly(double approximation, int digits)
{
    if (digits > 8 || !std::isfinite(approximation) || std::fabs(approximation) < 1e-290)
        return std::nullopt;
    char text[40];
    const auto written =
        std::to_chars(text, text + sizeof text, std::fabs(approximation), std::chars_format::scientific, 16);
    // d.dddddddddddddddde±x: 17 digits, then the exponent.
    std::string all;
    const char *p = text;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.')
            all += *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), written.ptr, exponent);
    bool nearHalf = false;
    const RoundedDigits r = roundDigits(all, exponent + 1, approximation < 0, digits, 1e-5, nearHalf);
    if (nearHalf)
        return std::nullopt;
    return r;
}

// A double within a few units of 10⁻¹⁵ of a + b·√c (the conjugate form where
// the terms cancel); NaN where the parts do not fit a double.
double quickSurd(const Rational &a, const Rational &b, const Rational &c)
{
    const double da = mpq_get_d(a.get_mpq_t()), db = mpq_get_d(b.get_mpq_t()), dc = mpq_get_d(c.get_mpq_t());
    auto usable = [](double v) { return std::isfinite(v) && (v == 0 || std::fabs(v) > 1e-290); };
    if (!usable(da) || !usable(db) || !usable(dc) || dc == 0 || db == 0)
        return std::numeric_limits<double>::quiet_NaN();
    const double term = db * std::sqrt(dc);
    if (da == 0 || (da > 0) == (term > 0))
        return da + term;
    const double numerator = mpq_get_d(Rational(a * a - b * b * c).get_mpq_t());
    return usable(numerator) ? numerator / (da - term) : std::numeric_limits<double>::quiet_NaN();
}

Rational powerOfTen(int exponent)
{
    const mpz_class &power = powerOfTenInteger(static_cast<unsigned>(std::abs(exponent)));
    return exponent >= 0 ? Rational(power) : Rational(mpz_class(1), power);
}

// The half between the kept digits and the next: (N + ½)·10^(exponent − digits).
Rational halfAfter(const RoundedDigits &r)
{
    Rational half(mpz_class(r.digits) * 2 + 1, 2);
    half *= powerOfTen(r.exponent - static_cast<int>(r.digits.size()));
    return half;
}


double surdDouble(const Real::Exact &e)
{
    thread_local Fifty v;
    approximateSurd(e, v);
    return checkedDouble(v);
}

} // namespace

Real::Real(const Rational &q) : Real(Rational(q)) {}

Real::Real(Rational &&q)
{
    if (sgn(q) == 0)
        return;
    const bool large = magnitudeBits(q) > 1000;
    auto e = newExact();
    e->a = std::move(q);
    exact_ = std::move(e);
    if (large) // perhaps beyond a double: refused here and now
        toDouble();
}

Real Real::Fraction(const mpz_class &numerator, const mpz_class &denominator)
{
    if (sgn(denominator) == 0)
        throw FloatingPointError(kDivisionByZero);
    if (sgn(numerator) == 0)
        return Real();
    auto e = newExact();
    e->kind = Exact::Kind::Fraction;
    e->a.get_num() = numerator;
    e->a.get_den() = denominator;
    if (sgn(denominator) < 0) {
        mpz_neg(e->a.get_num_mpz_t(), e->a.get_num_mpz_t());
        mpz_neg(e->a.get_den_mpz_t(), e->a.get_den_mpz_t());
    }
    return Real(std::shared_ptr<const Exact>(std::move(e)));
}

Real::Real(std::shared_ptr<const Exact> exact) : exact_(std::move(exact))
{
    const Exact &e = *exact_;
    if (e.kind == Exact::Kind::Fraction) {
        if (magnitudeBits(e.a) > 1000) // perhaps beyond a double: refused here and now
            toDouble();
        return;
    }
    if (e.kind == Exact::Kind::Tail) {
        e.nearest.store(FUpperTailDouble(e.a, e.df1, e.df2), std::memory_order_relaxed);
        return;
    }
    if (e.kind == Exact::Kind::Approximation) {
        toDouble();
        return;
    }
    // A root is approximated when first needed; one that may be beyond the
    // range of a double is refused here and now.
    const long bits = std::max(magnitudeBits(e.a), magnitudeBits(e.root->b) + (magnitudeBits(e.root->c) + 1) / 2);
    if (bits > 1000)
        toDouble();
}

double Real::toDouble() const
{
    if (!exact_)
        return 0.0;
    const Exact &e = *exact_;
    double nearest = e.nearest.load(std::memory_order_relaxed);
    if (std::isnan(nearest)) {
        nearest = e.kind == Exact::Kind::Surd ? surdDouble(e) : NearestQuotient(e.a.get_num(), e.a.get_den());
        e.nearest.store(nearest, std::memory_order_relaxed);
    }
    return nearest;
}

Real Real::Surd(Rational a, Rational b, Rational c)
{
    if (sgn(c) < 0)
        throw FloatingPointError(kInvalidOperation);
    if (sgn(b) == 0 || sgn(c) == 0)
        return Real(a);
    // A root of a perfect square is rational, and exactly so.
    if (mpz_perfect_square_p(c.get_num_mpz_t()) && mpz_perfect_square_p(c.get_den_mpz_t())) {
        mpz_class num, den;
        mpz_sqrt(num.get_mpz_t(), c.get_num_mpz_t());
        mpz_sqrt(den.get_mpz_t(), c.get_den_mpz_t());
        Rational root(num, den);
        root.canonicalize();
        return Real(Rational(a + b * root));
    }
    auto e = newExact();
    e->kind = Exact::Kind::Surd;
    e->a = std::move(a);
    e->root = std::make_unique<const Exact::Root>(Exact::Root{std::move(b), std::move(c)});
    return Real(std::shared_ptr<const Exact>(std::move(e)));
}

Real Real::FUpperTail(const Rational &f, int df1, int df2)
{
    if (df1 < 1 || df2 < 1)
        throw FloatingPointError(kInvalidOperation);
    if (sgn(f) <= 0)
        return Real(1);
    auto e = newExact();
    e->kind = Exact::Kind::Tail;
    e->a = f;
    e->df1 = df1;
    e->df2 = df2;
    return Real(std::shared_ptr<const Exact>(std::move(e)));
}

Real Real::Approximation(const Rational &value)
{
    if (sgn(value) == 0)
        return Real();
    auto e = newExact();
    e->kind = Exact::Kind::Approximation;
    e->a = value;
    return Real(std::shared_ptr<const Exact>(std::move(e)));
}

Rational Real::approximation() const
{
    if (!exact_)
        return Rational();
    const Exact &e = *exact_;
    if (e.kind == Exact::Kind::Ratio || e.kind == Exact::Kind::Approximation || e.kind == Exact::Kind::Fraction)
        return valueOf(e);
    if (e.kind == Exact::Kind::Tail)
        return RationalOf(FUpperTailPrecise(e.a, e.df1, e.df2));
    Fifty v;
    approximateSurd(e, v);
    return RationalOf(v);
}

bool Real::isRational() const
{
    return !exact_ || exact_->kind == Exact::Kind::Ratio || exact_->kind == Exact::Kind::Fraction;
}

const Rational &Real::rational() const
{
    static const Rational zero;
    if (!isRational())
        throw std::logic_error("Real::rational on an irrational value");
    return exact_ ? valueOf(*exact_) : zero;
}

int Real::sign() const
{
    if (!exact_)
        return 0;
    if (exact_->kind == Exact::Kind::Tail)
        return 1;
    return compare(Rational(0));
}

int Real::compare(const Rational &q) const
{
    if (!exact_)
        return -sgn(q);
    const Exact &e = *exact_;
    if (e.kind == Exact::Kind::Tail) {
        const double limit = NearestDouble(q), approximate = e.nearest.load(std::memory_order_relaxed);
        if (std::fabs(approximate - limit) > 1e-9 * std::max(std::fabs(approximate), std::fabs(limit)))
            return approximate < limit ? -1 : 1;
        Fifty difference = FUpperTailPrecise(e.a, e.df1, e.df2);
        mpfr_sub_q(MpfrOf(difference), MpfrOf(difference), q.get_mpq_t(), MPFR_RNDN);
        using boost::multiprecision::abs; // not Real::abs
        if (abs(difference) <= abs(FiftyOf(q) * 1e-45))
            return 0;
        return difference < 0 ? -1 : 1;
    }
    // An approximation is compared as the binary number that carries its digits.
    if (e.kind == Exact::Kind::Ratio || e.kind == Exact::Kind::Approximation || e.kind == Exact::Kind::Fraction)
        return sgn(Rational(valueOf(e) - q));
    // b·√c against d = q − a, both sides' signs first, then their squares.
    const Rational &b = e.root->b, &c = e.root->c;
    const Rational d = q - e.a;
    const Rational squareRoot = b * b * c, squareD = d * d;
    if (sgn(b) > 0)
        return sgn(d) <= 0 ? 1 : cmp(squareRoot, squareD) > 0 ? 1 : cmp(squareRoot, squareD) < 0 ? -1 : 0;
    return sgn(d) >= 0 ? -1 : cmp(squareD, squareRoot) > 0 ? 1 : cmp(squareD, squareRoot) < 0 ? -1 : 0;
}

Real Real::operator-() const { return times(Rational(-1)); }

Real Real::plus(const Rational &q) const
{
    if (!exact_)
        return Real(q);
    if (exact_->kind == Exact::Kind::Tail)
        throw std::logic_error("Real::plus on a probability");
    if (exact_->kind == Exact::Kind::Ratio || exact_->kind == Exact::Kind::Fraction)
        return Real(Rational(valueOf(*exact_) + q));
    if (exact_->kind == Exact::Kind::Approximation)
        return Approximation(Rational(exact_->a + q));
    return Surd(exact_->a + q, exact_->root->b, exact_->root->c);
}

Real Real::times(const Rational &q) const
{
    if (!exact_)
        return {};
    if (exact_->kind == Exact::Kind::Tail)
        throw std::logic_error("Real::times on a probability");
    if (exact_->kind == Exact::Kind::Ratio || exact_->kind == Exact::Kind::Fraction)
        return Real(Rational(valueOf(*exact_) * q));
    if (exact_->kind == Exact::Kind::Approximation)
        return Approximation(Rational(exact_->a * q));
    return Surd(exact_->a * q, exact_->root->b * q, exact_->root->c);
}

RoundedDigits Real::rounded(int digits) const
{
    if (digits < 1)
        digits = 1;
    if (!exact_)
        return {};
    const Exact &e = *exact_;
    if (e.kind == Exact::Kind::Ratio || e.kind == Exact::Kind::Approximation || e.kind == Exact::Kind::Fraction) {
        if (const auto quick = roundQuickly(toDouble(), digits))
            return *quick;
        return RoundRational(e.a, digits); // reads the numerator and the denominator only
    }
    bool nearHalf = false;
    if (e.kind == Exact::Kind::Tail) {
        // The double is good to about fourteen digits; on a half, fifty.
        RoundedDigits r = roundApproximation(Fifty(e.nearest.load(std::memory_order_relaxed)), digits, 1e-5, nearHalf);
        if (!nearHalf)
            return r;
        r = roundApproximation(FUpperTailPrecise(e.a, e.df1, e.df2), digits, 1e-13, nearHalf);
        if (nearHalf) // on the half to fifty digits: it is the half
            increment(r);
        return r;
    }
    if (const auto quick = roundQuickly(quickSurd(e.a, e.root->b, e.root->c), digits))
        return *quick;
    thread_local Fifty v;
    approximateSurd(e, v);
    RoundedDigits r = roundApproximation(v, digits, 1e-12, nearHalf);
    if (nearHalf && abs().compare(halfAfter(r)) >= 0)
        increment(r);
    return r;
}

RoundedDigits RoundRational(const Rational &q, int digits, double nearest)
{
    RoundedDigits r;
    if (sgn(q) == 0)
        return r;
    r.zero = false;
    r.negative = sgn(q) < 0;
    // N = floor(|q|·10^(digits − exponent)) with 10^(digits−1) ≤ N < 10^digits,
    // from a first guess of the exponent that is corrected when it misses.
    int exponent = nearest != 0.0 ? static_cast<int>(std::floor(std::log10(std::fabs(nearest)))) + 1
                                  : static_cast<int>(std::floor(magnitudeBits(q) * 0.30103)) + 1;
    thread_local mpz_class numerator, denominator, whole, rest;
    const mpz_class &low = powerOfTenInteger(static_cast<unsigned>(digits - 1));
    const mpz_class &high = powerOfTenInteger(static_cast<unsigned>(digits));
    for (;;) {
        const int shift = digits - exponent;
        mpz_abs(numerator.get_mpz_t(), q.get_num_mpz_t());
        denominator = q.get_den();
        if (shift >= 0)
            numerator *= powerOfTenInteger(static_cast<unsigned>(shift));
        else
            denominator *= powerOfTenInteger(static_cast<unsigned>(-shift));
        mpz_fdiv_qr(whole.get_mpz_t(), rest.get_mpz_t(), numerator.get_mpz_t(), denominator.get_mpz_t());
        if (whole < low)
            --exponent;
        else if (whole >= high)
            ++exponent;
        else
            break;
    }
    r.digits = whole.get_str();
    r.exponent = exponent;
    rest *= 2;
    if (cmp(rest, denominator) >= 0)
        increment(r);
    return r;
}

double NearestDouble(const Rational &q) { return NearestQuotient(q.get_num(), q.get_den()); }

double NearestQuotient(const mpz_class &numerator, const mpz_class &denominator)
{
    // Numerator and denominator exact as doubles: their quotient is rounded
    // once, to the nearest, by the division itself.
    if (mpz_sizeinbase(numerator.get_mpz_t(), 2) <= 53 && mpz_sizeinbase(denominator.get_mpz_t(), 2) <= 53)
        return mpz_get_d(numerator.get_mpz_t()) / mpz_get_d(denominator.get_mpz_t());
    // Otherwise the quotient's leading 55 or 56 bits and whether anything
    // follows them, rounded once to the bits a double keeps there (fewer
    // below its normal range): to the nearest, a tie to the even one.
    const bool negative = sgn(numerator) * sgn(denominator) < 0;
    thread_local mpz_class n, d, q, rest, kept;
    mpz_abs(n.get_mpz_t(), numerator.get_mpz_t());
    mpz_abs(d.get_mpz_t(), denominator.get_mpz_t());
    if (sgn(n) == 0)
        return 0.0;
    // 2^(e − 1) < n/d < 2^(e + 1)
    const long e = static_cast<long>(mpz_sizeinbase(n.get_mpz_t(), 2)) -
                   static_cast<long>(mpz_sizeinbase(d.get_mpz_t(), 2));
    if (e > 1100)
        throw FloatingPointError(kResultTooLarge);
    if (e < -1100)
        return negative ? -0.0 : 0.0;
    const long shift = 55 - e; // n·2^shift/d lies in [2^54, 2^56)
    if (shift >= 0)
        mpz_mul_2exp(n.get_mpz_t(), n.get_mpz_t(), static_cast<mp_bitcnt_t>(shift));
    else
        mpz_mul_2exp(d.get_mpz_t(), d.get_mpz_t(), static_cast<mp_bitcnt_t>(-shift));
    mpz_fdiv_qr(q.get_mpz_t(), rest.get_mpz_t(), n.get_mpz_t(), d.get_mpz_t());
    const long bits = static_cast<long>(mpz_sizeinbase(q.get_mpz_t(), 2));
    const long leading = bits - 1 - shift; // the value lies in [2^leading, 2^(leading + 1))
    const long keep = leading >= -1022 ? 53 : 53 - (-1022 - leading);
    const long drop = bits - keep; // at least 2
    mpz_fdiv_q_2exp(kept.get_mpz_t(), q.get_mpz_t(), static_cast<mp_bitcnt_t>(drop));
    const bool half = mpz_tstbit(q.get_mpz_t(), static_cast<mp_bitcnt_t>(drop - 1)) != 0;
    const bool beyondHalf =
        sgn(rest) != 0 || static_cast<long>(mpz_scan1(q.get_mpz_t(), 0)) < drop - 1;
    if (half && (beyondHalf || mpz_odd_p(kept.get_mpz_t())))
        ++kept;
    const double magnitude = std::ldexp(mpz_get_d(kept.get_mpz_t()), static_cast<int>(drop - shift));
    if (!std::isfinite(magnitude))
        throw FloatingPointError(kResultTooLarge);
    return negative ? -magnitude : magnitude;
}

Rational DecimalOf(double value)
{
    if (!std::isfinite(value))
        throw FloatingPointError(std::isnan(value) ? kInvalidOperation : kOverflow);
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const std::string_view s(text, static_cast<size_t>(written.ptr - text));
    const size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;
    // d.ddd e±x: the digits after the point shift the exponent.
    int exponent = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exponent);
    exponent -= static_cast<int>(digits.size()) - 1;
    Rational result = Rational(mpz_class(digits)) * powerOfTen(exponent);
    result.canonicalize();
    return value < 0 ? Rational(-result) : result;
}

void ReleaseThreadConstants() { mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); }

} // namespace stats
