#include "games/ticket_value.h"

#include <boost/math/special_functions/expm1.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "games/named_games.h"
#include "games/precise.h"
#include "games/readable.h"
#include "shell/report.h"

namespace fortelle {
namespace {

using OrderedJson = nlohmann::ordered_json;

Real ToReal(const Rational& r) { return Real(numerator(r)) / Real(denominator(r)); }

// The expected share of a prize split among the winners, the others'
// number Poisson with mean lambda > 0: (1 - e^-lambda) / lambda.
Real ExpectedShare(const Real& lambda) { return -boost::math::expm1(Real(-lambda)) / lambda; }

// Beyond this many standard deviations (and a margin for small means) the
// Poisson tail is far below the 50 digits carried.
double PoissonCeiling(double lambda) { return lambda + 50.0 * std::sqrt(lambda) + 100.0; }

// P(1 <= K <= n) for K Poisson(lambda): from below for a small mean, where
// it is about lambda; from above for a large one, where it is near 1.
Real PoissonOneTo(const Real& n, const Real& lambda)
{
    if (n < 1) return 0;
    // Near the mean of a very large one the 50-digit series would take
    // seconds and then give up; say so at once instead.
    if (lambda > 1e8 && abs(n - lambda) < 60 * sqrt(lambda) + 200) {
        throw std::domain_error("a Poisson mean beyond 1E+8 at its centre");
    }
    if (lambda < 1) return -boost::math::expm1(Real(-lambda)) - boost::math::gamma_p(Real(n + 1), lambda);
    return boost::math::gamma_q(Real(n + 1), lambda) - exp(Real(-lambda));
}

double PoissonOneToDouble(double n, double lambda)
{
    if (n < 1) return 0.0;
    if (lambda < 1.0) return -std::expm1(-lambda) - boost::math::gamma_p(n + 1.0, lambda);
    return boost::math::gamma_q(n + 1.0, lambda) - std::exp(-lambda);
}

// c(m) = s - rate * P(1 <= K <= m) / lambda: the part of a prize A kept on
// the stretch T*m < A <= T*(m+1), where the shares of k <= m - 1 other
// winners are taxed.
Real KeptPart(double m, const Real& lambda, const Real& rate)
{
    return ExpectedShare(lambda) - rate * PoissonOneTo(Real(m), lambda) / lambda;
}

struct SharedSolution {
    bool reachable = false;
    Real amount = 0;     // the least prize whose expected kept share reaches the target
    Real bestAmount = 0; // unreachable: the prize that keeps the most
    Real bestKept = 0;
};

// The least prize A whose expected kept share reaches `target`. On the
// stretch T*m < A <= T*(m+1) the kept share is A * c(m), and the least A of
// the first stretch whose top reaches the target is the answer. c(m) is s
// until the Poisson mass arrives and s (1 - rate) once it has passed, so
// only the stretches in between are walked one by one: in doubles to find
// the stretch, then to 50 digits at it and the one before, which settle it.
SharedSolution SolveShared(const Real& target, const Real& lambdaReal, const Real& rateReal,
                           const std::optional<Real>& aboveReal)
{
    const Real s = ExpectedShare(lambdaReal);
    if (!aboveReal || rateReal == 0) return {true, target / s};
    if (*aboveReal == 0) {
        if (rateReal < 1) return {true, target / (s * (1 - rateReal))};
        return {false, 0, 0, 0};
    }
    const double lambda = lambdaReal.convert_to<double>(), rate = rateReal.convert_to<double>();
    const double T = aboveReal->convert_to<double>(), sd = -std::expm1(-lambda) / lambda;
    const double spread = 50.0 * std::sqrt(lambda) + 100.0;
    const double low = std::floor(std::max(0.0, lambda - spread));
    const Real& TR = *aboveReal;
    const auto top = [&](double m) { return TR * (m + 1) * KeptPart(m, lambdaReal, rateReal); };
    const double first = std::max(0.0, std::ceil((target / (TR * s)).convert_to<double>()) - 1.0);
    if (first <= low) return {true, target / s};

    double bestM = low;
    double bestTop = T * (low + 1) * sd;
    double cumulative = PoissonOneToDouble(low, lambda);
    double m = low + 1;
    double pmf = std::exp(-lambda + m * std::log(lambda) - std::lgamma(m + 1));
    const double ceiling = PoissonCeiling(lambda);
    const double targetDouble = target.convert_to<double>();
    for (; m <= ceiling; m += 1) {
        cumulative += pmf;
        pmf *= lambda / (m + 1);
        const double t = T * (m + 1) * (sd - rate * cumulative / lambda);
        // Settle a close call, and find the first stretch, to 50 digits.
        if (t >= targetDouble * (1 - 1e-9)) {
            for (double k = std::max(low, m - 2); k <= m + 2; k += 1) {
                if (top(k) >= target) return {true, target / KeptPart(k, lambdaReal, rateReal)};
            }
        }
        if (t > bestTop) {
            bestTop = t;
            bestM = m;
        }
    }
    const Real tail = s * (1 - rateReal);
    if (tail > 0) return {true, target / tail};
    return {false, 0, TR * (bestM + 1), top(bestM)};
}

std::string Money(const Rational& amount, const std::string& currency) { return MoneyText(amount, currency); }

// A rate as a percentage to 2 places: "37 %", "101.55 %".
std::string Percent(const Rational& fraction) { return FigureText(RoundedFigure(fraction * 100)) + " %"; }

std::string Figure(const Rational& r) { return (r < 0 ? "-" : "") + GeneralForm(RoundedFigure(r)); }

// Would the computation's error move a printed digit of x, rounded by
// `round`? The 50-digit arithmetic stays far within 1E-30 of each figure,
// or 1E-25 absolute when a difference of nearly equal terms is near zero.
// The least and the most an approximate figure can be: within a part in
// 10^30 of itself, and, where a difference may have cancelled digits
// (`floor`), never nearer than 10^-25.
std::pair<Rational, Rational> Bounds(const Rational& x, bool floor = true)
{
    Rational margin = abs(x);
    const BigInt e30 = boost::multiprecision::pow(BigInt(10), 30);
    margin /= Rational(e30);
    const Rational least(BigInt(1), BigInt(boost::multiprecision::pow(BigInt(10), 25)));
    if (floor && margin < least) margin = least;
    return {x - margin, x + margin};
}

bool Unsettled(const Rational& x, const Rounder& round, bool floor = true)
{
    const auto [low, high] = Bounds(x, floor);
    return round(low) != round(high);
}

// An amount, printed to 2 places (JSON) and as an amount (the report).
bool Unsettled(const Rational& x) { return Unsettled(x, RoundedFigure) || Unsettled(x, MoneyFigure); }

// Only the verdict prints the loss or gain; within half a cent of nothing
// it says "you break even to the cent", whichever side it falls on (as it
// does at a break-even jackpot).
bool UnsettledGap(const Rational& gap, const Rational& price)
{
    const auto [low, high] = Bounds(gap);
    if (MoneyFigure(low).significand == 0 && MoneyFigure(high).significand == 0) return false;
    return Unsettled(gap) || Unsettled(gap / price * 100, RoundedFigure);
}

// A tier's prize kept by a winner who is the only one to receive it: taxed
// whole when above the threshold.
Rational KeptWhole(const Rational& amount, const ValueAssumptions& a)
{
    return a.taxAbove && amount > *a.taxAbove ? Rational(amount * (1 - a.taxRate)) : amount;
}

} // namespace

Real ExpectedShareAfterTax(const Real& amount, const Real& lambda, const Real& rate, const std::optional<Real>& above)
{
    if (lambda <= 0) return above && amount > *above ? Real(amount * (1 - rate)) : amount;
    const Real s = ExpectedShare(lambda);
    if (!above || rate == 0) return amount * s;
    if (*above == 0) return amount * s * (1 - rate);
    // A share A/(1+k) is taxed when 1 + k < A/T, that is for k + 1 <= n.
    const Real n = ceil(amount / *above) - 1;
    const Real taxed = n > PoissonCeiling(lambda.convert_to<double>()) ? s : Real(PoissonOneTo(n, lambda) / lambda);
    return amount * (s - rate * taxed);
}

Rational RationalOf(double x)
{
    if (!std::isfinite(x)) return 0;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(x), &exponent);
    const auto whole = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    exponent -= 53;
    Rational r = BigInt(whole);
    const BigInt power = BigInt(1) << std::abs(exponent);
    r = exponent >= 0 ? Rational(r * power) : Rational(r / power);
    return x < 0 ? Rational(-r) : r;
}

