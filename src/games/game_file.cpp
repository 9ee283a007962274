#include "games/game_file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

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

// A fault in a game file, at a place given as a JSON pointer.
struct FileFault {
    std::string where, what;
};

[[noreturn]] void Fault(const std::string& where, const std::string& what) { throw FileFault{where, what}; }

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

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
    for (char c : s) {
        if (c == '\n' || c == '\r') Fault(where, "must be one line");
    }
    return s;
}

int Whole(const Json& value, const std::string& where, int lo, int hi)
{
    if (!value.is_number_integer()) Fault(where, "must be a whole number");
    const auto n = value.get<std::int64_t>();
    if (n < lo || n > hi) {
        Fault(where, std::to_string(n) + " is out of range (" + std::to_string(lo) + " to " + std::to_string(hi) + ")");
    }
    return static_cast<int>(n);
}

// A decimal amount written as a JSON number or as text; the number's own
// shortest text is taken, so 2.5 is exactly five halves.
std::pair<Rational, std::string> Amount(const Json& value, const std::string& where)
{
    std::string text;
    if (value.is_number()) {
        text = value.dump();
    } else if (value.is_string()) {
        text = value.get<std::string>();
    } else {
        Fault(where, "must be a number");
    }
    const auto parsed = ParseDecimal(text);
    if (!parsed) Fault(where, Quoted(text) + " is not a decimal number");
    if (*parsed < 0) Fault(where, "must not be negative (" + text + ")");
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
    const auto [odds, text] = Amount(Field(value, where, "odds"), where + "/odds");
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
    OnlyKeys(value, where, {"name", "label", "match", "prize", "published"});
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

GameDefinition ReadGame(const Json& root)
{
    if (!root.is_object()) Fault("", "a game file holds one object");
    OnlyKeys(root, "",
             {"format", "id", "name", "rules_since", "price", "currency", "drums", "tiers", "any_prize_published",
              "notes", "keno", "spots", "pay_tables"});
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

    if (g.keno) {
        if (root.contains("tiers")) Fault("/tiers", "a Keno game's tiers are its catch counts");
        ReadKeno(root, g);
        return g;
    }
    for (const char* key : {"spots", "pay_tables"}) {
        if (root.contains(key)) Fault(std::string("/") + key, "only a Keno game has this");
    }
    const Json& tiers = Field(root, "", "tiers");
    if (!tiers.is_array() || tiers.empty()) Fault("/tiers", "must list at least one prize tier");
    if (tiers.size() > kMaxTiers) Fault("/tiers", "at most 100 tiers");
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
    const std::string name(fileName);
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        // The library's message names the token; the place is ours to say.
        std::string what = e.what();
        const auto colon = what.rfind(": ");
        if (colon != std::string::npos) what = what.substr(colon + 2);
        const std::size_t offset = e.byte > 0 ? e.byte - 1 : 0;
        result.error = name + ": " + PlaceOf(text, offset) + ": not JSON: " + what;
        return result;
    }
    try {
        result.game = ReadGame(root);
        result.game->file = name;
    } catch (const FileFault& f) {
        result.error = name + ": at " + (f.where.empty() ? "/" : f.where) + ": " + f.what;
    } catch (const Json::exception& e) {
        result.error = name + ": " + e.what();
    }
    return result;
}

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
        std::map<std::string, std::string> seenHere; // id -> file, within this folder
        for (const fs::path& path : files) {
            const std::string name = path.string();
            std::error_code sizeError;
            const auto size = fs::file_size(path, sizeError);
            if (sizeError || size > kMaxFileBytes) {
                catalog.warnings.push_back(name + ": " + (sizeError ? "cannot be read" : "larger than 1 MiB"));
                continue;
            }
            std::ifstream in(path, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            if (!in && !in.eof()) {
                catalog.warnings.push_back(name + ": cannot be read");
                continue;
            }
            GameFileResult r = ReadGameFile(bytes.str(), name);
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
    if (exponentTooLarge) return {std::nullopt, DecimalFault::ExponentBeyondLimit};

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
    if (length > kMostDecimalDigits || written > kMostDecimalDigits) return {std::nullopt, DecimalFault::TooManyDigits};
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
