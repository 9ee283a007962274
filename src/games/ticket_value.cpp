#include "games/ticket_value.h"

#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <nlohmann/json.hpp>

#include "games/named_games.h"
#include "shell/report.h"

namespace fortelle {
namespace {

using OrderedJson = nlohmann::ordered_json;

double ToDouble(const Rational& r) { return r.convert_to<double>(); }

// Beyond this many standard deviations (and a margin for small means) the
// Poisson tail is below what a double can hold next to 1.
double PoissonCeiling(double lambda) { return lambda + 50.0 * std::sqrt(lambda) + 100.0; }

// P(1 <= K <= n) for K Poisson(lambda): from below for a small mean, where
// it is about lambda; from above for a large one, where it is near 1.
double PoissonOneTo(double n, double lambda)
{
    if (n < 1) return 0.0;
    if (lambda < 1.0) return -std::expm1(-lambda) - boost::math::gamma_p(n + 1.0, lambda);
    return boost::math::gamma_q(n + 1.0, lambda) - std::exp(-lambda);
}

struct SharedSolution {
    bool reachable = false;
    double amount = 0;     // the least prize whose expected kept share reaches the target
    double bestAmount = 0; // unreachable: the prize that keeps the most
    double bestKept = 0;
};

// The least prize A whose expected kept share reaches `target`. On the
// stretch T*m < A <= T*(m+1) the shares taxed are those of k <= m - 1 other
// winners, so the kept share is A * c(m) with
//   c(m) = s - rate * P(1 <= K <= m) / lambda,
// and the least A of the first stretch whose top reaches the target is the
// answer. c(m) is s until the Poisson mass arrives and s (1 - rate) once it
// has passed, so only the stretches in between are walked one by one.
SharedSolution SolveShared(double target, double lambda, double rate, std::optional<double> above)
{
    const double s = ExpectedShare(lambda);
    if (!above || rate == 0) return {true, target / s};
    if (*above == 0) {
        if (rate < 1) return {true, target / (s * (1 - rate))};
        return {false, 0, 0, 0};
    }
    const double T = *above;
    const double spread = 50.0 * std::sqrt(lambda) + 100.0;
    const double low = std::floor(std::max(0.0, lambda - spread));
    const double first = std::max(0.0, std::ceil(target / (T * s)) - 1.0);
    if (first <= low) return {true, target / s};

    SharedSolution best{false, 0, T * (low + 1) * s, T * (low + 1) * s};
    best.bestAmount = T * (low + 1);
    double cumulative = PoissonOneTo(low, lambda);
    double m = low + 1;
    double pmf = std::exp(-lambda + m * std::log(lambda) - std::lgamma(m + 1));
    const double ceiling = PoissonCeiling(lambda);
    for (; m <= ceiling; m += 1) {
        cumulative += pmf;
        pmf *= lambda / (m + 1);
        const double c = s - rate * cumulative / lambda;
        const double top = T * (m + 1) * c;
        if (top >= target) return {true, target / c};
        if (top > best.bestKept) {
            best.bestKept = top;
            best.bestAmount = T * (m + 1);
        }
    }
    const double tail = s * (1 - rate);
    if (tail > 0) return {true, target / tail};
    return best;
}

std::string Money(const Rational& amount, const std::string& currency)
{
    return PrintStyleNumber(RoundedFigure(amount)) + currency;
}

std::string Percent(const Rational& fraction) { return PrintStyleNumber(RoundedFigure(fraction * 100)) + "%"; }

std::string Digits(const Rational& r) { return PrintStyleNumber(RoundedFigure(r)); }

double FigureNumber(const Rational& r)
{
    const Figure15 f = RoundedFigure(r);
    return std::strtod(((f.negative ? "-" : "") + GeneralForm(f)).c_str(), nullptr);
}

} // namespace

double ExpectedShare(double lambda)
{
    if (lambda <= 0) return 1.0;
    return -std::expm1(-lambda) / lambda;
}

double ExpectedShareAfterTax(double amount, double lambda, double rate, std::optional<double> above)
{
    if (lambda <= 0) return above && amount > *above ? amount * (1 - rate) : amount;
    const double s = ExpectedShare(lambda);
    if (!above || rate == 0) return amount * s;
    if (*above == 0) return amount * s * (1 - rate);
    // A share A/(1+k) is taxed when 1 + k < A/T, that is for k + 1 <= n.
    const double n = std::ceil(amount / *above) - 1.0;
    const double taxed = n > PoissonCeiling(lambda) ? s : PoissonOneTo(n, lambda) / lambda;
    return amount * (s - rate * taxed);
}

Rational RationalOf(double x)
{
    if (x == 0 || !std::isfinite(x)) return 0;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(x), &exponent);
    const auto whole = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    exponent -= 53;
    Rational r = BigInt(whole);
    const BigInt power = BigInt(1) << std::abs(exponent);
    r = exponent >= 0 ? Rational(r * power) : Rational(r / power);
    return x < 0 ? Rational(-r) : r;
}

