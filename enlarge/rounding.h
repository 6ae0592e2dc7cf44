// SPDX-License-Identifier: MIT
#pragma once

#include <cfenv>
#include <cmath>

namespace quorvel {

/// `value` rounded to the nearest whole number, halves to the even neighbour
/// (2.5 gives 2, 3.5 gives 4), whatever rounding mode the thread is in.
inline double roundHalfEven(double value) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

} // namespace quorvel
