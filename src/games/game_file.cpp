#include "games/game_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "games/game_odds.h"

namespace fortelle {
namespace {

using Json = nlohmann::json;

// Limits that keep every game's exact arithmetic to a few milliseconds;
// no real game comes near them.
constexpr int kMaxDrums = 6;
constexpr int kMaxSize = 1'000'000;
constexpr int kMaxDrawn = 200;
constexpr int kMaxSpots = 200;
constexpr std::size_t kMaxTiers = 100;
constexpr std::size_t kMaxFileBytes = 1024 * 1024;
// The outcomes the drums give (a drum's match counts, with and without its
// supplementary numbers, multiplied over the drums) times the tiers: the
// work of checking that no two tiers overlap, weighed by the length of the
// numbers counted. The largest real game needs a few hundred; this keeps a
// file of any shape to milliseconds.
constexpr double kMaxOutcomeChecks = 100'000;
// Text fields and amounts written as text have a length no real game needs.
constexpr std::size_t kMaxTextBytes = 1000;
// A folder's game files read at most: the menu lists each of them.
constexpr std::size_t kMaxFilesPerFolder = 50;
constexpr std::size_t kMaxAmountText = 100;
// The largest amount a game file holds (prices, prizes, pays), and the
// largest "1 in X" a chart may publish.
const Rational kMaxFileAmount = Rational(BigInt("1000000000000000"));
const Rational kMaxPublishedOdds = Rational(boost::multiprecision::pow(BigInt(10), 60));

// A fault in a game file, at a place given as a JSON pointer.
struct FileFault {
    std::string where, what;
};

[[noreturn]] void Fault(const std::string& where, const std::string& what) { throw FileFault{where, what}; }

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// The code point of the UTF-8 sequence at `i`, and its length; nothing for
// bytes that are not UTF-8 (overlong, surrogates, beyond U+10FFFF).
std::optional<std::pair<char32_t, std::size_t>> CodePointAt(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return std::pair<char32_t, std::size_t>{b, 1};
    std::size_t length = 0;
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1FU;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0FU;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07U;
    } else {
        return std::nullopt;
    }
    if (i + length > s.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0U) != 0x80) return std::nullopt;
        c = (c << 6U) | (byte(i + k) & 0x3FU);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return std::pair<char32_t, std::size_t>{c, length};
}

// A message quoting input of any length, kept to one readable line.
std::string Shortened(std::string_view s)
{
    if (s.size() <= 200) return std::string(s);
    return std::string(s.substr(0, 160)) + "... (" + std::to_string(s.size()) + " characters)";
}

// Characters that change what a terminal or a menu shows around them:
// control characters (C0, DEL, C1) and the marks that reorder text.
bool IsUnsafe(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

std::string CodePointName(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

std::optional<std::string> UnsafeCharacter(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto cp = CodePointAt(s, i);
        if (!cp) return std::string("bytes that are not UTF-8");
        if (IsUnsafe(cp->first)) {
            const bool mark = cp->first == 0x061C || cp->first >= 0x200B; // U+061C: the Arabic letter mark
            return (mark ? "the text-direction mark " : "the control character ") + CodePointName(cp->first);
        }
        i += cp->second;
    }
    return std::nullopt;
}

// Why a decimal the reader refuses is refused, when the reason is its size
// rather than its form.
std::optional<std::string> DecimalBeyondLimits(std::string_view text)
{
    const DecimalReading r = ReadDecimal(text);
    if (r.value || r.fault == DecimalFault::NotANumber) return std::nullopt;
    const std::string limit = " (" + std::to_string(kMostDecimalDigits) + " digits written out in full)";
    return (r.large ? "above the largest amount this program reads" : "finer than this program reads") + limit;
}

void OnlyKeys(const Json& object, const std::string& where, std::initializer_list<std::string_view> keys)
{
    for (const auto& [key, value] : object.items()) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            Fault(where, "unknown field " + Quoted(key));
        }
    }
}

const Json& Field(const Json& object, const std::string& where, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end()) Fault(where, std::string("the field '") + key + "' is missing");
    return *it;
}

std::string Text(const Json& value, const std::string& where)
{
    if (!value.is_string()) Fault(where, "must be text");
    std::string s = value.get<std::string>();
    if (s.empty()) Fault(where, "must not be empty");
    if (s.size() > kMaxTextBytes) Fault(where, "is longer than 1000 bytes");
    for (char c : s) {
        if (c == '\n' || c == '\r') Fault(where, "must be one line");
    }
    if (const auto bad = UnsafeCharacter(s)) {
        Fault(where, "holds " + *bad + ", which would reach the terminal and the menus: leave it out");
    }
    return s;
}

