#include <gtest/gtest.h>

#include "app/tools.h"
#include "charts/charts.h"
#include "cli/chart_commands.h"
#include "cli/game_commands.h"
#include "fakes.h"
#include "forms/session.h"

namespace fortelle {
namespace {

// A tool window shows the very bytes its command prints for the same values,
// whatever blanks, grouping or percent signs the form was typed with, and
// its verdict is the sentence the report starts with.
TEST(Tools, ReportsAreTheCommandLinesBytes)
{
    const auto catalog = std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}));
    const struct {
        forms::Values values;
        std::vector<std::string> command;
    } cases[] = {
        {{{"game", "keno"}, {"spots", "8"}, {"exact", "1"}}, {"game", "keno", "8", "--exact"}},
        {{{"game", "euromillions"},
          {"jackpot", "17,000,000"},
          {"cash", "50%"},
          {"tax", "20 %"},
          {"taxAbove", "1000"},
          {"sold", "5e7"},
          {"prize:5+1", "300000"},
          {"prize:2+0", "4.5"}},
         {"value", "euromillions", "--jackpot", "17000000", "--cash", "0.5", "--tax", "20", "--tax-above", "1000",
          "--tickets-sold", "5e7", "--prize", "5+1=300000", "--prize", "2+0=4.5"}},
        {{{"game", "oz-lotto"}, {"jackpot", "5 000 000"}, {"price", "1.5"}},
         {"value", "oz-lotto", "--jackpot", "5000000", "--price", "1.5"}},
        {{{"game", "(odds)"}, {"odds", "1e12"}, {"draws", "1e9"}}, {"draws", "--odds", "1e12", "--draws", "1e9"}},
        {{{"game", "keno"}, {"spots", "10"}, {"tier", "10"}, {"draws", "1000"}},
         {"draws", "keno", "10", "--spots", "10", "--draws", "1000"}},
        {{{"game", "us-powerball"}, {"tier", "any"}, {"draws", "1040"}}, {"draws", "us-powerball", "--draws", "1040"}},
        {{{"game", "us-powerball"}, {"tier", "5+PB"}, {"draws", "1040"}, {"tickets", "10"}},
         {"draws", "us-powerball", "5+PB", "--draws", "1040", "--tickets", "10"}},
        {{{"game", "keno-massachusetts"}, {"spots", "10"}, {"table", "game"}},
         {"keno-return", "keno-massachusetts", "10"}},
        {{{"game", "keno"}, {"spots", "3"}, {"table", "own"}, {"pays", "2 = 2.5, 3 = 40.5"}, {"games", "10"}},
         {"keno-return", "keno", "3", "--pay", "2=2.5,3=40.5", "--games", "10"}},
    };
    const auto tools = MakeTools({catalog});
    for (const auto& c : cases) {
        // Each tool bears its command's name.
        const auto tool =
            std::find_if(tools.begin(), tools.end(), [&](const auto& t) { return t->info().id == c.command[0]; });
        forms::Progress none;
        const forms::Result r = (*tool)->compute(c.values, none);
        ASSERT_TRUE(r.ok()) << c.command[0] << ": " << r.problems[0].message;
        const std::vector<std::string> args(c.command.begin() + 1, c.command.end());
        const CommandLineResult cli = RunGameCommand(c.command[0], args, true, [&] { return *catalog; });
        EXPECT_EQ(cli.status, 0) << cli.err;
        EXPECT_EQ(r.report, cli.out) << c.command[0] << " " << c.command[1];
        // Its first chart is the chart command's for the same values.
        const std::map<std::string, std::string> kinds{
            {"game", "matches"}, {"value", "value"}, {"draws", "draws"}, {"keno-return", "keno"}};
        std::vector<std::string> chart{kinds.at(c.command[0])};
        for (const std::string& a : args) {
            if (a != "--exact") chart.push_back(a);
        }
        chart.emplace_back("--csv");
        ASSERT_FALSE(r.charts.empty()) << c.command[0];
        EXPECT_EQ(charts::ChartCsv(r.charts.front()), RunChartCommand(chart, false, [&] { return *catalog; }).out)
            << c.command[0] << " " << c.command[1];
        // Its figures as JSON are the command's --json, named after the game.
        std::vector<std::string> json = args;
        json.emplace_back("--json");
        ASSERT_FALSE(r.exports.empty());
        EXPECT_EQ(r.exports.front().bytes, RunGameCommand(c.command[0], json, false, [&] { return *catalog; }).out);
        EXPECT_EQ(r.exports.front().fileName.rfind(c.command[1] == "--odds" ? "odds-" : c.command[1] + "-", 0), 0u)
            << r.exports.front().fileName;
        // The verdict is the report's first paragraph, from the same function.
        std::string first;
        for (std::size_t at = 2; at < r.report.size() && r.report.compare(at, 2, "\r\n") != 0;) {
            const std::size_t end = r.report.find("\r\n", at);
            first += (first.empty() ? "" : " ") + r.report.substr(at + 1, end - at - 1);
            at = end + 2;
        }
        EXPECT_EQ(r.verdict, first);
    }
}

