#include "prices/multiple.h"

#include <nlohmann/json.hpp>

namespace fortelle::prices {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kMostTied = 100;
// More legs than any bookmaker takes in one multiple.
constexpr std::size_t kMostLegs = 100;

Rational CountsAs(const Leg& leg)
{
    switch (leg.state) {
    case LegState::Void: return 1;
    case LegState::DeadHeat: return leg.price.decimal / leg.tied;
    default: return leg.price.decimal;
    }
}

std::string StateName(const Leg& leg)
{
    switch (leg.state) {
    case LegState::Open: return "open";
    case LegState::Won: return "won";
    case LegState::Void: return "void";
    case LegState::DeadHeat: return "dead heat";
    }
    return {};
}

struct Figures {
    Rational combined = 1;
    std::size_t open = 0;
    bool chances = false;     // every open leg has one
    Rational allWin = 1;      // the open legs' chances multiplied
    Rational expected = 1;    // expected return per unit staked
    Rational openPrice = 1;   // the open legs' prices multiplied
    Rational leastReturn = 0; // of one open leg: chance x price
    Rational mostReturn = 0;
};

Figures Compute(const MultipleQuestion& q)
{
    Figures f;
    bool first = true;
    for (const Leg& leg : q.legs) {
        f.combined *= CountsAs(leg);
        if (leg.state != LegState::Open) continue;
        ++f.open;
        f.openPrice *= leg.price.decimal;
        if (!leg.chance) continue;
        f.allWin *= *leg.chance;
        const Rational back = *leg.chance * leg.price.decimal;
        if (first || back < f.leastReturn) f.leastReturn = back;
        if (first || back > f.mostReturn) f.mostReturn = back;
        first = false;
    }
    f.chances = f.open > 0 && !first;
    f.expected = f.combined * f.allWin;
    return f;
}

std::string Plural(std::size_t n, const std::string& one, const std::string& many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

LegList ReadLegs(const std::vector<std::string>& words)
{
    LegList list;
    if (words.size() > kMostLegs) {
        list.problem = "At most " + std::to_string(kMostLegs) + " legs, not " + std::to_string(words.size()) + ".";
        return list;
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string where = "Leg " + std::to_string(i + 1) + ": ";
        auto fail = [&](const std::string& text) {
            list.legs.clear();
            list.problem = where + text;
            return list;
        };
        Leg leg;
        leg.typed = word;
        std::string rest = word;
        if (const auto colon = rest.find(':'); colon != std::string::npos) {
            const std::string state = rest.substr(colon + 1);
            rest.erase(colon);
            if (state == "void" || state == "push") {
                leg.state = LegState::Void;
            } else if (state == "won") {
                leg.state = LegState::Won;
            } else if (state.rfind("dh", 0) == 0) {
                const auto k = ParseUnsignedDecimal(state.substr(2));
                if (!k || denominator(*k) != 1 || *k < 2 || *k > kMostTied) {
                    return fail("a dead heat is written :dh2, :dh3 ... (the runners tied, 2 to 100), not ':" + state +
                                "'.");
                }
                leg.state = LegState::DeadHeat;
                leg.tied = numerator(*k).convert_to<int>();
            } else {
                return fail("'" + state + "' is not a leg's result: write :void, :push, :won or :dh2.");
            }
        }
        if (const auto at = rest.find('@'); at != std::string::npos) {
            const std::string chance = rest.substr(at + 1);
            rest.erase(at);
            if (leg.state != LegState::Open) return fail("a settled leg needs no chance; leave out '@" + chance + "'.");
            leg.chance = ParseChance(chance);
            if (!leg.chance) return fail("'" + chance + "' is not a chance: write 48%, 0.48 or 12/25.");
            if (*leg.chance <= 0 || *leg.chance > 1) return fail("a leg's chance must be above 0 % and at most 100 %.");
        }
        const PriceReading r = ReadPrice(rest);
        if (!r.decimal) return fail(r.problem);
        leg.price = {rest, r.format, *r.decimal};
        list.legs.push_back(std::move(leg));
    }
    return list;
}

Problems MultipleProblems(const MultipleQuestion& q)
{
    Problems out;
    if (q.legs.empty()) out.push_back({"legs", "Give at least one leg."});
    std::size_t with = 0, open = 0, without = 0;
    for (std::size_t i = 0; i < q.legs.size(); ++i) {
        if (q.legs[i].state != LegState::Open) continue;
        ++open;
        if (q.legs[i].chance) {
            ++with;
        } else if (without == 0) {
            without = i + 1;
        }
    }
    if (with > 0 && with < open) {
        out.push_back(
            {"legs", "Give a chance for every open leg or for none: leg " + std::to_string(without) + " has none."});
    }
    if (q.stake <= 0) out.push_back({"stake", "The stake must be above 0."});
    return out;
}

TextTable MultipleTable(const MultipleQuestion& q)
{
    TextTable t{"Legs", {{"Leg", "Price", "Result", "Counts as", "Chance", "Chance x price"}}};
    for (std::size_t i = 0; i < q.legs.size(); ++i) {
        const Leg& leg = q.legs[i];
        std::string state = StateName(leg);
        if (leg.state == LegState::DeadHeat) state += ", stake split " + std::to_string(leg.tied) + " ways";
        t.rows.push_back({std::to_string(i + 1), PriceText(leg.price.decimal), state, PriceText(CountsAs(leg)),
                          leg.chance ? Percent(*leg.chance) : "-",
                          leg.chance ? Percent(*leg.chance * leg.price.decimal) : "-"});
    }
    return t;
}

std::string MultipleReport(const MultipleQuestion& q)
{
    const Figures f = Compute(q);
    const Rational returns = q.stake * f.combined;
    std::string out = " The " + Plural(q.legs.size(), "leg", "legs") + " pay " + PriceText(f.combined) +
                      " for 1 staked: " + Money(q.stake) + " returns " + Money(returns) + " if every open leg wins";
    if (f.chances) {
        out +=
            ", a chance of " + Percent(f.allWin) + "; the expected return is " + Percent(f.expected) + " of the stake";
    }
    out += ".\r\n\r\n";
    out += Columns(MultipleTable(q).rows, "   ");
    out += " Combined price: " + PriceText(f.combined) + " (exactly " + FractionText(f.combined) +
           "), the legs' counted prices multiplied\r\n";
    out += " Returns: " + Money(returns) + " for a stake of " + Money(q.stake) + ", a profit of " +
           Money(returns - q.stake) + "\r\n";
    if (f.open == 0) {
        out += " Every leg is settled: the multiple has won.\r\n";
        return out;
    }
    if (!f.chances) {
        out += " Give each open leg your chance (2.10@48%) for the multiple's chance and expected value.\r\n";
        return out;
    }
    out += " Chance that the " + Plural(f.open, "open leg wins", "open legs all win") + ": " + Percent(f.allWin) +
           " (exactly " + FractionText(f.allWin) + "), a fair price of " + PriceText(1 / f.allWin) + " for them\r\n";
    out += " Expected return: " + Percent(f.expected) + " of the stake, an expected " +
           (f.expected >= 1 ? "profit of " + Money(q.stake * (f.expected - 1))
                            : "loss of " + Money(q.stake * (1 - f.expected))) +
           "\r\n";
    if (f.open > 1) {
        out += " Compounding: each open leg returns " +
               (f.leastReturn == f.mostReturn ? Percent(f.leastReturn)
                                              : "from " + Percent(f.leastReturn) + " to " + Percent(f.mostReturn)) +
               " of its stake on average; together the open legs return their product, " +
               Percent(f.allWin * f.openPrice) + ".\r\n";
    }
    return out;
}

std::string MultipleJson(const MultipleQuestion& q)
{
    const Figures f = Compute(q);
    Json j;
    j["schema"] = "fortelle-multiple/1";
    Json legs = Json::array();
    for (const Leg& leg : q.legs) {
        Json e;
        e["typed"] = leg.typed;
        e["decimal"] = FractionText(leg.price.decimal);
        e["result"] = StateName(leg);
        if (leg.state == LegState::DeadHeat) e["tied"] = leg.tied;
        e["counts_as"] = FractionText(CountsAs(leg));
        e["chance"] = leg.chance ? Json(FractionText(*leg.chance)) : Json(nullptr);
        legs.push_back(e);
    }
    j["legs"] = legs;
    j["combined_price"] = FractionText(f.combined);
    j["stake"] = FractionText(q.stake);
    j["returns"] = FractionText(q.stake * f.combined);
    j["open_legs"] = f.open;
    if (f.chances) {
        j["chance_all_open_win"] = FractionText(f.allWin);
        j["expected_return"] = FractionText(f.expected);
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::prices
