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
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>
#include <stdexcept>
#include <string_view>

namespace stats {

// A figure's exact value in one of its forms, and its nearest double.
struct Real::Exact {
    // A rational in lowest terms.
    struct Ratio {
        Rational value;
    };
    // numerator / denominator as it was built: not in lowest terms, so only
    // its numerator and denominator are read, until it is first needed as a
    // rational.
    struct Fraction {
        explicit Fraction(Rational q) : quotient(std::move(q)) {}
        Rational quotient;
        mutable std::once_flag reducing;
        mutable std::unique_ptr<Rational> reduced;
        const Rational &value() const
        {
            std::call_once(reducing, [this] {
                reduced = std::make_unique<Rational>(quotient);
                reduced->canonicalize();
            });
            return *reduced;
        }
    };
    // a + b·√c with b ≠ 0 and c > 0 not the square of a rational. b and c
    // apart: a rational allocates none of it, and the figure stays small
    // enough for the allocator's quickest lists.
    struct Surd {
        struct Root {
            Rational b, c;
        };
        Rational a;
        std::unique_ptr<const Root> root;
    };
    // P(F(df1, df2) ≥ f), f > 0.
    struct Tail {
        Rational f;
        int df1 = 0, df2 = 0;
    };
    // A value known to 50 digits, as the binary number that carries them.
    struct Approximation {
        Rational value;
    };

    template <class Form, class... Parts>
    explicit Exact(std::in_place_type_t<Form> form, Parts &&...parts) : form(form, std::forward<Parts>(parts)...)
    {
    }