int Whole(const Json& value, const std::string& where, int lo, int hi)
{
    if (!value.is_number_integer()) Fault(where, "must be a whole number");
    // A count beyond 64 bits reads back as another number: quote the file.
    // The reader keeps every count from 0 up as unsigned, so a signed one is
    // negative, below every lowest count a game file takes.
    const bool inRange = value.is_number_unsigned() && value.get<std::uint64_t>() <= static_cast<std::uint64_t>(hi);
    if (!inRange || value.get<std::int64_t>() < lo) {
        Fault(where, value.dump() + " is out of range (" + std::to_string(lo) + " to " + std::to_string(hi) + ")");
    }
    return static_cast<int>(value.get<std::int64_t>());
}

// A decimal amount written as a JSON number or as text; the number's own
// shortest text is taken, so 2.5 is exactly five halves.
std::pair<Rational, std::string> Amount(const Json& value, const std::string& where,
                                        const Rational& most = kMaxFileAmount)
{
    std::string text;
    if (value.is_number()) {
        text = value.dump();
    } else if (value.is_string()) {
        text = value.get<std::string>();
        if (text.size() > kMaxAmountText) Fault(where, "an amount of more than 100 characters is no amount");
    } else {
        Fault(where, "must be a number");
    }
    const auto parsed = ParseDecimal(text);
    if (!parsed) {
        if (const auto size = DecimalBeyondLimits(text)) Fault(where, Quoted(text) + " is " + *size);
        Fault(where, Quoted(text) + " is not a decimal number");
    }
    if (*parsed < 0) Fault(where, "must not be negative (" + text + ")");
    if (*parsed > most) {
        Fault(where, Quoted(text) + " is above the largest amount a game file holds (" + most.str() + ")");
    }
    return {*parsed, text};
}

CountRange Count(const Json& value, const std::string& where, int most)
{
    if (value.is_array()) {
        if (value.size() != 2) Fault(where, "a range is two counts [lowest, highest]");
        const int lo = Whole(value[0], where + "/0", 0, most);
        const int hi = Whole(value[1], where + "/1", 0, most);
        if (hi < lo) Fault(where, "the range runs backwards");
        return {lo, hi};
    }
    const int n = Whole(value, where, 0, most);
    return {n, n};
}

PublishedOdds Published(const Json& value, const std::string& where)
{
    if (!value.is_object()) Fault(where, "must be an object with 'odds' and 'rounding'");
    OnlyKeys(value, where, {"odds", "rounding"});
    PublishedOdds p;
    const auto [odds, text] = Amount(Field(value, where, "odds"), where + "/odds", kMaxPublishedOdds);
    if (odds < 1) Fault(where + "/odds", "odds of 1 in less than 1 cannot be published");
    p.value = odds;
    p.text = text;
    const auto point = text.find('.');
    p.places = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    if (text.find_first_of("eE,") != std::string::npos) {
        Fault(where + "/odds", "write the published figure as it is printed, digits and a point");
    }
    const std::string rounding = value.contains("rounding") ? Text(value["rounding"], where + "/rounding") : "nearest";
    if (rounding == "nearest") {
        p.rounding = Rounding::Nearest;
    } else if (rounding == "up") {
        p.rounding = Rounding::Up;
    } else if (rounding == "down") {
        p.rounding = Rounding::Down;
    } else {
        Fault(where + "/rounding", Quoted(rounding) + " is not nearest, up or down");
    }
    return p;
}

Prize ReadPrize(const Json& value, const std::string& where)
{
    Prize prize;
    if (value.is_string()) {
        const std::string s = value.get<std::string>();
        if (s == "jackpot") {
            prize.kind = PrizeKind::Jackpot;
            return prize;
        }
        if (s == "pari-mutuel") {
            prize.kind = PrizeKind::PariMutuel;
            return prize;
        }
        if (s == "free ticket") {
            prize.kind = PrizeKind::FreeTicket;
            return prize;
        }
        if (!ParseDecimal(s)) {
            Fault(where, Quoted(s) + " is not an amount, \"jackpot\", \"pari-mutuel\" or \"free ticket\"");
        }
    }
    const auto [amount, text] = Amount(value, where);
    if (amount == 0) Fault(where, "a prize of 0 is no prize: leave the tier out");
    prize.kind = PrizeKind::Fixed;
    prize.amount = amount;
    prize.text = text;
    return prize;
}

