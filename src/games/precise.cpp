#include "games/precise.h"

#include "games/game_odds.h"
#include "lottery/exact_figure.h"

namespace fortelle {
namespace {

BigInt PowerOfTen(std::int64_t e) { return boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(e)); }

bool SameFigure(const Figure15& a, const Figure15& b)
{
    return a.negative == b.negative && a.significand == b.significand &&
           (a.significand == 0 || a.exponent == b.exponent);
}

} // namespace

Precise ToPrecise(const Rational& r) { return Precise(numerator(r)) / Precise(denominator(r)); }

double ToDouble(const Rational& r) { return ToPrecise(r).convert_to<double>(); }

Rational ToRational(const Precise& x)
{
    if (x == 0) return 0;
    int exponent = 0;
    const Precise mantissa = frexp(x, &exponent); // x = mantissa 2^exponent, 1/2 <= |mantissa| < 1
    constexpr int kBits = std::numeric_limits<Precise>::digits;
    const BigInt whole = ldexp(mantissa, kBits).convert_to<BigInt>(); // exact: kBits bits
    const int shift = exponent - kBits;
    if (shift >= 0) return Rational(whole << shift);
    return Rational(whole, BigInt(1) << -shift);
}

Rational FigureValue(const Figure15& f)
{
    if (f.significand == 0) return 0;
    int digits = 0;
    for (std::uint64_t s = f.significand; s > 0; s /= 10) ++digits;
    const std::int64_t shift = f.exponent - digits + 1;
    Rational v = shift >= 0 ? Rational(BigInt(f.significand) * PowerOfTen(shift))
                            : Rational(BigInt(f.significand), PowerOfTen(-shift));
    return f.negative ? Rational(-v) : v;
}

Figure15 ProvenFigure(const Precise& approx, const Precise& error, const Rounder& round, const Side& side)
{
    const Figure15 low = round(ToRational(approx * (1 - error)));
    const Figure15 high = round(ToRational(approx * (1 + error)));
    if (SameFigure(low, high)) return low;
    const Rational boundary = (FigureValue(low) + FigureValue(high)) / 2;
    if (const auto s = side ? side(boundary) : std::nullopt) {
        if (*s < 0) return low;
        if (*s > 0) return high;
        return round(boundary);
    }
    return round(ToRational(approx));
}

Figure15 PercentFigure(const Rational& percent)
{
    if (percent >= 1 || percent <= 0) return RoundedFigure(percent);
    // 3 significant digits: scale into [100, 1000), round there.
    std::int64_t e = 0;
    Rational scaled = percent;
    while (scaled < 100) {
        scaled *= 10;
        ++e;
    }
    BigInt q = numerator(scaled) / denominator(scaled);
    const Rational rest = scaled - q;
    if (rest > Rational(1, 2) || (rest == Rational(1, 2) && (q & 1) != 0)) ++q;
    return RatioFigure(q, PowerOfTen(e));
}

std::string PercentText(const Figure15& percent, bool certain)
{
    if (!certain && FigureValue(percent) >= 100) return " above 99.99 %";
    return PrintStyleNumber(percent) + "%";
}

std::string ChancePercent(const Rational& chance) { return PercentText(PercentFigure(chance * 100), chance >= 1); }

} // namespace fortelle
