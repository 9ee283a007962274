// The core as a WebAssembly module: the command line, the desktop buttons
// run in memory so that the page offers and remembers values the way the
// window does with its parameter files, and the tool windows' forms, which
// the page draws from the same registry as the window's menus.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/buttons.h"
#include "app/tools.h"
#include "charts/charts.h"
#include "cli/command_line.h"
#include "forms/session.h"
#include "games/game_file.h"
#include "platform/platform.h"
#include "shell/report.h"

namespace fortelle::web {
namespace {

using emscripten::val;

// The buttons that have a command-line calculator, by the calculator's name.
struct Tool {
    std::string_view button;
    std::string_view calculator;
};
constexpr std::array<Tool, 10> kTools{{
    {"Pick3", "pick3"},
    {"Pick4", "pick4"},
    {"Pick5", "lotto"},
    {"Pick6", "powerball"},
    {"EuroOdds", "euro"},
    {"Horses", "horses"},
    {"Roulette", "roulette"},
    {"USBet", "parlay"},
    {"PowerOdds", "soccer"},
    {"StdDev", "stddev"},
}};

const ButtonDesign* FindButton(std::string_view calculator)
{
    for (const Tool& tool : kTools) {
        if (tool.calculator != calculator) continue;
        for (const ButtonDesign& b : ButtonDesigns()) {
            if (b.name == tool.button) return &b;
        }
    }
    return nullptr;
}

// Holds what the window's box would show after the click, as text.
class TextBox final : public OutputBox {
public:
    std::string content;

    void setText(std::string_view utf8) override { content = utf8; }
    std::string text() const override { return content; }
    void setSelectionFontName(std::string_view) override {}
    void setSelectionFontSize(double) override {}
    void setBoxBold(bool) override {}
    void insertAtCaret(std::string_view utf8) override { content += utf8; }
    void makeVisible() override {}
    void giveFocus() override {}
    std::int64_t selectionLength() const override { return 0; }
    void applySelectionFont(const FontChoice&) override {}
    void applyBoxFont(const FontChoice&) override {}
    void printOn(Printer&) override {}
};

// Answers from the page's fields; without them, the offered text, as if
// the user pressed OK on every prompt. Every prompt shown is recorded.
class PagePrompt final : public Prompt {
public:
    struct Asked {
        std::string title, message, offered;
    };
    std::optional<std::deque<std::string>> answers;
    std::vector<Asked> asked;

    std::optional<std::string> ask(std::string_view title, std::string_view message, std::string_view offered) override
    {
        asked.push_back({std::string(title), std::string(message), std::string(offered)});
        if (!answers) return std::string(offered);
        if (answers->empty()) return std::nullopt; // Cancel
        std::string answer = std::move(answers->front());
        answers->pop_front();
        return answer;
    }
};

// The working folder in memory: the page keeps its files in localStorage.
class MemoryFiles final : public FileSystem {
public:
    std::map<std::string, std::string, std::less<>> files;