DrumSpec ReadDrum(const Json& value, const std::string& where, bool keno)
{
    if (!value.is_object()) Fault(where, "a drum must be an object");
    OnlyKeys(value, where, {"name", "label", "extra_label", "first", "size", "draw", "extra", "pick"});
    DrumSpec d;
    d.name = Text(Field(value, where, "name"), where + "/name");
    d.label = value.contains("label") ? Text(value["label"], where + "/label") : d.name;
    d.extraLabel = value.contains("extra_label") ? Text(value["extra_label"], where + "/extra_label") : "supplementary";
    d.first = value.contains("first") ? Whole(value["first"], where + "/first", 0, 1) : 1;
    d.size = Whole(Field(value, where, "size"), where + "/size", 1, kMaxSize);
    d.draw = Whole(Field(value, where, "draw"), where + "/draw", 1, kMaxDrawn);
    d.extra = value.contains("extra") ? Whole(value["extra"], where + "/extra", 0, kMaxDrawn) : 0;
    if (d.draw + d.extra > d.size) {
        Fault(where, "draws " + std::to_string(d.draw + d.extra) + " numbers from a drum of " + std::to_string(d.size));
    }
    const Json& pick = Field(value, where, "pick");
    if (keno) {
        if (pick != "spots") Fault(where + "/pick", "a Keno drum's pick is \"spots\"");
    } else {
        d.pick = Whole(pick, where + "/pick", 1, std::min(d.size, kMaxSpots));
    }
    return d;
}

TierSpec ReadTier(const Json& value, const std::string& where, const std::vector<DrumSpec>& drums)
{
    if (!value.is_object()) Fault(where, "a tier must be an object");
    OnlyKeys(value, where, {"name", "label", "match", "prize", "published", "fund_percent", "typical"});
    TierSpec t;
    t.name = Text(Field(value, where, "name"), where + "/name");
    if (t.name.find_first_of(" =,") != std::string::npos) {
        Fault(where + "/name", "a tier's name has no blanks, '=' or ','");
    }
    const std::string at = where + "/match";
    const Json& match = Field(value, where, "match");
    if (!match.is_object()) Fault(at, "must be an object naming each drum");
    for (const auto& item : match.items()) {
        const std::string& key = item.key(); // named, not bound: lambdas capture it on older compilers too
        const bool known = std::any_of(drums.begin(), drums.end(), [&](const DrumSpec& d) { return d.name == key; });
        if (!known) Fault(at, "the game has no drum " + Quoted(key));
    }
    std::string label;
    for (const DrumSpec& d : drums) {
        const std::string here = at + "/" + d.name;
        const auto it = match.find(d.name);
        if (it == match.end()) Fault(at, "says nothing of the drum " + Quoted(d.name));
        CountRange hits, extras{0, CountRange::kAny};
        if (it->is_object()) {
            OnlyKeys(*it, here, {"hits", "extra"});
            hits = Count(Field(*it, here, "hits"), here + "/hits", d.pick);
            if (it->contains("extra")) {
                if (d.extra == 0) Fault(here + "/extra", "the drum draws no supplementary numbers");
                extras = Count((*it)["extra"], here + "/extra", d.pick);
            }
        } else {
            hits = Count(*it, here, d.pick);
        }
        t.hits.push_back(hits);
        t.extras.push_back(extras);
    }
    t.label = value.contains("label") ? Text(value["label"], where + "/label") : t.name;
    t.prize = ReadPrize(Field(value, where, "prize"), where + "/prize");
    if (value.contains("published")) t.published = Published(value["published"], where + "/published");
    if (value.contains("fund_percent") || value.contains("typical")) {
        if (t.prize.kind != PrizeKind::PariMutuel && t.prize.kind != PrizeKind::Jackpot) {
            Fault(where, "only a pari-mutuel tier or the jackpot has a share of the prize fund or a typical prize");
        }
    }
    if (value.contains("fund_percent")) {
        const auto [percent, text] = Amount(value["fund_percent"], where + "/fund_percent");
        if (percent == 0 || percent > 100) Fault(where + "/fund_percent", "must be above 0 and at most 100");
        t.fundShare = percent / 100;
    }
    if (value.contains("typical")) {
        const std::string at = where + "/typical";
        const Json& typical = value["typical"];
        if (!typical.is_object()) Fault(at, "must be an object with 'amount' and 'source'");
        OnlyKeys(typical, at, {"amount", "source"});
        const auto [amount, text] = Amount(Field(typical, at, "amount"), at + "/amount");
        if (amount == 0) Fault(at + "/amount", "a typical prize of 0 is no prize");
        t.typical = TypicalPrize{amount, text, Text(Field(typical, at, "source"), at + "/source")};
    }
    return t;
}

