#include "prices/tools.h"

#include <functional>

#include "prices/questions.h"

namespace fortelle::prices {
namespace {

using forms::Field;
using forms::Kind;
using forms::Values;

constexpr const char* kMenu = "Prices";

std::string ValueOf(const Values& values, const std::string& key)
{
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

std::optional<std::string> Given(const Values& values, const std::string& key)
{
    const std::string v = ValueOf(values, key);
    if (Trimmed(v).empty()) return std::nullopt;
    return v;
}

// A tool whose fields read into a question of type Q by `read`, answered by
// `report`. `keys` maps a problem's value name to the field it belongs
// beside, where the two differ.
template <typename Q>
class PriceTool : public forms::Tool {
public:
    using Read = std::function<std::variant<Q, Problems>(const Values&)>;
    // Sets the result's report, its JSON export and its tables.
    using Answer = std::function<void(const Q&, forms::Result&)>;

    PriceTool(forms::ToolInfo info, std::vector<Field> fields, Read read, Answer report,
              std::map<std::string, std::string> keys = {})
        : info_(std::move(info)), fields_(std::move(fields)), read_(std::move(read)), report_(std::move(report)),
          keys_(std::move(keys))
    {}

    forms::ToolInfo info() const override { return info_; }
    std::vector<Field> fields(const Values& /*values*/) const override { return fields_; }

    std::vector<forms::Problem> check(const Values& values) const override
    {
        const auto read = read_(values);
        std::vector<forms::Problem> out;
        if (const Problems* problems = std::get_if<Problems>(&read)) {
            for (const Problem& p : *problems) {
                const auto key = keys_.find(p.what);
                out.push_back({key == keys_.end() ? p.what : key->second, p.message});
            }
        }
        return out;
    }

    forms::Result compute(const Values& values, forms::Progress& /*progress*/) const override
    {
        forms::Result r;
        r.problems = check(values);
        if (!r.ok()) return r;
        r.title = info_.title;
        report_(std::get<Q>(read_(values)), r);
        // The verdict is the report's first line, without its leading blank.
        const std::size_t end = r.report.find("\r\n");
        r.verdict = r.report.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        return r;
    }

private:
    forms::ToolInfo info_;
    std::vector<Field> fields_;
    Read read_;
    Answer report_;
    std::map<std::string, std::string> keys_;
};

forms::Export Json(const std::string& fileName, std::string bytes)
{
    return {"Figures as JSON", fileName, std::move(bytes)};
}

forms::Table Table(const TextTable& t)
{
    forms::Table out;
    out.title = t.title;
    out.columns = t.rows.front();
    out.rows.assign(t.rows.begin() + 1, t.rows.end());
    return out;
}

Field PricesField(const std::string& key, const std::string& label, const std::string& placeholder,
                  const std::string& help)
{
    Field f;
    f.key = key;
    f.label = label;
    f.kind = Kind::Text;
    f.placeholder = placeholder;
    f.help = help;
    return f;
}

Field AmountField(const std::string& key, const std::string& label, const std::string& initial, bool optional)
{
    Field f;
    f.key = key;
    f.label = label;
    f.kind = Kind::Decimal;
    f.initial = initial;
    f.optional = optional;
    f.placeholder = initial.empty() ? "1000" : initial;
    return f;
}

Field ChoiceField(const std::string& key, const std::string& label, std::vector<forms::Option> options)
{
    Field f;
    f.key = key;
    f.label = label;
    f.kind = Kind::Choice;
    f.initial = options.front().value;
    f.options = std::move(options);
    return f;
}

std::unique_ptr<forms::Tool> ConvertTool()
{
    return std::make_unique<PriceTool<std::vector<Conversion>>>(
        forms::ToolInfo{"price", kMenu, "Convert a price",
                        "A price in decimal, fractional, American and implied-chance form, exactly."},
        std::vector<Field>{PricesField("price", "Price", "11/10",
                                       "Decimal 2.10, fractional 11/10, 6-4 or evens, American +110 or -110, or an "
                                       "implied chance such as 47.6%")},
        [](const Values& v) { return ReadConversion(Words(ValueOf(v, "price"))); },
        [](const std::vector<Conversion>& q, forms::Result& r) {
            r.report = ConversionReport(q);
            r.exports.push_back(Json("price.json", ConversionJson(q)));
        },
        std::map<std::string, std::string>{{"prices", "price"}});
}

std::unique_ptr<forms::Tool> MarketTool()
{
    std::vector<forms::Option> methods{{"all", "Every method"}};
    for (const Method m : kMethods) {
        std::string label(MethodTitle(m));
        label[0] = static_cast<char>(label[0] >= 'a' && label[0] <= 'z' ? label[0] - 'a' + 'A' : label[0]);
        methods.push_back({std::string(MethodName(m)), label});
    }
    return std::make_unique<PriceTool<MarketQuestion>>(
        forms::ToolInfo{"market", kMenu, "Market margin and fair prices",
                        "The bookmaker's margin on one market and its fair chances and prices by five methods."},
        std::vector<Field>{
            PricesField("prices", "Prices, one per outcome", "2.10 3.40 3.60",
                        "Every outcome's price, separated by blanks, in any form"),
            ChoiceField("method", "Method", methods),
            ChoiceField("as", "Show prices as",
                        {{"decimal", "Decimal"}, {"fractional", "Fractional"}, {"american", "American"}})},
        [](const Values& v) {
            MarketEntries e;
            e.prices = Words(ValueOf(v, "prices"));
            e.method = Given(v, "method").value_or("all");
            e.as = Given(v, "as").value_or("decimal");
            return ReadMarket(e);
        },
        [](const MarketQuestion& q, forms::Result& r) {
            const Market m = ComputeMarket(q);
            r.report = MarketReport(m);
            r.exports.push_back(Json("market.json", MarketJson(m)));
            for (const TextTable& t : MarketTables(m)) r.tables.push_back(Table(t));
        });
}

std::unique_ptr<forms::Tool> KellyTool()
{
    Field chance = PricesField("chance", "Your chance of winning", "45%", "45%, 0.45 or 9/20");
    Field fraction = AmountField("fraction", "Share of the Kelly stake", "1", true);
    fraction.help = "1 for full Kelly, 0.5 for half Kelly";
    Field bankroll = AmountField("bankroll", "Bankroll", "", true);
    bankroll.help = "Leave empty for the stake as a share of the bankroll";
    return std::make_unique<PriceTool<KellyQuestion>>(
        forms::ToolInfo{"kelly", kMenu, "Kelly stake",
                        "How much of a bankroll to stake at a price, given your own chance of winning."},
        std::vector<Field>{PricesField("price", "Price", "2.10", "In any form: 2.10, 11/10, +110"), chance, fraction,
                           bankroll},
        [](const Values& v) {
            KellyEntries e;
            e.price = Words(ValueOf(v, "price"));
            e.chance = ValueOf(v, "chance");
            e.fraction = Given(v, "fraction");
            e.bankroll = Given(v, "bankroll");
            return ReadKelly(e);
        },
        [](const KellyQuestion& q, forms::Result& r) {
            r.report = KellyReport(q);
            r.exports.push_back(Json("kelly.json", KellyJson(q)));
        },
        std::map<std::string, std::string>{{"prices", "price"}});
}

std::unique_ptr<forms::Tool> SpreadTool()
{
    return std::make_unique<PriceTool<SpreadQuestion>>(
        forms::ToolInfo{"arbitrage", kMenu, "Arbitrage and dutching",
                        "Stakes that return the same whichever outcome wins, across bookmakers or a few "
                        "selections."},
        std::vector<Field>{
            PricesField("prices", "Prices, one group per outcome", "2.10,2.15 3.40 3.70,3.60",
                        "Separate outcomes with blanks; several bookmakers' prices for one outcome with commas"),
            ChoiceField(
                "cover", "The prices cover",
                {{"every", "Every outcome of the event (arbitrage)"}, {"some", "Some outcomes only (dutching)"}}),
            ChoiceField("basis", "Stake by", {{"stake", "Total stake"}, {"return", "Return wanted"}}),
            AmountField("amount", "Amount", "100", false)},
        [](const Values& v) {
            SpreadEntries e;
            e.outcomes = Words(ValueOf(v, "prices"));
            e.cover = ValueOf(v, "cover") == "some" ? Cover::Some : Cover::Every;
            (ValueOf(v, "basis") == "return" ? e.returns : e.stake) = ValueOf(v, "amount");
            return ReadSpread(e);
        },
        [](const SpreadQuestion& q, forms::Result& r) {
            r.report = SpreadReport(q);
            r.exports.push_back(Json(q.cover == Cover::Every ? "arbitrage.json" : "dutching.json", SpreadJson(q)));
            r.tables.push_back(Table(SpreadTable(q)));
        });
}

std::unique_ptr<forms::Tool> MultipleTool()
{
    return std::make_unique<PriceTool<MultipleQuestion>>(
        forms::ToolInfo{"multiple", kMenu, "Multiple",
                        "What a multiple (accumulator, parlay) pays, with void legs and dead heats, and what it is "
                        "worth."},
        std::vector<Field>{PricesField("legs", "Legs", "2.10@50% 1.91@55% 3.40:void",
                                       "Each leg's price; @ your chance; :void, :won or :dh2 for a settled leg"),
                           AmountField("stake", "Stake", std::to_string(kDefaultMultipleStake), false)},
        [](const Values& v) {
            MultipleEntries e;
            e.legs = Words(ValueOf(v, "legs"));
            e.stake = ValueOf(v, "stake");
            return ReadMultiple(e);
        },
        [](const MultipleQuestion& q, forms::Result& r) {
            r.report = MultipleReport(q);
            r.exports.push_back(Json("multiple.json", MultipleJson(q)));
            r.tables.push_back(Table(MultipleTable(q)));
        });
}

} // namespace

std::vector<std::unique_ptr<forms::Tool>> MakePriceTools()
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    tools.push_back(ConvertTool());
    tools.push_back(MarketTool());
    tools.push_back(KellyTool());
    tools.push_back(SpreadTool());
    tools.push_back(MultipleTool());
    return tools;
}

} // namespace fortelle::prices
