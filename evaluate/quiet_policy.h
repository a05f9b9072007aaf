#pragma once

#include <boost/math/policies/policy.hpp>

namespace tolvane::detail {

// Boost.Math's error handling for the statistics' tails: a tail that cannot be computed comes
// back as NaN instead of an exception.
using QuietPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

}  // namespace tolvane::detail
