#include "games/game_handlers.h"

#include <cctype>
#include <optional>
#include <vector>

#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/ticket_value.h"
#include "platform/platform.h"
#include "shell/parameter_file.h"
#include "shell/pipeline.h"

namespace fortelle {
namespace {

constexpr int kMostCatches = 21; // pays remembered for 0..20 caught

// A refused answer: the message box's text.
struct Refused {
    std::string text;
};

[[noreturn]] void Refuse(std::string text) { throw Refused{std::move(text)}; }

// Cancel ends the run quietly.
struct Cancelled {};

// The remembered values, or the defaults when there is no file yet. Unlike
// the calculators, nothing is written before the answers are accepted.
std::vector<StoredValue> Remembered(FileSystem& files, std::string_view name, const std::vector<double>& defaults)
{
    if (!files.exists(name)) return {defaults.begin(), defaults.end()};
    const auto bytes = files.readAll(name, kParameterFileLimit);
    if (!bytes) return std::vector<StoredValue>(defaults.size());
    return ParseParameterValues(*bytes, defaults.size());
}

std::string Offered(const StoredValue& value)
{
    if (!value) return "0";
    const Figure15 f = ToFigure15(*value);
    return (f.negative ? "-" : "") + GeneralForm(f);
}

std::string Ask(Platform& platform, std::string_view title, const std::string& message, const StoredValue& stored)
{
    const auto answer = platform.prompt.ask(title, message, Offered(stored));
    if (!answer) throw Cancelled{};
    return *answer;
}

// An answer read as an exact decimal: blanks are ignored, anything else
// that is not part of the number refuses it.
Rational Number(const std::string& answer, const std::string& what, bool percent = false)
{
    std::string digits;
    for (char c : answer) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') digits += c;
    }
    if (percent && !digits.empty() && digits.back() == '%') digits.pop_back();
    const auto value = ParseDecimal(digits);
    if (!value) Refuse(what + ": '" + answer + "' is not a number.");
    if (*value < 0) Refuse(what + " must not be negative: " + answer + ".");
    return *value;
}

std::int64_t Whole(const std::string& answer, const std::string& what, std::int64_t lo, std::int64_t hi)
{
    const Rational value = Number(answer, what);
    if (denominator(value) != 1 || value < lo || value > hi) {
        Refuse(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not " +
               answer + ".");
    }
    return numerator(value).convert_to<std::int64_t>();
}

std::string GameList(const std::vector<const GameDefinition*>& games, std::string_view first)
{
    std::string text(first);
    for (std::size_t i = 0; i < games.size(); ++i) {
        text += " " + std::to_string(i + 1) + "  " + games[i]->name + "\n";
    }
    return text;
}

void Show(Platform& platform, const std::string& report)
{
    PrepareOutputBox(platform.box);
    ShowReport(platform.files, platform.box, report);
}

double AsDouble(const Rational& r) { return r.convert_to<double>(); }

// Runs a handler's steps; a refusal becomes a message box.
template <typename Steps>
void Guarded(Platform& platform, std::string_view title, Steps&& steps)
{
    try {
        steps();
    } catch (const Refused& r) {
        platform.dialogs.showError(title, r.text);
    } catch (const Cancelled&) {}
}

int AskSpots(Platform& platform, const GameDefinition& g, const StoredValue& stored, std::string_view title)
{
    const std::string answer = Ask(
        platform, title, " " + g.name + "\n How many spots does the ticket mark - \n " + SpotRange(g) + " \n", stored);
    return static_cast<int>(Whole(answer, "The spot count", g.spotsMin, g.spotsMax));
}

} // namespace

void RunNamedGame(Platform& platform, const GameCatalog& catalog, std::string_view id)
{
    Guarded(platform, "Games", [&] {
        const GameDefinition* g = catalog.find(id);
        if (!g) Refuse("There is no game '" + std::string(id) + "'.");
        int spots = 0;
        if (g->keno) {
            const auto stored = Remembered(platform.files, kKenoSpotsFile, {8});
            spots = AskSpots(platform, *g, stored[0], "Keno Spots");
            WriteParameterFile(platform.files, kKenoSpotsFile, std::vector<double>{double(spots)}, {1});
        }
        Show(platform, NamedGameReport(ComputeGameOdds(*g, spots), false));
    });
}

