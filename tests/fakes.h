// Stand-ins for the platform. Each records what the program did to it in one
// shared journal, in order, so that a test (or a transcript) can see the
// order of prompts, box operations and file writes.
#pragma once

#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/banner.h"
#include "platform/platform.h"

namespace fortelle::testing {

using Journal = std::vector<std::string>;
// The answers to prompts and file dialogs, in order; when none is left, Cancel.
using Answers = std::deque<std::optional<std::string>>;

// Bytes as a C string literal would write them, so that blanks, CR LF and
// other bytes show in a journal line.
inline std::string Quoted(std::string_view bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        out += c == '\r'               ? "\\r"
               : c == '\n'             ? "\\n"
               : c == '"' || c == '\\' ? std::string("\\") + c
               : c < 0x20 || c > 0x7E  ? hex
                                       : std::string(1, c);
    }
    return out + "\"";
}

// Long texts show in a journal by their length.
inline std::string Shown(std::string_view bytes)
{
    return bytes.size() > 60 ? std::to_string(bytes.size()) + " bytes" : Quoted(bytes);
}

inline std::optional<std::string> Next(Answers& answers, Journal& journal, const char* given)
{
    std::optional<std::string> answer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    journal.push_back(answer ? "  " + std::string(given) + " " + Quoted(*answer) : "  cancelled");
    return answer;
}

// Keeps the box's text as the exact bytes it was given.
class FakeBox final : public OutputBox {
public:
    explicit FakeBox(Journal& journal) : journal_(journal) {}
    std::string content;
    bool visible = false, focused = false;

    void setText(std::string_view utf8) override { content = utf8, log("box text " + Shown(utf8)); }
    std::string text() const override { return content; }
    void setSelectionFontName(std::string_view name) override { log("box selection font " + std::string(name)); }
    void setSelectionFontSize(double points) override { log("box selection size " + std::to_string(int(points))); }
    void setBoxBold(bool bold) override { log(bold ? "box bold" : "box not bold"); }
    void insertAtCaret(std::string_view utf8) override
    {
        content += utf8;
        log("box insert " + std::to_string(utf8.size()) + " bytes");
    }
    void makeVisible() override { visible = true, log("box visible"); }
    void giveFocus() override { focused = true, log("box focus"); }
    std::int64_t selectionLength() const override { return 0; }
    void applySelectionFont(const FontChoice&) override { log("box selection formatted"); }
    void applyBoxFont(const FontChoice&) override { log("box formatted"); }
    void printOn(Printer&) override { log("box printed"); }

private:
    void log(std::string line) { journal_.push_back(std::move(line)); }
    Journal& journal_;
};

class FakePrompt final : public Prompt {
public:
    FakePrompt(Journal& journal, Answers& answers) : journal_(journal), answers_(answers) {}
    struct Asked {
        std::string title, message, offered;
    };
    std::vector<Asked> asked;

    std::optional<std::string> ask(std::string_view title, std::string_view message,
                                   std::string_view defaultText) override
    {
        asked.push_back({std::string(title), std::string(message), std::string(defaultText)});
        journal_.push_back("prompt " + Quoted(title) + " " + Quoted(message) + " offering " + Quoted(defaultText));
        return Next(answers_, journal_, "answered");
    }

private:
    Journal& journal_;
    Answers& answers_;
};

// A file system in memory. `folders` are folders; `unreadable` names exist
// but cannot be read; a read-only folder refuses every write.
class FakeFiles final : public FileSystem {
public:
    explicit FakeFiles(Journal& journal) : journal_(journal) {}
    std::map<std::string, std::string> files;
    std::set<std::string> folders, unreadable, writableFolders;
    bool readOnlyFolder = false;
    std::string cwd = "/start";

    bool exists(std::string_view name) const override
    {
        const std::string n(name);
        return files.count(n) || folders.count(n) || unreadable.count(n);
    }
    std::optional<std::string> readAll(std::string_view name, std::size_t limit) const override
    {
        const std::string n(name);
        const auto it = files.find(n);
        const bool ok = !unreadable.count(n) && it != files.end() && it->second.size() <= limit;
        journal_.push_back("read " + n + (ok ? "" : " fails"));
        return ok ? std::optional(it->second) : std::nullopt;
    }
    bool replaceWith(std::string_view name, std::string_view bytes) override
    {
        const std::string n(name);
        const bool ok = !readOnlyFolder && !folders.count(n);
        journal_.push_back("write " + n + " " + Shown(bytes) + (ok ? "" : " fails"));
        if (ok) files[n] = std::string(bytes), unreadable.erase(n);
        return ok;
    }
    bool removeFile(std::string_view name) override
    {
        const bool ok = !readOnlyFolder && files.erase(std::string(name)) > 0;
        journal_.push_back("remove " + std::string(name) + (ok ? "" : " fails"));
        return ok;
    }
    bool changeDirectory(std::string_view path) override { return cwd = path, true; }
    bool isWritableFolder(std::string_view path) const override { return writableFolders.count(std::string(path)); }

private:
    Journal& journal_;
};

// File dialogs answer from the script; the font and print dialogs cancel.
class FakeDialogs final : public Dialogs {
public:
    FakeDialogs(Journal& journal, Answers& answers) : journal_(journal), answers_(answers) {}

    std::optional<std::string> openFile(const FileDialogSetup& s) override { return file("open", s); }
    std::optional<std::string> saveFile(const FileDialogSetup& s) override { return file("save", s); }
    std::optional<FontChoice> chooseFont(const FontDialogSetup& s) override
    {
        journal_.push_back("font dialog flags " + std::to_string(s.flags) + " offering " + s.preset.name + " " +
                           std::to_string(static_cast<int>(s.preset.size)));
        return std::nullopt;
    }
    std::unique_ptr<Printer> choosePrinter(unsigned flags) override
    {
        journal_.push_back("print dialog flags " + std::to_string(flags));
        return nullptr;
    }
    void showError(std::string_view title, std::string_view text) override
    {
        journal_.push_back("error " + Quoted(title) + " " + Quoted(text));
    }

private:
    std::optional<std::string> file(const char* kind, const FileDialogSetup& s)
    {
        journal_.push_back(std::string(kind) + " dialog " + Quoted(s.title) + " filter " + Quoted(s.filter) +
                           " flags " + std::to_string(s.flags) + " offering " + Quoted(s.fileName));
        return Next(answers_, journal_, "chosen");
    }

    Journal& journal_;
    Answers& answers_;
};

class FakeBanner final : public Banner {
public:
    std::string text;
    void setText(std::string_view t) override { text = t; }
};

// Everything a handler needs, faked, sharing one journal and one script of
// answers.
struct FakePlatform {
    Journal journal;
    Answers answers;
    FakeBox box{journal};
    FakePrompt prompt{journal, answers};
    FakeFiles files{journal};
    FakeDialogs dialogs{journal, answers};
    Platform platform{box, prompt, files, dialogs};
};

} // namespace fortelle::testing