Rational RationalOf(const Real& x)
{
    if (!boost::multiprecision::isfinite(x)) return 0;
    int exponent = 0;
    const Real mantissa = frexp(abs(x), &exponent);
    // The mantissa's bits, all of them: 50 digits are fewer than 200 bits.
    const BigInt whole = Real(ldexp(mantissa, 200)).convert_to<BigInt>();
    exponent -= 200;
    Rational r = whole;
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
    const std::string most = "above the largest amount this tool takes: " + std::string(kMostValueAmountText);
    if (a.jackpot > kMostValueAmount) return "the jackpot is " + most;
    if (a.price && *a.price > kMostValueAmount) return "the ticket price is " + most;
    if (a.cash <= 0 || a.cash > 1) return "the cash option must be above 0 and at most 1 (1 is the annuity)";
    if (a.taxRate < 0 || a.taxRate > 1) return "the tax rate must be 0 to 100 %";
    if (a.taxAbove && *a.taxAbove < 0) return "the tax threshold must not be negative";
    if (a.taxAbove && *a.taxAbove > kMostValueAmount) return "the tax threshold is " + most;
    if (a.ticketsSold < 0) return "the number of tickets sold must not be negative";
    if (a.ticketsSold > Rational(BigInt(1'000'000'000'000LL))) {
        return "the number of tickets sold must be at most 1000000000000";
    }
    for (const auto* entered : {&a.prizes, &a.pools}) {
        const bool pool = entered == &a.pools;
        for (const auto& [name, amount] : *entered) {
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
            if (pool && tier->prize.kind != PrizeKind::PariMutuel) {
                return "the tier '" + name + "' pays a fixed prize, not a shared pool: give it with --prize";
            }
            if (pool && a.prizes.count(name)) return "the tier '" + name + "' is given both a prize and a pool";
            if (amount < 0) return "the prize of the tier '" + name + "' must not be negative";
            if (amount > kMostValueAmount) return "the prize of the tier '" + name + "' is " + most;
        }
    }
    return {};
}

