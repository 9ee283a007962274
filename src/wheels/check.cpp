#include "wheels/check.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "games/readable.h"
#include "shell/report.h"
#include "wheels/wheel_text.h"

namespace fortelle::wheels {
namespace {

using OrderedJson = nlohmann::ordered_json;

SubsetJob JobOf(const CheckInput& in, const TierMap* tiers)
{
    SubsetJob job;
    job.v = in.wheel.v();
    job.k = in.game.k;
    job.n = in.game.n;
    job.tickets = in.wheel.masks;
    job.holes = in.holes;
    job.tiers = tiers;
    job.threads = in.threads;
    return job;
}

DrawJob DrawJobOf(const CheckInput& in)
{
    DrawJob job;
    job.n = in.game.n;
    job.k = in.game.k;
    job.threads = in.threads;
    const auto bit = [&](int number) { return WideMask{1} << (number - in.game.first); };
    for (const auto& t : in.wheel.tickets) {
        WideMask m = 0;
        for (const int number : t) m |= bit(number);
        job.tickets.push_back(m);
    }
    for (const int number : in.wheel.numbers) job.player |= bit(number);
    return job;
}

// Sets times tickets: whole numbers well within a double's exact range.
std::string WorkText(double work) { return Grouped(static_cast<std::uint64_t>(work)); }

std::optional<ValueAssumptions> AssumptionsOf(const CheckInput& in)
{
    if (!in.game.named || !in.game.named->price) return std::nullopt;
    ValueAssumptions a;
    a.jackpot = in.jackpot.value_or(0);
    a.prizes = in.prizes;
    return a;
}

std::string Money(const Rational& amount, const std::string& currency)
{
    return Grouped(RoundedFigure(amount)) + " " + currency;
}

} // namespace

std::vector<forms::Problem> CheckRefusals(const CheckInput& in)
{
    std::vector<forms::Problem> problems;
    const WheelGame& g = in.game;
    const BigInt outcomes = BigChoose(g.n, g.k) * BigChoose(g.n - g.k, g.extra);
    if (outcomes >= BigInt(1) << 64) {
        problems.push_back({"game", "The game has " + Grouped(outcomes) +
                                        " draws, more than can be counted here (at most 18,446,744,073,709,551,615)."});
        return problems;
    }
    const TierMap map = MakeTierMap(g);
    const double work = SubsetWork(JobOf(in, g.named ? &map : nullptr));
    if (work > kMostWork) {
        problems.push_back({"numbers", "Checking these " + std::to_string(in.wheel.v()) + " numbers means " +
                                           WorkText(work) + " ticket checks; at most " + WorkText(kMostWork) +
                                           " are done (about a minute and a half). Use fewer numbers or tickets."});
    }
    if (in.everyDraw && DrawWork(DrawJobOf(in)) > kMostWork) {
        problems.push_back({"game", "Every draw one by one means " + WorkText(DrawWork(DrawJobOf(in))) +
                                        " ticket checks; at most " + WorkText(kMostWork) + " are done."});
    }
    if (const auto a = AssumptionsOf(in)) {
        if (std::string why = CheckValueAssumptions(*g.named, *a); !why.empty()) {
            problems.push_back({"jackpot", why});
        }
    }
    return problems;
}

CheckResult CheckWheel(const CheckInput& in, const Ticker& tick)
{
    CheckResult r;
    r.input = in;
    const WheelGame& g = in.game;
    const Wheel& w = in.wheel;
    const int v = w.v(), k = g.k, n = g.n, e = g.extra;
    const TierMap map = MakeTierMap(g);
    const SubsetJob job = JobOf(in, g.named ? &map : nullptr);
    // With the draw-by-draw count as well, each walk takes its share of the bar.
    const double subsetWork = SubsetWork(job), drawWork = in.everyDraw ? DrawWork(DrawJobOf(in)) : 0;
    const double share = subsetWork / (subsetWork + drawWork);
    const auto scaled = [&](double from, double part) -> Ticker {
        if (!tick) return {};
        return [&tick, from, part](double f) { return tick(from + part * f); };
    };
    const SubsetTally s = WalkSubsets(job, scaled(0, share));
    if (s.stopped) {
        r.stopped = true;
        return r;
    }
    r.draws = Choose(n, k);
    const int top = std::min(k, v);
    for (int m = 1; m <= top; ++m) {
        for (int t = 1; t <= m; ++t) {
            GuaranteeResult gr;
            gr.t = t;
            gr.m = m;
            gr.sets = Choose(v, m);
            for (int h = 0; h < t; ++h) gr.misses += s.best[static_cast<std::size_t>(m)][static_cast<std::size_t>(h)];
            for (const Mask hole : s.holes[static_cast<std::size_t>(m)][static_cast<std::size_t>(t)]) {
                gr.first.push_back(NumbersOf(w, hole));
            }
            r.guarantees.push_back(std::move(gr));
        }
    }
    r.bestWays.assign(static_cast<std::size_t>(k) + 1, 0);
    for (int j = 0; j <= top; ++j) {
        for (int h = 0; h <= k; ++h) {
            r.bestWays[static_cast<std::size_t>(h)] +=
                s.best[static_cast<std::size_t>(j)][static_cast<std::size_t>(h)] * Choose(n - v, k - j);
        }
    }
    for (int h = 0; h <= k; ++h) r.oneTicket.emplace_back(BigChoose(k, h) * BigChoose(n - k, k - h), BigChoose(n, k));
    if (in.everyDraw) {
        const DrawTally d = WalkDraws(DrawJobOf(in), scaled(share, 1 - share));
        if (d.stopped) {
            r.stopped = true;
            return r;
        }
        bool agrees = true;
        for (int j = 0; j <= k; ++j) {
            for (int h = 0; h <= k; ++h) {
                const std::uint64_t grouped =
                    j <= top ? s.best[static_cast<std::size_t>(j)][static_cast<std::size_t>(h)] * Choose(n - v, k - j)
                             : 0;
                agrees = agrees && d.draws[static_cast<std::size_t>(j)][static_cast<std::size_t>(h)] == grouped;
            }
        }
        r.drawByDrawAgrees = agrees;
    }
    if (!g.named) return r;

    const GameDefinition& game = *g.named;
    const GameOdds odds = ComputeGameOdds(game, 0);
    const BigInt total = BigChoose(n, k) * BigChoose(n - k, e);
    const std::size_t tiers = game.tiers.size();
    std::vector<BigInt> best(tiers + 1), any(tiers);
    std::vector<Rational> bestP(tiers + 1), anyP(tiers);
    for (std::size_t o = 0; o < map.tierOf.size(); ++o) {
        std::fill(best.begin(), best.end(), BigInt(0));
        std::fill(any.begin(), any.end(), BigInt(0));
        for (int j = 0; j <= top; ++j) {
            for (int b = 0; b <= e; ++b) {
                const BigInt ways = BigChoose(n - v, k - j) * BigChoose(n - v - (k - j), e - b);
                const auto& bt = s.bestTier[static_cast<std::size_t>(j)][static_cast<std::size_t>(b)][o];
                const auto& at = s.anyTier[static_cast<std::size_t>(j)][static_cast<std::size_t>(b)][o];
                for (std::size_t i = 0; i <= tiers; ++i) best[i] += BigInt(bt[i]) * ways;
                for (std::size_t i = 0; i < tiers; ++i) any[i] += BigInt(at[i]) * ways;
            }
        }
        for (std::size_t i = 0; i <= tiers; ++i) bestP[i] += Rational(best[i], total) * map.outcomeChance[o];
        for (std::size_t i = 0; i < tiers; ++i) anyP[i] += Rational(any[i], total) * map.outcomeChance[o];
    }
    for (std::size_t i = 0; i < tiers; ++i) {
        r.tiers.push_back({game.tiers[i].name, game.tiers[i].label, anyP[i], bestP[i], odds.p[i]});
    }
    r.noPrize = bestP[tiers];
    for (std::size_t d = 1; d < game.drums.size(); ++d) r.otherDrums.push_back(game.drums[d].label);
    if (const auto a = AssumptionsOf(in)) r.value = ComputeTicketValue(game, *a);
    return r;
}

std::string TicketsText(const std::vector<std::vector<int>>& tickets)
{
    std::string s;
    for (const auto& t : tickets) s += NumbersText(t) + "\n";
    return s;
}

std::string TicketsCsv(const std::vector<std::vector<int>>& tickets)
{
    std::string s;
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        if (i == 0) {
            s += "ticket";
            for (std::size_t j = 0; j < tickets[i].size(); ++j) s += ",n" + std::to_string(j + 1);
            s += "\r\n";
        }
        s += std::to_string(i + 1) + "," + NumbersText(tickets[i], ",") + "\r\n";
    }
    return s;
}