    bool exists(std::string_view name) const override { return files.find(name) != files.end(); }
    std::optional<std::string> readAll(std::string_view name, std::size_t limit) const override
    {
        const auto it = files.find(name);
        if (it == files.end() || it->second.size() > limit) return std::nullopt;
        return it->second;
    }
    bool replaceWith(std::string_view name, std::string_view bytes) override
    {
        files[std::string(name)] = std::string(bytes);
        return true;
    }
    bool removeFile(std::string_view name) override
    {
        const auto it = files.find(name);
        if (it == files.end()) return false;
        files.erase(it);
        return true;
    }
    bool changeDirectory(std::string_view) override { return false; }
    bool isWritableFolder(std::string_view) const override { return true; }
};

// No calculator opens a dialog.
class NoDialogs final : public Dialogs {
public:
    std::optional<std::string> openFile(const FileDialogSetup&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogSetup&) override { return std::nullopt; }
    std::optional<FontChoice> chooseFont(const FontDialogSetup&) override { return std::nullopt; }
    std::unique_ptr<Printer> choosePrinter(unsigned) override { return nullptr; }
    void showError(std::string_view, std::string_view) override {}
};

// The module's program folder: the built-in games are embedded beside it,
// in /fortelle/share/fortelle/games.
constexpr std::string_view kProgramFolder = "/fortelle/bin";

val Run(const val& args)
{
    const CommandLineResult r = RunCommandLine(emscripten::vecFromJSArray<std::string>(args), kProgramFolder);
    val result = val::object();
    result.set("out", r.out);
    result.set("err", r.err);
    result.set("status", r.status);
    return result;
}

// One click of the calculator's button on the window, with `files` as the
// working folder and `answers` (an array, or null to accept every offered
// value) typed into its prompts. Returns the prompts shown, in order, the
// folder's files afterwards and the text the box shows.
val Click(const std::string& calculator, const val& files, const val& answers)
{
    const ButtonDesign* button = FindButton(calculator);
    if (button == nullptr) return val::null();

    MemoryFiles folder;
    const val names = val::global("Object").call<val>("keys", files);
    for (const std::string& name : emscripten::vecFromJSArray<std::string>(names)) {
        folder.files[name] = files[name].as<std::string>();
    }
    PagePrompt prompt;
    if (!answers.isNull() && !answers.isUndefined()) {
        const auto typed = emscripten::vecFromJSArray<std::string>(answers);
        prompt.answers.emplace(typed.begin(), typed.end());
    }
    TextBox box;
    NoDialogs dialogs;
    Platform platform{box, prompt, folder, dialogs};
    button->onClick(platform);

    val asked = val::array();
    for (const auto& a : prompt.asked) {
        val p = val::object();
        p.set("title", a.title);
        p.set("message", a.message);
        p.set("offered", a.offered);
        asked.call<void>("push", p);
    }
    val after = val::object();
    for (const auto& [name, bytes] : folder.files) after.set(name, bytes);
    val result = val::object();
    result.set("asked", asked);
    result.set("files", after);
    result.set("box", box.content);
    return result;
}

// The calculators in the window's order, with their button's caption and
// tooltip.
val Calculators()
{
    val list = val::array();
    for (const ButtonDesign& b : ButtonDesigns()) {
        for (const Tool& tool : kTools) {
            if (tool.button != b.name) continue;
            val c = val::object();
            c.set("name", std::string(tool.calculator));
            c.set("caption", std::string(b.caption));
            c.set("tooltip", std::string(b.tooltip));
            list.call<void>("push", c);
        }
    }
    return list;
}

// ---- The tool windows' forms ----

using Json = nlohmann::json;

// JSON text the page parses; a byte that is not UTF-8 (a game file's name
// read from disk) becomes U+FFFD rather than stopping the answer.
std::string Dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

// The registry every front end builds its menus from, over the built-in
// games embedded in the module. Built once: the games do not change while
// the page is open.
const std::vector<std::unique_ptr<forms::Tool>>& Registry()
{
    static const auto tools = [] {
        ToolContext context;
        context.catalog =
            std::make_shared<const GameCatalog>(LoadGameCatalog(GameFolders(kProgramFolder, ProcessEnvironment)));
        return MakeTools(context);
    }();
    return tools;
}

const forms::Tool* FindTool(const std::string& id)
{
    for (const auto& tool : Registry()) {
        if (tool->info().id == id) return tool.get();
    }
    return nullptr;
}

const char* KindName(forms::Kind kind)
{
    switch (kind) {
    case forms::Kind::Choice: return "choice";
    case forms::Kind::Decimal: return "decimal";
    case forms::Kind::Count: return "count";
    case forms::Kind::Text: return "text";
    case forms::Kind::Lines: return "lines";
    case forms::Kind::Check: return "check";
    case forms::Kind::Picks: return "picks";
    }
    return "text";
}

Json OptionsJson(const std::vector<forms::Option>& options)
{
    Json list = Json::array();
    for (const forms::Option& o : options) list.push_back({{"value", o.value}, {"label", o.label}});
    return list;
}

Json ProblemsJson(const std::vector<forms::Problem>& problems)
{
    Json list = Json::array();
    for (const forms::Problem& p : problems) list.push_back({{"key", p.key}, {"message", p.message}});
    return list;
}

// What a computation answers, as the page shows it: the report with line
// feeds, byte for byte what fortelle-cli prints for the same values.
std::string ResultJson(const forms::Result& r)
{
    Json tables = Json::array();
    for (const forms::Table& t : r.tables) {
        tables.push_back({{"title", t.title}, {"columns", t.columns}, {"rows", t.rows}});
    }
    // Each chart as the command line writes it (JSON, and CSV to save),
    // from the same core calls.
    Json charts = Json::array();
    for (const forms::Chart& c : r.charts) {
        Json chart = Json::parse(charts::ChartJson(c));
        chart["csv"] = charts::ChartCsv(c);
        charts.push_back(std::move(chart));
    }
    Json exports = Json::array();
    for (const forms::Export& e : r.exports) {
        exports.push_back({{"label", e.label}, {"fileName", e.fileName}, {"bytes", e.bytes}});
    }
    return Dump({{"problems", ProblemsJson(r.problems)},
                 {"title", r.title},
                 {"verdict", r.verdict},
                 {"report", CrLfToLineFeeds(r.report)},
                 {"tables", tables},
                 {"charts", charts},
                 {"exports", exports}});
}

forms::Values ValuesOf(const val& object)
{
    forms::Values values;
    if (object.isNull() || object.isUndefined()) return values;
    const val keys = val::global("Object").call<val>("keys", object);
    for (const std::string& key : emscripten::vecFromJSArray<std::string>(keys)) {
        values[key] = object[key].as<std::string>();
    }
    return values;
}

// The tools in menu order: [{id, menu, title, summary, memoryField,
// entries}], where `entries` lists the memory field's options for a tool
// the menus show once per option (each game), else is empty.
std::string ToolList()
{
    Json list = Json::array();
    for (const auto& tool : Registry()) {
        const forms::ToolInfo info = tool->info();
        Json entries = Json::array();
        if (info.entryPerOption) {
            for (const forms::Field& f : tool->fields({})) {
                if (f.key == tool->memoryField()) entries = OptionsJson(f.options);
            }
        }
        list.push_back({{"id", info.id},
                        {"menu", info.menu},
                        {"title", info.title},
                        {"summary", info.summary},
                        {"memoryField", tool->memoryField()},
                        {"entries", entries}});
    }
    return Dump(list);
}

// A form being filled in on the page: a forms::Session over the page's
// files in memory (Tools.json, mirrored to the browser's storage by the
// page).
class ToolForm {
public:
    ToolForm(const std::string& id, const val& files) : tool_(FindTool(id))
    {
        if (tool_ == nullptr) throw std::invalid_argument("no tool '" + id + "'");
        for (const auto& [name, bytes] : ValuesOf(files)) folder_.files[name] = bytes;
        memory_ = std::make_unique<forms::Memory>(folder_);
        session_ = std::make_unique<forms::Session>(*tool_, *memory_);
    }

