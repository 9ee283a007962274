#include "racing/figures.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "games/ticket_value.h"
#include "shell/print_style.h"

namespace fortelle::racing {
namespace {

BigInt PowerOfTen(int n) { return boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(n)); }

// |x| * 10^places rounded to a whole number, ties to even.
BigInt ScaledRounded(const Rational& x, int places)
{
    const Rational scaled = Rational(abs(x)) * PowerOfTen(places);
    BigInt q = numerator(scaled) / denominator(scaled);
    const Rational rest = scaled - q;
    if (rest > Rational(1, 2) || (rest == Rational(1, 2) && (q & 1) != 0)) ++q;
    return q;
}

Rational ValueOf(const Chance& p) { return p.exact ? *p.exact : RationalOf(p.value); }

// The most decimal places a figure known to within `error` can show with
// every digit right (a negative count rounds to tens, hundreds, ...).
int PlacesVouchedFor(double error)
{
    if (error <= 0) return 40;
    return static_cast<int>(std::floor(-std::log10(2 * error)));
}

// Fewer places while the ends of [x - half, x + half] would round apart:
// a figure near a rounding boundary shows only the digits both ends share.
int Settled(const Rational& x, double half, int places)
{
    const Rational h = RationalOf(half);
    while (places > 0 && Fixed(x - h, places) != Fixed(x + h, places)) --places;
    return places;
}

} // namespace

Chance& Chance::operator+=(const Chance& other)
{
    value += other.value;
    error += other.error;
    if (exact && other.exact) {
        *exact += *other.exact;
    } else {
        exact.reset();
    }
    return *this;
}

std::string Article(std::string_view word)
{
    return !word.empty() && std::string_view("aeiouAEIOU").find(word.front()) != std::string_view::npos ? "An" : "A";
}

std::string Fixed(const Rational& x, int places)
{
    std::string digits = ScaledRounded(x, places).str();
    if (places > 0) {
        if (digits.size() <= static_cast<std::size_t>(places))
            digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
        const std::size_t point = digits.size() - static_cast<std::size_t>(places);
        digits = Grouped(digits.substr(0, point)) + "." + digits.substr(point);
    } else {
        digits = Grouped(digits);
    }
    const bool zero = digits.find_first_not_of("0.,") == std::string::npos;
    return (x < 0 && !zero ? "-" : "") + digits;
}

std::string Money(const Rational& x) { return Fixed(x, 2); }

std::string Percent(const Chance& p)
{
    const Rational percent = ValueOf(p) * 100;
    int places = 2;
    const double v = percent.convert_to<double>();
    // Below 1 %, two significant digits.
    if (v > 0) places = std::max(2, static_cast<int>(std::ceil(-std::log10(v))) + 2);
    if (!p.exact)
        places = Settled(percent, p.error * 100, std::min(places, std::max(0, PlacesVouchedFor(p.error * 100))));
    return Fixed(percent, places) + " %";
}

std::string OneIn(const Chance& p)
{
    const Rational v = ValueOf(p);
    if (v <= 0) return "never";
    const Rational x = 1 / v;
    if (p.exact) return "1 in " + Fixed(x, 2);
    // 1/p moves by at most error / (p (p - error)) as p moves by error.
    const double xError = p.error / (p.value * (p.value > 2 * p.error ? p.value - p.error : p.value));
    const int places = std::min(2, PlacesVouchedFor(xError));
    if (places >= 0) return "1 in " + Fixed(x, Settled(x, xError, places));
    const BigInt unit = PowerOfTen(-places);
    return "1 in " + Fixed(Rational(ScaledRounded(x / unit, 0) * unit), 0);
}

std::string Decimal(const Rational& r)
{
    for (int places = 0; places <= 30; ++places) {
        if (denominator(Rational(r * PowerOfTen(places))) == 1) return Fixed(r, places);
    }
    return FractionOf(r);
}

std::string FractionOf(const Rational& r)
{
    if (denominator(r) == 1) return numerator(r).str();
    return numerator(r).str() + "/" + denominator(r).str();
}

Json ExactJson(const Rational& r)
{
    if (denominator(r) == 1 && numerator(r) >= std::numeric_limits<std::int64_t>::min() &&
        numerator(r) <= std::numeric_limits<std::int64_t>::max()) {
        return numerator(r).convert_to<std::int64_t>();
    }
    return numerator(r).str() + "/" + denominator(r).str();
}

Json ChanceJson(const Chance& p)
{
    Json j;
    if (p.exact) {
        j["exact"] = numerator(*p.exact).str() + "/" + denominator(*p.exact).str();
    } else {
        j["value"] = p.value;
        j["error"] = p.error;
    }
    return j;
}

std::optional<Rational> PlainNumber(std::string_view text)
{
    if (text.empty() || text.size() > 40 || text.find(',') != std::string_view::npos) return std::nullopt;
    return ParseDecimal(text);
}

std::vector<std::string> Wrapped(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::string Bound(double error)
{
    if (!(error > 0)) return "0";
    int exponent = static_cast<int>(std::floor(std::log10(error)));
    auto tenths = static_cast<long>(std::ceil(error / std::pow(10.0, exponent) * 10 - 1e-9));
    if (tenths >= 100) {
        tenths = (tenths + 9) / 10;
        ++exponent;
    }
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "E" + std::to_string(exponent);
}

std::string Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace fortelle::racing