std::string CheckValueAssumptions(const GameDefinition& game, const ValueAssumptions& a)
{
    if (game.keno) return "'" + game.id + "' is a Keno game: keno-return values its pay tables";
    if (!a.price && !game.price) return "the game file gives no ticket price, so one must be given";
    if (a.price && *a.price <= 0) return "the ticket price must be above 0";
    if (a.jackpot < 0) return "the jackpot must not be negative";
    if (a.cash <= 0 || a.cash > 1) return "the cash option must be above 0 and at most 1 (1 is the annuity)";
    if (a.taxRate < 0 || a.taxRate > 1) return "the tax rate must be 0 to 100 %";
    if (a.taxAbove && *a.taxAbove < 0) return "the tax threshold must not be negative";
    if (a.ticketsSold < 0) return "the number of tickets sold must not be negative";
    if (a.ticketsSold > Rational(BigInt(1'000'000'000'000LL))) {
        return "the number of tickets sold must be at most 1000000000000";
    }
    for (const auto& [name, amount] : a.prizes) {
        const TierSpec* tier = nullptr;
        for (const TierSpec& t : game.tiers) {
            if (t.name == name) tier = &t;
        }
        if (!tier) {
            std::string names;
            for (const TierSpec& t : game.tiers) names += (names.empty() ? "" : " ") + t.name;
            return "the game '" + game.id + "' has no tier '" + name + "' (its tiers: " + names + ")";
        }
        if (tier->prize.kind == PrizeKind::Jackpot)
            return "the tier '" + name + "' is the jackpot: give it with --jackpot";
        if (amount < 0) return "the prize of the tier '" + name + "' must not be negative";
    }
    return {};
}

TicketValue ComputeTicketValue(const GameDefinition& game, const ValueAssumptions& a)
{
    TicketValue v;
    v.odds = ComputeGameOdds(game, 0);
    v.assumed = a;
    v.price = a.price ? *a.price : *game.price;
    const double rate = ToDouble(a.taxRate);
    const std::optional<double> above = a.taxAbove ? std::optional(ToDouble(*a.taxAbove)) : std::nullopt;
    const auto keep = [&](const Rational& amount) {
        return a.taxAbove && amount > *a.taxAbove ? Rational(amount * (1 - a.taxRate)) : amount;
    };
    int jackpot = -1;
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierSpec& t = v.odds.tiers[i];
        const Rational& p = v.odds.p[i];
        TierValue tv;
        const auto given = a.prizes.find(t.name);
        Rational amount = 0;
        tv.counted = true;
        switch (t.prize.kind) {
        case PrizeKind::Jackpot:
            amount = a.jackpot * a.cash;
            tv.shared = a.ticketsSold > 0;
            jackpot = static_cast<int>(i);
            break;
        case PrizeKind::PariMutuel:
            tv.counted = given != a.prizes.end();
            if (tv.counted) amount = given->second;
            tv.shared = a.ticketsSold > 0;
            break;
        case PrizeKind::Fixed: amount = given != a.prizes.end() ? given->second : t.prize.amount; break;
        case PrizeKind::FreeTicket: amount = given != a.prizes.end() ? given->second : v.price; break;
        case PrizeKind::None: tv.counted = false; break;
        }
        if (tv.counted) {
            if (tv.shared) {
                tv.lambda = ToDouble(a.ticketsSold) * ToDouble(p);
                tv.perWin = RationalOf(ExpectedShareAfterTax(ToDouble(amount), tv.lambda, rate, above));
            } else {
                tv.perWin = keep(amount);
            }
            tv.adds = p * tv.perWin;
            v.value += tv.adds;
        }
        v.tiers.push_back(tv);
    }
    v.returnRate = v.value / v.price;

    if (jackpot < 0) return v;
    const Rational& pj = v.odds.p[static_cast<std::size_t>(jackpot)];
    const Rational others = v.value - v.tiers[static_cast<std::size_t>(jackpot)].adds;
    const Rational target = (v.price - others) / pj; // what a jackpot win must bring in
    BreakEven& b = v.breakEven;
    if (target <= 0) {
        b.kind = BreakEven::Kind::AnyJackpot;
        return v;
    }
    if (a.ticketsSold == 0) {
        if (!a.taxAbove || a.taxRate == 0 || target <= *a.taxAbove) {
            b.kind = BreakEven::Kind::Jackpot;
            b.jackpot = target / a.cash;
        } else if (a.taxRate < 1) {
            b.kind = BreakEven::Kind::Jackpot;
            b.jackpot = target / (1 - a.taxRate) / a.cash;
        } else {
            b.kind = BreakEven::Kind::Unreachable;
            b.jackpot = *a.taxAbove / a.cash;
            b.bestValue = others + pj * *a.taxAbove;
        }
        return v;
    }
    const double lambda = v.tiers[static_cast<std::size_t>(jackpot)].lambda;
    const SharedSolution s = SolveShared(ToDouble(target), lambda, rate, above);
    if (s.reachable) {
        b.kind = BreakEven::Kind::Jackpot;
        b.jackpot = RationalOf(s.amount) / a.cash;
    } else {
        b.kind = BreakEven::Kind::Unreachable;
        b.jackpot = RationalOf(s.bestAmount) / a.cash;
        b.bestValue = others + pj * RationalOf(s.bestKept);
    }
    return v;
}

