#include "games/tools.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/ticket_value.h"

namespace fortelle {
namespace {

using forms::Field;
using forms::Kind;
using forms::Option;
using forms::Problem;
using forms::Result;
using forms::Values;

// The many-draws tool's choice of odds typed in rather than a game; no game
// id can take this form.
constexpr const char* kTypedOdds = "(odds)";
// The Keno tool's choices of pay table.
constexpr const char* kGameTable = "game";
constexpr const char* kOwnTable = "own";

std::string Get(const Values& values, const std::string& key)
{
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// What is typed, without blanks: "1 000 000" is a million, as "1,000,000" is.
std::string WithoutBlanks(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (!Blank(c)) out += c;
    }
    return out;
}

// A sentence: capital first letter, full stop.
std::string Sentence(std::string text)
{
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

// Digits grouped in threes: "1234567.5" is "1,234,567.5".
std::string Grouped(const std::string& text)
{
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    std::size_t end = text.find('.');
    if (end == std::string::npos) end = text.size();
    std::string out = text.substr(0, start);
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) out += ',';
        out += text[i];
    }
    return out + text.substr(end);
}

std::string Grouped(std::int64_t n) { return Grouped(std::to_string(n)); }

// An amount for a sentence: whole amounts as they are, others to the cent,
// rounded half away from zero.
std::string Money(const Rational& amount)
{
    const bool negative = amount < 0;
    const Rational x = negative ? Rational(-amount) : amount;
    if (denominator(x) == 1) return (negative ? "-" : "") + Grouped(numerator(x).str());
    const Rational scaled = x * 100 + Rational(1, 2);
    std::string cents = (numerator(scaled) / denominator(scaled)).str();
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
    cents.insert(cents.size() - 2, ".");
    return (negative ? "-" : "") + Grouped(cents);
}

// A percentage to three significant digits ("65.5 %", "4.02 %",
// "0.000000342 %"); never 100 % for what is below it.
std::string Percent(double percent)
{
    if (!(percent > 0)) return "0 %";
    const int magnitude = static_cast<int>(std::floor(std::log10(percent)));
    int places = std::max(0, 2 - magnitude);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, percent);
    // 0.09995 rounds to 0.1000: one place fewer keeps three digits.
    if (places > 0 && std::strtod(text, nullptr) >= std::pow(10.0, magnitude + 1)) {
        std::snprintf(text, sizeof text, "%.*f", --places, percent);
    }
    if (percent < 100 && std::strtod(text, nullptr) >= 100) return "above 99.9 %";
    return Grouped(text) + " %";
}

std::string Percent(const Rational& fraction) { return Percent(fraction.convert_to<double>() * 100); }

// "1 in 292,201,338", "1 in 24.87": the report's figure, grouped.
std::string OneIn(const Rational& p)
{
    const std::string figure = GeneralForm(OneInFigure(p));
    return "1 in " + (figure.find('E') == std::string::npos ? Grouped(figure) : figure);
}

// A count of draws as the report has it (every digit, or about 15 digits
// beyond 1E+60), grouped.
std::string DrawsText(const DrawCount& draws)
{
    return draws.exact ? Grouped(draws.exact->str()) : "about " + GeneralForm(draws.about);
}

Field MakeField(std::string key, std::string label, Kind kind, std::string unit = {}, std::string placeholder = {})
{
    Field f;
    f.key = std::move(key);
    f.label = std::move(label);
    f.kind = kind;
    f.unit = std::move(unit);
    f.placeholder = std::move(placeholder);
    return f;
}

forms::ToolInfo MakeInfo(std::string id, std::string menu, std::string title, std::string summary,
                         bool entryPerOption = false)
{
    forms::ToolInfo info;
    info.id = std::move(id);
    info.menu = std::move(menu);
    info.title = std::move(title);
    info.summary = std::move(summary);
    info.entryPerOption = entryPerOption;
    return info;
}

std::string Spots(int n) { return std::to_string(n) + (n == 1 ? " spot" : " spots"); }

// The checks of typed values, each problem beside its field.
class Checks {
public:
    explicit Checks(const Values& values) : values_(values) {}
    std::vector<Problem> problems;

