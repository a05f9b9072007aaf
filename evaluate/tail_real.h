#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>

namespace tolvane::detail {

// The number the statistics' tails are computed in: a 64-bit significand, as the x87 long
// double Boost.Math would otherwise promote a double to, but done in integer arithmetic.
// exp, log and pow of the C library round differently from one libm to the next (glibc with
// and without FMA, the browser build's), and the tails' last digits with them; in software
// every build and every processor gives the same bits.
using TailReal = boost::multiprecision::number<
    boost::multiprecision::cpp_bin_float<64, boost::multiprecision::digit_base_2>,
    boost::multiprecision::et_off>;

}  // namespace tolvane::detail