void ReadKeno(const Json& root, GameDefinition& g)
{
    const Json& spots = Field(root, "", "spots");
    if (!spots.is_object()) Fault("/spots", "must be an object with 'min' and 'max'");
    OnlyKeys(spots, "/spots", {"min", "max"});
    const int most = std::min(g.drums[0].size, kMaxSpots);
    g.spotsMin = Whole(Field(spots, "/spots", "min"), "/spots/min", 1, most);
    g.spotsMax = Whole(Field(spots, "/spots", "max"), "/spots/max", g.spotsMin, most);
    if (!root.contains("pay_tables")) return;
    const Json& tables = root["pay_tables"];
    if (!tables.is_object()) Fault("/pay_tables", "must map spot counts to pay tables");
    for (const auto& [key, table] : tables.items()) {
        const std::string where = "/pay_tables/" + key;
        const auto spotCount = ParseDecimal(key);
        if (!spotCount || denominator(*spotCount) != 1 || *spotCount < g.spotsMin || *spotCount > g.spotsMax) {
            Fault(where, Quoted(key) + " is not a spot count the game offers");
        }
        const int s = static_cast<int>(numerator(*spotCount));
        if (!table.is_object() || table.empty()) Fault(where, "must map catch counts to pays");
        for (const auto& [catchKey, pay] : table.items()) {
            const auto c = ParseDecimal(catchKey);
            if (!c || denominator(*c) != 1 || *c < 0 || *c > s) {
                Fault(where, Quoted(catchKey) + " is not a catch count of " + std::to_string(s) + " spots");
            }
            const auto [amount, text] = Amount(pay, where + "/" + catchKey);
            const int caught = static_cast<int>(numerator(*c));
            g.payTables[s][caught] = amount;
            g.payTexts[s][caught] = text;
        }
    }
}

// A multiplier given to each ticket (Mega Millions' 2x to 10x): its values
// and, where the rules publish them, the chance of each.
void ReadMultiplier(const Json& value, GameDefinition& g)
{
    const std::string at = "/multiplier";
    if (!value.is_object()) Fault(at, "must be an object with 'values' and, if published, 'chances'");
    OnlyKeys(value, at, {"values", "chances"});
    const Json& values = Field(value, at, "values");
    if (!values.is_array() || values.empty() || values.size() > 20) Fault(at + "/values", "must list 1 to 20 factors");
    Multiplier m;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string here = at + "/values/" + std::to_string(i);
        m.values.push_back(Whole(values[i], here, 1, 1000));
        if (i > 0 && m.values[i] <= m.values[i - 1]) Fault(here, "the factors must rise");
    }
    if (value.contains("chances")) {
        const Json& chances = value["chances"];
        if (!chances.is_array() || chances.size() != values.size()) {
            Fault(at + "/chances", "must give one chance per factor");
        }
        Rational total = 0;
        for (std::size_t i = 0; i < chances.size(); ++i) {
            const auto [chance, text] = Amount(chances[i], at + "/chances/" + std::to_string(i));
            m.chances.push_back(chance);
            total += chance;
        }
        if (total != 1) Fault(at + "/chances", "the chances add up to " + total.str() + ", not 1");
    }
    g.multiplier = m;
}

// The work of checking the tiers, before it is done (see kMaxOutcomeChecks):
// each check multiplies whole numbers as long as the count of draws, so a
// check is weighed by their digits.
void BoundTheWork(const std::vector<DrumSpec>& drums, std::size_t tiers)
{
    double outcomes = 1, digits = 0;
    const auto log10Binomial = [](double n, double k) {
        return (std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1)) / std::log(10.0);
    };
    for (const DrumSpec& d : drums) {
        outcomes *= (std::min(d.pick, d.draw) + 1.0) * (std::min(d.pick, d.extra) + 1.0);
        digits += log10Binomial(d.size, d.draw) + log10Binomial(d.size - d.draw, d.extra);
    }
    const double checks = outcomes * static_cast<double>(std::max<std::size_t>(tiers, 1));
    if (checks * (1 + digits / 20) > kMaxOutcomeChecks) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "the drums give %.0f outcomes to sort into %zu tiers, in numbers of %.0f digits: more work "
                      "than a game file may ask",
                      outcomes, tiers, std::ceil(digits));
        Fault("/drums", text);
    }
}

