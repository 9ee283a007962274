#include "games/keno_returns.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numeric>
#include <vector>

#include "games/named_games.h"
#include "shell/report.h"

namespace fortelle {
namespace {

// The convolution walks games x grid cells x paying catches; past this
// much work the normal approximation answers instead.
constexpr double kMostConvolutionSteps = 4e8;

std::string Digits(const Rational& r) { return PrintStyleNumber(RoundedFigure(r)); }

double FigureNumber(const Rational& r)
{
    const Figure15 f = RoundedFigure(r);
    return std::strtod(((f.negative ? "-" : "") + GeneralForm(f)).c_str(), nullptr);
}

struct Behind {
    double chance = 0;
    bool exact = true;
};

Behind ChanceBehind(const std::vector<Rational>& p, const PayTable& pays, std::int64_t games, double mean,
                    double deviation, const std::function<bool(double)>& going, bool& stopped)
{
    // Every pay and the stake on one grid: multiples of the largest step
    // that divides them all.
    BigInt lcm = 1;
    for (const auto& [c, pay] : pays) lcm = boost::multiprecision::lcm(lcm, denominator(pay));
    BigInt step = lcm; // the stake, in 1/lcm units
    for (const auto& [c, pay] : pays) {
        const Rational scaled = pay * lcm;
        if (numerator(scaled) != 0) step = boost::multiprecision::gcd(step, numerator(scaled));
    }
    const BigInt stake = lcm / step;
    const BigInt targetBig = stake * games;
    std::size_t paying = 0;
    for (const auto& [c, pay] : pays) paying += pay > 0 ? 1 : 0;
    const double work = targetBig.convert_to<double>() * static_cast<double>(games) * static_cast<double>(paying + 1);
    if (games <= kExactGamesUpTo && work <= kMostConvolutionSteps) {
        const auto target = targetBig.convert_to<std::size_t>();
        double stay = 0; // the chance of a game that pays nothing
        std::vector<std::pair<std::size_t, double>> moves;
        for (std::size_t c = 0; c < p.size(); ++c) {
            const auto pay = pays.find(static_cast<int>(c));
            const Rational cells = pay == pays.end() ? Rational(0) : Rational(pay->second * lcm / step);
            const double chance = p[c].convert_to<double>();
            if (cells == 0) {
                stay += chance;
            } else if (numerator(cells) < targetBig) {
                moves.emplace_back(numerator(cells).convert_to<std::size_t>(), chance);
            }
            // A pay that reaches the stakes alone ends every path it is on.
        }
        std::vector<double> at(target, 0.0), next(target, 0.0);
        at[0] = 1.0; // returns so far, in grid steps; at or past the target is not behind
        for (std::int64_t g = 0; g < games; ++g) {
            if (going && !going(static_cast<double>(g) / static_cast<double>(games))) {
                stopped = true;
                return {};
            }
            for (std::size_t t = 0; t < target; ++t) next[t] = at[t] * stay;
            for (const auto& [size, chance] : moves) {
                for (std::size_t t = 0; t + size < target; ++t) next[t + size] += at[t] * chance;
            }
            at.swap(next);
        }
        double behind = 0;
        for (double x : at) behind += x;
        return {std::min(1.0, behind), true};
    }
    const double n = static_cast<double>(games);
    const double half = 0.5 * (Rational(step, lcm)).convert_to<double>();
    if (deviation == 0) return {mean < 1 ? 1.0 : 0.0, false};
    const double z = (n - half - n * mean) / (deviation * std::sqrt(n));
    return {0.5 * std::erfc(-z / std::sqrt(2.0)), false};
}

} // namespace

PayTableReading ReadPayTable(std::string_view text, int spots)
{
    PayTableReading r;
    std::string all;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') all += c;
    }
    const auto fail = [&r](std::string problem) {
        r.problem = std::move(problem);
        return r;
    };
    std::size_t start = 0;
    while (start <= all.size()) {
        const auto comma = std::min(all.find(',', start), all.size());
        const std::string entry = all.substr(start, comma - start);
        start = comma + 1;
        const auto eq = entry.find('=');
        if (eq == std::string::npos) return fail("write each pay as CATCH=PAY, not '" + entry + "'");
        const std::string catchText = entry.substr(0, eq), payText = entry.substr(eq + 1);
        const auto caught = ParseDecimal(catchText);
        if (!caught || denominator(*caught) != 1 || *caught < 0 || *caught > spots) {
            return fail("the catch count must be a whole number from 0 to " + std::to_string(spots) + " (" + catchText +
                        ")");
        }
        const int c = static_cast<int>(numerator(*caught));
        const std::string what = "the pay for " + std::to_string(c) + " caught";
        if (r.pays.count(c)) return fail(what + " is given twice");
        const auto pay = ParseDecimal(payText);
        if (!pay) return fail(what + " '" + payText + "' is not a number");
        if (*pay < 0) return fail(what + " must not be negative (" + payText + ")");
        r.pays[c] = *pay;
    }
    return r;
}

std::string PayTableText(const GameDefinition& game, int spots)
{
    std::string text;
    const auto table = game.payTexts.find(spots);
    if (table == game.payTexts.end()) return text;
    for (const auto& [caught, pay] : table->second) {
        text += (text.empty() ? "" : ",") + std::to_string(caught) + "=" + pay;
    }
    return text;
}

