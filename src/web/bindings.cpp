// The core as a WebAssembly module: the command line, and the desktop
// buttons run in memory so that the page offers and remembers values the
// way the window does with its parameter files.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/buttons.h"
#include "cli/command_line.h"
#include "platform/platform.h"

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

} // namespace
} // namespace fortelle::web

EMSCRIPTEN_BINDINGS(fortelle)
{
    emscripten::function("commandLine", &fortelle::web::Run);
    emscripten::function("click", &fortelle::web::Click);
    emscripten::function("calculators", &fortelle::web::Calculators);
}