    void add(const std::string& key, std::string message) { problems.push_back({key, Sentence(std::move(message))}); }
    bool empty(const std::string& key) const { return WithoutBlanks(Get(values_, key)).empty(); }

    // A number typed in the field; nothing when it is empty (a problem when
    // the field must be filled), not a number or negative.
    std::optional<Rational> amount(const std::string& key, const std::string& what, bool required, bool percent = false,
                                   bool valueAmount = false)
    {
        std::string text = WithoutBlanks(Get(values_, key));
        if (text.empty()) {
            if (required) add(key, "enter " + what);
            return std::nullopt;
        }
        if (percent && text.back() == '%') text.pop_back();
        auto value = ParseDecimal(text);
        const auto size = value ? std::nullopt : AmountSizeRefusal(text);
        // Every form of an amount beyond the value's largest, for that reason.
        if (valueAmount && ((size && size->starts_with("above")) || (value && *value > kMostValueAmount))) {
            add(key, what + " is above the largest amount this tool takes: " + std::string(kMostValueAmountText));
        } else if (size) {
            add(key, what + " is " + *size);
        } else if (!value) {
            add(key, what + " must be a number, not '" + Get(values_, key) + "'");
        } else if (*value < 0) {
            add(key, what + " cannot be negative");
        } else {
            return value;
        }
        return std::nullopt;
    }

    std::optional<std::int64_t> whole(const std::string& key, const std::string& what, std::int64_t lo, std::int64_t hi,
                                      bool required)
    {
        const auto value = amount(key, what, required);
        if (!value) return std::nullopt;
        if (denominator(*value) != 1 || *value < lo || *value > hi) {
            add(key, what + " must be a whole number from " + Grouped(lo) + " to " + Grouped(hi));
            return std::nullopt;
        }
        return numerator(*value).convert_to<std::int64_t>();
    }

private:
    const Values& values_;
};

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The spot count a Keno form starts with: 8, or the nearest the game
// offers, a count with a pay table first.
int FirstSpots(const GameDefinition& g)
{
    if (g.payTables.count(8) || g.payTables.empty()) return std::clamp(8, g.spotsMin, g.spotsMax);
    const auto above = g.payTables.lower_bound(8);
    return above != g.payTables.end() ? above->first : g.payTables.rbegin()->first;
}

// The base of the named-game tools: a game picker that chooses what the
// answers are remembered for.
class GameTool : public forms::Tool {
public:
    GameTool(std::shared_ptr<const GameCatalog> catalog, GameToolCharts charts)
        : catalog_(std::move(catalog)), charts_(std::move(charts))
    {}
    std::string memoryField() const override { return "game"; }

protected:
    enum class Games { All, Lotteries, Keno };

    const GameDefinition* game(const Values& values) const { return catalog_->find(Get(values, "game")); }

    // Every game of the kind by name, sorted by name as a person reads it.
    Field gameField(Games kind) const
    {
        Field f = MakeField("game", "Game", Kind::Choice);
        std::vector<const GameDefinition*> games;
        for (const GameDefinition& g : catalog_->games) {
            if (kind == Games::All || g.keno == (kind == Games::Keno)) games.push_back(&g);
        }
        std::stable_sort(games.begin(), games.end(), [](const GameDefinition* a, const GameDefinition* b) {
            return Lower(a->name) < Lower(b->name);
        });
        for (const GameDefinition* g : games) f.options.push_back({g->id, g->name});
        f.help = "The game's rules come from its game file";
        return f;
    }

    // The game chosen, or a problem beside the picker.
    const GameDefinition* needGame(const Values& values, Checks& checks) const
    {
        const GameDefinition* g = game(values);
        if (!g) checks.add("game", catalog_->games.empty() ? "no game files were found" : "choose a game");
        return g;
    }

    static Field spotsField(const GameDefinition& g)
    {
        Field f = MakeField("spots", "Spots marked", Kind::Count, "spots");
        f.initial = f.placeholder = std::to_string(FirstSpots(g));
        f.help = "How many numbers the ticket marks, " + SpotRange(g);
        return f;
    }