GameDefinition ReadGame(const Json& root)
{
    if (!root.is_object()) Fault("", "a game file holds one object");
    OnlyKeys(root, "",
             {"format", "id", "name", "rules_since", "price", "currency", "drums", "tiers", "any_prize_published",
              "notes", "keno", "spots", "pay_tables", "draws_per_week", "prize_fund_percent", "multiplier", "sources"});
    if (root.contains("format") && Whole(root["format"], "/format", 1, 1000) != 1) {
        Fault("/format", "this program reads format 1");
    }
    GameDefinition g;
    g.id = Text(Field(root, "", "id"), "/id");
    for (char c : g.id) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok) Fault("/id", "an id is lower-case letters, digits, '-' and '_'");
    }
    g.name = Text(Field(root, "", "name"), "/name");
    if (root.contains("rules_since")) g.rulesSince = Text(root["rules_since"], "/rules_since");
    if (root.contains("price")) {
        const auto [price, text] = Amount(root["price"], "/price");
        if (price == 0) Fault("/price", "a ticket of price 0 cannot be valued");
        g.price = price;
        g.priceText = text;
    }
    g.currency = root.contains("currency") ? Text(root["currency"], "/currency") : "units";
    g.keno = root.contains("keno") && root["keno"].is_boolean() && root["keno"].get<bool>();
    if (root.contains("keno") && !root["keno"].is_boolean()) Fault("/keno", "must be true or false");

    const Json& drums = Field(root, "", "drums");
    if (!drums.is_array() || drums.empty()) Fault("/drums", "must list at least one drum");
    if (drums.size() > kMaxDrums) Fault("/drums", "at most 6 drums");
    if (g.keno && drums.size() != 1) Fault("/drums", "a Keno game has one drum");
    std::set<std::string> names;
    for (std::size_t i = 0; i < drums.size(); ++i) {
        g.drums.push_back(ReadDrum(drums[i], "/drums/" + std::to_string(i), g.keno));
        if (!names.insert(g.drums.back().name).second) {
            Fault("/drums/" + std::to_string(i) + "/name", "two drums are named " + Quoted(g.drums.back().name));
        }
    }
    if (root.contains("notes")) {
        const Json& notes = root["notes"];
        if (!notes.is_array()) Fault("/notes", "must be a list of lines");
        for (std::size_t i = 0; i < notes.size(); ++i) {
            g.notes.push_back(Text(notes[i], "/notes/" + std::to_string(i)));
        }
    }
    if (root.contains("any_prize_published")) {
        g.anyPrizePublished = Published(root["any_prize_published"], "/any_prize_published");
    }
    if (root.contains("sources")) {
        const Json& sources = root["sources"];
        if (!sources.is_array()) Fault("/sources", "must be a list of lines");
        for (std::size_t i = 0; i < sources.size(); ++i) {
            g.sources.push_back(Text(sources[i], "/sources/" + std::to_string(i)));
        }
    }
    if (root.contains("draws_per_week")) {
        const auto [draws, text] = Amount(root["draws_per_week"], "/draws_per_week");
        // From one draw a year to one a minute.
        if (draws * 52 < 1 || draws > 7 * 24 * 60) {
            Fault("/draws_per_week", "must be from 1/52 (one draw a year) to 10080 (one a minute)");
        }
        g.drawsPerWeek = draws;
        g.drawsPerWeekText = text;
    }
    if (root.contains("prize_fund_percent")) {
        const auto [percent, text] = Amount(root["prize_fund_percent"], "/prize_fund_percent");
        if (percent == 0 || percent > 100) Fault("/prize_fund_percent", "must be above 0 and at most 100");
        g.prizeFundShare = percent / 100;
    }
    if (root.contains("multiplier")) ReadMultiplier(root["multiplier"], g);

    if (g.keno) {
        if (root.contains("tiers")) Fault("/tiers", "a Keno game's tiers are its catch counts");
        ReadKeno(root, g);
        BoundTheWork(g.drumsFor(g.spotsMax), static_cast<std::size_t>(g.spotsMax) + 1);
        return g;
    }
    for (const char* key : {"spots", "pay_tables"}) {
        if (root.contains(key)) Fault(std::string("/") + key, "only a Keno game has this");
    }
    const Json& tiers = Field(root, "", "tiers");
    if (!tiers.is_array() || tiers.empty()) Fault("/tiers", "must list at least one prize tier");
    if (tiers.size() > kMaxTiers) Fault("/tiers", "at most 100 tiers");
    BoundTheWork(g.drums, tiers.size());
    std::set<std::string> tierNames;
    int jackpots = 0;
    for (std::size_t i = 0; i < tiers.size(); ++i) {
        const std::string where = "/tiers/" + std::to_string(i);
        g.tiers.push_back(ReadTier(tiers[i], where, g.drums));
        if (!tierNames.insert(g.tiers.back().name).second) {
            Fault(where + "/name", "two tiers are named " + Quoted(g.tiers.back().name));
        }
        if (g.tiers.back().prize.kind == PrizeKind::Jackpot && ++jackpots > 1) {
            Fault(where + "/prize", "a game has one jackpot tier");
        }
    }
    // Every tier must be a prize some ticket can win, and a ticket wins one
    // tier at most.
    const TierProbabilities odds = ComputeTierProbabilities(g.drums, g.tiers);
    if (!odds.overlap.empty()) Fault("/tiers", odds.overlap);
    for (std::size_t i = 0; i < g.tiers.size(); ++i) {
        if (odds.tiers[i] == 0) {
            Fault("/tiers/" + std::to_string(i) + "/match", "no draw can give this match");
        }
    }
    return g;
}