namespace {

std::string HoleList(const GuaranteeResult& g)
{
    std::string s;
    for (const auto& hole : g.first) s += (s.empty() ? "" : " | ") + NumbersText(hole);
    if (g.misses > g.first.size()) s += " | ...";
    return s;
}

} // namespace

std::string CheckVerdict(const CheckResult& r)
{
    std::string held, missing;
    for (int t = 1; t <= r.input.game.k; ++t) {
        int least = 0;
        for (const GuaranteeResult& g : r.guarantees) {
            if (g.t == t && g.holds() && least == 0) least = g.m;
        }
        if (least > 0) {
            held += (held.empty() ? "" : ", ") + GuaranteeName(t, least);
        } else {
            missing += (missing.empty() ? "" : ", ") + std::to_string(t);
        }
    }
    if (held.empty()) return "guarantees nothing, whichever of your numbers are drawn";
    std::string s = "guarantees " + held;
    if (!missing.empty()) {
        const auto last = missing.rfind(", ");
        if (last != std::string::npos) missing.replace(last, 2, " or ");
        s += "; however many of your numbers are drawn, nothing makes sure of " + missing + " matches";
    }
    return s;
}

std::string CheckReport(const CheckResult& r)
{
    const CheckInput& in = r.input;
    const WheelGame& g = in.game;
    const Wheel& w = in.wheel;
    const std::size_t count = w.tickets.size();
    Report rep;
    rep.blank();
    rep.line(" Wheel check: ", Count(count, "ticket", "tickets"), " of ", std::to_string(g.k), " numbers on ",
             std::to_string(w.v()), " numbers, for ", g.named ? "'" + g.title + "' (" + g.id + ")" : g.title);
    std::string draw =
        " Draw: " + std::to_string(g.k) + " of " + std::to_string(g.first) + " to " + std::to_string(g.first + g.n - 1);
    if (g.extra > 0) {
        draw += ", then " + std::to_string(g.extra) + " " + g.named->drums.front().extraLabel +
                (g.extra > 1 ? "s" : "") + " from the rest";
    }
    rep.line(draw, ".");
    rep.line(" Your numbers (", std::to_string(w.v()), "): ", NumbersText(w.numbers));
    rep.line(" Verdict: it ", CheckVerdict(r), ".");
    for (const std::string& note : w.notes) rep.line(" ", note);
    rep.blank();

    rep.line(" Guarantees: \"t if m\" holds when every set of m of your numbers meets some ticket");
    rep.line(" in t numbers or more. Where it fails, the sets it misses, the first in order:");
    for (const GuaranteeResult& gr : r.guarantees) {
        if (gr.holds()) {
            rep.line("~ ", GuaranteeName(gr.t, gr.m), ": holds for all ", Grouped(gr.sets), " sets of ",
                     std::to_string(gr.m), ".");
        } else {
            rep.line("~ ", GuaranteeName(gr.t, gr.m), ": fails for ", Grouped(gr.misses), " of the ", Grouped(gr.sets),
                     " sets of ", std::to_string(gr.m), ": ", HoleList(gr));
        }
    }
    rep.blank();

    rep.line(" The best ticket's match over all ", Grouped(r.draws), " draws",
             g.extra > 0 ? " (the " + std::to_string(g.k) + " numbers drawn first)" : std::string(), ":");
    std::size_t width = 0;
    for (std::size_t h = 0; h < r.bestWays.size(); ++h) {
        width = std::max(width, OneIn(Rational(r.bestWays[h], r.draws)).size());
    }
    for (std::size_t h = r.bestWays.size(); h-- > 0;) {
        const Rational p(r.bestWays[h], r.draws);
        rep.line("~ ", std::to_string(h), " matched -> ", Padded(OneIn(p), width), "  p = ", Fraction(p), " (",
                 Percent(p), "); one ticket: ", OneIn(r.oneTicket[h]));
    }
    if (r.drawByDrawAgrees) {
        rep.line(*r.drawByDrawAgrees ? " Counted again draw by draw: the same figures."
                                     : " Counted again draw by draw: THE COUNTS DISAGREE; do not trust this report.");
    }
    rep.blank();

    if (!r.tiers.empty()) {
        rep.line(" Prize tiers over every draw, in the game's order: the chance that some ticket wins");
        rep.line(" the tier / that it is the wheel's best prize of the draw / a lone ticket's chance:");
        std::size_t nameWidth = 0;
        for (const TierResult& t : r.tiers) nameWidth = std::max(nameWidth, t.name.size() + 1 + t.label.size());
        for (const TierResult& t : r.tiers) {
            rep.line("~ ", Padded(t.name + " " + t.label, nameWidth), " -> ", OneIn(t.someTicket), " (",
                     Percent(t.someTicket), ") / ", OneIn(t.bestPrize), " / ", OneIn(t.oneTicket));
        }
        rep.line("~ ", Padded("No prize", nameWidth), " -> ", OneIn(r.noPrize), " (", Percent(r.noPrize),
                 ")  p = ", Fraction(r.noPrize));
        for (const std::string& drum : r.otherDrums) {
            rep.line(" Every ticket of the wheel is taken to carry the same ", drum, " choice.");
        }
        rep.blank();
    }

    rep.line(" Value: a wheel holds its tickets together; it does not change what a ticket is worth.");
    rep.line(" Every ticket has the same chance of every prize whatever the others hold, so the wheel's");
    rep.line(" expected value is the sum of its tickets' values. What a wheel changes is which draws");
    rep.line(" its wins fall in together: the guarantees above, bought with the same return per unit.");
    if (r.value) {
        const TicketValue& v = *r.value;
        const std::string& cur = g.named->currency;
        const Rational tickets(static_cast<long long>(count));
        rep.line("~ One ticket: ", Money(v.value, cur), " for ", Money(v.price, cur), " (", Percent(v.returnRate),
                 " returned).");
        rep.line("~ The wheel: ", Money(tickets * v.value, cur), " for ", Money(tickets * v.price, cur), " (",
                 Percent(v.returnRate), " returned), ", std::to_string(count), " times one ticket.");
        std::map<AmountSource, std::string> by;
        for (std::size_t i = 0; i < v.tiers.size(); ++i) {
            const TierSpec& t = v.odds.tiers[i];
            std::string name = " " + t.name;
            if (v.tiers[i].source == AmountSource::Entered) name += "=" + Money(in.prizes.at(t.name), cur);
            by[v.tiers[i].source] += name;
        }
        rep.line(" Counted in the value:");
        rep.line(" - the game's fixed prizes",
                 by.count(AmountSource::FreeTicket) ? ", a free ticket at the ticket's price" : "");
        rep.line(in.jackpot ? " - the jackpot at " + Money(*in.jackpot, cur)
                            : std::string(" - the jackpot at 0 (not given)"));
        if (by.count(AmountSource::Typical)) {
            rep.line(" - a typical amount per winner, from the game file with its source, for:",
                     by[AmountSource::Typical]);
        }
        if (by.count(AmountSource::Entered)) rep.line(" - per winner, entered:", by[AmountSource::Entered]);
        if (v.multiplier) {
            rep.line(" - every prize but the jackpot times the ticket's multiplier, ",
                     v.multiplierIsLeast ? "at its least " : "on average ", Grouped(RoundedFigure(*v.multiplier)), "x");
        }
        if (by.count(AmountSource::None)) rep.line(" - left out, pari-mutuel with no amount:", by[AmountSource::None]);
        if (v.multiplierIsLeast || v.leftOut > 0) {
            rep.line(" The value is a lower bound: ",
                     v.leftOut > 0 ? "tiers are left out." : "the multiplier's chances are not published.");
        }
    } else if (g.named) {
        rep.line(" The game file gives no ticket price, so no value is counted.");
    } else {
        rep.line(" A plain ", g.title, " game has no prizes to value.");
        if (count > 1) {
            rep.line(" On average each match count comes ", std::to_string(count),
                     " times as often among your tickets as on one ticket.");
        }
    }
    rep.blank();
    return rep.take();
}