    // The spot count typed, or the starting one while it is not one the game
    // offers (the fields follow what can be read).
    static int spotsOr(const GameDefinition& g, const Values& values)
    {
        const auto n = ParseDecimal(WithoutBlanks(Get(values, "spots")));
        if (n && denominator(*n) == 1 && *n >= g.spotsMin && *n <= g.spotsMax) {
            return static_cast<int>(numerator(*n));
        }
        return FirstSpots(g);
    }

    static std::optional<int> spots(const GameDefinition& g, Checks& checks)
    {
        const auto n = checks.whole("spots", "the number of spots", g.spotsMin, g.spotsMax, true);
        return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
    }

    static Result Refused(std::vector<Problem> problems)
    {
        Result r;
        r.problems = std::move(problems);
        return r;
    }

    std::shared_ptr<const GameCatalog> catalog_;
    GameToolCharts charts_;
};

class GameOddsTool final : public GameTool {
public:
    using GameTool::GameTool;

    forms::ToolInfo info() const override
    {
        return MakeInfo("game", "Games", "Game odds", "The chance of every prize of a game, of any prize and of none",
                        true);
    }

    std::vector<Field> fields(const Values& values) const override
    {
        std::vector<Field> out{gameField(Games::All)};
        if (const GameDefinition* g = game(values); g && g->keno) out.push_back(spotsField(*g));
        Field exact = MakeField("exact", "Exact odds", Kind::Check);
        exact.help = "Also show each chance's odds exactly, as a fraction";
        exact.optional = true;
        out.push_back(exact);
        return out;
    }

    std::vector<Problem> check(const Values& values) const override
    {
        Checks checks(values);
        if (const GameDefinition* g = needGame(values, checks); g && g->keno) spots(*g, checks);
        return checks.problems;
    }

    Result compute(const Values& values, forms::Progress& /*progress*/) const override
    {
        Checks checks(values);
        const GameDefinition* g = needGame(values, checks);
        const std::optional<int> n = g && g->keno ? spots(*g, checks) : 0;
        if (!checks.problems.empty()) return Refused(checks.problems);
        const GameOdds odds = ComputeGameOdds(*g, *n);
        Result r;
        r.title = TicketTitle(odds) + ": odds";
        r.report = NamedGameReport(odds, Get(values, "exact") == "1");
        r.verdict = verdict(odds);
        if (charts_.odds) r.charts = charts_.odds(odds);
        r.exports.push_back(
            {"Figures as JSON", g->id + (g->keno ? "-" + std::to_string(*n) : "") + "-odds.json", NamedGameJson(odds)});
        return r;
    }

private:
    static std::string verdict(const GameOdds& odds)
    {
        const auto chance = [](const Rational& p) { return OneIn(p) + " (" + Percent(p) + ")"; };
        if (odds.game->keno) {
            const int s = odds.spots;
            const std::string all = s == 1 ? "catches its spot" : "catches all " + std::to_string(s);
            const std::string top = chance(odds.p.back());
            if (!odds.anyPrizeKnown) {
                return "A ticket of " + Spots(s) + " " + all + " with a chance of " + top + "; this game has no pay " +
                       "table for " + Spots(s) + ", so what it pays depends on the house.";
            }
            return "A ticket of " + Spots(s) + " wins some pay with a chance of " + chance(odds.anyPrize) + " and " +
                   all + " with " + top + ".";
        }
        std::string s = "A ticket wins some prize with a chance of " + chance(odds.anyPrize);
        const int j = odds.game->jackpotTier(0);
        if (j >= 0) s += " and the jackpot with " + chance(odds.p[static_cast<std::size_t>(j)]);
        return s + ".";
    }
};

class TicketValueTool final : public GameTool {
public:
    using GameTool::GameTool;

    forms::ToolInfo info() const override
    {
        return MakeInfo("value", "Value", "Ticket value",
                        "What a ticket is worth on average, after sharing, the cash option and tax, and the break-even "
                        "jackpot");
    }