// "line L, column C" of a byte offset, both counted from 1.
std::string PlaceOf(std::string_view text, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

std::vector<TierSpec> GameDefinition::tiersFor(int spots) const
{
    if (!keno) return tiers;
    std::vector<TierSpec> out;
    const auto table = payTables.find(spots);
    for (int c = 0; c <= spots; ++c) {
        TierSpec t;
        t.name = std::to_string(c);
        t.label = "catch " + std::to_string(c) + " of " + std::to_string(spots);
        t.hits = {{c, c}};
        t.extras = {{0, CountRange::kAny}};
        if (table != payTables.end()) {
            const auto pay = table->second.find(c);
            if (pay != table->second.end() && pay->second > 0) {
                t.prize.kind = PrizeKind::Fixed;
                t.prize.amount = pay->second;
                t.prize.text = payTexts.at(spots).at(c);
            }
        }
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<DrumSpec> GameDefinition::drumsFor(int spots) const
{
    std::vector<DrumSpec> out = drums;
    if (keno) out[0].pick = spots;
    return out;
}

int GameDefinition::jackpotTier(int spots) const
{
    const std::vector<TierSpec> all = tiersFor(spots);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].prize.kind == PrizeKind::Jackpot) return static_cast<int>(i);
    }
    return -1;
}

GameFileResult ReadGameFile(std::string_view text, std::string_view fileName)
{
    GameFileResult result;
    const std::string name = PrintableText(fileName);
    Json root;
    // Keys seen in each open object: JSON allows a key twice and keeps the
    // last, so a second "id" would silently win.
    std::vector<std::set<std::string>> keys;
    struct DuplicateKey {
        std::string key;
    };
    const Json::parser_callback_t noteKeys = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
        if (event == Json::parse_event_t::key && !keys.empty() &&
            !keys.back().insert(parsed.get<std::string>()).second) {
            throw DuplicateKey{parsed.get<std::string>()};
        }
        return true;
    };
    try {
        root = Json::parse(text.begin(), text.end(), noteKeys);
    } catch (const Json::parse_error& e) {
        // The library's message names the token; the place is ours to say.
        std::string what = e.what();
        // "[json.exception.parse_error.101] parse error at line 2, column 9: syntax error ...; last read: 'x'":
        // what follows the place, which may itself hold ": ".
        const auto column = what.find("column ");
        const auto colon = what.find(": ", column == std::string::npos ? 0 : column);
        if (colon != std::string::npos) what = what.substr(colon + 2);
        const std::size_t offset = e.byte > 0 ? e.byte - 1 : 0;
        result.error = name + ": " + PlaceOf(text, offset) + ": not JSON: " + PrintableText(Shortened(what));
        return result;
    } catch (const DuplicateKey& d) {
        result.error = name + ": the key " + Quoted(PrintableText(Shortened(d.key))) + " appears twice in one object";
        return result;
    } catch (const Json::exception& e) {
        // A number beyond the range of a double (1e400, a 400-digit count).
        std::string what = e.what();
        const auto quote = what.find('\'');
        const std::string number = quote == std::string::npos ? what : what.substr(quote);
        result.error =
            name + ": holds the number " + PrintableText(Shortened(number)) + ", beyond the largest this program reads";
        return result;
    }
    try {
        result.game = ReadGame(root);
        result.game->file = name;
    } catch (const FileFault& f) {
        result.error = name + ": at " + PrintableText(f.where.empty() ? "/" : f.where) + ": " + PrintableText(f.what);
    } catch (const std::exception& e) {
        result.error = name + ": " + PrintableText(Shortened(e.what()));
    }
    return result;
}

