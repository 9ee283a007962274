#include "cli/wheel_commands.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "cli/commands.h"
#include "cli/options.h"
#include "shell/report.h"
#include "wheels/check.h"
#include "wheels/make.h"
#include "wheels/wheel_text.h"

namespace fortelle {
namespace {

constexpr std::string_view kWheelUsage =
    "\n"
    "Wheels (\"t if m\": if m of your numbers are drawn, some ticket holds t of them):\n"
    "  fortelle-cli wheel check GAME (--tickets FILE | --ticket LIST ...) [--numbers LIST]\n"
    "                    [--jackpot X] [--prize TIER=AMOUNT ...] [--holes H] [--every-draw]\n"
    "                    [--threads N] [--json]\n"
    "  fortelle-cli wheel make V K T [M] [--numbers LIST] [--seconds S] [--seed N] [--json]\n"
    "  fortelle-cli wheel known [--json]\n"
    "GAME is a game's id (its first drum is wheeled) or K/N, k numbers drawn of 1 to N (6/49).\n"
    "FILE holds one ticket a line; a LIST is numbers apart by spaces or commas, ranges\n"
    "allowed (\"1-10 15\"). check gives every guarantee with its holes, the best ticket's\n"
    "match and each prize tier over every draw, and the wheel's value; make builds a wheel\n"
    "of V numbers, K a ticket, for \"T if M\" (M = T unless given), in at most S seconds of\n"
    "work (5) from seed N (1), proves it and sets it beside the lower bound and the best\n"
    "known size; known lists the published covering sizes the program carries.\n";

std::string Output(const std::string& report, bool raw) { return raw ? report : CrLfToLineFeeds(report); }

int WholeNumber(const std::string& what, const std::string& text, int lo, int hi)
{
    const auto value = ParseDecimal(text);
    if (!value || denominator(*value) != 1 || *value < lo || *value > hi) {
        Refuse(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + " (" + text +
               ")");
    }
    return static_cast<int>(numerator(*value));
}

Rational Amount(const std::string& what, const std::string& text)
{
    const auto value = ParseDecimal(text);
    if (!value) Refuse(what + " '" + text + "' is not a number");
    if (*value < 0) Refuse(what + " must not be negative (" + text + ")");
    return *value;
}

// A form's problem as the command line words its refusals: no capital, no
// full stop.
void RefuseFirst(const std::vector<forms::Problem>& problems)
{
    if (problems.empty()) return;
    std::string text = problems.front().message;
    if (!text.empty() && text.back() == '.') text.pop_back();
    // "A wheel ..." as well as "There is ...", but not "UK ...".
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        (std::islower(static_cast<unsigned char>(text[1])) || text[1] == ' ')) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    Refuse(text);
}

CommandLineResult Check(std::span<const std::string> args, GameCatalog catalog, bool raw)
{
    const Parsed p =
        ParseWords(args, {"--tickets", "--ticket", "--numbers", "--jackpot", "--prize", "--holes", "--threads"},
                   {"--json", "--every-draw"});
    if (p.words.empty()) Refuse("name the game: a game's id or K/N such as 6/49");
    NoMoreWords(p, 1);
    std::vector<forms::Problem> problems;
    std::string word = p.words[0];
    // A game named by its file ("my-game.json") is read from there.
    if (word.size() > 5 && word.compare(word.size() - 5, 5, ".json") == 0) {
        std::ifstream in(word, std::ios::binary);
        if (!in) Refuse("cannot read the game file '" + word + "'");
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        GameFileResult file = ReadGameFile(text, word);
        if (!file.game) Refuse(file.error);
        word = file.game->id;
        std::erase_if(catalog.games, [&](const GameDefinition& g) { return g.id == word; });
        catalog.games.push_back(std::move(*file.game));
    }
    const auto game = wheels::GameFromWord(word, &catalog, problems);
    RefuseFirst(problems);
    std::string text;
    if (const auto file = p.one("--tickets")) {
        if (p.has("--ticket")) Refuse("give the tickets with --tickets or --ticket, not both");
        std::ifstream in(*file, std::ios::binary);
        if (!in) Refuse("cannot read the tickets file '" + *file + "'");
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (text.size() > 64 * 1024 * 1024) Refuse("the tickets file '" + *file + "' is larger than 64 MiB");
    } else if (p.has("--ticket")) {
        for (const std::string& t : p.options.at("--ticket")) text += t + "\n";
    } else {
        Refuse("give the tickets with --tickets FILE or --ticket LIST");
    }
    std::optional<std::vector<int>> numbers;
    if (const auto list = p.one("--numbers")) {
        numbers =
            wheels::ParseNumberList(*list, game->first, game->first + game->n - 1, "numbers", "your numbers", problems);
        RefuseFirst(problems);
    }
    auto wheel = wheels::ReadWheel(*game, numbers, text, problems);
    RefuseFirst(problems);
    wheels::CheckInput in;
    in.game = *game;
    in.wheel = std::move(*wheel);
    if (const auto j = p.one("--jackpot")) {
        if (!game->named) Refuse("--jackpot goes with a named game");
        in.jackpot = Amount("the jackpot", *j);
    }
    if (p.has("--prize")) {
        if (!game->named) Refuse("--prize goes with a named game");
        for (const std::string& entry : p.options.at("--prize")) {
            const auto eq = entry.find('=');
            if (eq == std::string::npos || eq == 0) Refuse("--prize takes TIER=AMOUNT, not '" + entry + "'");
            const std::string tier = entry.substr(0, eq);
            if (in.prizes.count(tier)) Refuse("the prize of the tier '" + tier + "' is given twice");
            in.prizes[tier] = Amount("the prize of the tier '" + tier + "'", entry.substr(eq + 1));
        }
    }
    if (const auto h = p.one("--holes")) in.holes = WholeNumber("the number of holes shown", *h, 0, 1000);
    if (const auto t = p.one("--threads")) in.threads = WholeNumber("the number of threads", *t, 1, 64);
    in.everyDraw = p.has("--every-draw");
    RefuseFirst(wheels::CheckRefusals(in));
    const wheels::CheckResult r = wheels::CheckWheel(in);
    if (p.has("--json")) return {wheels::CheckJson(r), {}, 0};
    return {Output(wheels::CheckReport(r), raw), {}, 0};
}

CommandLineResult Make(std::span<const std::string> args, bool raw)
{
    const Parsed p = ParseWords(args, {"--numbers", "--seconds", "--seed", "--threads"}, {"--json"});
    if (p.words.size() < 3) Refuse("give V K T [M]: the numbers, a ticket's size, the guarantee");
    NoMoreWords(p, 4);
    wheels::MakeInput in;
    wheels::BuildRequest& q = in.request;
    q.v = WholeNumber("V, the numbers,", p.words[0], 1, wheels::kMostNumbers);
    q.k = WholeNumber("K, a ticket's size,", p.words[1], 1, wheels::kMostPick);
    q.t = WholeNumber("T, the guaranteed match,", p.words[2], 1, wheels::kMostPick);
    q.m = p.words.size() > 3 ? WholeNumber("M, the numbers drawn,", p.words[3], 1, wheels::kMostPick) : q.t;
    if (const auto s = p.one("--seconds")) q.seconds = WholeNumber("the seconds", *s, 1, wheels::kMostSeconds);
    if (const auto s = p.one("--seed")) {
        const auto seed = ParseDecimal(*s);
        if (!seed || denominator(*seed) != 1 || *seed < 0 || *seed >= Rational(BigInt(1) << 64)) {
            Refuse("the seed must be a whole number from 0 to 18446744073709551615 (" + *s + ")");
        }
        q.seed = numerator(*seed).convert_to<std::uint64_t>();
    }
    if (const auto t = p.one("--threads")) in.threads = WholeNumber("the number of threads", *t, 1, 64);
    std::vector<forms::Problem> problems;
    if (const auto list = p.one("--numbers")) {
        const auto numbers = wheels::ParseNumberList(*list, 0, 9999, "numbers", "the numbers", problems);
        RefuseFirst(problems);
        in.numbers = *numbers;
    }
    RefuseFirst(wheels::MakeRefusals(in));
    const wheels::MakeResult r = wheels::MakeWheel(in);
    if (p.has("--json")) return {wheels::MakeJson(r), {}, 0};
    return {Output(wheels::MakeReport(r), raw), {}, 0};
}

CommandLineResult Known(std::span<const std::string> args)
{
    const Parsed p = ParseWords(args, {}, {"--json"});
    NoMoreWords(p, 0);
    if (p.has("--json")) {
        std::string out = "{\n  \"schema\": \"fortelle-wheel-known/1\",\n  \"source\": \"" +
                          std::string(wheels::kKnownCoveringsSource) + "\",\n  \"coverings\": [";
        bool first = true;
        for (const wheels::KnownCovering& c : wheels::KnownCoverings()) {
            out += std::string(first ? "" : ",") + "\n    {\"v\": " + std::to_string(c.v) +
                   ", \"k\": " + std::to_string(c.k) + ", \"t\": " + std::to_string(c.t) +
                   ", \"size\": " + std::to_string(c.size) + ", \"lower_bound\": " + std::to_string(c.lowerBound) + "}";
            first = false;
        }
        return {out + "\n  ]\n}\n", {}, 0};
    }
    std::string out = "Best known coverings C(v,k,t) (size, lower bound), from the\n" +
                      std::string(wheels::kKnownCoveringsSource) + ":\n";
    for (const wheels::KnownCovering& c : wheels::KnownCoverings()) {
        out += "  " + wheels::DesignName(c.v, c.k, c.t, c.t) + " " + std::to_string(c.size) + " (lower bound " +
               std::to_string(c.lowerBound) + ")\n";
    }
    out += "Steiner systems the program builds itself meet their lower bound and are not listed.\n";
    return {out, {}, 0};
}

} // namespace

std::string_view WheelCommandsUsage() { return kWheelUsage; }

CommandLineResult RunWheelCommand(std::span<const std::string> args, bool raw,
                                  const std::function<GameCatalog()>& loadCatalog)
{
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
    return RunRefusing("wheel", [&]() -> CommandLineResult {
        if (words.empty()) Refuse("say check, make or known (fortelle-cli --help)");
        const std::string what = words.front();
        const std::span<const std::string> rest(words.data() + 1, words.size() - 1);
        if (what == "check") {
            const GameCatalog catalog = loadCatalog();
            CommandLineResult r = Check(rest, catalog, raw);
            for (const std::string& w : catalog.warnings) r.err = "fortelle-cli: skipped " + w + "\n" + r.err;
            return r;
        }
        if (what == "make") return Make(rest, raw);
        if (what == "known") return Known(rest);
        Refuse("unknown wheel command '" + what + "' (check, make or known)");
    });
}

} // namespace fortelle
