#include "games/keno_returns.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numeric>
#include <vector>

#include "games/named_games.h"
#include "games/precise.h"
#include "shell/report.h"

namespace fortelle {
namespace {

std::string Digits(const Rational& r) { return PrintStyleNumber(RoundedFigure(r)); }

// A bound as a figure that is at least it, with one significant digit and
// no finer than 0.000001 (any figure above a bound is one too).
std::string BoundText(double bound)
{
    if (bound <= 1e-6) return PrintStyleNumber(1e-6);
    const double scale = std::pow(10.0, std::floor(std::log10(bound)));
    return PrintStyleNumber(std::ceil(bound / scale * (1 + 1e-12)) * scale);
}

} // namespace

Figure15 SquareRootFigure(const Rational& v)
{
    const Precise root = sqrt(ToPrecise(v));
    // sqrt(v) against a boundary b >= 0: v against b^2, exactly.
    const Side side = [&v](const Rational& b) -> std::optional<int> {
        const Rational square = b * b;
        return v < square ? -1 : v > square ? 1 : 0;
    };
    return ProvenFigure(root, Precise("1e-95"), RoundedFigure, side);
}

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
        const DecimalReading reading = ReadDecimal(payText);
        const auto& pay = reading.value;
        if (!pay) return fail(what + " '" + payText.substr(0, 40) + "' " + DecimalFaultText(reading.fault));
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
    r.variance = square - r.returnToPlayer * r.returnToPlayer;
    r.behind = ComputeChanceBehind(r.odds.p, pays, games, {}, going);
    r.stopped = r.behind.stopped;
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
    out.line(" Standard deviation of one game's result:", PrintStyleNumber(SquareRootFigure(r.variance)), "units");
    const std::string behind =
        " Chance of being behind (returns below stakes) after " + std::to_string(r.games) + " games:";
    const ChanceBehind& b = r.behind;
    switch (b.how) {
    case ChanceBehind::How::Certain:
        out.line(behind, ChancePercent(b.certain));
        out.line(b.certain == 0 ? " (exact: every game returns at least its stake)"
                                : " (exact: every game returns less than its stake)");
        break;
    case ChanceBehind::How::Exact:
    case ChanceBehind::How::Rounded: {
        if (b.chance < Precise("1e-102")) {
            out.line(behind, " below 1E-100 %");
        } else {
            out.line(behind,
                     PercentText(ProvenFigure(b.chance * 100, b.error / b.chance, PercentFigure, nullptr), false));
        }
        const std::string within = BoundText((b.error * 100).convert_to<double>());
        if (b.how == ChanceBehind::How::Exact) {
            out.line(" (the exact distribution of the returns: within", within, "percentage points)");
        } else {
            out.line(" (from the pays rounded down and up to steps of 1/", std::to_string(b.steps), " of the stake:");
            out.line(" within", within, "percentage points)");
        }
        break;
    }
    case ChanceBehind::How::NotComputed:
        out.line(behind, " not computed:");
        // The reason's parts on lines of their own.
        for (std::size_t start = 0; start < b.reason.size();) {
            const std::size_t end = std::min(b.reason.find("; ", start), b.reason.size());
            out.line(" ", b.reason.substr(start, end - start), end == b.reason.size() ? "." : ";");
            start = end + 2;
        }
        break;
    }
    out.blank();
    return out.take();
}

std::string KenoReturnJson(const KenoReturn& r)
{
    nlohmann::ordered_json j;
    j["schema"] = "fortelle-keno-return/2";
    j["id"] = r.odds.game->id;
    j["spots"] = r.odds.spots;
    j["pay_table_entered"] = r.typedTable;
    j["catches"] = nlohmann::ordered_json::array();
    for (std::size_t c = 0; c < r.odds.p.size(); ++c) {
        const auto pay = r.pays.find(static_cast<int>(c));
        j["catches"].push_back({{"catch", c},
                                {"probability", FractionText(r.odds.p[c])},
                                {"pays", FractionText(pay == r.pays.end() ? Rational(0) : pay->second)}});
    }
    j["return_to_player"] = FractionText(r.returnToPlayer);
    j["return_to_player_percent"] = GeneralForm(RoundedFigure(r.returnToPlayer * 100));
    j["house_edge_percent"] = (r.houseEdge < 0 ? "-" : "") + GeneralForm(RoundedFigure(r.houseEdge * 100));
    j["variance"] = FractionText(r.variance);
    j["standard_deviation"] = sqrt(ToPrecise(r.variance)).convert_to<double>();
    j["games"] = r.games;
    const ChanceBehind& b = r.behind;
    switch (b.how) {
    case ChanceBehind::How::Certain:
        j["chance_behind"] = FractionText(b.certain);
        j["chance_behind_error"] = 0;
        j["method"] = "certain";
        break;
    case ChanceBehind::How::Exact:
    case ChanceBehind::How::Rounded:
        // The nearest double; below the doubles' normal range, 15 digits as text.
        if (b.chance == 0 || b.chance >= Precise("1e-300")) {
            j["chance_behind"] = b.chance.convert_to<double>();
        } else {
            j["chance_behind"] = b.chance.str(15, std::ios_base::scientific);
        }
        j["chance_behind_error"] = b.error.convert_to<double>();
        j["method"] = b.how == ChanceBehind::How::Exact ? "exact distribution" : "pays rounded both ways";
        break;
    case ChanceBehind::How::NotComputed:
        j["chance_behind"] = nullptr;
        j["chance_behind_error"] = nullptr;
        j["method"] = "not computed";
        j["not_computed"] = b.reason;
        break;
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle
