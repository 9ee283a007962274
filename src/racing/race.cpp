#include "racing/race.h"

#include <algorithm>
#include <cmath>

#include "games/readable.h"
#include "games/ticket_value.h"
#include "prices/market.h"
#include "racing/figures.h"
#include "racing/henery.h"
#include "shell/report.h"

namespace fortelle::racing {
namespace {

constexpr std::size_t kCombinationsListed = 24;
// The widest line of the report's wrapped sentences, as its fixed ones.
constexpr std::size_t kReportWidth = 92;

void CheckAmounts(const RaceInput& in)
{
    if (in.base <= 0) Problem("base", "The base stake must be above 0.");
    if (in.willPay && *in.willPay <= 0) Problem("will_pay", "The will-pay must be above 0.");
    if (in.model.kind == ModelKind::Discount) {
        for (const Rational& e : {in.model.lambda, in.model.tau}) {
            if (e <= 0 || e > 10) Problem("discount", "The discount exponents must be above 0 and at most 10.");
        }
    }
}

void CheckTicket(const RaceInput& in, const Field& field, Ticket& ticket)
{
    const BetInfo& info = InfoOf(*in.bet);
    if (static_cast<std::size_t>(info.places) > field.starters.size()) {
        Problem("bet", Article(info.name) + " " + info.name + " needs at least " + std::to_string(info.places) +
                           " starters; this race has " + std::to_string(field.starters.size()) + ".");
    }
    ticket = ReadTicket(*in.bet, in.selection, field);
    if (in.willPay && ticket.combinations.size() > 1) {
        Problem("will_pay", "A will-pay is the payoff of one combination: choose a single combination to value it.");
    }
}

Chance Complement(const Chance& c)
{
    Chance out{1 - c.value, c.error, std::nullopt};
    if (c.exact) out.exact = 1 - *c.exact;
    return out;
}

// The chance that none of `excluded` finishes in the first `depth` places:
// every order of the others for those places.
Chance NoneInFirst(const FinishModel& model, const std::vector<int>& excluded, int depth)
{
    Chance sum = Chance::Exact(0);
    std::vector<int> order;
    const auto walk = [&](const auto& self) -> void {
        for (int i = 0; i < model.starters(); ++i) {
            if (std::find(excluded.begin(), excluded.end(), i) != excluded.end()) continue;
            if (std::find(order.begin(), order.end(), i) != order.end()) continue;
            order.push_back(i);
            if (static_cast<int>(order.size()) == depth) {
                sum += model.ordered(order);
            } else {
                self(self);
            }
            order.pop_back();
        }
    };
    walk(walk);
    return sum;
}

TicketResult ValueTicket(const RaceInput& in, const RaceResult& r, const FinishModel& model, Ticket ticket)
{
    TicketResult t;
    const BetInfo& info = InfoOf(ticket.type);
    t.collects = Chance::Exact(0);
    for (const std::vector<int>& c : ticket.combinations) {
        Chance chance;
        const auto i = static_cast<std::size_t>(c[0]);
        switch (ticket.type) {
        case BetType::Win: chance = r.win[i]; break;
        case BetType::Place: chance = r.place[i]; break;
        case BetType::Show: chance = r.show[i]; break;
        case BetType::Quinella: {
            chance = model.ordered(c);
            const int reversed[] = {c[1], c[0]};
            chance += model.ordered(reversed);
            break;
        }
        default: chance = model.ordered(c); break;
        }
        t.chances.push_back(chance);
        t.collects += chance;
    }
    // Place and show tickets on several runners can all collect at once.
    if (info.picks == 1 && info.places > 1 && ticket.combinations.size() > 1) {
        std::vector<int> chosen;
        for (const auto& c : ticket.combinations) chosen.push_back(c[0]);
        t.collects = Complement(NoneInFirst(model, chosen, info.places));
    }
    t.cost = in.base * static_cast<long long>(ticket.combinations.size());
    if (in.willPay) {
        const Rational scale = *in.willPay / in.base;
        Chance e{t.collects.value * scale.convert_to<double>(), t.collects.error * scale.convert_to<double>(),
                 std::nullopt};
        if (t.collects.exact) e.exact = *t.collects.exact * scale;
        t.expectedReturn = e;
    }
    t.ticket = std::move(ticket);
    return t;
}

std::string RightAligned(const std::string& text, std::size_t width)
{
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// An exact sum as its fraction; a computed one with the digits its bound vouches for.
std::string SumText(const Chance& c)
{
    if (c.exact) return FractionOf(*c.exact);
    const int places = std::clamp(static_cast<int>(std::floor(-std::log10(2 * std::max(c.error, 1e-16)))), 0, 12);
    return Fixed(RationalOf(c.value), places);
}

std::string ChanceSentence(const Chance& c)
{
    std::string s = OneIn(c) + " (" + Percent(c) + ")";
    if (c.exact) s += ", exactly " + FractionOf(*c.exact);
    return s;
}

std::string TicketName(const TicketResult& t)
{
    const BetInfo& info = InfoOf(t.ticket.type);
    std::string name = info.name;
    if (t.ticket.box) name += " box";
    return name + " " + t.ticket.selection;
}

std::string Capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

double WorstError(const RaceResult& r)
{
    double worst = 0;
    for (const auto* column : {&r.win, &r.place, &r.show}) {
        for (const Chance& c : *column) worst = std::max(worst, c.error);
    }
    if (r.ticket) worst = std::max(worst, r.ticket->collects.error);
    return worst;
}

} // namespace

void CheckRaceInput(const RaceInput& in)
{
    CheckAmounts(in);
    const Field field = ReadField(in.field);
    for (std::size_t i = 0; i < field.starters.size(); ++i) {
        if (field.starter(i).implied <= 0)
            Problem("runners", "Every starter needs a chance above 0: scratch a runner that cannot win.");
    }
    if (in.bet) {
        Ticket ticket;
        CheckTicket(in, field, ticket);
    } else if (in.willPay) {
        Problem("will_pay", "A will-pay values a ticket: choose the bet and its runners.");
    }
}

RaceResult ComputeRace(const RaceInput& in)
{
    CheckAmounts(in);
    RaceResult r;
    r.input = in;
    r.field = ReadField(in.field);
    Ticket ticket;
    if (in.bet) {
        CheckTicket(in, r.field, ticket);
    } else if (in.willPay) {
        Problem("will_pay", "A will-pay values a ticket: choose the bet and its runners.");
    }
    FindWinChances(r.field);
    if (!r.field.margin.ok) return r; // the report says why, and computes nothing more
    const std::unique_ptr<FinishModel> model = MakeFinishModel(in.model, r.field.win, r.field.tolerance);
    r.means = model->means();
    const std::size_t n = r.field.starters.size();
    const int depth = static_cast<int>(std::min<std::size_t>(3, n));
    const std::vector<std::vector<Chance>> at = model->places(depth);
    r.placeSum = r.showSum = Chance::Exact(0);
    for (std::size_t i = 0; i < n; ++i) {
        r.win.push_back(at[0][i]);
        Chance place = at[0][i];
        place += at[1][i];
        Chance show = place;
        if (depth > 2) show += at[2][i];
        r.place.push_back(place);
        r.show.push_back(show);
        r.placeSum += place;
        r.showSum += show;
    }
    if (in.bet) r.ticket = ValueTicket(in, r, *model, std::move(ticket));
    return r;
}

std::vector<std::vector<std::string>> RunnerTable(const RaceResult& r)
{
    const Field& f = r.field;
    const bool failed = !f.margin.ok;
    std::vector<std::vector<std::string>> rows{
        {"No.", "Entry", f.kind == EntryKind::Prices ? "Implied" : "Given", "Win", "Place (1-2)", "Show (1-3)"}};
    if (failed) rows[0].resize(3);
    for (std::size_t i = 0; i < f.starters.size(); ++i) {
        const Runner& runner = f.starter(i);
        rows.push_back({std::to_string(runner.number), runner.entry, Percent(Chance::Exact(runner.implied))});
        if (!failed)
            rows.back().insert(rows.back().end(), {Percent(r.win[i]), Percent(r.place[i]), Percent(r.show[i])});
    }
    return rows;
}

std::string RaceReport(const RaceResult& r)
{
    const Field& f = r.field;
    const std::string model = ModelName(r.input.model);
    Report out;
    out.blank();
    std::size_t favourite = 0;
    for (std::size_t i = 0; i < r.win.size(); ++i) {
        if (r.win[i].value > r.win[favourite].value) favourite = i;
    }
    if (!f.margin.ok) {
        out.line(" ", Capitalised(std::string(prices::MethodTitle(f.margin.method))),
                 " method: no win chances for this field. ", f.margin.failure);
    } else if (r.ticket) {
        const TicketResult& t = *r.ticket;
        out.line(" ", Capitalised(TicketName(t)), ": collects ", OneIn(t.collects), " (", Percent(t.collects),
                 ") under ", model, ".");
    } else {
        out.line(" ", std::to_string(f.starters.size()), " starters under ", model, ": the favourite, no. ",
                 std::to_string(f.starter(favourite).number), ", wins ", OneIn(r.win[favourite]), " (",
                 Percent(r.win[favourite]), ").");
    }
    out.blank();

    std::string scratched;
    for (const Runner& runner : f.runners) {
        if (runner.scratched) scratched += (scratched.empty() ? "" : ", ") + std::to_string(runner.number);
    }
    out.line(" Field: ", std::to_string(f.runners.size()), " runners, ", std::to_string(f.starters.size()), " starting",
             scratched.empty() ? std::string() : " (scratched: " + scratched + ")", ".");
    const std::string book = Percent(Chance::Exact(f.book));
    if (f.kind == EntryKind::Prices && !f.margin.ok) {
        out.line(" The prices' implied chances (1 / decimal price) add up to ", book, ".");
    } else if (f.kind == EntryKind::Prices && f.margin.method == prices::Method::Multiplicative) {
        out.line(" The prices' implied chances (1 / decimal price) add up to ", book, "; each is divided");
        out.line(" by that sum (normalisation) to give the win chances.");
    } else if (f.kind == EntryKind::Prices) {
        const std::string line = prices::MethodLine(f.margin);
        for (const std::string& part : Wrapped(
                 "The prices' implied chances (1 / decimal price) add up to " + book + "; the margin is taken out by " +
                     prices::MethodPhrase(f.margin.method) + ": " + line.substr(line.find(": ") + 2),
                 kReportWidth))
            out.line(" ", part);
    } else if (f.book == 1) {
        out.line(" The chances given add up to 100 %.");
    } else {
        out.line(" The chances given add up to ", book, "; each is divided by that sum.");
    }
    out.blank();

    const std::vector<std::vector<std::string>> rows = RunnerTable(r);
    std::vector<std::size_t> width(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line = " " + RightAligned(row[0], width[0]) + "  " + Padded(row[1], width[1]);
        for (std::size_t c = 2; c < row.size(); ++c) line += "  " + RightAligned(row[c], width[c]);
        out.line(line);
    }
    if (!f.margin.ok) return out.take();
    out.line(" Place chances add up to ", SumText(r.placeSum), " and show chances to ", SumText(r.showSum),
             r.placeSum.exact ? "." : " (every digit shown).");

    if (r.ticket) {
        const TicketResult& t = *r.ticket;
        const BetInfo& info = InfoOf(t.ticket.type);
        const std::size_t count = t.ticket.combinations.size();
        out.blank();
        out.line(" Ticket: ", TicketName(t), " (", info.covers, ").");
        out.line(" It holds ", std::to_string(count), count == 1 ? " combination" : " combinations", " at ",
                 Money(r.input.base), " each: ", Money(t.cost), " in all.");
        out.line(" Chance it collects: ", ChanceSentence(t.collects), ".");
        if (count > 1) {
            const std::size_t shown = std::min(count, kCombinationsListed);
            for (std::size_t i = 0; i < shown; ++i) {
                std::string line = "   " + Padded(CombinationText(t.ticket, f, i), 12) +
                                   RightAligned(OneIn(t.chances[i]), 18) + "  " +
                                   RightAligned(Percent(t.chances[i]), 9);
                if (t.chances[i].exact) line += "  " + FractionOf(*t.chances[i].exact);
                out.line(line);
            }
            if (shown < count) out.line("   and ", std::to_string(count - shown), " more combinations.");
            if (info.picks == 1 && info.places > 1)
                out.line(" (The runners can collect together: the chance above is that at least one does.)");
        }
        if (t.expectedReturn) {
            const Chance& e = *t.expectedReturn;
            out.line(" At a will-pay of ", Money(*r.input.willPay), " for a stake of ", Money(r.input.base),
                     ", the expected return per unit staked is ", Percent(e),
                     e.exact ? " (exactly " + FractionOf(*e.exact) + ")" : std::string(), ".");
            const bool more = e.value - e.error > 1, less = e.value + e.error < 1;
            out.line(" Under this model the ticket is worth ",
                     more   ? "more than"
                     : less ? "less than"
                            : "what",
                     " it costs.");
        }
    }

    out.blank();
    switch (r.input.model.kind) {
    case ModelKind::Harville:
        out.line(" Harville's model (1973): the chance that j is second when i has won is p_j / (1 - p_i),");
        out.line(" that k is third after i and j is p_k / (1 - p_i - p_j), and so on; ",
                 f.tolerance > 0 ? "computed in double precision." : "exact fractions.");
        break;
    case ModelKind::Discount:
        out.line(" The discount model (Lo and Bacon-Shone): as Harville's, but for second place each runner");
        out.line(" weighs p^", Decimal(r.input.model.lambda), " and for third and fourth p^",
                 Decimal(r.input.model.tau), " in place of p; computed in double precision.");
        break;
    case ModelKind::Henery:
        out.line(" Henery's model (1981): running times normal with equal variance, the means fitted to the");
        out.line(" win chances; integrated numerically, each chance within ", Bound(WorstError(r)),
                 " of the model's own value");
        out.line(" (every digit shown is right).");
        break;
    }
    if (f.tolerance > 0) {
        for (const std::string& part : Wrapped(
                 "The win chances are within " + Bound(f.tolerance) + " of " + prices::MethodPhrase(f.margin.method) +
                     "'s own, a root found numerically; every chance above is within " + Bound(WorstError(r)) +
                     " of the model's value at the method's exact chances, and shows only the digits that "
                     "bound vouches for.",
                 kReportWidth))
            out.line(" ", part);
    }
    return out.take();
}

std::string RaceJson(const RaceResult& r)
{
    const Field& f = r.field;
    Json j;
    j["schema"] = "fortelle-race/1";
    Json model;
    model["name"] = r.input.model.kind == ModelKind::Harville ? "harville"
                    : r.input.model.kind == ModelKind::Henery ? "henery"
                                                              : "discount";
    if (r.input.model.kind == ModelKind::Discount) {
        model["lambda"] = ExactJson(r.input.model.lambda);
        model["tau"] = ExactJson(r.input.model.tau);
    }
    j["model"] = model;
    j["entries"] = f.kind == EntryKind::Prices ? "prices" : "chances";
    const prices::FairChances& m = f.margin;
    j["margin"] = m.method == prices::Method::Multiplicative ? "normalisation" : prices::MethodName(m.method);
    j["book"] = ExactJson(f.book);
    if (!m.ok) {
        j["margin_failure"] = m.failure;
    } else if (f.kind == EntryKind::Prices && m.method != prices::Method::Multiplicative) {
        j["margin_parameter"] = m.exact ? ExactJson(m.parameter) : Json(prices::PlainDecimal(m.parameter, 15));
        if (f.tolerance > 0) j["margin_tolerance"] = f.tolerance;
    }
    j["runners"] = Json::array();
    for (const Runner& runner : f.runners) {
        Json row;
        row["number"] = runner.number;
        row["entry"] = runner.entry;
        row["scratched"] = runner.scratched;
        if (!runner.scratched) {
            const auto i = static_cast<std::size_t>(f.starterOf(runner.number));
            if (f.kind == EntryKind::Prices) row["decimal_price"] = ExactJson(runner.price);
            row["implied"] = ExactJson(runner.implied);
            if (!m.ok) {
                j["runners"].push_back(std::move(row));
                continue;
            }
            row["win"] = ChanceJson(r.win[i]);
            row["place"] = ChanceJson(r.place[i]);
            row["show"] = ChanceJson(r.show[i]);
            if (!r.means.empty()) row["mean"] = r.means[i];
        }
        j["runners"].push_back(std::move(row));
    }
    if (!m.ok) return j.dump(2) + "\n";
    j["place_sum"] = ChanceJson(r.placeSum);
    j["show_sum"] = ChanceJson(r.showSum);
    if (r.ticket) {
        const TicketResult& t = *r.ticket;
        Json ticket;
        ticket["bet"] = InfoOf(t.ticket.type).name;
        ticket["selection"] = t.ticket.selection;
        ticket["box"] = t.ticket.box;
        ticket["count"] = t.ticket.combinations.size();
        ticket["base"] = ExactJson(r.input.base);
        ticket["cost"] = ExactJson(t.cost);
        ticket["collects"] = ChanceJson(t.collects);
        ticket["combinations"] = Json::array();
        for (std::size_t i = 0; i < t.ticket.combinations.size(); ++i) {
            Json c;
            c["runners"] = Json::array();
            for (const int s : t.ticket.combinations[i])
                c["runners"].push_back(f.starter(static_cast<std::size_t>(s)).number);
            c["chance"] = ChanceJson(t.chances[i]);
            ticket["combinations"].push_back(std::move(c));
        }
        ticket["will_pay"] = r.input.willPay ? ExactJson(*r.input.willPay) : Json(nullptr);
        ticket["expected_return"] = t.expectedReturn ? ChanceJson(*t.expectedReturn) : Json(nullptr);
        j["ticket"] = std::move(ticket);
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::racing
