#include "games/tools.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/readable.h"
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

std::string GroupedCount(std::int64_t n) { return Grouped(std::to_string(n)); }

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
            add(key, what + " must be a whole number from " + GroupedCount(lo) + " to " + GroupedCount(hi));
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
        r.verdict = GameOddsVerdict(odds);
        if (charts_.odds) r.charts = charts_.odds(odds);
        r.exports.push_back(
            {"Figures as JSON", g->id + (g->keno ? "-" + std::to_string(*n) : "") + "-odds.json", NamedGameJson(odds)});
        return r;
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
        r.verdict = TicketValueVerdict(v);
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
        Field tickets = MakeField("tickets", "Tickets in each draw", Kind::Count, "tickets", "1");
        tickets.help = "Different tickets in one draw, for a prize only one combination wins; empty: one";
        tickets.optional = true;
        out.push_back(tickets);
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
        r.verdict = ManyDrawsVerdict(d);
        if (charts_.draws) r.charts = charts_.draws(*in);
        const GameDefinition* g = game(values);
        r.exports.push_back({"Figures as JSON", (g ? g->id : std::string("odds")) + "-draws.json", ManyDrawsJson(d)});
        return r;
    }

private:
    std::optional<ManyDrawsInput> read(const Values& values, Checks& checks) const
    {
        ManyDrawsInput in;
        bool oneCombination = false;
        if (Get(values, "game") == kTypedOdds) {
            const auto x = checks.amount("odds", "the odds", true);
            if (x && *x < 1) checks.add("odds", "the odds must be 1 in 1 or more");
            if (x && *x > Rational(BigInt("1000000000000000000000000000000"))) {
                checks.add("odds", "the odds must be at most 1 in 1E+30");
            }
            if (x && *x >= 1) in.p = 1 / *x;
            in.what = "1 in " + WithoutBlanks(Get(values, "odds"));
            in.typedOdds = true;
        } else if (const GameDefinition* g = needGame(values, checks)) {
            const std::optional<int> n = g->keno ? spots(*g, checks) : 0;
            SetSchedule(in, *g);
            if (n) {
                const GameOdds odds = ComputeGameOdds(*g, *n);
                const std::string tier = Get(values, "tier");
                for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
                    if (odds.tiers[i].name != tier) continue;
                    in.p = odds.p[i];
                    in.what = TicketTitle(odds) + ", tier " + tier + " (" + odds.tiers[i].label + ")";
                    oneCombination = OneCombinationWins(odds, i);
                }
                if (tier == "any" && odds.anyPrizeKnown) {
                    in.p = odds.anyPrize;
                    in.what = TicketTitle(odds) + ", any prize";
                }
                if (in.what.empty()) checks.add("tier", "choose a prize");
            }
        }
        if (const auto draws = checks.whole("draws", "the number of draws", 1, kMostDraws, true)) in.draws = *draws;
        if (const auto tickets = checks.whole("tickets", "the number of tickets", 1, kMostDraws, false)) {
            in.tickets = *tickets;
            // Several tickets of one draw are counted only where they never
            // win together: a prize that one combination wins.
            if (in.tickets > 1 && !in.typedOdds && !oneCombination && !in.what.empty()) {
                checks.add("tickets", "several tickets in one draw can win this prize together: choose a prize that "
                                      "only one combination wins (every number drawn), or one ticket");
            } else if (in.p > 0 && in.p * in.tickets > 1) {
                const Rational most = 1 / in.p;
                checks.add("tickets", "at most " + Grouped(BigInt(numerator(most) / denominator(most)).str()) +
                                          " different tickets can each have this chance and never win together");
            }
        }
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
        r.verdict = KenoReturnVerdict(k);
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