GameFileResult ReadGameFileAt(const std::string& path)
{
    GameFileResult result;
    const std::string name = PrintableText(path);
    // A FIFO would wait for a writer and a device would never end: open
    // without waiting, and read only a regular file of at most 1 MiB.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.error = name + ": cannot be read (" + std::strerror(errno) + ")";
        return result;
    }
    struct stat st {};
    std::string reason;
    if (::fstat(fd, &st) != 0) {
        reason = "cannot be read";
    } else if (S_ISDIR(st.st_mode)) {
        reason = "is a folder, not a game file";
    } else if (!S_ISREG(st.st_mode)) {
        reason = "is not a regular file (a FIFO, a device or a socket)";
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
        reason = "larger than 1 MiB";
    }
    std::string bytes;
    if (reason.empty()) {
        bytes.resize(kMaxFileBytes + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) reason = "cannot be read";
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (got > kMaxFileBytes) reason = "larger than 1 MiB"; // it grew after fstat
        bytes.resize(got);
    }
    ::close(fd);
    if (!reason.empty()) {
        result.error = name + ": " + reason;
        return result;
    }
    return ReadGameFile(bytes, path);
}

std::string PrintableText(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto cp = CodePointAt(s, i);
        if (cp && !IsUnsafe(cp->first)) {
            out.append(s.substr(i, cp->second));
            i += cp->second;
            continue;
        }
        char escaped[16];
        if (cp) {
            std::snprintf(escaped, sizeof escaped, "\\u{%X}", static_cast<unsigned>(cp->first));
            i += cp->second;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(s[i])));
            ++i;
        }
        out += escaped;
    }
    return out;
}

std::optional<std::string> AmountSizeRefusal(std::string_view text) { return DecimalBeyondLimits(text); }

const GameDefinition* GameCatalog::find(std::string_view id) const
{
    for (const GameDefinition& g : games) {
        if (g.id == id) return &g;
    }
    return nullptr;
}

std::vector<const GameDefinition*> GameCatalog::lotteries() const
{
    std::vector<const GameDefinition*> out;
    for (const GameDefinition& g : games) {
        if (!g.keno) out.push_back(&g);
    }
    return out;
}

std::vector<const GameDefinition*> GameCatalog::kenoGames() const
{
    std::vector<const GameDefinition*> out;
    for (const GameDefinition& g : games) {
        if (g.keno) out.push_back(&g);
    }
    return out;
}

GameCatalog LoadGameCatalog(const std::vector<std::string>& folders)
{
    namespace fs = std::filesystem;
    GameCatalog catalog;
    catalog.folders = folders;
    std::map<std::string, GameDefinition> byId;
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) continue;
        std::vector<fs::path> files;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().extension() == ".json") files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        if (files.size() > kMaxFilesPerFolder) {
            catalog.warnings.push_back(PrintableText(folder) + ": more than " + std::to_string(kMaxFilesPerFolder) +
                                       " game files; those after " +
                                       PrintableText(files[kMaxFilesPerFolder - 1].string()) + " are passed over");
            files.resize(kMaxFilesPerFolder);
        }
        std::map<std::string, std::string> seenHere; // id -> file, within this folder
        for (const fs::path& path : files) {
            const std::string name = PrintableText(path.string());
            GameFileResult r = ReadGameFileAt(path.string());
            if (!r.game) {
                catalog.warnings.push_back(r.error);
                continue;
            }
            const auto [it, fresh] = seenHere.emplace(r.game->id, name);
            if (!fresh) {
                catalog.warnings.push_back(name + ": the id " + Quoted(r.game->id) + " is already taken by " +
                                           it->second);
                continue;
            }
            byId[r.game->id] = std::move(*r.game);
        }
    }
    for (auto& [id, game] : byId) catalog.games.push_back(std::move(game));
    return catalog;
}

std::string GameFoldersStamp(const std::vector<std::string>& folders)
{
    namespace fs = std::filesystem;
    std::string stamp;
    for (const std::string& folder : folders) {
        stamp += folder + '\n';
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().extension() != ".json") continue;
            std::error_code e;
            const fs::file_status status = it->status(e);
            const auto size = static_cast<unsigned long long>(fs::is_regular_file(status) ? it->file_size(e) : 0);
            const auto changed = static_cast<long long>(it->last_write_time(e).time_since_epoch().count());
            stamp += it->path().filename().string() + ' ' + std::to_string(static_cast<int>(status.type())) + ' ' +
                     std::to_string(size) + ' ' + std::to_string(changed) + '\n';
        }
    }
    return stamp;
}

