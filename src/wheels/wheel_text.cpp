#include "wheels/wheel_text.h"

#include "games/game_odds.h"
#include "shell/print_style.h"

namespace fortelle::wheels {
namespace {

// x rounded to a whole number, ties to even (x >= 0).
BigInt RoundHalfEven(const Rational& x)
{
    BigInt q = numerator(x) / denominator(x);
    const Rational rest = x - q;
    if (rest > Rational(1, 2) || (rest == Rational(1, 2) && (q & 1) != 0)) ++q;
    return q;
}

} // namespace

std::string Grouped(const BigInt& n)
{
    return n < 0 ? "-" + fortelle::Grouped(BigInt(-n).str()) : fortelle::Grouped(n.str());
}
std::string Grouped(std::uint64_t n) { return fortelle::Grouped(std::to_string(n)); }

std::string Grouped(const Figure15& figure)
{
    const std::string general = GeneralForm(figure);
    const std::string sign = figure.negative ? "-" : "";
    return sign + (general.find('E') == std::string::npos ? fortelle::Grouped(general) : general);
}

std::string OneIn(const Rational& p)
{
    if (p == 0) return "never";
    return "1 in " + Grouped(OneInFigure(p));
}

std::string Percent(const Rational& p)
{
    if (p == 0) return "0 %";
    const Rational x = p * 100;
    if (x >= Rational(1, 200)) {
        const std::string general = GeneralForm(RoundedFigure(x));
        if (p < 1 && general == "100") return "above 99.99 %";
        return fortelle::Grouped(general) + " %";
    }
    // Below 0.005 %: three significant digits, y = x * 10^s in [100, 1000).
    int s = 0;
    Rational y = x;
    while (y < 100) {
        y *= 10;
        ++s;
    }
    BigInt q = RoundHalfEven(y);
    if (q == 1000) {
        q = 100;
        --s;
    }
    std::string digits = q.str();
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return "0." + std::string(static_cast<std::size_t>(s - 3), '0') + digits + " %";
}

std::string Fraction(const Rational& p) { return FractionText(p); }

std::string GuaranteeName(int t, int m) { return std::to_string(t) + " if " + std::to_string(m); }

std::string Count(std::uint64_t n, const std::string& one, const std::string& many)
{
    return Grouped(n) + " " + (n == 1 ? one : many);
}

} // namespace fortelle::wheels
