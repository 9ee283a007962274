// Sets of numbers as bit masks, and the counting and walking of them: the
// binomial coefficients, the next set of the same size in increasing order
// of its mask (Gosper's step), and the set of a given rank in that order.
// Nothing here allocates, so that the checker's loops can run them by the
// billion.
#pragma once

#include <bit>
#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>
#include <limits>

namespace fortelle::wheels {

using Mask = std::uint64_t;
// Draws of a drum of more than 64 numbers (SuperEnalotto's 90).
__extension__ using WideMask = unsigned __int128;

using BigInt = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;

namespace detail {
inline constexpr int kChooseRows = 129;
struct ChooseTable {
    std::uint64_t c[kChooseRows][kChooseRows] = {};
};
constexpr ChooseTable MakeChooseTable()
{
    constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    ChooseTable t;
    for (int n = 0; n < kChooseRows; ++n) {
        t.c[n][0] = 1;
        for (int r = 1; r <= n; ++r) {
            const std::uint64_t a = t.c[n - 1][r - 1], b = r < n ? t.c[n - 1][r] : 0;
            t.c[n][r] = a > top - b ? top : a + b;
        }
    }
    return t;
}
inline constexpr ChooseTable kChoose = MakeChooseTable();
} // namespace detail

// C(n, r) for 0 <= n <= 128; 0 when r < 0 or r > n; the largest uint64
// when the value does not fit.
inline std::uint64_t Choose(int n, int r)
{
    if (r < 0 || r > n || n < 0 || n >= detail::kChooseRows) return 0;
    return detail::kChoose.c[n][r];
}
BigInt BigChoose(int n, int r);

inline int PopCount(Mask m) { return std::popcount(m); }
inline int PopCount(WideMask m)
{
    return std::popcount(static_cast<std::uint64_t>(m)) + std::popcount(static_cast<std::uint64_t>(m >> 64));
}

inline int LowestBit(Mask m) { return std::countr_zero(m); }
inline int LowestBit(WideMask m)
{
    const auto low = static_cast<std::uint64_t>(m);
    return low != 0 ? std::countr_zero(low) : 64 + std::countr_zero(static_cast<std::uint64_t>(m >> 64));
}

// The next mask with as many bits set, in increasing order. Not for the
// last one of its width (its successor would need a wider mask).
template <typename M>
M NextCombination(M x)
{
    const M lowest = x & (~x + 1);
    const M ripple = x + lowest;
    return ripple | (((x ^ ripple) >> 2) >> LowestBit(x));
}

// The mask with `bits` bits set that comes `rank` places after the first
// (the lowest bits) in increasing order: the combinatorial number system,
// rank = sum of C(position, i) over the set's positions, the i-th lowest
// counted from 1.
template <typename M>
M UnrankCombination(std::uint64_t rank, int bits)
{
    M m = 0;
    for (int i = bits; i >= 1; --i) {
        int p = i - 1;
        while (Choose(p + 1, i) <= rank) ++p;
        m |= M{1} << p;
        rank -= Choose(p, i);
    }
    return m;
}

// The rank of a set among the sets of its size (the inverse of the above).
inline std::uint64_t RankCombination(Mask m)
{
    std::uint64_t rank = 0;
    for (int i = 1; m != 0; ++i, m &= m - 1) rank += Choose(std::countr_zero(m), i);
    return rank;
}

} // namespace fortelle::wheels
