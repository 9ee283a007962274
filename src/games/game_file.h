// Named games: a game's draw, what the player picks and its prize tiers, as
// read from a JSON game file (docs/game-files.md describes the format).
//
// A file is read whole or not at all: any fault makes it a one-line
// warning naming the file and the place in it, and the game is left out.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fortelle {

using BigInt = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;

// An inclusive range of match counts; a plain count n is {n, n}.
struct CountRange {
    int lo = 0;
    int hi = 0;
    bool any() const { return lo == 0 && hi == kAny; }
    bool holds(int n) const { return n >= lo && n <= hi; }
    static constexpr int kAny = 1 << 30;
};

// One drum: `draw` numbers are drawn from `first`..`first + size - 1`, then
// `extra` supplementary (bonus) numbers from the same drum; the player
// picks `pick` numbers of it (the spot count, in Keno).
struct DrumSpec {
    std::string name;       // how tiers refer to it ("main", "powerball")
    std::string label;      // how reports name it ("Powerball")
    std::string extraLabel; // the supplementary numbers' name ("bonus ball")
    int first = 1;
    int size = 0;
    int draw = 0;
    int extra = 0;
    int pick = 0;
};

enum class PrizeKind { Jackpot, Fixed, PariMutuel, FreeTicket, None };

struct Prize {
    PrizeKind kind = PrizeKind::None;
    Rational amount = 0; // Fixed only
    std::string text;    // as the file wrote it ("50000", "2.5")
};

enum class Rounding { Nearest, Up, Down };

// A chart's "1 in X" figure and how its publisher rounds it; the places
// are those written in the figure ("24.87": 2).
struct PublishedOdds {
    std::string text;
    Rational value = 0;
    int places = 0;
    Rounding rounding = Rounding::Nearest;
};

// What a winner of a pari-mutuel tier typically receives, where the rules
// publish no split of the prize fund: an amount with its source and date.
struct TypicalPrize {
    Rational amount = 0;
    std::string text;
    std::string source;
};

// A multiplier given to each ticket at purchase (Mega Millions since April
// 2025): every prize but the jackpot is multiplied by one of `values`, with
// the published `chances` (empty where the rules publish none).
struct Multiplier {
    std::vector<int> values;
    std::vector<Rational> chances;
};

struct TierSpec {
    std::string name;  // short, unique in the game: "5+1", "2+B"
    std::string label; // "5 + Powerball"
    // Per drum: the numbers matched among the drawn numbers, and among the
    // supplementary numbers (any, unless the tier says).
    std::vector<CountRange> hits, extras;
    Prize prize;
    std::optional<PublishedOdds> published;
    std::optional<Rational> fundShare; // pari-mutuel: this tier's share of the prize fund (0 to 1)
    std::optional<TypicalPrize> typical;
};

struct GameDefinition {
    std::string id, name, rulesSince, currency;
    std::optional<Rational> price;
    std::string priceText;
    std::vector<DrumSpec> drums;
    std::vector<TierSpec> tiers; // empty for Keno: one tier per catch count
    std::optional<PublishedOdds> anyPrizePublished;
    std::vector<std::string> notes;
    std::vector<std::string> sources; // where the rules and figures come from
    std::string file;                 // where it was read from
    // The draw schedule: draws a week (2 for two draws a week), when known.
    std::optional<Rational> drawsPerWeek;
    std::string drawsPerWeekText;
    // The share of a draw's sales that goes to its prizes (0 to 1), when the
    // rules publish it; with each pari-mutuel tier's fundShare it gives the
    // tier's pool.
    std::optional<Rational> prizeFundShare;
    std::optional<Multiplier> multiplier;

    // Keno: the single drum's pick is the spot count, chosen per ticket.
    bool keno = false;
    int spotsMin = 0, spotsMax = 0;
    std::map<int, std::map<int, Rational>> payTables; // spots -> catch -> pay per unit
    std::map<int, std::map<int, std::string>> payTexts;