std::string TicketValueReport(const TicketValue& v)
{
    const GameDefinition& g = *v.odds.game;
    const ValueAssumptions& a = v.assumed;
    const std::string& cur = g.currency;
    Report r;
    r.blank();
    r.line(" The value of a ticket of '", g.name, "' (", g.id, ")");
    r.line(" Assumed:");
    r.line(" - an advertised jackpot of", Money(a.jackpot, cur),
           a.cash == 1 ? std::string(", taken at its full amount") : ", taken as cash:" + Digits(a.cash) + "of it");
    r.line(" - a ticket price of", Money(v.price, cur), a.price ? " (entered)" : " (the game's)");
    if (a.taxAbove && a.taxRate > 0 && *a.taxAbove == 0) {
        r.line(" - a tax of", Percent(a.taxRate), " on every prize");
    } else if (a.taxAbove && a.taxRate > 0) {
        r.line(" - a tax of", Percent(a.taxRate), " on every prize above", Money(*a.taxAbove, cur),
               ", on the whole prize");
    } else {
        r.line(" - no tax");
    }
    if (a.ticketsSold > 0) {
        r.line(" -", Digits(a.ticketsSold), "other tickets in the draw: the other winners of a shared prize");
        r.line("   are Poisson with mean tickets x chance, and a winner's expected share of it is");
        r.line("   (1 - e^-mean) / mean; the jackpot and pari-mutuel tiers are shared, fixed prizes not");
    } else {
        r.line(" - no other tickets in the draw: no prize is shared");
    }
    std::string givenPools, leftOut;
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierSpec& t = v.odds.tiers[i];
        if (t.prize.kind == PrizeKind::PariMutuel) (v.tiers[i].counted ? givenPools : leftOut) += " " + t.name;
    }
    if (!givenPools.empty()) {
        r.line(" - pari-mutuel amounts entered for:", givenPools);
        r.line(a.ticketsSold > 0 ? "   each is the tier's whole prize, shared among its winners like the jackpot"
                                 : "   each is what a winner of the tier receives");
    }
    if (!leftOut.empty()) r.line(" - left out, pari-mutuel with no amount entered:", leftOut);
    r.blank(2);

    std::size_t nameWidth = 0, labelWidth = 0, oddsWidth = 0;
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        nameWidth = std::max(nameWidth, v.odds.tiers[i].name.size());
        labelWidth = std::max(labelWidth, v.odds.tiers[i].label.size());
        oddsWidth = std::max(oddsWidth, PrintStyleNumber(OneInFigure(v.odds.p[i])).size());
    }
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierSpec& t = v.odds.tiers[i];
        const TierValue& tv = v.tiers[i];
        std::string odds = PrintStyleNumber(OneInFigure(v.odds.p[i]));
        odds.append(oddsWidth - odds.size(), ' ');
        r.line("~ ", t.name, std::string(nameWidth - t.name.size() + 1, ' '), t.label,
               std::string(labelWidth - t.label.size(), ' '), " -> 1 in", odds, " p = ", FractionText(v.odds.p[i]));
        const std::string indent(nameWidth + 3, ' ');
        if (!tv.counted) {
            r.line(indent, "left out: pari-mutuel, no amount entered");
            continue;
        }
        const std::string share =
            v.value > 0 ? " (" + Percent(tv.adds / v.value).substr(1) + " of the value)" : std::string();
        r.line(indent, "a winner keeps", Money(tv.perWin, cur), tv.shared ? " after sharing" : "", "; adds",
               Money(tv.adds, cur), share);
    }
    r.blank();
    r.line(" Expected value of a ticket:", Money(v.value, cur));
    r.line(" Return per unit staked:", Percent(v.returnRate));
    const BreakEven& b = v.breakEven;
    switch (b.kind) {
    case BreakEven::Kind::Jackpot: r.line(" Break-even jackpot (advertised):", Money(b.jackpot, cur)); break;
    case BreakEven::Kind::AnyJackpot:
        r.line(" Break-even jackpot: any; the other tiers alone return the price.");
        break;
    case BreakEven::Kind::Unreachable:
        r.line(" Break-even jackpot: none under these assumptions. The best advertised jackpot is",
               Money(b.jackpot, cur), ",");
        r.line(" where a ticket is worth", Money(b.bestValue, cur), ".");
        break;
    case BreakEven::Kind::NoJackpotTier: r.line(" Break-even jackpot: the game has no jackpot tier."); break;
    }
    r.blank();
    for (const std::string& note : g.notes) r.line(" ", note);
    if (!g.notes.empty()) r.blank();
    return r.take();
}