void RunTicketValue(Platform& platform, const GameCatalog& catalog)
{
    Guarded(platform, "Ticket Value", [&] {
        const auto games = catalog.lotteries();
        if (games.empty()) Refuse("No lottery games were found: the game files are missing.");
        const auto stored = Remembered(platform.files, kTicketValueFile, {1, 100000000, 0, 1, 0, 0, 0});
        const std::size_t choice = static_cast<std::size_t>(
            Whole(Ask(platform, "Ticket Value",
                      GameList(games, " The value of a ticket \n Choose the game by its number - \n"), stored[0]),
                  "The game's number", 1, static_cast<std::int64_t>(games.size())));
        const GameDefinition& g = *games[choice - 1];
        const std::string cur = g.currency;
        ValueAssumptions a;
        a.jackpot =
            Number(Ask(platform, "Advertised Jackpot",
                       " " + g.name + "\n The advertised jackpot (the annuity), in " + cur + " - \n", stored[1]),
                   "The jackpot");
        const std::string priceNote = g.price ? "0 for the game's own, " + FractionText(*g.price) + " " + cur
                                              : std::string("the game file has none");
        const Rational price = Number(
            Ask(platform, "Ticket Price", " The ticket price in " + cur + " - \n (" + priceNote + ") \n", stored[2]),
            "The ticket price");
        if (price > 0) a.price = price;
        a.cash = Number(Ask(platform, "Cash Option",
                            " The cash option as a fraction of the jackpot - \n (1 for the annuity, 0.5 for half) \n",
                            stored[3]),
                        "The cash option");
        const Rational rate = Number(Ask(platform, "Tax Rate", " The tax rate in % - \n (0 for no tax) \n", stored[4]),
                                     "The tax rate", true);
        if (rate > 100) Refuse("The tax rate must be at most 100 %.");
        const Rational above =
            Number(Ask(platform, "Taxed Above",
                       " Prizes above this amount are taxed, in " + cur + " - \n (0 taxes every prize) \n", stored[5]),
                   "The tax threshold");
        if (rate > 0) {
            a.taxRate = rate / 100;
            a.taxAbove = above;
        }
        a.ticketsSold = Rational(
            Whole(Ask(platform, "Tickets Sold",
                      " The other tickets sold in the draw - \n (0 for none: no prize is shared) \n", stored[6]),
                  "The number of tickets sold", 0, 1'000'000'000'000LL));
        if (const std::string refusal = CheckValueAssumptions(g, a); !refusal.empty()) {
            std::string text = refusal;
            text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
            Refuse(text + ".");
        }
        WriteParameterFile(platform.files, kTicketValueFile,
                           std::vector<double>{double(choice), AsDouble(a.jackpot), AsDouble(price), AsDouble(a.cash),
                                               AsDouble(rate), AsDouble(above), AsDouble(a.ticketsSold)},
                           {1, 1, 1, 1, 1, 1, 1});
        Show(platform, TicketValueReport(ComputeTicketValue(g, a)));
    });
}

