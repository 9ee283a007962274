// Clicks the window's buttons against faked prompt, dialogs, box and files,
// and prints what the handlers did, in order: each prompt with its title,
// text and offered value, each file read, written or removed, each box
// operation, then the files and the box as they are at the end. The golden
// files tests/golden/flow-*.txt hold the expected transcripts.
//
//   fortelle_transcript [SETUP]... BUTTON [ANSWER]... [-- BUTTON [ANSWER]...]...
//
// BUTTON is a button's name (Pick5, Horses, StdDev, Open, ...); ANSWERs go,
// in order, to the prompts and file dialogs; "-" cancels. Or a tool window,
// Tool:ID (game, value, draws, keno-return), driven through its form: it
// opens with its fields and values, and then each word is a step:
//   KEY=VALUE   the value typed or chosen (its problems follow)
//   calculate   the verdict and the report's length, or the problems
//   show        "Show in the box": the report through the report road
//   form        the form's fields as they stand now
//   escape      the window closed; nothing follows from it
// SETUP:
//   --file NAME=BYTES  a file that exists (BYTES take \r, \n, \xNN escapes)
//   --folder NAME      a folder of that name
//   --unreadable NAME  a file that exists but cannot be read
//   --read-only        the folder refuses every write
#include <cstdio>
#include <string>
#include <string_view>

#include "app/buttons.h"
#include "app/tools.h"
#include "fakes.h"
#include "forms/session.h"
#include "games/game_file.h"
#include "shell/pipeline.h"

namespace {

using namespace fortelle;
using namespace fortelle::testing;

std::string Unescaped(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool escaped = s[i] == '\\' && i + 1 < s.size();
        const char c = escaped ? s[++i] : s[i];
        if (escaped && c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += !escaped ? c : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        }
    }
    return out;
}

using Click = std::function<void(Platform&)>;

void PrintForm(FakePlatform& f, const forms::Session& session)
{
    for (const forms::Field& field : session.fields()) {
        std::string line = "  field " + field.key + " " + Quoted(field.label);
        if (!field.unit.empty()) line += " [" + field.unit + "]";
        if (!field.placeholder.empty()) line += " e.g. " + Quoted(field.placeholder);
        if (field.optional) line += " (optional)";
        const auto value = session.values().find(field.key);
        line += " = " + Quoted(value == session.values().end() ? "" : value->second);
        f.journal.push_back(line);
        std::string options;
        for (const forms::Option& o : field.options) options += (options.empty() ? "" : " | ") + o.label;
        if (!options.empty()) f.journal.push_back("    of " + options);
    }
}

void PrintProblems(FakePlatform& f, const std::vector<forms::Problem>& problems)
{
    for (const forms::Problem& p : problems) f.journal.push_back("  problem " + p.key + ": " + p.message);
}

// A tool window's form, driven by the click's words.
void RunTool(FakePlatform& f, const forms::Tool& tool)
{
    forms::Memory memory(f.files);
    forms::Session session(tool, memory);
    f.journal.push_back("open " + Quoted(tool.info().title));
    PrintForm(f, session);
    forms::Result result;
    while (!f.answers.empty()) {
        const std::string step = f.answers.front().value_or("");
        f.answers.pop_front();
        if (step == "calculate") {
            f.journal.push_back("calculate");
            result = session.calculate();
            PrintProblems(f, result.problems);
            if (!result.ok()) continue;
            f.journal.push_back("  verdict " + Quoted(result.verdict));
            f.journal.push_back("  report " + Shown(result.report));
            for (const forms::Chart& c : result.charts) {
                std::size_t points = 0;
                for (const forms::Series& s : c.series) points += s.points.size();
                f.journal.push_back("  chart " + c.kind + " " + Quoted(c.title) + ": " + std::to_string(points) +
                                    " points, " + std::to_string(c.marks.size()) +
                                    (c.marks.size() == 1 ? " mark" : " marks"));
            }
        } else if (step == "show") {
            PrepareOutputBox(f.box);
            ShowReport(f.files, f.box, result.report);
        } else if (step == "form") {
            PrintForm(f, session);
        } else if (step == "escape") {
            f.journal.push_back("escape");
            return;
        } else {
            const std::string key = step.substr(0, step.find('='));
            const std::string value = step.size() > key.size() ? step.substr(key.size() + 1) : "";
            f.journal.push_back("set " + key + " " + Quoted(value));
            session.set(key, value);
            if (key == tool.memoryField()) PrintForm(f, session);
            PrintProblems(f, session.problems());
        }
    }
}

Click Button(FakePlatform& f, const std::string& name)
{
    for (const ButtonDesign& b : ButtonDesigns()) {
        if (b.name == name) return b.onClick;
    }
    if (!name.starts_with("Tool:")) return nullptr;
    static const auto tools =
        MakeTools({std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}))});
    for (const auto& tool : tools) {
        if (tool->info().id == name.substr(5)) return [&f, &tool = *tool](Platform&) { RunTool(f, tool); };
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    FakePlatform f;
    std::vector<std::pair<Click, Answers>> clicks;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string next = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--file" && next.find('=') != std::string::npos) {
            f.files.files[next.substr(0, next.find('='))] = Unescaped(next.substr(next.find('=') + 1));
            ++i;
        } else if (arg == "--folder" || arg == "--unreadable") {
            (arg == "--folder" ? f.files.folders : f.files.unreadable).insert(next);
            ++i;
        } else if (arg == "--read-only") {
            f.files.readOnlyFolder = true;
        } else if (arg == "--") {
            clicks.emplace_back();
        } else if (clicks.empty() || clicks.back().first == nullptr) {
            if (clicks.empty()) clicks.emplace_back();
            clicks.back().first = Button(f, arg);
            if (clicks.back().first == nullptr) {
                std::fprintf(stderr, "no button named %s\n", arg.c_str());
                return 2;
            }
        } else {
            clicks.back().second.push_back(arg == "-" ? std::nullopt : std::optional(arg));
        }
    }
    for (auto& [handler, answers] : clicks) {
        if (handler == nullptr) continue;
        f.answers = answers;
        f.journal.push_back("-- click");
        handler(f.platform);
    }
    for (const std::string& line : f.journal) std::printf("%s\n", line.c_str());
    std::printf("-- files at the end\n");
    for (const auto& [name, bytes] : f.files.files) {
        std::printf("%s = %s\n", name.c_str(), Quoted(bytes).c_str());
    }
    std::printf("-- box at the end (%s, %s)\n", f.box.visible ? "visible" : "not shown",
                f.box.focused ? "focused" : "not focused");
    std::size_t start = 0;
    while (start < f.box.content.size()) {
        const std::size_t end = f.box.content.find('\n', start);
        const std::size_t stop = end == std::string::npos ? f.box.content.size() : end + 1;
        std::printf("%s\n", Quoted(f.box.content.substr(start, stop - start)).c_str());
        start = stop;
    }
    return 0;
}