    std::vector<Field> fields(const Values& values) const override
    {
        std::vector<Field> out{gameField(Games::Lotteries)};
        const GameDefinition* g = game(values);
        if (!g) return out;
        const std::string& cur = g->currency;
        if (g->jackpotTier(0) >= 0) {
            Field f = MakeField("jackpot", "Advertised jackpot", Kind::Decimal, cur, "500,000,000");
            f.help = "The jackpot as advertised (the annuity's whole amount)";
            out.push_back(f);
        }
        Field price = MakeField("price", "Ticket price", Kind::Decimal, cur);
        price.placeholder = g->price ? g->priceText : "2";
        price.help = g->price ? "Empty: the game's own price, " + g->priceText + " " + cur
                              : "The game file gives no price: enter it";
        price.optional = g->price.has_value();
        out.push_back(price);
        Field cash = MakeField("cash", "Cash option", Kind::Decimal, "of the jackpot", "1");
        cash.help = "1 takes the jackpot at its advertised amount; 0.45 takes a cash option of 45 % of it";
        cash.optional = true;
        out.push_back(cash);
        Field tax = MakeField("tax", "Tax rate", Kind::Decimal, "%", "37");
        tax.help = "Empty: no tax";
        tax.optional = true;
        out.push_back(tax);
        Field above = MakeField("taxAbove", "Taxed above", Kind::Decimal, cur, "600");
        above.help = "Prizes above this amount are taxed whole; empty taxes every prize";
        above.optional = true;
        out.push_back(above);
        Field sold = MakeField("sold", "Other tickets sold", Kind::Count, "tickets", "100,000,000");
        sold.help = "Other winners share the jackpot and pari-mutuel prizes; empty: no other tickets";
        sold.optional = true;
        out.push_back(sold);
        for (const TierSpec& t : g->tiers) {
            if (t.prize.kind == PrizeKind::Jackpot || t.prize.kind == PrizeKind::None) continue;
            Field f = MakeField("prize:" + t.name, "Prize for " + t.label, Kind::Decimal, cur);
            f.optional = true;
            if (t.prize.kind == PrizeKind::Fixed) {
                f.placeholder = t.prize.text;
                f.help = "Empty: the game's fixed prize, " + t.prize.text + " " + cur;
            } else if (t.prize.kind == PrizeKind::FreeTicket) {
                f.placeholder = g->price ? g->priceText : "";
                f.help = "A free ticket; empty counts it at the ticket price";
            } else {
                f.help = "Pari-mutuel: what one winner receives; empty leaves the tier out";
            }
            out.push_back(f);
        }
        return out;
    }

    std::vector<Problem> check(const Values& values) const override
    {
        Checks checks(values);
        read(values, checks);
        return checks.problems;
    }

    Result compute(const Values& values, forms::Progress& /*progress*/) const override
    {
        Checks checks(values);
        const auto read = this->read(values, checks);
        if (!checks.problems.empty()) return Refused(checks.problems);
        const TicketValue v = ComputeTicketValue(*read->first, read->second);
        Result r;
        r.title = v.odds.game->name + ": ticket value";
        r.report = TicketValueReport(v);
        r.verdict = verdict(v);
        if (charts_.value) r.charts = charts_.value(*read->first, read->second, !checks.empty("jackpot"));
        r.exports.push_back({"Figures as JSON", v.odds.game->id + "-value.json", TicketValueJson(v)});
        return r;
    }

private:
    // The entries as the command line takes them; nothing when a problem is
    // found.
    std::optional<std::pair<const GameDefinition*, ValueAssumptions>> read(const Values& values, Checks& checks) const
    {
        const GameDefinition* g = needGame(values, checks);
        if (!g) return std::nullopt;
        ValueAssumptions a;
        if (g->jackpotTier(0) >= 0)
            a.jackpot = checks.amount("jackpot", "the advertised jackpot", true, false, true).value_or(0);
        if (const auto price = checks.amount("price", "the ticket price", !g->price, false, true)) {
            if (*price == 0) checks.add("price", "the ticket price must be above 0");
            a.price = price;
        }
        if (const auto cash = checks.amount("cash", "the cash option", false, true)) {
            const bool percent = WithoutBlanks(Get(values, "cash")).back() == '%';
            a.cash = percent ? Rational(*cash / 100) : *cash;
            if (a.cash <= 0 || a.cash > 1) {
                checks.add("cash", "the cash option must be above 0 and at most 1 (1 takes the advertised amount)");
            }
        }
        if (const auto rate = checks.amount("tax", "the tax rate", false, true)) {
            if (*rate > 100) checks.add("tax", "the tax rate must be at most 100 %");
            a.taxRate = *rate / 100;
            a.taxAbove = Rational(0);
        }
        if (const auto above =
                checks.amount("taxAbove", "the amount above which prizes are taxed", false, false, true)) {
            if (checks.empty("tax"))
                checks.add("taxAbove", "a threshold needs a tax rate: enter the rate, or leave this empty");
            a.taxAbove = *above;
        }
        if (const auto sold = checks.whole("sold", "the number of other tickets", 0, 1'000'000'000'000LL, false)) {
            a.ticketsSold = Rational(*sold);
        }
        for (const TierSpec& t : g->tiers) {
            if (t.prize.kind == PrizeKind::Jackpot || t.prize.kind == PrizeKind::None) continue;
            if (const auto prize = checks.amount("prize:" + t.name, "the prize for " + t.label, false, false, true)) {
                a.prizes[t.name] = *prize;
            }
        }
        if (!checks.problems.empty()) return std::nullopt;
        // Whatever the fields above let through and the game still refuses.
        if (const std::string refusal = CheckValueAssumptions(*g, a); !refusal.empty()) {
            checks.add("", refusal);
            return std::nullopt;
        }
        return std::pair{g, a};
    }

