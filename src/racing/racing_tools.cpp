#include "racing/racing_tools.h"

namespace fortelle::racing {
namespace {

std::string ValueOf(const forms::Values& values, const std::string& key)
{
    const auto it = values.find(key);
    return it == values.end() ? std::string() : Trimmed(it->second);
}

std::optional<Rational> Number(const forms::Values& values, const std::string& key, bool percent = false)
{
    std::string text = ValueOf(values, key);
    if (percent && !text.empty() && text.back() == '%') text = Trimmed(text.substr(0, text.size() - 1));
    if (text.empty()) return std::nullopt;
    const auto n = text.size() <= 40 ? ParseDecimal(text) : std::nullopt;
    if (!n) Problem(key, "'" + text + "' is not a number.");
    if (*n < 0) Problem(key, "This must not be negative.");
    return *n;
}

std::vector<forms::Problem> Checked(const std::function<void()>& run)
{
    try {
        run();
    } catch (const InputProblem& p) {
        return {{p.field, p.message}};
    }
    return {};
}

// The plain answer: the report's first paragraph, as one line.
std::string Verdict(const std::string& report)
{
    std::string verdict;
    std::size_t start = report.find_first_not_of("\r\n");
    while (start != std::string::npos && start < report.size()) {
        const auto end = std::min(report.find("\r\n", start), report.size());
        const std::string line = Trimmed(report.substr(start, end - start));
        if (line.empty()) break;
        verdict += (verdict.empty() ? "" : " ") + line;
        start = end + 2;
    }
    return verdict;
}

forms::Result Failed(const InputProblem& p)
{
    forms::Result result;
    result.problems.push_back({p.field, p.message});
    return result;
}

forms::Table TableOf(std::string title, std::vector<std::vector<std::string>> rows)
{
    forms::Table t;
    t.title = std::move(title);
    t.columns = std::move(rows.front());
    t.rows.assign(rows.begin() + 1, rows.end());
    return t;
}

std::vector<forms::Option> BetOptions(bool none)
{
    std::vector<forms::Option> options;
    if (none) options.push_back({"", "None: the field's chances"});
    for (const BetInfo& b : BetTypes()) {
        std::string label = b.name;
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
        options.push_back({b.name, label + " (" + b.covers + ")"});
    }
    return options;
}

} // namespace

RaceInput RaceInputOf(const forms::Values& values)
{
    RaceInput in;
    in.field.entries = SplitList(ValueOf(values, "runners"));
    in.field.kind = ValueOf(values, "entries") == "chances" ? EntryKind::Chances : EntryKind::Prices;
    if (const std::string margin = ValueOf(values, "margin"); in.field.kind == EntryKind::Prices && !margin.empty()) {
        const auto method = prices::MethodNamed(margin);
        if (!method) Problem("margin", "Choose one of the methods offered.");
        in.field.margin = *method;
    }
    in.field.scratched = ValueOf(values, "scratched");
    const std::string model = ValueOf(values, "model");
    in.model.kind = model == "henery"     ? ModelKind::Henery
                    : model == "discount" ? ModelKind::Discount
                                          : ModelKind::Harville;
    if (in.model.kind == ModelKind::Discount) {
        const std::vector<std::string> e = SplitList(ValueOf(values, "discount"));
        if (e.empty() || e.size() > 2)
            Problem("discount", "Give the exponent for second place and, after a comma, for third and fourth.");
        const auto lambda = PlainNumber(e[0]);
        const auto tau = e.size() > 1 ? PlainNumber(e[1]) : lambda;
        if (!lambda || !tau) Problem("discount", "The exponents must be numbers, as 0.8, 0.7.");
        in.model.lambda = *lambda;
        in.model.tau = *tau;
    }
    if (const std::string bet = ValueOf(values, "bet"); !bet.empty()) {
        in.bet = ReadBetType(bet);
        in.selection = ValueOf(values, "selection");
    }
    if (const auto base = Number(values, "base")) in.base = *base;
    in.willPay = Number(values, "will_pay");
    return in;
}

PayoffInput PayoffInputOf(const forms::Values& values)
{
    PayoffInput in;
    const std::string pool = ValueOf(values, "pool_type");
    try {
        in.pool = ReadBetType(pool.empty() ? "win" : pool);
    } catch (const InputProblem& p) {
        Problem("pool_type", p.message);
    }
    in.jurisdiction = ValueOf(values, "rules");
    const auto gross = Number(values, "pool");
    if (!gross) Problem("pool", "Give the pool: every wager in it, refunds taken out.");
    in.gross = *gross;
    in.amounts = ValueOf(values, "amounts");
    if (const auto t = Number(values, "takeout", true)) in.takeout = *t / 100;
    in.breakage = Number(values, "breakage");
    in.minimum = Number(values, "minimum");
    if (const auto base = Number(values, "base")) in.base = *base;
    return in;
}

forms::ToolInfo ExoticChancesTool::info() const
{
    return {"exotic-chances", "Racing", "Exotic chances",
            "Win, place, show and exotic chances from a field's odds, and what a ticket is worth at its will-pay"};
}

std::vector<forms::Field> ExoticChancesTool::fields(const forms::Values& values) const
{
    using forms::Kind;
    std::vector<forms::Field> f{
        {"runners",
         "Odds of each runner",
         Kind::Text,
         "",
         "2-1 5-2 8-1 6-1",
         "In runner order: 5-2 or 5/2, 3.5, +150 or -120; scr for a scratched runner",
         {},
         "",
         false},
        {"entries",
         "The figures are",
         Kind::Choice,
         "",
         "",
         "",
         {{"prices", "Odds or prices (the margin is taken out)"}, {"chances", "Win chances (0.25, 25% or 1/4)"}},
         "prices",
         false},
    };
    if (ValueOf(values, "entries") != "chances") {
        f.push_back({"margin",
                     "Margin taken out by",
                     Kind::Choice,
                     "",
                     "",
                     "Power, Shin and odds ratio find their parameter numerically, to within 1e-12",
                     {{"multiplicative", "Normalisation: each implied chance divided by their sum"},
                      {"additive", "Additive: the same amount taken from each"},
                      {"power", "Power: each raised to the same power"},
                      {"shin", "Shin: the bookmaker's guard against insiders"},
                      {"odds-ratio", "Odds ratio: each one's odds divided by the same factor"}},
                     "multiplicative",
                     false});
    }
    f.insert(f.end(), {
                          {"scratched",
                           "Scratched runners",
                           Kind::Text,
                           "",
                           "3 7",
                           "Their numbers; they keep their place in the list",
                           {},
                           "",
                           true},
                          {"model",
                           "Model of the order of finish",
                           Kind::Choice,
                           "",
                           "",
                           "",
                           {{"harville", "Harville: exact fractions"},
                            {"henery", "Henery: normal running times"},
                            {"discount", "Discount: Harville with exponents for lower places"}},
                           "harville",
                           false},
                      });
    if (ValueOf(values, "model") == "discount") {
        f.push_back({"discount",
                     "Discount exponents",
                     Kind::Text,
                     "",
                     "0.8, 0.7",
                     "For second place, then for third and fourth; 1, 1 is Harville's model",
                     {},
                     "",
                     false});
    }
    f.push_back({"bet", "Bet", Kind::Choice, "", "", "", BetOptions(true), "", true});
    if (!ValueOf(values, "bet").empty()) {
        f.push_back({"selection",
                     "Runners on the ticket",
                     Kind::Text,
                     "",
                     "1-2",
                     "1-2 in order, 1-2,3 for 1 over 2 or 3, 1,2,3 for a box, all for every starter",
                     {},
                     "",
                     false});
        f.push_back({"base", "Stake of one combination", Kind::Decimal, "", "2", "", {}, "2", false});
        f.push_back({"will_pay",
                     "Will-pay",
                     Kind::Decimal,
                     "",
                     "24.60",
                     "The payoff for that stake, stake included, if it collects",
                     {},
                     "",
                     true});
    }
    return f;
}

std::vector<forms::Problem> ExoticChancesTool::check(const forms::Values& values) const
{
    return Checked([&] { CheckRaceInput(RaceInputOf(values)); });
}

forms::Result ExoticChancesTool::compute(const forms::Values& values, forms::Progress& /*progress*/) const
{
    try {
        const RaceResult r = ComputeRace(RaceInputOf(values));
        forms::Result result;
        result.report = RaceReport(r);
        result.verdict = Verdict(result.report);
        result.title =
            r.ticket ? "Racing: " + std::string(InfoOf(r.ticket->ticket.type).name) + " " + r.ticket->ticket.selection
                     : std::string("Racing: the field's chances");
        result.tables.push_back(TableOf("The starters' chances", RunnerTable(r)));
        return result;
    } catch (const InputProblem& p) {
        return Failed(p);
    }
}

forms::ToolInfo PariMutuelPayoffTool::info() const
{
    return {"parimutuel-payoff", "Racing", "Pari-mutuel payoff",
            "What a pari-mutuel pool pays after takeout, breakage and the minimum payoff, dead heats included"};
}

std::vector<forms::Field> PariMutuelPayoffTool::fields(const forms::Values& /*values*/) const
{
    using forms::Kind;
    std::vector<forms::Option> rules{{"", "My own: give the takeout"}};
    for (const Jurisdiction& j : Jurisdictions().jurisdictions) rules.push_back({j.id, j.name});
    return {
        {"rules", "Rules", Kind::Choice, "", "", "A table of regulations, each cited in the report", rules, "", true},
        {"pool_type", "Pool", Kind::Choice, "", "", "", BetOptions(false), "win", false},
        {"pool", "Gross pool", Kind::Decimal, "", "25000", "Every wager in the pool, refunds taken out", {}, "", false},
        {"amounts",
         "Bet on each finisher that pays",
         Kind::Text,
         "",
         "5000 / 3000",
         "In finishing order; join a dead heat with =, as 800=500",
         {},
         "",
         false},
        {"takeout", "Takeout", Kind::Decimal, "%", "18", "Blank: the rules' own", {}, "", true},
        {"breakage",
         "Breakage per dollar",
         Kind::Decimal,
         "",
         "0.10",
         "Blank: the rules' own, else 0.10",
         {},
         "",
         true},
        {"minimum", "Minimum payoff for the stake", Kind::Decimal, "", "2.10", "Blank: the rules' own", {}, "", true},
        {"base", "Stake", Kind::Decimal, "", "2", "The payoffs are quoted for it", {}, "2", false},
    };
}

std::vector<forms::Problem> PariMutuelPayoffTool::check(const forms::Values& values) const
{
    return Checked([&] { ComputePayoff(PayoffInputOf(values)); });
}

forms::Result PariMutuelPayoffTool::compute(const forms::Values& values, forms::Progress& /*progress*/) const
{
    try {
        const PayoffResult r = ComputePayoff(PayoffInputOf(values));
        forms::Result result;
        result.report = PayoffReport(r);
        result.verdict = Verdict(result.report);
        result.title = "Racing: " + std::string(InfoOf(r.input.pool).name) + " pool payoff";
        result.tables.push_back(TableOf("The payoffs", FinisherTable(r)));
        return result;
    } catch (const InputProblem& p) {
        return Failed(p);
    }
}

} // namespace fortelle::racing
