#include "wheels/combinatorics.h"

#include <algorithm>

namespace fortelle::wheels {

BigInt BigChoose(int n, int r)
{
    if (r < 0 || n < 0 || r > n) return 0;
    r = std::min(r, n - r);
    BigInt c = 1;
    for (int i = 0; i < r; ++i) {
        c *= n - i;
        c /= i + 1;
    }
    return c;
}

} // namespace fortelle::wheels