// Each field's limits: the last value accepted, the first refused, with the
// problem beside the field it is about (the first problem's field, or
// "none").
TEST(Tools, ProblemsSitBesideTheirFieldsAtEachLimit)
{
    const auto catalog = std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}));
    const auto tools = MakeTools({catalog});
    const auto tool = [&](const std::string& id) {
        return std::find_if(tools.begin(), tools.end(), [&](const auto& t) { return t->info().id == id; })->get();
    };
    const forms::Values odds{{"game", "keno"}, {"spots", "8"}},
        value{{"game", "euromillions"}, {"jackpot", "17000000"}},
        draws{{"game", "(odds)"}, {"odds", "1e12"}, {"draws", "1e9"}},
        powerball{{"game", "us-powerball"}, {"tier", "5+PB"}, {"draws", "10"}},
        keno{{"game", "keno-massachusetts"}, {"spots", "10"}, {"table", "game"}},
        lotto{{"biggest", "49"}, {"drawn", "6"}, {"pool", "6"}};
    const struct {
        const char* tool;
        const forms::Values& values;
        std::vector<std::pair<std::string, std::string>> typed;
        const char* where;
    } cases[] = {
        {"game", odds, {{"spots", "1"}}, "none"},
        {"game", odds, {{"spots", "20"}}, "none"},
        {"game", odds, {{"spots", "21"}}, "spots"},
        {"game", odds, {{"spots", "0"}}, "spots"},
        {"game", odds, {{"spots", "2.5"}}, "spots"},
        {"game", odds, {{"spots", ""}}, "spots"},
        {"game", odds, {{"game", "nothing-such"}}, "game"},
        {"value", value, {}, "none"},
        {"value", value, {{"jackpot", ""}}, "jackpot"},
        {"value", value, {{"jackpot", "1e15"}}, "none"},
        {"value", value, {{"jackpot", "17 000\t000\r\n"}}, "none"}, // blanks of every kind are left out
        {"value", value, {{"jackpot", "1000000000000001"}}, "jackpot"},
        {"value", value, {{"price", "0"}}, "price"},
        {"value", value, {{"price", "1e15"}}, "none"},
        {"value", value, {{"price", "1000000000000001"}}, "price"},
        {"value", value, {{"price", "2%"}}, "price"}, // only rates take a percent sign
        {"value", value, {{"tax", "10"}, {"taxAbove", "600%"}}, "taxAbove"},
        {"value", value, {{"jackpot", "5%"}}, "jackpot"},
        {"value", value, {{"cash", "1"}}, "none"},
        {"value", value, {{"cash", "100%"}}, "none"},
        {"value", value, {{"cash", "1.01"}}, "cash"},
        {"value", value, {{"cash", "0"}}, "cash"},
        {"value", value, {{"tax", "100"}}, "none"},
        {"value", value, {{"tax", "100.01"}}, "tax"},
        {"value", value, {{"tax", "-1"}}, "tax"},
        {"value", value, {{"taxAbove", "600"}}, "taxAbove"},
        {"value", value, {{"tax", "20"}, {"taxAbove", "600"}}, "none"},
        {"value", value, {{"tax", "20"}, {"taxAbove", "2e15"}}, "taxAbove"},
        {"value", value, {{"sold", "1000000000000"}}, "none"},
        {"value", value, {{"sold", "1000000000001"}}, "sold"},
        {"value", value, {{"sold", "0.5"}}, "sold"},
        {"value", value, {{"prize:5+1", "2e15"}}, "prize:5+1"},
        {"draws", draws, {}, "none"},
        {"draws", draws, {{"odds", "1"}}, "none"},
        {"draws", draws, {{"odds", "0.99"}}, "odds"},
        {"draws", draws, {{"odds", "1e30"}}, "none"},
        {"draws", draws, {{"odds", "1000000000000000000000000000001"}}, "odds"},
        {"draws", draws, {{"draws", "0"}}, "draws"},
        {"draws", draws, {{"draws", "1000000000000"}}, "none"},
        {"draws", draws, {{"draws", "1000000000001"}}, "draws"},
        {"draws", draws, {{"odds", "10"}, {"tickets", "10"}}, "none"},
        {"draws", draws, {{"odds", "10"}, {"tickets", "11"}}, "tickets"},
        {"draws", powerball, {{"tickets", "2"}}, "none"},
        {"draws", powerball, {{"tier", "any"}, {"tickets", "2"}}, "tickets"},
        {"draws", powerball, {{"tier", "any"}, {"tickets", "1"}}, "none"},
        {"draws", powerball, {{"tier", "no-such"}}, "tier"},
        {"keno-return", keno, {}, "none"},
        {"keno-return", keno, {{"games", "1000000"}}, "none"},
        {"keno-return", keno, {{"games", "1000001"}}, "games"},
        {"keno-return", keno, {{"games", "0"}}, "games"},
        {"keno-return", keno, {{"table", "own"}}, "pays"},
        {"keno-return", keno, {{"table", "own"}, {"pays", "10=x"}}, "pays"},
        {"keno-return", keno, {{"spots", "13"}}, "spots"},
        {"match-chart", lotto, {}, "none"},
        {"match-chart", lotto, {{"biggest", ""}}, "biggest"},
        {"match-chart", lotto, {{"biggest", "1,000,000"}, {"drawn", "100"}, {"pool", "1 000 000"}}, "none"},
        {"match-chart", lotto, {{"biggest", "1000001"}}, "biggest"},
        {"match-chart", lotto, {{"biggest", "1000000001"}}, "biggest"},
        {"match-chart", lotto, {{"drawn", "0"}}, "drawn"},
        {"match-chart", lotto, {{"drawn", "101"}, {"biggest", "200"}}, "drawn"},
        {"match-chart", lotto, {{"drawn", "50"}}, "drawn"},
        {"match-chart", lotto, {{"pool", "5"}}, "pool"},
        {"match-chart", lotto, {{"pool", "49"}}, "none"},
        {"match-chart", lotto, {{"pool", "50"}}, "pool"},
        {"match-chart", lotto, {{"pool", "6.5"}}, "pool"},
    };
    for (const auto& c : cases) {
        forms::Values values = c.values;
        for (const auto& [key, text] : c.typed) values[key] = text;
        const auto problems = tool(c.tool)->check(values);
        const std::string where = problems.empty() ? "none" : problems.front().key;
        EXPECT_EQ(where, c.where) << c.tool << " "
                                  << (c.typed.empty() ? "" : c.typed.back().first + "=" + c.typed.back().second);
    }
    // Cancel computes nothing: the report is not shown as if it were whole.
    struct Cancel : forms::Progress {
        bool cancelled() const override { return true; }
    } cancel;
    forms::Values many = keno;
    many["games"] = "100000";
    const forms::Result stopped = tool("keno-return")->compute(many, cancel);
    EXPECT_FALSE(stopped.ok());
    EXPECT_TRUE(stopped.report.empty());
    // Without Cancel, a run long enough to report its progress goes on to the end.
    struct Count : forms::Progress {
        int told = 0;
        void advance(double) override { ++told; }
    } count;
    many["table"] = "own";
    many["pays"] = "10 = 1.001";
    many["games"] = "300";
    EXPECT_TRUE(tool("keno-return")->compute(many, count).ok());
    EXPECT_GT(count.told, 0);
}

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A form's fields follow the game chosen: a spot count for Keno, a prize
// field for each tier that has one, a pay table field when the game has none.
TEST(Tools, FieldsFollowTheGame)
{
    const auto catalog = std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}));
    const auto tools = MakeTools({catalog});
    const auto fields = [&](const std::string& id, const forms::Values& values) {
        const auto tool = std::find_if(tools.begin(), tools.end(), [&](const auto& t) { return t->info().id == id; });
        return (*tool)->fields(values);
    };
    const auto keys = [&](const std::string& id, const forms::Values& values) {
        std::string out;
        for (const forms::Field& f : fields(id, values)) out += (out.empty() ? "" : " ") + f.key;
        return out;
    };
    EXPECT_EQ(keys("game", {{"game", "keno"}}), "game spots exact");
    EXPECT_EQ(keys("game", {{"game", "us-powerball"}}), "game exact");
    EXPECT_EQ(keys("value", {{"game", "uk-lotto"}}),
              "game jackpot price cash tax taxAbove sold prize:5+B prize:5 prize:4 prize:3 prize:2");
    EXPECT_EQ(keys("draws", {{"game", "(odds)"}}), "game odds draws tickets");
    EXPECT_EQ(keys("draws", {{"game", "keno"}, {"spots", "8"}}), "game spots tier draws tickets");
    EXPECT_EQ(keys("keno-return", {{"game", "keno"}, {"spots", "8"}}), "game spots table pays games");
    EXPECT_EQ(keys("keno-return", {{"game", "keno-massachusetts"}, {"spots", "10"}}), "game spots table games");
    EXPECT_EQ(keys("keno-return", {{"game", "keno-massachusetts"}, {"spots", "10"}, {"table", "own"}}),
              "game spots table pays games");

    const auto value = fields("value", {{"game", "uk-lotto"}});
    EXPECT_TRUE(value[2].optional); // the game's own price
    EXPECT_EQ(value[2].placeholder, "2");
    EXPECT_EQ(value[8].placeholder, "1750");  // a fixed prize
    EXPECT_EQ(value.back().placeholder, "2"); // a free ticket, at the price
    // Lotteries only, by name as a person reads it; Keno only for its returns.
    for (const auto& [id, keno] : {std::pair{"value", false}, {"keno-return", true}}) {
        const auto picker = fields(id, {}).front().options;
        ASSERT_FALSE(picker.empty());
        for (std::size_t i = 0; i < picker.size(); ++i) {
            EXPECT_EQ(catalog->find(picker[i].value)->keno, keno) << picker[i].value;
            if (i > 0) {
                EXPECT_LE(Lower(picker[i - 1].label), Lower(picker[i].label));
            }
        }
    }
    const auto tiers = [&](const forms::Values& values) {
        const auto all = fields("draws", values);
        return std::find_if(all.begin(), all.end(), [](const forms::Field& f) { return f.key == "tier"; })->options;
    };
    EXPECT_EQ(tiers({{"game", "us-powerball"}}).front().value, "any");
    EXPECT_EQ(tiers({{"game", "keno"}, {"spots", "8"}}).front().value, "0");
    EXPECT_EQ(tiers({{"game", "keno"}, {"spots", "20"}}).back().value, "20"); // the most spots the game takes
    EXPECT_EQ(tiers({{"game", "keno-massachusetts"}, {"spots", "10"}}).front().value, "any");
}

