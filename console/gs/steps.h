#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "console/gs/bits.h"

namespace gs {

// The pixel loops step an attribute by one add per pixel, rounding at every add: v1 = v0 + d,
// v2 = v1 + d, ... This finds how many of those values, from v0 on and at most `limit`, are exactly
// v0 + i * delta for one delta, so wide loops can work out any of them without the chain of adds.
//
// While v1, v2, ... stay inside v0's binade, one grid point from either end, each sum is rounded on
// that binade's grid, so each add adds the multiple of the grid spacing q nearest to d; d halfway
// between two multiples is refused. Inside the binade v0 + i * delta is exact. Returns at least 1.
template <typename T>
[[gnu::always_inline]] inline int ExactRun(T v0, T d, int limit, T& delta)
{
    static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>);
    using Bits = std::conditional_t<std::is_same_v<T, float>, std::uint32_t, std::uint64_t>;
    constexpr int kMantissa = std::numeric_limits<T>::digits - 1;
    constexpr Bits kMantissaMask = (Bits{1} << kMantissa) - 1;
    constexpr Bits kExponentMask = (Bits{1} << (sizeof(T) * 8 - 1 - kMantissa)) - 1;
    delta = 0;
    if (d == 0) return limit; // v + 0 is v (or +0 for -0, which every use treats alike)
    const Bits b0 = BitCast<Bits>(v0);
    const Bits exponent = (b0 >> kMantissa) & kExponentMask;
    // Zero, numbers so small that half the grid spacing is not a normal number, infinities and NaN.
    if (exponent <= kMantissa + 1 || exponent == kExponentMask) return 1;
    const T v1 = v0 + d;
    const Bits b1 = BitCast<Bits>(v1);
    const Bits m0 = b0 & kMantissaMask, m1 = b1 & kMantissaMask;
    // v1 has v0's sign and binade and is not at its ends.
    if ((b1 >> kMantissa) != (b0 >> kMantissa) || m1 == 0 || m1 == kMantissaMask) return 1;
    delta = v1 - v0; // exact: both lie in one binade
    const T halfGrid = BitCast<T>((exponent - kMantissa - 1) << kMantissa);
    if (!(std::fabs(d - delta) < halfGrid)) { // d - delta is exact here
        delta = 0;
        return 1;
    }
    // Grid steps per add, and how many more adds keep the mantissa inside [1, max - 1].
    const std::int64_t k = static_cast<std::int64_t>(m1) - static_cast<std::int64_t>(m0);
    if (k == 0) return limit;
    // Mostly the whole span fits, which a product shows without dividing.
    const std::int64_t lastMantissa = static_cast<std::int64_t>(m1) + (limit - 2) * k;
    if (lastMantissa >= 1 && lastMantissa <= static_cast<std::int64_t>(kMantissaMask - 1)) return limit;
    const std::int64_t room = k > 0 ? static_cast<std::int64_t>(kMantissaMask - 1 - m1) / k
                                    : static_cast<std::int64_t>(m1 - 1) / -k;
    return static_cast<int>(std::min<std::int64_t>(limit, 2 + room));
}

} // namespace gs
