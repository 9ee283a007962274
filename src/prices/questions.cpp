#include "prices/questions.h"

#include <cctype>

namespace fortelle::prices {
namespace {

// An amount of money: an unsigned decimal, thousands optionally grouped.
std::optional<Rational> Amount(const std::string& what, const std::string& text, Problems& problems,
                               const std::string& name)
{
    auto value = ParseUnsignedDecimal(Trimmed(text));
    if (!value) {
        problems.push_back({what, "'" + text + "' is not an amount: write " + name + " as 100 or 1,250.50."});
    } else if (*value == 0) {
        // `name` is written for the middle of a sentence ("the stake").
        std::string sentence = name + " must be above 0.";
        sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
        problems.push_back({what, sentence});
        return std::nullopt;
    }
    return value;
}

} // namespace

std::variant<std::vector<Conversion>, Problems> ReadConversion(const std::vector<std::string>& prices)
{
    if (prices.empty()) return Problems{{"prices", ReadPrice("").problem}};
    if (prices.size() == 1) {
        // One price is reported as it reads, without a number before it.
        const PriceReading r = ReadPrice(prices[0]);
        if (!r.decimal) return Problems{{"prices", r.problem}};
        return std::vector<Conversion>{{prices[0], r.format, *r.decimal}};
    }
    PriceList list = ReadPriceList(prices);
    if (!list.problem.empty()) return Problems{{"prices", list.problem}};
    return std::move(list.prices);
}

std::variant<MarketQuestion, Problems> ReadMarket(const MarketEntries& e)
{
    Problems problems;
    MarketQuestion q;
    PriceList list = ReadPriceList(e.prices);
    if (!list.problem.empty()) {
        problems.push_back({"prices", list.problem});
    } else {
        q.prices = std::move(list.prices);
        if (const auto p = MarketQuestionProblem(q)) problems.push_back({"prices", *p});
    }
    if (e.method != "all") {
        q.method = MethodNamed(e.method);
        if (!q.method) {
            problems.push_back({"method", "'" + e.method +
                                              "' is not a method: multiplicative, additive, power, shin, odds-ratio "
                                              "or all."});
        }
    }
    const auto as = FormatNamed(e.as);
    if (!as || *as == PriceFormat::Implied) {
        problems.push_back({"as", "'" + e.as + "' is not a form of price to show: decimal, fractional or american."});
    } else {
        q.as = *as;
    }
    if (!problems.empty()) return problems;
    return q;
}

std::variant<KellyQuestion, Problems> ReadKelly(const KellyEntries& e)
{
    Problems problems;
    KellyQuestion q;
    if (e.price.size() != 1) {
        problems.push_back({"prices", e.price.empty() ? ReadPrice("").problem
                                                      : "Give one price, not " + std::to_string(e.price.size()) + "."});
    } else {
        const PriceReading r = ReadPrice(e.price[0]);
        if (!r.decimal) {
            problems.push_back({"prices", r.problem});
        } else {
            q.price = {e.price[0], r.format, *r.decimal};
        }
    }
    if (Trimmed(e.chance).empty()) {
        problems.push_back({"chance", "Give your own chance of winning: 45%, 0.45 or 9/20."});
    } else if (const auto chance = ParseChance(e.chance)) {
        q.chance = *chance;
    } else {
        problems.push_back({"chance", "'" + e.chance + "' is not a chance: write 45%, 0.45 or 9/20."});
    }
    if (e.fraction && !Trimmed(*e.fraction).empty()) {
        if (const auto fraction = ParseChance(*e.fraction)) {
            q.fraction = *fraction;
        } else {
            problems.push_back(
                {"fraction", "'" + *e.fraction + "' is not a share of the Kelly stake: write 1, 0.5, 1/2 or 50%."});
        }
    }
    if (e.bankroll && !Trimmed(*e.bankroll).empty()) {
        if (const auto b = Amount("bankroll", *e.bankroll, problems, "the bankroll")) q.bankroll = *b;
    }
    if (problems.empty()) {
        problems = KellyProblems(q);
    }
    if (!problems.empty()) return problems;
    return q;
}

std::variant<SpreadQuestion, Problems> ReadSpread(const SpreadEntries& e)
{
    Problems problems;
    SpreadQuestion q;
    q.cover = e.cover;
    OutcomeList list = ReadOutcomes(e.outcomes);
    if (!list.problem.empty()) {
        problems.push_back({"prices", list.problem});
    } else {
        q.outcomes = std::move(list.outcomes);
    }
    const bool stake = e.stake && !Trimmed(*e.stake).empty();
    const bool returns = e.returns && !Trimmed(*e.returns).empty();
    if (stake && returns) {
        problems.push_back({"amount", "Give the total stake or the return, not both."});
    } else if (stake) {
        if (const auto a = Amount("amount", *e.stake, problems, "the total stake")) q.amount = *a;
    } else if (returns) {
        q.forReturn = true;
        if (const auto a = Amount("amount", *e.returns, problems, "the return")) q.amount = *a;
    } else {
        q.amount = kDefaultSpreadStake;
    }
    if (problems.empty()) {
        problems = SpreadProblems(q);
    }
    if (!problems.empty()) return problems;
    return q;
}

std::variant<MultipleQuestion, Problems> ReadMultiple(const MultipleEntries& e)
{
    Problems problems;
    MultipleQuestion q;
    LegList list = ReadLegs(e.legs);
    if (!list.problem.empty()) {
        problems.push_back({"legs", list.problem});
    } else {
        q.legs = std::move(list.legs);
    }
    q.stake = kDefaultMultipleStake;
    if (e.stake && !Trimmed(*e.stake).empty()) {
        if (const auto a = Amount("stake", *e.stake, problems, "the stake")) q.stake = *a;
    }
    if (problems.empty()) {
        problems = MultipleProblems(q);
    }
    if (!problems.empty()) return problems;
    return q;
}

} // namespace fortelle::prices
