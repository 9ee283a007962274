#include "prices/numbers.h"

#include <algorithm>

#include "shell/print_style.h"

namespace fortelle::prices {
namespace {

BigInt Pow10(int n) { return boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(n)); }

// Rounds to the nearest whole number, ties to even.
BigInt RoundHalfEven(const Rational& r)
{
    const BigInt& n = numerator(r);
    const BigInt& d = denominator(r); // always positive
    BigInt q = n / d;                 // truncated towards zero
    BigInt rest = n % d;              // the sign of n
    if (rest < 0) {
        q -= 1;
        rest += d;
    }
    // now r = q + rest/d with 0 <= rest < d
    const BigInt twice = 2 * rest;
    if (twice > d || (twice == d && (q & 1) != 0)) q += 1;
    return q;
}

} // namespace

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<Rational> ParseUnsignedDecimal(std::string_view text)
{
    BigInt digits = 0;
    int whole = 0, places = 0, groupRun = -1;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            ++whole;
            if (groupRun >= 0) ++groupRun;
        } else if (c == ',') {
            // Thousands separators: groups of exactly three digits.
            if (whole == 0 || (groupRun >= 0 && groupRun != 3) || (groupRun < 0 && whole > 3)) return std::nullopt;
            groupRun = 0;
        } else {
            break;
        }
    }
    if (groupRun >= 0 && groupRun != 3) return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits = digits * 10 + (text[i] - '0');
            if (++places > 30) return std::nullopt; // beyond any price or chance a person types
        }
    }
    if (i != text.size() || whole + places == 0 || whole > 30) return std::nullopt;
    return Rational(digits, Pow10(places));
}

std::optional<Rational> ParseChance(std::string_view text)
{
    text = Trimmed(text);
    if (!text.empty() && text.back() == '%') {
        const auto percent = ParseUnsignedDecimal(Trimmed(text.substr(0, text.size() - 1)));
        if (!percent) return std::nullopt;
        return *percent / 100;
    }
    if (const auto slash = text.find('/'); slash != std::string_view::npos) {
        const auto n = ParseUnsignedDecimal(Trimmed(text.substr(0, slash)));
        const auto d = ParseUnsignedDecimal(Trimmed(text.substr(slash + 1)));
        if (!n || !d || *d == 0) return std::nullopt;
        return *n / *d;
    }
    return ParseUnsignedDecimal(text);
}

std::string FractionText(const Rational& r) { return numerator(r).str() + "/" + denominator(r).str(); }

Rational RoundPlaces(const Rational& r, int places)
{
    const BigInt scale = Pow10(places);
    return Rational(RoundHalfEven(r * scale), scale);
}

namespace {

std::string Digits(const Rational& r, int places, bool grouped)
{
    BigInt scaled = RoundHalfEven(r * Pow10(places));
    const bool negative = scaled < 0;
    if (negative) scaled = -scaled;
    std::string digits = scaled.str();
    if (digits.size() <= static_cast<std::size_t>(places)) {
        digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
    }
    const std::size_t point = digits.size() - static_cast<std::size_t>(places);
    std::string out = (negative ? "-" : "") + (grouped ? Grouped(digits.substr(0, point)) : digits.substr(0, point));
    if (places > 0) out += "." + digits.substr(point);
    return out;
}

} // namespace

std::string Fixed(const Rational& r, int places) { return Digits(r, places, true); }

std::string PlainDecimal(const Rational& r, int places) { return Digits(r, places, false); }

std::string Significant(const Rational& r, int digits)
{
    const Rational size = r < 0 ? Rational(-r) : r;
    if (size == 0) return "0";
    // The places that leave `digits` digits from the first significant one.
    int places = digits - 1;
    Rational scaled = size;
    while (scaled >= 10) {
        scaled /= 10;
        --places;
    }
    while (scaled < 1) {
        scaled *= 10;
        ++places;
    }
    return Fixed(r, places < 0 ? 0 : places);
}

std::string Columns(const std::vector<std::vector<std::string>>& rows, const std::string& indent)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line = indent;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - row[c].size(), ' ');
            if (c == 0) {
                line += row[c] + pad;
            } else {
                line += "  " + pad + row[c];
            }
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\r\n";
    }
    return out;
}

int PercentPlaces(const Rational& share)
{
    const Rational size = share < 0 ? Rational(-share * 100) : Rational(share * 100);
    if (size == 0 || size >= Rational(1, 10)) return 2;
    // Two significant digits: the places that bring the first digit to the
    // tens' place of the scaled value.
    int places = 2;
    while (size * Pow10(places) < 10) ++places;
    return places;
}

std::string Percent(const Rational& share) { return Fixed(share * 100, PercentPlaces(share)) + " %"; }

std::string Money(const Rational& amount) { return Fixed(amount, 2); }

int PricePlaces(const Rational& decimalPrice)
{
    int places = 2;
    while (decimalPrice > 1 && RoundPlaces(decimalPrice, places) <= 1 && places < 40) ++places;
    return places;
}

std::string PriceText(const Rational& decimalPrice) { return Fixed(decimalPrice, PricePlaces(decimalPrice)); }

Rational ToRational(const Float& x) { return x.convert_to<Rational>(); }

Float ToFloat(const Rational& r) { return Float(numerator(r)) / Float(denominator(r)); }

} // namespace fortelle::prices