std::string TicketValueJson(const TicketValue& v)
{
    const GameDefinition& g = *v.odds.game;
    const ValueAssumptions& a = v.assumed;
    OrderedJson j;
    j["schema"] = "fortelle-ticket-value/1";
    j["id"] = g.id;
    j["name"] = g.name;
    j["currency"] = g.currency;
    OrderedJson assumed;
    assumed["jackpot"] = FractionText(a.jackpot);
    assumed["price"] = FractionText(v.price);
    assumed["cash"] = FractionText(a.cash);
    assumed["tax_rate"] = FractionText(a.taxAbove ? a.taxRate : Rational(0));
    assumed["tax_above"] = a.taxAbove ? OrderedJson(FractionText(*a.taxAbove)) : OrderedJson(nullptr);
    assumed["tickets_sold"] = FractionText(a.ticketsSold);
    j["assumed"] = assumed;
    j["tiers"] = OrderedJson::array();
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierValue& tv = v.tiers[i];
        OrderedJson t;
        t["name"] = v.odds.tiers[i].name;
        t["probability"] = FractionText(v.odds.p[i]);
        t["odds"] = FigureNumber(1 / v.odds.p[i]);
        t["counted"] = tv.counted;
        t["shared"] = tv.shared;
        t["expected_other_winners"] = tv.lambda;
        t["kept"] = tv.counted ? OrderedJson(FigureNumber(tv.perWin)) : OrderedJson(nullptr);
        t["adds"] = tv.counted ? OrderedJson(FigureNumber(tv.adds)) : OrderedJson(nullptr);
        j["tiers"].push_back(std::move(t));
    }
    j["value"] = FigureNumber(v.value);
    j["return_percent"] = FigureNumber(v.returnRate * 100);
    OrderedJson be;
    switch (v.breakEven.kind) {
    case BreakEven::Kind::Jackpot:
        be["kind"] = "jackpot";
        be["jackpot"] = FigureNumber(v.breakEven.jackpot);
        break;
    case BreakEven::Kind::AnyJackpot: be["kind"] = "any"; break;
    case BreakEven::Kind::Unreachable:
        be["kind"] = "none";
        be["best_jackpot"] = FigureNumber(v.breakEven.jackpot);
        be["best_value"] = FigureNumber(v.breakEven.bestValue);
        break;
    case BreakEven::Kind::NoJackpotTier: be["kind"] = "no jackpot tier"; break;
    }
    j["break_even"] = be;
    return j.dump(2) + "\n";
}

} // namespace fortelle