    std::variant<Ratio, Fraction, Surd, Tail, Approximation> form;
    // The nearest double: at once for a probability, at its first use for
    // the others (most figures are only printed). NaN until known; two
    // threads that both compute it store the same value.
    mutable std::atomic<double> nearest{std::numeric_limits<double>::quiet_NaN()};
};
// With its shared count, within the allocator's quick lists (chunks of up to 128 bytes).
static_assert(sizeof(Real::Exact) <= 96);

namespace {

int sgn(const Rational &q) { return ::sgn(q); }
int sgn(int comparison) { return (comparison > 0) - (comparison < 0); }

using Exact = Real::Exact;

// Zero holds no value at all.
struct Zero {};

// One lambda for each case of a visit.
template <class... Case>
struct Cases : Case... {
    using Case::operator()...;
};
template <class... Case>
Cases(Case...) -> Cases<Case...>;

// The form of a figure visited, zero included: every case must be handled.
template <class... Case>
decltype(auto) visitForm(const Exact *exact, Case &&...cases)
{
    const Cases<std::decay_t<Case>...> visitor{std::forward<Case>(cases)...};
    return exact ? std::visit(visitor, exact->form) : visitor(Zero{});
}

template <class Form, class... Parts>
std::shared_ptr<const Exact> make(Parts &&...parts)
{
    // An aggregate is built with braces and moved in: not every compiler
    // builds one from parentheses (clang before 16, for make fuzz).
    if constexpr (std::is_aggregate_v<Form>)
        return std::make_shared<const Exact>(std::in_place_type<Form>, Form{std::forward<Parts>(parts)...});
    else
        return std::make_shared<const Exact>(std::in_place_type<Form>, std::forward<Parts>(parts)...);
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
void approximateSurd(const Exact::Surd &s, Fifty &out)
{
    thread_local Fifty root;
    const Rational &a = s.a, &b = s.root->b, &c = s.root->c;
    const mpfr_ptr r = MpfrOf(root);
    mpfr_set_q(r, c.get_mpq_t(), MPFR_RNDN);
    mpfr_sqrt(r, r, MPFR_RNDN);
    mpfr_mul_q(r, r, b.get_mpq_t(), MPFR_RNDN); // b·√c
    if (sgn(a) == 0 || sgn(a) == sgn(b)) {
        mpfr_add_q(MpfrOf(out), r, a.get_mpq_t(), MPFR_RNDN);
        return;
    }
    const Rational numerator = a * a - b * b * c;
    mpfr_sub_q(r, r, a.get_mpq_t(), MPFR_RNDN); // b·√c − a
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


double surdDouble(const Exact::Surd &s)
{
    thread_local Fifty v;
    approximateSurd(s, v);
    return checkedDouble(v);
}

// log2 of the largest a double would hold of the figure, to within one.
long magnitudeBits(const Exact::Surd &s)
{
    return std::max(magnitudeBits(s.a), magnitudeBits(s.root->b) + (magnitudeBits(s.root->c) + 1) / 2);
}

// The exact value of a figure that is a rational; null for any other.
const Rational *rationalOf(const Exact *exact)
{
    static const Rational zero;
    return visitForm(
        exact, [](Zero) { return &zero; }, [](const Exact::Ratio &r) { return &r.value; },
        [](const Exact::Fraction &f) { return &f.value(); },
        [](const Exact::Surd &) -> const Rational * { return nullptr; },
        [](const Exact::Tail &) -> const Rational * { return nullptr; },
        [](const Exact::Approximation &) -> const Rational * { return nullptr; });
}

} // namespace

Real::Real(const Rational &q) : Real(Rational(q)) {}

Real::Real(Rational &&q) : Real(sgn(q) == 0 ? nullptr : make<Exact::Ratio>(std::move(q))) {}

Real Real::Fraction(const mpz_class &numerator, const mpz_class &denominator)
{
    if (sgn(denominator) == 0)
        throw FloatingPointError(kDivisionByZero);
    if (sgn(numerator) == 0)
        return Real();
    Rational quotient;
    quotient.get_num() = numerator;
    quotient.get_den() = denominator;
    if (sgn(denominator) < 0) {
        mpz_neg(quotient.get_num_mpz_t(), quotient.get_num_mpz_t());
        mpz_neg(quotient.get_den_mpz_t(), quotient.get_den_mpz_t());
    }
    return Real(make<Exact::Fraction>(std::move(quotient)));
}

Real::Real(std::shared_ptr<const Exact> exact) : exact_(std::move(exact))
{
    // A figure beyond the range of a double is refused here and now; the
    // others get their double when first needed.
    const bool perhapsTooLarge = visitForm(
        exact_.get(), [](Zero) { return false; }, [](const Exact::Ratio &r) { return magnitudeBits(r.value) > 1000; },
        [](const Exact::Fraction &f) { return magnitudeBits(f.quotient) > 1000; },
        [](const Exact::Surd &s) { return magnitudeBits(s) > 1000; },
        [this](const Exact::Tail &t) {
            exact_->nearest.store(FUpperTailDouble(t.f, t.df1, t.df2), std::memory_order_relaxed);
            return false;
        },
        [](const Exact::Approximation &) { return true; });
    if (perhapsTooLarge)
        toDouble();
}

double Real::toDouble() const
{
    if (!exact_)
        return 0.0;
    double nearest = exact_->nearest.load(std::memory_order_relaxed);
    if (std::isnan(nearest)) {
        nearest = std::visit(
            Cases{[](const Exact::Ratio &r) { return NearestDouble(r.value); },
                  [](const Exact::Fraction &f) { return NearestDouble(f.quotient); },
                  [](const Exact::Surd &s) { return surdDouble(s); },
                  [](const Exact::Tail &t) { return FUpperTailDouble(t.f, t.df1, t.df2); },
                  [](const Exact::Approximation &a) { return NearestDouble(a.value); }},
            exact_->form);
        exact_->nearest.store(nearest, std::memory_order_relaxed);
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
    return Real(make<Exact::Surd>(std::move(a), std::make_unique<const Exact::Surd::Root>(
                                                    Exact::Surd::Root{std::move(b), std::move(c)})));
}

Real Real::FUpperTail(const Rational &f, int df1, int df2)
{
    if (df1 < 1 || df2 < 1)
        throw FloatingPointError(kInvalidOperation);
    if (sgn(f) <= 0)
        return Real(1);
    return Real(make<Exact::Tail>(f, df1, df2));
}

Real Real::Approximation(const Rational &value)
{
    if (sgn(value) == 0)
        return Real();
    return Real(make<Exact::Approximation>(value));
}

Rational Real::approximation() const
{
    return visitForm(
        exact_.get(), [](Zero) { return Rational(); }, [](const Exact::Ratio &r) { return r.value; },
        [](const Exact::Fraction &f) { return f.value(); },
        [](const Exact::Surd &s) {
            Fifty v;
            approximateSurd(s, v);
            return RationalOf(v);
        },
        [](const Exact::Tail &t) { return RationalOf(FUpperTailPrecise(t.f, t.df1, t.df2)); },
        [](const Exact::Approximation &a) { return a.value; });
}

bool Real::isRational() const { return rationalOf(exact_.get()) != nullptr; }

const Rational &Real::rational() const
{
    const Rational *value = rationalOf(exact_.get());
    if (!value)
        throw std::logic_error("Real::rational on an irrational value");
    return *value;
}

int Real::sign() const
{
    return visitForm(
        exact_.get(), [](Zero) { return 0; }, [](const Exact::Ratio &r) { return sgn(r.value); },
        [](const Exact::Fraction &f) { return sgn(f.quotient); }, // its denominator is positive
        [this](const Exact::Surd &) { return compare(Rational(0)); }, [](const Exact::Tail &) { return 1; },
        [](const Exact::Approximation &a) { return sgn(a.value); });
}

int Real::compare(const Rational &q) const
{
    return visitForm(
        exact_.get(), [&q](Zero) { return -sgn(q); }, [&q](const Exact::Ratio &r) { return sgn(cmp(r.value, q)); },
        [&q](const Exact::Fraction &f) { return sgn(cmp(f.value(), q)); },
        [&q](const Exact::Surd &s) {
            // b·√c against d = q − a, both sides' signs first, then their squares.
            const Rational &b = s.root->b, &c = s.root->c;
            const Rational d = q - s.a;
            const Rational squareRoot = b * b * c, squareD = d * d;
            if (sgn(b) > 0)
                return sgn(d) <= 0 ? 1 : sgn(cmp(squareRoot, squareD));
            return sgn(d) >= 0 ? -1 : sgn(cmp(squareD, squareRoot));
        },
        [this, &q](const Exact::Tail &t) {
            const double limit = NearestDouble(q), approximate = exact_->nearest.load(std::memory_order_relaxed);
            if (std::fabs(approximate - limit) > 1e-9 * std::max(std::fabs(approximate), std::fabs(limit)))
                return approximate < limit ? -1 : 1;
            Fifty difference = FUpperTailPrecise(t.f, t.df1, t.df2);
            mpfr_sub_q(MpfrOf(difference), MpfrOf(difference), q.get_mpq_t(), MPFR_RNDN);
            using boost::multiprecision::abs; // not Real::abs
            if (abs(difference) <= abs(FiftyOf(q) * 1e-45))
                return 0;
            return difference < 0 ? -1 : 1;
        },
        // An approximation is compared as the binary number that carries its digits.
        [&q](const Exact::Approximation &a) { return sgn(cmp(a.value, q)); });
}

Real Real::operator-() const { return times(Rational(-1)); }

Real Real::plus(const Rational &q) const
{
    return visitForm(
        exact_.get(), [&q](Zero) { return Real(q); },
        [&q](const Exact::Ratio &r) { return Real(Rational(r.value + q)); },
        [&q](const Exact::Fraction &f) { return Real(Rational(f.value() + q)); },
        [&q](const Exact::Surd &s) { return Surd(s.a + q, s.root->b, s.root->c); },
        // A probability moved is known to its fifty digits.
        [&q](const Exact::Tail &t) { return Approximation(RationalOf(FUpperTailPrecise(t.f, t.df1, t.df2)) + q); },
        [&q](const Exact::Approximation &a) { return Approximation(Rational(a.value + q)); });
}

Real Real::times(const Rational &q) const
{
    return visitForm(
        exact_.get(), [](Zero) { return Real(); }, [&q](const Exact::Ratio &r) { return Real(Rational(r.value * q)); },
        [&q](const Exact::Fraction &f) { return Real(Rational(f.value() * q)); },
        [&q](const Exact::Surd &s) { return Surd(s.a * q, s.root->b * q, s.root->c); },
        // A probability scaled is known to its fifty digits.
        [&q](const Exact::Tail &t) { return Approximation(RationalOf(FUpperTailPrecise(t.f, t.df1, t.df2)) * q); },
        [&q](const Exact::Approximation &a) { return Approximation(Rational(a.value * q)); });
}

RoundedDigits Real::rounded(int digits) const
{
    digits = std::max(digits, 1);
    // A rational rounded from its double where that decides, from its
    // numerator and denominator otherwise.
    const auto roundRational = [this, digits](const Rational &q) {
        if (const auto quick = roundQuickly(toDouble(), digits))
            return *quick;
        return RoundRational(q, digits);
    };
    return visitForm(
        exact_.get(), [](Zero) { return RoundedDigits(); },
        [&](const Exact::Ratio &r) { return roundRational(r.value); },
        [&](const Exact::Fraction &f) { return roundRational(f.quotient); },
        [&](const Exact::Surd &s) {
            if (const auto quick = roundQuickly(quickSurd(s.a, s.root->b, s.root->c), digits))
                return *quick;
            thread_local Fifty v;
            approximateSurd(s, v);
            bool nearHalf = false;
            RoundedDigits r = roundApproximation(v, digits, 1e-12, nearHalf);
            if (nearHalf && abs().compare(halfAfter(r)) >= 0)
                increment(r);
            return r;
        },
        [&](const Exact::Tail &t) {
            // The double is good to about fourteen digits; on a half, fifty.
            bool nearHalf = false;
            RoundedDigits r = roundApproximation(Fifty(exact_->nearest.load(std::memory_order_relaxed)), digits,
                                                 1e-5, nearHalf);
            if (!nearHalf)
                return r;
            r = roundApproximation(FUpperTailPrecise(t.f, t.df1, t.df2), digits, 1e-13, nearHalf);
            if (nearHalf) // on the half to fifty digits: it is the half
                increment(r);
            return r;
        },
        [&](const Exact::Approximation &a) { return roundRational(a.value); });
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