TicketValue ComputeTicketValue(const GameDefinition& game, const ValueAssumptions& a)
{
    TicketValue v;
    v.odds = ComputeGameOdds(game, 0);
    v.assumed = a;
    v.price = a.price ? *a.price : *game.price;
    const Real rate = ToReal(a.taxRate);
    const std::optional<Real> above = a.taxAbove ? std::optional(ToReal(*a.taxAbove)) : std::nullopt;
    // The multiplier on every prize but the jackpot, taxed as the prize it
    // makes: each factor weighed by its chance.
    std::vector<std::pair<Rational, Rational>> factors{{1, 1}}; // (factor, chance)
    if (game.multiplier) {
        const Multiplier& m = *game.multiplier;
        factors.clear();
        if (m.chances.empty()) {
            factors.emplace_back(m.values.front(), 1);
            v.multiplierIsLeast = true;
        } else {
            for (std::size_t i = 0; i < m.values.size(); ++i) factors.emplace_back(m.values[i], m.chances[i]);
        }
        v.multiplier = 0;
        for (const auto& [factor, chance] : factors) *v.multiplier += factor * chance;
    }
    // A pari-mutuel tier's pool from the prize fund: the other tickets' stakes
    // at the game's price, the fund's share of them, the tier's share of it.
    const Rational stake = game.price ? *game.price : v.price;
    int jackpot = -1;
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierSpec& t = v.odds.tiers[i];
        const Rational& p = v.odds.p[i];
        TierValue tv;
        const auto given = a.prizes.find(t.name);
        const auto pool = a.pools.find(t.name);
        Rational amount = 0;
        tv.counted = true;
        tv.source = AmountSource::GameFile;
        switch (t.prize.kind) {
        case PrizeKind::Jackpot:
            amount = a.jackpot * a.cash;
            tv.shared = a.ticketsSold > 0;
            jackpot = static_cast<int>(i);
            break;
        case PrizeKind::PariMutuel:
            if (given != a.prizes.end()) {
                amount = given->second;
                tv.source = AmountSource::Entered;
            } else if (pool != a.pools.end()) {
                amount = pool->second;
                tv.source = AmountSource::EnteredPool;
                tv.shared = a.ticketsSold > 0;
            } else if (game.prizeFundShare && t.fundShare && a.ticketsSold > 0) {
                amount = a.ticketsSold * stake * *game.prizeFundShare * *t.fundShare;
                tv.source = AmountSource::PrizeFund;
                tv.shared = true;
            } else if (t.typical) {
                amount = t.typical->amount;
                tv.source = AmountSource::Typical;
            } else {
                tv.counted = false;
                tv.source = AmountSource::None;
            }
            break;
        case PrizeKind::Fixed:
            amount = given != a.prizes.end() ? given->second : t.prize.amount;
            if (given != a.prizes.end()) tv.source = AmountSource::Entered;
            break;
        case PrizeKind::FreeTicket:
            // A ticket for a later draw: worth its price, never taxed.
            amount = given != a.prizes.end() ? given->second : v.price;
            tv.source = AmountSource::FreeTicket;
            break;
        case PrizeKind::None: tv.counted = false; break;
        }
        if (!tv.counted) {
            ++v.leftOut;
            v.tiers.push_back(tv);
            continue;
        }
        if (tv.shared) {
            tv.pool = amount;
            tv.lambda = a.ticketsSold * p;
            try {
                tv.perWin = RationalOf(ExpectedShareAfterTax(ToReal(amount), ToReal(tv.lambda), rate, above));
            } catch (const std::exception&) {
                // The incomplete gamma function gives up on means beyond a
                // billion or so next to the tax threshold: no figure then.
                v.uncertain = v.valueUncertain = true;
            }
            tv.exact = false;
        } else if (tv.source == AmountSource::FreeTicket) {
            tv.perWin = amount;
        } else if (t.prize.kind == PrizeKind::Fixed && game.multiplier) {
            for (const auto& [factor, chance] : factors) tv.perWin += chance * KeptWhole(amount * factor, a);
        } else {
            tv.perWin = KeptWhole(amount, a);
        }
        tv.adds = p * tv.perWin;
        v.value += tv.adds;
        v.exact = v.exact && tv.exact;
        v.uncertain = v.uncertain || (!tv.exact && (Unsettled(tv.perWin) || Unsettled(tv.adds)));
        v.tiers.push_back(tv);
    }
    v.returnRate = v.value / v.price;
    if (!v.exact) {
        // Every figure printed from the value: itself, the return, the
        // loss or gain with its percentage, each tier's share of it.
        const Rational gap = v.price - v.value;
        v.valueUncertain = v.valueUncertain || Unsettled(v.value) || Unsettled(v.returnRate * 100, RoundedFigure);
        v.uncertain = v.uncertain || v.valueUncertain || UnsettledGap(gap, v.price);
        for (const TierValue& tv : v.tiers) {
            // A share of a sum of positive terms loses no digits: only its
            // relative error counts. Round prize-fund shares can make it
            // sit next to a tie (1.525000...0142 %) where a floor would
            // refuse a figure that is known.
            if (tv.counted && v.value > 0)
                v.uncertain = v.uncertain || Unsettled(tv.adds / v.value * 100, RoundedFigure, false);
        }
    }

    if (jackpot < 0) return v;
    const Rational& pj = v.odds.p[static_cast<std::size_t>(jackpot)];
    const Rational others = v.value - v.tiers[static_cast<std::size_t>(jackpot)].adds;
    const Rational target = (v.price - others) / pj; // what a jackpot win must bring in
    BreakEven& b = v.breakEven;
    b.exact = v.exact;
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
    } else {
        const Real lambda = ToReal(v.tiers[static_cast<std::size_t>(jackpot)].lambda);
        SharedSolution s;
        try {
            s = SolveShared(ToReal(target), lambda, rate, above);
        } catch (const std::exception&) {
            v.uncertain = true;
            return v;
        }
        b.exact = false;
        if (s.reachable) {
            b.kind = BreakEven::Kind::Jackpot;
            b.jackpot = RationalOf(s.amount) / a.cash;
        } else {
            b.kind = BreakEven::Kind::Unreachable;
            b.jackpot = RationalOf(s.bestAmount) / a.cash;
            b.bestValue = others + pj * RationalOf(s.bestKept);
        }
    }
    if (!b.exact) {
        v.uncertain =
            v.uncertain || Unsettled(b.jackpot) || (b.kind == BreakEven::Kind::Unreachable && Unsettled(b.bestValue));
    }
    return v;
}

