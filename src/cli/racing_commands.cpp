#include "cli/racing_commands.h"

#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "prices/margin.h"
#include "racing/payoff.h"
#include "racing/race.h"
#include "shell/report.h"

namespace fortelle {
namespace {

using racing::InputProblem;

constexpr std::string_view kRacingUsage =
    "\n"
    "Racing:\n"
    "  fortelle-cli race ODDS... [--chances] [--scratch N,...] [--bet TYPE SELECTION]\n"
    "                   [--base S] [--will-pay P] [--model harville|henery|discount]\n"
    "                   [--discount L[,T]] [--margin METHOD] [--json]\n"
    "  fortelle-cli payoff --pool X --on AMOUNTS [--bet TYPE] [--rules ID] [--takeout T]\n"
    "                     [--breakage B] [--minimum M] [--base S] [--json]\n"
    "  fortelle-cli racing-rules [--json]\n"
    "ODDS are one price per runner in runner order: 5-2 or 5/2, evens, 3.5 (decimal),\n"
    "+150 or -120 (American), 20% (implied), scr (scratched); with --chances, chances:\n"
    "0.25, 25% or 1/4. METHOD takes the margin out of the prices: normalisation (the\n"
    "default; also called multiplicative), additive, power, shin or odds-ratio.\n"
    "TYPE is win, place, show, exacta, quinella, trifecta or superfecta. SELECTION names\n"
    "runners: 1-2 (in order), 1-2,3 (1 over 2 or 3), 1,2,3 (a box), all (every starter).\n"
    "S is the stake of one combination (2); P the payoff for S, stake included. AMOUNTS\n"
    "are the amounts bet in the pool on each finisher that pays, in finishing order,\n"
    "apart by / (5000/3000), a dead heat joined by = (800=500). T is a percentage;\n"
    "B the breakage per dollar (0.10 unless the rules give it); M the minimum payoff\n"
    "for S. ID is one of racing-rules' jurisdictions.\n";

Rational Amount(const std::string& field, const std::string& text)
{
    const auto value = text.size() <= 40 ? ParseDecimal(text) : std::nullopt;
    if (!value) racing::Problem(field, "'" + text + "' is not a number.");
    return *value;
}

Rational Percentage(const std::string& field, std::string text)
{
    if (!text.empty() && text.back() == '%') text.pop_back();
    return Amount(field, text) / 100;
}

// "--bet TYPE SELECTION" takes two words; the rest parse as usual.
std::vector<std::string> TakeBet(std::span<const std::string> args, std::optional<std::string>& type,
                                 std::optional<std::string>& selection)
{
    std::vector<std::string> rest;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") options = false;
        if (!options || args[i] != "--bet") {
            rest.push_back(args[i]);
            continue;
        }
        if (type) Refuse("--bet is given more than once");
        if (i + 2 >= args.size()) Refuse("--bet needs a bet type and a selection, as --bet exacta 1-2");
        type = args[i + 1];
        selection = args[i + 2];
        i += 2;
    }
    return rest;
}

CommandLineResult Race(std::span<const std::string> args, bool raw)
{
    std::optional<std::string> type, selection;
    const std::vector<std::string> rest = TakeBet(args, type, selection);
    const Parsed p = ParseWords(rest, {"--scratch", "--model", "--discount", "--base", "--will-pay", "--margin"},
                                {"--chances", "--json"});
    racing::RaceInput in;
    in.field.entries = p.words;
    in.field.kind = p.has("--chances") ? racing::EntryKind::Chances : racing::EntryKind::Prices;
    if (const auto s = p.one("--scratch")) in.field.scratched = *s;
    if (const auto m = p.one("--margin")) {
        const auto method =
            *m == "normalisation" || *m == "normalization" ? prices::Method::Multiplicative : prices::MethodNamed(*m);
        if (!method)
            Refuse("--margin takes normalisation, multiplicative, additive, power, shin or odds-ratio, not '" + *m +
                   "'");
        in.field.margin = *method;
    }
    if (const auto m = p.one("--model")) {
        if (*m == "harville") {
            in.model.kind = racing::ModelKind::Harville;
        } else if (*m == "henery") {
            in.model.kind = racing::ModelKind::Henery;
        } else if (*m == "discount") {
            in.model.kind = racing::ModelKind::Discount;
        } else {
            Refuse("--model takes harville, henery or discount, not '" + *m + "'");
        }
    }
    if (const auto d = p.one("--discount")) {
        if (in.model.kind != racing::ModelKind::Discount) Refuse("--discount goes with --model discount");
        const auto comma = d->find(',');
        in.model.lambda = Amount("discount", d->substr(0, comma));
        in.model.tau = comma == std::string::npos ? in.model.lambda : Amount("discount", d->substr(comma + 1));
    } else if (in.model.kind == racing::ModelKind::Discount) {
        Refuse("--model discount needs its exponents, as --discount 0.81,0.65");
    }
    if (type) {
        in.bet = racing::ReadBetType(*type);
        in.selection = *selection;
    }
    if (const auto b = p.one("--base")) in.base = Amount("base", *b);
    if (const auto w = p.one("--will-pay")) in.willPay = Amount("will_pay", *w);
    const racing::RaceResult r = racing::ComputeRace(in);
    if (p.has("--json")) return {racing::RaceJson(r), {}, 0};
    const std::string report = racing::RaceReport(r);
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

CommandLineResult Payoff(std::span<const std::string> args, bool raw)
{
    const Parsed p = ParseWords(
        args, {"--pool", "--on", "--bet", "--rules", "--takeout", "--breakage", "--minimum", "--base"}, {"--json"});
    NoMoreWords(p, 0);
    racing::PayoffInput in;
    const auto pool = p.one("--pool");
    if (!pool) Refuse("give the gross pool with --pool");
    in.gross = Amount("pool", *pool);
    const auto on = p.one("--on");
    if (!on) Refuse("give the amounts bet on the finishers that pay with --on");
    in.amounts = *on;
    if (const auto b = p.one("--bet")) in.pool = racing::ReadBetType(*b);
    if (const auto id = p.one("--rules")) in.jurisdiction = *id;
    if (const auto t = p.one("--takeout")) in.takeout = Percentage("takeout", *t);
    if (const auto b = p.one("--breakage")) in.breakage = Amount("breakage", *b);
    if (const auto m = p.one("--minimum")) in.minimum = Amount("minimum", *m);
    if (const auto b = p.one("--base")) in.base = Amount("base", *b);
    const racing::PayoffResult r = racing::ComputePayoff(in);
    if (p.has("--json")) return {racing::PayoffJson(r), {}, 0};
    const std::string report = racing::PayoffReport(r);
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

CommandLineResult Rules(std::span<const std::string> args, bool raw)
{
    const Parsed p = ParseWords(args, {}, {"--json"});
    NoMoreWords(p, 0);
    if (p.has("--json")) return {racing::JurisdictionsJson(racing::Jurisdictions()), {}, 0};
    const std::string report = racing::JurisdictionsReport(racing::Jurisdictions());
    return {raw ? report : CrLfToLineFeeds(report), {}, 0};
}

} // namespace

std::string_view RacingCommandsUsage() { return kRacingUsage; }

CommandLineResult RunRacingCommand(std::string_view command, std::span<const std::string> args, bool raw)
{
    // --raw may stand after the command too, as long as it comes before "--".
    std::vector<std::string> words;
    bool options = true;
    for (const std::string& arg : args) {
        if (arg == "--") options = false;
        if (options && arg == "--raw") {
            raw = true;
        } else {
            words.push_back(arg);
        }
    }
    return RunRefusing(command, [&]() -> CommandLineResult {
        try {
            if (command == "race") return Race(words, raw);
            if (command == "payoff") return Payoff(words, raw);
            return Rules(words, raw);
        } catch (const InputProblem& problem) {
            Refuse(problem.message);
        }
    });
}

} // namespace fortelle
