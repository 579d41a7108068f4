#pragma once
// The few floating-point operations that can fault. Expressions are evaluated
// in extended precision (long double); every named quantity is stored as a
// double through store(). A fault never turns into an infinity or a NaN: it
// throws, and the command that met it is abandoned.
#include "stats/errors.h"

#include <cmath>

namespace stats::checked {

// Rounds an extended value to the double that names it; overflow is a fault.
// (A value beyond the double range rounds to an infinity here.)
inline double store(long double v)
{
    const double d = static_cast<double>(v);
    if (__builtin_expect(!std::isfinite(d), 0))
        throw FloatingPointError(std::isnan(d) ? kInvalidOperation : kOverflow);
    return d;
}

inline long double finite(long double v)
{
    if (__builtin_expect(!std::isfinite(v), 0))
        throw FloatingPointError(std::isnan(v) ? kInvalidOperation : kOverflow);
    return v;
}

inline long double div(long double a, long double b)
{
    if (b == 0.0L)
        throw FloatingPointError(a == 0.0L ? kInvalidOperation : kDivisionByZero);
    return finite(a / b);
}

inline long double sqrt(long double a)
{
    if (a < 0.0L)
        throw FloatingPointError(kInvalidOperation);
    return std::sqrt(a);
}

// Natural logarithm: of zero a division by zero, of a negative number invalid.
inline long double ln(long double a)
{
    if (a == 0.0L)
        throw FloatingPointError(kDivisionByZero);
    if (a < 0.0L)
        throw FloatingPointError(kInvalidOperation);
    return std::log(a);
}

inline long double exp(long double a)
{
    return finite(std::exp(a));
}

// base^exponent computed as e^(exponent * ln base), also for whole exponents.
inline long double power(long double base, long double exponent)
{
    return exp(exponent * ln(base));
}

} // namespace stats::checked