// A choice may bring a field of its own, whose choice brings another: the
// form opens with the whole chain settled.
TEST(Tools, OpeningSettlesEveryFieldAChoiceBrings)
{
    struct Chain final : forms::Tool {
        forms::ToolInfo info() const override { return {"chain", "Games", "Chain", "", false}; }
        std::vector<forms::Field> fields(const forms::Values& v) const override
        {
            std::vector<forms::Field> out;
            for (const char* key : {"a", "b", "c", "d"}) {
                out.push_back({key, key, forms::Kind::Choice, "", "", "", {{"on", "On"}, {"off", "Off"}}, "on"});
                if (!v.count(key) || v.at(key) != "on") break;
            }
            return out;
        }
        std::vector<forms::Problem> check(const forms::Values&) const override { return {}; }
        forms::Result compute(const forms::Values&, forms::Progress&) const override { return {}; }
    } chain;
    testing::Journal journal;
    testing::FakeFiles files(journal);
    forms::Memory memory(files);
    forms::Session session(chain, memory);
    EXPECT_EQ(session.values(), (forms::Values{{"a", "on"}, {"b", "on"}, {"c", "on"}, {"d", "on"}}));
    EXPECT_EQ(session.fields().size(), 4u);
}

// A memory field need not come first nor offer choices: with nothing
// remembered it opens at its initial value, then at the last one kept.
TEST(Tools, AMemoryFieldOfFreeTextOpensAtWhatWasKept)
{
    struct Keyed final : forms::Tool {
        forms::ToolInfo info() const override { return {"keyed", "Games", "Keyed", "", false}; }
        std::string memoryField() const override { return "n"; }
        std::vector<forms::Field> fields(const forms::Values&) const override
        {
            return {{"x", "x", forms::Kind::Decimal, "", "", "", {}, "1"},
                    {"n", "n", forms::Kind::Text, "", "", "", {}, "5"}};
        }
        std::vector<forms::Problem> check(const forms::Values&) const override { return {}; }
        forms::Result compute(const forms::Values&, forms::Progress&) const override { return {}; }
    } keyed;
    testing::Journal journal;
    testing::FakeFiles files(journal);
    forms::Memory memory(files);
    EXPECT_EQ(forms::Session(keyed, memory).values(), (forms::Values{{"n", "5"}, {"x", "1"}}));
    memory.keep("keyed", "7", {{"x", "2"}, {"n", "7"}});
    EXPECT_EQ(forms::Session(keyed, memory).values(), (forms::Values{{"n", "7"}, {"x", "2"}}));
}