    static std::string verdict(const TicketValue& v)
    {
        int leftOut = 0;
        for (const TierValue& t : v.tiers) leftOut += t.counted ? 0 : 1;
        for (std::size_t i = 0; i < v.tiers.size(); ++i) {
            if (v.odds.tiers[i].prize.kind == PrizeKind::None) --leftOut;
        }
        const std::string cur = " " + v.odds.game->currency;
        const bool partial = leftOut > 0;
        std::string s = "On average a " + Money(v.price) + cur + " ticket returns " + (partial ? "at least " : "") +
                        Money(v.value) + cur;
        if (v.value < v.price) {
            s += ": you lose " + std::string(partial ? "at most " : "") + Money(v.price - v.value) + cur + " (" +
                 Percent((v.price - v.value) / v.price) + ") per ticket";
        } else if (v.value > v.price) {
            s += ": you gain " + std::string(partial ? "at least " : "") + Money(v.value - v.price) + cur + " (" +
                 Percent((v.value - v.price) / v.price) + ") per ticket";
        } else {
            s += ": you break even";
        }
        if (partial) {
            s += " (partial: " + std::to_string(leftOut) +
                 (leftOut == 1 ? " pari-mutuel tier has no amount)" : " pari-mutuel tiers have no amount)");
        }
        return s + ".";
    }
};

class ManyDrawsTool final : public GameTool {
public:
    using GameTool::GameTool;

    forms::ToolInfo info() const override
    {
        return MakeInfo("draws", "Value", "Many draws",
                        "The chance of winning at least once in many draws, and the draws it takes for an even chance");
    }

    std::vector<Field> fields(const Values& values) const override
    {
        Field picker = gameField(Games::All);
        picker.options.push_back({kTypedOdds, "Odds I type in"});
        picker.help = "A game's prize, or the odds of one draw typed in";
        std::vector<Field> out{picker};
        const GameDefinition* g = game(values);
        if (!g) {
            Field odds = MakeField("odds", "Odds of one draw, 1 in", Kind::Decimal, "", "1,000");
            odds.help = "The chance of one draw as 1 in X: enter X";
            out.push_back(odds);
        } else {
            if (g->keno) out.push_back(spotsField(*g));
            Field tier = MakeField("tier", "Prize", Kind::Choice);
            const int n = g->keno ? spotsOr(*g, values) : 0;
            if (!g->keno || g->payTables.count(n)) tier.options.push_back({"any", "Any prize"});
            for (const TierSpec& t : g->tiersFor(n)) tier.options.push_back({t.name, t.label});
            tier.initial = tier.options.front().value;
            out.push_back(tier);
        }
        Field draws = MakeField("draws", "Number of draws", Kind::Count, "draws", "1,040");
        draws.help = "Two draws a week for ten years are 1,040 draws";
        out.push_back(draws);
        return out;
    }

    std::vector<Problem> check(const Values& values) const override
    {
        Checks checks(values);
        read(values, checks);
        return checks.problems;
    }

