#include "prices/market.h"

#include <nlohmann/json.hpp>

namespace fortelle::prices {
namespace {

// Places of a root-found figure in reports (its parameter) and in JSON
// (its chances and parameter, its fair prices): well inside the 1e-12 the
// root is found to, so every digit written is right but for the rounding
// of the last.
constexpr int kParameterPlaces = 10;
constexpr int kJsonChancePlaces = 15;
constexpr int kJsonPricePlaces = 12;

std::string List(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& s : items) out += (out.empty() ? "" : ", ") + s;
    return out;
}

std::vector<std::string> FairPrices(const FairChances& f, PriceFormat as)
{
    std::vector<std::string> out;
    out.reserve(f.chances.size());
    for (const Rational& p : f.chances) out.push_back(Show(1 / p, as).text);
    return out;
}

std::string Capitalised(std::string_view text)
{
    std::string s(text);
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

TextTable MethodTable(const Market& m, const FairChances& f)
{
    const std::vector<Conversion>& prices = m.question.prices;
    TextTable t{Capitalised(MethodTitle(f.method)) + " method",
                {{"Outcome", "Price", "Implied", "Fair chance", "Fair price"}}};
    for (std::size_t i = 0; i < prices.size(); ++i) {
        t.rows.push_back({std::to_string(i + 1), Show(prices[i].decimal, m.question.as).text,
                          Percent(1 / prices[i].decimal), Percent(f.chances[i]),
                          Show(1 / f.chances[i], m.question.as).text});
    }
    return t;
}

} // namespace

std::string MethodLine(const FairChances& f)
{
    std::string name = Capitalised(MethodTitle(f.method)) + " method";
    const std::string found = " (found to within 1e-12)";
    switch (f.method) {
    case Method::Multiplicative: return name + ": each implied chance divided by the booksum; exact.";
    case Method::Additive:
        return name + ": " + Percent(f.parameter) + " (exactly " + FractionText(f.parameter) +
               ") taken from each implied chance; exact.";
    case Method::Power:
        if (f.exact) return name + ": the implied chances themselves (k = 1); exact.";
        return name + ": each implied chance raised to the power k = " + Fixed(f.parameter, kParameterPlaces) + found +
               ".";
    case Method::Shin:
        if (f.exact) return name + ": the implied chances themselves (z = 0); exact.";
        return name + ": insiders' share of the money z = " + Percent(f.parameter) + " (" +
               Fixed(f.parameter, kParameterPlaces) + ")" + found + ".";
    case Method::OddsRatio:
        if (f.exact) return name + ": the implied chances themselves (c = 1); exact.";
        return name + ": implied odds c = " + Fixed(f.parameter, kParameterPlaces) + " times the fair odds" + found +
               ".";
    }
    return name;
}

std::vector<TextTable> MarketTables(const Market& m)
{
    std::vector<TextTable> tables;
    for (const FairChances& f : m.methods) {
        if (f.ok) tables.push_back(MethodTable(m, f));
    }
    return tables;
}

std::optional<std::string> MarketQuestionProblem(const MarketQuestion& q)
{
    if (q.prices.size() < 2) return std::string("A market needs the prices of at least two outcomes, one per outcome.");
    return std::nullopt;
}

Market ComputeMarket(const MarketQuestion& q)
{
    Market m;
    m.question = q;
    const std::vector<Rational> decimals = Decimals(q.prices);
    m.booksum = Booksum(decimals);
    m.overround = m.booksum - 1;
    m.hold = 1 - 1 / m.booksum;
    if (q.method) {
        m.methods.push_back(RemoveMargin(decimals, *q.method));
    } else {
        for (const Method method : kMethods) m.methods.push_back(RemoveMargin(decimals, method));
    }
    return m;
}

std::string MarketReport(const Market& m)
{
    const std::vector<Conversion>& prices = m.question.prices;
    const FairChances& lead = m.methods.front();
    std::string out = " The bookmaker's margin is " + Percent(m.overround) + "; ";
    if (lead.ok) {
        out += "fair prices " + List(FairPrices(lead, m.question.as)) + " (" +
               MethodPhrase(lead.method).substr(lead.method == Method::Shin ? 0 : 4) + ").";
    } else {
        out += MethodPhrase(lead.method) + " gives no fair prices here.";
    }
    out += "\r\n\r\n";
    std::vector<std::string> shown;
    shown.reserve(prices.size());
    for (const Conversion& c : prices) shown.push_back(Show(c.decimal, m.question.as).text);
    out += " Prices (" + std::string(FormatTitle(m.question.as)) + "): " + List(shown) + "; " +
           std::to_string(prices.size()) + " outcomes\r\n";
    out += " Booksum:   " + Percent(m.booksum) + ", the implied chances 1/price added up (exactly " +
           FractionText(m.booksum) + ")\r\n";
    out += " Overround: " + Percent(m.overround) + ", the booksum above 100 %\r\n";
    out += " Hold:      " + Percent(m.hold) +
           " of the stakes, kept by the bookmaker when they are spread to pay the same on every outcome\r\n";
    if (m.booksum < 1) {
        out += " The booksum is below 100 %: staking on every outcome in proportion to its implied chance wins "
               "whatever happens.\r\n";
    }
    for (const FairChances& f : m.methods) {
        out += "\r\n";
        if (!f.ok) {
            out += " " + Capitalised(MethodTitle(f.method)) + " method: no fair chances for this market. " + f.failure +
                   "\r\n";
            continue;
        }
        out += " " + MethodLine(f) + "\r\n";
        out += Columns(MethodTable(m, f).rows, "   ");
    }
    return out;
}

std::string MarketJson(const Market& m)
{
    using Json = nlohmann::ordered_json;
    Json j;
    j["schema"] = "fortelle-market/1";
    Json prices = Json::array();
    for (const Conversion& c : m.question.prices) {
        prices.push_back({{"typed", c.typed}, {"decimal", FractionText(c.decimal)}});
    }
    j["prices"] = prices;
    j["booksum"] = FractionText(m.booksum);
    j["overround"] = FractionText(m.overround);
    j["hold"] = FractionText(m.hold);
    Json methods = Json::array();
    for (const FairChances& f : m.methods) {
        Json e;
        e["method"] = MethodName(f.method);
        e["ok"] = f.ok;
        if (!f.ok) {
            e["failure"] = f.failure;
            methods.push_back(e);
            continue;
        }
        e["exact"] = f.exact;
        Json chances = Json::array(), fair = Json::array();
        for (const Rational& p : f.chances) {
            if (f.exact) {
                chances.push_back(FractionText(p));
                fair.push_back(FractionText(1 / p));
            } else {
                chances.push_back(PlainDecimal(p, kJsonChancePlaces));
                fair.push_back(PlainDecimal(1 / p, kJsonPricePlaces));
            }
        }
        e["parameter_name"] = ParameterName(f.method);
        if (f.exact) {
            e["parameter"] = FractionText(f.parameter);
        } else {
            e["parameter"] = PlainDecimal(f.parameter, kJsonChancePlaces);
            e["tolerance"] = kRootTolerance;
        }
        e["chances"] = chances;
        e["fair_prices"] = fair;
        methods.push_back(e);
    }
    j["methods"] = methods;
    return j.dump(2) + "\n";
}

} // namespace fortelle::prices
