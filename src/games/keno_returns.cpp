#include "games/keno_returns.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numeric>
#include <vector>

#include "games/named_games.h"
#include "games/precise.h"
#include "games/readable.h"
#include "shell/report.h"

namespace fortelle {
namespace {

// A bound as a figure that is at least it, with one significant digit and
// no finer than 0.000001 (any figure above a bound is one too).
std::string BoundText(double bound)
{
    if (bound <= 1e-6) return GeneralForm(ToFigure15(1e-6));
    const double scale = std::pow(10.0, std::floor(std::log10(bound)));
    return GeneralForm(ToFigure15(std::ceil(bound / scale * (1 + 1e-12)) * scale));
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

namespace {

// The chance of being behind as the report and the verdict give it.
std::string BehindText(const ChanceBehind& b)
{
    switch (b.how) {
    case ChanceBehind::How::Certain: return ChanceText(b.certain);
    case ChanceBehind::How::Exact:
    case ChanceBehind::How::Rounded:
        if (b.chance < Precise("1e-102")) return "below 1E-100 %";
        return PercentWords(ProvenFigure(b.chance * 100, b.error / b.chance, PercentFigure, nullptr), false);
    case ChanceBehind::How::NotComputed: break;
    }
    return "not computed";
}

// A pay as typed: the exact decimal (pays are read from decimals), or the
// fraction should one not end.
std::string PayText(const Rational& pay)
{
    BigInt d = denominator(pay);
    int places = 0;
    while (d % 10 == 0 || d % 2 == 0 || d % 5 == 0) {
        if (d % 10 == 0) {
            d /= 10;
        } else {
            d /= d % 2 == 0 ? 2 : 5;
        }
        ++places;
    }
    if (d != 1) return FractionText(pay);
    const BigInt scaled =
        numerator(pay) * boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(places)) / denominator(pay);
    std::string digits = scaled.str();
    if (places == 0) return digits;
    const auto p = static_cast<std::size_t>(places);
    if (digits.size() <= p) digits.insert(0, p - digits.size() + 1, '0');
    digits.insert(digits.size() - p, ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
}

} // namespace

std::string KenoReturnVerdict(const KenoReturn& r)
{
    const std::string& cur = r.odds.game->currency;
    const std::string unit = cur == "units" ? "unit" : cur;
    std::string s = "On average a 1 " + unit + " stake returns " + MoneyText(r.returnToPlayer, cur);
    const auto part = [&](const Rational& x) {
        return MoneyText(x, cur) + " (" + FigureText(RoundedFigure(x * 100)) + " %)";
    };
    if (r.houseEdge > 0) {
        s += ": you lose " + part(r.houseEdge) + " per game";
    } else if (r.houseEdge < 0) {
        s += ": you gain " + part(-r.houseEdge) + " per game";
    } else {
        s += ": you break even";
    }
    s += "; after " + Grouped(std::to_string(r.games)) + (r.games == 1 ? " game" : " games") +
         " the chance of being behind is " + BehindText(r.behind);
    return s + (r.behind.how == ChanceBehind::How::NotComputed ? " (the report says why)." : ".");
}

std::string KenoReturnReport(const KenoReturn& r)
{
    Report out;
    out.blank();
    WriteWrapped(out, KenoReturnVerdict(r));
    out.blank();
    WriteWrapped(out, "The returns of a Keno pay table: '" + TicketTitle(r.odds) + "' (" + r.odds.game->id + ")");
    std::string table;
    for (const auto& [caught, pay] : r.pays)
        table += (table.empty() ? "" : ",") + std::to_string(caught) + "=" + PayText(pay);
    WriteWrapped(out, std::string("Pays per unit staked, stake included, ") +
                          (r.typedTable ? "as entered: " : "the game file's table: ") + table);
    out.blank(2);
    const TableFractions fractions = FractionsOf(r.odds.p);
    using Align = TextTable::Align;
    // Columns: the row's name, 1 in X, percent, p, the pay, what it adds.
    TextTable rows({Align::Left, Align::Point, Align::Point, Align::Slash, Align::Point, Align::Point});
    const std::string spots = std::to_string(r.odds.spots);
    for (std::size_t c = 0; c < r.odds.tiers.size(); ++c) {
        const TierSpec& t = r.odds.tiers[c];
        std::vector<std::string> cells{"~ catch " + std::string(spots.size() - std::to_string(c).size(), ' ') +
                                           std::to_string(c) + " of " + spots + " ->",
                                       OneInText(r.odds.p[c]), ChanceText(r.odds.p[c]), "p = " + fractions.texts[c]};
        if (t.prize.kind == PrizeKind::Fixed) {
            cells.push_back("pays " + FigureText(RoundedFigure(t.prize.amount)));
            cells.push_back("adds " + FigureText(RoundedFigure(r.odds.p[c] * t.prize.amount)));
        }
        rows.row(std::move(cells));
    }
    for (const auto& lines : rows.lines({{{0, 1, 2, 3, 4, 5}}, {{0, 1, 2, 4, 5}, {3}}, {{0, 1, 2}, {3}, {4, 5}}}, 4)) {
        for (const std::string& line : lines) out.line(line);
    }
    out.blank();
    if (r.odds.anyPrize > 0) {
        out.line(" Any pay: ", OneInText(r.odds.anyPrize), " (", ChanceText(r.odds.anyPrize), ")");
    }
    out.line(" Return to player: ", FigureText(RoundedFigure(r.returnToPlayer * 100)), " %");
    out.line(" House edge: ", FigureText(RoundedFigure(r.houseEdge * 100)), " %");
    out.line(" Standard deviation of one game's result: ", FigureText(SquareRootFigure(r.variance)), " units");
    const std::string behind = "Chance of being behind (returns below stakes) after " +
                               Grouped(std::to_string(r.games)) + (r.games == 1 ? " game: " : " games: ");
    const ChanceBehind& b = r.behind;
    switch (b.how) {
    case ChanceBehind::How::Certain:
        WriteWrapped(out, behind + BehindText(b) +
                              (b.certain == 0 ? " (exact: every game returns at least its stake)"
                                              : " (exact: every game returns less than its stake)"));
        break;
    case ChanceBehind::How::Exact:
    case ChanceBehind::How::Rounded: {
        const std::string within = BoundText((b.error * 100).convert_to<double>());
        WriteWrapped(out, behind + BehindText(b) +
                              (b.how == ChanceBehind::How::Exact
                                   ? " (the exact distribution of the returns: within " + within + " percentage points)"
                                   : " (from the pays rounded down and up to steps of 1/" + std::to_string(b.steps) +
                                         " of the stake: within " + within + " percentage points)"));
        break;
    }
    case ChanceBehind::How::NotComputed:
        WriteWrapped(out, behind + "not computed:");
        // The reason's parts on lines of their own.
        for (std::size_t start = 0; start < b.reason.size();) {
            const std::size_t end = std::min(b.reason.find("; ", start), b.reason.size());
            WriteWrapped(out, b.reason.substr(start, end - start) + (end == b.reason.size() ? "." : ";"));
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
    case ChanceBehind::How::Rounded: {
        // The nearest double; below the doubles' normal range, where a double
        // would lose digits or become 0, the digits as text: the chance to 15
        // significant digits, its error bound to 3, rounded up so that it
        // still bounds.
        const auto tiny = [](const Precise& x) { return x != 0 && x < Precise("1e-300"); };
        if (tiny(b.chance)) {
            j["chance_behind"] = b.chance.str(14, std::ios_base::scientific);
        } else {
            j["chance_behind"] = b.chance.convert_to<double>();
        }
        if (tiny(b.error)) {
            j["chance_behind_error"] = Precise(b.error * Precise("1.01")).str(2, std::ios_base::scientific);
        } else {
            j["chance_behind_error"] = b.error.convert_to<double>();
        }
        j["method"] = b.how == ChanceBehind::How::Exact ? "exact distribution" : "pays rounded both ways";
        break;
    }
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