std::string CheckJson(const CheckResult& r)
{
    const CheckInput& in = r.input;
    const WheelGame& g = in.game;
    OrderedJson j;
    j["schema"] = "fortelle-wheel-check/1";
    j["game"] = {{"id", g.id},   {"title", g.title},         {"numbers", g.n},
                 {"drawn", g.k}, {"supplementary", g.extra}, {"lowest", g.first}};
    j["numbers"] = in.wheel.numbers;
    j["tickets"] = in.wheel.tickets;
    j["notes"] = in.wheel.notes;
    OrderedJson guarantees = OrderedJson::array();
    for (const GuaranteeResult& gr : r.guarantees) {
        guarantees.push_back({{"t", gr.t},
                              {"m", gr.m},
                              {"holds", gr.holds()},
                              {"sets", gr.sets},
                              {"misses", gr.misses},
                              {"first_misses", gr.first}});
    }
    j["guarantees"] = guarantees;
    j["draws"] = r.draws;
    OrderedJson best = OrderedJson::array();
    for (std::size_t h = 0; h < r.bestWays.size(); ++h) {
        best.push_back({{"matches", h},
                        {"draws", r.bestWays[h]},
                        {"probability", Fraction(Rational(r.bestWays[h], r.draws))},
                        {"one_ticket", Fraction(r.oneTicket[h])}});
    }
    j["best_match"] = best;
    if (r.drawByDrawAgrees) j["draw_by_draw_agrees"] = *r.drawByDrawAgrees;
    if (g.named) {
        OrderedJson tiers = OrderedJson::array();
        for (const TierResult& t : r.tiers) {
            tiers.push_back({{"name", t.name},
                             {"label", t.label},
                             {"some_ticket", Fraction(t.someTicket)},
                             {"best_prize", Fraction(t.bestPrize)},
                             {"one_ticket", Fraction(t.oneTicket)}});
        }
        j["tiers"] = tiers;
        j["no_prize"] = Fraction(r.noPrize);
        j["same_choice_on_every_ticket"] = r.otherDrums;
    }
    if (r.value) {
        const TicketValue& v = *r.value;
        const Rational tickets(static_cast<long long>(in.wheel.tickets.size()));
        OrderedJson leftOut = OrderedJson::array();
        for (std::size_t i = 0; i < v.tiers.size(); ++i) {
            if (!v.tiers[i].counted) leftOut.push_back(v.odds.tiers[i].name);
        }
        j["value"] = {{"currency", g.named->currency},
                      {"jackpot", in.jackpot ? OrderedJson(Fraction(*in.jackpot)) : OrderedJson(nullptr)},
                      {"ticket_price", Fraction(v.price)},
                      {"ticket_value", Fraction(v.value)},
                      {"tickets", in.wheel.tickets.size()},
                      {"wheel_value", Fraction(tickets * v.value)},
                      {"wheel_cost", Fraction(tickets * v.price)},
                      {"return_per_unit", Fraction(v.returnRate)},
                      {"left_out", leftOut}};
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::wheels