    // The tiers of a ticket: the game's own, or for Keno one per catch
    // count 0..spots, carrying the pay table's prizes where it has them.
    std::vector<TierSpec> tiersFor(int spots) const;
    // The drums of a ticket (Keno: the pick set to the spot count).
    std::vector<DrumSpec> drumsFor(int spots) const;
    int jackpotTier(int spots) const; // index, or -1
};

// A game file's text read into a game, or the reason it cannot be: one line
// naming the place in the file ("line 3, column 7: ..." for text that is
// not JSON, "at /tiers/2/match: ..." for JSON that is not a game).
struct GameFileResult {
    std::optional<GameDefinition> game;
    std::string error;
};
GameFileResult ReadGameFile(std::string_view text, std::string_view fileName);

// A game file read from disk with the same checks wherever it comes from: a
// regular file (a FIFO, a folder or a device is refused without waiting),
// at most 1 MiB. Every fault is the one-line error; nothing throws.
GameFileResult ReadGameFileAt(const std::string& path);

// Text safe to print on a terminal, in a menu or in JSON: bytes that are not
// UTF-8 become \xNN, control characters and text-direction marks \u{NNNN}.
std::string PrintableText(std::string_view s);

// Why ParseDecimal refuses a text when the reason is its size (more digits
// than kMostDecimalDigits written out, or an exponent beyond it), as words
// to follow "is" ("above the largest amount this program reads (...)");
// nothing for other faults.
std::optional<std::string> AmountSizeRefusal(std::string_view text);

// The games the program knows, built-in and the user's.
struct GameCatalog {
    std::vector<GameDefinition> games; // sorted by id
    std::vector<std::string> warnings; // one line each: "FILE: reason"
    std::vector<std::string> folders;  // where they were looked for

    const GameDefinition* find(std::string_view id) const;
    std::vector<const GameDefinition*> lotteries() const; // not Keno
    std::vector<const GameDefinition*> kenoGames() const;
};

// Reads every *.json file of each folder in turn (files in name order); a
// game of a later folder replaces a game of the same id from an earlier
// one. A folder that does not exist is passed over without a word.
GameCatalog LoadGameCatalog(const std::vector<std::string>& folders);

// A fingerprint of the game files in the folders (names, sizes and times
// of change): equal fingerprints mean LoadGameCatalog would read the same
// files again, so a window need not.
std::string GameFoldersStamp(const std::vector<std::string>& folders);

// The folders games are read from, in order: the built-in games (the
// FORTELLE_GAMES_DIR folder when that is set, otherwise share/fortelle/games
// beside the program's folder: `<folder>/../share/fortelle/games` once
// installed, `<folder>/share/fortelle/games` in a build tree), then the
// user's ($XDG_DATA_HOME/fortelle/games, or ~/.local/share/fortelle/games).
using EnvironmentLookup = std::function<std::optional<std::string>(const char*)>;
std::vector<std::string> GameFolders(std::string_view programFolder, const EnvironmentLookup& environment);
std::optional<std::string> ProcessEnvironment(const char* name);

// Reading an exact decimal ("2", "2.50", "-1e6", "1,000,000"). A number
// may have at most kMostDecimalDigits digits written out in full (1E+1000
// has 1001, 0.5E-999 has 1000), and an exponent at most that large either
// way: far beyond any amount or count, and small enough that every text
// is read, and every figure computed from it, at once.
inline constexpr std::int64_t kMostDecimalDigits = 1000;

enum class DecimalFault { NotANumber, TooManyDigits, ExponentBeyondLimit };

struct DecimalReading {
    std::optional<Rational> value;
    DecimalFault fault = DecimalFault::NotANumber; // why there is no value
    bool large = false; // a size fault from the digits before the point or a positive exponent
};
DecimalReading ReadDecimal(std::string_view text);

// The value alone, or nothing.
std::optional<Rational> ParseDecimal(std::string_view text);

// Why a text was not read, as words that follow it: "is not a number",
// "has more than 1000 digits written out", "has an exponent beyond 1000
// either way".
std::string DecimalFaultText(DecimalFault fault);

} // namespace fortelle
