#include "cli/game_commands.h"

#include <map>
#include <optional>
#include <vector>

#include "cli/options.h"
#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/ticket_value.h"
#include "shell/report.h"

namespace fortelle {
namespace {

constexpr std::string_view kGameUsage =
    "\n"
    "Named games:\n"
    "  fortelle-cli games [--json] [--check]\n"
    "  fortelle-cli game ID [SPOTS] [--json] [--exact]\n"
    "  fortelle-cli value ID --jackpot X [--price P] [--cash F] [--tax R [--tax-above T]]\n"
    "                    [--tickets-sold S] [--prize TIER=AMOUNT ...] [--pool TIER=AMOUNT ...]\n"
    "                    [--json]\n"
    "  fortelle-cli draws (ID [TIER] [--spots S] | --odds X) --draws N [--tickets K] [--json]\n"
    "  fortelle-cli keno-return ID SPOTS [--games N] [--pay CATCH=PAY,...] [--json]\n"
    "ID is a game's id (fortelle-cli games lists them) or the path of a game file\n"
    "ending in .json. The tax rate R is a percentage (37 or 37%); the cash option F\n"
    "a fraction of the advertised jackpot (1 unless given); --prize gives what one\n"
    "winner of a tier receives, --pool a pari-mutuel tier's whole pool, shared among\n"
    "its winners; --odds X means 1 in X; --tickets K: K different tickets in each\n"
    "draw, for a prize one combination wins.\n";

// An amount for the value: every form of a number beyond the largest the
// value takes is refused for that one reason.
Rational ValueAmount(const std::string& what, const std::string& text)
{
    const std::string shown =
        text.size() > 40 ? text.substr(0, 30) + "... (" + std::to_string(text.size()) + " characters)" : text;
    const auto size = ParseDecimal(text) ? std::nullopt : AmountSizeRefusal(text);
    const bool above = size && size->starts_with("above");
    if (above || (!size && ParseDecimal(text) && *ParseDecimal(text) > kMostValueAmount)) {
        Refuse(what + " '" + shown +
               "' is above the largest amount this tool takes: " + std::string(kMostValueAmountText));
    }
    return Amount(what, text);
}

std::string Warnings(const GameCatalog& catalog)
{
    std::string err;
    for (const std::string& w : catalog.warnings) err += "fortelle-cli: skipped " + w + "\n";
    return err;
}

CommandLineResult Games(std::span<const std::string> args, const GameCatalog& catalog)
{
    const Parsed p = ParseWords(args, {}, {"--json", "--check"});
    NoMoreWords(p, 0);
    if (p.has("--check")) {
        const ChartCheck check = CheckPublishedFigures(catalog);
        return {check.text, {}, check.agrees ? 0 : 1};
    }
    std::string err;
    if (catalog.games.empty()) {
        std::string where;
        for (const std::string& f : catalog.folders) where += (where.empty() ? "" : ", ") + f;
        err = "fortelle-cli: games: no game files were found (looked in: " + where + ")\n";
    }
    return {p.has("--json") ? GameListJson(catalog) : GameListText(catalog), err, 0};
}

CommandLineResult Game(std::span<const std::string> args, const GameCatalog& catalog, bool raw)
{
    const Parsed p = ParseWords(args, {}, {"--json", "--exact"});
    if (p.words.empty()) Refuse("name a game (fortelle-cli games lists them)");
    NoMoreWords(p, 2);
    const GameDefinition& g = FindGame(catalog, p.words[0]);
    const int spots = SpotsOf(g, p.words.size() > 1 ? std::optional(p.words[1]) : std::nullopt);
    const GameOdds odds = ComputeGameOdds(g, spots);
    if (p.has("--json")) return {NamedGameJson(odds), {}, 0};
    const std::string report = NamedGameReport(odds, p.has("--exact"));
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

Rational TaxRate(const std::string& text)
{
    std::string digits = text;
    if (!digits.empty() && digits.back() == '%') digits.pop_back();
    const Rational percent = Amount("the tax rate", digits);
    if (percent > 100) Refuse("the tax rate must be at most 100 % (" + text + ")");
    return percent / 100;
}

CommandLineResult Value(std::span<const std::string> args, const GameCatalog& catalog, bool raw)
{
    const Parsed p = ParseWords(
        args, {"--jackpot", "--price", "--cash", "--tax", "--tax-above", "--tickets-sold", "--prize", "--pool"},
        {"--json"});
    if (p.words.empty()) Refuse("name a game (fortelle-cli games lists them)");
    NoMoreWords(p, 1);
    const GameDefinition& g = FindGame(catalog, p.words[0]);
    const ValueAssumptions a = ReadValueOptions(p, g, true);
    const TicketValue v = ComputeTicketValue(g, a);
    if (p.has("--json")) return {TicketValueJson(v), {}, 0};
    const std::string report = TicketValueReport(v);
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

CommandLineResult Draws(std::span<const std::string> args, const GameCatalog& catalog, bool raw)
{
    const Parsed p = ParseWords(args, {"--odds", "--draws", "--spots", "--tickets"}, {"--json"});
    const auto drawsText = p.one("--draws");
    if (!drawsText) Refuse("give the number of draws with --draws");
    const std::int64_t draws = WholeCount("the number of draws", *drawsText, 1, kMostDraws);
    ManyDrawsInput in = ReadDrawsTarget(p, catalog);
    in.draws = draws;
    const ManyDraws r = ComputeManyDraws(in);
    if (p.has("--json")) return {ManyDrawsJson(r), {}, 0};
    const std::string report = ManyDrawsReport(r);
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

PayTable ReadPays(const std::vector<std::string>& entries, int spots)
{
    // Several --pay options read as one table.
    std::string all;
    for (const std::string& entry : entries) all += (all.empty() ? "" : ",") + entry;
    PayTableReading table = ReadPayTable(all, spots);
    if (!table.problem.empty()) Refuse("--pay: " + table.problem);
    return std::move(table.pays);
}

CommandLineResult KenoReturnCommand(std::span<const std::string> args, const GameCatalog& catalog, bool raw)
{
    const Parsed p = ParseWords(args, {"--games", "--pay"}, {"--json"});
    const KenoEntries k = ReadKenoEntries(p, catalog);
    const KenoReturn r = ComputeKenoReturn(*k.game, k.spots, k.pays, k.typed, k.games);
    if (p.has("--json")) return {KenoReturnJson(r), {}, 0};
    const std::string report = KenoReturnReport(r);
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

} // namespace

Rational Amount(const std::string& what, const std::string& text)
{
    const DecimalReading reading = ReadDecimal(text);
    if (!reading.value) {
        // A long text is quoted by its start: the reason is its length.
        const std::string shown =
            text.size() > 40 ? text.substr(0, 30) + "... (" + std::to_string(text.size()) + " characters)" : text;
        const auto size = AmountSizeRefusal(text);
        Refuse(what + " '" + shown + "' " + (size ? "is " + *size : DecimalFaultText(reading.fault)));
    }
    const auto& value = reading.value;
    if (*value < 0) Refuse(what + " must not be negative (" + text + ")");
    return *value;
}

std::int64_t WholeCount(const std::string& what, const std::string& text, std::int64_t lo, std::int64_t hi)
{
    const Rational value = Amount(what, text);
    if (denominator(value) != 1 || value < lo || value > hi) {
        Refuse(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + " (" + text +
               ")");
    }
    return numerator(value).convert_to<std::int64_t>();
}

const GameDefinition& FindGame(const GameCatalog& catalog, const std::string& id)
{
    const GameDefinition* g = catalog.find(id);
    if (!g && catalog.games.empty()) Refuse("no game '" + id + "': no game files were found");
    if (!g) Refuse("no game '" + id + "' (fortelle-cli games lists them)");
    return *g;
}

int SpotsOf(const GameDefinition& g, const std::optional<std::string>& text)
{
    if (!g.keno) {
        if (text) Refuse("'" + g.id + "' is not a Keno game and takes no spot count");
        return 0;
    }
    if (!text) Refuse("'" + g.id + "' is a Keno game: give its spot count, " + SpotRange(g));
    const auto spots = ParseDecimal(*text);
    if (!spots || denominator(*spots) != 1 || *spots < g.spotsMin || *spots > g.spotsMax) {
        Refuse("'" + g.id + "' takes " + SpotRange(g) + " spots, not '" + *text + "'");
    }
    return static_cast<int>(numerator(*spots));
}

ValueAssumptions ReadValueOptions(const Parsed& p, const GameDefinition& g, bool jackpotRequired)
{
    ValueAssumptions a;
    if (const auto j = p.one("--jackpot")) {
        a.jackpot = ValueAmount("the jackpot", *j);
    } else if (jackpotRequired && !g.keno && g.jackpotTier(0) >= 0) {
        Refuse("give the advertised jackpot with --jackpot");
    }
    if (const auto price = p.one("--price")) {
        a.price = ValueAmount("the price", *price);
        if (*a.price == 0) Refuse("the price must be above 0");
    }
    if (const auto cash = p.one("--cash")) a.cash = Amount("the cash option", *cash);
    if (const auto tax = p.one("--tax")) {
        a.taxRate = TaxRate(*tax);
        a.taxAbove = Rational(0);
    }
    if (const auto above = p.one("--tax-above")) {
        if (!p.has("--tax")) Refuse("--tax-above needs a tax rate (--tax)");
        a.taxAbove = ValueAmount("the tax threshold", *above);
    }
    if (const auto sold = p.one("--tickets-sold")) {
        a.ticketsSold = Rational(WholeCount("the number of tickets sold", *sold, 0, 1'000'000'000'000LL));
    }
    for (const char* option : {"--prize", "--pool"}) {
        if (!p.has(option)) continue;
        auto& amounts = std::string_view(option) == "--prize" ? a.prizes : a.pools;
        for (const std::string& entry : p.options.at(option)) {
            const auto eq = entry.find('=');
            if (eq == std::string::npos || eq == 0)
                Refuse(std::string(option) + " takes TIER=AMOUNT, not '" + entry + "'");
            const std::string tier = entry.substr(0, eq);
            if (amounts.count(tier))
                Refuse("the " + std::string(option + 2) + " of the tier '" + tier + "' is given twice");
            amounts[tier] =
                ValueAmount("the " + std::string(option + 2) + " of the tier '" + tier + "'", entry.substr(eq + 1));
        }
    }
    if (const std::string refusal = CheckValueAssumptions(g, a); !refusal.empty()) Refuse(refusal);
    return a;
}

ManyDrawsInput ReadDrawsTarget(const Parsed& p, const GameCatalog& catalog)
{
    ManyDrawsInput in;
    if (const auto tickets = p.one("--tickets")) {
        in.tickets = WholeCount("the number of tickets in a draw", *tickets, 1, kMostDraws);
    }
    if (const auto typed = p.one("--odds")) {
        if (!p.words.empty()) Refuse("give a game or --odds, not both");
        if (p.has("--spots")) Refuse("--spots goes with a Keno game");
        const Rational x = Amount("the odds", *typed);
        if (x < 1) Refuse("odds of 1 in " + *typed + " are below 1 in 1");
        if (x > Rational(BigInt("1000000000000000000000000000000"))) Refuse("the odds must be at most 1 in 1E+30");
        in.p = 1 / x;
        in.what = "1 in " + *typed;
        in.typedOdds = true;
    } else {
        if (p.words.empty()) Refuse("name a game, or give --odds");
        NoMoreWords(p, 2);
        const GameDefinition& g = FindGame(catalog, p.words[0]);
        const int spots = SpotsOf(g, p.one("--spots"));
        const GameOdds odds = ComputeGameOdds(g, spots);
        const std::string title = TicketTitle(odds);
        SetSchedule(in, g);
        if (p.words.size() > 1) {
            const std::string& name = p.words[1];
            bool found = false;
            std::string names;
            for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
                names += (names.empty() ? "" : " ") + odds.tiers[i].name;
                if (odds.tiers[i].name != name) continue;
                found = true;
                in.p = odds.p[i];
                in.what = title + ", tier " + name + " (" + odds.tiers[i].label + ")";
                if (in.tickets > 1 && !OneCombinationWins(odds, i)) {
                    Refuse("tickets in one draw can win the tier '" + name +
                           "' together: several tickets are counted only for a prize that one combination wins");
                }
            }
            if (!found) Refuse("the game '" + g.id + "' has no tier '" + name + "' (its tiers: " + names + ")");
        } else {
            if (!odds.anyPrizeKnown)
                Refuse("'" + g.id + "' has no pay table for " + std::to_string(spots) + " spots: name a catch count");
            if (in.tickets > 1) {
                Refuse("several tickets in one draw are counted only for a prize that one combination wins: name "
                       "its tier");
            }
            in.p = odds.anyPrize;
            in.what = title + ", any prize";
        }
    }
    if (in.p * in.tickets > 1) {
        const Rational most = 1 / in.p;
        Refuse("at most " + BigInt(numerator(most) / denominator(most)).str() +
               " different tickets can each have a chance of 1 in " + PrintStyleNumber(OneInFigure(in.p)).substr(1) +
               "and never win together");
    }
    if (const auto refusal = ManyDrawsRefusal(in.p)) Refuse(*refusal);
    return in;
}

KenoEntries ReadKenoEntries(const Parsed& p, const GameCatalog& catalog)
{
    KenoEntries k;
    if (p.words.empty()) Refuse("name a Keno game and its spot count");
    NoMoreWords(p, 2);
    const GameDefinition& g = FindGame(catalog, p.words[0]);
    k.game = &g;
    if (!g.keno) Refuse("'" + g.id + "' is not a Keno game: value gives a ticket's worth");
    k.spots = SpotsOf(g, p.words.size() > 1 ? std::optional(p.words[1]) : std::nullopt);
    k.games = p.has("--games") ? WholeCount("the number of games", *p.one("--games"), 1, kMostGames) : 100;
    k.typed = p.has("--pay");
    if (k.typed) {
        k.pays = ReadPays(p.options.at("--pay"), k.spots);
    } else {
        const auto table = g.payTables.find(k.spots);
        if (table == g.payTables.end()) {
            Refuse("the game file has no pay table for " + std::to_string(k.spots) + " spots: give one with --pay");
        }
        k.pays = table->second;
    }
    return k;
}

std::string_view GameCommandsUsage() { return kGameUsage; }

CommandLineResult RunOnCatalog(std::string_view command, std::span<const std::string> args, bool raw,
                               const std::function<GameCatalog()>& loadCatalog, const CatalogCommand& run)
{
    GameCatalog catalog = loadCatalog();
    // --raw may stand after the command too, as long as it comes before "--".
    std::vector<std::string> words;
    bool options = true;
    for (const std::string& arg : args) {
        if (options && arg == "--raw") {
            raw = true;
            continue;
        }
        if (arg == "--") options = false;
        words.push_back(arg);
    }
    CommandLineResult result;
    try {
        // A game named by its file ("my-game.json") is read from there and
        // stands in for any game of the same id.
        for (std::string& word : words) {
            if (word.size() <= 5 || word.compare(word.size() - 5, 5, ".json") != 0) continue;
            GameFileResult file = ReadGameFileAt(word);
            if (!file.game) Refuse(file.error);
            std::erase_if(catalog.games, [&](const GameDefinition& g) { return g.id == file.game->id; });
            word = file.game->id;
            catalog.games.push_back(std::move(*file.game));
        }
        result = run(words, catalog, raw);
    } catch (const Refusal& r) {
        result = {{}, "fortelle-cli: " + std::string(command) + ": " + r.text + "\n", 2};
    }
    result.err = Warnings(catalog) + result.err;
    return result;
}

CommandLineResult RunGameCommand(std::string_view command, std::span<const std::string> args, bool raw,
                                 const std::function<GameCatalog()>& loadCatalog)
{
    return RunOnCatalog(command, args, raw, loadCatalog,
                        [command](std::span<const std::string> words, const GameCatalog& catalog, bool raw) {
                            if (command == "games") return Games(words, catalog);
                            if (command == "game") return Game(words, catalog, raw);
                            if (command == "value") return Value(words, catalog, raw);
                            if (command == "draws") return Draws(words, catalog, raw);
                            return KenoReturnCommand(words, catalog, raw);
                        });
}

} // namespace fortelle