KenoReturn ComputeKenoReturn(const GameDefinition& game, int spots, const PayTable& pays, bool typed,
                             std::int64_t games, const std::function<bool(double)>& going)
{
    KenoReturn r;
    r.odds = ComputeGameOdds(game, spots);
    for (TierSpec& t : r.odds.tiers) {
        const auto pay = pays.find(std::stoi(t.name));
        t.prize = {};
        if (pay != pays.end() && pay->second > 0) {
            t.prize.kind = PrizeKind::Fixed;
            t.prize.amount = pay->second;
        }
    }
    r.pays = pays;
    r.typedTable = typed;
    r.games = games;
    Rational square = 0;
    r.odds.anyPrize = 0;
    r.odds.anyPrizeKnown = true;
    for (std::size_t c = 0; c < r.odds.p.size(); ++c) {
        const auto pay = pays.find(static_cast<int>(c));
        if (pay == pays.end()) continue;
        r.returnToPlayer += r.odds.p[c] * pay->second;
        square += r.odds.p[c] * pay->second * pay->second;
        if (pay->second > 0) r.odds.anyPrize += r.odds.p[c];
    }
    r.houseEdge = 1 - r.returnToPlayer;
    r.deviation = std::sqrt(Rational(square - r.returnToPlayer * r.returnToPlayer).convert_to<double>());
    const Behind b =
        ChanceBehind(r.odds.p, pays, games, r.returnToPlayer.convert_to<double>(), r.deviation, going, r.stopped);
    r.chanceBehind = b.chance;
    r.exactConvolution = b.exact;
    return r;
}

std::string KenoReturnReport(const KenoReturn& r)
{
    Report out;
    out.blank();
    out.line(" The returns of a Keno pay table: '", TicketTitle(r.odds), "' (", r.odds.game->id, ")");
    out.line(" Pays per unit staked, stake included: ", r.typedTable ? "as entered." : "the game file's table.");
    out.blank(2);
    std::size_t oddsWidth = 0, fractionWidth = 0;
    for (const Rational& p : r.odds.p) {
        oddsWidth = std::max(oddsWidth, PrintStyleNumber(OneInFigure(p)).size());
        fractionWidth = std::max(fractionWidth, FractionText(p).size());
    }
    for (std::size_t c = 0; c < r.odds.tiers.size(); ++c) {
        const TierSpec& t = r.odds.tiers[c];
        std::string odds = PrintStyleNumber(OneInFigure(r.odds.p[c]));
        std::string fraction = FractionText(r.odds.p[c]);
        odds.append(oddsWidth - odds.size(), ' ');
        fraction.append(fractionWidth - fraction.size(), ' ');
        std::string row = "~ catch" + PrintStyleNumber(static_cast<std::int64_t>(c)) + "of" +
                          PrintStyleNumber(static_cast<std::int64_t>(r.odds.spots)) + " -> 1 in" + odds +
                          " p = " + fraction;
        if (t.prize.kind == PrizeKind::Fixed) {
            row += "  pays" + Digits(t.prize.amount) + " adds" + Digits(r.odds.p[c] * t.prize.amount);
        } else {
            while (row.back() == ' ') row.pop_back();
        }
        out.line(row);
    }
    out.blank();
    if (r.odds.anyPrize > 0) {
        out.line(" Any pay: 1 in", PrintStyleNumber(OneInFigure(r.odds.anyPrize)));
    }
    out.line(" Return to player:", Digits(r.returnToPlayer * 100), "%");
    out.line(" House edge:", Digits(r.houseEdge * 100), "%");
    out.line(" Standard deviation of one game's result:", RoundPlaces(r.deviation, 2), "units");
    out.line(" Chance of being behind (returns below stakes) after", r.games,
             "games:", RoundPlaces(r.chanceBehind * 100, 2), "%");
    out.line(r.exactConvolution ? " (exact: the pay distribution convolved game by game)"
                                : " (normal approximation with a continuity correction)");
    out.blank();
    return out.take();
}

std::string KenoReturnJson(const KenoReturn& r)
{
    nlohmann::ordered_json j;
    j["schema"] = "fortelle-keno-return/1";
    j["id"] = r.odds.game->id;
    j["spots"] = r.odds.spots;
    j["pay_table_entered"] = r.typedTable;
    j["catches"] = nlohmann::ordered_json::array();
    for (std::size_t c = 0; c < r.odds.p.size(); ++c) {
        const auto pay = r.pays.find(static_cast<int>(c));
        j["catches"].push_back({{"catch", c},
                                {"probability", FractionText(r.odds.p[c])},
                                {"pays", pay == r.pays.end() ? "0" : FractionText(pay->second)}});
    }
    j["return_to_player"] = FractionText(r.returnToPlayer);
    j["return_to_player_percent"] = FigureNumber(r.returnToPlayer * 100);
    j["house_edge_percent"] = FigureNumber(r.houseEdge * 100);
    j["standard_deviation"] = r.deviation;
    j["games"] = r.games;
    j["chance_behind"] = r.chanceBehind;
    j["method"] = r.exactConvolution ? "convolution" : "normal approximation";
    return j.dump(2) + "\n";
}

} // namespace fortelle