std::string TicketValueVerdict(const TicketValue& v)
{
    if (v.uncertain) {
        return "No figure is shown: these entries give one whose printed digits cannot all be guaranteed.";
    }
    const std::string& cur = v.odds.game->currency;
    // Tiers left out or a multiplier counted at its least can only lower
    // the value: it is then a lower bound.
    std::vector<std::string> why;
    if (v.leftOut > 0) {
        why.push_back(std::to_string(v.leftOut) + (v.leftOut == 1 ? " tier" : " tiers") + " without an amount");
    }
    if (v.multiplierIsLeast) why.push_back("the multiplier counted at its least, " + Figure(*v.multiplier) + "x");
    const bool bound = !why.empty();
    std::string s =
        "On average a " + Money(v.price, cur) + " ticket returns " + (bound ? "at least " : "") + Money(v.value, cur);
    const Rational gap = v.price - v.value;
    const auto part = [&](const Rational& x) {
        // A share of the price to 2 places, never 100 % for less or 0 for more.
        const Rational share = x / v.price;
        const Figure15 f = RoundedFigure(share * 100);
        const std::string percent = share < 1 && FigureValue(f) >= 100 ? "above 99.99 %"
                                    : f.significand == 0               ? "below 0.01 %"
                                                                       : FigureText(f) + " %";
        return Money(x, cur) + " (" + percent + ")";
    };
    if (MoneyFigure(gap).significand == 0) {
        s += bound ? ": you break even to the cent, or better" : ": you break even to the cent";
    } else if (gap > 0) {
        s += ": you lose " + std::string(bound ? "at most " : "") + part(gap) + " per ticket";
    } else if (gap < 0) {
        s += ": you gain " + std::string(bound ? "at least " : "") + part(-gap) + " per ticket";
    }
    if (bound) {
        s += " (partial: " + why[0];
        for (std::size_t i = 1; i < why.size(); ++i) s += "; " + why[i];
        s += ")";
    }
    return s + ".";
}

