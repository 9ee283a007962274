#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "cli/command_line.h"
#include "racing/henery.h"
#include "racing/jurisdictions.h"
#include "racing/racing_tools.h"

namespace fortelle::racing {
namespace {

Rational R(long long n, long long d = 1) { return Rational(n, d); }

std::unique_ptr<FinishModel> Harville(const std::vector<Rational>& p) { return MakeFinishModel({}, p); }

RaceInput Race(std::vector<std::string> entries, std::string bet = "", std::string selection = "")
{
    RaceInput in;
    in.field.entries = std::move(entries);
    if (!bet.empty()) in.bet = ReadBetType(bet);
    in.selection = std::move(selection);
    return in;
}

// Worked by hand: chances 1/2, 1/3, 1/6. Second after 1 is 2 with chance
// (1/3) / (1/2); after 2, 1 with (1/2) / (2/3); the third place is then forced.
TEST(Harville, SmallFieldsByHand)
{
    const auto m = Harville({R(1, 2), R(1, 3), R(1, 6)});
    const struct {
        std::vector<int> order;
        Rational chance;
    } cases[] = {{{0, 1}, R(1, 3)}, {{1, 0}, R(1, 4)}, {{2, 0}, R(1, 10)}, {{1, 2, 0}, R(1, 12)}, {{0, 1, 2}, R(1, 3)}};
    for (const auto& c : cases) EXPECT_EQ(*m->ordered(c.order).exact, c.chance);
    const auto at = m->places(2);
    EXPECT_EQ(*at[1][0].exact, R(1, 4) + R(1, 10)); // 1 second: after 2 or after 3
    // Prices 2-1, 5-2, 8-1 and 6-1 imply 1/3, 2/7, 1/9 and 1/7, which add up
    // to 55/63: the win chances are 21/55, 18/55, 7/55 and 9/55.
    const RaceResult r = ComputeRace(Race({"2-1", "5-2", "8-1", "6-1"}, "exacta", "1-2"));
    EXPECT_EQ(r.field.book, R(55, 63));
    EXPECT_EQ(r.field.win, (std::vector<Rational>{R(21, 55), R(18, 55), R(7, 55), R(9, 55)}));
    EXPECT_EQ(*r.ticket->collects.exact, R(21, 55) * R(18, 34));
}

// The regrouped place and show sums agree with the sum over every order, and
// place chances add up to 2 and show chances to 3 exactly.
TEST(Harville, PlaceAndShowSumToTwoAndThree)
{
    const RaceResult r =
        ComputeRace(Race({"9-5", "3-1", "7-2", "5-1", "8-1", "12-1", "20-1", "30-1", "50-1", "100-1"}));
    EXPECT_EQ(*r.placeSum.exact, 2);
    EXPECT_EQ(*r.showSum.exact, 3);
    const auto m = Harville(r.field.win);
    const auto regrouped = m->places(3), everyOrder = m->FinishModel::places(3);
    for (std::size_t s = 0; s < 3; ++s) {
        for (std::size_t i = 0; i < r.field.win.size(); ++i) EXPECT_EQ(*regrouped[s][i].exact, *everyOrder[s][i].exact);
    }
}

TEST(Harville, BoxesAndKeysAreTheSumOfTheirCombinations)
{
    const std::vector<std::string> field{"2-1", "5-2", "scr", "8-1", "6-1", "10-1"};
    const struct {
        std::string bet, ticket;
        std::vector<std::string> straights;
    } cases[] = {
        {"trifecta", "1,2,4", {"1-2-4", "1-4-2", "2-1-4", "2-4-1", "4-1-2", "4-2-1"}},
        {"exacta", "1-2,5", {"1-2", "1-5"}},
        {"quinella", "1,2,4", {"1-2", "1-4", "2-4"}},
        {"superfecta", "1-2-4,5-4,5", {"1-2-4-5", "1-2-5-4"}},
    };
    for (const auto& c : cases) {
        const RaceResult box = ComputeRace(Race(field, c.bet, c.ticket));
        EXPECT_EQ(box.ticket->ticket.combinations.size(), c.straights.size());
        Rational sum = 0;
        for (const std::string& s : c.straights) sum += *ComputeRace(Race(field, c.bet, s)).ticket->collects.exact;
        EXPECT_EQ(*box.ticket->collects.exact, sum) << c.bet << " " << c.ticket;
        EXPECT_EQ(box.ticket->cost, R(2) * static_cast<long long>(c.straights.size()));
    }
}

// With both exponents 1 the discount model is Harville's (here in doubles).
TEST(Discount, WithExponentsOneIsHarville)
{
    const std::vector<Rational> p{R(21, 55), R(18, 55), R(7, 55), R(9, 55)};
    const auto discount = MakeFinishModel({ModelKind::Discount, 1, 1}, p);
    const auto harville = Harville(p);
    for (const std::vector<int>& order : {std::vector<int>{0, 1}, {3, 2, 1}, {2, 0, 3, 1}}) {
        const double exact = harville->ordered(order).value;
        EXPECT_NEAR(discount->ordered(order).value, exact, 1e-15 * exact);
    }
}

// Win chances known only to within t (a margin method's root): moved by t
// (their sum kept at 1), every chance stays within its bound of the value
// at the exact chances, and the bound is not vacuous.
TEST(DrawModels, BoundsCoverWinChancesKnownToATolerance)
{
    const std::vector<Rational> p{R(21, 55), R(18, 55), R(7, 55), R(9, 55)};
    const Rational t(1, 1'000'000);
    const std::vector<Rational> moved{p[0] + t, p[1] - t, p[2] + t, p[3] - t};
    for (const ModelChoice& choice : {ModelChoice{}, ModelChoice{ModelKind::Discount, R(4, 5), R(7, 10)}}) {
        const auto exact = MakeFinishModel(choice, p), near = MakeFinishModel(choice, moved, 1e-6);
        for (const std::vector<int>& order : {std::vector<int>{2}, {0, 1}, {3, 2, 1}, {2, 0, 3, 1}}) {
            const Chance want = exact->ordered(order), got = near->ordered(order);
            EXPECT_LE(std::fabs(got.value - want.value), got.error + want.error);
            EXPECT_LT(got.error, 1e-4);
        }
    }
}

// A word that exactly fills the line stays on it; bounds are rounded up to
// two digits, and 0 is said plainly rather than as a power of ten.
TEST(Figures, WrappingAndBounds)
{
    EXPECT_EQ(Wrapped("aa bb", 5), (std::vector<std::string>{"aa bb"}));
    EXPECT_EQ(Wrapped("aa  bb", 4), (std::vector<std::string>{"aa", "bb"}));
    // Ties to even; no sign on a figure that rounds to 0.
    for (const auto& [x, places, text] : {std::tuple{Rational(-3, 2), 0, "-2"},
                                          {Rational(-5, 2), 0, "-2"},
                                          {Rational(-1, 200), 2, "0.00"},
                                          {Rational(-1234567, 1000), 1, "-1,234.6"},
                                          {Rational(1, 3), 3, "0.333"}}) {
        EXPECT_EQ(Fixed(x, places), text);
    }
    for (const auto& [error, text] : {std::pair{0.0, "0"}, {-1e-9, "0"}, {1.23e-4, "1.3E-4"}, {9.96e-5, "1.0E-4"}}) {
        EXPECT_EQ(Bound(error), text) << error;
    }
    // A plain number: up to 40 characters, no thousands commas.
    const std::string forty = "0." + std::string(37, '0') + "1";
    EXPECT_EQ(PlainNumber(forty), Rational(BigInt(1), boost::multiprecision::pow(BigInt(10), 38)));
    EXPECT_FALSE(PlainNumber(forty + "1") || PlainNumber("1,500") || PlainNumber(""));
}

// Henery's model against an independent computation (mpmath, 20 digits:
// the means fitted by findroot, the integrals by nested quad), and with
// equal chances against the symmetry that makes every order equally likely.
TEST(Henery, AgreesWithAnIndependentIntegration)
{
    const HeneryModel m({0.5, 0.3, 0.15, 0.05});
    const struct {
        std::vector<int> order;
        double chance;
    } cases[] = {{{0, 1}, 0.26370384435648304}, {{3, 2, 1}, 0.004594786188151515}};
    for (const auto& c : cases) {
        const Chance got = m.ordered(c.order);
        EXPECT_LE(std::fabs(got.value - c.chance), got.error);
        EXPECT_LT(got.error, 1e-9);
    }
    const HeneryModel even(std::vector<double>(5, 0.2));
    const int order[] = {4, 1, 3};
    EXPECT_NEAR(even.ordered(order).value, 1.0 / 60, even.ordered(order).error);
    const auto at = even.places(3);
    for (const auto& place : at) EXPECT_NEAR(place[2].value, 0.2, place[2].error);
}

// Prices are read by the price tools' reader (tested with them).
TEST(Field, Chances)
{
    EXPECT_EQ(ReadChance("25%"), R(1, 4));
    EXPECT_EQ(ReadChance("1.5"), std::nullopt);
    // A pasted list splits at blanks, commas, tabs and either line break.
    EXPECT_EQ(SplitList(" 2-1,\t5/2\r\n7\n3\r4"), (std::vector<std::string>{"2-1", "5/2", "7", "3", "4"}));
}

// A superfecta of 24 starters whose legs leave out these runners holds
// 100,000 combinations, the most a ticket may hold, or 100,001 (counted
// by inclusion and exclusion over the legs' intersections).
TEST(Tickets, AtMostAHundredThousandCombinations)
{
    FieldInput in;
    in.entries.assign(kMostRunners, "9-1");
    const Field field = ReadField(in);
    const auto without = [](const std::vector<std::vector<int>>& legs) {
        std::string selection;
        for (const auto& out : legs) {
            selection += selection.empty() ? "" : "-";
            for (int n = 1, first = 1; n <= kMostRunners; ++n) {
                if (std::find(out.begin(), out.end(), n) != out.end()) continue;
                selection += (first ? "" : ",") + std::to_string(n);
                first = 0;
            }
        }
        return selection;
    };
    const auto most = without({{14}, {6, 9, 17, 20, 21}, {1, 7, 13, 21}, {1, 3, 6, 7, 12, 13, 18, 19, 21}});
    EXPECT_EQ(ReadTicket(BetType::Superfecta, most, field).combinations.size(), kMostCombinations);
    const auto over = without({{2, 7, 8, 9, 11, 18, 23}, {10}, {7, 9, 10}, {2, 6, 7, 11, 13, 18, 19, 20}});
    EXPECT_THROW(ReadTicket(BetType::Superfecta, over, field), InputProblem);
}

// The rules' table refuses a pool it does not know, a takeout of 100 % or
// more, and a figure that is not a decimal of at least 0 in a string.
TEST(Jurisdictions, ReadTakeoutsFrom0ToBelow100Percent)
{
    const auto table = [](const std::string& takeout) {
        return R"({"about": "", "jurisdictions": [{"id": "x", "name": "X", "takeout": {)" + takeout +
               R"(}, "sources": []}]})";
    };
    const JurisdictionTable t = ReadJurisdictions(table(R"("win": "99.99", "show": "0")"));
    EXPECT_EQ(t.jurisdictions.at(0).takeout.at("win"), R(9999, 10000));
    EXPECT_EQ(t.jurisdictions.at(0).takeout.at("show"), 0);
    for (const char* bad : {R"("win": "100")", R"("exotic": "10")", R"("win": 15)", R"("win": "-1")"})
        EXPECT_THROW(ReadJurisdictions(table(bad)), std::runtime_error) << bad;
}

// Each tool's report is the command line's, byte for byte; its problems
// stand beside their fields.
TEST(RacingTools, ReportsAreTheCommandLinesAndProblemsSitBesideTheirFields)
{
    const ExoticChancesTool race;
    const PariMutuelPayoffTool payoff;
    forms::Progress progress;
    const struct {
        const forms::Tool* tool;
        forms::Values values;
        std::vector<std::string> command;
    } same[] = {
        {&race,
         {{"runners", "2-1, 5-2, 8-1 scr 6-1"}, {"model", "henery"}, {"bet", "trifecta"}, {"selection", "1,2-all-5"}},
         {"race", "2-1", "5-2", "8-1", "scr", "6-1", "--model", "henery", "--bet", "trifecta", "1,2-all-5"}},
        {&race,
         {{"runners", "0.5 0.3 0.2"},
          {"entries", "chances"},
          {"bet", "exacta"},
          {"selection", "1-2"},
          {"base", "1"},
          {"will_pay", "3.10"}},
         {"race", "--chances", "0.5", "0.3", "0.2", "--bet", "exacta", "1-2", "--base", "1", "--will-pay", "3.10"}},
        {&race,
         {{"runners", "6/4 3-1 4-1 6-1"}, {"margin", "shin"}, {"bet", "exacta"}, {"selection", "1-2"}},
         {"race", "6/4", "3-1", "4-1", "6-1", "--margin", "shin", "--bet", "exacta", "1-2"}},
        {&race, {{"runners", "2-1 5-2 4-1"}, {"scratched", "1"}}, {"race", "2-1", "5-2", "4-1", "--scratch", "1"}},
        {&race,
         {{"runners", "2-1 5-2 8-1"},
          {"model", "discount"},
          {"discount", "0.8, 0.7"},
          {"bet", "show"},
          {"selection", "3"}},
         {"race", "2-1", "5-2", "8-1", "--model", "discount", "--discount", "0.8,0.7", "--bet", "show", "3"}},
        {&race,
         {{"runners", "1/2 1/4 1/4"}, {"entries", "chances"}, {"margin", "shin"}},
         {"race", "--chances", "1/2", "1/4", "1/4"}},
        {&race,
         {{"runners", "2-1 5-2"}, {"margin", "multiplicative"}},
         {"race", "2-1", "5-2", "--margin", "normalisation"}},
        {&payoff,
         {{"rules", "montana"}, {"pool_type", "show"}, {"pool", "40,000"}, {"amounts", "9000 / 6000=4000"}},
         {"payoff", "--bet", "show", "--rules", "montana", "--pool", "40000", "--on", "9000/6000=4000"}},
    };
    for (const auto& c : same) {
        std::vector<std::string> args{"--raw"};
        args.insert(args.end(), c.command.begin(), c.command.end());
        const forms::Result result = c.tool->compute(c.values, progress);
        ASSERT_TRUE(result.ok()) << result.problems[0].message;
        EXPECT_EQ(result.report, RunCommandLine(args).out);
        ASSERT_EQ(result.tables.size(), 1u);
        for (const auto& row : result.tables[0].rows) EXPECT_EQ(row.size(), result.tables[0].columns.size());
        EXPECT_EQ(result.verdict.rfind(result.report.substr(3, 10), 0), 0u);
    }
    const struct {
        const forms::Tool* tool;
        forms::Values values;
        std::string field;
    } wrong[] = {
        {&race, {{"runners", "2-1 x"}}, "runners"},
        {&race, {{"runners", "2-1 3-1"}, {"scratched", "9"}}, "scratched"},
        {&race, {{"runners", "2-1 3-1 4-1"}, {"bet", "exacta"}, {"selection", "1-1"}}, "selection"},
        {&race, {{"runners", "2-1 3-1"}, {"model", "discount"}, {"discount", "0"}}, "discount"},
        {&race, {{"runners", "2-1 3-1"}, {"margin", "logarithmic"}}, "margin"},
        {&race, {{"runners", "2-1 3-1"}, {"bet", "win"}, {"selection", "1"}, {"will_pay", "-1"}}, "will_pay"},
        {&race, {{"runners", "2-1 3-1"}, {"will_pay", "3"}}, "will_pay"},
        {&race, {{"runners", "1/2 0 1/2"}, {"entries", "chances"}}, "runners"},
        {&payoff, {{"pool", "100"}, {"amounts", "50"}}, "takeout"},
        {&payoff, {{"pool", "100"}, {"takeout", "15%"}, {"amounts", "50/20"}}, "amounts"},
        {&payoff, {{"pool", "1e3"}, {"takeout", "15"}, {"amounts", "50"}, {"minimum", "1"}}, "minimum"},
    };
    // An amount of 40 characters is read, one of 41 is not, as on the command line.
    for (const std::size_t length : {40, 41}) {
        const std::string pay = "3." + std::string(length - 2, '0');
        const forms::Values values{{"runners", "2-1 3-1"}, {"bet", "win"}, {"selection", "1"}, {"will_pay", pay}};
        EXPECT_EQ(race.check(values).size(), length - 40) << pay;
        const std::string bet = std::string(length - 2, '0') + "50";
        EXPECT_EQ(payoff.check({{"pool", "100"}, {"takeout", "15"}, {"amounts", bet}}).size(), length - 40) << bet;
    }
    for (const auto& c : wrong) {
        const auto problems = c.tool->check(c.values);
        ASSERT_EQ(problems.size(), 1u) << c.field;
        EXPECT_EQ(problems[0].key, c.field) << problems[0].message;
        EXPECT_EQ(problems[0].message.find("--"), std::string::npos) << problems[0].message;
    }
}

} // namespace
} // namespace fortelle::racing