    Result compute(const Values& values, forms::Progress& /*progress*/) const override
    {
        Checks checks(values);
        const auto in = read(values, checks);
        if (!checks.problems.empty()) return Refused(checks.problems);
        const ManyDraws d = ComputeManyDraws(*in);
        Result r;
        r.title = in->what + ": many draws";
        r.report = ManyDrawsReport(d);
        if (charts_.draws) r.charts = charts_.draws(*in);
        std::string s = "In " + Grouped(in->draws) + (in->draws == 1 ? " draw" : " draws") +
                        " the chance of winning at least once is " + Percent(d.atLeastOnce * 100);
        s += d.certain ? "." : "; an even chance takes " + DrawsText(d.drawsFor50) + " draws.";
        r.verdict = s;
        const GameDefinition* g = game(values);
        r.exports.push_back({"Figures as JSON", (g ? g->id : std::string("odds")) + "-draws.json", ManyDrawsJson(d)});
        return r;
    }

private:
    std::optional<ManyDrawsInput> read(const Values& values, Checks& checks) const
    {
        ManyDrawsInput in;
        if (Get(values, "game") == kTypedOdds) {
            const auto x = checks.amount("odds", "the odds", true);
            if (x && *x < 1) checks.add("odds", "the odds must be 1 in 1 or more");
            if (x && *x > Rational(BigInt("1000000000000000000000000000000"))) {
                checks.add("odds", "the odds must be at most 1 in 1E+30");
            }
            if (x && *x >= 1) in.p = 1 / *x;
            in.what = "1 in " + WithoutBlanks(Get(values, "odds"));
        } else if (const GameDefinition* g = needGame(values, checks)) {
            const std::optional<int> n = g->keno ? spots(*g, checks) : 0;
            if (n) {
                const GameOdds odds = ComputeGameOdds(*g, *n);
                const std::string tier = Get(values, "tier");
                for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
                    if (odds.tiers[i].name != tier) continue;
                    in.p = odds.p[i];
                    in.what = TicketTitle(odds) + ", tier " + tier + " (" + odds.tiers[i].label + ")";
                }
                if (tier == "any" && odds.anyPrizeKnown) {
                    in.p = odds.anyPrize;
                    in.what = TicketTitle(odds) + ", any prize";
                }
                if (in.what.empty()) checks.add("tier", "choose a prize");
            }
        }
        if (const auto draws = checks.whole("draws", "the number of draws", 1, kMostDraws, true)) in.draws = *draws;
        if (!checks.problems.empty()) return std::nullopt;
        if (const auto refusal = ManyDrawsRefusal(in.p)) {
            checks.add(Get(values, "game") == kTypedOdds ? "odds" : "tier", *refusal);
            return std::nullopt;
        }
        return in;
    }
};

class KenoReturnsTool final : public GameTool {
public:
    using GameTool::GameTool;

    forms::ToolInfo info() const override
    {
        return MakeInfo(
            "keno-return", "Value", "Keno returns",
            "What a Keno pay table returns per unit staked, and the chance of being behind after many games");
    }

    std::vector<Field> fields(const Values& values) const override
    {
        std::vector<Field> out{gameField(Games::Keno)};
        const GameDefinition* g = game(values);
        if (!g) return out;
        out.push_back(spotsField(*g));
        const int n = spotsOr(*g, values);
        Field table = MakeField("table", "Pay table", Kind::Choice);
        const std::string shipped = PayTableText(*g, n);
        if (!shipped.empty()) {
            table.options.push_back({kGameTable, g->name + ", " + Spots(n)});
            table.help = "Pays per 1 staked: " + shipped;
        }
        table.options.push_back({kOwnTable, "My own pay table"});
        table.initial = table.options.front().value;
        out.push_back(table);
        if (Get(values, "table") == kOwnTable || shipped.empty()) {
            Field pays = MakeField("pays", "My pay table", Kind::Text, "", "5=9,6=95,7=1480,8=18000");
            pays.help = "What each catch pays per 1 staked, stake included: CATCH=PAY separated by commas; a catch "
                        "left out pays nothing";
            out.push_back(pays);
        }
        Field games = MakeField("games", "Number of games", Kind::Count, "games", "100");
        games.help = "Empty: 100 games";
        games.optional = true;
        out.push_back(games);
        return out;
    }