std::string TicketValueReport(const TicketValue& v)
{
    const GameDefinition& g = *v.odds.game;
    const ValueAssumptions& a = v.assumed;
    const std::string& cur = g.currency;
    Report r;
    r.blank();
    WriteWrapped(r, TicketValueVerdict(v));
    r.blank();
    WriteWrapped(r, "The value of a ticket of '" + g.name + "' (" + g.id + ")");
    if (v.uncertain) {
        // Never seen with real games: a figure within 1E-30 of a rounding
        // boundary, or a shared prize with a mean of billions of winners next
        // to the tax threshold, beyond the incomplete gamma function's reach.
        r.blank();
        return r.take();
    }
    const auto item = [&r](const std::string& text) { WriteWrapped(r, text, " - ", "   "); };
    r.line(" Assumed:");
    if (v.breakEven.kind != BreakEven::Kind::NoJackpotTier) {
        item("an advertised jackpot of " + Money(a.jackpot, cur) +
             (a.cash == 1 ? std::string(", taken at its full amount")
                          : ", taken as cash: " + Percent(a.cash) + " of it"));
    }
    item("a ticket price of " + Money(v.price, cur) + (a.price ? " (entered)" : " (the game's)"));
    if (a.taxAbove && a.taxRate > 0 && *a.taxAbove == 0) {
        item("a tax of " + Percent(a.taxRate) + " on every prize");
    } else if (a.taxAbove && a.taxRate > 0) {
        item("a tax of " + Percent(a.taxRate) + " on every prize above " + Money(*a.taxAbove, cur) +
             ", on the whole prize");
    } else {
        item("no tax");
    }
    if (a.ticketsSold > 0) {
        item(FigureText(RoundedFigure(a.ticketsSold)) + (a.ticketsSold == 1 ? " other ticket" : " other tickets") +
             " in the draw: the other winners of a shared prize are Poisson with mean tickets x "
             "chance, and a winner's expected share of it is (1 - e^-mean) / mean; the jackpot and pari-mutuel "
             "tiers are shared, fixed prizes not");
    } else {
        item("no other tickets in the draw: no prize is shared");
    }
    std::map<AmountSource, std::string> bySource;
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        if (v.odds.tiers[i].prize.kind == PrizeKind::PariMutuel)
            bySource[v.tiers[i].source] += " " + v.odds.tiers[i].name;
    }
    if (bySource.count(AmountSource::PrizeFund)) {
        item("from the prize fund (" + Percent(*g.prizeFundShare) + " of the other tickets' stakes at " +
             Money(g.price ? *g.price : v.price, cur) +
             ", each tier's published share):" + bySource[AmountSource::PrizeFund]);
    }
    if (bySource.count(AmountSource::Entered)) item("per winner, entered for:" + bySource[AmountSource::Entered]);
    if (bySource.count(AmountSource::EnteredPool)) {
        item("whole pools entered for:" + bySource[AmountSource::EnteredPool] +
             (a.ticketsSold > 0 ? "; each shared among its winners like the jackpot"
                                : "; each kept whole: no other tickets share it"));
    }
    if (bySource.count(AmountSource::Typical)) {
        item("a typical amount per winner, from the game file with its source, for:" + bySource[AmountSource::Typical]);
    }
    if (bySource.count(AmountSource::None)) {
        const bool fund = g.prizeFundShare.has_value() && a.ticketsSold == 0;
        item("left out, pari-mutuel with no amount:" + bySource[AmountSource::None] +
             (fund ? " (the tickets sold in the draw give them from the prize fund)" : ""));
    }
    if (v.multiplier) {
        if (v.multiplierIsLeast) {
            item("every prize but the jackpot times the ticket's multiplier, counted at its least, " +
                 Figure(*v.multiplier) +
                 "x: the chance of each factor is not published, so the value is a lower "
                 "bound");
        } else {
            item("every prize but the jackpot times the ticket's multiplier, on average " + Figure(*v.multiplier) +
                 "x");
        }
    }
    r.blank(2);

    std::size_t nameWidth = 0, labelWidth = 0;
    for (const TierSpec& t : v.odds.tiers) {
        nameWidth = std::max(nameWidth, t.name.size());
        labelWidth = std::max(labelWidth, t.label.size());
    }
    const TableFractions fractions = FractionsOf(v.odds.p);
    using Align = TextTable::Align;
    // Columns: the row's name, 1 in X, percent, p, what a winner keeps, what
    // the tier adds, its share of the value.
    TextTable table({Align::Left, Align::Point, Align::Point, Align::Slash, Align::Point, Align::Point, Align::Point});
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierSpec& t = v.odds.tiers[i];
        const TierValue& tv = v.tiers[i];
        std::vector<std::string> cells{"~ " + Padded(t.name, nameWidth) + " " + Padded(t.label, labelWidth) + " ->",
                                       OneInText(v.odds.p[i]), ChanceText(v.odds.p[i]), "p = " + fractions.texts[i]};
        if (!tv.counted) {
            cells.emplace_back("left out: pari-mutuel, no amount");
        } else {
            const char* how = tv.shared                               ? " after sharing"
                              : tv.source == AmountSource::FreeTicket ? " (a free ticket)"
                              : tv.source == AmountSource::Typical    ? " (typical)"
                                                                      : "";
            cells.push_back("keeps " + Money(tv.perWin, cur) + how);
            cells.push_back("adds " + Money(tv.adds, cur));
            cells.push_back(v.value > 0 ? Percent(tv.adds / v.value) : std::string());
        }
        table.row(std::move(cells));
    }
    const std::vector<TextTable::Layout> layouts{{{0, 1, 2, 3}, {4, 5, 6}},
                                                 {{0, 1, 2}, {3, 4, 5, 6}},
                                                 {{0, 1, 2}, {3}, {4, 5, 6}},
                                                 {{0, 1, 2}, {3}, {4}, {5, 6}}};
    for (const auto& lines : table.lines(layouts, nameWidth + 3)) {
        for (const std::string& line : lines) r.line(line);
    }
    r.blank();
    WriteWrapped(r, "A tier adds its chance times what a winner keeps; the last figure is its share of the value.");
    r.blank();
    const std::string partial = v.leftOut == 0 ? std::string()
                                : v.leftOut == 1
                                    ? std::string(" (partial: 1 tier without an amount)")
                                    : " (partial: " + std::to_string(v.leftOut) + " tiers without an amount)";
    const std::string least = v.multiplierIsLeast ? "at least " : "";
    WriteWrapped(r, "Expected value of a ticket: " + least + Money(v.value, cur) + partial);
    WriteWrapped(r, "Return per unit staked: " + least + Percent(v.returnRate) + (partial.empty() ? "" : " (partial)"));
    const BreakEven& b = v.breakEven;
    switch (b.kind) {
    case BreakEven::Kind::Jackpot:
        // Tiers left out or a multiplier counted at its least can only lower it.
        WriteWrapped(r, "Break-even jackpot (advertised): " +
                            std::string(v.multiplierIsLeast || v.leftOut > 0 ? "at most " : "") +
                            Money(b.jackpot, cur) + (partial.empty() ? "" : " (partial)"));
        break;
    case BreakEven::Kind::AnyJackpot:
        WriteWrapped(r, "Break-even jackpot: any; the other tiers alone return the price.");
        break;
    case BreakEven::Kind::Unreachable:
        WriteWrapped(r, "Break-even jackpot: none under these assumptions. The best advertised jackpot is " +
                            Money(b.jackpot, cur) + ", where a ticket is worth " + Money(b.bestValue, cur) + ".");
        break;
    case BreakEven::Kind::NoJackpotTier: WriteWrapped(r, "Break-even jackpot: the game has no jackpot tier."); break;
    }
    r.blank();
    for (const std::string& note : g.notes) WriteWrapped(r, note);
    if (!g.notes.empty()) r.blank();
    return r.take();
}