std::vector<std::string> GameFolders(std::string_view programFolder, const EnvironmentLookup& environment)
{
    namespace fs = std::filesystem;
    std::vector<std::string> folders;
    const auto own = environment("FORTELLE_GAMES_DIR");
    if (own && !own->empty()) {
        folders.push_back(*own);
    } else if (!programFolder.empty()) {
        const fs::path program(programFolder);
        const fs::path installed = program / ".." / "share" / "fortelle" / "games";
        const fs::path buildTree = program / "share" / "fortelle" / "games";
        std::error_code ec;
        folders.push_back((fs::is_directory(installed, ec) ? installed : buildTree).lexically_normal().string());
    }
    const auto dataHome = environment("XDG_DATA_HOME");
    if (dataHome && !dataHome->empty() && (*dataHome)[0] == '/') {
        folders.push_back(*dataHome + "/fortelle/games");
    } else if (const auto home = environment("HOME"); home && !home->empty()) {
        folders.push_back(*home + "/.local/share/fortelle/games");
    }
    return folders;
}

std::optional<std::string> ProcessEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

DecimalReading ReadDecimal(std::string_view text)
{
    // The syntax first, in one pass that keeps no number: a text of a
    // million digits is answered as quickly as one of ten.
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    std::size_t intDigits = 0, fraction = 0, groupRun = 0;
    bool grouped = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++intDigits;
            ++groupRun;
        } else if (c == ',') {
            // Thousands separators: groups of exactly three digits.
            if (intDigits == 0 || (grouped && groupRun != 3) || (!grouped && intDigits > 3)) return {};
            grouped = true;
            groupRun = 0;
        } else {
            break;
        }
    }
    if (grouped && groupRun != 3) return {};
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++fraction;
    }
    if (intDigits + fraction == 0) return {};
    const std::size_t fractionEnd = i;
    std::int64_t exponent = 0;
    bool exponentTooLarge = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool expNegative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t start = i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (!exponentTooLarge) exponent = exponent * 10 + (text[i] - '0');
            exponentTooLarge = exponentTooLarge || exponent > kMostDecimalDigits;
        }
        if (i == start) return {};
        if (expNegative) exponent = -exponent;
    }
    if (i != text.size()) return {};
    if (exponentTooLarge) return {std::nullopt, DecimalFault::ExponentBeyondLimit, exponent > 0};

    // The significant digits: from the first that is not 0 to the last.
    std::int64_t place = 0, first = -1, last = -1;
    for (std::size_t j = mantissaStart; j < fractionEnd; ++j) {
        const char c = text[j];
        if (c < '0' || c > '9') continue;
        if (c != '0') {
            if (first < 0) first = place;
            last = place;
        }
        ++place;
    }
    if (first < 0) return {Rational(0)};
    const std::int64_t length = last - first + 1;
    const std::int64_t shift = static_cast<std::int64_t>(intDigits) - 1 - last + exponent; // of the last digit
    // Written out in full: the integer part's digits and the fraction's.
    const std::int64_t written = std::max<std::int64_t>(length + shift, 0) + std::max<std::int64_t>(-shift, 0);
    if (length > kMostDecimalDigits || written > kMostDecimalDigits) {
        return {std::nullopt, DecimalFault::TooManyDigits, length + shift > kMostDecimalDigits};
    }
    std::string digits;
    place = 0;
    for (std::size_t j = mantissaStart; j < fractionEnd; ++j) {
        if (text[j] < '0' || text[j] > '9') continue;
        if (place >= first && place <= last) digits += text[j];
        ++place;
    }

    BigInt whole = 0;
    for (std::size_t j = 0; j < digits.size(); j += 18) {
        const std::size_t n = std::min<std::size_t>(18, digits.size() - j);
        whole =
            whole * boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(n)) + std::stoull(digits.substr(j, n));
    }
    const BigInt scale = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(shift < 0 ? -shift : shift));
    Rational value = shift >= 0 ? Rational(whole * scale) : Rational(whole, scale);
    return {negative ? Rational(-value) : value};
}

std::optional<Rational> ParseDecimal(std::string_view text) { return ReadDecimal(text).value; }

std::string DecimalFaultText(DecimalFault fault)
{
    switch (fault) {
    case DecimalFault::TooManyDigits:
        return "has more than " + std::to_string(kMostDecimalDigits) + " digits written out";
    case DecimalFault::ExponentBeyondLimit:
        return "has an exponent beyond " + std::to_string(kMostDecimalDigits) + " either way";
    case DecimalFault::NotANumber: break;
    }
    return "is not a number";
}

} // namespace fortelle