void RunManyDraws(Platform& platform, const GameCatalog& catalog)
{
    Guarded(platform, "Many Draws", [&] {
        const auto games = catalog.lotteries();
        const auto stored = Remembered(platform.files, kManyDrawsFile, {1, 0, 1000, 1040});
        const auto choice = static_cast<std::size_t>(
            Whole(Ask(platform, "Many Draws",
                      GameList(games, " The chance of winning at least once \n Choose the game by its number - \n"
                                      " 0  type the odds of one draw \n"),
                      stored[0]),
                  "The game's number", 0, static_cast<std::int64_t>(games.size())));
        ManyDrawsInput in;
        std::int64_t tier = 0;
        Rational typed = 0;
        if (choice == 0) {
            typed =
                Number(Ask(platform, "Odds of One Draw", " The odds of one draw: 1 in X - \n Enter X - \n", stored[2]),
                       "The odds");
            if (typed < 1) Refuse("The odds must be 1 in 1 or more.");
            in.p = 1 / typed;
            in.what = "1 in " + PrintStyleNumber(RoundedFigure(typed)).substr(1);
            in.what.pop_back();
        } else {
            const GameDefinition& g = *games[choice - 1];
            const GameOdds odds = ComputeGameOdds(g, 0);
            std::string list = " " + g.name + "\n Choose the prize by its number - \n 0  any prize \n";
            for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
                list += " " + std::to_string(i + 1) + "  " + odds.tiers[i].label + "\n";
            }
            tier = Whole(Ask(platform, "Prize Tier", list, stored[1]), "The prize's number", 0,
                         static_cast<std::int64_t>(odds.tiers.size()));
            const auto t = static_cast<std::size_t>(tier);
            in.p = tier == 0 ? odds.anyPrize : odds.p[t - 1];
            in.what = g.name + (tier == 0 ? ", any prize"
                                          : ", tier " + odds.tiers[t - 1].name + " (" + odds.tiers[t - 1].label + ")");
            typed = stored[2] ? RationalOf(*stored[2]) : Rational(0);
        }
        if (const auto refusal = ManyDrawsRefusal(in.p)) {
            std::string sentence = *refusal + ".";
            sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
            Refuse(sentence);
        }
        in.draws = Whole(Ask(platform, "Number of Draws", " How many draws, one ticket in each - \n", stored[3]),
                         "The number of draws", 1, kMostDraws);
        WriteParameterFile(platform.files, kManyDrawsFile,
                           std::vector<double>{double(choice), double(tier), AsDouble(typed), double(in.draws)},
                           {1, 1, 1, 1});
        Show(platform, ManyDrawsReport(ComputeManyDraws(in)));
    });
}

void RunKenoReturns(Platform& platform, const GameCatalog& catalog)
{
    Guarded(platform, "Keno Returns", [&] {
        const auto games = catalog.kenoGames();
        if (games.empty()) Refuse("No Keno games were found: the game files are missing.");
        std::vector<double> defaults{1, 8, 100};
        defaults.resize(3 + kMostCatches, 0.0);
        const auto stored = Remembered(platform.files, kKenoReturnsFile, defaults);
        const auto choice = static_cast<std::size_t>(Whole(
            Ask(platform, "Keno Returns",
                GameList(games, " The returns of a Keno pay table \n Choose the game by its number - \n"), stored[0]),
            "The game's number", 1, static_cast<std::int64_t>(games.size())));
        const GameDefinition& g = *games[choice - 1];
        const int spots = AskSpots(platform, g, stored[1], "Keno Spots");
        std::vector<double> remembered(defaults.size(), 0.0);
        for (std::size_t i = 3; i < stored.size(); ++i) remembered[i] = stored[i].value_or(0.0);
        PayTable pays;
        const bool typed = g.payTables.count(spots) == 0;
        if (typed) {
            std::string offered;
            for (int c = 0; c <= spots; ++c) {
                offered += (c ? " " : "") + Offered(stored[3 + static_cast<std::size_t>(c)]);
            }
            const auto answer =
                platform.prompt.ask("Keno Pay Table",
                                    " What each catch pays per unit staked, stake included - \n for 0, 1, ... " +
                                        std::to_string(spots) + " caught, separated by blanks \n",
                                    offered);
            if (!answer) throw Cancelled{};
            std::vector<std::string> words;
            std::string word;
            for (char c : *answer + " ") {
                if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',') {
                    if (!word.empty()) words.push_back(word);
                    word.clear();
                } else {
                    word += c;
                }
            }
            if (words.size() != static_cast<std::size_t>(spots) + 1) {
                Refuse("The pay table needs " + std::to_string(spots + 1) + " pays, for 0 to " + std::to_string(spots) +
                       " caught; " + std::to_string(words.size()) + " were given.");
            }
            for (int c = 0; c <= spots; ++c) {
                const auto i = static_cast<std::size_t>(c);
                pays[c] = Number(words[i], "The pay for " + std::to_string(c) + " caught");
                remembered[3 + i] = AsDouble(pays[c]);
            }
        } else {
            pays = g.payTables.at(spots);
        }
        const std::int64_t n = Whole(Ask(platform, "Number of Games", " Over how many games - \n", stored[2]),
                                     "The number of games", 1, kMostGames);
        remembered[0] = double(choice);
        remembered[1] = spots;
        remembered[2] = double(n);
        WriteParameterFile(platform.files, kKenoReturnsFile, remembered, {1, 1, 1, kMostCatches});
        Show(platform, KenoReturnReport(ComputeKenoReturn(g, spots, pays, typed, n)));
    });
}

} // namespace fortelle