    std::vector<Problem> check(const Values& values) const override
    {
        Checks checks(values);
        read(values, checks);
        return checks.problems;
    }

    Result compute(const Values& values, forms::Progress& progress) const override
    {
        Checks checks(values);
        const auto in = read(values, checks);
        if (!checks.problems.empty()) return Refused(checks.problems);
        const KenoReturn k = ComputeKenoReturn(*in->game, in->spots, in->pays, in->typed, in->games, [&](double done) {
            progress.advance(done);
            return !progress.cancelled();
        });
        if (k.stopped) return Refused({{"", "Stopped before the end: nothing was computed."}});
        Result r;
        r.title = TicketTitle(k.odds) + ": returns";
        r.report = KenoReturnReport(k);
        r.verdict = verdict(k);
        if (charts_.kenoReturn) {
            r.charts = charts_.kenoReturn(k, [&](double done) {
                progress.advance(done);
                return !progress.cancelled();
            });
            if (progress.cancelled()) return Refused({{"", "Stopped before the end: nothing was computed."}});
        }
        r.exports.push_back(
            {"Figures as JSON", in->game->id + "-" + std::to_string(in->spots) + "-returns.json", KenoReturnJson(k)});
        return r;
    }

private:
    struct Input {
        const GameDefinition* game = nullptr;
        int spots = 0;
        PayTable pays;
        bool typed = false;
        std::int64_t games = 100;
    };

    std::optional<Input> read(const Values& values, Checks& checks) const
    {
        Input in;
        in.game = needGame(values, checks);
        if (!in.game) return std::nullopt;
        const std::optional<int> n = spots(*in.game, checks);
        if (n) {
            in.spots = *n;
            const auto table = in.game->payTables.find(*n);
            in.typed = Get(values, "table") == kOwnTable || table == in.game->payTables.end();
            if (!in.typed) {
                in.pays = table->second;
            } else if (checks.empty("pays")) {
                checks.add("pays", "enter the pay table, such as 5=9,6=95,7=1480,8=18000");
            } else {
                PayTableReading reading = ReadPayTable(Get(values, "pays"), *n);
                if (!reading.problem.empty()) checks.add("pays", reading.problem);
                in.pays = std::move(reading.pays);
            }
        }
        if (const auto games = checks.whole("games", "the number of games", 1, kMostGames, false)) in.games = *games;
        if (!checks.problems.empty()) return std::nullopt;
        return in;
    }

    static std::string verdict(const KenoReturn& k)
    {
        const std::string cur = k.odds.game->currency == "units" ? "" : " " + k.odds.game->currency;
        std::string s = "On average 1" + cur + " staked returns " + Money(k.returnToPlayer) + cur;
        if (k.houseEdge > 0) {
            s += ": you lose " + Money(k.houseEdge) + cur + " (" + Percent(k.houseEdge) + ") per game";
        } else if (k.houseEdge < 0) {
            s += ": you gain " + Money(-k.houseEdge) + cur + " (" + Percent(-k.houseEdge) + ") per game";
        }
        s += "; after " + Grouped(k.games) + (k.games == 1 ? " game" : " games") + " the chance of being behind is ";
        const ChanceBehind& b = k.behind;
        if (b.how == ChanceBehind::How::Certain) return s + Percent(b.certain) + ".";
        if (b.how == ChanceBehind::How::NotComputed) return s + "not computed (the report says why).";
        if (b.chance < Precise("1e-100")) return s + "below 1E-100 %.";
        return s + Percent(b.chance.convert_to<double>() * 100) + ".";
    }
};

} // namespace

std::vector<std::unique_ptr<forms::Tool>> MakeGameTools(const std::shared_ptr<const GameCatalog>& catalog,
                                                        const GameToolCharts& charts)
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    tools.push_back(std::make_unique<GameOddsTool>(catalog, charts));
    tools.push_back(std::make_unique<TicketValueTool>(catalog, charts));
    tools.push_back(std::make_unique<ManyDrawsTool>(catalog, charts));
    tools.push_back(std::make_unique<KenoReturnsTool>(catalog, charts));
    return tools;
}

} // namespace fortelle
