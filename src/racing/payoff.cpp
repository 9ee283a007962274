#include "racing/payoff.h"

#include <algorithm>

#include "racing/field.h"
#include "racing/figures.h"
#include "shell/report.h"

namespace fortelle::racing {
namespace {

int PaidPlaces(BetType pool)
{
    if (pool == BetType::Place) return 2;
    if (pool == BetType::Show) return 3;
    return 1; // win and the exotic pools pay one winning combination (or those of a dead heat)
}

bool Exotic(BetType pool) { return PaidPlaces(pool) == 1 && pool != BetType::Win; }

// The amounts in finishing order: places apart by blanks or "/", dead heats
// joined by "=".
std::vector<std::vector<Rational>> ReadAmounts(const std::string& text)
{
    std::vector<std::vector<Rational>> groups;
    std::string group;
    const auto flush = [&] {
        if (group.empty()) return;
        std::vector<Rational> heat;
        std::size_t start = 0;
        while (true) {
            const auto cut = group.find('=', start);
            const std::string word = group.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
            const auto amount = word.size() <= 40 ? ParseDecimal(word) : std::nullopt;
            if (!amount) {
                Problem("amounts", "'" + word +
                                       "' is not an amount. Give the amount bet on each finisher that pays, "
                                       "in finishing order, as 5000 / 3000; join a dead heat with =, as 800=500.");
            }
            if (*amount <= 0)
                Problem("amounts", "Every finisher that pays needs an amount bet on it above 0 ('" + word + "').");
            heat.push_back(*amount);
            if (cut == std::string::npos) break;
            start = cut + 1;
        }
        groups.push_back(std::move(heat));
        group.clear();
    };
    for (const char c : text) {
        if (c == ' ' || c == '/' || c == '\t' || c == ';') {
            flush();
        } else {
            group += c;
        }
    }
    flush();
    return groups;
}

std::string PoolName(BetType pool)
{
    std::string name = InfoOf(pool).name;
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

const char* Ordinal(std::size_t n)
{
    static const char* const words[] = {"first", "second", "third", "fourth", "fifth", "sixth"};
    return words[std::min<std::size_t>(n, 6) - 1];
}

std::string Label(const PayoffResult& r, std::size_t i)
{
    const FinisherPayoff& f = r.finishers[i];
    std::string label;
    if (Exotic(r.input.pool)) {
        label = r.finishers.size() == 1 ? "winning combination" : std::string(Ordinal(i + 1)) + " winning combination";
    } else if (r.finishers.size() == 1) {
        label = "winner";
    } else {
        label = std::string(Ordinal(f.position)) + " finisher";
    }
    return f.deadHeat ? label + " (dead heat)" : label;
}

Rational RoundedDown(const Rational& x, const Rational& step)
{
    const Rational q = x / step;
    BigInt whole = numerator(q) / denominator(q); // toward zero: above q when q is negative
    if (whole > q) --whole;
    return Rational(whole) * step;
}

std::string PercentText(const Rational& fraction) { return Decimal(fraction * 100) + " %"; }

} // namespace

PayoffResult ComputePayoff(const PayoffInput& in)
{
    PayoffResult r;
    r.input = in;
    const std::string poolName = InfoOf(in.pool).name;
    if (!in.jurisdiction.empty()) {
        r.rules = Jurisdictions().find(in.jurisdiction);
        if (!r.rules) {
            std::string ids;
            for (const Jurisdiction& j : Jurisdictions().jurisdictions) ids += (ids.empty() ? "" : ", ") + j.id;
            Problem("rules", "There are no rules for '" + in.jurisdiction + "' in the table: choose " + ids + ".");
        }
    }
    if (in.gross <= 0) Problem("pool", "The pool must be above 0.");
    if (in.base <= 0) Problem("base", "The base stake must be above 0.");
    if (in.takeout) {
        r.takeout = *in.takeout;
    } else if (r.rules && r.rules->takeout.count(poolName)) {
        r.takeout = r.rules->takeout.at(poolName);
    } else {
        Problem("takeout",
                r.rules ? "The table has no takeout for the " + poolName + " pool in " + r.rules->name + ": give it."
                        : std::string("Give the takeout, the percentage of the pool the operator keeps."));
    }
    if (r.takeout < 0 || r.takeout >= 1) Problem("takeout", "The takeout must be at least 0 % and below 100 %.");
    if (in.breakage) {
        r.breakage = *in.breakage;
    } else if (r.rules && r.rules->breakage) {
        r.breakage = *r.rules->breakage;
    } else {
        r.breakage = Rational(1, 10);
        r.breakageDefaulted = true;
    }
    if (r.breakage <= 0 || r.breakage > 1 || denominator(Rational(1 / r.breakage)) != 1)
        Problem("breakage", "The breakage must divide a dollar evenly, as 0.10, 0.05 or 0.01.");
    if (in.minimum) {
        r.minimum = *in.minimum / in.base;
    } else if (r.rules && r.rules->minimum) {
        r.minimum = *r.rules->minimum;
    }
    if (r.minimum && *r.minimum < 1)
        Problem("minimum", "The minimum payoff must be at least the stake, " + Money(in.base) + ".");

    const std::vector<std::vector<Rational>> groups = ReadAmounts(in.amounts);
    const std::size_t places = static_cast<std::size_t>(PaidPlaces(in.pool));
    if (groups.empty()) Problem("amounts", "Give the amount bet on each finisher that pays, in finishing order.");
    std::size_t position = 1;
    for (const auto& heat : groups) {
        if (position > places) {
            Problem("amounts",
                    Article(poolName) + " " + poolName + " pool pays " +
                        (places == 1 ? std::string("one finisher (or those in a dead heat for first, joined by =)")
                                     : "the first " + std::to_string(places) + " finishers") +
                        ": give no more amounts.");
        }
        // A dead heat shares the parts of the paid places it covers.
        const std::size_t last = position + heat.size() - 1;
        const std::size_t covered = std::min(last, places) - position + 1;
        for (const Rational& amount : heat) {
            FinisherPayoff f;
            f.position = position;
            f.deadHeat = heat.size() > 1;
            f.bet = amount;
            f.share =
                Rational(static_cast<long long>(covered)) / Rational(static_cast<long long>(places * heat.size()));
            r.onFinishers += amount;
            r.finishers.push_back(f);
        }
        position = last + 1;
    }
    if (position <= places) { // `position` is the first place after the amounts given
        Problem("amounts", Article(poolName) + " " + poolName + " pool pays the first " + std::to_string(places) +
                               " finishers: give an amount for each.");
    }
    if (r.onFinishers > in.gross) {
        Problem("amounts", "More is bet on the finishers (" + Money(r.onFinishers) + ") than in the whole pool (" +
                               Money(in.gross) + ").");
    }
    r.takeoutAmount = in.gross * r.takeout;
    r.net = in.gross - r.takeoutAmount;
    r.profit = r.net - r.onFinishers;

    const auto pay = [&](const std::optional<Rational>& minimum) {
        r.paidOut = 0;
        for (FinisherPayoff& f : r.finishers) {
            f.profitPerDollar = r.profit * f.share / f.bet;
            f.unbroken = 1 + f.profitPerDollar;
            f.broken = 1 + RoundedDown(f.profitPerDollar, r.breakage);
            const Rational floor = minimum ? *minimum : Rational(1); // at least the stake back
            f.minimumPaid = f.broken < floor;
            f.paid = f.minimumPaid ? floor : f.broken;
            r.paidOut += f.bet * f.paid;
        }
    };
    pay(r.minimum);
    if (r.paidOut > r.net && r.rules && r.rules->minimumInMinusPool && !in.minimum) {
        r.minimum = r.rules->minimumInMinusPool;
        r.minusPoolMinimum = true;
        pay(r.minimum);
    }
    r.kept = std::max(Rational(0), Rational(r.net - r.paidOut));
    r.minusPool = std::max(Rational(0), Rational(r.paidOut - r.net));
    return r;
}

std::vector<std::vector<std::string>> FinisherTable(const PayoffResult& r)
{
    const std::string base = Money(r.input.base);
    std::vector<std::vector<std::string>> rows{{"Finisher", "Bet on it", "Share", "Unbroken per 1", "Broken per 1",
                                                "Pays per " + base, "Breakage per " + base}};
    for (std::size_t i = 0; i < r.finishers.size(); ++i) {
        const FinisherPayoff& f = r.finishers[i];
        rows.push_back(
            {Label(r, i), Money(f.bet), FractionOf(f.share), Fixed(f.unbroken, 7), Money(f.broken),
             Money(f.paid * r.input.base) + (f.minimumPaid ? (r.minimum ? " (minimum)" : " (stake back)") : ""),
             Fixed((f.unbroken - f.broken) * r.input.base, 7)});
    }
    return rows;
}

std::string PayoffReport(const PayoffResult& r)
{
    const PayoffInput& in = r.input;
    const std::string base = Money(in.base);
    Report out;
    out.blank();
    std::string answer;
    for (std::size_t i = 0; i < r.finishers.size(); ++i) {
        if (i > 0) answer += i + 1 == r.finishers.size() ? " and " : ", ";
        answer += Money(r.finishers[i].paid * in.base) + " on the " + Label(r, i);
    }
    for (const std::string& line :
         Wrapped(PoolName(in.pool) + " pool: pays " + answer + ", for a ticket of " + base + ".", 96))
        out.line(" ", line);
    out.blank();

    const std::string given = r.rules ? " (given)" : "";
    std::string rules = r.rules ? "Rules of " + r.rules->name + ": " : std::string("Rules as given: ");
    rules += "takeout " + PercentText(r.takeout) + (in.takeout ? given : "") + ", breakage " + Money(r.breakage) +
             " per dollar" + (in.breakage ? given : "");
    if (r.breakageDefaulted) rules += r.rules ? " (the table has none: the common rule)" : " (the common rule)";
    if (r.minimum) {
        rules += ", minimum payoff " + Money(*r.minimum * in.base) + " for " + base + (in.minimum ? given : "");
        if (r.minusPoolMinimum) rules += " (the rules' lower minimum when the higher one makes a minus pool)";
        rules += ".";
    } else {
        rules += ", no minimum payoff beyond the stake back.";
    }
    for (const std::string& line : Wrapped(rules, 96)) out.line(" ", line);
    out.blank();
    const std::vector<std::pair<std::string, std::string>> sums{
        {"Gross pool", Money(in.gross)},
        {"Takeout " + PercentText(r.takeout), "-" + Money(r.takeoutAmount)},
        {"Net pool", Money(r.net)},
        {r.finishers.size() == 1 ? std::string(Exotic(in.pool) ? "Bet on the winning combination" : "Bet on the winner")
                                 : std::string("Bet on the finishers that pay"),
         "-" + Money(r.onFinishers)},
        {"Profit to share", Money(r.profit)},
    };
    std::size_t label = 0, value = 0;
    for (const auto& [l, v] : sums) {
        label = std::max(label, l.size());
        value = std::max(value, v.size());
    }
    for (const auto& [l, v] : sums) {
        out.line(" ", l, std::string(label - l.size() + 2, ' '), std::string(value - v.size(), ' '), v);
    }
    out.blank();

    const std::vector<std::vector<std::string>> rows = FinisherTable(r);
    std::vector<std::size_t> width(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        std::string line = " " + rows[k][0] + std::string(width[0] - rows[k][0].size(), ' ');
        for (std::size_t c = 1; c < rows[k].size(); ++c) {
            const std::string& cell = rows[k][c];
            line += "  " + (c == 5 && k > 0 ? cell + std::string(width[c] - cell.size(), ' ')
                                            : std::string(width[c] - cell.size(), ' ') + cell);
        }
        out.line(line);
    }
    out.blank();
    out.line(" Paid out: ", Money(r.paidOut), ". Breakage kept by the operator: ", Money(r.kept), ".");
    if (r.minusPool > 0)
        out.line(" Minus pool: the payoffs exceed the net pool by ", Money(r.minusPool), ", which the operator pays.");
    out.blank();
    out.line(" Each finisher's share of the profit, divided by the amount bet on it, is its profit per");
    out.line(" dollar; rounded down to a multiple of ", Money(r.breakage), " and with the dollar staked it is the");
    out.line(" price per dollar, quoted here for a ticket of ", base, ".");
    if (r.rules) {
        for (const std::string& source : r.rules->sources) {
            const std::vector<std::string> lines = Wrapped(source, 94);
            for (std::size_t i = 0; i < lines.size(); ++i) out.line(i == 0 ? " - " : "   ", lines[i]);
        }
    }
    return out.take();
}

std::string PayoffJson(const PayoffResult& r)
{
    Json j;
    j["schema"] = "fortelle-payoff/1";
    j["pool"] = InfoOf(r.input.pool).name;
    j["rules"] = r.rules ? Json(r.rules->id) : Json(nullptr);
    j["gross"] = ExactJson(r.input.gross);
    j["takeout"] = ExactJson(r.takeout);
    j["breakage"] = ExactJson(r.breakage);
    j["minimum"] = r.minimum ? ExactJson(*r.minimum) : Json(nullptr);
    j["base"] = ExactJson(r.input.base);
    j["takeout_amount"] = ExactJson(r.takeoutAmount);
    j["net"] = ExactJson(r.net);
    j["bet_on_finishers"] = ExactJson(r.onFinishers);
    j["profit"] = ExactJson(r.profit);
    j["finishers"] = Json::array();
    for (const FinisherPayoff& f : r.finishers) {
        Json e;
        e["position"] = f.position;
        e["dead_heat"] = f.deadHeat;
        e["bet"] = ExactJson(f.bet);
        e["share"] = ExactJson(f.share);
        e["profit_per_dollar"] = ExactJson(f.profitPerDollar);
        e["unbroken_per_dollar"] = ExactJson(f.unbroken);
        e["broken_per_dollar"] = ExactJson(f.broken);
        e["paid_per_dollar"] = ExactJson(f.paid);
        e["payoff"] = ExactJson(f.paid * r.input.base);
        e["minimum_paid"] = f.minimumPaid;
        j["finishers"].push_back(std::move(e));
    }
    j["paid_out"] = ExactJson(r.paidOut);
    j["breakage_kept"] = ExactJson(r.kept);
    j["minus_pool"] = ExactJson(r.minusPool);
    return j.dump(2) + "\n";
}

} // namespace fortelle::racing
