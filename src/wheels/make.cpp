#include "wheels/make.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "shell/report.h"
#include "wheels/wheel_text.h"

namespace fortelle::wheels {
namespace {

using OrderedJson = nlohmann::ordered_json;

std::vector<int> NumbersFor(const MakeInput& in)
{
    if (!in.numbers.empty()) return in.numbers;
    std::vector<int> numbers;
    for (int i = 1; i <= in.request.v; ++i) numbers.push_back(i);
    return numbers;
}

std::string Kind(const BuildRequest& r) { return r.m == r.t ? "covering design" : "lotto design"; }

} // namespace

std::string DesignName(int v, int k, int m, int t)
{
    const std::string s = std::to_string(v) + "," + std::to_string(k) + ",";
    return m == t ? "C(" + s + std::to_string(t) + ")" : "L(" + s + std::to_string(m) + "," + std::to_string(t) + ")";
}

std::vector<forms::Problem> MakeRefusals(const MakeInput& in)
{
    std::vector<forms::Problem> problems = BuildRefusals(in.request);
    if (!in.numbers.empty() && static_cast<int>(in.numbers.size()) != in.request.v) {
        problems.push_back({"numbers", "The wheel is on " + std::to_string(in.request.v) + " numbers, but " +
                                           std::to_string(in.numbers.size()) + " are given."});
    }
    if (problems.empty()) {
        const BuildRequest& r = in.request;
        const BigInt bound = BestLowerBound(r.v, r.k, r.m, r.t).value;
        if (bound > BigInt(kMostTickets)) {
            problems.push_back({"v", "Such a wheel needs at least " + Grouped(bound) + " tickets; at most " +
                                         Grouped(static_cast<std::uint64_t>(kMostTickets)) + " are made."});
        }
    }
    return problems;
}

MakeResult MakeWheel(const MakeInput& in, const Ticker& tick)
{
    MakeResult r;
    r.input = in;
    const BuildRequest& q = in.request;
    r.bound = BestLowerBound(q.v, q.k, q.m, q.t);
    if (q.m == q.t) r.known = FindKnownCovering(q.v, q.k, q.t);
    const std::uint64_t stopAt =
        r.known ? static_cast<std::uint64_t>(r.known->size) : r.bound.value.convert_to<std::uint64_t>();
    // The search takes the bar to 90 %, the proof the rest.
    const auto part = [&](double from, double share) -> Ticker {
        if (!tick) return {};
        return [&tick, from, share](double f) { return tick(from + share * f); };
    };
    r.built = BuildWheel(q, stopAt, part(0, 0.9));
    if (r.built.stopped) {
        r.stopped = true;
        return r;
    }
    r.wheel.numbers = NumbersFor(in);
    for (const Mask b : r.built.blocks) {
        std::vector<int> ticket;
        for (int i = 0; i < q.v; ++i) {
            if (b >> i & 1) ticket.push_back(r.wheel.numbers[static_cast<std::size_t>(i)]);
        }
        r.wheel.tickets.push_back(std::move(ticket));
    }
    std::sort(r.wheel.tickets.begin(), r.wheel.tickets.end());
    SetMasks(r.wheel);

    // The proof: every m-set of the numbers against every ticket.
    SubsetJob job;
    job.v = q.v;
    job.k = q.k;
    job.n = q.v;
    job.tickets = r.wheel.masks;
    job.holes = 1;
    job.onlySize = q.m;
    job.threads = in.threads;
    const SubsetTally proof = WalkSubsets(job, part(0.9, 0.1));
    if (proof.stopped) {
        r.stopped = true;
        return r;
    }
    r.sets = Choose(q.v, q.m);
    std::uint64_t met = 0;
    for (int h = q.t; h <= q.k; ++h) met += proof.best[static_cast<std::size_t>(q.m)][static_cast<std::size_t>(h)];
    if (met != r.sets) {
        // Never shown as a wheel: the builder has a fault.
        throw std::logic_error("a built wheel failed its proof: " + DesignName(q.v, q.k, q.m, q.t));
    }
    return r;
}

std::string MakeReport(const MakeResult& r)
{
    const BuildRequest& q = r.input.request;
    const Wheel& w = r.wheel;
    const std::size_t size = w.tickets.size();
    Report rep;
    rep.blank();
    rep.line(" A wheel of ", Count(size, "ticket", "tickets"), " on ", std::to_string(q.v), " numbers, ",
             std::to_string(q.k), " a ticket: ", GuaranteeName(q.t, q.m));
    rep.line(" Your numbers: ", NumbersText(w.numbers));
    rep.line(" Verdict: if ", std::to_string(q.m), " of these numbers are drawn, at least one ticket holds ",
             std::to_string(q.t), " of them.");
    rep.line(" Proven: each of the ", Grouped(r.sets), " sets of ", std::to_string(q.m), " of the ",
             std::to_string(q.v), " numbers was checked against every ticket.");
    rep.blank();
    if (q.m == q.t) {
        rep.line(" It is a covering design ", DesignName(q.v, q.k, q.m, q.t), ": every set of ", std::to_string(q.t),
                 " of the numbers lies inside a ticket.");
    } else {
        rep.line(" It is a lotto design ", DesignName(q.v, q.k, q.m, q.t), ": every set of ", std::to_string(q.m),
                 " of the numbers meets a ticket in ", std::to_string(q.t), " or more.");
        rep.line(" That is weaker than a covering design ", DesignName(q.v, q.k, q.t, q.t), " (every set of ",
                 std::to_string(q.t), " inside a ticket),");
        rep.line(" so it may need fewer tickets; the Schoenheim bound is for coverings and does not apply.");
    }
    rep.line(" Made as ", r.built.method, r.built.exact ? "." : ",");
    if (!r.built.exact) {
        rep.line(" searching for up to ", std::to_string(q.seconds), " second", q.seconds == 1 ? "" : "s",
                 " of work (the same wheel on every machine for the same seed and time).");
    }
    const std::string bound = Grouped(r.bound.value);
    if (BigInt(size) == r.bound.value) {
        rep.line(" Lower bound: ", bound, " tickets (", r.bound.name, "): no smaller wheel exists.");
    } else {
        rep.line(" Lower bound: ", bound, " tickets (", r.bound.name, "); no smaller wheel than that can exist.");
    }
    if (r.known) {
        rep.line(" Best known covering: ", std::to_string(r.known->size), " tickets (lower bound ",
                 std::to_string(r.known->lowerBound), "),");
        rep.line(" from the ", kKnownCoveringsSource, ".");
    } else if (BigInt(size) != r.bound.value) {
        rep.line(" Best known: not in the table of published sizes this program carries.");
    }
    rep.blank();
    rep.line(" Tickets:");
    const std::size_t width = std::to_string(size).size();
    for (std::size_t i = 0; i < size; ++i) {
        const std::string n = std::to_string(i + 1);
        rep.line(std::string(width - n.size() + 2, ' '), n, ":  ", NumbersText(w.tickets[i]));
    }
    rep.blank();
    return rep.take();
}

std::string MakeJson(const MakeResult& r)
{
    const BuildRequest& q = r.input.request;
    OrderedJson j;
    j["schema"] = "fortelle-wheel-make/1";
    j["v"] = q.v;
    j["k"] = q.k;
    j["t"] = q.t;
    j["m"] = q.m;
    j["kind"] = Kind(q);
    j["design"] = DesignName(q.v, q.k, q.m, q.t);
    j["numbers"] = r.wheel.numbers;
    j["size"] = r.wheel.tickets.size();
    j["tickets"] = r.wheel.tickets;
    j["method"] = r.built.method;
    j["exact_construction"] = r.built.exact;
    j["seed"] = q.seed;
    j["seconds"] = q.seconds;
    j["proven"] = true;
    j["sets_checked"] = r.sets;
    j["lower_bound"] = {{"value", r.bound.value.convert_to<std::uint64_t>()}, {"name", r.bound.name}};
    j["optimal"] = BigInt(r.wheel.tickets.size()) == r.bound.value;
    if (r.known) {
        j["best_known"] = {
            {"size", r.known->size}, {"lower_bound", r.known->lowerBound}, {"source", kKnownCoveringsSource}};
    } else {
        j["best_known"] = nullptr;
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::wheels
