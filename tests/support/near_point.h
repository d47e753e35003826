// SPDX-License-Identifier: MIT
// Points compared within a tolerance, x and y at once, for any record with
// x and y: EXPECT_TRUE(near_point(got, {1, 2}, 1e-6)). As EXPECT_NEAR, a
// coordinate further than the tolerance, or NaN, is not near; the failure
// names the whole points, and for a list every point that is not near.
#ifndef ZELVO_TESTS_NEAR_POINT_H
#define ZELVO_TESTS_NEAR_POINT_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

template <class P>
::testing::AssertionResult near_point(const P &got, const std::type_identity_t<P> &want,
                                      double tolerance)
{
    if (std::fabs(got.x - want.x) <= tolerance && std::fabs(got.y - want.y) <= tolerance)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    out.precision(std::numeric_limits<double>::max_digits10);
    out << "(" << got.x << ", " << got.y << ") is not within " << tolerance << " of (" << want.x
        << ", " << want.y << ")";
    return ::testing::AssertionFailure() << out.str();
}

// As many points as `want`, each near the point of `want` at its place.
template <class P>
::testing::AssertionResult near_points(const std::vector<P> &got,
                                       const std::vector<std::type_identity_t<P>> &want,
                                       double tolerance)
{
    if (got.size() != want.size())
        return ::testing::AssertionFailure()
               << got.size() << " points where " << want.size() << " were expected";
    std::string far;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const ::testing::AssertionResult near = near_point(got[i], want[i], tolerance);
        if (!near)
            far += "\n  point " + std::to_string(i) + ": " + near.message();
    }
    if (far.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "points not near:" << far;
}

#endif