// A memory file edited by hand gives what it still holds, never throws, and
// the next computation writes a sound one without losing other tools' answers.
TEST(Tools, AMemoryEditedByHandGivesWhatItHolds)
{
    struct Row {
        const char* file;
        std::string last;
        std::optional<forms::Values> recalled; // for the key "g"
    };
    const Row rows[] = {
        {R"({"t": {"last": "g", "answers": {"g": {"x": "1", "y": 2}}}})", "g", forms::Values{{"x", "1"}}},
        {R"({"t": {"last": 5, "answers": {"g": {}}}})", "", forms::Values{}},
        {R"({"t": {"answers": {"g": 4}}})", "", std::nullopt},
        {R"({"t": {"last": "g", "answers": 3}})", "g", std::nullopt},
        {R"({"t": {"answers": {"h": {}}}})", "", std::nullopt},
        {R"({"t": 7})", "", std::nullopt},
        {R"({"u": {}})", "", std::nullopt},
        {"[1, 2]", "", std::nullopt},
        {"{\"t\": ", "", std::nullopt},
    };
    for (const Row& row : rows) {
        testing::Journal journal;
        testing::FakeFiles files(journal);
        files.files[forms::Memory::kFileName] = row.file;
        forms::Memory memory(files);
        EXPECT_EQ(memory.lastKey("t"), row.last) << row.file;
        EXPECT_EQ(memory.recall("t", "g"), row.recalled) << row.file;
    }
    testing::Journal journal;
    testing::FakeFiles files(journal);
    files.files[forms::Memory::kFileName] = R"({"t": {"last": 5, "answers": 3}, "u": {"last": "k"}})";
    forms::Memory memory(files);
    memory.keep("t", "g", {{"x", "2"}});
    EXPECT_EQ(memory.lastKey("t"), "g");
    memory.keep("t", "h", {{"x", "3"}});
    EXPECT_EQ(memory.lastKey("t"), "h");
    EXPECT_EQ(memory.recall("t", "g"), (forms::Values{{"x", "2"}}));
    EXPECT_EQ(memory.lastKey("u"), "k");
}

} // namespace
} // namespace fortelle
