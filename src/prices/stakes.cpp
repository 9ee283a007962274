#include "prices/stakes.h"

#include <nlohmann/json.hpp>

namespace fortelle::prices {
namespace {

using Json = nlohmann::ordered_json;

// Places of the logarithmic growth in JSON: far inside the 50 digits it is
// computed with.
constexpr int kJsonGrowthPlaces = 15;

Rational Growth(const Rational& p, const Rational& b, const Rational& f)
{
    const Float pf = ToFloat(p), bf = ToFloat(b), ff = ToFloat(f);
    return ToRational(pf * log(1 + ff * bf) + (1 - pf) * log(1 - ff));
}

Rational TypicalGrowth(const Rational& g) { return ToRational(exp(ToFloat(g)) - 1); }

std::string FractionName(const Rational& f)
{
    if (f == 1) return "full Kelly";
    if (f == Rational(1, 2)) return "half Kelly";
    if (f == Rational(1, 4)) return "quarter Kelly";
    return Percent(f) + " of Kelly";
}

struct Kelly {
    Rational b, edge, full, share;
    bool bet = false;
};

Kelly Compute(const KellyQuestion& q)
{
    Kelly k;
    k.b = q.price.decimal - 1;
    k.edge = q.chance * q.price.decimal - 1;
    k.full = k.edge / k.b;
    k.bet = k.edge > 0;
    k.share = k.bet ? Rational(k.full * q.fraction) : Rational(0);
    return k;
}

struct Spread {
    Rational booksum, stake, returns;
    std::vector<Rational> stakes;        // exact
    std::vector<Rational> roundedStakes; // to the cent
    Rational roundedTotal, leastReturn, mostReturn;
};

Spread ComputeSpread(const SpreadQuestion& q)
{
    Spread s;
    for (const Outcome& o : q.outcomes) s.booksum += 1 / o.offers[o.best].decimal;
    s.stake = q.forReturn ? Rational(q.amount * s.booksum) : q.amount;
    s.returns = s.stake / s.booksum;
    bool first = true;
    for (const Outcome& o : q.outcomes) {
        const Rational& d = o.offers[o.best].decimal;
        s.stakes.emplace_back(s.returns / d);
        s.roundedStakes.push_back(RoundPlaces(s.stakes.back(), 2));
        s.roundedTotal += s.roundedStakes.back();
        const Rational back = s.roundedStakes.back() * d;
        if (first || back < s.leastReturn) s.leastReturn = back;
        if (first || back > s.mostReturn) s.mostReturn = back;
        first = false;
    }
    return s;
}

std::string Plural(std::size_t n, const std::string& one, const std::string& many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

Problems KellyProblems(const KellyQuestion& q)
{
    Problems out;
    if (q.chance <= 0 || q.chance >= 1) {
        out.push_back({"chance", "Your chance must be above 0 % and below 100 %."});
    }
    if (q.fraction <= 0 || q.fraction > 1) {
        out.push_back({"fraction", "The share of the Kelly stake must be above 0 and at most 1 (100 %): staking more "
                                   "than Kelly lowers the growth and raises the risk."});
    }
    if (q.bankroll && *q.bankroll <= 0) out.push_back({"bankroll", "The bankroll must be above 0."});
    return out;
}

std::string KellyReport(const KellyQuestion& q)
{
    const Kelly k = Compute(q);
    const Rational& d = q.price.decimal;
    std::string out;
    if (!k.bet) {
        out += " No bet: at " + PriceText(d) + " a " + Percent(q.chance) + " chance has no edge (" +
               (k.edge == 0 ? std::string("it breaks even") : "it loses " + Percent(-k.edge) + " of the stake") +
               " on average); Kelly stakes nothing.\r\n\r\n";
    } else {
        out += " Stake " + Percent(k.share) + " of your bankroll";
        if (q.bankroll) out += " (" + Money(k.share * *q.bankroll) + " of " + Money(*q.bankroll) + ")";
        out += ": at " + PriceText(d) + " your " + Percent(q.chance) + " chance has an edge of " + Percent(k.edge) +
               ".\r\n\r\n";
    }
    out += " Price:        " + PriceText(d) + " (as typed: " + q.price.typed + "), an implied chance of " +
           Percent(1 / d) + "\r\n";
    out += " Your chance:  " + Percent(q.chance) + ", a fair price of " + PriceText(1 / q.chance) + "\r\n";
    out += " Edge:         " + Percent(k.edge) + " of the stake on average (chance x price - 1)\r\n";
    if (!k.bet) {
        out += " A bet needs a price above " + PriceText(1 / q.chance) + " for this chance, or a chance above " +
               Percent(1 / d) + " at this price.\r\n";
        return out;
    }
    out += " Full Kelly:   " + Percent(k.full) + " of the bankroll (edge / (price - 1), exactly " +
           FractionText(k.full) + ")\r\n";
    if (q.fraction != 1) {
        out += " Staked:       " + FractionName(q.fraction) + ", " + Percent(k.share) + " of the bankroll (exactly " +
               FractionText(k.share) + ")\r\n";
    }
    if (q.bankroll) {
        out += " Stake:        " + Money(k.share * *q.bankroll) + " of a bankroll of " + Money(*q.bankroll) +
               "; a win returns " + Money(k.share * *q.bankroll * d) + "\r\n";
    }
    const Rational g = Growth(q.chance, k.b, k.share);
    out += " Expected log growth a bet: " + Significant(g, 6) + " (the bankroll's typical growth " +
           Percent(TypicalGrowth(g)) + " a bet)\r\n";
    if (q.fraction != 1) {
        const Rational gFull = Growth(q.chance, k.b, k.full);
        out += " At full Kelly it would be " + Significant(gFull, 6) + "; " + FractionName(q.fraction) + " keeps " +
               Percent(g / gFull) + " of that growth.\r\n";
    }
    return out;
}

std::string KellyJson(const KellyQuestion& q)
{
    const Kelly k = Compute(q);
    Json j;
    j["schema"] = "fortelle-kelly/1";
    j["price"] = {{"typed", q.price.typed}, {"decimal", FractionText(q.price.decimal)}};
    j["chance"] = FractionText(q.chance);
    j["fraction"] = FractionText(q.fraction);
    j["bankroll"] = q.bankroll ? Json(FractionText(*q.bankroll)) : Json(nullptr);
    j["edge"] = FractionText(k.edge);
    j["bet"] = k.bet;
    j["full_kelly"] = k.bet ? Json(FractionText(k.full)) : Json(nullptr);
    j["stake_share"] = FractionText(k.share);
    j["stake"] = q.bankroll ? Json(FractionText(k.share * *q.bankroll)) : Json(nullptr);
    if (k.bet) {
        j["log_growth"] = PlainDecimal(Growth(q.chance, k.b, k.share), kJsonGrowthPlaces);
        j["log_growth_full_kelly"] = PlainDecimal(Growth(q.chance, k.b, k.full), kJsonGrowthPlaces);
    }
    return j.dump(2) + "\n";
}

OutcomeList ReadOutcomes(const std::vector<std::string>& words)
{
    OutcomeList list;
    if (words.size() > kMostPrices) {
        list.problem = "At most " + Fixed(static_cast<long>(kMostPrices), 0) + " outcomes, not " +
                       Fixed(static_cast<long>(words.size()), 0) + ".";
        return list;
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        Outcome o;
        std::size_t start = 0;
        const std::string& word = words[i];
        while (start <= word.size()) {
            const std::size_t comma = std::min(word.find(',', start), word.size());
            const std::string text = word.substr(start, comma - start);
            start = comma + 1;
            const PriceReading r = ReadPrice(text);
            if (!r.decimal) {
                list.outcomes.clear();
                list.problem = "Outcome " + std::to_string(i + 1) + ": " + r.problem;
                return list;
            }
            o.offers.push_back({text, r.format, *r.decimal});
            if (o.offers.back().decimal > o.offers[o.best].decimal) o.best = o.offers.size() - 1;
        }
        list.outcomes.push_back(std::move(o));
    }
    return list;
}

Problems SpreadProblems(const SpreadQuestion& q)
{
    Problems out;
    if (q.cover == Cover::Every && q.outcomes.size() < 2) {
        out.push_back({"prices", "Give the prices of every outcome, at least two."});
    } else if (q.outcomes.empty()) {
        out.push_back({"prices", "Give the price of at least one selection."});
    }
    if (q.amount <= 0) {
        out.push_back({"amount", q.forReturn ? "The return must be above 0." : "The total stake must be above 0."});
    }
    return out;
}

TextTable SpreadTable(const SpreadQuestion& q)
{
    const Spread s = ComputeSpread(q);
    TextTable t{"Stakes", {{"Outcome", "Offered", "Best", "Stake", "Returns"}}};
    for (std::size_t i = 0; i < q.outcomes.size(); ++i) {
        const Outcome& o = q.outcomes[i];
        std::string offered;
        for (const Conversion& c : o.offers) offered += (offered.empty() ? "" : " ") + PriceText(c.decimal);
        t.rows.push_back({std::to_string(i + 1), offered, PriceText(o.offers[o.best].decimal),
                          Money(s.roundedStakes[i]), Money(s.roundedStakes[i] * o.offers[o.best].decimal)});
    }
    return t;
}

std::string SpreadReport(const SpreadQuestion& q)
{
    const Spread s = ComputeSpread(q);
    const Rational profit = s.returns - s.stake;
    std::string out;
    if (q.cover == Cover::Every) {
        if (s.booksum < 1) {
            out += " An arbitrage: staking " + Money(s.stake) + " as below returns " + Money(s.returns) +
                   " whatever happens, a sure profit of " + Money(profit) + " (" + Percent(profit / s.stake) + ").\r\n";
        } else if (s.booksum == 1) {
            out += " No arbitrage: staking " + Money(s.stake) +
                   " as below returns exactly the stake whatever "
                   "happens.\r\n";
        } else {
            out += " No arbitrage: the best prices add up to " + Percent(s.booksum) + "; staking " + Money(s.stake) +
                   " as below returns " + Money(s.returns) + " whatever happens, a sure loss of " + Money(-profit) +
                   " (" + Percent(-profit / s.stake) + ").\r\n";
        }
    } else {
        out += " Stake " + Money(s.stake) + " over " + Plural(q.outcomes.size(), "selection", "selections") +
               " as below: any of them winning returns " + Money(s.returns) + " (" +
               (profit >= 0 ? "a profit of " + Money(profit) : "a loss of " + Money(-profit)) +
               "); if none wins the stake is lost.\r\n";
    }
    out += "\r\n";
    out += q.cover == Cover::Every ? " Booksum of the best prices: " : " Implied chances of the selections: ";
    out += Percent(s.booksum) + " (exactly " + FractionText(s.booksum) + ")\r\n";
    if (q.cover == Cover::Some) {
        out += " Together they are one bet at " + PriceText(1 / s.booksum) + " (1 / that sum)\r\n";
    }
    out += Columns(SpreadTable(q).rows, "   ");
    out += " The stakes are rounded to the cent: together " + Money(s.roundedTotal) + ", returning ";
    out += s.leastReturn == s.mostReturn ? Money(s.leastReturn)
                                         : "from " + Money(s.leastReturn) + " to " + Money(s.mostReturn);
    out += q.cover == Cover::Every ? " whatever happens.\r\n" : " when one of them wins.\r\n";
    return out;
}

std::string SpreadJson(const SpreadQuestion& q)
{
    const Spread s = ComputeSpread(q);
    Json j;
    j["schema"] = q.cover == Cover::Every ? "fortelle-arbitrage/1" : "fortelle-dutching/1";
    Json outcomes = Json::array();
    for (std::size_t i = 0; i < q.outcomes.size(); ++i) {
        const Outcome& o = q.outcomes[i];
        Json offers = Json::array();
        for (const Conversion& c : o.offers)
            offers.push_back({{"typed", c.typed}, {"decimal", FractionText(c.decimal)}});
        outcomes.push_back({{"offers", offers},
                            {"best", FractionText(o.offers[o.best].decimal)},
                            {"stake", FractionText(s.stakes[i])},
                            {"stake_to_the_cent", FractionText(s.roundedStakes[i])}});
    }
    j["outcomes"] = outcomes;
    j["booksum"] = FractionText(s.booksum);
    if (q.cover == Cover::Every) j["arbitrage"] = s.booksum < 1;
    j["stake"] = FractionText(s.stake);
    j["returns"] = FractionText(s.returns);
    j["profit"] = FractionText(s.returns - s.stake);
    j["stakes_to_the_cent_total"] = FractionText(s.roundedTotal);
    j["returns_to_the_cent"] = {FractionText(s.leastReturn), FractionText(s.mostReturn)};
    return j.dump(2) + "\n";
}

} // namespace fortelle::prices