namespace {

// JSON of an exact value: the fraction "n/d" in lowest terms.
OrderedJson Exact(bool exact, const Rational& r) { return exact ? OrderedJson(FractionText(r)) : OrderedJson(nullptr); }

const char* SourceName(AmountSource s)
{
    switch (s) {
    case AmountSource::None: return "none";
    case AmountSource::GameFile: return "game file";
    case AmountSource::FreeTicket: return "free ticket";
    case AmountSource::Entered: return "entered per winner";
    case AmountSource::EnteredPool: return "entered pool";
    case AmountSource::PrizeFund: return "prize fund";
    case AmountSource::Typical: return "typical";
    }
    return "none";
}

OrderedJson AmountsJson(const std::map<std::string, Rational>& amounts)
{
    OrderedJson j = OrderedJson::object();
    for (const auto& [name, amount] : amounts) j[PrintableText(name)] = FractionText(amount);
    return j;
}

} // namespace

std::string TicketValueJson(const TicketValue& v)
{
    const GameDefinition& g = *v.odds.game;
    const ValueAssumptions& a = v.assumed;
    OrderedJson j;
    j["schema"] = "fortelle-ticket-value/3";
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
    assumed["prizes"] = AmountsJson(a.prizes);
    assumed["pools"] = AmountsJson(a.pools);
    j["assumed"] = assumed;
    j["uncertain"] = v.uncertain;
    j["tiers"] = OrderedJson::array();
    for (std::size_t i = 0; i < v.odds.tiers.size(); ++i) {
        const TierValue& tv = v.tiers[i];
        OrderedJson t;
        t["name"] = v.odds.tiers[i].name;
        t["probability"] = FractionText(v.odds.p[i]);
        t["odds"] = v.odds.p[i] > 0 ? OrderedJson(GeneralForm(OneInFigure(v.odds.p[i]))) : OrderedJson(nullptr);
        t["counted"] = tv.counted;
        t["source"] = SourceName(tv.source);
        t["shared"] = tv.shared;
        t["expected_other_winners"] = FractionText(tv.lambda);
        t["pool"] = tv.shared ? OrderedJson(FractionText(tv.pool)) : OrderedJson(nullptr);
        t["kept"] = tv.counted && !v.uncertain ? OrderedJson(Figure(tv.perWin)) : OrderedJson(nullptr);
        t["kept_exact"] = Exact(tv.counted && tv.exact, tv.perWin);
        t["adds"] = tv.counted && !v.uncertain ? OrderedJson(Figure(tv.adds)) : OrderedJson(nullptr);
        t["adds_exact"] = Exact(tv.counted && tv.exact, tv.adds);
        j["tiers"].push_back(std::move(t));
    }
    j["tiers_without_amount"] = v.leftOut;
    j["multiplier"] = v.multiplier ? OrderedJson(FractionText(*v.multiplier)) : OrderedJson(nullptr);
    j["multiplier_is_least"] = v.multiplierIsLeast;
    j["value"] = v.uncertain ? OrderedJson(nullptr) : OrderedJson(Figure(v.value));
    j["value_exact"] = Exact(v.exact, v.value);
    j["return_percent"] = v.uncertain ? OrderedJson(nullptr) : OrderedJson(Figure(v.returnRate * 100));
    j["return_exact"] = Exact(v.exact, v.returnRate);
    OrderedJson be;
    const bool shown = !v.uncertain;
    switch (v.breakEven.kind) {
    case BreakEven::Kind::Jackpot:
        be["kind"] = "jackpot";
        be["jackpot"] = shown ? OrderedJson(Figure(v.breakEven.jackpot)) : OrderedJson(nullptr);
        be["jackpot_exact"] = Exact(v.breakEven.exact, v.breakEven.jackpot);
        break;
    case BreakEven::Kind::AnyJackpot: be["kind"] = "any"; break;
    case BreakEven::Kind::Unreachable:
        be["kind"] = "none";
        be["best_jackpot"] = shown ? OrderedJson(Figure(v.breakEven.jackpot)) : OrderedJson(nullptr);
        be["best_value"] = shown ? OrderedJson(Figure(v.breakEven.bestValue)) : OrderedJson(nullptr);
        break;
    case BreakEven::Kind::NoJackpotTier: be["kind"] = "no jackpot tier"; break;
    }
    j["break_even"] = be;
    return j.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

} // namespace fortelle