    // {fields: [...], values: {...}, problems: [...]}: what the form shows now.
    std::string state() const
    {
        Json fields = Json::array();
        for (const forms::Field& f : session_->fields()) {
            fields.push_back({{"key", f.key},
                              {"label", f.label},
                              {"kind", KindName(f.kind)},
                              {"unit", f.unit},
                              {"placeholder", f.placeholder},
                              {"help", f.help},
                              {"options", OptionsJson(f.options)},
                              {"initial", f.initial},
                              {"optional", f.optional},
                              {"lowest", f.lowest},
                              {"highest", f.highest}});
        }
        return Dump(
            {{"fields", fields}, {"values", session_->values()}, {"problems", ProblemsJson(session_->problems())}});
    }

    void set(const std::string& key, const std::string& value) { session_->set(key, value); }

    // The values of a shared address: each field it names takes its value,
    // every other field shown its initial one, so that the address gives
    // the same answer whatever this browser remembers.
    void setLink(const val& object)
    {
        const forms::Values given = ValuesOf(object);
        session_->setAll(given);
        for (int round = 0; round < 4; ++round) {
            forms::Values rest;
            for (const forms::Field& f : session_->fields()) {
                const auto it = session_->values().find(f.key);
                if (given.count(f.key) == 0 && (it == session_->values().end() || it->second != f.initial)) {
                    rest[f.key] = f.initial;
                }
            }
            if (rest.empty()) return;
            rest.insert(given.begin(), given.end());
            rest.erase(tool_->memoryField());
            session_->setAll(rest);
        }
    }

    // Remembers `values` as computed with success (the computation ran in
    // the page's worker).
    void remember(const val& object) { session_->remember(ValuesOf(object), forms::Result()); }

    // Computes here, without a worker, and remembers the values when it succeeds.
    std::string calculate() { return ResultJson(session_->calculate()); }

    // The folder's files: Tools.json once something was remembered.
    val files() const
    {
        val after = val::object();
        for (const auto& [name, bytes] : folder_.files) after.set(name, bytes);
        return after;
    }

private:
    const forms::Tool* tool_;
    MemoryFiles folder_;
    std::unique_ptr<forms::Memory> memory_;
    std::unique_ptr<forms::Session> session_;
};

// Tells the page how far a computation is, at most a few hundred times in
// all; the page stops a computation by ending its worker.
class PageProgress final : public forms::Progress {
public:
    explicit PageProgress(val report) : report_(std::move(report)) {}
    void advance(double fraction) override
    {
        if (report_.isNull() || report_.isUndefined() || !(fraction >= last_ + 0.004 || fraction >= 1)) return;
        last_ = fraction;
        report_(fraction);
    }

private:
    val report_;
    double last_ = -1;
};

// One computation of a tool for `values` (an object of strings), as the
// page's worker runs it; `progress` is called with the fraction done.
std::string Compute(const std::string& id, const val& values, const val& progress)
{
    const forms::Tool* tool = FindTool(id);
    if (tool == nullptr) {
        forms::Result none;
        none.problems.push_back({"", "This page has no tool '" + id + "'."});
        return ResultJson(none);
    }
    PageProgress report(progress);
    return ResultJson(tool->compute(ValuesOf(values), report));
}

} // namespace
} // namespace fortelle::web

EMSCRIPTEN_BINDINGS(fortelle)
{
    emscripten::function("commandLine", &fortelle::web::Run);
    emscripten::function("click", &fortelle::web::Click);
    emscripten::function("calculators", &fortelle::web::Calculators);
    emscripten::function("tools", &fortelle::web::ToolList);
    emscripten::function("compute", &fortelle::web::Compute);
    emscripten::class_<fortelle::web::ToolForm>("ToolForm")
        .constructor<std::string, emscripten::val>()
        .function("state", &fortelle::web::ToolForm::state)
        .function("set", &fortelle::web::ToolForm::set)
        .function("setLink", &fortelle::web::ToolForm::setLink)
        .function("remember", &fortelle::web::ToolForm::remember)
        .function("calculate", &fortelle::web::ToolForm::calculate)
        .function("files", &fortelle::web::ToolForm::files);
}
