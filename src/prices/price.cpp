#include "prices/price.h"

#include <nlohmann/json.hpp>

namespace fortelle::prices {
namespace {

// Fractional odds are written with terms of at most this size.
constexpr int kMostFractionTerm = 1000;

constexpr std::string_view kForms = "write it as 2.10, 11/10, 6-4, evens, +110, -110 or 47.6%, with at most 15 digits";

// A number of a price: an unsigned decimal whose reduced fraction has terms
// below 10^15. More digits mean nothing in a price, and would only make the
// exact sums of a long market slow.
std::optional<Rational> Number(std::string_view text)
{
    static const BigInt kLimit = boost::multiprecision::pow(BigInt(10), 15);
    auto value = ParseUnsignedDecimal(text);
    if (value && (numerator(*value) >= kLimit || denominator(*value) >= kLimit)) return std::nullopt;
    return value;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

PriceReading Refused(PriceFormat format, std::string text)
{
    PriceReading r;
    r.format = format;
    r.problem = std::move(text);
    return r;
}

PriceReading Fine(PriceFormat format, Rational decimal)
{
    PriceReading r;
    r.format = format;
    r.decimal = std::move(decimal);
    return r;
}

// The closest fraction to x > 0 with a denominator of at most `most`, from
// the continued fraction of x: the last convergent within the bound, or the
// semiconvergent past it when that is closer.
Rational Closest(const Rational& x, const BigInt& most)
{
    BigInt p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    BigInt n = numerator(x), d = denominator(x);
    while (d != 0) {
        const BigInt a = n / d;
        const BigInt p2 = a * p1 + p0, q2 = a * q1 + q0;
        if (q2 > most) {
            const BigInt k = (most - q0) / q1;
            const Rational semi(k * p1 + p0, k * q1 + q0), conv(p1, q1);
            const Rational ds = semi > x ? Rational(semi - x) : Rational(x - semi);
            const Rational dc = conv > x ? Rational(conv - x) : Rational(x - conv);
            return ds < dc ? semi : conv;
        }
        p0 = p1;
        q0 = q1;
        p1 = p2;
        q1 = q2;
        const BigInt rest = n - a * d;
        n = d;
        d = rest;
    }
    return Rational(p1, q1);
}

std::string Signed(const BigInt& whole) { return (whole < 0 ? "-" : "+") + Fixed(Rational(abs(whole)), 0); }

} // namespace

std::string_view FormatName(PriceFormat f)
{
    switch (f) {
    case PriceFormat::Decimal: return "decimal";
    case PriceFormat::Fractional: return "fractional";
    case PriceFormat::American: return "american";
    case PriceFormat::Implied: return "implied";
    }
    return {};
}

std::string_view FormatTitle(PriceFormat f)
{
    switch (f) {
    case PriceFormat::American: return "American";
    case PriceFormat::Implied: return "implied chance";
    default: return FormatName(f);
    }
}

std::optional<PriceFormat> FormatNamed(std::string_view name)
{
    for (const PriceFormat f :
         {PriceFormat::Decimal, PriceFormat::Fractional, PriceFormat::American, PriceFormat::Implied}) {
        if (name == FormatName(f)) return f;
    }
    return std::nullopt;
}

PriceReading ReadPrice(std::string_view typed)
{
    const std::string_view text = Trimmed(typed);
    if (text.empty()) return Refused(PriceFormat::Decimal, "Give a price: " + std::string(kForms) + ".");
    const std::string lower = Lower(text);
    if (lower == "evens" || lower == "even" || lower == "evs" || lower == "evn") {
        return Fine(PriceFormat::Fractional, Rational(2));
    }
    const std::string notPrice = Quoted(text) + " is not a price: " + std::string(kForms) + ".";
    if (text.back() == '%') {
        const auto percent = Number(Trimmed(text.substr(0, text.size() - 1)));
        if (!percent) return Refused(PriceFormat::Implied, notPrice);
        if (*percent <= 0 || *percent >= 100) {
            return Refused(PriceFormat::Implied, "The implied chance " + std::string(text) +
                                                     " is not above 0 % and below 100 %, as a price's must be.");
        }
        return Fine(PriceFormat::Implied, 100 / *percent);
    }
    if (text.front() == '+' || text.front() == '-') {
        const auto figure = Number(text.substr(1));
        if (!figure) return Refused(PriceFormat::American, notPrice);
        if (*figure < 100) {
            return Refused(PriceFormat::American,
                           "The American price " + std::string(text) +
                               " lies between -100 and +100, where there are none: +150 wins 150 for 100 "
                               "staked, -110 stakes 110 to win 100.");
        }
        return Fine(PriceFormat::American,
                    text.front() == '+' ? Rational(1 + *figure / 100) : Rational(1 + 100 / *figure));
    }
    if (const auto bar = text.find_first_of("/-"); bar != std::string_view::npos) {
        const auto n = Number(Trimmed(text.substr(0, bar)));
        const auto d = Number(Trimmed(text.substr(bar + 1)));
        if (!n || !d) return Refused(PriceFormat::Fractional, notPrice);
        if (*d == 0) return Refused(PriceFormat::Fractional, "The fraction " + std::string(text) + " divides by 0.");
        if (*n == 0) {
            return Refused(PriceFormat::Fractional,
                           "The fraction " + std::string(text) + " wins nothing: fractional odds must be above 0.");
        }
        return Fine(PriceFormat::Fractional, 1 + *n / *d);
    }
    const auto decimal = Number(text);
    if (!decimal) return Refused(PriceFormat::Decimal, notPrice);
    if (*decimal <= 1) {
        return Refused(PriceFormat::Decimal, "The decimal price " + std::string(text) +
                                                 " is not above 1: a decimal price counts the stake returned, "
                                                 "so 1 wins nothing.");
    }
    return Fine(PriceFormat::Decimal, *decimal);
}

Rational InFormat(const Rational& decimal, PriceFormat format)
{
    switch (format) {
    case PriceFormat::Decimal: return decimal;
    case PriceFormat::Fractional: return decimal - 1;
    case PriceFormat::American: return decimal >= 2 ? Rational(100 * (decimal - 1)) : Rational(-100 / (decimal - 1));
    case PriceFormat::Implied: return 1 / decimal;
    }
    return decimal;
}

ShownPrice Show(const Rational& decimal, PriceFormat format)
{
    const Rational exact = InFormat(decimal, format);
    ShownPrice s;
    switch (format) {
    case PriceFormat::Decimal:
        s.text = PriceText(decimal);
        s.exact = RoundPlaces(decimal, PricePlaces(decimal)) == decimal;
        break;
    case PriceFormat::Fractional: {
        // Odds-on fractions have the larger term below the line (1/200),
        // odds-against above it (200/1): both stay within the bound.
        const BigInt most = kMostFractionTerm;
        Rational shown = exact;
        if (numerator(exact) > most || denominator(exact) > most) {
            if (exact <= 1) {
                shown = Closest(exact, most);
                if (shown == 0) shown = Rational(1, most);
            } else {
                const Rational inverse = Closest(1 / exact, most);
                shown = inverse == 0 ? Rational(most) : Rational(1 / inverse);
            }
        }
        s.exact = shown == exact;
        s.text = shown == 1 ? std::string("evens") : numerator(shown).str() + "/" + denominator(shown).str();
        break;
    }
    case PriceFormat::American: {
        const Rational whole = RoundPlaces(exact, 0);
        s.exact = whole == exact;
        s.text = Signed(numerator(whole));
        break;
    }
    case PriceFormat::Implied: {
        const int places = PercentPlaces(exact);
        s.exact = RoundPlaces(exact * 100, places) == exact * 100;
        s.text = Percent(exact);
        break;
    }
    }
    return s;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

PriceList ReadPriceList(const std::vector<std::string>& words)
{
    PriceList list;
    if (words.size() > kMostPrices) {
        list.problem = "At most " + Fixed(static_cast<long>(kMostPrices), 0) + " prices, one per outcome, not " +
                       Fixed(static_cast<long>(words.size()), 0) + ".";
        return list;
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        const PriceReading r = ReadPrice(words[i]);
        if (!r.decimal) {
            list.prices.clear();
            list.problem = "Price " + std::to_string(i + 1) + ": " + r.problem;
            return list;
        }
        list.prices.push_back({words[i], r.format, *r.decimal});
    }
    return list;
}

std::vector<Rational> Decimals(const std::vector<Conversion>& prices)
{
    std::vector<Rational> d;
    d.reserve(prices.size());
    for (const Conversion& c : prices) d.push_back(c.decimal);
    return d;
}

std::string ConversionReport(const std::vector<Conversion>& prices)
{
    std::string out;
    for (const Conversion& c : prices) {
        if (!out.empty()) out += "\r\n";
        const ShownPrice dec = Show(c.decimal, PriceFormat::Decimal);
        const ShownPrice frac = Show(c.decimal, PriceFormat::Fractional);
        const ShownPrice us = Show(c.decimal, PriceFormat::American);
        const ShownPrice imp = Show(c.decimal, PriceFormat::Implied);
        out += " " + c.typed + " is " + dec.text + " in decimal, " + frac.text + " fractional, " + us.text +
               " American and an implied chance of " + imp.text + ".\r\n\r\n";
        static constexpr const char* kReadAs[] = {"a decimal price", "a fractional price", "an American price",
                                                  "an implied chance"};
        out += " Read as " + std::string(kReadAs[static_cast<int>(c.format)]) + ".\r\n";
        const struct {
            const char* label;
            PriceFormat format;
            const ShownPrice& shown;
        } rows[] = {{"Decimal        ", PriceFormat::Decimal, dec},
                    {"Fractional     ", PriceFormat::Fractional, frac},
                    {"American       ", PriceFormat::American, us},
                    {"Implied chance ", PriceFormat::Implied, imp}};
        for (const auto& row : rows) {
            std::string text = row.shown.text;
            text.resize(std::max<std::size_t>(text.size(), 12), ' ');
            out += " " + std::string(row.label) + text + " " +
                   (row.shown.exact ? std::string("exact")
                                    : "rounded: exactly " + FractionText(InFormat(c.decimal, row.format))) +
                   "\r\n";
        }
        out += " A winning stake of 100 returns " + Money(100 * c.decimal) + ", a profit of " +
               Money(100 * (c.decimal - 1)) + ".\r\n";
    }
    return out;
}

std::string ConversionJson(const std::vector<Conversion>& prices)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Conversion& c : prices) {
        nlohmann::ordered_json j;
        j["typed"] = c.typed;
        j["read_as"] = FormatName(c.format);
        for (const PriceFormat f :
             {PriceFormat::Decimal, PriceFormat::Fractional, PriceFormat::American, PriceFormat::Implied}) {
            const ShownPrice s = Show(c.decimal, f);
            j[std::string(FormatName(f))] = {
                {"exact", FractionText(InFormat(c.decimal, f))}, {"shown", s.text}, {"shown_is_exact", s.exact}};
        }
        list.push_back(j);
    }
    nlohmann::ordered_json j;
    j["schema"] = "fortelle-price/1";
    j["prices"] = list;
    return j.dump(2) + "\n";
}

} // namespace fortelle::prices
