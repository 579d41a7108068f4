#pragma once
// Boost.Math warms some of its functions up before main, at every start of
// the program: for 50-digit numbers zeta(5) (reached through lgamma) and a
// few inverse error functions, about two thirds of a headless command's
// time. The warm-ups only initialise function statics early; those are
// initialised on first use anyway, safely between threads, as Boost itself
// relies on for numbers whose precision is set at run time. They are
// skipped for the 50-digit numbers. Included before any Boost.Math function
// is used on them, in every file that uses one.
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/zeta.hpp>
#include <boost/multiprecision/mpfr.hpp>

namespace boost::math::detail {

template <class Policy, class Tag>
struct zeta_initializer<boost::multiprecision::mpfr_float_50, Policy, Tag> {
    static void force_instantiate() {}
};

template <class Policy>
struct erf_inv_initializer<boost::multiprecision::mpfr_float_50, Policy> {
    static void force_instantiate() {}
};

} // namespace boost::math::detail
