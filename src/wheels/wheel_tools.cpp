#include "wheels/wheel_tools.h"

#include <algorithm>

#include "wheels/check.h"
#include "wheels/make.h"
#include "wheels/wheel_text.h"

namespace fortelle::wheels {
namespace {

constexpr const char* kPlain = "k/n";

std::string Value(const forms::Values& values, const std::string& key)
{
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

// A whole number typed into a Count field, or a problem beside it.
std::optional<int> CountOf(const forms::Values& values, const std::string& key, const std::string& what, int lo, int hi,
                           std::vector<forms::Problem>& problems)
{
    const auto value = ParseDecimal(Value(values, key));
    if (!value || denominator(*value) != 1 || *value < lo || *value > hi) {
        problems.push_back(
            {key, what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + "."});
        return std::nullopt;
    }
    return static_cast<int>(numerator(*value));
}

std::vector<forms::Option> GameOptions(const GameCatalog& catalog)
{
    std::vector<forms::Option> options{{kPlain, "Any lotto: k numbers from N"}};
    for (const GameDefinition* g : catalog.lotteries()) {
        std::vector<forms::Problem> ignored;
        if (GameFromWord(g->id, &catalog, ignored)) options.push_back({g->id, g->name});
    }
    return options;
}

// The game of the form's values: a named game, or k from N.
std::optional<WheelGame> GameOf(const forms::Values& values, const GameCatalog& catalog,
                                std::vector<forms::Problem>& problems)
{
    const std::string id = Value(values, "game");
    if (id.empty() || id == kPlain) {
        const auto n = CountOf(values, "n", "The numbers in the drum", 2, kMostDrum, problems);
        const auto k = CountOf(values, "k", "The numbers drawn", 1, kMostPick, problems);
        if (!n || !k) return std::nullopt;
        return PlainGame(*n, *k, problems);
    }
    return GameFromWord(id, &catalog, problems);
}

forms::Field CountField(const std::string& key, const std::string& label, const std::string& unit,
                        const std::string& initial, const std::string& help)
{
    forms::Field f;
    f.key = key;
    f.label = label;
    f.kind = forms::Kind::Count;
    f.unit = unit;
    f.placeholder = initial;
    f.initial = initial;
    f.help = help;
    return f;
}

std::vector<forms::Field> GameFields(const forms::Values& values, const GameCatalog& catalog, WheelGame& game)
{
    std::vector<forms::Field> fields;
    forms::Field f;
    f.key = "game";
    f.label = "Game";
    f.kind = forms::Kind::Choice;
    f.options = GameOptions(catalog);
    f.initial = kPlain;
    f.help = "A named game wheels its first drum; any lotto draws k of 1 to N.";
    fields.push_back(f);
    std::vector<forms::Problem> ignored;
    const auto chosen = GameOf(values, catalog, ignored);
    game = chosen ? *chosen : WheelGame{nullptr, 49, 6, 0, 1, "6 from 49", "6/49"};
    const std::string id = Value(values, "game");
    if (id.empty() || id == kPlain) {
        fields.push_back(CountField("n", "Numbers in the drum (N)", "numbers", "49", ""));
        fields.push_back(CountField("k", "Numbers drawn, and on a ticket (k)", "numbers", "6", ""));
    }
    return fields;
}

forms::Field NumbersField(const WheelGame& game, bool optional)
{
    forms::Field f;
    f.key = "numbers";
    f.label = "Your numbers";
    f.kind = forms::Kind::Picks;
    f.lowest = game.first;
    f.highest = game.first + game.n - 1;
    f.optional = optional;
    f.help = optional ? "Leave empty to take every number the tickets hold." : "Pick the numbers to wheel.";
    return f;
}

std::string Slug(const std::string& s)
{
    std::string out;
    for (const char c : s) out += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '-';
    return out;
}

forms::Result Cancelled()
{
    forms::Result r;
    r.problems.push_back({"", "Cancelled: nothing was computed."});
    return r;
}

Ticker TickerOf(forms::Progress& progress)
{
    return [&progress](double f) {
        progress.advance(f);
        return !progress.cancelled();
    };
}

class CheckTool : public forms::Tool {
public:
    explicit CheckTool(std::shared_ptr<const GameCatalog> catalog) : catalog_(std::move(catalog)) {}

    forms::ToolInfo info() const override
    {
        return {"wheel-check", "Wheels", "Check a wheel",
                "What a set of tickets guarantees, its holes, its chances over every draw and its value."};
    }
    std::string memoryField() const override { return "game"; }

    std::vector<forms::Field> fields(const forms::Values& values) const override
    {
        WheelGame game;
        std::vector<forms::Field> fields = GameFields(values, *catalog_, game);
        fields.push_back(NumbersField(game, true));
        forms::Field tickets;
        tickets.key = "tickets";
        tickets.label = "Tickets";
        tickets.kind = forms::Kind::Lines;
        tickets.placeholder = "1 2 3 4 5 6";
        tickets.help = "One ticket a line, its numbers apart by spaces or commas.";
        fields.push_back(tickets);
        if (game.named && game.named->jackpotTier(0) >= 0) {
            forms::Field jackpot;
            jackpot.key = "jackpot";
            jackpot.label = "Advertised jackpot";
            jackpot.kind = forms::Kind::Decimal;
            jackpot.unit = game.named->currency;
            jackpot.optional = true;
            jackpot.help = "Left empty, the jackpot counts as 0 in the value.";
            fields.push_back(jackpot);
        }
        return fields;
    }

    std::vector<forms::Problem> check(const forms::Values& values) const override
    {
        std::vector<forms::Problem> problems;
        input(values, problems);
        return problems;
    }

    forms::Result compute(const forms::Values& values, forms::Progress& progress) const override
    {
        forms::Result out;
        const auto in = input(values, out.problems);
        if (!in) return out;
        const CheckResult r = CheckWheel(*in, TickerOf(progress));
        if (r.stopped) return Cancelled();
        out.title = "Wheel check: " + in->game.title + ", " + Count(in->wheel.tickets.size(), "ticket", "tickets");
        out.verdict = "The wheel " + CheckVerdict(r) + ".";
        out.report = CheckReport(r);
        const std::string name = "wheel-" + Slug(in->game.id);
        out.exports.push_back({"Tickets as text", name + ".txt", TicketsText(in->wheel.tickets)});
        out.exports.push_back({"Tickets as CSV", name + ".csv", TicketsCsv(in->wheel.tickets)});
        return out;
    }

private:
    std::optional<CheckInput> input(const forms::Values& values, std::vector<forms::Problem>& problems) const
    {
        const auto game = GameOf(values, *catalog_, problems);
        if (!game) return std::nullopt;
        std::optional<std::vector<int>> numbers;
        if (const std::string list = Value(values, "numbers");
            list.find_first_not_of(" \t\r\n,;") != std::string::npos) {
            numbers =
                ParseNumberList(list, game->first, game->first + game->n - 1, "numbers", "your numbers", problems);
            if (!numbers) return std::nullopt;
        }
        auto wheel = ReadWheel(*game, numbers, Value(values, "tickets"), problems);
        CheckInput in;
        in.game = *game;
        if (const std::string j = Value(values, "jackpot"); game->named && !j.empty()) {
            const auto amount = ParseDecimal(j);
            if (!amount || *amount < 0) {
                problems.push_back({"jackpot", "The jackpot must be an amount of 0 or more."});
            } else {
                in.jackpot = *amount;
            }
        }
        if (!wheel || !problems.empty()) return std::nullopt;
        in.wheel = std::move(*wheel);
        for (forms::Problem& p : CheckRefusals(in)) problems.push_back(std::move(p));
        if (!problems.empty()) return std::nullopt;
        return in;
    }

    std::shared_ptr<const GameCatalog> catalog_;
};

class MakeTool : public forms::Tool {
public:
    explicit MakeTool(std::shared_ptr<const GameCatalog> catalog) : catalog_(std::move(catalog)) {}

    forms::ToolInfo info() const override
    {
        return {"wheel-make", "Wheels", "Make a wheel",
                "A small set of tickets on your numbers that guarantees t matches if m of them are drawn, proven."};
    }
    std::string memoryField() const override { return "game"; }

    std::vector<forms::Field> fields(const forms::Values& values) const override
    {
        WheelGame game;
        std::vector<forms::Field> fields = GameFields(values, *catalog_, game);
        fields.push_back(NumbersField(game, false));
        forms::Field t;
        t.key = "t";
        t.label = "Guarantee at least (t matching)";
        t.kind = forms::Kind::Choice;
        for (int i = 1; i <= game.k; ++i) t.options.push_back({std::to_string(i), std::to_string(i) + " matching"});
        t.initial = std::to_string(std::min(3, game.k));
        fields.push_back(t);
        int least = 1;
        if (const auto typed = ParseDecimal(Value(values, "t")); typed && denominator(*typed) == 1) {
            least = std::clamp(static_cast<int>(numerator(*typed)), 1, game.k);
        }
        forms::Field m;
        m.key = "m";
        m.label = "When this many of your numbers are drawn (m)";
        m.kind = forms::Kind::Choice;
        for (int i = least; i <= game.k; ++i) m.options.push_back({std::to_string(i), std::to_string(i) + " drawn"});
        m.initial = std::to_string(std::min(3, game.k));
        fields.push_back(m);
        fields.push_back(
            CountField("seconds", "Time to search", "seconds", "5", "At most; a wheel theory gives is instant."));
        fields.push_back(CountField("seed", "Seed", "", "1", "The same seed and time give the same wheel."));
        return fields;
    }

    std::vector<forms::Problem> check(const forms::Values& values) const override
    {
        std::vector<forms::Problem> problems;
        input(values, problems);
        return problems;
    }

    forms::Result compute(const forms::Values& values, forms::Progress& progress) const override
    {
        forms::Result out;
        const auto in = input(values, out.problems);
        if (!in) return out;
        const MakeResult r = MakeWheel(*in, TickerOf(progress));
        if (r.stopped) return Cancelled();
        const BuildRequest& q = in->request;
        out.title = "Wheel " + DesignName(q.v, q.k, q.m, q.t);
        out.verdict = Count(r.wheel.tickets.size(), "ticket guarantees", "tickets guarantee") + " " +
                      GuaranteeName(q.t, q.m) + " on your " + std::to_string(q.v) + " numbers, proven" +
                      (BigInt(r.wheel.tickets.size()) == r.bound.value ? "; no smaller wheel exists." : ".");
        out.report = MakeReport(r);
        const std::string name = "wheel-" + std::to_string(q.v) + "-" + std::to_string(q.k) + "-" +
                                 std::to_string(q.t) + "-" + std::to_string(q.m);
        out.exports.push_back({"Tickets as text", name + ".txt", TicketsText(r.wheel.tickets)});
        out.exports.push_back({"Tickets as CSV", name + ".csv", TicketsCsv(r.wheel.tickets)});
        return out;
    }

private:
    std::optional<MakeInput> input(const forms::Values& values, std::vector<forms::Problem>& problems) const
    {
        const auto game = GameOf(values, *catalog_, problems);
        if (!game) return std::nullopt;
        const auto numbers = ParseNumberList(Value(values, "numbers"), game->first, game->first + game->n - 1,
                                             "numbers", "your numbers", problems);
        const auto t = CountOf(values, "t", "The guaranteed match", 1, game->k, problems);
        const auto m = CountOf(values, "m", "The numbers drawn", 1, game->k, problems);
        const auto seconds = CountOf(values, "seconds", "The time to search", 1, kMostSeconds, problems);
        const auto seed = CountOf(values, "seed", "The seed", 0, 999'999'999, problems);
        if (!numbers || !t || !m || !seconds || !seed) return std::nullopt;
        if (static_cast<int>(numbers->size()) < game->k) {
            problems.push_back({"numbers", "Pick at least " + std::to_string(game->k) + " numbers: a ticket holds " +
                                               std::to_string(game->k) + "."});
            return std::nullopt;
        }
        MakeInput in;
        in.request = {static_cast<int>(numbers->size()), game->k, *t, *m, *seconds, static_cast<std::uint64_t>(*seed)};
        in.numbers = *numbers;
        for (forms::Problem& p : MakeRefusals(in)) {
            if (p.key == "v") p.key = "numbers";
            problems.push_back(std::move(p));
        }
        if (!problems.empty()) return std::nullopt;
        return in;
    }

    std::shared_ptr<const GameCatalog> catalog_;
};

} // namespace

std::unique_ptr<forms::Tool> MakeCheckWheelTool(std::shared_ptr<const GameCatalog> catalog)
{
    return std::make_unique<CheckTool>(std::move(catalog));
}

std::unique_ptr<forms::Tool> MakeMakeWheelTool(std::shared_ptr<const GameCatalog> catalog)
{
    return std::make_unique<MakeTool>(std::move(catalog));
}

} // namespace fortelle::wheels
